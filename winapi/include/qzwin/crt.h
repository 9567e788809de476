// C runtime functions of the Windows CRT that POSIX lacks.
#pragma once

#include <windef.h>
