# x86-64: what a POSIX fault signal's context says, and the instruction
# decoding that decides a fault's kind. Windows reads its faults from the
# system's exception records and needs neither.
if("posix" IN_LIST SURVEY_SYSTEM_FOLDERS)
  target_sources(foundation PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/fault_decoding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/signal_context.cpp)
endif()
