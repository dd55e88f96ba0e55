# Tests of the Windows build run under wine64 in a throwaway prefix inside the build tree. The
# prefix is booted once per run by the fixture "wine"; the whole CTest run is expected to run
# inside one xvfb-run.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(MIRAVOLT_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(MIRAVOLT_WINE_ENV
  "WINEPREFIX=${MIRAVOLT_WINEPREFIX}"
  "WINEDLLOVERRIDES=mscoree,mshtml="
  "WINEDEBUG=-all")

add_test(NAME wine.prefix.boot
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/fixtures/wine_prefix.sh boot)
add_test(NAME wine.prefix.stop
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/fixtures/wine_prefix.sh stop)
set_tests_properties(wine.prefix.boot PROPERTIES
  FIXTURES_SETUP wine ENVIRONMENT "${MIRAVOLT_WINE_ENV}" TIMEOUT 300)
set_tests_properties(wine.prefix.stop PROPERTIES
  FIXTURES_CLEANUP wine ENVIRONMENT "${MIRAVOLT_WINE_ENV}")

# Marks tests as running under Wine: they need the booted prefix and its environment.
function(miravolt_wine_tests)
  set_tests_properties(${ARGN} PROPERTIES
    FIXTURES_REQUIRED wine ENVIRONMENT "${MIRAVOLT_WINE_ENV}" TIMEOUT 120)
endfunction()

include(GoogleTest)
# A GoogleTest program cross-built for Windows; every TEST in its sources becomes one test.
function(miravolt_wine_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock gtest_main)
  target_link_options(${name} PRIVATE -static)
  gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_PREFIX "win." TEST_LIST tests)
  miravolt_wine_tests(${tests})
endfunction()

# GoogleTest from the sources of Debian's googletest package, built with the cross-compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
