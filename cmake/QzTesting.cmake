include(GoogleTest)

# qz_add_test(<name> SOURCES ... [LIBS ...])
#
# A GoogleTest program run through CTest, one CTest case per test. Every test
# process gets a throw-away platform root (see tests/support).
function(qz_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  qz_strict(${name})
  target_link_libraries(${name} PRIVATE qz_test_support ${ARG_LIBS} GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
