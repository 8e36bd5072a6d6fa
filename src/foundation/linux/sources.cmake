# SPDX-License-Identifier: MIT
# Linux: modules from the program headers, the executable from /proc or the
# auxiliary vector, the main stack's bounds.
target_sources(foundation PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/module_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stack_bounds.cpp)
target_link_libraries(foundation PUBLIC ${CMAKE_DL_LIBS})
