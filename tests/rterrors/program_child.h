// The program's shape for the error-path tests, run in a child: the layers
// started, a first line of output still in the buffer, the statement, the
// normal end. The child's stack has the usual limit, so that a stack
// overflow comes soon whatever the test runs under.
#pragma once

#include <functional>
#include <span>

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

// A statement whose I/O failed with the code.
template <int Code> void FailWith() {
    textio::SetIoResult(Code);
    rterrors::CheckIo();
}

} // namespace rterrorstest
