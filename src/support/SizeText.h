// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx {

/** The 9-character size text of the summaries: a number with the row's decimals, a space and
 *  a unit letter (k, M, G, T, or none for plain bytes), right-aligned. The caller appends
 *  "bytes" or "Bytes" directly. */
std::string formatSize(std::int64_t bytes, char decimalSeparator);

} // namespace kx
