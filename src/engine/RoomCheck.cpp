// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RoomCheck.h"

#include "engine/EngineTexts.h"
#include "support/SizeText.h"
#include "support/TextHelpers.h"

#include <algorithm>

namespace kx {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A program code outside the system's range: the copy was never tried.
constexpr int kNoRoom = 0x20000004;

} // namespace

RoomCheck::RoomCheck(Drives& drives, const CopyCost& cost)
{
    for (const char letter : cost.drives()) {
        Drive drive;
        drive.needed = cost.needed(letter);
        drive.free = drives.freeSpace(letter);
        drive.left = drive.free - cost.stagingRoom(letter);
        if (drive.free >= 0 && drive.needed > drive.free)
            m_fits = false;
        m_drives[letter] = drive;
    }
}

bool RoomCheck::askCopyWhatFits(EngineContext& ctx)
{
    const Language language = ctx.language();
    const char sep = ctx.platform.decimalSeparator();
    std::string shortage;
    for (const auto& [letter, drive] : m_drives) {
        if (drive.free < 0 || drive.needed <= drive.free)
            continue;
        const std::string line =
            fillIn(inLanguage(language, text::notEnoughRoom),
                   {ctx.platform.displayPath(std::string(1, letter) + ":\\"),
                    formatSize(drive.needed, sep), formatSize(drive.free, sep)});
        ctx.log.writeLog(line);
        shortage += (shortage.empty() ? "" : "\r") + line;
    }
    const std::string caption =
        std::string(kProductName) + inLanguage(language, text::notEnoughRoomCaption);
    return ctx.ui.askCopyWhatFits(caption, shortage, inLanguage(language, text::copyWhatFits));
}

bool RoomCheck::take(char letter, std::int64_t newSize, std::int64_t oldSize)
{
    if (m_fits)
        return true;
    const auto it = m_drives.find(lower(letter));
    if (it == m_drives.end() || it->second.free < 0)
        return true;
    // The old copies beside their staged new ones were set aside at the start.
    const std::int64_t grows =
        std::max<std::int64_t>(0, newSize) - std::max<std::int64_t>(0, oldSize);
    if (grows > it->second.left)
        return false;
    it->second.left -= grows;
    return true;
}

SystemError RoomCheck::noRoomError(Language language)
{
    return {kNoRoom, inLanguage(language, text::noRoomForCopy)};
}

} // namespace kx
