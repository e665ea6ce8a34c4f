// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileInfo.h"

#include <utility>

namespace kx {

/** A name from a folder listing whose status may still have to be asked for. */
struct ListedName
{
    /** What the listing knows of the entry without asking: `kind` from the folder itself. */
    enum Kind
    {
        Unknown,
        File,
        Folder,
        Link
    };
    FileInfo info;       // the name always; the rest once `known`
    Kind kind = Unknown; // a hint: the entry may have changed since
    bool known = false;
};

/** A streaming folder listing: one open handle, entries in the file system's order, without
 *  "." and "..", and without the program's own temporary files. */
class DirListing
{
public:
    virtual ~DirListing() = default;
    virtual bool next(FileInfo& entry) = 0;
    /** The next name, where the listing can give it without a status query each (which then
     *  costs a request to the disk each). By default the whole entry, known at once. */
    virtual bool nextName(ListedName& entry)
    {
        entry.kind = ListedName::Unknown;
        entry.known = next(entry.info);
        return entry.known;
    }
    /** Fills in the status of a name that nextName gave. False when the entry is gone or is
     *  nothing a walk lists (a pipe, a device). May be called from several threads at once,
     *  while the listing is alive, also after its end. */
    virtual bool status(ListedName& entry) const
    {
        entry.known = true;
        return true;
    }

protected:
    /** next() of a listing that gives its names first: the next name whose status can be had. */
    bool nextWithStatus(FileInfo& entry)
    {
        ListedName listed;
        while (nextName(listed)) {
            if (status(listed)) {
                entry = std::move(listed.info);
                return true;
            }
        }
        return false;
    }
};

} // namespace kx
