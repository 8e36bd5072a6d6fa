// SPDX-License-Identifier: MIT
// The load/store decoding that tells a write from a read where the kernel
// saved no exception syndrome.
#include "foundation/aarch64/store_decoding.h"

namespace foundation {

// Whether a load/store instruction writes memory, from its encoding: the
// L bit (22) is clear for stores in every load/store class but the
// PC-relative loads; single-register general forms use opc (23:22) 00 for
// a store (10 loads sign-extended); atomic read-modify-write forms write.
bool IsStoreInstruction(std::uint32_t word) {
    const std::uint32_t kind = (word >> 28) & 0x3;
    const bool loadBit = (word >> 22) & 1;
    if (kind == 0x1) {
        return false; // load register (literal)
    }
    if (kind == 0x3) {
        const bool simd = (word >> 26) & 1;
        const bool atomic = ((word >> 21) & 1) && ((word >> 10) & 0x3) == 0 && !((word >> 24) & 1);
        if (atomic && !simd) {
            return true;
        }
        return !loadBit && (simd || !((word >> 23) & 1));
    }
    return !loadBit;
}

} // namespace foundation
