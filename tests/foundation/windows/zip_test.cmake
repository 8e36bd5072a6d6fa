# SPDX-License-Identifier: MIT
# Builds the ZIP for Windows users and checks what it holds: one folder with
# survey.exe and survey-contour.exe (Windows programs), README.txt (the
# README with CR LF line ends), the examples as they are in the sources,
# and the notices (tests/package/notices_test.sh).
#   cmake -DCPACK=... -DBUILD_DIR=... -DSOURCE_DIR=... -P zip_test.cmake
execute_process(COMMAND ${CPACK} -G ZIP WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack -G ZIP failed: ${result}")
endif()
file(GLOB archives ${BUILD_DIR}/survey-*-windows-x64.zip)
list(LENGTH archives count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one ZIP, found: ${archives}")
endif()

set(unpacked ${BUILD_DIR}/zip-test)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${archives} WORKING_DIRECTORY ${unpacked})
get_filename_component(top ${archives} NAME_WLE)
set(top ${unpacked}/${top})

file(GLOB_RECURSE held RELATIVE ${top} ${top}/*)
list(SORT held)
set(expected LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt examples/crossing.txt
    examples/square.txt examples/triangle.txt survey-contour.exe survey.exe)
if(NOT held STREQUAL expected)
  message(FATAL_ERROR "the ZIP holds [${held}], expected [${expected}]")
endif()

foreach(program survey.exe survey-contour.exe)
  file(READ ${top}/${program} magic LIMIT 2 HEX)
  if(NOT magic STREQUAL "4d5a")
    message(FATAL_ERROR "${program} is not a Windows program (starts with ${magic})")
  endif()
endforeach()

file(READ ${SOURCE_DIR}/README.md readme)
string(REPLACE "\n" "\r\n" readme "${readme}")
file(WRITE ${unpacked}/README.expected "${readme}")
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${unpacked}/README.expected
                        ${top}/README.txt RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "README.txt is not the README with CR LF line ends")
endif()

foreach(example crossing.txt square.txt triangle.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SOURCE_DIR}/examples/${example}
                          ${top}/examples/${example} RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "examples/${example} differs from the sources")
  endif()
endforeach()
execute_process(COMMAND bash ${SOURCE_DIR}/tests/package/notices_test.sh ${archives} ${SOURCE_DIR}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the ZIP lacks its notices")
endif()
message(STATUS "the ZIP holds survey.exe, survey-contour.exe, README.txt, the examples and the notices")
