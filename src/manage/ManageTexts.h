// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

/** The texts of the manage window, Dutch and English side by side. */
namespace kx::manageText {

inline constexpr Text titleSuffix{" - Beheer", " - Manage"};
inline constexpr Text sourceTitle{"- Bron -", "- Source -"};
// The backup pane's title reads the same in every language.
inline constexpr Text backupTitle{"- Backup -", "- Backup -"};

// The hint line under the buttons: after opening, and where the user last pressed the mouse.
inline constexpr Text firstHint{"Kies de juiste Bron-directory",
                                "Select the right Source directory"};
inline constexpr Text treeHint{"Kies de juiste Bron-directory",
                               "Select the right Source Directory"};
inline constexpr Text sourceFilesHint{"Selecteer de bestanden, waarvan u een backup wilt maken",
                                      "Select the files to backup"};
inline constexpr Text backupFilesHint{
    "Selecteer de bestanden, die u wilt verwijderen of herstellen",
    "Select the files to remove or restore"};

inline constexpr Text selectAll{"Selecteer Alles", "Select All"};
inline constexpr Text invertSelection{"Keer Selectie om", "Reverse Selection"};
inline constexpr Text addToBackup{"Voegtoe aan Backup", "Add to Backup"};
inline constexpr Text removeFromBackup{"Verwijder uit Backup", "Remove from Backup"};
inline constexpr Text restoreFromBackup{"Herstel vanuit Backup", "Restore from Backup"};
inline constexpr Text closeWindow{"Sluit Venster", "Close Window"};
inline constexpr Text sourceDriveTip{"Kies de Bronschijf", "Select the Source Drive"};
inline constexpr Text backupDriveTip{"Kies de Backupschijf", "Select the Backup Drive"};
inline constexpr Text addButton{"Voegtoe", "Add"};
inline constexpr Text removeButton{"Verwijder", "Remove"};
inline constexpr Text restoreButton{"Herstel", "Restore"};

// Drive messages.
inline constexpr Text networkSourceRefused{"U kunt geen backup maken van een netwerkschijf.",
                                           "You cannot back up a network drive."};

} // namespace kx::manageText
