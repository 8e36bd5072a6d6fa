# SPDX-License-Identifier: MIT
# Build for WebAssembly with Debian's emscripten. There is no x87, so the
# software extended arithmetic is chosen. Every program is a single
# JavaScript file with the module inside, run by Node.js with the real
# standard handles (the page's build of the program is linked apart, for
# the browser). C++ exceptions are caught, which emscripten leaves out
# unless asked, in every object including the test framework's.
set(EMSCRIPTEN_SYSTEM_PROCESSOR wasm32)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

set(CMAKE_CXX_FLAGS_INIT "-fexceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fexceptions -sENVIRONMENT=node -sSINGLE_FILE=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1")

# emscripten's optimiser runs on Node.js with Debian's acorn, which Node
# only finds on this path.
set(SURVEY_NODE_PATH /usr/share/nodejs CACHE PATH "Node.js modules emscripten's tools need")
set(CMAKE_CXX_LINKER_LAUNCHER /usr/bin/env NODE_PATH=${SURVEY_NODE_PATH})

find_program(SURVEY_NODE node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SURVEY_NODE} CACHE FILEPATH "Node.js, to run the programs" FORCE)
