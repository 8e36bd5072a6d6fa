#include "rterrors/fpu_control.h"

#include "foundation/extended.h"

namespace rterrors {

void ResetFpu() {
    foundation::ResetArithmetic(DefaultFpuControlWord);
}

} // namespace rterrors
