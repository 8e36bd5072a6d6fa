# 64-bit ARM: what a POSIX fault signal's context says, and the load/store
# decoding that tells a write where the system saved no syndrome.
target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/store_decoding.cpp)
if("posix" IN_LIST SURVEY_SYSTEM_FOLDERS)
  target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/signal_context.cpp)
endif()
