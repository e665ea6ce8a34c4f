// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SizeText.h"

#include <cmath>
#include <string>

namespace kx {

namespace {

constexpr std::size_t kFieldWidth = 9;

// One row of the size table: how many times V is scaled by 1000/1024, whether that scaling
// multiplies first (small counts, where precision matters) or divides first (large counts, where
// the product would grow), the step V is rounded to, and how it is shown.
struct SizeRow
{
    int scalings;       // 0 = plain bytes
    bool multiplyFirst; // rows of 4 to 7 characters
    std::int64_t step;  // V is rounded to a multiple of this
    int decimals;
    const char* unit;
};

SizeRow rowFor(std::size_t length)
{
    switch (length) {
    case 1:
    case 2:
    case 3:
        return {0, false, 1, 0, ""};
    case 4:
        return {1, true, 10, 2, "k"};
    case 5:
    case 6:
        return {1, true, 100, 1, "k"};
    case 7:
        return {2, true, 10000, 2, "M"};
    case 8:
    case 9:
        return {2, false, 100000, 1, "M"};
    case 10:
        return {3, false, 10000000, 2, "G"};
    case 11:
        return {3, false, 100000000, 1, "G"};
    case 12:
        return {3, false, 1000000000, 1, "G"};
    case 13:
        return {4, false, 10000000000, 2, "T"};
    default:
        // 14 characters, and anything longer: there is no larger unit, so the count stays in
        // terabytes with one decimal and the text grows wider than the field instead of lying.
        return {4, false, 100000000000, 1, "T"};
    }
}

std::int64_t power10(int exponent)
{
    std::int64_t p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= 10;
    return p;
}

} // namespace

std::string formatSize(std::int64_t bytes, char decimalSeparator)
{
    const std::string digits = std::to_string(bytes);
    const SizeRow row = rowFor(digits.size());

    std::string shown;
    if (row.scalings == 0) {
        shown = digits + " ";
    } else {
        // Every division is an integer division, truncating toward zero. Multiplying first
        // cannot overflow: those rows hold counts of at most 7 characters. Dividing first keeps
        // the largest count (about 9.2e18) within range: each step makes it smaller.
        std::int64_t v = bytes;
        if (row.multiplyFirst) {
            for (int i = 0; i < row.scalings; ++i)
                v = v * 1000 / 1024;
        } else {
            for (int i = 0; i < row.scalings; ++i)
                v = v / 1024 * 1000;
        }

        // Round to the row's step in extended precision, halves to the even neighbour
        // (nearbyint follows the default round-to-nearest-even mode).
        const long double quotient = static_cast<long double>(v) / row.step;
        const auto steps = static_cast<std::int64_t>(std::nearbyint(quotient));

        // Shown is V / 1000^scalings with the row's decimals: the whole number
        // V / 10^(3 * scalings - decimals) with the separator before its last `decimals` digits.
        // Where the decimal separator falls follows from V itself, so 1000 bytes show as 0,98 k.
        const std::int64_t unitOfLastDigit = power10(3 * row.scalings - row.decimals);
        const std::int64_t scaled = unitOfLastDigit >= row.step
                                        ? steps / (unitOfLastDigit / row.step)
                                        : steps * (row.step / unitOfLastDigit);
        const bool negative = scaled < 0;
        const std::uint64_t magnitude =
            negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
        const std::uint64_t divisor = static_cast<std::uint64_t>(power10(row.decimals));
        std::string fraction = std::to_string(magnitude % divisor);
        fraction.insert(0, static_cast<std::size_t>(row.decimals) - fraction.size(), '0');
        shown = (negative ? "-" : "") + std::to_string(magnitude / divisor) + decimalSeparator +
                fraction + " " + row.unit;
    }

    if (shown.size() < kFieldWidth)
        shown.insert(0, kFieldWidth - shown.size(), ' ');
    return shown;
}

} // namespace kx
