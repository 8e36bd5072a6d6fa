# SPDX-License-Identifier: MIT
# Windows on x86-64: the registers of a faulting thread's context that the
# landing rewrites.
target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/landing_context.cpp)
