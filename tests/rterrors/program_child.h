// SPDX-License-Identifier: MIT
// The program's shape for the error-path tests, run in a child: the layers
// started, a first line of output still in the buffer, the statement, the
// normal end. The child's stack has the usual limit, so that a stack
// overflow comes soon whatever the test runs under.
#pragma once

#include <functional>
#include <span>

#include "foundation/extended.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/run_errors.h"
#include "rterrors/top_level.h"
#include "support/child_process.h"
#include "textio/text_stream.h"

namespace rterrorstest {

inline std::function<void()> Statement;
inline std::span<const rterrors::TLayer> Layers;

inline testsupport::TChildOutcome
RunProgram(const std::function<void()>& statement,
           std::span<const rterrors::TLayer> layers = rterrors::StandardLayers(),
           bool console = true) {
    Statement = statement;
    Layers = layers;
    return testsupport::RunInChild(
        [] {
            rterrors::RunUnderTopLevelHandler([] {
                rterrors::InitializeLayers(Layers);
                textio::WriteText(textio::OutputStream, "Before", 0);
                Statement();
                rterrors::EndProgram(0);
            });
        },
        {},
        [console] {
            rterrors::ConsoleProgram = console;
            testsupport::LimitResource(RLIMIT_STACK, 8 << 20);
        });
}

// 2^1329, about 1.2e400: far above the largest double, so storing it to a
// double overflows.
inline constexpr foundation::Extended BeyondDouble = foundation::MakeExtended(
    false, foundation::ExtendedBits::ExponentBias + 1329, foundation::ExtendedBits::IntegerBit);

// A statement whose I/O failed with the code.
template <int Code> void FailWith() {
    textio::SetIoResult(Code);
    rterrors::CheckIo();
}

} // namespace rterrorstest
