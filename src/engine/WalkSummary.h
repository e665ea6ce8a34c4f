#pragma once

#include "engine/EngineContext.h"

#include <cstdint>
#include <string>

namespace kx {

/**
 * What went wrong during a walk, so that no failure goes unseen: each failed copy gets a log
 * line with the system's reason, and the summary gets one line with the number of failed copies
 * and one with the number of folders that could not be read, each only when it is not zero.
 */
class WalkFailures
{
public:
    void copyFailed(EngineContext& ctx, const std::string& source, const std::string& dest,
                    const SystemError& error);
    /** Adds the closing lines to the memo and the log. */
    void summarise(EngineContext& ctx, std::uint64_t unreadableFolders) const;
    std::uint64_t failedCopies() const { return m_failed; }

private:
    std::uint64_t m_failed = 0;
};

} // namespace kx
