// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

/**
 * A folder opened below a drive's root without following a link on the way there, for the
 * `*at` calls that write into it. The root is taken as the user set it up (a drive may point
 * through a link) and resolved once; below it a link ends the way, so that a folder swapped for
 * a link while a run goes on is never written through.
 */
class ConfinedFolder
{
public:
    /** How the names below the root are resolved: in one call where the kernel offers it
     *  (openat2), else, and always with NameByName, one name at a time. */
    enum class Resolution
    {
        Kernel,
        NameByName
    };

    explicit ConfinedFolder(Resolution resolution = Resolution::Kernel);
    ~ConfinedFolder();
    ConfinedFolder(const ConfinedFolder&) = delete;
    ConfinedFolder& operator=(const ConfinedFolder&) = delete;

    /** Opens the folder `below` the folder `root`: names separated by "/", none of them "." or
     *  "..", empty for the root itself. With `create`, missing folders on the way are made.
     *  Returns 0, or the errno of the failure: ELOOP where a link stands in the way, ENOTDIR
     *  where a file does. */
    int open(const std::string& root, const std::string& below, bool create = false);
    /** The open folder (usable only as the folder of `*at` calls); -1 when none is open. */
    int fd() const { return m_fd; }
    /** Whether the last open made a folder. */
    bool madeFolders() const { return m_made; }

private:
    void close();
    int walk(int fd, const std::string& below, bool create);

    Resolution m_resolution;
    int m_fd = -1;
    bool m_made = false;
};

} // namespace kx
