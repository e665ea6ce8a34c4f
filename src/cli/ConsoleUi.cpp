// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleUi.h"
#include "cli/ConsoleOutput.h"

#include <algorithm>

namespace kx {

ConsoleUi::ConsoleUi(bool answerYes) : m_answerYes(answerYes) {}

void ConsoleUi::eraseProgress()
{
    if (m_progressLine)
        m_progressLine->erase();
}

void ConsoleUi::print(std::FILE* stream, const std::string& line)
{
    eraseProgress();
    printLine(stream, line);
}

void ConsoleUi::runCounts(const RunResult& soFar)
{
    if (m_progressLine)
        m_progressLine->update(soFar);
}

void ConsoleUi::progressBytes(std::int64_t done, std::int64_t total)
{
    if (m_progressLine)
        m_progressLine->setBytes(done, total);
}

bool ConsoleUi::askCopyWhatFits(const std::string&, const std::string& shortage, const std::string&)
{
    // A line for each drive that is short, as the window's question shows them.
    std::string lines = shortage;
    std::replace(lines.begin(), lines.end(), '\r', '\n');
    print(stderr, lines);
    return false;
}

void ConsoleUi::addLine(const std::string& line)
{
    print(stdout, line);
}

void ConsoleUi::failure(const std::string& line)
{
    print(stderr, line);
}

void ConsoleUi::status(const std::string& text)
{
    if (m_printStatus)
        print(stdout, text);
    else
        eraseProgress();
}

bool ConsoleUi::askYesNo(const std::string&, const std::string&)
{
    return m_answerYes;
}

bool ConsoleUi::askText(const std::string&, const std::string& prompt, std::string&)
{
    // Nobody can type an answer here: the question ends the operation as a cancel would.
    print(stderr, prompt);
    return false;
}

void ConsoleUi::showTimed(const std::string& text, int)
{
    print(stderr, text);
}

void ConsoleUi::warn(const std::string& text)
{
    print(stderr, text);
}

void ConsoleUi::inform(const std::string& text)
{
    print(stderr, text);
}

} // namespace kx
