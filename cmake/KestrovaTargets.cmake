# Compiler settings shared by every target of the project, and the helpers that
# declare its libraries, executables and test programs.

# LLVM's linker, when the system has it: it links the test programs and their
# debug information in a fraction of the time of the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld KESTROVA_HAVE_LLD)
if(KESTROVA_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()

if(KESTROVA_ASAN AND KESTROVA_TSAN)
  message(FATAL_ERROR "KESTROVA_ASAN and KESTROVA_TSAN cannot be combined")
endif()

if(KESTROVA_ASAN)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(KESTROVA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(KESTROVA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KESTROVA_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Every text inside the program is CP932, as in the game data: narrow literals in
# our UTF-8 sources are compiled to CP932 bytes. Only GCC can do that; clang
# (used for the fuzz targets alone) keeps UTF-8 literals.
# Under this flag GCC 12 cannot compile the standard <chrono> header (its
# duration printing holds a micro sign, which CP932 lacks): include <thread>,
# which brings the clocks and durations, and never <chrono> itself.
set(KESTROVA_CHARSET_FLAGS)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(KESTROVA_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP932)
endif()

# Never contract a*b+c into a fused multiply-add: results must match bit for bit
# on every machine, since replays depend on them.
set(KESTROVA_WARNING_FLAGS -Wall -Wextra)

function(kestrova_apply_flags target)
  target_compile_options(${target} PRIVATE ${KESTROVA_WARNING_FLAGS} -ffp-contract=off ${KESTROVA_CHARSET_FLAGS})
endfunction()

# kestrova_library(name SOURCES ... [DEPENDS ...] [PRIVATE_DEPENDS ...])
function(kestrova_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
  kestrova_apply_flags(${name})
endfunction()

# The headers nearly every test file includes (GoogleTest and the heavy
# standard ones), compiled once and shared by every test program: each test
# file would otherwise parse them again, in each of the build's
# configurations. The test programs take the same flags as this target, which
# a shared precompiled header needs.
function(kestrova_test_pch)
  if(TARGET kestrova_test_pch)
    return()
  endif()
  add_library(kestrova_test_pch OBJECT ${PROJECT_SOURCE_DIR}/tests/support/TestPch.cpp)
  target_link_libraries(kestrova_test_pch PRIVATE GTest::gtest)
  kestrova_apply_flags(kestrova_test_pch)
  target_precompile_headers(kestrova_test_pch PRIVATE
    <gtest/gtest.h> <algorithm> <array> <atomic> <cmath> <cstdint> <cstring> <filesystem> <fstream>
    <functional> <memory> <string> <string_view> <utility> <vector>)
endfunction()

# kestrova_test(name SOURCES ... DEPENDS ... [LABELS ...])
# One GoogleTest program. Each of its tests becomes a ctest test, or, with
# KESTROVA_TEST_SHARDS above 0, the program runs as that many ctest tests,
# each taking its share of the test cases (GoogleTest's sharding). Sanitizer
# builds shard: starting an instrumented program costs about a second, which
# one process per test case would pay thousands of times.
set(KESTROVA_TEST_SHARDS 0 CACHE STRING "Run each test program as this many shards (0: one ctest test per test case)")
function(kestrova_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  kestrova_apply_flags(${name})
  target_precompile_headers(${name} REUSE_FROM kestrova_test_pch)
  set(headless "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
  if(KESTROVA_TEST_SHARDS GREATER 0)
    math(EXPR last "${KESTROVA_TEST_SHARDS} - 1")
    foreach(index RANGE ${last})
      add_test(NAME ${name}.shard${index} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
      set_tests_properties(${name}.shard${index} PROPERTIES LABELS "${ARG_LABELS}"
        ENVIRONMENT "${headless};GTEST_TOTAL_SHARDS=${KESTROVA_TEST_SHARDS};GTEST_SHARD_INDEX=${index}")
    endforeach()
  else()
    gtest_discover_tests(${name}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "${headless}"
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# kestrova_subsystem(name DEPENDS ...)
# The library of one subsystem folder: every .cpp file of the folder. A folder
# that holds only headers so far becomes a header-only target.
function(kestrova_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    kestrova_library(${name} SOURCES ${sources} DEPENDS ${ARG_DEPENDS} PRIVATE_DEPENDS ${ARG_PRIVATE_DEPENDS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# kestrova_test_folder(name DEPENDS ... [LABELS ...])
# The test program of one tests/ folder, when the folder has tests yet.
function(kestrova_test_folder name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    kestrova_test(${name} SOURCES ${sources} DEPENDS ${ARG_DEPENDS} LABELS ${ARG_LABELS})
  endif()
endfunction()
