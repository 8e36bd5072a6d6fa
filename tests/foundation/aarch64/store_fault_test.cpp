// SPDX-License-Identifier: MIT
// Writes to a read-only page are reported as writes, also where the system
// saves no syndrome (as under user-mode emulation) and the instruction
// itself is decoded.
#include <sys/mman.h>

#include <cstdint>

#include <gtest/gtest.h>

#include "foundation/aarch64/store_decoding.h"
#include "foundation/faults.h"
#include "support/child_process.h"
#include "support/faulting.h"

namespace {

using namespace foundation;

const testsupport::TShared<testsupport::TCaught> Caught;
const testsupport::TShared<std::uintptr_t> Page;

// A store pair decodes apart from a single store (fault_checkpoint_test.cpp).
TEST(StoreFaultTest, StorePairIsReportedAsWrite) {
    const auto outcome = testsupport::RunInChild([] {
        InstallFaultHandlers();
        *Page = reinterpret_cast<std::uintptr_t>(
            mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        *Caught = testsupport::Catch([] { testsupport::WritePairAt(*Page + 16); });
    });
    ASSERT_EQ(outcome.ExitCode(), testsupport::ChildBodyReturned) << outcome.Err;
    EXPECT_FALSE(Caught->CameBack);
    EXPECT_EQ(Caught->Record.Code, FaultAccessViolation);
    EXPECT_EQ(Caught->Record.AccessKind, AccessWrite);
    EXPECT_EQ(Caught->Record.AccessedAddress, *Page + 16);
}

// The encodings themselves: ldr/str, ldp/stp, a literal load, an atomic add.
TEST(StoreDecodingTest, WritesAreTheStores) {
    struct TEncoding {
        std::uint32_t Word;
        bool Store;
    };
    constexpr TEncoding Encodings[] = {
        {0xB9400009, false}, // ldr w9, [x0]
        {0xB9000009, true},  // str w9, [x0]
        {0x29400409, false}, // ldp w9, w1, [x0]
        {0x29000409, true},  // stp w9, w1, [x0]
        {0x18000049, false}, // ldr w9, <literal>
        {0xB8200009, true},  // ldadd w0, w9, [x0]
    };
    for (const TEncoding& encoding : Encodings) {
        EXPECT_EQ(IsStoreInstruction(encoding.Word), encoding.Store) << std::hex << encoding.Word;
    }
}

} // namespace
