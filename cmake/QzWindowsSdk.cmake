# The Windows SDK in place of the stand-in, for builds with a mingw-w64
# toolchain file (cmake/toolchains). The targets the system's folders link
# on Linux keep their names and mean the SDK here:
#   qzwin_headers  the SDK's headers, with what mingw-w64 lacks added in
#                  front of them (QzMingwHeaders.cmake)
#   qzwin          those headers and the SDK's import libraries, and the
#                  compiler COM support that mingw-w64 does not ship
#                  (cmake/mingw/comsupp)
#   qzwin_kernel   nothing: resources go through the toolchain's resource
#                  compiler into the module itself (QzResources.cmake)
enable_language(RC)
include(QzMingwHeaders)
qz_add_mingw_headers()

add_library(qzwin_headers INTERFACE)
target_link_libraries(qzwin_headers INTERFACE qz_mingw_headers)

add_subdirectory(${PROJECT_SOURCE_DIR}/cmake/mingw/comsupp ${CMAKE_BINARY_DIR}/mingw/comsupp)

add_library(qzwin INTERFACE)
target_link_libraries(qzwin INTERFACE qzwin_headers qz_mingw_comsupp ole32 oleaut32 uuid user32)

add_library(qzwin_kernel INTERFACE)

# The modules carry their C and C++ runtimes, so that a Windows machine needs
# nothing but the two DLLs: no libgcc, libstdc++ or winpthread DLL.
add_link_options(-static -static-libgcc -static-libstdc++)

add_compile_definitions("$<$<COMPILE_LANGUAGE:RC>:${QZ_WINDRES_DEFINITIONS}>")
