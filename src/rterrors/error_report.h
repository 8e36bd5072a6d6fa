// SPDX-License-Identifier: MIT
// The report for an exception that nobody handles.
#pragma once

#include <cstddef>

#include "foundation/module_lookup.h"
#include "rterrors/exceptions.h"

namespace rterrors {

inline constexpr std::size_t ReportBufferSize = 1024;
inline constexpr std::size_t ClassNameLimit = 255;

// The module holding a code address and the address's offset inside it.
// Outside every module: the program's own name and the address less 4096.
TCodeAddress LocateCodeAddress(TCodeAddress address, foundation::TModuleInfo& module);

// Builds the three-line report; returns its length, at most size - 1.
std::size_t FormatExceptionReport(const TObject* object, TCodeAddress address, char* buffer,
                                  std::size_t size);

// Writes out pending standard output, then the report on standard error.
void ShowExceptionReport(TObject* object, TCodeAddress address);

// The ExceptionHook of the error layer: the report, then exit code 1.
[[noreturn]] void TerminateOnException(TObject* object, TCodeAddress address);

} // namespace rterrors
