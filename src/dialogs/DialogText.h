// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

namespace kx::text {

// The texts of the dialogs, Dutch and English. "%1" stands for the product name where a text
// holds it; a text the same in every language is written out in each column all the same.

// Answers of the yes/no question and the text input.
inline constexpr Text yes{"Ja", "Yes"};
inline constexpr Text no{"Nee", "No"};
inline constexpr Text cancel{"Annuleren", "Cancel"};
inline constexpr Text next{"Volgende", "Next"};
inline constexpr Text ok{"OK", "OK"};

// The question before Esc or closing a window stops its running operation.
inline constexpr Text stopQuestion{"De lopende bewerking stoppen?", "Stop the running operation?"};
/** How the captions of Duplicate's questions end; they step on with Next and Cancel. A caption
 *  in either language counts. */
inline constexpr Text duplicateCaptionSuffix{" - Dupliceren", " - Duplicate"};

// The help pages, one a language.
inline constexpr Text helpFile{"Backup_n.html", "Backup_e.html"};
// A file the user asked to see that no program of the desktop opens; its path follows.
inline constexpr Text noViewer{"Er is geen programma ingesteld om dit bestand te openen. Het "
                               "bestand staat hier:",
                               "No program is set up to open this file. The file is here:"};

// The splash window.
inline constexpr Text makeBackupsRegularly{"Maak regelmatig Backups!", "Make Backups Regurally"};

// The information window: its titles, the main page, the author page and the mail.
inline constexpr Text aboutTitleSuffix{" - Informatie", " - About"};
inline constexpr Text authorTitle{"%1 - Auteur", "%1 - Author"};
inline constexpr Text copyright{"© 2004-2025 De makers van %1", "© 2004-2025 The makers of %1"};
inline constexpr Text showAuthor{"Toon auteur", "Show author"};
inline constexpr Text slogan{"%1 is een handig Backupprogramma",
                             "%1 reminds you in time to contract dates."};
inline constexpr Text secureYourData{"Beveilig uw gegevens!",
                                     "So you may update your contracts in time."};
inline constexpr Text mailButton{"Mail", "Mail"};
inline constexpr Text mailHint{"Stuur uw opmerkingen naar de auteur van %1",
                               "Send you remarks to the author of %1"};
inline constexpr Text homeButton{"Home", "Home"};
inline constexpr Text homeHint{"Download de nieuwste versie van %1",
                               "Download the newest version of %1"};
inline constexpr Text backToMainPage{"Terug naar het beginvenster", "Back to the main window"};
inline constexpr Text writtenBy{"Het programma %1 is geschreven door:",
                                "The program %1 has been written by:"};
inline constexpr Text makers{"De makers van %1", "The makers of %1"};
inline constexpr Text furtherInformation{"Mail, bel of schrijf voor nadere informatie!",
                                         "Mail or write for further information!"};
inline constexpr Text mailGreeting{"Hallo makers van %1,", "Hello makers of %1,"};
inline constexpr Text mailFoundProgram{"Ik vond op je Home Page het programma %1.",
                                       "On you Home Page I found the program %1."};
inline constexpr Text mailComment{"Ik wil hierover het volgende kwijt:",
                                  "I want to comment on this program:"};
inline constexpr Text mailClosing{"Met vriendelijke groet,", "Kind regards,"};
/** The mail's subject: the product name and the version text. */
inline constexpr Text mailSubject{"Programma %1, %2", "Programma %1, %2"};
/** The maker's download page, after the server's address; the product name is its anchor. */
inline constexpr Text downloadPage{"/downloads_n.html#%1", "/downloads_e.html#%1"};
inline constexpr Text mailFailed{"E-mail is in de fout gegaan.", "Error sending E-mail."};
inline constexpr Text browserFailed{"Browser niet geopend.", "Browser not opened."};

} // namespace kx::text
