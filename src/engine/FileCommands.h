// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kx {

/**
 * The three file commands of the manage window. Each works on the names selected in one of its
 * file lists (file names without folder, as bytes, in list order), writes an output line and a log
 * line per file handled. None asks for confirmation; the caller holds the operation lock around
 * them. A stop ends them before the next file. Those that copy end by flushing the drive they
 * wrote to; a flush that fails gets a line with its reason. Those that copy find first what
 * they will write: a drive that cannot hold it is told before the first copy, and the user may
 * have what fits copied, each file that does not fit a failed copy with its reason (`noRoom`).
 */

/** What a file command did: the files it handled, and whether the user's stop ended it. */
struct FileCommandResult
{
    std::size_t done = 0;
    bool stopped = false;
    /** True when the backup drive reported that it holds no medium; empty when not found out. */
    std::optional<bool> noDisk;
    /** The drive written to did not take its flush: the copies may not be on it. */
    bool flushFailed = false;
    /** The drive written to could not hold all the copies: told before the first; nothing was
     *  copied when the user did not want what fits. */
    bool noRoom = false;
};

/** Copies each selected file of `sourceFolder` ("c:\Docs\", ending in "\") into its mirror
 *  folder on the backup medium, creating the folder's missing levels. A file that is not copied
 *  (the copy failed, or the backup copy is already up to date) gets a warning. Raises
 *  the current medium's total by what was copied. The result counts the files added. */
FileCommandResult addFiles(EngineContext& ctx, const std::string& sourceFolder,
                           const std::vector<std::string>& names);

/** What adding whole paths did, file by file. */
struct AddResult
{
    std::uint64_t added = 0;
    /** Files whose backup copy was already up to date: left alone, and no failure. */
    std::uint64_t alreadyThere = 0;
    /** Files that could not be copied, and paths that could not be read. */
    std::uint64_t failed = 0;
    bool stopped = false;
    /** The backup drive did not take its flush: the copies may not be on it. */
    bool flushFailed = false;
    /** The backup drive could not hold all the copies: told before the first; nothing was
     *  copied when the user did not want what fits. */
    bool noRoom = false;
};

/** Adds files and folders, given as drive paths, to the backup, each file by the rules of the
 *  add command. A folder is taken with everything in it, dot-folders included, except links,
 *  folders of other file systems and the backup drive's own root. A file whose backup copy is
 *  already up to date is counted, without the add command's warning; a failed copy warns.
 *  Raises the current medium's total by what was copied. A stop ends it before the next file. */
AddResult addPaths(EngineContext& ctx, const std::vector<std::string>& paths);

/** On a backup medium whose names ignore case, the name of the copy in `mirror` (ending in
 *  "\") that differs from `name` in case alone and is the copy of another file of
 *  `sourceFolder` (ending in "\"): the two sources cannot both be on the medium, and copying
 *  `name` would overwrite the other's copy or be taken for it. Empty otherwise. */
std::string copyOfOtherCase(EngineContext& ctx, const std::string& sourceFolder,
                            const std::string& mirror, const std::string& name);

/** The reason of a failed copy whose place on the medium the copy `other` holds. */
SystemError otherCaseError(EngineContext& ctx, const std::string& other);

/** Deletes each selected file of `backupFolder` (the folder the backup list shows, without
 *  final "\"), last to first, clearing a read-only bit when that stands in the way. A file that
 *  stays undeletable is passed over silently. Lowers backupTotalSize by what was deleted. The
 * result counts the files removed. */
FileCommandResult removeFiles(EngineContext& ctx, const std::string& backupFolder,
                              const std::vector<std::string>& names);

/** Copies each selected file of `backupFolder` (without final "\"), last to first, back over its
 *  source in `sourceFolder` (ending in "\"), whatever the source's date; a deleted source folder
 *  is made again. A name is restored with its first letter in capitals where names ignore
 *  case; elsewhere under the backup file's own name. A failed copy is passed over silently; a
 * backup folder that cannot be entered stops the command with a warning. The result counts the
 * files restored. */
FileCommandResult restoreFiles(EngineContext& ctx, const std::string& backupFolder,
                               const std::string& sourceFolder,
                               const std::vector<std::string>& names);

} // namespace kx
