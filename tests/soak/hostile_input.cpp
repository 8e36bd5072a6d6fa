// SPDX-License-Identifier: MIT
#include "hostile_input.h"

#include <random>
#include <string>
#include <vector>

namespace soak {

namespace {

using TRandom = std::mt19937_64;

int Uniform(TRandom& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

template <typename T> const T& Pick(TRandom& random, const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Uniform(random, 0, static_cast<int>(items.size()) - 1))];
}

std::string RandomBytes(TRandom& random, int length, int low, int high) {
    std::string bytes;
    for (int i = 0; i < length; ++i)
        bytes.push_back(static_cast<char>(Uniform(random, low, high)));
    return bytes;
}

const std::vector<std::string> LineEnds = {"\r\n", "\n", "\r\n", "\r\n\r\n", "\n\n"};

// Real tokens of every shape the grammar allows, valid or not.
const std::vector<std::string> RealTokens = {
    "0",
    "-0",
    "12.5",
    ".5",
    "5.",
    ".",
    "E5",
    "-.5e1",
    "1e-400",
    "1e-5120",
    "-1e-5120",
    "1e5120",
    "-1e5120",
    "0e5120",
    "1e400",
    "1e4999",
    "1.7976931348623157e308",
    "-1e300",
    "6e20",
    "1e155",
    "9.99e307",
    "100",
    "50",
    "400",
    "-",
    "+",
    "1e",
    "1e+",
    "1,5",
    "1.2.3",
    "1e5x",
    "x",
    "\xC3\xA9",
    "3.25E+02",
    "2e-3",
    "123456789012345678901234567890",
};

const std::vector<std::string> HugeTokens = {
    "1e300", "-1e300", "1e154", "1.5e154", "1e5120", "-1e5120", "8.98e307", "1e308", "1e200",
};

const std::vector<std::string> HexCounts = {
    "$FF",        "$ff", "x1F", "X10", "0x03", "0X1f",       "-$1", "-$10",   "$FFFFFFFF",
    "$100000000", "$",   "0x",  "$1G", "x",    "$000000003", "+$2", "-0x100",
};

std::string SmallCount(TRandom& random) {
    return std::to_string(Uniform(random, 0, 6));
}

// Every draw is a statement of its own: the order in which a compiler
// evaluates operands must not change the inputs a seed gives.
std::string RealLine(TRandom& random) {
    const std::string token = Pick(random, RealTokens);
    return token + Pick(random, LineEnds);
}

// A plausible dialogue, with `points` pairs of lines after the count.
std::string Dialogue(TRandom& random, const std::string& count, int points) {
    std::string text = count + "\r\n";
    for (int i = 0; i < 2 * points; ++i)
        text += RealLine(random);
    return text + "\r\n";
}

// Puts `bytes` at a random place of `text`.
void InsertAnywhere(TRandom& random, std::string& text, const std::string& bytes) {
    const auto at = static_cast<std::size_t>(Uniform(random, 0, static_cast<int>(text.size())));
    text.insert(at, bytes);
}

// A small count and up to `maxPoints` points.
std::string SmallDialogue(TRandom& random, int maxPoints) {
    const std::string count = SmallCount(random);
    const int points = Uniform(random, 0, maxPoints);
    return Dialogue(random, count, points);
}

std::string LongToken(TRandom& random) {
    const int length = Uniform(random, 1, 10000);
    switch (Uniform(random, 0, 3)) {
    case 0: return std::string(static_cast<std::size_t>(length), '0') + "7";
    case 1: return "1" + std::string(static_cast<std::size_t>(length), '0');
    case 2: return RandomBytes(random, length, 33, 255);
    default: return "0." + std::string(static_cast<std::size_t>(length), '9');
    }
}

} // namespace

THostileInput MakeHostileInput(std::uint64_t seed, int index) {
    TRandom random(seed * 1000003u + static_cast<std::uint64_t>(index));
    THostileInput input;
    switch (index % HostileFamilies) {
    case 0:
        input.Kind = "random bytes";
        input.Bytes = RandomBytes(random, Uniform(random, 0, 3000), 0, 255);
        break;
    case 1: {
        input.Kind = "NUL and high bytes in a dialogue";
        input.Bytes = SmallDialogue(random, 6);
        const int inserts = Uniform(random, 1, 6);
        for (int i = 0; i < inserts; ++i) {
            InsertAnywhere(random, input.Bytes,
                           Uniform(random, 0, 1)
                               ? std::string(1, '\0')
                               : RandomBytes(random, Uniform(random, 1, 4), 128, 255));
        }
        break;
    }
    case 2:
        input.Kind = "byte 26 anywhere";
        input.Bytes = SmallDialogue(random, 6);
        InsertAnywhere(random, input.Bytes, "\x1a");
        break;
    case 3: {
        input.Kind = "CR without LF";
        input.Bytes = SmallCount(random) + "\r";
        const int values = Uniform(random, 0, 12);
        for (int i = 0; i < values; ++i)
            input.Bytes += Pick(random, RealTokens) + "\r";
        if (Uniform(random, 0, 1)) input.Bytes += "\n";
        break;
    }
    case 4: {
        input.Kind = "long tokens";
        const int where = Uniform(random, 0, 2);
        std::string count = where == 0 ? LongToken(random) : std::string("2");
        input.Bytes = count + "\r\n";
        for (int i = 0; i < 4; ++i) {
            input.Bytes +=
                (where == 1 + (i % 2) ? LongToken(random) : Pick(random, RealTokens)) + "\r\n";
        }
        break;
    }
    case 5:
        input.Kind = "a line of one megabyte";
        input.Bytes = Uniform(random, 0, 1) ? "1 " : "";
        input.Bytes += RandomBytes(random, 1 << 20, 32, 126) + "\r\n";
        input.Bytes += Dialogue(random, "1", 1);
        break;
    case 6: {
        input.Kind = "100,000 empty lines";
        std::string blank;
        for (int i = 0; i < 100000; ++i)
            blank += Uniform(random, 0, 3) ? "\r\n" : "\n";
        input.Bytes = Uniform(random, 0, 1) ? blank + Dialogue(random, "1", 1)
                                            : "1\r\n" + blank + "3\r\n" + blank + "100\r\n";
        break;
    }
    case 7: {
        input.Kind = "hexadecimal counts";
        const std::string count = Pick(random, HexCounts);
        input.Bytes = Dialogue(random, count, Uniform(random, 0, 4));
        break;
    }
    case 8: {
        input.Kind = "255 points of huge values";
        input.Bytes = std::string(Uniform(random, 0, 1) ? "-1" : "$FF") + "\r\n";
        for (int i = 0; i < 255; ++i) {
            input.Bytes += Pick(random, HugeTokens) + "\r\n";
            input.Bytes += std::to_string(Uniform(random, -400, 800)) + "\r\n";
        }
        input.Bytes += "\r\n";
        break;
    }
    default:
        input.Kind = "random tokens";
        input.Bytes = SmallDialogue(random, 8);
        break;
    }
    return input;
}

} // namespace soak
