# The installed qzschemas package for C++ clients on Linux.
#
#   find_package(qzschemas REQUIRED)
#   target_link_libraries(app PRIVATE qzschemas::qzschemas)
#
# The target brings the interface header qzschemas.h, the Windows stand-in's
# headers (windows.h, objbase.h, msxml6.h, comdef.h, ...) and libraries, and
# the GUIDs of the published interfaces. A client creates the service with
# CoCreateInstance once `qzschemas setup` has registered it in the platform
# root. Also set:
#   qzschemas_CLI      the command-line client
#   qzschemas_LIBRARY  the service library (the in-process server)
#   qzschemas_RESOLVER the platform path resolver
#   qzschemas_TYPELIB  the type library

get_filename_component(_qz_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

set(qzschemas_CLI "${_qz_prefix}/bin/qzschemas")
set(qzschemas_LIBRARY "${_qz_prefix}/lib/qzschemas.so")
set(qzschemas_RESOLVER "${_qz_prefix}/lib/resolver.so")
set(qzschemas_TYPELIB "${_qz_prefix}/share/qzschemas/qzschemas.tlb")

if(NOT TARGET qzschemas::qzschemas)
  set(_qz_stand_in)
  foreach(_qz_piece kernel oleaut typelib registry com user msxml)
    list(APPEND _qz_stand_in "${_qz_prefix}/lib/libqzwin_${_qz_piece}.so")
  endforeach()
  add_library(qzschemas::qzschemas INTERFACE IMPORTED)
  # --no-as-needed keeps the pieces that are only reached through COM
  # activation (the DOM) loaded in the client.
  set_target_properties(qzschemas::qzschemas PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${_qz_prefix}/include/qzschemas;${_qz_prefix}/include/qzschemas/winapi"
    INTERFACE_COMPILE_FEATURES cxx_std_20
    INTERFACE_LINK_LIBRARIES "${_qz_prefix}/lib/libqzschemas_interface.a;-Wl,--no-as-needed;${_qz_stand_in};-Wl,--as-needed")
  unset(_qz_stand_in)
endif()
unset(_qz_prefix)
