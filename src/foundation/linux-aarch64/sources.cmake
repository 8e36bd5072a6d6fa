# SPDX-License-Identifier: MIT
# Linux on 64-bit ARM: the program counter and the exception syndrome of a
# fault signal's context, and Debian's name for the platform.
target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/signal_context.cpp)
set(SURVEY_DEBIAN_ARCHITECTURE arm64 CACHE INTERNAL "Debian's architecture name")
