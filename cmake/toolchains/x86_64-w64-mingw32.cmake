# SPDX-License-Identifier: MIT
# Cross build for 64-bit Windows with Debian's mingw-w64 compiler (the POSIX
# thread model, which C++ threads and the test framework need). Its long
# double is the x87 80-bit type, so the x87 arithmetic applies unchanged.
# The programs are linked statically, so survey.exe needs no DLL beside the
# system's own, and the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SURVEY_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SURVEY_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SURVEY_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SURVEY_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SURVEY_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Every program of the build runs under Wine with its own prefix inside the
# build tree, so no run depends on or changes the user's ~/.wine.
set(SURVEY_WINE /usr/bin/wine CACHE FILEPATH "Wine, to run the Windows programs")
set(SURVEY_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH "Wine prefix of this build")
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env WINEDEBUG=-all WINEPREFIX=${SURVEY_WINEPREFIX} ${SURVEY_WINE})
