# SPDX-License-Identifier: MIT
# The test suites in the Windows cross build. Included from tests/ when
# WIN32; every program runs under Wine through CMAKE_CROSSCOMPILING_EMULATOR.

# Besides the other systems' folders, test files that stay with the POSIX
# build:
# - x86_64/: the processor's side of POSIX fault signals;
# - textio stream tests, rterrors child tests, alloc: each case forks a
#   child with real descriptors;
# - rterrors/report_format_test.cpp: it finds the program's base in the ELF
#   program headers and expects the Linux build's module names; on Windows
#   the module lookup has its own tests here and the reports are compared
#   byte for byte by the transcripts.
set(SURVEY_PLATFORM_TEST_EXCLUDE
    "/foundation/x86_64/|/textio/stream_[a-z_]*\\.(cpp|h)$|/rterrors/(fallback_child|report_child|report_format)_test\\.cpp$")

# The POSIX death tests expect a trapped fault to end the child by a signal;
# on Windows it ends the process with the fault's exception code, and
# death_by_fault.h says which codes each signal stands for.
set(SURVEY_TEST_COMPILE_OPTIONS -include ${CMAKE_CURRENT_LIST_DIR}/death_by_fault.h)
# Left out by name:
# - the area death tests match the report with regular expressions that the
#   Windows build of GoogleTest (simple expressions only) cannot read; the
#   same reports are compared byte for byte by the Windows transcripts;
# - the access violation message test expects the Linux build's module name
#   and formats the address through a long, which has 32 bits on Windows.
set(SURVEY_TEST_FILTER "-AreaDeathTest.*:AccessViolationTest.MessageNamesModuleAndBothAddresses")

# A prefix of our own inside the build tree, and one Wine server, with
# Wine's own background services, for the whole test run. Nothing starts
# Wine before the tests run: configuring and building need no Wine, and the
# test programs are listed when ctest starts (PRE_TEST discovery).
#
# The fixture (wine_fixture.sh) makes the prefix when it is not there yet
# (its first start prints set-up lines on standard error and takes seconds)
# and removes the debugger from it: then a fault that nothing handles ends
# the process at once with the fault's code, as the death tests expect,
# instead of starting Wine's debugger. Every program connects to the prefix's server; one that
# starts just as an idle server shuts down loses its connection ("recvmsg:
# Connection reset by peer"), and services started by a test's program
# would hold that test's output open until they end. So the fixture starts
# the server to persist, and the services with it, their output going
# nowhere, and stops them after the tests.
find_program(SURVEY_WINESERVER wineserver REQUIRED)
foreach(action start stop)
  add_test(NAME wine_server_${action}
           COMMAND /usr/bin/env WINEPREFIX=${SURVEY_WINEPREFIX} /bin/sh
                   ${CMAKE_CURRENT_LIST_DIR}/wine_fixture.sh ${action} ${SURVEY_WINE}
                   ${SURVEY_WINESERVER})
endforeach()
set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine_server)
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine_server)
set(SURVEY_DISCOVERY_MODE PRE_TEST)

# Wine's own failed starts (wine_start.sh) are run again once, for the test
# programs here and for the transcripts' runner (E2E_RETRY_SILENT_START);
# any other failure fails at once. The runner starts Wine itself.
set(SURVEY_WINE_LAUNCH ${CMAKE_CROSSCOMPILING_EMULATOR})
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh ${CMAKE_CURRENT_LIST_DIR}/wine_start.sh
    ${SURVEY_WINE_LAUNCH})
set(SURVEY_TEST_PROPERTIES FIXTURES_REQUIRED wine_server)

# The tests that start the Windows programs. The transcripts of
# tests/e2e/cases and tests/programs/cases run from the host: the runner is
# built for it with the host compiler (a project of its own, since this one
# is cross compiled), and each case is one test.
set(SURVEY_WINDOWS_TESTS_DIR ${CMAKE_CURRENT_LIST_DIR})
function(survey_windows_program_tests)
  # The fault report test starts the test build that faults on purpose.
  target_compile_definitions(foundation_tests PRIVATE
    SURVEY_FAULTING_PROGRAM="$<TARGET_FILE:faulting_survey>")
  add_dependencies(foundation_tests faulting_survey)

  include(ExternalProject)
  include(${PROJECT_SOURCE_DIR}/tests/support/HostTranscriptCases.cmake)
  set(e2e ${PROJECT_SOURCE_DIR}/tests/e2e)
  set(runner_dir ${CMAKE_BINARY_DIR}/host-transcripts)
  # The launcher's words go through the host project's command line with
  # "|" between them, and reach the runner that way too.
  string(JOIN "|" launcher ${SURVEY_WINE_LAUNCH})
  ExternalProject_Add(windows_transcripts
    SOURCE_DIR ${SURVEY_WINDOWS_TESTS_DIR}/transcripts
    BINARY_DIR ${runner_dir}
    CMAKE_ARGS
      -DCMAKE_BUILD_TYPE=RelWithDebInfo
      -DSURVEY_E2E_DIR=${e2e}
      -DSURVEY_PROGRAM_CASES_DIR=${PROJECT_SOURCE_DIR}/tests/programs/cases
      -DSURVEY_PROGRAM=$<TARGET_FILE:survey>
      -DSURVEY_FAULTING_PROGRAM=$<TARGET_FILE:faulting_survey>
      -DSURVEY_JAPANESE_PROGRAM=$<TARGET_FILE:japanese_keyboard_survey>
      -DSURVEY_HANDLE_LAUNCHER=$<TARGET_FILE:handle_launch>
      -DSURVEY_LAUNCHER=${launcher}
      -DSURVEY_TEST_FEATURES=${SURVEY_TEST_FEATURE_LIST}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  # The ZIP for Windows users. cpack installs from this build folder, so it
  # runs alone.
  add_test(NAME windows_zip_holds_program_readme_examples
           COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -P ${SURVEY_WINDOWS_TESTS_DIR}/zip_test.cmake)
  set_tests_properties(windows_zip_holds_program_readme_examples PROPERTIES RUN_SERIAL TRUE
                       ${SURVEY_TEST_PROPERTIES})

  # The registry value that overrides the floating-point masks, set and
  # removed by each case in turn (mask_override_test.cpp), and survey.exe
  # started from a path of over 300 characters.
  add_test(NAME windows_fpu_mask_override
           COMMAND ${runner_dir}/windows_transcripts --gtest_filter=Registry/MaskOverride.*)
  add_test(NAME windows_long_path_names_program
           COMMAND ${runner_dir}/windows_transcripts --gtest_filter=WindowsLongPath.*)
  set_tests_properties(windows_fpu_mask_override windows_long_path_names_program PROPERTIES
                       TIMEOUT 900 ${SURVEY_TEST_PROPERTIES})

  survey_host_transcript_tests(windows_transcript ${runner_dir}/windows_transcripts
                               ${SURVEY_TEST_PROPERTIES})
endfunction()
