# SPDX-License-Identifier: MIT
# Windows: the system's own calls for handles, faults, modules, exit, and
# the keyboard and registry that can override the floating-point masks.
target_sources(foundation PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fault_handlers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fault_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keyboard_type.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mask_value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_io.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_exit.cpp)
# CharToOemBuffA and GetKeyboardType live in user32, the registry calls in
# advapi32.
target_link_libraries(foundation PUBLIC user32 advapi32)
