# SPDX-License-Identifier: MIT
# The exact sine the software sine is judged against, for the tests and the
# fuzz target: the library exact_sine, over MPFR (Debian's libmpfr-dev, a
# test-only dependency). A cross build to Windows finds no MPFR for its
# target; there the software sine is compared with FSIN only.
include_guard(GLOBAL)

find_path(SURVEY_MPFR_INCLUDE_DIR mpfr.h)
find_library(SURVEY_MPFR_LIBRARY mpfr)
find_library(SURVEY_GMP_LIBRARY gmp)
if(SURVEY_MPFR_INCLUDE_DIR AND SURVEY_MPFR_LIBRARY AND SURVEY_GMP_LIBRARY)
  add_library(exact_sine STATIC ${CMAKE_CURRENT_LIST_DIR}/sine_reference.cpp)
  target_include_directories(exact_sine PUBLIC ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src
                             ${SURVEY_MPFR_INCLUDE_DIR})
  target_link_libraries(exact_sine PUBLIC ${SURVEY_MPFR_LIBRARY} ${SURVEY_GMP_LIBRARY})
elseif(NOT CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR "the software sine's exact reference needs MPFR (apt-get install libmpfr-dev)")
endif()
