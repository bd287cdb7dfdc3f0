# Builds the libFuzzer targets of fuzz/ with clang and runs each briefly as a test.
# Longer runs: scripts/fuzz.
include(ExternalProject)
find_program(VORLAN_CLANGXX NAMES clang++ clang++-14 REQUIRED)
set(VORLAN_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzzers)
ExternalProject_Add(fuzzers
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
  BINARY_DIR ${VORLAN_FUZZ_DIR}
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${VORLAN_CLANGXX} -DVORLAN_SOURCE=${CMAKE_SOURCE_DIR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

# vorlan_fuzz_test(<target> [seconds] [fuzzer options...])
function(vorlan_fuzz_test target)
  set(seconds 10)
  if(ARGC GREATER 1)
    set(seconds ${ARGV1})
  endif()
  set(options ${ARGN})
  if(options)
    list(REMOVE_AT options 0)
  endif()
  set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${target})
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME fuzz.${target}
           COMMAND ${VORLAN_FUZZ_DIR}/${target} -max_total_time=${seconds} -print_final_stats=0 ${options} ${corpus})
  set_tests_properties(fuzz.${target} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()
