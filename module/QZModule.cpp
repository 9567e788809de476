#include "module/QZModule.h"

CQZModule::CQZModule() : m_hInstResource(nullptr) {}
