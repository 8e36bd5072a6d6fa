# SPDX-License-Identifier: MIT
# GoogleTest for a cross build: none is packaged for the cross compilers,
# so Debian's sources are built with them, as static libraries, without
# our warning flags.
set(SURVEY_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for a cross build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF)
get_directory_property(survey_compile_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${SURVEY_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${survey_compile_options}")
