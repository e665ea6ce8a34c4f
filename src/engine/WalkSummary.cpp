// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WalkSummary.h"

#include "engine/EngineTexts.h"

namespace kx {

namespace {

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

void WalkFailures::copyFailed(EngineContext& ctx, const std::string& source,
                              const std::string& dest, const SystemError& error)
{
    ++m_failed;
    const std::string reason = error.code == errors::kChangedWhileCopied
                                   ? inLanguage(ctx.language(), text::changedWhileBeingCopied)
                                   : error.message;
    // The paths as the user knows them: the drive paths and their stand-ins are the walks' own.
    const std::string line = ctx.platform.displayPath(source) +
                             inLanguage(ctx.language(), text::notCopiedTo) +
                             ctx.platform.displayPath(dest) + " - " + reason;
    ctx.ui.failure(line);
    ctx.log.writeLog(line);
}

void WalkFailures::sourceDriveMissing(char letter)
{
    ++m_missingDrives[upper(letter)];
}

void WalkFailures::sourceNotReached(EngineContext& ctx, const std::string& source,
                                    const std::string& backup, const std::string& dest,
                                    const SystemError& error)
{
    // Only "does not exist" means that the user deleted it. A source that cannot be reached is
    // still there: its copy is stale, and that must be told.
    switch (error.code) {
    case errors::kFileNotFound:
    case errors::kPathNotFound:
        ++m_withoutSource;
        ctx.log.writeLog(inLanguage(ctx.language(), text::noSourceForBackupFile) +
                         ctx.platform.displayPath(backup) + ": " +
                         ctx.platform.displayPath(source));
        break;
    case errors::kNotReady:
    case errors::kNoSuchDrive:
        sourceDriveMissing(source.empty() ? '?' : source[0]);
        break;
    default:
        copyFailed(ctx, source, dest, error);
    }
}

std::uint64_t WalkFailures::summarise(EngineContext& ctx, std::uint64_t unreadableFolders) const
{
    auto add = [&](const std::string& line) {
        ctx.ui.addLine(line);
        ctx.log.writeLog(line);
    };
    if (m_failed > 0)
        add(inLanguage(ctx.language(), text::numberOfFailedCopies) + std::to_string(m_failed));
    if (unreadableFolders > 0)
        add(inLanguage(ctx.language(), text::numberOfUnreadableFolders) +
            std::to_string(unreadableFolders));
    std::uint64_t skipped = 0;
    for (const auto& [letter, count] : m_missingDrives) {
        skipped += count;
        add(inLanguage(ctx.language(), text::sourceDrive) + std::string(1, letter) +
            inLanguage(ctx.language(), text::isNotAvailable) + std::to_string(count) +
            inLanguage(ctx.language(), text::backupFilesSkipped));
    }
    if (m_withoutSource > 0)
        add(inLanguage(ctx.language(), text::numberWithoutSource) +
            std::to_string(m_withoutSource));
    return m_failed + unreadableFolders + skipped;
}

} // namespace kx
