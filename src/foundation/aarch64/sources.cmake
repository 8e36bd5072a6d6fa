# SPDX-License-Identifier: MIT
# 64-bit ARM: the load/store decoding that tells a write where the system
# saved no syndrome, and what a POSIX fault signal's kind owes the processor.
target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/store_decoding.cpp)
if("posix" IN_LIST SURVEY_SYSTEM_FOLDERS)
  target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/fault_decoding.cpp)
endif()
