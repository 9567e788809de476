#pragma once

#include <windef.h>
#include <winerror.h>
#include <libloaderapi.h>
