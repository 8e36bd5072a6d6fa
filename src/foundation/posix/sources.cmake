# SPDX-License-Identifier: MIT
# POSIX: descriptors (the standard ones and a file to write), the errno
# table, fault signals, the process exit, and no override of the
# floating-point masks.
target_sources(foundation PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fault_code.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fault_signals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/last_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mask_override.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_io.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_exit.cpp)
