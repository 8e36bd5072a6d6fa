// SPDX-License-Identifier: MIT
#include "rterrors/error_report.h"

#include <string_view>

#include "foundation/platform_io.h"
#include "rterrors/messages.h"
#include "rterrors/program_exit.h"
#include "rterrors/run_errors.h"
#include "rterrors/text_format.h"
#include "textio/text_stream.h"

namespace rterrors {

namespace {

constexpr TCodeAddress UnknownModuleBias = 4096;
constexpr std::int32_t UnhandledExceptionExitCode = 1;
constexpr char LineEnd[] = "\r\n";

std::string_view Limited(std::string_view text, std::size_t limit) {
    return text.substr(0, limit);
}

// The flush before the report may itself fail. Its error is dropped so that
// the report still goes out and the exit code stays that of the report.
void CheckIoBeforeReport() {
    if (ErrorHook == nullptr) {
        textio::TakeIoResult(); // would stop the program before its report
        return;
    }
    try {
        CheckIo();
    } catch (const TRaisedException& nested) {
        ReleaseObject(nested.Object);
    }
}

} // namespace

TCodeAddress LocateCodeAddress(TCodeAddress address, foundation::TModuleInfo& module) {
    if (foundation::FindModule(address, module)) {
        return address - module.Base;
    }
    const std::string_view program = foundation::ProgramFileName();
    const std::size_t length = program.copy(module.Name, foundation::ModuleNameCapacity - 1);
    module.Name[length] = '\0';
    module.Base = 0;
    return address >= UnknownModuleBias ? address - UnknownModuleBias : address;
}

std::size_t FormatExceptionReport(const TObject* object, TCodeAddress address, char* buffer,
                                  std::size_t size) {
    foundation::TModuleInfo module;
    const TCodeAddress shown = LocateCodeAddress(address, module);

    std::string_view message;
    std::string_view suffix;
    if (const auto* exception = dynamic_cast<const Exception*>(object)) {
        message = exception->Message;
        if (!message.empty() && message.back() != '.') {
            suffix = ".";
        }
    }
    const std::string_view className =
        object != nullptr ? Limited(object->ClassName(), ClassNameLimit) : std::string_view();
    return FormatText(buffer, size, LoadMessage(MessageReportTemplate),
                      {TFormatArg::Text(className), TFormatArg::Text(module.Name),
                       TFormatArg::Unsigned(shown), TFormatArg::Text(message),
                       TFormatArg::Text(suffix)});
}

void ShowExceptionReport(TObject* object, TCodeAddress address) {
    char report[ReportBufferSize];
    const std::size_t length = FormatExceptionReport(object, address, report, sizeof report);

    textio::FlushStream(textio::OutputStream);
    CheckIoBeforeReport();

    // A console program shows the report as text on standard error. One
    // without a console would show it in a message window; this program is
    // always a console program, so that form is not built.
    if (!ConsoleProgram) {
        return;
    }
    foundation::ConvertToConsoleCodePage(report, length);
    const foundation::THandle handle = foundation::GetStdHandle(foundation::StdErrorHandle);
    std::uint32_t written = 0;
    foundation::WriteFile(handle, report, static_cast<std::uint32_t>(length), written);
    foundation::WriteFile(handle, LineEnd, sizeof LineEnd - 1, written);
}

void TerminateOnException(TObject* object, TCodeAddress address) {
    ShowExceptionReport(object, address);
    EndProgram(UnhandledExceptionExitCode);
}

} // namespace rterrors
