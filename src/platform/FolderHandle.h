// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileInfo.h"

#include <string>

namespace kx {

/** A folder held open, so that the status of many names in it costs no lookup of the folder's
 *  path each. */
class FolderHandle
{
public:
    virtual ~FolderHandle() = default;
    /** The status of the entry `name` in the folder, as Files::fileStatus gives it. False
     *  when there is none: ask fileStatus for the reason. May be called from several threads at
     *  once. */
    virtual bool status(const std::string& name, FileInfo& info) const = 0;
};

} // namespace kx
