// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx {

/** What a folder listing or a status query tells about one entry. */
struct FileInfo
{
    std::string name;    // the entry's name as bytes (a listing fills it; status queries leave it)
    bool isDir = false;  // a folder, or a symbolic link to one (the walks never enter links)
    bool isLink = false; // a symbolic link (to a file or a folder)
    bool isHidden = false;    // the name starts with "."
    bool isReadOnly = false;  // no write bit for the owner
    bool otherDevice = false; // a folder that is the mount point of another file system
    std::int64_t size = 0;
    std::int64_t mtime = 0;      // seconds since 1970-01-01 UTC
    std::int32_t mtimeTicks = 0; // 100-nanosecond units past mtime (0..9,999,999)
};

} // namespace kx
