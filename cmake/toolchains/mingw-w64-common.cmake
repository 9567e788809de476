# Shared part of the mingw-w64 toolchain files: the caller sets
# QZ_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
#
# The compilers are the "posix" variants (Debian's g++-mingw-w64-*-posix):
# their C++ runtime has std::mutex and std::thread, which the "win32"
# variants of GCC 12 lack.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QZ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QZ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QZ_MINGW_TRIPLE}-windres)

# Libraries and headers come from the toolchain's sysroot; programs (widl,
# the host tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QZ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

