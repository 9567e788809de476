// OLE controls: the self-registration results.
#pragma once

#include <ocidl.h>
