# qz_add_bench(<name> SOURCES ... [LIBS ...] [PLATFORM])
#
# A Google Benchmark program. PLATFORM: it runs over a whole throw-away
# platform (bench/support, which brings its main) and embeds the library's
# resources; otherwise the benchmark library's own main runs it.
function(qz_add_bench name)
  cmake_parse_arguments(ARG "PLATFORM" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  qz_strict(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(ARG_PLATFORM)
    target_link_libraries(${name} PRIVATE qz_bench_support)
    qz_add_qzschemas_resources(${name})
  else()
    target_link_libraries(${name} PRIVATE benchmark::benchmark_main)
  endif()
endfunction()
