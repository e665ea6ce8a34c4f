// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleOutput.h"

namespace kx {

void printLine(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace kx
