#include "rterrors/fpu_control.h"

#include "foundation/x87/x87.h"

namespace rterrors {

std::uint16_t DefaultFpuControlWord = 0x1332;

void ResetFpu() { foundation::LoadControlWord(DefaultFpuControlWord); }

} // namespace rterrors
