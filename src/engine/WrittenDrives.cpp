// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WrittenDrives.h"

#include "engine/EngineTexts.h"
#include "support/TextHelpers.h"

#include <cctype>

namespace kx {

void WrittenDrives::add(const std::string& drivePath)
{
    if (!drivePath.empty())
        add(drivePath[0]);
}

void WrittenDrives::add(char letter)
{
    m_letters.insert(static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
}

std::uint64_t WrittenDrives::flush(EngineContext& ctx)
{
    std::uint64_t failed = 0;
    for (const char letter : m_letters) {
        const Result<void> flushed = ctx.platform.flushDrive(letter);
        if (flushed)
            continue;
        ++failed;
        const std::string line =
            fillIn(inLanguage(ctx.language(), text::didNotReachTheDisk), {std::string(1, letter)}) +
            flushed.error().message;
        ctx.ui.failure(line);
        ctx.log.writeLog(line);
    }
    m_letters.clear();
    return failed;
}

} // namespace kx
