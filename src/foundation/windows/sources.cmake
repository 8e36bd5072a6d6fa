# Windows: the system's own calls for handles, faults, modules and exit.
target_sources(foundation PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fault_handlers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fault_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_io.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_exit.cpp)
# CharToOemBuffA lives in user32.
target_link_libraries(foundation PUBLIC user32)
