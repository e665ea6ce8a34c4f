// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DirListing.h"

#include <functional>
#include <string>

#include <windows.h>

namespace kx::win {

/**
 * One folder's entries as the system's search gives them: each with its kind, size and time at
 * once, so that no entry costs a status query of its own, except a link, whose status is its
 * target's. The program's temporary files are not shown; those that no run will finish are
 * removed on the way.
 */
class WindowsDirListing : public DirListing
{
public:
    /** Takes over the search `find` (null for a folder without entries), whose first entry is
     *  `first`, of the folder at the long path `folder`. `whenRead` runs once the folder has
     *  been read to its end. */
    WindowsDirListing(HANDLE find, const WIN32_FIND_DATAW& first, std::wstring folder,
                      std::function<void()> whenRead);
    ~WindowsDirListing() override;
    WindowsDirListing(const WindowsDirListing&) = delete;
    WindowsDirListing& operator=(const WindowsDirListing&) = delete;

    bool next(FileInfo& entry) override;
    bool nextName(ListedName& entry) override;
    bool status(ListedName& entry) const override;

private:
    HANDLE m_find;
    WIN32_FIND_DATAW m_data;
    bool m_pending;
    std::wstring m_folder; // ends with a backslash
    std::function<void()> m_whenRead;
};

} // namespace kx::win
