# The Windows build: both programs, the headless script host and the Windows test programs.
add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800)
set(MIRAVOLT_LINK_OPTIONS -static -municode)
# Resource scripts find the icons, manifests and shared templates of both programs.
set(CMAKE_RC_FLAGS
  "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/apps/miravolt -I${CMAKE_SOURCE_DIR}/apps/update")
set(MIRAVOLT_SYSTEM_LIBS
  ole32 oleaut32 uuid comctl32 wininet iphlpapi shell32 shlwapi user32 gdi32 advapi32 bcrypt)

add_library(framework STATIC
  src/framework/application.cpp
  src/framework/dialog.cpp
  src/framework/dispatcher.cpp
  src/framework/guids.cpp
  src/framework/html_dialog.cpp
  src/framework/platform_error.cpp
  src/framework/script_engine.cpp
  src/framework/text.cpp
  src/framework/thread.cpp
)
target_link_libraries(framework PUBLIC rules ${MIRAVOLT_SYSTEM_LIBS})

# Browser implementations: each program links exactly one.
add_library(browser_script STATIC src/framework/browser_script.cpp)
target_link_libraries(browser_script PUBLIC framework)
add_library(browser_webbrowser STATIC src/framework/browser_webbrowser.cpp)
target_link_libraries(browser_webbrowser PUBLIC framework)

# The client's subsystems, one library: the page windows' tables bind the services and the
# services act on the windows.
file(GLOB MIRAVOLT_CLIENT_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/host/*.cpp
  ${CMAKE_SOURCE_DIR}/src/services/*.cpp
  ${CMAKE_SOURCE_DIR}/src/http/*.cpp
  ${CMAKE_SOURCE_DIR}/src/report/*.cpp
  ${CMAKE_SOURCE_DIR}/src/network/*.cpp)
list(FILTER MIRAVOLT_CLIENT_SOURCES EXCLUDE REGEX "_rules\\.cpp$")
add_library(host STATIC ${MIRAVOLT_CLIENT_SOURCES})
target_link_libraries(host PUBLIC framework)
# The usage-report endpoint hosts: the default report endpoint, the main window's and the
# analytics collection endpoint.
set(MIRAVOLT_REPORT_HOST "report.miravolt.example" CACHE STRING
  "Host of the default usage-report endpoint")
set(MIRAVOLT_MAIN_REPORT_HOST "client.miravolt.example" CACHE STRING
  "Host of the main window's usage-report endpoint")
set(MIRAVOLT_ANALYTICS_HOST "www.google-analytics.com" CACHE STRING
  "Host of the analytics collection endpoint")
target_compile_definitions(host PRIVATE
  MIRAVOLT_REPORT_HOST="${MIRAVOLT_REPORT_HOST}"
  MIRAVOLT_MAIN_REPORT_HOST="${MIRAVOLT_MAIN_REPORT_HOST}"
  MIRAVOLT_ANALYTICS_HOST="${MIRAVOLT_ANALYTICS_HOST}")

set(MIRAVOLT_CLIENT_RC ${CMAKE_SOURCE_DIR}/apps/miravolt/miravolt.rc)

add_executable(miravolt WIN32
  apps/miravolt/main.cpp apps/miravolt/browser_choice.cpp ${MIRAVOLT_CLIENT_RC})
target_link_libraries(miravolt PRIVATE host browser_webbrowser)
target_link_options(miravolt PRIVATE ${MIRAVOLT_LINK_OPTIONS})

file(GLOB MIRAVOLT_UPDATER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/updater/*.cpp)
list(FILTER MIRAVOLT_UPDATER_SOURCES EXCLUDE REGEX "_rules\\.cpp$")
add_library(updater STATIC ${MIRAVOLT_UPDATER_SOURCES} src/services/registry_key.cpp)
target_link_libraries(updater PUBLIC framework)

add_executable(update WIN32 apps/update/main.cpp apps/update/update.rc)
target_link_libraries(update PRIVATE updater)
target_link_options(update PRIVATE ${MIRAVOLT_LINK_OPTIONS})

add_executable(miravolt-script tools/miravolt_script.cpp ${MIRAVOLT_CLIENT_RC})
target_link_libraries(miravolt-script PRIVATE host browser_script)
target_link_options(miravolt-script PRIVATE ${MIRAVOLT_LINK_OPTIONS})

# The sample pages lie beside the programs.
add_custom_target(sample_pages ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/res)

option(MIRAVOLT_BENCH "Build the benchmark programs (run on demand, never by CTest)" OFF)
if(MIRAVOLT_BENCH)
  add_subdirectory(bench)
endif()

if(MIRAVOLT_TESTS AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  include(cmake/wine_tests.cmake)
  add_subdirectory(tests/fixtures)
  add_subdirectory(tests/win)
  add_subdirectory(tests/script)
  add_subdirectory(tests/e2e)
endif()
