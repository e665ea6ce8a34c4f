// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ConsoleUi.h"

#include <cstdio>

namespace kx {

namespace {
void printLine(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}
} // namespace

ConsoleUi::ConsoleUi(bool answerYes) : m_answerYes(answerYes) {}

void ConsoleUi::memo(const std::string& line)
{
    printLine(stdout, line);
}

void ConsoleUi::failure(const std::string& line)
{
    printLine(stderr, line);
}

void ConsoleUi::status(const std::string& text)
{
    if (m_printStatus)
        printLine(stdout, text);
}

bool ConsoleUi::askYesNo(const std::string&, const std::string&)
{
    return m_answerYes;
}

bool ConsoleUi::askText(const std::string&, const std::string& prompt, std::string&)
{
    // Nobody can type an answer here: the question ends the operation as a cancel would.
    printLine(stderr, prompt);
    return false;
}

void ConsoleUi::showTimed(const std::string& text, int)
{
    printLine(stderr, text);
}

void ConsoleUi::warn(const std::string& text)
{
    printLine(stderr, text);
}

void ConsoleUi::inform(const std::string& text)
{
    printLine(stderr, text);
}

} // namespace kx
