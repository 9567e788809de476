# The Windows compile check: the system's folders, and the headers made from
# IDL, compiled with mingw-w64 against its Windows SDK headers instead of the
# stand-in (syntax only, one CTest case per file), so that nothing the system
# writes drifts off Windows.
#
# The headers are those of the cross build (QzMingwHeaders.cmake).

include(QzMingwHeaders)

option(QZ_WINDOWS_CHECK "Compile-check the system against the Windows SDK headers with mingw-w64" ON)

# The folders checked, in their layering order; a folder that does not exist
# (yet) is skipped.
set(QZ_WINDOWS_CHECKED_FOLDERS errors dom schemas cache encodings module service atl)
# Folders whose headers the system includes by SDK name (<atlbase.h>): they
# go on the include path, as Windows builds have no other source for them.
set(QZ_WINDOWS_HEADER_FOLDERS atl)

function(qz_add_windows_check)
  if(NOT QZ_WINDOWS_CHECK)
    return()
  endif()
  # The service is written for 32-bit Windows.
  find_program(QZ_MINGW_CXX NAMES i686-w64-mingw32-g++ i686-w64-mingw32-g++-posix
               DOC "mingw-w64's C++ compiler for 32-bit Windows (g++-mingw-w64-i686)" REQUIRED)

  qz_add_mingw_headers()
  set(_generated ${CMAKE_BINARY_DIR}/mingw/include)

  set(_flags -std=c++20 -fsyntax-only -Wall -Wextra -Werror -Wno-unused-parameter
             -isystem ${CMAKE_SOURCE_DIR}/cmake/mingw/include -isystem ${_generated}
             -I ${CMAKE_SOURCE_DIR})
  get_property(_idl_targets GLOBAL PROPERTY QZ_IDL_TARGETS)
  foreach(_target IN LISTS _idl_targets)
    get_target_property(_dir ${_target} QZ_IDL_DIR)
    list(APPEND _flags -I ${_dir})
  endforeach()

  foreach(_folder IN LISTS QZ_WINDOWS_HEADER_FOLDERS)
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${_folder})
      list(APPEND _flags -I ${CMAKE_SOURCE_DIR}/${_folder})
    endif()
  endforeach()

  set(_files)
  foreach(_folder IN LISTS QZ_WINDOWS_CHECKED_FOLDERS)
    file(GLOB _sources CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${_folder}/*.cpp)
    list(APPEND _files ${_sources})
  endforeach()

  foreach(_file IN LISTS _files)
    add_test(NAME windows_syntax:${_file}
             COMMAND ${QZ_MINGW_CXX} ${_flags} ${CMAKE_SOURCE_DIR}/${_file})
  endforeach()
  # The published headers, on their own.
  foreach(_target IN LISTS _idl_targets)
    get_target_property(_header ${_target} QZ_IDL_HEADER)
    get_filename_component(_name ${_header} NAME)
    add_test(NAME windows_syntax:${_name} COMMAND ${QZ_MINGW_CXX} ${_flags} -x c++ ${_header})
  endforeach()
endfunction()
