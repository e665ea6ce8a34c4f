// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RunResult.h"
#include "support/Language.h"

#include <string>
#include <vector>

namespace kx {

/** The runs whose summary has the four counting lines. */
enum class RunKind
{
    Refresh,   // the backup files refreshed from their sources
    RestoreAll // the sources given back from the backup files
};

/** Where a summary goes: the window's output lines or the log (a few English lines differ). */
enum class ReportTarget
{
    Output,
    Log
};

/**
 * The counting lines of a run's summary, the same for the window and the command line: files
 * copied to (or restored from) `driveLetter`, their size, the backup files and their disk use.
 */
std::vector<std::string> summaryLines(const RunResult& result, RunKind kind, Language language,
                                      const std::string& driveLetter, char decimalSeparator,
                                      ReportTarget target);

/** The line that tells a run ended by the user's stop; it comes before the free-space line. */
std::string stoppedLine(Language language);

} // namespace kx
