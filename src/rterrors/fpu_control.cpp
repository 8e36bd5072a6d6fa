#include "rterrors/fpu_control.h"

#include "foundation/x87/x87.h"

namespace rterrors {

void ResetFpu() { foundation::LoadControlWord(DefaultFpuControlWord); }

} // namespace rterrors
