// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

namespace kx::apptext {

// The nine commands: caption and hint.
inline constexpr Text newFiles{"Nieuw Aangemaakt", "Newly Created"};
inline constexpr Text newFilesHint{"Toon nieuw gecreëerde bestanden", "Show newly created files"};
inline constexpr Text makeBackups{"Backups Maken", "Make Backup"};
inline constexpr Text makeBackupsHint{"Verfris alle Backups", "Make Backups"};
inline constexpr Text manage{"Beheren", "Manage"};
inline constexpr Text manageHint{"Voeg Backups toe of Verwijder ze",
                                 "Add Files to Backup or remove them"};
inline constexpr Text restoreAll{"Alles Herstellen", "Restore"};
inline constexpr Text restoreAllHint{"Herstel alle bestanden vanuit Backup",
                                     "Restore all Files from Backup"};
inline constexpr Text duplicate{"Dupliceren", "Duplicate"};
inline constexpr Text duplicateHint{"Dupliceer de Backupschijf", "Duplicate the Backup disk"};
inline constexpr Text viewLog{"Log Bekijken", "View Log File"};
inline constexpr Text viewLogHint{"Bekijk het Logbestand", "View the Log File"};
inline constexpr Text update{"Update Kopierix", "Update"};
inline constexpr Text updateHint{"Check voor Updates", "Check for Updates"};
inline constexpr Text info{"Informatie", "Info"};
inline constexpr Text infoHint{"Toon Informatie en Help", "Show Help and About"};
inline constexpr Text close{"Afsluiten", "Close"};
inline constexpr Text closeHint{"Sluit Kopierix af", "Close Kopierix"};

// A command of the context menu alone: the backup files compared with their sources.
inline constexpr Text verifyBackup{"Backup controleren", "Verify backup"};

// The text area's menu: the commands, and this for the selected text.
inline constexpr Text copy{"Kopiëren", "Copy"};

// The running operation's button.
inline constexpr Text stop{"Stoppen", "Stop"};

// The info menu.
inline constexpr Text helpContents{"Help - Inhoud", "Help - Contents"};
inline constexpr Text helpIndex{"Help - Index", "Help - Index"};
inline constexpr Text mouseToButton{"Muis Naar Knop", "Mouse to Button"};
inline constexpr Text about{"&Informatie", "About"};

// The captions of the engine's message boxes.
inline constexpr Text warning{"Waarschuwing", "Warning"};
inline constexpr Text information{"Informatie", "Information"};

// The log's line for each click.
inline constexpr Text newFilesClicked{"Knop \"Nieuw Aangemaakt\" geklikt",
                                      "Button \"Newly Created\" clicked"};
inline constexpr Text makeBackupsClicked{"Knop \"Backups Maken\" geklikt",
                                         "Button \"Make Backups\" clicked"};
inline constexpr Text manageClicked{"Knop \"Beheren\" geklikt", "Button \"Manage\" clicked"};
inline constexpr Text restoreAllClicked{"Knop \"Herstellen\" geklikt",
                                        "Button \"Restore\" clicked"};
inline constexpr Text duplicateClicked{"Knop \"Dupliceren\" geklikt",
                                       "Button \"Duplicate\" clicked"};
inline constexpr Text viewLogClicked{"Knop \"Log Bekijken\" geklikt",
                                     "Button \"View Log\" clicked"};
inline constexpr Text infoClicked{"Knop \"Informatie\" geklikt", "Button \"Information\" clicked"};
inline constexpr Text verifyBackupChosen{"Menu-item \"Backup controleren\" gekozen",
                                         "Menu item \"Verify backup\" chosen"};
inline constexpr Text closeClicked{"Knop \"Afsluiten\" geklikt", "Button \"Close\" clicked"};

// The instructions in the text area, a line each: for the first use, and for every use after.
inline constexpr Text firstUse{
    "Eerste gebruik:\n"
    " 1. Klik eerst op de knop \"Beheren\".\n"
    " 2. Kies het juiste Backupmedium (onder Backup).\n"
    " 3. Kopieer de gewenste bestanden naar het Backupmedium (Knop \"Voeg toe\" of \"->\")\n"
    " 4. Sluit het beheervenster.\n"
    "\n"
    "De volgende keren kunt u eenvoudig op de knop \"Backups Maken\" klikken om uw\n"
    "Backup weer up to date te maken.\n"
    "Bij het Backups Maken worden alleen die bestanden van de Bron-schijven gekopiëerd, die\n"
    "nieuwer zijn dan de reeds bestaande Backup-bestanden.",

    "First use:\n"
    " 1. Click the button \"Manage\".\n"
    " 2. Select the right Backup medium (below Backup).\n"
    " 3. Copy the file to be backed up to the Backup medium (Button \"Add\" or \"->\")\n"
    " 4. Close the Manage Window.\n"
    "\n"
    "Next time simply click the button \"Make Backups\" to refresh your Backup.\n"
    "In the Backup Process only the files that are modified are backed up."};

inline constexpr Text orderOfActions{
    "Volgorde van handelingen:\n"
    "\n"
    "1. Klik eerst op de knop \"Nieuwer\";\n"
    "2. Als er bestanden worden getoond, selecteer dan de bestanden, waarvan u in het vervolg "
    "Backups wilt maken;\n"
    "3. Klik op \"Voegtoe\" om de geselecteerde bestanden toe te voegen aan de "
    "Backup-bestanden;\n"
    "4. Sluit het venster \"Nieuwer\";\n"
    "5. Klik op \"Backups Maken\".\n"
    "\n"
    "Van de bestanden, die u in het venster \"Nieuwer\" toevoegde, wordt de volgende keer ook "
    "Backups gemaakt.",

    "Order of actions:\n"
    "\n"
    "1. First click the button \"Newer\";\n"
    "2. If files are visible then select those you want to backup;\n"
    "3. Click \"Add\" to add the selected files to the Files already Backed Up;\n"
    "4. Close the window \"Newer\";\n"
    "5. Click \"Make Backups\".\n"
    "\n"
    "The Files, that you added in the window \"Newer\", will backed up too next time."};

} // namespace kx::apptext
