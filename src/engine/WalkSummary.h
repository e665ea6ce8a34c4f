#pragma once

#include "engine/EngineContext.h"

#include <cstdint>
#include <map>
#include <string>

namespace kx {

/**
 * What went wrong during a walk, so that no failure goes unseen: each failed copy is shown with
 * the system's reason (memo and log), a source drive that is not there is counted and told once,
 * and backup files whose source no longer exists are listed in the log. The summary gets one line
 * for each kind that occurred, in a fixed order, after the run's four counting lines.
 */
class WalkFailures
{
public:
    void copyFailed(EngineContext& ctx, const std::string& source, const std::string& dest,
                    const SystemError& error);
    /** A backup file whose source drive (`letter`) is not there. */
    void sourceDriveMissing(char letter);
    /** A backup file whose source does not exist (any more). */
    void noSource(EngineContext& ctx, const std::string& backup, const std::string& source);
    /** Adds the closing lines to the memo and the log, and sets the run's FailedCount. */
    void summarise(EngineContext& ctx, std::uint64_t unreadableFolders) const;
    std::uint64_t failedCopies() const { return m_failed; }

    /** Sorts a failure to reach a source: true when the source simply does not exist, false
     *  when it was counted as a failure (its drive missing, or it cannot be reached). */
    bool sourceGone(EngineContext& ctx, const std::string& source, const std::string& backup,
                    const std::string& dest, const SystemError& error);

private:
    std::uint64_t m_failed = 0;
    std::map<char, std::uint64_t> m_missingDrives;
    std::uint64_t m_withoutSource = 0;
};

} // namespace kx
