# SPDX-License-Identifier: MIT
# Cross build for 64-bit ARM Linux with Debian's aarch64-linux-gnu compiler.
# There is no x87 there, so the software extended arithmetic is chosen. The
# tests run under user-mode emulation (qemu-aarch64-static), so ctest works
# unchanged; the programs are linked as on any Linux, and the emulator
# loads their shared libraries from the cross compiler's own ARM C and C++
# libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(SURVEY_ARM_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${SURVEY_ARM_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${SURVEY_ARM_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${SURVEY_ARM_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(SURVEY_QEMU /usr/bin/qemu-aarch64-static CACHE FILEPATH "User-mode emulator for aarch64 programs")
set(CMAKE_CROSSCOMPILING_EMULATOR ${SURVEY_QEMU} -L /usr/${SURVEY_ARM_TRIPLET})
