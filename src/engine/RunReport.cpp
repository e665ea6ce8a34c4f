// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RunReport.h"

#include "engine/EngineTexts.h"
#include "support/SizeText.h"

namespace kx {

std::vector<std::string> summaryLines(const RunResult& result, RunKind kind, Language language,
                                      const std::string& driveLetter, char decimalSeparator,
                                      ReportTarget target)
{
    auto t = [language](const Text& text) { return std::string(inLanguage(language, text)); };
    const bool restore = kind == RunKind::RestoreAll;
    const Text& diskUse = !restore                         ? text::backupDiskUse
                          : target == ReportTarget::Output ? text::restoredDiskUseOutput
                                                           : text::restoredDiskUseLog;
    return {
        t(restore ? text::filesRestoredFrom : text::filesCopiedTo) + driveLetter +
            ": = " + std::to_string(result.copiedCount),
        t(text::copiedSize) + formatSize(result.copiedSize, decimalSeparator) + "bytes",
        t(text::backupFileCount) + std::to_string(result.backupFileCount),
        t(diskUse) + formatSize(result.backupTotalSize, decimalSeparator) + "bytes",
    };
}

std::string stoppedLine(Language language)
{
    return inLanguage(language, text::stoppedByUser);
}

} // namespace kx
