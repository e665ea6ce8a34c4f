// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/windows/WindowsPaths.h"

#include <vector>

#include <windows.h>

namespace kx::win {

/**
 * A folder reached below a drive's root through folders that are no links, each of them held
 * open while the call that writes into it runs, so that none can be renamed, removed or swapped
 * for a link or a junction meanwhile: a path through them leads where it led when they were
 * looked at. The root is taken as the drive gives it.
 */
class HeldFolder
{
public:
    /** The code of a link in the way (the system's ERROR_STOPPED_ON_SYMLINK). */
    static constexpr DWORD kLinkInTheWay = 681;

    HeldFolder() = default;
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    /** Holds the folder of the first `count` names of `path` and every folder on the way.
     *  With `create`, missing folders are made. Returns 0 or a Windows error code:
     *  kLinkInTheWay where a link stands in the way, ERROR_PATH_NOT_FOUND where a
     *  file does. */
    DWORD open(const MappedPath& path, std::size_t count, bool create = false);
    /** Holds the folder that holds the last name of `path`. */
    DWORD openParent(const MappedPath& path)
    {
        return open(path, path.names.empty() ? 0 : path.names.size() - 1);
    }
    /** Whether the last open made a folder. */
    bool madeFolders() const { return m_made; }

private:
    void release();

    std::vector<HANDLE> m_handles;
    bool m_made = false;
};

} // namespace kx::win
