# Warnings are errors in our own code; third-party headers come in as system
# includes and are not judged.
function(qz_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()

if(QZ_SANITIZE)
  set(_qz_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_qz_san})
  add_link_options(${_qz_san})
endif()

# Fuzzing builds put libFuzzer's coverage instrumentation into everything,
# so that the fuzz targets see the branches of the libraries they link.
if(QZ_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
