// SPDX-License-Identifier: MIT
// Contours read from text as survey-contour reads its input, with the
// run-time layers in place so that a failing input raises as in the
// program, and documents written into a string.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "contour/contour.h"
#include "contour/page.h"
#include "support/fpu_fixture.h"
#include "textio/memory_streams.h"

namespace contourtest {

inline std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

inline void AppendTo(void* context, const std::uint8_t* bytes, std::uint32_t count) {
    static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), count);
}

// Everything a writer puts into a stream over memory, once written out.
template <class TWrite> std::string Written(TWrite write) {
    std::string text;
    textio::TTextStream out{};
    textio::OpenSinkOutput(out, AppendTo, &text);
    write(out);
    textio::FlushStream(out);
    return text;
}

template <class Base = ::testing::Test>
class ContourFixture : public testsupport::TrappingFpu<Base> {
  protected:
    static void SetUpTestSuite() {
        static const bool started = (contour::StartContourPage(), true);
        (void)started;
    }
    const contour::TContour& Read(std::string_view input,
                                  const contour::TGridPlacement& placement = {}) {
        textio::TTextStream stream{};
        textio::OpenBytesInput(stream, Bytes(input));
        contour::ReadContour(stream, Contour, placement);
        return Contour;
    }
    contour::TContour Contour;
};

} // namespace contourtest
