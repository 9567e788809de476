# The package for C++ clients on Linux. `cmake --install` puts under the
# prefix:
#   bin/qzschemas                    the command-line client
#   lib/qzschemas.so, lib/resolver.so the service library and the path resolver
#   lib/libqzwin_*.so                the Windows stand-in the three of them run on
#   lib/libqzschemas_interface.a     the GUIDs of the published interfaces
#   include/qzschemas/qzschemas.h    the interface header made from the IDL
#   include/qzschemas/winapi/        the stand-in's SDK-named headers
#   share/qzschemas/qzschemas.tlb    the type library
#   lib/cmake/qzschemas/             the package: find_package(qzschemas) gives
#                                    the imported target qzschemas::qzschemas
# The client finds the libraries in ../lib beside its bin/, so the layout is
# fixed: lib, not a multiarch directory.

function(qz_add_install_package)
  if(WIN32)
    return()
  endif()
  set(_stand_in qzwin_kernel qzwin_oleaut qzwin_typelib qzwin_registry qzwin_com qzwin_user qzwin_msxml)
  set_target_properties(${_stand_in} qzschemas resolver PROPERTIES INSTALL_RPATH "$ORIGIN")
  set_target_properties(qzschemas_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")

  install(TARGETS qzschemas_cli RUNTIME DESTINATION bin)
  install(TARGETS ${_stand_in} qzschemas resolver LIBRARY DESTINATION lib)
  install(TARGETS qzschemas_interface ARCHIVE DESTINATION lib)
  get_target_property(_header qzschemas_interface QZ_IDL_HEADER)
  get_target_property(_typelib qzschemas_interface QZ_TYPELIB)
  install(FILES ${_header} DESTINATION include/qzschemas)
  install(FILES ${_typelib} DESTINATION share/qzschemas)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/winapi/include/ DESTINATION include/qzschemas/winapi)

  include(CMakePackageConfigHelpers)
  set(_version_file ${PROJECT_BINARY_DIR}/qzschemasConfigVersion.cmake)
  write_basic_package_version_file(${_version_file} VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/qzschemasConfig.cmake ${_version_file} DESTINATION lib/cmake/qzschemas)
endfunction()
