// SPDX-License-Identifier: MIT
#include "dialogue_model.h"

#include <string>

#include "token_model.h"

namespace soak {

namespace {

constexpr unsigned char EndOfFileByte = 26;
constexpr std::size_t IntegerLimit = 32;
constexpr std::size_t RealLimit = 64;

const std::string CrLf = "\r\n";
const std::string CountPrompt = "Enter the number of the points in the collapse of a contour:";
const std::string ExitPrompt = "*Press Enter to exit*";
const std::string ResultsLead = "The area of a contour: ";

std::string LengthPrompt(int k) {
    return "Enter the measured length of the point " + std::to_string(k) +
           " in the collapse of a contour: " + CrLf;
}

std::string DirectionPrompt(int k) {
    return "Enter the measured direction of the point " + std::to_string(k) +
           " in the collapse of a contour: " + CrLf;
}

// The input as the program reads it: byte 26 or the end of the bytes is a
// permanent end of file; a byte from 0 to 32 is a blank.
class TModelReader {
  public:
    explicit TModelReader(std::string_view input) : Input(input) {}

    int Next() {
        if (Pos >= Input.size() || static_cast<unsigned char>(Input[Pos]) == EndOfFileByte) {
            return -1;
        }
        return static_cast<unsigned char>(Input[Pos++]);
    }

    // Empty at end of file before any token.
    std::string Token(std::size_t limit) {
        for (;;) {
            const int c = Next();
            if (c < 0) return {};
            if (c > ' ') {
                --Pos;
                break;
            }
        }
        std::string token;
        while (token.size() < limit) {
            const int c = Next();
            if (c < 0) break;
            if (c <= ' ') {
                --Pos;
                break;
            }
            token.push_back(static_cast<char>(c));
        }
        return token;
    }

    // A lone CR does not end a line, so this is "through the next LF".
    void LineEnd() {
        for (int c = Next(); c >= 0 && c != '\n'; c = Next()) {
        }
    }

  private:
    std::string_view Input;
    std::size_t Pos = 0;
};

bool IsReport(const std::string& errors, std::string_view cls, std::string_view message) {
    const std::string lead = "Exception " + std::string(cls) + " in module survey at ";
    const std::string tail = ".\r\n" + std::string(message) + ".\r\n\r\n";
    if (errors.size() != lead.size() + 8 + tail.size()) return false;
    if (errors.compare(0, lead.size(), lead) != 0) return false;
    for (std::size_t i = lead.size(); i < lead.size() + 8; ++i) {
        const char c = errors[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return errors.compare(lead.size() + 8, tail.size(), tail) == 0;
}

bool IsIoReport(const std::string& e) {
    return IsReport(e, "EInOutError", "Invalid numeric input");
}
bool IsOverflowReport(const std::string& e) {
    return IsReport(e, "EOverflow", "Floating point overflow");
}
bool IsInvalidOpReport(const std::string& e) {
    return IsReport(e, "EInvalidOp", "Invalid floating point operation");
}

// The results line between the fixed texts; the numbers are checked by the
// number output tests, here only its frame.
bool IsResultsFramed(const std::string& output, int pointCount) {
    const std::string before = ExpectedBeforeArea(pointCount) + CrLf + ResultsLead;
    const std::string after = CrLf + CrLf + CrLf + CrLf + CrLf + ExitPrompt + CrLf;
    if (output.size() < before.size() + after.size()) return false;
    if (output.compare(0, before.size(), before) != 0) return false;
    if (output.compare(output.size() - after.size(), after.size(), after) != 0) return false;
    const std::string middle =
        output.substr(before.size(), output.size() - before.size() - after.size());
    return middle.find('\r') == std::string::npos && middle.find('\n') == std::string::npos &&
           middle.find("m^2 = ") != std::string::npos && middle.find("a = ") != std::string::npos &&
           middle.size() >= 2 && middle.compare(middle.size() - 2, 2, "ha") == 0;
}

std::string Describe(const char* what, int exitCode, const std::string& output,
                     const std::string& errors) {
    return std::string(what) + " (exit " + std::to_string(exitCode) + ", " +
           std::to_string(output.size()) + " output bytes, errors: " + errors.substr(0, 200) + ")";
}

} // namespace

const std::string_view ZeroResultsLine =
    "The area of a contour:    0.00m^2 =   0.0000a =  0.00000ha";

std::string ExpectedBeforeRead(int pointCount, int read) {
    std::string text = CountPrompt + CrLf;
    for (int r = 1; r <= read && r <= 2 * pointCount; ++r) {
        const int k = (r + 1) / 2;
        // Two empty lines stand before each length prompt, one before each
        // direction prompt.
        text += r % 2 == 1 ? CrLf + CrLf + LengthPrompt(k) : CrLf + DirectionPrompt(k);
    }
    return text;
}

std::string ExpectedBeforeArea(int pointCount) {
    return ExpectedBeforeRead(pointCount, 2 * pointCount) + CrLf + CrLf;
}

std::string ExpectedDialogue(int pointCount, std::string_view results) {
    return ExpectedBeforeArea(pointCount) + CrLf + std::string(results) + CrLf + CrLf + CrLf +
           CrLf + CrLf + ExitPrompt + CrLf;
}

TPrediction PredictDialogue(std::string_view input) {
    TModelReader reader(input);
    TPrediction p;

    // End of file before a token reads as 0: no points.
    const std::string countToken = reader.Token(IntegerLimit);
    reader.LineEnd();
    if (!countToken.empty()) {
        const TIntegerVerdict count = JudgeInteger(countToken);
        if (!count.Valid) {
            p.Outcome = TOutcome::InvalidInput;
            return p;
        }
        p.PointCount = static_cast<int>(static_cast<std::uint32_t>(count.Value) & 0xFF);
    }

    bool largeLength = false;
    bool infiniteDirection = false;
    bool zeroLengths = true;
    for (int read = 1; read <= 2 * p.PointCount; ++read) {
        const std::string token = reader.Token(RealLimit);
        reader.LineEnd();
        if (token.empty()) {
            continue; // end of file: 0.0
        }
        const TRealVerdict real = JudgeReal(token);
        const bool isLength = read % 2 == 1;
        if (!real.Valid) {
            p.Outcome = TOutcome::InvalidInput;
        } else if (real.Class == TRealClass::Overflow) {
            p.Outcome = TOutcome::Overflow;
        } else if (real.Class == TRealClass::Unsettled) {
            p.Outcome = TOutcome::Unsettled;
        } else {
            if (isLength) {
                largeLength |=
                    real.Class == TRealClass::Large || real.Class == TRealClass::Infinite;
                zeroLengths &= real.Class == TRealClass::Zero;
            } else {
                infiniteDirection |= real.Class == TRealClass::Infinite;
            }
            continue;
        }
        p.FailingRead = read;
        return p;
    }
    if (p.PointCount > 0 && largeLength) {
        p.Outcome = TOutcome::ComputeMayFault;
    } else if (p.PointCount > 0 && infiniteDirection) {
        p.Outcome = TOutcome::InvalidOp;
    } else {
        // One or two points cancel exactly; zero lengths give zero terms.
        p.ZeroResults = p.PointCount <= 2 || zeroLengths;
    }
    return p;
}

std::string CheckRun(const TPrediction& p, int exitCode, const std::string& output,
                     const std::string& errors) {
    const int n = p.PointCount;
    switch (p.Outcome) {
    case TOutcome::Normal:
        if (exitCode != 0 || !errors.empty())
            return Describe("expected a normal end", exitCode, output, errors);
        if (p.ZeroResults ? output != ExpectedDialogue(n, ZeroResultsLine)
                          : !IsResultsFramed(output, n))
            return Describe("output is not the dialogue for the count", exitCode, output, errors);
        return {};
    case TOutcome::InvalidInput:
    case TOutcome::Overflow: {
        const bool io = p.Outcome == TOutcome::InvalidInput;
        if (exitCode != 1 || !(io ? IsIoReport(errors) : IsOverflowReport(errors)))
            return Describe(io ? "expected the invalid input report"
                               : "expected the overflow report",
                            exitCode, output, errors);
        if (output != ExpectedBeforeRead(n, p.FailingRead))
            return Describe("output is not everything before the failing read", exitCode, output,
                            errors);
        return {};
    }
    case TOutcome::InvalidOp:
        if (exitCode != 1 || !IsInvalidOpReport(errors) || output != ExpectedBeforeArea(n))
            return Describe("expected the invalid operation report at the area", exitCode, output,
                            errors);
        return {};
    case TOutcome::ComputeMayFault:
        if (exitCode == 0 && errors.empty() && IsResultsFramed(output, n)) return {};
        if (exitCode == 1 && (IsOverflowReport(errors) || IsInvalidOpReport(errors)) &&
            output == ExpectedBeforeArea(n))
            return {};
        return Describe("expected a normal end or a fault at the area", exitCode, output, errors);
    case TOutcome::Unsettled: {
        const std::string before = ExpectedBeforeRead(n, p.FailingRead);
        const bool ended = (exitCode == 0 && errors.empty()) ||
                           (exitCode == 1 && (IsIoReport(errors) || IsOverflowReport(errors) ||
                                              IsInvalidOpReport(errors)));
        if (!ended || output.compare(0, before.size(), before) != 0)
            return Describe("unsettled token: expected a normal end or one report", exitCode,
                            output, errors);
        return {};
    }
    }
    return "unknown outcome";
}

} // namespace soak
