// SPDX-License-Identifier: MIT
// What the program must do with a given standard input, worked out from the
// dialogue's rules alone: how many points it asks for, which read statement
// (if any) fails and how, and so exactly what standard output holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace soak {

enum class TOutcome {
    Normal,          // exit 0, the whole dialogue
    InvalidInput,    // exit 1, EInOutError 106 at FailingRead
    Overflow,        // exit 1, EOverflow at FailingRead
    InvalidOp,       // exit 1, EInvalidOp when the area is computed
    ComputeMayFault, // exit 0, or exit 1 with EOverflow/EInvalidOp when the area is computed
    Unsettled,       // from FailingRead on the rules leave the result open
};

struct TPrediction {
    int PointCount = 0;
    TOutcome Outcome = TOutcome::Normal;
    int FailingRead = 0;      // 0 the count, 2k-1 the length of point k, 2k its direction
    bool ZeroResults = false; // the results line is known to show zero areas
};

TPrediction PredictDialogue(std::string_view input);

// The whole output of a run with n points, with `results` as its results
// line (without line end).
std::string ExpectedDialogue(int pointCount, std::string_view results);
// Everything written before read statement `read` (the count is read 0).
std::string ExpectedBeforeRead(int pointCount, int read);
// Everything written before the area is computed.
std::string ExpectedBeforeArea(int pointCount);

extern const std::string_view ZeroResultsLine;

// Checks a finished run against the prediction; empty when it conforms,
// else what is wrong.
std::string CheckRun(const TPrediction& prediction, int exitCode, const std::string& output,
                     const std::string& errors);

} // namespace soak
