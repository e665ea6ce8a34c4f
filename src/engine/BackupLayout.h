// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace kx {

/**
 * The two-way mapping between source paths and their places on the backup medium. A source file
 * L:\A\B\f lies at backupBase + "L-A\B\f"; a file in the root of L: at backupBase + "L-\f".
 * Paths are never cut: a long path maps to a long path.
 */
namespace layout {

/** The mirror folder (ending in "\") of a source folder ("c:\" or "c:\Docs\Sub\"). */
std::string mirrorFolder(const std::string& backupBase, const std::string& sourceFolder);
/** The backup path of a full source file path. */
std::string backupPathOf(const std::string& backupBase, const std::string& sourcePath);
/** The source folder ("c:\" or "c:\Docs\Sub") whose files medium folder `folder` (no trailing
 *  "\") holds, with `computerFolderLength` the length of the per-computer level; empty when it
 *  mirrors none (it lies outside the top-level "L-" folders). */
std::optional<std::string> sourceFolderOf(const std::string& folder,
                                          std::size_t computerFolderLength);
/** The source path of file `name` found in medium folder `folder` (no trailing "\"), with
 *  `computerFolderLength` the length of the per-computer level; empty when it is no backup
 *  file (outside a top-level "L-" folder). */
std::optional<std::string> sourcePathOf(const std::string& folder, const std::string& name,
                                        std::size_t computerFolderLength);
/** The medium's key in the records: drive letter, "-", and the label of the drive list text
 *  ("e: [backup1]" gives "e-Backup1"; "e:" gives "e-"). */
std::string driveKeyOf(char letter, const std::string& driveListText);

} // namespace layout
} // namespace kx
