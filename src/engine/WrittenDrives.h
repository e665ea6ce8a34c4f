// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"

#include <cstdint>
#include <set>
#include <string>

namespace kx {

/**
 * The drives an operation wrote to, flushed when it ends. A rename is only lasting once its
 * file system has written it out: without the flush a power cut right after "done" can still
 * take the last copies back. Each drive whose flush fails gets a line with the system's reason
 * in the output lines and the log, and the run counts as failed.
 */
class WrittenDrives
{
public:
    /** Notes the drive of a drive path (or a bare letter) as written to. */
    void add(const std::string& drivePath);
    void add(char letter);
    /** Flushes every drive noted, in letter order, and forgets them; returns how many failed. */
    std::uint64_t flush(EngineContext& ctx);

private:
    std::set<char> m_letters;
};

} // namespace kx
