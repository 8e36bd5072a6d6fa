# SPDX-License-Identifier: MIT
# One test per transcript case (each folder of tests/e2e/cases and
# tests/programs/cases), for a target whose programs are started by a runner
# built for the host: the test runs that runner on its one case. Arguments
# after the runner are further test properties.
function(survey_host_transcript_tests prefix runner)
  foreach(dir ${PROJECT_SOURCE_DIR}/tests/e2e/cases ${PROJECT_SOURCE_DIR}/tests/programs/cases)
    file(GLOB names LIST_DIRECTORIES true RELATIVE ${dir} CONFIGURE_DEPENDS ${dir}/*)
    foreach(name IN LISTS names)
      if(IS_DIRECTORY ${dir}/${name})
        add_test(NAME ${prefix}.${name}
                 COMMAND ${runner} --gtest_filter=Cases/Transcript.MatchesExpectedBytes/${name})
        set_tests_properties(${prefix}.${name} PROPERTIES TIMEOUT 120 ${ARGN})
      endif()
    endforeach()
  endforeach()
endfunction()
