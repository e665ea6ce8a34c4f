// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

namespace kx::text {

// The texts of the update check, its window and its dialog, Dutch and English. "%1" stands for
// the product name where a text holds it; a text the same in every language is written out in
// each column all the same.

// The verdicts of a check.
inline constexpr Text noUpdateNeeded{"Een Update is niet nodig", "No Update needed"};
inline constexpr Text noInternetConnection{"Er is geen Internetverbinding",
                                           "No Internet connection"};
inline constexpr Text fileTooSmall{"Het bestand is te klein", "File not downloaded correctly"};
inline constexpr Text programNotFound{"Programma-naam niet gevonden", "Program Name not found"};
inline constexpr Text updateAdvised{"Een Update wordt aanbevolen", "Update is advised"};

// What the update window shows of a check.
inline constexpr Text updateCaptionSuffix{" - Update", " - Update"};
inline constexpr Text currentVersionIs{"Uw huidige versie is ", "Your current version is "};
inline constexpr Text latestVersionIs{"De nieuwste versie is ", "The latest version is "};
inline constexpr Text downloadNameIs{"De Downloadnaam is ", "The Download Name is "};
inline constexpr Text closeWindow{"Sluit Venster", "Close Window"};
inline constexpr Text startDownload{"Start Download", "Start Download"};
inline constexpr Text downloadLater{"Download later", "Download later"};
inline constexpr Text startDownloading{"Start Downloaden", "Start Downloading"};
inline constexpr Text downloadLaterAutomatic{"Download Later", "Download Later"};

// The update window's own texts: its exit button before any check, the download, the install.
inline constexpr Text closeWindowAtStart{"Sluit venster", "Close window"};
inline constexpr Text downloadedSuccessfully{" is met succes gedownload",
                                             " has been succesfullt downloaded"};
inline constexpr Text clickInstall{"Klik \"Installeer\" om het progamma te installeren",
                                   "Click \"Install\" to install the progam"};
inline constexpr Text install{"Installeer", "Install"};
inline constexpr Text installationOf{"De installatie van ", "The installation of "};
inline constexpr Text isBeingStarted{" wordt gestart.", " is started."};
inline constexpr Text hasStarted{" is gestart.", " has started."};
inline constexpr Text installationFailed{"Installatie is mislukt.", "Installation failed."};

// The update-check dialog. Its explanation is two sentences, each a paragraph of its own.
inline constexpr Text checkForUpdatesTitle{"%1 - Check voor Updates", "%1 - Check for Updates"};
inline constexpr Text mayCheckAtStartup{
    "U kunt %1 bij het opstarten laten nagaan of er een nieuwe versie  beschikbaar is.",
    "At startup %1 may check if a new version is available."};
inline constexpr Text onlyWhenConnected{
    "Deze check wordt alleen uitgevoerd als er een internetverbinding actief is.",
    "This check will only be performed if an internet connection is active."};
inline constexpr Text automaticCheck{"Automatische Check voor Updates",
                                     "Automatic Check for Updates"};
inline constexpr Text on{"Aan", "On"};
inline constexpr Text off{"Uit", "Off"};
inline constexpr Text updateNow{"Update Nu", "Update Now"};
inline constexpr Text cancelCheck{"Annuleer", "Cancel"};

} // namespace kx::text
