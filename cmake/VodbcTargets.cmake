# Helpers shared by every folder's CMakeLists.txt.

# Our own code compiles without warnings; third-party headers are included
# as system headers by their imported targets, so they do not trip this.
# Warnings become errors only when asked for (VODBC_WERROR, set by
# scripts/test and CI): someone building a release with another compiler
# version must never be stopped by a warning that compiler newly invents.
function(vodbc_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VODBC_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# vodbc_add_library(NAME SOURCES ... [DEPS ...])
# A static library of one folder; its folder's parent (src/) is the include
# root, so code includes "sheet/sheet.h".
function(vodbc_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  vodbc_warnings(${name})
endfunction()

# vodbc_add_test_support(NAME SOURCES ... [DEPS ...])
# A static library of test helpers under tests/support/, the include root
# for its headers ("files/temp_folder.h"). Product code never links one.
function(vodbc_add_test_support name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  vodbc_warnings(${name})
endfunction()

# vodbc_add_test(NAME SOURCES ... [DEPS ...] [LABELS ...] [FIXTURES ...]
#                [ENVIRONMENT ...] [MAIN])
# One GoogleTest program beside the code it tests. Its cases are registered
# with CTest one by one (discovered when the tests run, not at build time, so
# building never needs a display or a server). LABELS marks suites that need
# a server or a display; FIXTURES names the CTest fixtures that start them.
# Without MAIN the program links gtest_main; with MAIN it brings its own.
#
# Besides one CTest test per case, the whole program is registered once
# more as NAME.whole, run with --gtest_shuffle --gtest_repeat=2 under the
# same labels, fixtures and environment plus the label "whole": cases must
# pass whatever order and process they run in (ctest -LE whole leaves
# these runs out).
function(vodbc_add_test name)
  cmake_parse_arguments(ARG "MAIN" "TIMEOUT"
                        "SOURCES;DEPS;LABELS;FIXTURES;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(ARG_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock ${ARG_DEPS})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${ARG_DEPS})
  endif()
  target_compile_definitions(${name} PRIVATE
      VODBC_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      VODBC_BINARY_DIR="${CMAKE_BINARY_DIR}")
  vodbc_warnings(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(props TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    list(JOIN ARG_LABELS "\\;" labels)
    list(APPEND props LABELS "${labels}")
  endif()
  if(ARG_FIXTURES)
    list(JOIN ARG_FIXTURES "\\;" fixtures)
    list(APPEND props FIXTURES_REQUIRED "${fixtures}")
  endif()
  if(ARG_ENVIRONMENT)
    list(JOIN ARG_ENVIRONMENT "\\;" environment)
    list(APPEND props ENVIRONMENT "${environment}")
  endif()
  gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      TEST_PREFIX "${name}."
      # Parameterised cases keep the names their suites give them: printed
      # parameters would put pointer and padding bytes into test names.
      NO_PRETTY_VALUES
      PROPERTIES ${props})
  set(whole_labels whole ${ARG_LABELS})
  add_test(NAME ${name}.whole
           COMMAND ${name} --gtest_shuffle --gtest_repeat=2 --gtest_brief=1)
  set_tests_properties(${name}.whole PROPERTIES
      TIMEOUT 600
      LABELS "${whole_labels}"
      FIXTURES_REQUIRED "${ARG_FIXTURES}"
      ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()

# vodbc_add_database_tests(NAME SOURCES ... [DATABASES ...] [DEPS ...]
#                          [TIMEOUT SECONDS] [RUNS PROGRAM ...])
# A suite written once against real data sources, built as one program per
# database (NAME_sqlite_test, NAME_postgres_test, NAME_mariadb_test; all
# three unless DATABASES names fewer), so each program carries its own label
# and server fixture and a missing server stops only its own program. The
# program reads its database as kDatabaseUnderTest (servers/test_servers.h).
# RUNS names the programs the suite starts, so they are built first.
function(vodbc_add_database_tests name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DATABASES;DEPS;RUNS" ${ARGN})
  # The order is that of testing::Database; the program gets the position.
  set(known sqlite postgres mariadb)
  if(NOT ARG_DATABASES)
    set(ARG_DATABASES ${known})
  endif()
  foreach(database IN LISTS ARG_DATABASES)
    list(FIND known ${database} index)
    if(index LESS 0)
      message(FATAL_ERROR "${name}: no test database called ${database} (known: ${known})")
    endif()
    set(extra)
    if(NOT database STREQUAL "sqlite")
      set(extra LABELS ${database} FIXTURES ${database}_server)
    endif()
    if(ARG_TIMEOUT)
      list(APPEND extra TIMEOUT ${ARG_TIMEOUT})
    endif()
    set(program ${name}_${database}_test)
    vodbc_add_test(${program} SOURCES ${ARG_SOURCES} DEPS vodbc_test_servers ${ARG_DEPS} ${extra})
    target_compile_definitions(${program} PRIVATE VODBC_TEST_DATABASE=${index})
    if(ARG_RUNS)
      add_dependencies(${program} ${ARG_RUNS})
    endif()
  endforeach()
endfunction()
