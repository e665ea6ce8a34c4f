// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace kx {

/**
 * What a run will copy, found by a pass that copies nothing before the one that does: for each
 * drive written to, the files, the bytes of their new copies and the bytes of the older copies
 * they replace. Totals only, never the files themselves: a medium of millions of files costs it
 * no more than one of ten.
 */
class CopyCost
{
public:
    /** `staged` is how many bytes of copies a run holds beside the files they replace before
     *  it renames them (a batch's bound); 0 where each copy is put in place on its own. */
    explicit CopyCost(std::int64_t staged = 0);

    /** A copy of `newSize` bytes onto drive `letter`, replacing one of `oldSize` bytes (negative
     *  for none). */
    void add(char letter, std::int64_t newSize, std::int64_t oldSize);
    /** The pass met something the run must tell: a failure, a file without a source, a folder
     *  that cannot be read. */
    void noteReport() { m_report = true; }

    std::uint64_t files() const { return m_files; }
    std::int64_t bytesToWrite() const { return m_toWrite; }
    /** Nothing to copy and nothing to tell: the counting pass is the whole run. */
    bool nothingToDo() const { return m_files == 0 && !m_report; }

    /** The drives written to, in order. */
    std::vector<char> drives() const;
    /** The free space drive `letter` needs for the run: the new copies less those they
     *  replace, plus the old copies that still stand beside their staged new ones. */
    std::int64_t needed(char letter) const;
    /** The room that the old copies beside their staged new ones take at most on `letter`. */
    std::int64_t stagingRoom(char letter) const;

private:
    struct Drive
    {
        std::int64_t toWrite = 0;
        std::int64_t replaced = 0;
        std::int64_t largestReplaced = 0;
    };
    std::int64_t m_staged;
    std::map<char, Drive> m_drives;
    std::uint64_t m_files = 0;
    std::int64_t m_toWrite = 0;
    bool m_report = false;
};

} // namespace kx
