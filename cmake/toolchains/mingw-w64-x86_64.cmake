# Cross build for 64-bit Windows with mingw-w64 (g++-mingw-w64-x86-64-posix).
set(QZ_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
