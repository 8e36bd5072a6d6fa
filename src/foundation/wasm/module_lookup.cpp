// SPDX-License-Identifier: MIT
// The program is one module: every code address is an offset into it, as a
// WebAssembly debugger shows it, and its base is 0.
#include "foundation/module_lookup.h"
#include "foundation/module_name.h"

namespace foundation {

namespace {
constexpr char ModuleName[] = "survey.wasm";
}

const char* ProgramFileName() {
    return ModuleName;
}

bool FindModule(std::uintptr_t address, TModuleInfo& module) {
    if (address == 0) {
        return false;
    }
    module.Base = 0;
    CopyModuleName(module.Name, ModuleName);
    return true;
}

} // namespace foundation
