// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileInfo.h"

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

namespace kx::win {

/** A drive path taken apart: its drive letter and the names below the drive's root, each as
 *  the system holds it. */
struct MappedPath
{
    char letter = 0;                 // lower case
    std::vector<std::wstring> names; // below the root, "." and ".." folded away

    /** The root with the prefix that lifts the length limit: `\\?\e:\`. */
    std::wstring root() const;
    /** The long path of the first `count` names (the root for 0), without a final backslash
     *  unless it is the root. */
    std::wstring upTo(std::size_t count) const;
    std::wstring full() const { return upTo(names.size()); }
    std::wstring parent() const { return upTo(names.empty() ? 0 : names.size() - 1); }
    /** The path as the shell's calls take it: without the prefix, `e:\a\b`. */
    std::wstring plain() const;
};

/** Takes a drive path apart; a path without a letter is taken from `current`, as the walks
 *  set it. False for an empty path. */
bool splitDrivePath(const std::string& path, const std::string& current, MappedPath& mapped);

/** Why Windows cannot hold `name` (a character it refuses, a trailing dot or space), in words
 *  that name the character; empty for a name it can hold. Such names come from media written by
 *  other systems. With the long-path prefix a ":" would even name a stream of another file. */
std::string nameProblem(const std::wstring& name);

/** A name as a listing shows it to the program. The system never gives a backslash inside a
 *  name, but a foreign file system may: it shows as U+F05C, the stand-in other systems use. */
std::string listedName(const wchar_t* name);

/** Whether the drive letter (either case) names a drive of the system. */
bool driveExists(char letter);

/** The 64-bit value of two 32-bit halves, as the system gives sizes and FILETIMEs. */
inline std::uint64_t combine(DWORD high, DWORD low)
{
    return (std::uint64_t(high) << 32) | low;
}

/** 100-nanosecond units since 1601 (a FILETIME's value) as seconds since 1970 and the units
 *  past them, and back; times before 1601 become its first moment. */
void fromFileTime(std::uint64_t fileTime, std::int64_t& seconds, std::int32_t& ticks);
std::uint64_t toFileTime(std::int64_t seconds, std::int32_t ticks);

/** Fills kind, size, time and read-only of `info` from a status the system gave. */
void fillInfo(FileInfo& info, DWORD attributes, std::uint64_t size, std::uint64_t lastWrite);

/** Whether a reparse point with this tag is a link: a symbolic link, a junction or a volume
 *  mount point, which name another place. A tag of 0 is what wine shows for a link of the
 *  system below it. Other reparse points (files kept in the cloud, deduplicated ones) hold
 *  the file itself. */
bool isLinkTag(DWORD tag);

/** What stands at a long path, without following a link there. */
struct EntryAt
{
    DWORD attributes = INVALID_FILE_ATTRIBUTES; // nothing there: GetLastError says why
    bool isLink = false;
    bool isJunction = false; // a junction or a volume mount point rather than a symbolic link
    bool isWineLink = false; // a link of the system below wine, which shows it without a tag

    bool exists() const { return attributes != INVALID_FILE_ATTRIBUTES; }
    bool isDir() const { return exists() && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};
EntryAt entryAt(const std::wstring& path);

/** What a write finds in its way when a link stands there, as the user reads it. */
std::string linkInTheWay(const EntryAt& entry);

} // namespace kx::win
