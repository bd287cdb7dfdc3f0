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

# vorlan_fuzz_test(<target> [seconds [seed folders and fuzzer options...]])
# An argument with a leading '-' is a fuzzer option (-rss_limit_mb=...), any other a seed
# folder. The target's own corpus keeps what it finds; the seed folders are only read.
function(vorlan_fuzz_test target)
  set(seconds 10)
  set(extra ${ARGN})
  if(extra)
    list(POP_FRONT extra seconds)
  endif()
  set(options)
  set(seeds)
  foreach(arg IN LISTS extra)
    if(arg MATCHES "^-")
      list(APPEND options ${arg})
    else()
      list(APPEND seeds ${arg})
    endif()
  endforeach()
  set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${target})
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME fuzz.${target}
           COMMAND ${VORLAN_FUZZ_DIR}/${target} -max_total_time=${seconds} -print_final_stats=0 ${options} ${corpus} ${seeds})
  set_tests_properties(fuzz.${target} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()
