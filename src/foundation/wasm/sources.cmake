# SPDX-License-Identifier: MIT
# WebAssembly: the standard handles through the JavaScript host, no
# processor faults, one module, the process ended by the host. Failures of
# the host's descriptors come as errno values, read by the POSIX errno
# table; like POSIX, it has no keyboard query and no registry, and takes
# that side's answer.
target_sources(foundation PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fault_handlers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_io.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_exit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../posix/last_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../posix/mask_override.cpp)
# A read may wait for the host (a page waits for the operator's Enter): the
# program's stack is then unwound and rewound around it (asyncify).
target_link_options(foundation INTERFACE
  "SHELL:--js-library ${CMAKE_CURRENT_LIST_DIR}/host_library.js"
  "SHELL:--pre-js ${CMAKE_CURRENT_LIST_DIR}/host_traps.js"
  -sASYNCIFY "-sASYNCIFY_IMPORTS=['survey_host_read']"
  # The stack below the data, so that running off its end is an access
  # outside the memory, a trap, rather than a write over the data.
  -Wl,--stack-first)
set_property(TARGET foundation APPEND PROPERTY INTERFACE_LINK_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/host_library.js ${CMAKE_CURRENT_LIST_DIR}/host_traps.js)
