// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLineTexts.h"
#include "engine/RunResult.h"
#include "support/Language.h"

#include <chrono>
#include <cstdio>

namespace kx {

// One line on a terminal that tells how far a run has come: the files met, the files copied,
// their bytes and the time so far. It is drawn over itself, at most ten times a second, and
// taken away before any other line is printed, so that the run's own lines stay as they are.
class ProgressLine
{
public:
    // Shown only on a terminal: a log file or a pipe gets none of it.
    ProgressLine(Language language, std::FILE* stream, bool shown);

    void update(const RunResult& soFar);
    // The words of the line, for a run that does something else than copy: the form for many
    // files and the one for a single file, each with the four numbers.
    void setWords(const Text& many, const Text& one)
    {
        m_many = &many;
        m_one = &one;
    }
    // Takes the line away, if it is there.
    void erase();

private:
    Language m_language;
    std::FILE* m_stream;
    bool m_shown;
    bool m_drawn = false;
    bool m_everDrawn = false;
    const Text* m_many = &cliText::progressLine;
    const Text* m_one = &cliText::progressLineOneFile;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDraw;
};

} // namespace kx
