// SPDX-License-Identifier: MIT
// The software extended arithmetic against the x87 on raw operands. An
// input is one operation and two 80-bit operands of any encoding (a load
// reads the first operand's low 8 or 4 bytes as its pattern). The flags that
// trap under the program's control word must agree and, when none is raised,
// the result bits. The sine, whose bits differ from FSIN's in about one
// result in a hundred, must raise FSIN's flags, give the exact sine's bits
// and lie within a last place of FSIN's result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "foundation/extended_bits.h"
#include "foundation/soft/sine_reference.h"
#include "foundation/soft/soft_arith.h"
#include "foundation/soft/soft_vs_x87.h"
#include "foundation/soft/x87_reference.h"
#include "fuzz_fpu.h"

namespace {

using foundation::ExtendedBits;

constexpr std::size_t OperandBytes = ExtendedBits::ValueBytes;
constexpr std::size_t InputBytes = 1 + 2 * OperandBytes;
// The operations both sides share, then the sine.
constexpr std::size_t SharedOps = std::size(softtest::AllOps);

void CheckOperation(const softtest::TCase& c) {
    const softtest::TOutcome x87 = softtest::RunX87(c);
    const softtest::TOutcome software = softtest::RunSoft(c);
    if (!softtest::Agree(x87, software)) {
        softtest::PrintDisagreement("input", c, x87, software);
        fuzz::Fail("the software arithmetic disagrees with the x87");
    }
}

void CheckSine(ExtendedBits x) {
    bool outOfRange = false;
    const softtest::TX87Result x87 = softtest::X87Sine(x, outOfRange);
    unsigned flags = 0;
    const ExtendedBits software = foundation::soft::Sine(x, flags);
    fuzz::Require(flags == x87.Flags, "the sine's flags differ from FSIN's");
    if (flags != 0) {
        return;
    }
    if (outOfRange) {
        fuzz::Require(software == ExtendedBits::Make(false, 0, 0), "out of range, the sine is +0");
    } else if (x.Kind() != ExtendedBits::TKind::Finite) {
        fuzz::Require(software == x87.Bits, "the sine of a zero or quiet NaN differs from FSIN's");
    } else {
        fuzz::Require(software == softtest::ExactSine(x), "the sine differs from the exact sine");
        fuzz::Require(softtest::UlpDistance(software, x87.Bits) <= 1,
                      "the sine lies more than a last place from FSIN's");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned char input[InputBytes] = {};
    std::memcpy(input, data, std::min(size, InputBytes));
    const ExtendedBits a = ExtendedBits::FromBytes(input + 1);
    const ExtendedBits b = ExtendedBits::FromBytes(input + 1 + OperandBytes);
    fuzz::UseControlWord(softtest::MaskedControlWord);
    const std::size_t op = input[0] % (SharedOps + 1);
    if (op == SharedOps) {
        CheckSine(a);
    } else {
        CheckOperation(softtest::TCase{softtest::AllOps[op], a, b, a.Significand});
    }
    return 0;
}
