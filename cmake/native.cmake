# Native build: the portable code and its unit tests.
if(SETUP_SANITIZE OR SETUP_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(SETUP_FUZZ)
  # The fuzzers need clang's libFuzzer. Every native target is built with its coverage
  # instrumentation; only the fuzzers link the fuzzer runtime (tests/fuzz).
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "SETUP_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
