// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

/** The texts of the newer-files window, Dutch and English side by side. */
namespace kx::newerText {

inline constexpr Text titleSuffix{" - Nieuwer", " - Newer"};

// The explanation above the list, one line each.
inline constexpr Text explanation[] = {
    {"Onderstaande bestanden hebben de volgende eigenschappen:",
     "These Files have the following properties:"},
    {"  - ze komen voor op de Bronschijven;", "  - they are on the Source disks;"},
    {"  - de extensie komt voor in de corresponderende Backupdirectory;",
     "  - there extension is in the corresponding Backup directory;"},
    {"  - het bestand is nieuwer dan de laatste Backupdatum;",
     "  - the file is newer than the latest Backup date;"},
    {"  - het bestand bestaat nog niet op de Backupschijf.",
     "  - the file is not yet on Backup drive."},
};

inline constexpr Text addButton{"Voegtoe", "Add"};
inline constexpr Text closeButton{"Sluit venster", "Close Window"};
inline constexpr Text selectAll{"Selecteer Alles", "Select All"};
inline constexpr Text addItem{"Voeg toe", "Add"};
inline constexpr Text closeItem{"Sluit Venster", "Close Window"};
// The buttons' tips.
inline constexpr Text addTip{"Voeg de geselecteerde bastanden toe aan de Backup",
                             "Add the selected files to the Backup"};
inline constexpr Text closeTip{"Terug naar Hoofdvenster", "Back to the main window"};

} // namespace kx::newerText
