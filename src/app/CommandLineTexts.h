// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

// The command line's texts. Where a text names the program, %1 stands for kProductName.
namespace kx::cliText {

inline constexpr Text usage{
    "Gebruik: kopierix [--backup-drive L] OPDRACHT\n"
    "Zonder opdracht opent %1 zijn vensters.\n"
    "\n"
    "Opdrachten:\n"
    "  make-backups        ververs alle Backup-bestanden op de Backupschijf\n"
    "  restore-all --yes   kopieer alle Backup-bestanden terug naar hun bron\n"
    "  newer [--add]       toon nieuwe bronbestanden die op de Backup lijken (en voeg ze toe)\n"
    "  status              toon de regel over de Backupschijf\n"
    "  drives              toon de schijfletters met hun soort, naam, vrije ruimte en map\n"
    "  check-update        kijk of er een nieuwere versie van %1 is\n"
    "\n"
    "Opties:\n"
    "  --backup-drive L    gebruik schijf L voor deze keer, in plaats van de opgeslagen "
    "Backupschijf\n"
    "  --help              toon deze tekst\n"
    "  --version           toon de versie\n"
    "\n"
    "Afsluitstatus van make-backups, restore-all en newer [--add]:\n"
    "  0  voltooid zonder fouten\n"
    "  1  de Backupschijf kon niet worden geopend\n"
    "  2  fout in de opdrachtregel\n"
    "  3  voltooid, maar sommige bestanden konden niet worden gekopieerd of sommige mappen\n"
    "     niet worden gelezen\n"
    "  4  er loopt al een andere bewerking van %1\n"
    "  130  gestopt door SIGINT (Ctrl+C), na de samenvatting tot dan toe\n"
    "  143  gestopt door SIGTERM, na de samenvatting tot dan toe",
    "Usage: kopierix [--backup-drive L] COMMAND\n"
    "Without a command, %1 opens its windows.\n"
    "\n"
    "Commands:\n"
    "  make-backups        refresh every Backup file on the Backup drive\n"
    "  restore-all --yes   copy every Backup file back to its source\n"
    "  newer [--add]       list new source files that resemble the Backup (and add them)\n"
    "  status              show the Backup drive's status line\n"
    "  drives              list the drive letters with their type, label, free space and folder\n"
    "  check-update        check whether a newer version of %1 exists\n"
    "\n"
    "Options:\n"
    "  --backup-drive L    use drive L for this run instead of the stored Backup drive\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Exit statuses of make-backups, restore-all and newer [--add]:\n"
    "  0  completed with no failure\n"
    "  1  the backup drive could not be entered\n"
    "  2  usage error\n"
    "  3  completed, but some files could not be copied or some folders could not be read\n"
    "  4  another %1 operation is running\n"
    "  130  stopped by SIGINT (Ctrl+C), after the summary so far\n"
    "  143  stopped by SIGTERM, after the summary so far"};
inline constexpr Text backupDriveExpectsADrive{
    "--backup-drive verwacht een schijfletter, bijvoorbeeld e",
    "--backup-drive expects a drive letter, for example e"};
inline constexpr Text unknownArgument{"Onbekend argument: ", "Unknown argument: "};
inline constexpr Text unknownCommand{"Onbekende opdracht: ", "Unknown command: "};
inline constexpr Text addBelongsToNewer{"--add hoort bij newer", "--add belongs to newer"};
inline constexpr Text yesBelongsToRestoreAll{"--yes hoort bij restore-all",
                                             "--yes belongs to restore-all"};
inline constexpr Text seeKopierixHelp{"Zie kopierix --help.", "See kopierix --help."};
inline constexpr Text restoreAllOverwritesYourFiles{
    "restore-all overschrijft uw bestanden met de Backup; bevestig met --yes.",
    "restore-all overwrites your files with the Backup; confirm with --yes."};
// The table of `kopierix drives`: its heading and the words for the drive types.
inline constexpr Text drivesHeading{"Schijf", "Drive"};
inline constexpr Text drivesType{"Soort", "Type"};
inline constexpr Text drivesLabel{"Naam", "Label"};
inline constexpr Text drivesFree{"Vrij", "Free"};
inline constexpr Text drivesFolder{"Map", "Folder"};
inline constexpr Text removableDrive{"verwisselbaar", "removable"};
inline constexpr Text fixedDrive{"vast", "fixed"};
inline constexpr Text networkDrive{"netwerk", "network"};
inline constexpr Text cdDrive{"cd/dvd", "cd/dvd"};
inline constexpr Text ramDisk{"ramschijf", "ram disk"};
inline constexpr Text driveNotThere{"niet aanwezig", "not there"};
inline constexpr Text noDisplay{
    "kopierix: geen beeldscherm beschikbaar; de opdrachten hieronder werken zonder:",
    "kopierix: no display available; the commands below run without one:"};

} // namespace kx::cliText
