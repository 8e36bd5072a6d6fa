# SPDX-License-Identifier: MIT
# The reference program: the program built from the same sources for this
# machine with the x87 arithmetic, which a build with another arithmetic is
# compared with. It is built once, in build-reference/ of the source tree,
# and every build that compares with it (soft, aarch64, wasm) shares it.
# Sets SURVEY_REFERENCE_PROGRAM; the target reference_program builds it.
function(survey_reference_program)
  set(reference_dir ${PROJECT_SOURCE_DIR}/build-reference)
  if(NOT TARGET reference_program)
    include(ExternalProject)
    ExternalProject_Add(reference_program
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${reference_dir}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE= -DSURVEY_BUILD_TESTS=OFF
                 -DSURVEY_SOFT_EXTENDED=OFF
      BUILD_COMMAND ${CMAKE_COMMAND} --build ${reference_dir} --target survey
      BUILD_BYPRODUCTS ${reference_dir}/survey
      INSTALL_COMMAND "")
  endif()
  set(SURVEY_REFERENCE_PROGRAM ${reference_dir}/survey PARENT_SCOPE)
endfunction()
