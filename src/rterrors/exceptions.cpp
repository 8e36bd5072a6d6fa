// SPDX-License-Identifier: MIT
#include "rterrors/exceptions.h"

namespace rterrors {

void ReleaseObject(TObject* object) {
    if (const auto* heap = dynamic_cast<const EHeapException*>(object);
        heap != nullptr && heap->AllowRelease == 0) {
        return;
    }
    delete object;
}

} // namespace rterrors
