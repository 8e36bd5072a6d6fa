// survey-contour: reads what survey reads and writes the contour as an SVG
// drawing (the default), a CSV table or a DXF drawing, to standard output
// or into a file. Findings go to standard error, one line each.
//
//   survey-contour [--svg | --csv | --dxf] [-o FILE] < input
//
// Exit codes: 0 drawn without findings, 2 drawn with findings, 1 after the
// report of a failing input or output (as survey's) or a usage error.
#include <string_view>

#include "contour/contour.h"
#include "contour/finding_text.h"
#include "contour/findings.h"
#include "contour/output_file.h"
#include "contour/render.h"
#include "contour/text_out.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/run_errors.h"
#include "rterrors/top_level.h"

namespace {

using namespace contour;

constexpr std::string_view Usage =
    "Usage: survey-contour [--svg | --csv | --dxf] [-o FILE] < input";
constexpr std::int32_t ExitFindings = 2;
constexpr std::int32_t ExitUsage = 1;

struct TArguments {
    TFormat Format = TFormat::Svg;
    const char* OutputPath = nullptr;
    bool Help = false;
    bool Wrong = false;
};

TArguments Arguments;

TArguments ParseArguments(int argc, char** argv) {
    TArguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--svg") {
            arguments.Format = TFormat::Svg;
        } else if (word == "--csv") {
            arguments.Format = TFormat::Csv;
        } else if (word == "--dxf") {
            arguments.Format = TFormat::Dxf;
        } else if (word == "-o" && i + 1 < argc && arguments.OutputPath == nullptr) {
            arguments.OutputPath = argv[++i];
        } else if (word == "--help" || word == "-h") {
            arguments.Help = true;
        } else {
            arguments.Wrong = true;
        }
    }
    return arguments;
}

void ShowUsage(textio::TTextStream& out) {
    Put(out, Usage);
    EndLine(out);
    textio::FlushStream(out);
    rterrors::CheckIo();
}

textio::TTextStream FileStream{};

void Run() {
    rterrors::InitializeLayers();
    if (Arguments.Help || Arguments.Wrong) {
        ShowUsage(Arguments.Wrong ? textio::ErrorStream : textio::OutputStream);
        rterrors::EndProgram(Arguments.Wrong ? ExitUsage : 0);
    }

    static TContour contour;
    ReadContour(textio::InputStream, contour);
    const TFindings findings = FindFindings(contour);

    // The document is complete, and every byte of it written, before the
    // findings are listed and the run ends.
    if (Arguments.OutputPath != nullptr) {
        OpenOutputFile(FileStream, Arguments.OutputPath);
        rterrors::CheckIo();
        RenderContour(Arguments.Format, contour, findings, FileStream);
        textio::CloseStream(FileStream);
    } else {
        RenderContour(Arguments.Format, contour, findings, textio::OutputStream);
        textio::FlushStream(textio::OutputStream);
    }
    rterrors::CheckIo();

    for (const TFinding& finding : findings) {
        WriteFinding(textio::ErrorStream, finding);
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
