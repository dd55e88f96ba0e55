# The native build: the portable rules and their unit tests under the sanitizers.
if(MIRAVOLT_TESTS)
  find_package(GTest REQUIRED)
  add_subdirectory(tests/unit)
endif()
