# The native build: the portable rules and their unit tests, under the sanitizers when the
# preset asks for them.
if(MIRAVOLT_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)
  add_subdirectory(tests/unit)
endif()
