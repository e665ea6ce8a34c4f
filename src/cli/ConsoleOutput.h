// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>

namespace kx {

/** Writes `text` and a line end on `stream` and flushes it, so that the line is seen at once
 *  and in order with the lines of the other stream. */
void printLine(std::FILE* stream, const std::string& text);

/** One line on standard output. */
inline void printOut(const std::string& text)
{
    printLine(stdout, text);
}

/** One line on standard error. */
inline void printErr(const std::string& text)
{
    printLine(stderr, text);
}

} // namespace kx
