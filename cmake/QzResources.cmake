# qz_add_resources(<target> <script.rc>)
#
# Embeds the resources that a resource script names into <target>: the
# resource compiler turns the script and the files it names into a C++ source
# that registers them for the target's module handle at load time. Use it on
# the module itself (shared library, module or executable), not on a static
# library, whose linker may drop the unreferenced registration.
function(qz_add_resources target script)
  get_filename_component(_script ${script} ABSOLUTE)
  get_filename_component(_name ${script} NAME_WE)
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/${target}_${_name}_rc.cpp)
  set(_dep ${_out}.d)
  add_custom_command(
    OUTPUT ${_out}
    COMMAND qzrc ${_script} ${_out} ${_dep}
    DEPENDS qzrc ${_script}
    DEPFILE ${_dep}
    COMMENT "Compiling resources ${script}"
    VERBATIM)
  target_sources(${target} PRIVATE ${_out})
  # The generated source registers its table with the kernel.
  target_link_libraries(${target} PRIVATE qzwin_kernel)
endfunction()
