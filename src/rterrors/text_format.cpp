// SPDX-License-Identifier: MIT
#include "rterrors/text_format.h"

namespace rterrors {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";
constexpr std::size_t MessageCapacity = 1024;

// Appends to a fixed buffer and silently drops what does not fit.
class TBoundedWriter {
  public:
    TBoundedWriter(char* buffer, std::size_t size) : Buffer(buffer), Limit(size - 1) {}

    void Put(char c) {
        if (Length < Limit) {
            Buffer[Length++] = c;
        }
    }
    void Put(std::string_view text) {
        for (char c : text) {
            Put(c);
        }
    }
    void PutDigits(std::uint64_t value, unsigned base, int minDigits) {
        char digits[64];
        int count = 0;
        do {
            digits[count++] = HexDigits[value % base];
            value /= base;
        } while (value != 0);
        while (count < minDigits) {
            digits[count++] = '0';
        }
        while (count > 0) {
            Put(digits[--count]);
        }
    }
    std::size_t Finish() {
        Buffer[Length] = '\0';
        return Length;
    }

  private:
    char* Buffer;
    std::size_t Limit;
    std::size_t Length = 0;
};

void PutArgument(TBoundedWriter& out, char directive, const TFormatArg& arg) {
    const bool isText = arg.Kind == TFormatArg::TKind::Text;
    switch (directive) {
    case 's':
        if (isText) {
            out.Put(arg.Chars);
            return;
        }
        [[fallthrough]];
    case 'd':
        if (isText) {
            return;
        }
        if (arg.Kind == TFormatArg::TKind::Signed && static_cast<std::int64_t>(arg.Bits) < 0) {
            out.Put('-');
            out.PutDigits(0 - arg.Bits, 10, 1);
        } else {
            out.PutDigits(arg.Bits, 10, 1);
        }
        return;
    case 'x':
        if (!isText) {
            out.PutDigits(arg.Bits, 16, 1);
        }
        return;
    case 'p':
        if (!isText) {
            out.PutDigits(arg.Bits, 16, AddressMinDigits);
        }
        return;
    default: return;
    }
}

} // namespace

std::size_t FormatText(char* buffer, std::size_t size, std::string_view pattern,
                       std::initializer_list<TFormatArg> args) {
    if (size == 0) {
        return 0;
    }
    TBoundedWriter out(buffer, size);
    const TFormatArg* next = args.begin();
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (pattern[k] != '%' || k + 1 == pattern.size()) {
            out.Put(pattern[k]);
            continue;
        }
        const char directive = pattern[++k];
        if (directive == '%') {
            out.Put('%');
        } else if (next != args.end()) {
            PutArgument(out, directive, *next++);
        }
    }
    return out.Finish();
}

std::string FormatResourceText(std::string_view pattern, std::initializer_list<TFormatArg> args) {
    char buffer[MessageCapacity];
    const std::size_t length = FormatText(buffer, sizeof buffer, pattern, args);
    return std::string(buffer, length);
}

} // namespace rterrors
