# The tests of the Windows build, run under Wine: the unit tests in one
# process, the two programs' own runs, the same bytes as the Linux programs
# (built here for the build machine), and the generator on a screen (Xvfb).

set(wine_environment WINEPREFIX=${SCENARIO_WINEPREFIX} WINEDEBUG=-all
                     SCENARIO_WINE=${SCENARIO_WINE})

# One Wine server for the whole run: each program then starts in tens of
# milliseconds instead of seconds, and the prefix is made once, before the
# tests run side by side.
add_test(NAME wine_session COMMAND bash ${CMAKE_SOURCE_DIR}/src/run/windows_wine_session.sh)
set_tests_properties(wine_session PROPERTIES FIXTURES_SETUP wine ENVIRONMENT
                                             "${wine_environment}" TIMEOUT 300)

# Every unit test; the disk held in memory takes "/" and "\\" alike, as
# Windows does, so tests that spell paths with "/" run here too.
add_test(NAME unit_tests_under_wine COMMAND scenario_tests --gtest_brief=1)
set_tests_properties(unit_tests_under_wine PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)

# A test program for Windows alone: holds a file or a directory's lock as
# another program would, and finds, reads, photographs nothing itself but
# presses the button of a window the generator shows.
add_executable(windows_test_helper src/test_support/windows_test_helper.cpp)
target_link_libraries(windows_test_helper PRIVATE scenario_run)
set_target_properties(windows_test_helper PROPERTIES WIN32_EXECUTABLE OFF)

add_test(NAME windows_programs_under_wine
         COMMAND bash ${CMAKE_SOURCE_DIR}/src/run/windows_runs_test.sh $<TARGET_FILE:scenario-gen>
                 $<TARGET_FILE:scenario-tool> $<TARGET_FILE:windows_test_helper>)
set_tests_properties(windows_programs_under_wine PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                                                            "${wine_environment}" TIMEOUT 300)

add_test(NAME generator_on_a_screen
         COMMAND bash ${CMAKE_SOURCE_DIR}/src/run/windows_screen_test.sh $<TARGET_FILE:scenario-gen>
                 $<TARGET_FILE:windows_test_helper> ${CMAKE_BINARY_DIR}/screens)
set_tests_properties(generator_on_a_screen PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                                                      "${wine_environment}" TIMEOUT 300
                                                      SKIP_RETURN_CODE 77 RUN_SERIAL ON)

# The Linux programs from the same sources, for the comparison of bytes.
include(ExternalProject)
set(host_dir ${CMAKE_BINARY_DIR}/host)
ExternalProject_Add(
  host_programs
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${host_dir}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCENARIO_TESTS=OFF
             -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${host_dir} --parallel 2 --target scenario-gen
                scenario-tool
  BUILD_BYPRODUCTS ${host_dir}/scenario-gen ${host_dir}/scenario-tool
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
add_dependencies(scenario_tests host_programs)

add_test(NAME same_bytes_as_linux
         COMMAND bash ${CMAKE_SOURCE_DIR}/src/run/windows_same_bytes_test.sh
                 $<TARGET_FILE:scenario-gen> $<TARGET_FILE:scenario-tool> ${host_dir}/scenario-gen
                 ${host_dir}/scenario-tool ${CMAKE_SOURCE_DIR}/fuzz/corpus)
set_tests_properties(same_bytes_as_linux PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                                                    "${wine_environment}" TIMEOUT 600)

# The zip as CPack makes it: what it holds, and its programs run.
add_test(NAME windows_zip COMMAND bash ${CMAKE_SOURCE_DIR}/src/run/windows_zip_test.sh
                                  ${CMAKE_BINARY_DIR})
set_tests_properties(windows_zip PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                                            "${wine_environment}" TIMEOUT 300)
