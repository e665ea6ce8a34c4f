// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CopyCost.h"

#include <algorithm>

namespace kx {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

CopyCost::CopyCost(std::int64_t staged) : m_staged(staged) {}

void CopyCost::add(char letter, std::int64_t newSize, std::int64_t oldSize)
{
    Drive& drive = m_drives[lower(letter)];
    const std::int64_t size = std::max<std::int64_t>(0, newSize);
    const std::int64_t old = std::max<std::int64_t>(0, oldSize);
    drive.toWrite += size;
    drive.replaced += old;
    drive.largestReplaced = std::max(drive.largestReplaced, old);
    ++m_files;
    m_toWrite += size;
}

std::vector<char> CopyCost::drives() const
{
    std::vector<char> letters;
    for (const auto& [letter, drive] : m_drives)
        letters.push_back(letter);
    return letters;
}

std::int64_t CopyCost::stagingRoom(char letter) const
{
    const auto it = m_drives.find(lower(letter));
    if (it == m_drives.end())
        return 0;
    // A batch is put in place once it holds its bound, so it may pass it by one file: the old
    // copies of that much stand beside their new ones until the renames.
    const Drive& drive = it->second;
    return std::min(drive.replaced, m_staged + drive.largestReplaced);
}

std::int64_t CopyCost::needed(char letter) const
{
    const auto it = m_drives.find(lower(letter));
    if (it == m_drives.end())
        return 0;
    return it->second.toWrite - it->second.replaced + stagingRoom(letter);
}

} // namespace kx
