// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/RunResult.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kx {

/** What the newer-files scan found. */
struct NewerScanResult
{
    /** False when the backup root could not be entered; the warning has then been shown and
     *  nothing was scanned. */
    bool entered = false;
    /** The two lines about the backup drive and its last date, joined by a single "\r". */
    std::string label;
    /** The lines of the proposal list: full source paths, each name as it is, or, when
     *  nothing was found, the single line of noNewerFilesLine(). */
    std::vector<std::string> proposals;
    /** True when `proposals` holds source paths. */
    bool found = false;
    /** The user's stop ended the scan; `proposals` holds what was found so far. */
    bool stopped = false;
    /** Whether the backup drive reported that it holds no medium, when the root could not be
     *  entered; empty otherwise. */
    std::optional<bool> noDisk;
};

/** Case-insensitive membership of a name in a list (whole text; an empty list gives false). */
bool isInList(const std::string& name, const std::vector<std::string>& list);

/** The extension the scan compares: the text after the first "." in lower case; empty for a name
 *  without ".". */
std::string newerExtensionOf(const std::string& name);

/** The label over the proposals: the backup drive and the date of its last backup. */
std::string newerBackupLabel(EngineContext& ctx);

/** The one line of an empty proposal list, in the user's language. */
std::string noNewerFilesLine(EngineContext& ctx);
/** True for the line of an empty proposal list, in either language; select-all passes it over. */
bool isNoNewerFilesLine(const std::string& line);
/** True for a line that carries the added marker, in either language. */
bool isAddedLine(const std::string& line);
/** A line of the proposal list as a person reads it: the file's path as the system writes it
 *  (see Drives::displayPath), with its added marker where it has one. The list itself keeps
 *  the drive paths that are added. */
std::string shownProposal(Platform& platform, const std::string& line);

/** The warning for a backup root that cannot be entered; true for a drive that is not ready
 *  (no medium). */
bool showScanDriveError(EngineContext& ctx, const SystemError& error);

/**
 * Proposes source files that resemble the backup: a file of a source folder whose mirror folder
 * on the medium holds files, with an extension that occurs in the mirror folder, newer than the
 * medium's last backup, and not in the mirror folder yet. Reports progress after every folder.
 * Creates nothing, on the medium or on the source drives.
 */
NewerScanResult scanNewFiles(EngineContext& ctx);

/**
 * Copies every selected proposal that has not been added yet to its place on the medium, marks
 * its line as added, flushes the medium, and stores the present moment as the medium's last
 * backup date (with the total grown by what was copied). A failed copy keeps its line unmarked,
 * so it can be tried again, and is written to the log; the date then stays as it was, so the
 * file is proposed again. A flush that fails records nothing. With nothing to add it writes
 * nothing at all; a stop ends it at the next file and records no date. The result counts the
 * files added (copiedCount) and the failed ones. A medium that cannot hold what it will copy is
 * told before the first copy; the user may have what fits added, the rest failed copies
 * (`noRoom`; with `declined` when nothing was added).
 */
RunResult addNewFiles(EngineContext& ctx, std::vector<std::string>& lines,
                      const std::vector<bool>& selected);

} // namespace kx
