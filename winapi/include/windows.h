// The Windows API as the stand-in offers it: the subset that the system and
// its tests use, under the SDK's names.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#include <winnls.h>
#include <winreg.h>
#include <winuser.h>
#include <qzwin/crt.h>
#ifndef WIN32_LEAN_AND_MEAN
#include <ole2.h>
#endif
