# SPDX-License-Identifier: MIT
# The test suites in the WebAssembly build. Included from tests/ when the
# target is Emscripten; every test program runs under Node.js through
# CMAKE_CROSSCOMPILING_EMULATOR.

# Besides the other systems' folders, test files left out, each needing what
# WebAssembly has not:
# - textio stream tests, rterrors child tests: each case forks a child with
#   real descriptors;
# - rterrors/report_format_test.cpp: it finds the program's base in the ELF
#   program headers; the reports are compared byte for byte by the
#   transcripts instead.
# The allocation counter (alloc/) forks as well and is not built here; the
# transcripts and the comparison with the x87 build run from the host
# (survey_wasm_program_tests below).
set(SURVEY_PLATFORM_TEST_EXCLUDE
    "/textio/stream_[a-z_]*\\.(cpp|h)$|/rterrors/(fallback_child|report_child|report_format)_test\\.cpp$")

# Left out by name: the access violation messages expect the Linux build's
# module lookup (a named module holding the address, none outside it); in
# WebAssembly every code address is an offset into survey.wasm.
set(SURVEY_TEST_FILTER "-AccessViolationTest.*")

# Death tests (the *DeathTest suites) run their statement in a child
# process; here they are skipped with that reason (no_death_tests.h).
set(SURVEY_TEST_COMPILE_OPTIONS -include ${CMAKE_CURRENT_LIST_DIR}/no_death_tests.h)

# The tests that start the program: every transcript case of tests/e2e/cases
# and tests/programs/cases, the standard handles Node.js could mistake, and
# the comparison with the x87 reference
# program (every transcript case and 300 seeded inputs), run from the host
# by runners built for it (tests/host/), which start each program with
# Node.js and real files, pipes and closed handles. Each is one test.
function(survey_wasm_program_tests)
  include(ExternalProject)
  include(${PROJECT_SOURCE_DIR}/tests/support/ReferenceProgram.cmake)
  include(${PROJECT_SOURCE_DIR}/tests/support/HostTranscriptCases.cmake)
  survey_reference_program()
  set(runner_dir ${CMAKE_BINARY_DIR}/host-tests)
  ExternalProject_Add(host_tests
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tests/host
    BINARY_DIR ${runner_dir}
    CMAKE_ARGS
      -DCMAKE_BUILD_TYPE=RelWithDebInfo
      -DCMAKE_TOOLCHAIN_FILE=
      -DSURVEY_SOURCE_DIR=${PROJECT_SOURCE_DIR}
      -DSURVEY_PROGRAM=$<TARGET_FILE:survey>
      -DSURVEY_CONTOUR_PROGRAM=$<TARGET_FILE:survey-contour>
      -DSURVEY_FAULTING_PROGRAM=$<TARGET_FILE:faulting_survey>
      -DSURVEY_LAUNCHER=${CMAKE_CROSSCOMPILING_EMULATOR}
      -DSURVEY_MODULE_NAME=survey.wasm
      -DSURVEY_TEST_FEATURES=${SURVEY_TEST_FEATURE_LIST}
      -DSURVEY_REFERENCE_PROGRAM=${SURVEY_REFERENCE_PROGRAM}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  add_dependencies(host_tests reference_program survey survey-contour faulting_survey)

  survey_host_transcript_tests(wasm_transcript ${runner_dir}/host_transcripts)
  # Node.js's /dev/null in the place of a closed descriptor, told apart from
  # one the parent opened (tests/host/node_handles_test.cpp).
  add_test(NAME wasm_node_handles COMMAND ${runner_dir}/host_transcripts
                                          --gtest_filter=NodeHandles.*)
  set_tests_properties(wasm_node_handles PROPERTIES TIMEOUT 120)
  foreach(filter BackendComparison.* Shards/BackendComparisonSoak.*/0
                 Shards/BackendComparisonSoak.*/1 Shards/BackendComparisonSoak.*/2
                 Shards/BackendComparisonSoak.*/3)
    add_test(NAME wasm_comparison.${filter} COMMAND ${runner_dir}/host_comparison
                                                    --gtest_filter=${filter})
    set_tests_properties(wasm_comparison.${filter} PROPERTIES TIMEOUT 900)
  endforeach()

  # survey-web.zip carries the licence and the third-party notices. cpack
  # installs from this build folder, so it runs alone.
  add_test(NAME package.web_zip_carries_notices
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/notices_test.sh --cpack
                   ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(package.web_zip_carries_notices PROPERTIES RUN_SERIAL TRUE TIMEOUT 120
                       LABELS package SKIP_RETURN_CODE 77)
endfunction()
