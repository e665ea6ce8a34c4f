// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/CopyCost.h"
#include "engine/EngineContext.h"

#include <cstdint>
#include <map>
#include <string>

namespace kx {

/**
 * Whether the drives a run writes to can hold what it will copy, asked before its first copy.
 * A run that does not fit is told so, with what it needs and what is free; the user may have it
 * copy what fits, in its usual order, passing over each file that no longer fits. Free space
 * that cannot be read is no reason to refuse.
 */
class RoomCheck
{
public:
    RoomCheck(Drives& drives, const CopyCost& cost);

    /** Whether every drive holds what the run writes to it. */
    bool fits() const { return m_fits; }
    /** For a run that does not fit: tells the user and the log, and asks whether to copy what
     *  fits. False when nothing is to be written. */
    bool askCopyWhatFits(EngineContext& ctx);
    /** Whether a copy of `newSize` bytes over one of `oldSize` (negative for none) on drive
     *  `letter` still fits; takes its room when it does. Always true in a run that fits. */
    bool take(char letter, std::int64_t newSize, std::int64_t oldSize);
    /** The reason of a copy that did not fit. */
    static SystemError noRoomError(Language language);

private:
    struct Drive
    {
        std::int64_t needed = 0;
        std::int64_t free = -1;
        // What the copies still to come may take: the free space less the staging room.
        std::int64_t left = 0;
    };
    std::map<char, Drive> m_drives;
    bool m_fits = true;
};

} // namespace kx
