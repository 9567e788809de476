# qz_add_resources(<target> <script.rc> [DATA_DIRS <dir>...] [DEPENDS <target-or-file>...])
#
# Embeds the resources that a resource script names into <target>: the
# resource compiler turns the script and the files it names into a C++ source
# that registers them for the target's module handle at load time. Use it on
# the module itself (shared library, module or executable), not on a static
# library, whose linker may drop the unreferenced registration.
#
# Data files are looked for beside the script, then in each of DATA_DIRS (as
# the Windows compiler's include path): the place for files the build makes,
# such as a type library. DEPENDS names the targets or files that make them.
#
# Windows builds compile the same script with the toolchain's resource
# compiler (windres) into the module, with the same search folders.
function(qz_add_resources target script)
  cmake_parse_arguments(ARG "" "" "DATA_DIRS;DEPENDS" ${ARGN})
  get_filename_component(_script ${script} ABSOLUTE)
  get_filename_component(_name ${script} NAME_WE)
  if(WIN32)
    get_filename_component(_script_dir ${_script} DIRECTORY)
    target_sources(${target} PRIVATE ${_script})
    set_property(SOURCE ${_script} TARGET_DIRECTORY ${target} APPEND PROPERTY
      INCLUDE_DIRECTORIES ${_script_dir} ${ARG_DATA_DIRS})
    # A stamp stands for DEPENDS, which may be targets or generator
    # expressions that a source's own dependencies do not take.
    set(_stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_${_name}_rc.stamp)
    add_custom_command(OUTPUT ${_stamp}
      COMMAND ${CMAKE_COMMAND} -E touch ${_stamp}
      DEPENDS ${ARG_DEPENDS}
      VERBATIM)
    set_property(SOURCE ${_script} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${_stamp})
    return()
  endif()
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/${target}_${_name}_rc.cpp)
  set(_dep ${_out}.d)
  set(_dirs)
  foreach(_dir IN LISTS ARG_DATA_DIRS)
    list(APPEND _dirs -I ${_dir})
  endforeach()
  add_custom_command(
    OUTPUT ${_out}
    COMMAND qzrc ${_dirs} ${_script} ${_out} ${_dep}
    DEPENDS qzrc ${_script} ${ARG_DEPENDS}
    DEPFILE ${_dep}
    COMMENT "Compiling resources ${script}"
    VERBATIM)
  target_sources(${target} PRIVATE ${_out})
  # The generated source registers its table with the kernel.
  target_link_libraries(${target} PRIVATE qzwin_kernel)
endfunction()
