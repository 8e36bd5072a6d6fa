#include "rterrors/fpu_control.h"

#include "foundation/extended.h"

namespace rterrors {

void ResetFpu() {
    foundation::LoadControlWord(DefaultFpuControlWord);
}

} // namespace rterrors
