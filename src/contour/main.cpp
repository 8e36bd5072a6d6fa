// SPDX-License-Identifier: MIT
// survey-contour: reads what survey reads and writes the contour as an SVG
// drawing (the default), a CSV table or a DXF drawing, to standard output
// or into a file. Findings go to standard error, one line each.
//
//   survey-contour [--svg | --csv | --dxf] [--station E,N] [--orientation GON]
//                  [-o FILE] < input
//
// Exit codes: 0 drawn without findings, 2 drawn with findings, 1 after the
// report of a failing input or output (as survey's) or a usage error.
#include <cfloat>
#include <cstring>
#include <string>
#include <string_view>

#include "contour/contour.h"
#include "contour/finding_text.h"
#include "contour/findings.h"
#include "contour/render.h"
#include "contour/text_out.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/run_errors.h"
#include "rterrors/top_level.h"
#include "textio/file_stream.h"
#include "textio/io_codes.h"
#include "textio/number_input.h"

namespace {

using namespace contour;

constexpr std::string_view Usage = "Usage: survey-contour [--svg | --csv | --dxf] "
                                   "[--station E,N] [--orientation GON] [-o FILE] < input";
constexpr std::int32_t ExitFindings = 2;
constexpr std::int32_t ExitUsage = 1;

struct TArguments {
    TDocument Document = TDocument::Svg;
    const char* OutputPath = nullptr;
    const char* Station = nullptr;
    const char* Orientation = nullptr;
    bool Help = false;
    bool Wrong = false;
};

TArguments Arguments;

// The value of an option that takes one: the next word, given once.
void TakeValue(int argc, char** argv, int& i, const char*& value, bool& wrong) {
    if (i + 1 < argc && value == nullptr) {
        value = argv[++i];
    } else {
        wrong = true;
    }
}

TArguments ParseArguments(int argc, char** argv) {
    TArguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--svg") {
            arguments.Document = TDocument::Svg;
        } else if (word == "--csv") {
            arguments.Document = TDocument::Csv;
        } else if (word == "--dxf") {
            arguments.Document = TDocument::Dxf;
        } else if (word == "-o") {
            TakeValue(argc, argv, i, arguments.OutputPath, arguments.Wrong);
        } else if (word == "--station") {
            TakeValue(argc, argv, i, arguments.Station, arguments.Wrong);
        } else if (word == "--orientation") {
            TakeValue(argc, argv, i, arguments.Orientation, arguments.Wrong);
        } else if (word == "--help" || word == "-h") {
            arguments.Help = true;
        } else {
            arguments.Wrong = true;
        }
    }
    return arguments;
}

[[noreturn]] void EndWithUsage(bool wrong) {
    textio::TTextStream& out = wrong ? textio::ErrorStream : textio::OutputStream;
    Put(out, Usage);
    EndLine(out);
    textio::FlushStream(out);
    rterrors::CheckIo();
    rterrors::EndProgram(wrong ? ExitUsage : 0);
}

// A number as survey's own number input reads it, within the double
// range; text after it, or none at all, is no number.
bool ParseNumber(std::string_view text, double& value) {
    char word[textio::RealTokenLimit];
    if (text.empty() || text.size() >= sizeof word) return false;
    text.copy(word, text.size());
    word[text.size()] = '\0';
    const textio::TRealParse parsed = textio::ParseReal(word);
    if (parsed.ErrorPos != 0 || !(foundation::Abs(parsed.Value) <= foundation::Extended(DBL_MAX))) {
        return false;
    }
    value = foundation::StoreDouble(parsed.Value);
    return true;
}

// --station E,N and --orientation GON; a value that is no number ends
// the run with the usage line.
TGridPlacement Placement() {
    TGridPlacement placement;
    if (Arguments.Station != nullptr) {
        const std::string_view station = Arguments.Station;
        const std::size_t comma = station.find(',');
        if (comma == std::string_view::npos ||
            !ParseNumber(station.substr(0, comma), placement.Station.X) ||
            !ParseNumber(station.substr(comma + 1), placement.Station.Y)) {
            EndWithUsage(true);
        }
    }
    if (Arguments.Orientation != nullptr &&
        !ParseNumber(Arguments.Orientation, placement.OrientationGrads)) {
        EndWithUsage(true);
    }
    return placement;
}

textio::TTextStream FileStream{};

// A file that cannot be created is reported with its name and its cause,
// after the message the code has, in words a user can act on.
[[noreturn]] void ReportUncreatable(const char* path) {
    const std::string name = std::string("\"") + path + "\"";
    std::string detail;
    switch (textio::IoResultCode) {
    case static_cast<std::int32_t>(foundation::ErrorDirectoryNotSupported):
        detail = ": " + name + " is a folder, not a file";
        break;
    case textio::CodeFileNotFound: detail = ": the folder of " + name + " does not exist"; break;
    case textio::CodeInvalidFilename:
        detail = ": " + name + " is too long, or its folder does not exist";
        break;
    case textio::CodeAccessDenied:
        detail = ": no file can be written in the folder of " + name;
        break;
    default: detail = ", creating a file beside " + name; break;
    }
    rterrors::RaiseInOutError(detail);
}

// At the end of every run, the end that follows a failure included: a
// document file not complete is removed, and the file it was to replace
// stays as it was.
void Nothing() {}
void DiscardUnfinishedFile() {
    textio::DiscardReplacingFile(FileStream);
}

void Run() {
    static const rterrors::TLayer layers[] = {
        rterrors::CoreLayer, rterrors::ErrorLayer, {Nothing, DiscardUnfinishedFile}};
    rterrors::InitializeLayers(layers);
    if (Arguments.Help || Arguments.Wrong) EndWithUsage(Arguments.Wrong);
    const TGridPlacement placement = Placement();

    static TContour contour;
    ReadContour(textio::InputStream, contour, placement);
    const TFindings findings = FindFindings(contour);

    // The document is complete, and every byte of it written, before the
    // findings are listed and the run ends.
    if (Arguments.OutputPath != nullptr) {
        textio::OpenReplacingFile(FileStream, Arguments.OutputPath);
        if (textio::IoResultCode != 0) ReportUncreatable(Arguments.OutputPath);
        RenderContour(Arguments.Document, contour, findings, FileStream);
        textio::CloseStream(FileStream);
    } else {
        RenderContour(Arguments.Document, contour, findings, textio::OutputStream);
        textio::FlushStream(textio::OutputStream);
    }
    rterrors::CheckIo();

    for (const TFinding& finding : findings) {
        WriteFinding(textio::ErrorStream, contour, finding);
        EndLine(textio::ErrorStream);
    }
    textio::FlushStream(textio::ErrorStream);
    rterrors::CheckIo();
    rterrors::EndProgram(findings.empty() ? 0 : ExitFindings);
}

} // namespace

int main(int argc, char** argv) {
    rterrors::ConsoleProgram = true;
    Arguments = ParseArguments(argc, argv);
    // From here on every failure, the initialisations included, ends in the
    // error report.
    rterrors::RunUnderTopLevelHandler(Run);
}
