// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

// The command line's texts. Where a text names the program, %1 stands for kProductName.
namespace kx::cliText {

// The usage. The parts that differ between the systems are filled in from UsageParts: %2 what the
// program does without a command, %3 the entry of set-backup-drive, %4 the entry of drives and
// the commands only one system has, %5 where the progress line shows, %6 the exit statuses of a
// stop, %7 those of set-backup-drive and of the commands only one system has, %8 the files.
inline constexpr Text usage{
    "Gebruik: kopierix [--backup-drive L] OPDRACHT [ARGUMENTEN]\n"
    "Zonder opdracht %2.\n"
    "\n"
    "Opdrachten:\n"
    "  make-backups        ververs alle Backup-bestanden op de Backupschijf\n"
    "  restore-all --yes   kopieer alle Backup-bestanden terug naar hun bron\n"
    "  newer [--add]       toon nieuwe bronbestanden die op de Backup lijken (en voeg ze toe)\n"
    "  add PAD...          voeg bestanden toe aan de Backup, en mappen met alles erin\n"
    "  verify [--repair]   vergelijk elk actueel Backup-bestand byte voor byte met zijn bron\n"
    "%3"
    "  status              toon de regel over de Backupschijf\n"
    "%4"
    "\n"
    "Opties:\n"
    "  --backup-drive L    gebruik schijf L voor deze keer, in plaats van de opgeslagen "
    "Backupschijf\n"
    "  --per-computer      (set-backup-drive) elke computer krijgt een eigen map op de schijf\n"
    "  --yes               (restore-all) bevestig dat uw bestanden worden overschreven\n"
    "  --add               (newer) voeg de nieuwe bestanden toe\n"
    "  --repair            (verify) kopieer de bronnen die verschillen opnieuw; elke vervangen\n"
    "                      kopie blijft bewaard in .kopierix-replaced op de Backupschijf\n"
    "  --quiet             geen voortgangsregel %5\n"
    "  --                  einde van de opties: wat volgt zijn paden, ook als ze met - beginnen\n"
    "  --help              toon deze tekst\n"
    "  --version           toon de versie\n"
    "\n"
    "Afsluitstatus van make-backups, restore-all en newer [--add]:\n"
    "  0  voltooid zonder fouten\n"
    "  1  de Backupschijf kon niet worden geopend, of de schijf waarop geschreven wordt heeft\n"
    "     te weinig ruimte voor de run (er is niets gekopieerd)\n"
    "  2  fout in de opdrachtregel\n"
    "  3  voltooid, maar sommige bestanden konden niet worden gekopieerd of sommige mappen\n"
    "     niet worden gelezen\n"
    "  4  er loopt al een andere bewerking van %1\n"
    "%6"
    "add heeft dezelfde afsluitstatus; een pad dat niet bestaat telt als een bestand dat niet\n"
    "kon worden toegevoegd (3). Is er geen Backupschijf gekozen en geen --backup-drive gegeven,\n"
    "dan stoppen make-backups, restore-all, newer en add meteen met 1.\n"
    "verify heeft dezelfde afsluitstatus; 3 ook als een Backup-bestand van zijn bron verschilt\n"
    "(ook na --repair).\n"
    "%7"
    "\n"
    "Bestanden:\n"
    "%8",
    "Usage: kopierix [--backup-drive L] COMMAND [ARGUMENTS]\n"
    "Without a command, %2.\n"
    "\n"
    "Commands:\n"
    "  make-backups        refresh every Backup file on the Backup drive\n"
    "  restore-all --yes   copy every Backup file back to its source\n"
    "  newer [--add]       list new source files that resemble the Backup (and add them)\n"
    "  add PATH...         add files, and folders with everything in them, to the Backup\n"
    "  verify [--repair]   compare each current Backup file with its source, byte by byte\n"
    "%3"
    "  status              show the Backup drive's status line\n"
    "%4"
    "\n"
    "Options:\n"
    "  --backup-drive L    use drive L for this run instead of the stored Backup drive\n"
    "  --per-computer      (set-backup-drive) give each computer a folder of its own on the drive\n"
    "  --yes               (restore-all) confirm that your files are overwritten\n"
    "  --add               (newer) add the new files\n"
    "  --repair            (verify) copy the sources that differ again; each replaced copy is\n"
    "                      kept in .kopierix-replaced on the Backup drive\n"
    "  --quiet             no progress line %5\n"
    "  --                  end of the options: what follows are paths, even when they begin with "
    "-\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Exit statuses of make-backups, restore-all and newer [--add]:\n"
    "  0  completed with no failure\n"
    "  1  the backup drive could not be entered, or the drive written to has too little\n"
    "     space for the run (nothing was copied)\n"
    "  2  usage error\n"
    "  3  completed, but some files could not be copied or some folders could not be read\n"
    "  4  another %1 operation is running\n"
    "%6"
    "add has the same exit statuses; a path that does not exist counts as a file that could not\n"
    "be added (3). When no Backup drive is chosen and no --backup-drive is given, make-backups,\n"
    "restore-all, newer and add stop at once with 1.\n"
    "verify has the same exit statuses; 3 also when a Backup file differs from its source (also\n"
    "after --repair).\n"
    "%7"
    "\n"
    "Files:\n"
    "%8"};

/** What the usage says of one system (see usage). %1 in a part is the program's name. */
struct UsageParts
{
    Text withoutCommand;
    Text setBackupDrive;
    Text drives;
    Text progressLine;
    Text stopStatuses;
    Text driveStatuses;
    Text files;
};

// The program on Linux: windows, a drive table of folders, and the commands for its service
// manager, its mounts and its network.
inline constexpr UsageParts usageOnLinux{
    Text{"opent %1 zijn vensters", "%1 opens its windows"},
    Text{
        "  set-backup-drive L|MAP [--per-computer]\n"
        "                      kies de Backupschijf: een schijfletter, of een map (die een eigen\n"
        "                      schijfletter krijgt als ze niet de hoofdmap van een schijf is)\n",
        "  set-backup-drive L|FOLDER [--per-computer]\n"
        "                      choose the Backup drive: a drive letter, or a folder (which gets a\n"
        "                      drive letter of its own unless it is the root of a drive)\n"},
    Text{"  drives              toon de schijfletters met hun soort, naam, vrije ruimte en map\n"
         "  check-update        kijk of er een nieuwere versie van %1 is\n"
         "  schedule [daily|weekly|on-mount|off]\n"
         "                      laat make-backups vanzelf lopen: dagelijks of wekelijks (een\n"
         "                      systemd-gebruikerstimer), bij elke aankoppeling van de "
         "Backupschijf\n"
         "                      (kopierix watch als gebruikersdienst), of niet meer; zonder "
         "argument:\n"
         "                      toon wat is ingesteld\n"
         "  watch               laat make-backups lopen telkens als de Backupschijf wordt\n"
         "                      aangekoppeld, tot het wordt gestopt\n",
         "  drives              list the drive letters with their type, label, free space and "
         "folder\n"
         "  check-update        check whether a newer version of %1 exists\n"
         "  schedule [daily|weekly|on-mount|off]\n"
         "                      run make-backups by itself: daily or weekly (a systemd user "
         "timer), at\n"
         "                      each mount of the Backup drive (kopierix watch as a user service), "
         "or\n"
         "                      no more; without an argument, show what is set\n"
         "  watch               run make-backups each time the Backup drive is mounted, until "
         "stopped\n"},
    Text{"op de terminal", "on the terminal"},
    Text{"  130  gestopt door SIGINT (Ctrl+C), na de samenvatting tot dan toe\n"
         "  143  gestopt door SIGTERM, na de samenvatting tot dan toe\n",
         "  130  stopped by SIGINT (Ctrl+C), after the summary so far\n"
         "  143  stopped by SIGTERM, after the summary so far\n"},
    Text{
        "set-backup-drive: 0 opgeslagen, 1 kon niet worden opgeslagen, 2 fout in de opdrachtregel\n"
        "of een geweigerde schijf (c: en / kunnen geen Backupschijf zijn).\n"
        "watch: 0 gestopt door SIGINT of SIGTERM tijdens het wachten, 1 geen Backupschijf "
        "gekozen;\n"
        "stopt het signaal een lopende Backup, dan 130 of 143.\n"
        "schedule: 0 gedaan (ook zonder systemd: dan toont het de regel voor crontab), 1 een\n"
        "eenheid kon niet worden geschreven of systemctl mislukte, 2 fout in de opdrachtregel.\n",
        "set-backup-drive: 0 stored, 1 could not be stored, 2 usage error or a refused drive (c: "
        "and\n"
        "/ cannot be the Backup drive).\n"
        "watch: 0 stopped by SIGINT or SIGTERM while waiting, 1 no Backup drive chosen; 130 or "
        "143\n"
        "when the signal stops a run.\n"
        "schedule: 0 done (also without systemd: it then prints the crontab line to use), 1 a "
        "unit\n"
        "could not be written or systemctl failed, 2 usage error.\n"},
    Text{"  $XDG_CONFIG_HOME/Kopierix/Kopierix.ini (anders ~/.config/Kopierix/Kopierix.ini)\n"
         "      de instellingen; \"BackUp Drive\" in [Defaults] is de gekozen Backupschijf.\n"
         "  Zijn sectie [Drives] is de schijventabel, per letter:\n"
         "      e=/media/anna/STICK        schijf e: is deze map\n"
         "      e.type=DRIVE_REMOVABLE     de soort: DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_REMOTE,\n"
         "                                 DRIVE_CDROM of DRIVE_RAMDISK\n"
         "      e.label=BACKUP1            de naam\n"
         "  Aangekoppelde schijven krijgen vanzelf een letter; kopierix drives toont ze.",
         "  $XDG_CONFIG_HOME/Kopierix/Kopierix.ini (else ~/.config/Kopierix/Kopierix.ini)\n"
         "      the settings; \"BackUp Drive\" in [Defaults] is the chosen Backup drive.\n"
         "  Its [Drives] section is the drive table, by letter:\n"
         "      e=/media/anna/STICK        drive e: is this folder\n"
         "      e.type=DRIVE_REMOVABLE     its type: DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_REMOTE,\n"
         "                                 DRIVE_CDROM or DRIVE_RAMDISK\n"
         "      e.label=BACKUP1            its label\n"
         "  Mounted volumes get a letter by themselves; kopierix drives lists them."}};

// The program on Windows: no windows nor the commands written for Linux yet, and the drives
// are the system's own letters.
inline constexpr UsageParts usageOnWindows{
    Text{"toont %1 deze tekst", "%1 shows this text"},
    Text{"  set-backup-drive L [--per-computer]\n"
         "                      kies de Backupschijf bij zijn letter: e, e: of e:\\ (de hoofdmap "
         "van\n"
         "                      de schijf); een andere map kan geen Backupschijf zijn\n",
         "  set-backup-drive L [--per-computer]\n"
         "                      choose the Backup drive by its letter: e, e: or e:\\ (the root of\n"
         "                      the drive); no other folder can be the Backup drive\n"},
    Text{"  drives              toon de schijfletters met hun soort, naam en vrije ruimte\n",
         "  drives              list the drive letters with their type, label and free space\n"},
    Text{"in het consolevenster", "in the console window"},
    Text{
        "  130  gestopt met Ctrl+C of Ctrl+Break, na de samenvatting tot dan toe\n"
        "  143  gestopt doordat het consolevenster werd gesloten, na de samenvatting tot dan toe\n",
        "  130  stopped by Ctrl+C or Ctrl+Break, after the summary so far\n"
        "  143  stopped by closing the console window, after the summary so far\n"},
    Text{
        "set-backup-drive: 0 opgeslagen, 1 kon niet worden opgeslagen, 2 fout in de opdrachtregel\n"
        "of een geweigerde schijf (c: en de schijf waarop Windows staat kunnen geen Backupschijf\n"
        "zijn).\n",
        "set-backup-drive: 0 stored, 1 could not be stored, 2 usage error or a refused drive (c: "
        "and\n"
        "the drive that holds Windows cannot be the Backup drive).\n"},
    Text{
        "  HKEY_CURRENT_USER\\Software\\Kopierix in het register\n"
        "      de instellingen, in de sleutels Defaults, Last BackUp en Total Size; \"BackUp "
        "Drive\"\n"
        "      in Defaults is de gekozen Backupschijf.\n"
        "  %APPDATA%\\Kopierix\n"
        "      Kopierix.log, het logboek van de laatste run (Kopierix!.log en Kopierix!!.log zijn\n"
        "      die van de twee runs ervoor), en Kopierix.lock, dat één bewerking tegelijk laat "
        "lopen.",
        "  HKEY_CURRENT_USER\\Software\\Kopierix in the registry\n"
        "      the settings, in the keys Defaults, Last BackUp and Total Size; \"BackUp Drive\" "
        "in\n"
        "      Defaults is the chosen Backup drive.\n"
        "  %APPDATA%\\Kopierix\n"
        "      Kopierix.log, the log of the last run (Kopierix!.log and Kopierix!!.log are those "
        "of\n"
        "      the two runs before it), and Kopierix.lock, which lets one operation run at a "
        "time."}};
// What begins every error of the command line, in every language: the command's own name.
inline constexpr const char* kErrorPrefix = "kopierix: ";
inline constexpr Text backupDriveExpectsADrive{
    "--backup-drive verwacht een schijfletter, bijvoorbeeld e",
    "--backup-drive expects a drive letter, for example e"};
inline constexpr Text unknownArgument{"Onbekend argument: ", "Unknown argument: "};
inline constexpr Text unknownCommand{"Onbekende opdracht: ", "Unknown command: "};
// A command that the program has on Linux alone, for now. %1 is the command.
inline constexpr Text onlyOnLinux{"%1 is er voorlopig alleen op Linux",
                                  "%1 is only available on Linux for now"};
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
// Without a command on Windows, where the program has no windows yet.
inline constexpr Text noDisplayOnWindows{
    "%1 voor Windows is voorlopig een opdrachtregelprogramma: het heeft nog geen vensters.\n"
    "Start het in een console (de opdrachtprompt of PowerShell) met een van deze opdrachten:\n",
    "%1 for Windows is a command-line program for now: it has no windows yet.\n"
    "Run it in a console (Command Prompt or PowerShell) with one of these commands:\n"};
// Started from the Explorer, the console window closes as the program ends.
inline constexpr Text pressAKeyToClose{"Druk op een toets om dit venster te sluiten.",
                                       "Press a key to close this window."};

// What `kopierix status` says before any backup drive is chosen.
inline constexpr Text statusNoBackupDriveChosen{
    " Geen Backupschijf gekozen: kies er een met 'kopierix set-backup-drive MAP' of in het venster "
    "Beheer",
    " No backup drive chosen: choose one with 'kopierix set-backup-drive FOLDER' or in the Manage "
    "window"};
inline constexpr Text noBackupDriveChosen{
    "geen backupschijf gekozen; kies er een met 'kopierix set-backup-drive MAP' of in het venster "
    "Beheer",
    "no backup drive chosen; choose one with 'kopierix set-backup-drive FOLDER' or in the Manage "
    "window"};
// The same on Windows, where a drive is chosen by its letter and there is no window yet.
inline constexpr Text statusNoBackupDriveChosenOnWindows{
    " Geen Backupschijf gekozen: kies er een met 'kopierix set-backup-drive L'",
    " No backup drive chosen: choose one with 'kopierix set-backup-drive L'"};
inline constexpr Text noBackupDriveChosenOnWindows{
    "geen backupschijf gekozen; kies er een met 'kopierix set-backup-drive L'",
    "no backup drive chosen; choose one with 'kopierix set-backup-drive L'"};
inline constexpr Text perComputerBelongsToSetBackupDrive{
    "--per-computer hoort bij set-backup-drive", "--per-computer belongs to set-backup-drive"};
inline constexpr Text repairBelongsToVerify{"--repair hoort bij verify",
                                            "--repair belongs to verify"};
// The progress line of verify: the files walked, those compared with their sources, their bytes
// and the time so far.
inline constexpr Text verifyProgressLine{"%1 bestanden doorlopen, %2 vergeleken, %3, %4",
                                         "%1 files walked, %2 compared, %3, %4"};
inline constexpr Text verifyProgressLineOneFile{"%1 bestand doorlopen, %2 vergeleken, %3, %4",
                                                "%1 file walked, %2 compared, %3, %4"};
inline constexpr Text addNeedsAPath{"add verwacht een of meer bestanden of mappen",
                                    "add expects one or more files or folders"};
inline constexpr Text setBackupDriveNeedsOne{"set-backup-drive verwacht één schijfletter of map",
                                             "set-backup-drive expects one drive letter or folder"};
inline constexpr Text setBackupDriveNeedsOneOnWindows{"set-backup-drive verwacht één schijfletter",
                                                      "set-backup-drive expects one drive letter"};
inline constexpr Text systemRootRefused{
    "%1 is de hoofdmap van het systeem: een Backup daar zou zichzelf kopiëren; kies een andere "
    "schijf of map",
    "%1 is the system's root: a Backup there would copy itself; choose another drive or folder"};
inline constexpr Text systemRootRefusedOnWindows{
    "%1 is de schijf van het systeem: een Backup daar zou zichzelf kopiëren; kies een andere "
    "schijf",
    "%1 is the system's drive: a Backup there would copy itself; choose another drive"};
inline constexpr Text noSuchDrive{"er is geen schijf %1 (zie kopierix drives)",
                                  "there is no drive %1 (see kopierix drives)"};
inline constexpr Text noSuchFolder{"%1 is geen map", "%1 is no folder"};
inline constexpr Text backupDriveNotStored{"de Backupschijf kon niet worden opgeslagen: %1",
                                           "the Backup drive could not be stored: %1"};
inline constexpr Text settingsNotWritten{"het instellingenbestand kan niet worden geschreven",
                                         "the settings file cannot be written"};
inline constexpr Text backupDriveChosen{"Backupschijf: %1 (%2)", "Backup drive: %1 (%2)"};
inline constexpr Text backupDriveChosenPerComputer{
    "Backupschijf: %1 (%2), met een map per computer",
    "Backup drive: %1 (%2), with a folder per computer"};
inline constexpr Text pathNotFound{"%1: bestand of map bestaat niet", "%1: no such file or folder"};
inline constexpr Text pathOnNoDrive{"%1 ligt op geen enkele schijf (zie kopierix drives)",
                                    "%1 lies on no drive (see kopierix drives)"};
inline constexpr Text notAFileOrFolder{"%1 is geen bestand of map en wordt overgeslagen",
                                       "%1 is no file or folder and is passed over"};
inline constexpr Text systemRootNotAdded{
    "%1 is de hoofdmap van het systeem en wordt niet toegevoegd: kies de mappen die u wilt bewaren",
    "%1 is the system's root and is not added: choose the folders you want to keep"};
inline constexpr Text systemRootNotAddedOnWindows{
    "%1 is de hoofdmap van de schijf waarop Windows staat en wordt niet toegevoegd: kies de "
    "mappen die u wilt bewaren",
    "%1 is the root of the drive that holds Windows and is not added: choose the folders you "
    "want to keep"};
inline constexpr Text onTheBackupDriveNotAdded{
    "%1 ligt op de Backupschijf zelf en wordt niet toegevoegd",
    "%1 lies on the Backup drive itself and is not added"};
// The summary of `kopierix add`.
inline constexpr Text filesAdded{"Aantal toegevoegde bestanden = ", "Number of files added = "};
inline constexpr Text alreadyInTheBackup{"Al in de Backup = ", "Already in the Backup = "};
inline constexpr Text notAdded{"Niet toegevoegd = ", "Not added = "};

// `kopierix schedule`. %1 is the word for how often, %2 a unit's name, %3 the folder of the
// units; the texts of the watch service, which runs at no set time, start at %1 with the unit.
inline constexpr Text scheduleNeedsOne{"schedule verwacht daily, weekly, on-mount of off",
                                       "schedule expects daily, weekly, on-mount or off"};
inline constexpr Text everyDay{"dagelijks", "daily"};
inline constexpr Text everyWeek{"wekelijks", "weekly"};
inline constexpr Text scheduledByTimer{
    "Backups Maken loopt nu %1, via de systemd-gebruikerstimer %2 (in %3).",
    "Make Backups now runs %1, by the systemd user timer %2 (in %3)."};
inline constexpr Text watchInstalled{
    "Backups Maken loopt nu telkens als de Backupschijf wordt aangekoppeld, via de "
    "systemd-gebruikersdienst %1 (in %2).",
    "Make Backups now runs each time the Backup drive is mounted, by the systemd user service %1 "
    "(in %2)."};
inline constexpr Text scheduleTurnedOff{
    "Geen automatische Backups meer: de systemd-eenheden van kopierix zijn uitgeschakeld en "
    "verwijderd.",
    "No more automatic backups: kopierix's systemd units are disabled and removed."};
inline constexpr Text noSystemdUserManager{
    "Er is hier geen systemd-gebruikersbeheer (%1): er is niets geschreven of ingeschakeld.",
    "There is no systemd user manager here (%1): nothing was written or enabled."};
inline constexpr Text systemctlNotFound{"systemctl niet gevonden", "systemctl not found"};
inline constexpr Text systemctlUserFails{"systemctl --user werkt niet",
                                         "systemctl --user does not work"};
inline constexpr Text useCrontabLine{
    "Zet deze regel in uw crontab (crontab -e) om Backups Maken %1 te laten lopen:",
    "To run Make Backups %1, put this line in your crontab (crontab -e):"};
inline constexpr Text programPathFitsNoLine{
    "het pad van het programma bevat een regeleinde of een ander stuurteken en past op geen "
    "enkele regel; zet het programma in een map met een gewone naam",
    "the program's path holds a line break or another control character and fits on no line; "
    "put the program in a folder with a plain name"};
inline constexpr Text startWatchWithSession{
    "Start \"%1 watch\" met uw sessie (bijvoorbeeld bij de opstartprogramma's van uw bureaublad); "
    "dan loopt Backups Maken telkens als de Backupschijf wordt aangekoppeld.",
    "Start \"%1 watch\" with your session (for example among your desktop's autostart programs); "
    "Make Backups then runs each time the Backup drive is mounted."};
inline constexpr Text removeCrontabLine{
    "Staat er een regel van kopierix in uw crontab, haal die dan weg met crontab -e.",
    "If your crontab holds a kopierix line, remove it with crontab -e."};
inline constexpr Text systemctlFailed{"systemctl --user %1 mislukte: %2",
                                      "systemctl --user %1 failed: %2"};
inline constexpr Text unitNotWritten{"%1 kan niet worden geschreven", "%1 cannot be written"};
inline constexpr Text noScheduleSet{"Er is geen automatische Backup ingesteld.",
                                    "No automatic backup is set."};
inline constexpr Text timerIsSet{"Backups Maken loopt %1: %2 (%3).",
                                 "Make Backups runs %1: %2 (%3)."};
inline constexpr Text watchIsSet{
    "Backups Maken loopt telkens als de Backupschijf wordt aangekoppeld: %1 (%2).",
    "Make Backups runs each time the Backup drive is mounted: %1 (%2)."};
inline constexpr Text unitStateUnknown{"geen systemd-gebruikersbeheer", "no systemd user manager"};

// `kopierix watch`. %1 is the Backup drive.
inline constexpr Text watchWaiting{
    "Wacht tot de Backupschijf %1 wordt aangekoppeld; stop met Ctrl+C.",
    "Waiting for the Backup drive %1 to be mounted; stop with Ctrl+C."};
inline constexpr Text watchMounted{"De Backupschijf %1 is aangekoppeld: Backups Maken begint.",
                                   "The Backup drive %1 is mounted: Make Backups starts."};

// The line that shows a run's progress on a terminal: files met, files copied, their bytes and
// the time so far; one file met is counted in the singular.
inline constexpr Text progressLine{"%1 bestanden doorlopen, %2 gekopieerd, %3, %4",
                                   "%1 files walked, %2 copied, %3, %4"};
inline constexpr Text progressLineOneFile{"%1 bestand doorlopen, %2 gekopieerd, %3, %4",
                                          "%1 file walked, %2 copied, %3, %4"};
// Once the run knows the bytes it will copy: those copied of that total and the time left.
inline constexpr Text progressLineOfTotal{
    "%1 bestanden doorlopen, %2 gekopieerd, %3 van %4, %5, nog %6",
    "%1 files walked, %2 copied, %3 of %4, %5, %6 left"};
inline constexpr Text progressLineOneFileOfTotal{
    "%1 bestand doorlopen, %2 gekopieerd, %3 van %4, %5, nog %6",
    "%1 file walked, %2 copied, %3 of %4, %5, %6 left"};

// The desktop notification at the end of a run; one file copied is counted in the singular.
inline constexpr Text notificationBody{"%1 bestanden gekopieerd, %2 mislukt, %3 zonder bron",
                                       "%1 files copied, %2 failed, %3 without a source"};
// A run that copied nothing because its target could not hold it.
inline constexpr Text notificationNoRoom{"Niets gekopieerd: te weinig ruimte op de schijf",
                                         "Nothing copied: not enough space on the disk"};
inline constexpr Text notificationBodyOneFile{"%1 bestand gekopieerd, %2 mislukt, %3 zonder bron",
                                              "%1 file copied, %2 failed, %3 without a source"};

} // namespace kx::cliText
