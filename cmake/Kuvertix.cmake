# Project-wide conventions shared by every library, test and tool.

set(KUVERTIX_WARNINGS -Wall -Wextra -Wpedantic -Wno-unused-parameter)

# The fuzzers (tests/*/fuzz*.cpp) are built only in a build of their own with
# clang: every library is then instrumented for libFuzzer, with the address
# and undefined-behaviour sanitizers (tools/fuzz-*.sh make that build).
option(KUVERTIX_FUZZ "Build the fuzzers with libFuzzer and the sanitizers (clang only)" OFF)
if(KUVERTIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KUVERTIX_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++-14)")
  endif()
  # -O1 over the Debug build that tools/fuzzing.sh configures: assertions on,
  # quick to compile, fast enough to fuzz.
  add_compile_options(-O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# kuvertix_library(NAME SOURCES ... LIBS ...)
# A library of one folder; warnings on, the folder itself on the include path
# as <folder>/<header>.h from the project root. Every library but the lowest
# links kuvertix_core, whose error base all library errors derive from.
function(kuvertix_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${KUVERTIX_WARNINGS})
  if(NOT name STREQUAL "kuvertix_core")
    target_link_libraries(${name} PUBLIC kuvertix_core)
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# kuvertix_test(NAME SOURCES ... LIBS ... [GUI] [SPOOLER] [OFFICE])
# A QtTest executable registered with CTest, linked with the test support
# library. Test data is found through KUVERTIX_TEST_DATA, never relative to
# the working directory. Widget tests (GUI) run on the offscreen platform.
# Tests that print through the spooler (SPOOLER) share one queue and one
# capture folder, so they never run at once. Tests that start LibreOffice
# (OFFICE) are slow and heavy: they run one at a time, with a generous time
# limit. The flags are the test's CTest labels (gui, spooler, office); a test
# with none is labelled unit, so that `ctest -L unit` runs the fast ones.
function(kuvertix_test name)
  cmake_parse_arguments(ARG "GUI;SPOOLER;OFFICE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KUVERTIX_WARNINGS})
  target_compile_definitions(${name} PRIVATE
    KUVERTIX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    KUVERTIX_BUILD_DIR="${PROJECT_BINARY_DIR}"
    KUVERTIX_PROGRAM_DIR="${KUVERTIX_PROGRAM_DIR}")
  target_link_libraries(${name} PRIVATE kuvertix_testsupport Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
  set(labels)
  set(locks)
  if(ARG_GUI)
    list(APPEND labels gui)
  endif()
  if(ARG_SPOOLER)
    list(APPEND labels spooler)
    list(APPEND locks spooler)
  endif()
  if(ARG_OFFICE)
    list(APPEND labels office)
    list(APPEND locks office)
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  endif()
  if(NOT labels)
    set(labels unit)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}")
  if(locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
endfunction()

# kuvertix_fuzzer(NAME SOURCE file CORPUS folder REPLAY test LIBS ...)
# A fuzz target: a source defining LLVMFuzzerTestOneInput (and perhaps
# LLVMFuzzerInitialize) over the libraries it links. Always built: the unit
# test REPLAY, which runs every file of the committed corpus through the
# entry function once. With KUVERTIX_FUZZ: the fuzzer NAME itself, made as
# <build>/fuzz/NAME.
function(kuvertix_fuzzer name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS;REPLAY" "LIBS" ${ARGN})
  kuvertix_test(${ARG_REPLAY} SOURCES ${ARG_SOURCE} ${PROJECT_SOURCE_DIR}/tests/support/fuzzreplay.cpp
    LIBS ${ARG_LIBS})
  target_compile_definitions(${ARG_REPLAY} PRIVATE KUVERTIX_FUZZ_CORPUS="${ARG_CORPUS}")
  if(KUVERTIX_FUZZ)
    add_executable(${name} ${ARG_SOURCE})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
    target_compile_options(${name} PRIVATE ${KUVERTIX_WARNINGS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()
