# qz_add_idl(<target> <file.idl>)   (one IDL file per target)
#
# Compiles an IDL file with widl. Into ${CMAKE_CURRENT_BINARY_DIR}/idl go
#   <name>.h          the C++ header: interfaces, and their IIDs, CLSIDs and
#                     LIBID as DEFINE_GUID declarations;
#   <name>.tlb        the type library (MSFT format), as a TYPELIB resource
#                     embeds it;
#   <name>_guids.cpp  the header included once with INITGUID, compiled into
#                     <target>, so that <target> defines the GUIDs.
# The folder becomes a PUBLIC include directory of <target> and its property
# QZ_IDL_DIR, the header QZ_IDL_HEADER, and the type library's full path
# QZ_TYPELIB:
#   $<TARGET_PROPERTY:<target>,QZ_TYPELIB>
# The global property QZ_IDL_TARGETS lists every such <target>.
#
# The base IDL files (oaidl.idl, ocidl.idl, ...) are Wine's, and importlib
# finds stdole2.tlb and msxml6.dll among Wine's Windows libraries: both come
# with Debian's Wine packages (scripts/install-deps).

find_program(QZ_WIDL NAMES x86_64-w64-mingw32-widl i686-w64-mingw32-widl widl
             DOC "widl, the IDL compiler of mingw-w64-tools" REQUIRED)
find_path(QZ_WINE_IDL_DIR oaidl.idl
          PATHS /usr/include/wine/wine/windows /usr/include/wine/windows
          DOC "Wine's Windows IDL files (libwine-dev)" REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_path(QZ_WINE_IMPORTLIB_DIR NAMES stdole2.tlb
          PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/wine/x86_64-windows
                /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
                /usr/lib/wine/x86_64-windows
                /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/wine/i386-windows
                /usr/lib/wine/i386-windows
          DOC "Wine's Windows libraries, which hold stdole2.tlb and msxml6.dll (libwine)"
          REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

# The type library describes this build's own vtables: its pointer size, and
# with it every vtable offset, is the target's (win64 on 64-bit builds).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QZ_IDL_TARGET --win64)
else()
  set(QZ_IDL_TARGET --win32)
endif()

function(qz_add_idl target idl)
  get_filename_component(_idl ${idl} ABSOLUTE)
  get_filename_component(_name ${idl} NAME_WE)
  set(_dir ${CMAKE_CURRENT_BINARY_DIR}/idl)
  set(_header ${_dir}/${_name}.h)
  set(_tlb ${_dir}/${_name}.tlb)
  set(_guids ${_dir}/${_name}_guids.cpp)
  set(_widl ${QZ_WIDL} --nostdinc -I ${QZ_WINE_IDL_DIR} -L ${QZ_WINE_IMPORTLIB_DIR} ${QZ_IDL_TARGET})

  file(MAKE_DIRECTORY ${_dir})
  file(CONFIGURE OUTPUT ${_guids} CONTENT "// Defines the GUIDs that ${_name}.idl declares.\n#define INITGUID\n#include \"${_name}.h\"\n")
  add_custom_command(
    OUTPUT ${_header} ${_tlb}
    COMMAND ${_widl} -h -o ${_header} ${_idl}
    COMMAND ${_widl} -t -o ${_tlb} ${_idl}
    DEPENDS ${_idl}
    COMMENT "Compiling ${idl} with widl"
    VERBATIM)

  target_sources(${target} PRIVATE ${_guids} ${_header} ${_tlb})
  target_include_directories(${target} PUBLIC ${_dir})
  set_property(TARGET ${target} PROPERTY QZ_TYPELIB ${_tlb})
  set_property(TARGET ${target} PROPERTY QZ_IDL_DIR ${_dir})
  set_property(TARGET ${target} PROPERTY QZ_IDL_HEADER ${_header})
  set_property(GLOBAL APPEND PROPERTY QZ_IDL_TARGETS ${target})
endfunction()
