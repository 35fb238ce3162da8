# Project-wide conventions shared by every library, test and tool.

set(KUVERTIX_WARNINGS -Wall -Wextra -Wpedantic -Wno-unused-parameter)

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
# A QtTest executable registered with CTest. Test data is found through
# KUVERTIX_TEST_DATA, never relative to the working directory. Widget tests
# (GUI) run on the offscreen platform. Tests that print through the spooler
# (SPOOLER) share one queue and one capture folder, so they never run at once.
# Tests that start LibreOffice (OFFICE) are slow and heavy: they run one at a
# time, with a generous time limit.
function(kuvertix_test name)
  cmake_parse_arguments(ARG "GUI;SPOOLER;OFFICE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KUVERTIX_WARNINGS})
  target_compile_definitions(${name} PRIVATE
    KUVERTIX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    KUVERTIX_BUILD_DIR="${PROJECT_BINARY_DIR}"
    KUVERTIX_PROGRAM_DIR="${KUVERTIX_PROGRAM_DIR}")
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
  set(locks)
  if(ARG_SPOOLER)
    list(APPEND locks spooler)
  endif()
  if(ARG_OFFICE)
    list(APPEND locks office)
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  endif()
  if(locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
  endif()
endfunction()
