// SPDX-License-Identifier: MIT
// WebAssembly has no processor faults to catch: an access outside the
// linear memory, an unreachable instruction or a host stack that runs out
// is a trap that ends the module's run at once, and nothing in the module
// can go on from there. The host reports it and ends the process (see
// host_library.js). Floating-point faults come from the software
// arithmetic, through RaiseFault, and need no handler.
#include "foundation/faults.h"

namespace foundation {

void InstallFaultHandlers() {}

void RemoveFaultHandlers() {}

} // namespace foundation
