// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

namespace kx::text {

// The engine's summary lines.
inline constexpr Text filesCopiedTo{"Aantal bestanden gekopieerd naar ",
                                    "Number of files copied to "};
inline constexpr Text filesRestoredFrom{"Aantal bestanden hersteld vanuit ",
                                        "Number of files restored from "};
inline constexpr Text copiedSize{"Totale grootte gekopieerde bestanden = ",
                                 "Total size of copied files = "};
inline constexpr Text backupFileCount{"Totaal aantal Backup-bestanden = ",
                                      "Total number of Backup files = "};
inline constexpr Text backupDiskUse{"Totaal schijfgebruik Backup-bestanden = ",
                                    "Total disk usage Backup files = "};
// Restore All's English window and log spell the disk-use line each their own way; both are kept
// as users know them.
inline constexpr Text restoredDiskUseOutput{"Totaal schijfgebruik Backup-bestanden = ",
                                            "Total disk Use of Backup files = "};
inline constexpr Text restoredDiskUseLog{"Totaal schijfgebruik Backup-bestanden = ",
                                         "Total Disk Use of Backup files = "};
inline constexpr Text stoppedByUser{"Gestopt door de gebruiker", "Stopped by the user"};
// The flush at a run's end failed: what was reported copied may not be on the disk.
inline constexpr Text didNotReachTheDisk{
    "Wat naar %1: geschreven is, heeft de schijf niet bereikt: ",
    "What was written to %1: did not reach the disk: "};

// The status line about the backup drive. The English line after a Duplicate lacks its colon,
// as users know it.
inline constexpr Text statusDrive{" Backupschijf: ", " Backup drive: "};
inline constexpr Text statusDriveAfterDuplicate{" Backupschijf: ", " Backup drive "};
inline constexpr Text statusLastBackup{", laatste backup: ", ", latest backup: "};
inline constexpr Text statusDateUnknown{", geen laatste backupdatum bekend",
                                        ", latest backup date unknown"};
inline constexpr Text statusDriveNoMedium{" Backupschijf: ", " Backup drive: "};
inline constexpr Text statusNoDisk{", geen schijf aanwezig", ", no disk present"};
inline constexpr Text statusNoFloppy{", geen floppy aanwezig", ", no floppy present"};
inline constexpr Text statusNotMounted{", niet aangekoppeld", ", not mounted"};
// Before any backup drive is chosen the status line says how to choose one.
inline constexpr Text statusNoBackupDrive{
    " Geen Backupschijf gekozen: kies er een in het venster Beheren",
    " No backup drive chosen: choose one in the Manage window"};

// The engine's other texts, in the order the operations meet them.
inline constexpr Text theActivityLog{"Het logbestand ", "The activity log "};
inline constexpr Text cannotBeWritten{" kan niet worden geschreven: ", " cannot be written: "};
inline constexpr Text logDate{"Datum: ", "Date: "};
inline constexpr Text addFromName{"Toevoegen - FromName: ", "Add - FromName: "};
inline constexpr Text addToName{"Toevoegen - ToName: ", "Add - ToName: "};
inline constexpr Text added{" toegevoegd", " added"};
inline constexpr Text addedToBackup{" toegevoegd aan Backup ", " added to Backup "};
inline constexpr Text removed{" verwijderd", " removed"};
inline constexpr Text removedFromBackup{" verwijderd uit Backup ", " removed from Backup "};
inline constexpr Text restored{" hersteld", " restored"};
inline constexpr Text restoredFromBackup{" hersteld van Backup ", " restored from Backup "};
inline constexpr Text copiedTo{" gekopieerd naar ", " copied to "};
inline constexpr Text freeSpaceOn{"Vrije ruimte op ", "Free space on "};
inline constexpr Text backupDriveNotWritable{"Backup-schijf ", "Backup drive "};
inline constexpr Text isNotWritable{" is niet beschrijfbaar", " is not writable"};
inline constexpr Text newerLabelDrive{"Backupschijf: ", "Backup drive: "};
inline constexpr Text dateLatestBackupUnknown{"Datum laatste Backup: Onbekend",
                                              "Date latest Backup: Onknown"};
inline constexpr Text dateOfLatestBackup{"Datum laatste Backup: ", "Date of latest Backup: "};
inline constexpr Text noFloppyInDrive{"Er zit geen floppy in schijfstation ",
                                      "No floppy in drive "};
inline constexpr Text noCdInDrive{"Er zit geen CD-r(w) in schijfstation ", "No CD-r(w) in drive "};
inline constexpr Text somethingIsWrongWithDrive{"Er is iets mis met schijfstation ",
                                                "Something is wrong with drive "};
// A failed access to the backup drive, by the system's code; the drive follows the texts that
// end in a space.
inline constexpr Text networkComputerNotListening{"De netwerkcomputer luistert niet",
                                                  "The network computer does not answer"};
inline constexpr Text noAccessToNetwork{"U heeft geen toegang tot het netwerk",
                                        "You have no access to the network"};
inline constexpr Text fileAlreadyInUse{"Het bestand wordt al gebruikt",
                                       "The file is already in use"};
inline constexpr Text noAccessTo{"U heeft geen toegang tot ", "You have no access to "};
inline constexpr Text somethingIsWrongWithFloppy{"Er is iets mis met floppy ",
                                                 "Something is wrong with floppy "};
inline constexpr Text somethingIsWrongWithDisk{"Er is iets mis met schijf ",
                                               "Something is wrong with disk "};
// Where a medium is mounted rather than put in a drive, a medium that is away is not mounted:
// %1 is the drive, %2 the label it was last seen with.
inline constexpr Text backupDriveNotMounted{"Backupschijf %1 is niet aangekoppeld",
                                            "Backup drive %1 is not mounted"};
inline constexpr Text labelledBackupDriveNotMounted{"Backupschijf %1 (%2) is niet aangekoppeld",
                                                    "Backup drive %1 (%2) is not mounted"};
// A file that could not be added; the drive follows.
inline constexpr Text isNotAddedTo{" is niet toegevoegd aan ", " is not added to "};
inline constexpr Text anotherOperationRuns{
    "Er loopt al een bewerking van %1; probeer het later opnieuw.",
    "Another %1 operation is running; try again later."};
inline constexpr Text operationLockFailed{
    "%1 kan zijn bewerkingsslot niet nemen, dus wordt er niets gedaan: %2",
    "%1 cannot take its operation lock, so nothing is done: %2"};
inline constexpr Text backupDriveUnfit{"%1 kan nooit de Backupschijf zijn: %2",
                                       "%1 can never be the Backup drive: %2"};
inline constexpr Text restoredFreeSpaceOn{"Vrije ruimte op ", "Free Space on "};
inline constexpr Text restoreCaption{" - Herstellen", " - Recover"};
inline constexpr Text atMost25BackupDrives{"Er worden maximaal 25 Backup-schijven ondersteund",
                                           "Only 25 Backup drives are supported"};
inline constexpr Text folder{"Map ", "Folder "};
inline constexpr Text cannotBeRead{" kan niet worden gelezen: ", " cannot be read: "};
inline constexpr Text changedWhileBeingCopied{"gewijzigd tijdens het kopiëren",
                                              "changed while being copied"};
inline constexpr Text notCopiedTo{" niet gekopieerd naar ", " not copied to "};
// Before the first copy of a run that the target cannot hold.
inline constexpr Text notEnoughRoom{"Te weinig ruimte op %1: nodig =%2Bytes, vrij =%3Bytes",
                                    "Not enough space on %1: needed =%2Bytes, free =%3Bytes"};
inline constexpr Text notEnoughRoomCaption{" - Te weinig ruimte", " - Not enough space"};
inline constexpr Text copyWhatFits{"Wilt u kopiëren wat past?", "Do you want to copy what fits?"};
inline constexpr Text noRoomForCopy{"te weinig ruimte op de schijf",
                                    "not enough space on the disk"};
inline constexpr Text otherCaseInBackup{
    "de backupschijf maakt geen onderscheid tussen hoofdletters en kleine letters en bevat al %1",
    "the backup drive does not tell capitals from small letters and already holds %1"};
// Checking the backup files against their sources: a copy that looks current but holds other
// bytes than its source (%1 the source), a file that could not be read (%1 the file, %2 why), a
// copy made again (%1 the source, %2 the drive, %3 where the copy it replaced is kept).
inline constexpr Text differsFromBackupCopy{
    "%1 verschilt van zijn backupkopie: een van beide is beschadigd",
    "%1 differs from its backup copy: one of the two is damaged"};
inline constexpr Text fileCannotBeRead{"%1 kan niet worden gelezen: %2", "%1 cannot be read: %2"};
inline constexpr Text copiedAgain{"%1 opnieuw gekopieerd naar %2; de vervangen kopie staat in %3",
                                  "%1 copied again to %2; the replaced copy is kept in %3"};
inline constexpr Text sourceIsAFolder{"De bron is een map", "The source is a folder"};
inline constexpr Text filesChecked{"Aantal gecontroleerde bestanden = ",
                                   "Number of files checked = "};
inline constexpr Text checkedSize{"Totale grootte gecontroleerde bestanden = ",
                                  "Total size of checked files = "};
inline constexpr Text filesThatDiffer{"Aantal bestanden die van hun backupkopie verschillen = ",
                                      "Number of files that differ from their backup copy = "};
inline constexpr Text filesCopiedAgain{"Aantal opnieuw gekopieerde bestanden = ",
                                       "Number of files copied again = "};
inline constexpr Text unreadableFiles{"Aantal onleesbare bestanden = ",
                                      "Number of files that could not be read = "};
inline constexpr Text noSourceForBackupFile{"Geen bron voor backupbestand ",
                                            "No source for backup file "};
inline constexpr Text numberOfFailedCopies{"Aantal mislukte kopieën = ",
                                           "Number of failed copies = "};
inline constexpr Text numberOfUnreadableFolders{"Aantal onleesbare mappen = ",
                                                "Number of folders that could not be read = "};
inline constexpr Text sourceDrive{"Bronschijf ", "Source drive "};
inline constexpr Text isNotAvailable{": is niet beschikbaar: ", ": is not available: "};
inline constexpr Text backupFilesSkipped{" backupbestanden overgeslagen", " backup files skipped"};
inline constexpr Text numberWithoutSource{"Aantal backupbestanden zonder bron = ",
                                          "Number of backup files without a source = "};
inline constexpr Text putAFloppyInDrive{
    "Doe een floppy in schijfstation a: en klik op \"Volgende\" als u verder wilt gaan.",
    "Put a floppy disk in drive a: and click \"Next\" to proceed."};
inline constexpr Text putAFitDiskIn{"Doe een geschikte schijf in schijfstation ",
                                    "Put a fit disk in drive "};
inline constexpr Text andClickNextToProceed{": en klik op \"Volgende\" als u verder wilt gaan.",
                                            ": and click \"Next\" to proceed."};
inline constexpr Text noTempDiskLargeEnough{
    "De schijf met de grootste vrije ruimte heeft niet genoeg ruimte om de Backups tijdelijk naar "
    "te kopiëren.",
    "The disk with the largest free space doesn't have enough space to temporerally copy the "
    "Backups to."};
inline constexpr Text duplicatingNotPossible{"Dupliceren van de backupschijf is niet mogelijk.",
                                             "Duplicating of the backup disk is not possible."};
inline constexpr Text notEnoughSpaceOn{"Er is niet genoeg vrije ruimte op ",
                                       "Not enough space on "};
inline constexpr Text forTheTempFiles{": voor de tijdelijke bestanden.", ": for the temp. files."};
inline constexpr Text copyingToTempDiskSpace{"Kopiëren naar tijdelijke opslag...",
                                             "Copying to temp. disk space..."};
inline constexpr Text filesCopiedFrom{" bestanden gekopieerd van ", " files copied from "};
inline constexpr Text toWord{"naar ", "to "};
inline constexpr Text totalSizeOfFileLog{"Totale grootte gekopieerde bestanden = ",
                                         "Total size of file = "};
inline constexpr Text stillTheSameName{
    "De nieuwe schijf heeft nog steeds de zelfde naam als het origineel. Het dupliceren wordt "
    "afgebroken.",
    "The new disk still has the same name as the original. Duplicating is aborted."};
inline constexpr Text copyingToNewMedium{"Kopiëren naar nieuwe Backupschijf...",
                                         "Copying to the new Backup disk..."};
inline constexpr Text filesCopiedFromTemp{"Aantal bestanden gekopieerd van ",
                                          "Number of files, copied from "};
inline constexpr Text copyingIsReady{"Het kopiëren is gereed.", "Copying is ready."};
inline constexpr Text useTheCopyAsBackupDisk{"U kunt de kopie nu ook als Backupschijf gebruiken.",
                                             "You may now use the copy as a backup disk."};
// A Duplicate that could not copy everything says so instead of calling the copy ready.
inline constexpr Text copyIsNotComplete{"De kopie is niet volledig.", "The copy is not complete."};
inline constexpr Text missingFromTheCopy{"Ontbreekt op de kopie: ", "Missing from the copy: "};
inline constexpr Text andMoreInTheLog{"en %1 meer (zie het logbestand)",
                                      "and %1 more (see the activity log)"};
inline constexpr Text temporaryCopiesRemoved{"De tijdelijke kopieën op %1: zijn verwijderd",
                                             "The temporary copies on %1: have been removed"};
inline constexpr Text duplicateCaption{"Dupliceren", "Duplicate"};
inline constexpr Text noNewerFiles{"Er zijn geen nieuwere bestanden om toe te voegen.",
                                   "There are no newer files to be added."};
// The marker of a proposal that was added.
inline constexpr Text addedMarker{" - toegevoegd", " - added"};

// The questions of Restore All and Duplicate; %1 and %2 are filled in.
inline constexpr Text restoreConfirmation{
    "U staat op het punt om uw gegevens te overschijven. De toestand van %1 zal worden hersteld. "
    "Alle latere wijzigingen zullen worden ongedaan gemaakt.\r\r"
    "N.b. Dit geldt alleen voor de bestanden, die op de Backupschijf aanwezig zijn.\r\r"
    "Wilt u slechts enkele bestanden herstellen, klik dan op \"Nee\" en vervolgens op Beheer.\r"
    "Wilt u inderdaad al uw gegevens herstellen, klik dan op \"Ja\".",
    "You are at the brink of overwriting your data. The state of %1 will be restored. All "
    "changes of later dates will be overwritten.\r\r"
    "N.b. This is only true for the files that exist on the Backup Drive.\r\r"
    "If you only want to restore a small number of files, then click \"No\" and next click "
    "Manage.\r"
    "Do you want  to restore all your data, then click the \"Yes\" Button."};
inline constexpr Text duplicateIntroduction{
    "Deze functie is bedoeld voor de gebruikers van programma's als InCD, waarmee de CD-rw als "
    "harde schijf kan worden gebruikt. \r\r"
    "U kunt nu de Backup-CD-rw naar een andere CD-rw kopiëren.\r\r"
    "Zorg er eerst voor dat de nieuwe Backupschijf een ondubbelzinnige naam draagt, b.v. "
    "Backup-b of Backup-2 (als de eerste schijf Backup-a of Backup-1 heette). Verder moet de "
    "nieuwe schijf juist geformateerd en leeg zijn.\r\r"
    "Stop nu de Backupschijf in het schrijfstation en klik op \"Volgende\" als u verder wilt "
    "gaan.",
    "This function is ment for users of programs like InCD. With this software the CD-r/w can "
    "be used as a hard disk. \r\r"
    "Now you may copy the Backup CD-r/w to another CD-r/w.\r\r"
    "First give the new Backup disk a unique name, e.g. Backup-b or Backup-2 (assuming the name "
    "of the first disk is Backup-a or Backup-1). Furthermore be sure the new disk has been "
    "formatted and is empty.\r\r"
    "Now put the Backup disk into the burner drive and click \"Next\" to proceed."};
inline constexpr Text putInTheNewMedium{
    "Alle bestanden van %1: zijn gekopieerd naar schijf %2:.\r\r"
    "Stop nu de nieuwe Backupschijf in schijfstation %1: en klik op \"Volgende\" als u verder "
    "wilt gaan.",
    "All files of %1: have been copied to disk %2:.\r\r"
    "Now put the new Backup disk in drive %1: and click \"Next\" to proceed."};
inline constexpr Text giveTheMediumAName{
    "Schijf %1: heeft geen naam. \r\rGeef de juiste naam en klik op OK.",
    "Disk %1: has no name. \r\rEnter the right name and click OK."};
inline constexpr Text giveAnotherName{"De schijf %1: heeft de zelfde naam als het origineel.\r\r"
                                      "Geef een andere naam voor Schijf %1: en klik op OK.",
                                      "The disk %1: has the same name as the original.\r\r"
                                      "Enter a different name for Disk %1: and click OK."};
// A rename that failed would otherwise pass unnoticed, and the two media then share a name.
inline constexpr Text newMediumNotRenamed{"De naam van de nieuwe schijf kon niet worden gewijzigd",
                                          "The new medium could not be renamed"};

} // namespace kx::text
