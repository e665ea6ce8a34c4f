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
inline constexpr Text restoredDiskUseMemo{"Totaal schijfgebruik Backup-bestanden = ",
                                          "Total disk Use of Backup files = "};
inline constexpr Text restoredDiskUseLog{"Totaal schijfgebruik Backup-bestanden = ",
                                         "Total Disk Use of Backup files = "};
inline constexpr Text stoppedByUser{"Gestopt door de gebruiker", "Stopped by the user"};

// The status line about the backup drive. The Dutch-only forms are shown in both languages, as
// users know them; the English line after a Duplicate lacks its colon for the same reason.
inline constexpr Text statusDrive{" Backupschijf: ", " Backup drive: "};
inline constexpr Text statusDriveAfterDuplicate{" Backupschijf: ", " Backup drive "};
inline constexpr Text statusLastBackup{", laatste backup: ", ", latest backup: "};
inline constexpr Text statusDateUnknown{", geen laatste backupdatum bekend",
                                        ", latest backup date unknown"};
inline constexpr Text statusDriveNoMedium{" Backupschijf: ", " Backupschijf: "};
inline constexpr Text statusNoDisk{", geen schijf aanwezig", ", geen schijf aanwezig"};
inline constexpr Text statusNoFloppy{", geen floppy aanwezig", ", geen floppy aanwezig"};

} // namespace kx::text
