# SPDX-License-Identifier: MIT
# Linux on x86-64: the saved registers of a fault signal's context, and
# Debian's name for the platform.
target_sources(foundation PRIVATE ${CMAKE_CURRENT_LIST_DIR}/signal_context.cpp)
set(SURVEY_DEBIAN_ARCHITECTURE amd64 CACHE INTERNAL "Debian's architecture name")
