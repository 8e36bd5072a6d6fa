// SPDX-License-Identifier: MIT
#include "rterrors/top_level.h"

#include <cstring>
#include <new>

#include "foundation/code_address.h"
#include "foundation/process_exit.h"
#include "rterrors/error_report.h"
#include "rterrors/faults.h"
#include "rterrors/fpu_control.h"
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/run_errors.h"

namespace rterrors {

namespace {

// A handler step that fails again (an exception or fault while reporting)
// is handled once more; this bounds how often, against a loop.
constexpr int MaxHandlerRounds = 8;

enum class TStage { Body, End, Raised, Fault, Stop };

struct TTopLevelState {
    TStage Stage = TStage::Body;
    void (*Body)() = nullptr;
    TObject* Object = nullptr;
    TCodeAddress Address = 0;
    std::int32_t StopCode = 0;
    // Lives as long as the process: exceptions made from it point at it.
    foundation::TFaultRecord Fault;
};

void RunStage(void* context) {
    auto& state = *static_cast<TTopLevelState*>(context);
    switch (state.Stage) {
    case TStage::Body: state.Body(); return;
    case TStage::End: EndProgram(ProcessExitCode);
    case TStage::Raised: TopLevelHandler(state.Object, state.Address);
    case TStage::Fault: TopLevelHandler(state.Fault);
    case TStage::Stop: StopWithRunError(state.StopCode, state.Address);
    }
}

// An address inside the outermost handler, for the exceptions that carry
// none of their own.
[[gnu::noinline]] TCodeAddress CodeAddressHere() {
    return foundation::ReturnAddress();
}

// The fallback line a stop with code at address would print.
void CaptureRunErrorLine(std::int32_t code, TCodeAddress address, char* report, std::size_t size) {
    const std::int32_t savedCode = ProcessExitCode;
    const TCodeAddress savedAddress = ErrorAddress;
    ProcessExitCode = code;
    ErrorAddress = address;
    FormatRunErrorLine();
    ProcessExitCode = savedCode;
    ErrorAddress = savedAddress;
    const std::size_t length = RunErrorLineLength < size ? RunErrorLineLength : size - 1;
    std::memcpy(report, RunErrorLine, length);
    report[length] = '\0';
}

} // namespace

void StartRepeatedRuns() {
    foundation::InstallFaultHandlers();
    InitializeLayers();
}

// The same stages as RunUnderTopLevelHandler takes, each ending in a text
// instead of the end of the process.
bool RunReportingFailure(void (*body)(void*), void* context, char* report, std::size_t size) {
    // Exceptions made from a fault point at its record.
    static foundation::TFaultRecord fault;
    TObject* failure = nullptr;
    TCodeAddress address = 0;
    std::int32_t stopCode = 0;
    try {
        if (foundation::RunWithFaultCheckpoint(body, context, fault)) return true;
        address = fault.Address;
        ResetFpu();
        if (FaultObjectHook != nullptr) {
            failure = FaultObjectHook(fault);
        } else {
            stopCode = FaultToRunErrorCode(fault);
        }
    } catch (const TRaisedException& raised) {
        failure = raised.Object;
        address = raised.Address;
    } catch (const std::bad_alloc&) {
        stopCode = RunErrorCodeOf(ReasonOutOfMemory);
        address = CodeAddressHere();
    } catch (...) {
        stopCode = RunErrorUnhandledException;
        address = CodeAddressHere();
    }
    ResetFpu();
    if (stopCode != 0) {
        CaptureRunErrorLine(stopCode, address, report, size);
    } else {
        FormatExceptionReport(failure, address, report, size);
        if (failure != nullptr) ReleaseObject(failure);
    }
    return false;
}

void TopLevelHandler(TObject* object, TCodeAddress address) {
    ResetFpu();
    if (ExceptionHook != nullptr) {
        ExceptionHook(object, address);
    }
    StopWithRunError(RunErrorUnhandledException, address);
}

void TopLevelHandler(const foundation::TFaultRecord& record) {
    ResetFpu();
    if (FaultObjectHook == nullptr) {
        StopWithRunError(FaultToRunErrorCode(record), record.Address);
    }
    TopLevelHandler(FaultObjectHook(record), record.Address);
}

// Each stage (the body, then the handling of whatever escaped it) runs under
// the outermost checkpoint and catch. The handling runs outside the catch
// block, so that an error raised while reporting is caught here again
// instead of ending the process without a word.
void RunUnderTopLevelHandler(void (*body)()) {
    foundation::InstallFaultHandlers();
    static TTopLevelState state;
    state.Body = body;
    for (int round = 0; round < MaxHandlerRounds; ++round) {
        try {
            const bool cameBack = foundation::RunWithFaultCheckpoint(RunStage, &state, state.Fault);
            state.Stage = cameBack ? TStage::End : TStage::Fault;
        } catch (const TRaisedException& raised) {
            state.Stage = TStage::Raised;
            state.Object = raised.Object;
            state.Address = raised.Address;
        } catch (const std::bad_alloc&) {
            state.Stage = TStage::Stop;
            state.StopCode = RunErrorCodeOf(ReasonOutOfMemory);
            state.Address = CodeAddressHere();
        } catch (...) {
            // Not an exception of this program's run-time: nobody handled it.
            state.Stage = TStage::Stop;
            state.StopCode = RunErrorUnhandledException;
            state.Address = CodeAddressHere();
        }
    }
    foundation::ExitProcess(ProcessExitCode != 0 ? ProcessExitCode : RunErrorUnhandledException);
}

} // namespace rterrors
