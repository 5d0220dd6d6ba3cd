# Instrumented builds, each in a build folder of its own (see scripts/test-sanitized.sh and
# scripts/fuzz.sh).
#
# ZT_SANITIZE: every library, test and the program are built with AddressSanitizer and
#   UndefinedBehaviorSanitizer; the first error a sanitizer sees ends the program, so a test
#   that meets one fails. Float-to-integer conversions out of range are checked as well (GCC
#   leaves them out of "undefined").
# ZT_FUZZ: the libFuzzer targets of the data-file readers (tests/fuzz), clang only, with the
#   same sanitizers. Only those targets are meant to be built in such a folder.
option(ZT_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZT_FUZZ "Build the libFuzzer targets of the file readers (clang only)" OFF)

if(ZT_SANITIZE OR ZT_FUZZ)
  set(zt_sanitizers address,undefined,float-cast-overflow)
  add_compile_options(-fsanitize=${zt_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${zt_sanitizers})
  # An instrumented program must not replace the one the game folder is played with.
  set(ZT_PROGRAM_DIR ${CMAKE_BINARY_DIR})
endif()

if(ZT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZT_FUZZ needs clang's libFuzzer: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Coverage for the fuzzer in every library; each target links libFuzzer's main itself.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
