// SPDX-License-Identifier: MIT
// The fault raised when software arithmetic meets an exception that the
// program's control word leaves unmasked.
#include <cstdint>

#include "foundation/code_address.h"
#include "foundation/faults.h"
#include "foundation/soft/extended_soft.h"

namespace foundation {

void RaiseFloatFault(unsigned flags) {
    std::uint32_t code = FaultFloatOverflow;
    if ((flags & soft::FlagInvalid) != 0) {
        code = FaultFloatInvalid;
    } else if ((flags & soft::FlagZeroDivide) != 0) {
        code = FaultFloatDivideByZero;
    }
    // The return address lies in the function the failing operator was
    // inlined into, where the x87 would have trapped.
    RaiseFault(TFaultRecord{code, ReturnAddress()});
}

} // namespace foundation
