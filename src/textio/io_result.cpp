// SPDX-License-Identifier: MIT
#include "textio/text_stream.h"

namespace textio {

thread_local std::int32_t IoResultCode = 0;

void SetIoResult(std::int32_t code) {
    IoResultCode = code;
}

std::int32_t TakeIoResult() {
    const std::int32_t code = IoResultCode;
    IoResultCode = 0;
    return code;
}

} // namespace textio
