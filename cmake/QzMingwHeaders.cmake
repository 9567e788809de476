# mingw-w64's Windows headers as the system compiles against them.
#
# mingw-w64 has no msxml6.h: widl makes msxml6_idl.h from Wine's msxml6.idl
# into <build>/mingw/include, which cmake/mingw/include/msxml6.h includes;
# msxml.h there takes the place of mingw-w64's old MSXML 2 header, whose
# declarations would clash with it. The same folder adds what
# mingw-w64's comdef.h and winnt.rh leave out. The Windows build takes its
# headers from here (QzWindowsSdk.cmake).
#
# qz_add_mingw_headers() makes the target qz_mingw_headers: an interface
# library whose include folders come before the SDK's.
#
# QZ_WINDRES_DEFINITIONS: what windres needs defined to read the resource
# scripts as the Windows resource compiler does. windres lacks that
# compiler's keyword HTML (RT_HTML); the scripts keep the keyword, and
# windres's preprocessor turns it into the number.
set(QZ_WINDRES_DEFINITIONS HTML=23)

function(qz_add_mingw_headers)
  if(TARGET qz_mingw_headers)
    return()
  endif()
  set(_generated ${CMAKE_BINARY_DIR}/mingw/include)
  set(_msxml6 ${_generated}/msxml6_idl.h)
  file(MAKE_DIRECTORY ${_generated})
  add_custom_command(
    OUTPUT ${_msxml6}
    COMMAND ${QZ_WIDL} --nostdinc -I ${QZ_WINE_IDL_DIR} -h -o ${_msxml6} ${QZ_WINE_IDL_DIR}/msxml6.idl
    DEPENDS ${QZ_WINE_IDL_DIR}/msxml6.idl
    COMMENT "Making msxml6_idl.h from Wine's msxml6.idl"
    VERBATIM)
  add_custom_target(qz_msxml6_header ALL DEPENDS ${_msxml6})

  add_library(qz_mingw_headers INTERFACE)
  target_include_directories(qz_mingw_headers SYSTEM BEFORE INTERFACE
    ${PROJECT_SOURCE_DIR}/cmake/mingw/include ${_generated})
  add_dependencies(qz_mingw_headers qz_msxml6_header)
endfunction()
