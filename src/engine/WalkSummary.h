// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"

#include <cstdint>
#include <map>
#include <string>

namespace kx {

/**
 * What went wrong during a walk, so that no failure goes unseen: each failed copy is shown with
 * the system's reason (output lines and log), a source drive that is not there is counted and told
 * once, and backup files whose source no longer exists are listed in the log. The summary gets one
 * line for each kind that occurred, in a fixed order, after the run's four counting lines.
 */
class WalkFailures
{
public:
    void copyFailed(EngineContext& ctx, const std::string& source, const std::string& dest,
                    const SystemError& error);
    /** A backup file whose source drive (`letter`) is not there. */
    void sourceDriveMissing(char letter);
    /** Adds the closing lines to the output lines and the log; returns the run's failedCount:
     * failed copies, unreadable folders and the backup files of missing drives. */
    std::uint64_t summarise(EngineContext& ctx, std::uint64_t unreadableFolders) const;
    std::uint64_t failedCopies() const { return m_failed; }
    std::uint64_t withoutSource() const { return m_withoutSource; }

    /** A source that could not be reached, sorted by why: it does not exist (a backup file
     *  without a source), its drive is not there, or it is there but cannot be read (a failed
     *  copy). */
    void sourceNotReached(EngineContext& ctx, const std::string& source, const std::string& backup,
                          const std::string& dest, const SystemError& error);

private:
    std::uint64_t m_failed = 0;
    std::map<char, std::uint64_t> m_missingDrives;
    std::uint64_t m_withoutSource = 0;
};

} // namespace kx
