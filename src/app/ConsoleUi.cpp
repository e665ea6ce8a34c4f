// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ConsoleUi.h"
#include "app/ConsoleOutput.h"

namespace kx {

ConsoleUi::ConsoleUi(bool answerYes) : m_answerYes(answerYes) {}

void ConsoleUi::eraseProgress()
{
    if (m_progressLine)
        m_progressLine->erase();
}

void ConsoleUi::runCounts(const RunResult& soFar)
{
    if (m_progressLine)
        m_progressLine->update(soFar);
}

void ConsoleUi::memo(const std::string& line)
{
    eraseProgress();
    printLine(stdout, line);
}

void ConsoleUi::failure(const std::string& line)
{
    eraseProgress();
    printLine(stderr, line);
}

void ConsoleUi::status(const std::string& text)
{
    eraseProgress();
    if (m_printStatus)
        printLine(stdout, text);
}

bool ConsoleUi::askYesNo(const std::string&, const std::string&)
{
    return m_answerYes;
}

bool ConsoleUi::askText(const std::string&, const std::string& prompt, std::string&)
{
    eraseProgress();
    // Nobody can type an answer here: the question ends the operation as a cancel would.
    printLine(stderr, prompt);
    return false;
}

void ConsoleUi::showTimed(const std::string& text, int)
{
    eraseProgress();
    printLine(stderr, text);
}

void ConsoleUi::warn(const std::string& text)
{
    eraseProgress();
    printLine(stderr, text);
}

void ConsoleUi::inform(const std::string& text)
{
    eraseProgress();
    printLine(stderr, text);
}

} // namespace kx
