# SPDX-License-Identifier: MIT
# x86-64: the instruction decoding that decides a POSIX fault signal's kind.
# Windows reads its faults from the system's exception records and needs
# none of it.
if("posix" IN_LIST SURVEY_SYSTEM_FOLDERS)
  target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/fault_decoding.cpp)
endif()
