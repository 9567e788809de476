// Where the platform's common directory may be moved: a REG_SZ value of this
// name under this key of HKEY_LOCAL_MACHINE. Absent or empty, the default
// applies.
#pragma once

#define PLATFORM_SETTINGS_KEY "SOFTWARE\\Quorvane\\Platform"
#define PLATFORM_COMMON_DIRECTORY_VALUE "CommonDirectory"
#define PLATFORM_DEFAULT_COMMON_DIRECTORY "C:\\Program Files\\Common Files\\Quorvane"
