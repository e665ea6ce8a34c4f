// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/ForwardingPlatform.h"
#include "engine/MediumRecords.h"
#include "engine/Settings.h"

#include <QtTest>

using namespace kx;
using test::EngineRig;
using test::Fixture;
using test::ForwardingPlatform;

// A system whose removable media get an autorun file.
class AutorunReader : public ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;
    bool wantsAutorunFile() override { return true; }
};

/** The backup drive's choice, its status line, the records of each medium and the autorun file. */
class TestMediumRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void choosingADriveShowsItsRecord_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("media"); // records stored before the start
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("status"); // "*" stands for the stored date
        QTest::newRow("CD with a label, known date")
            << "DRIVE_CDROM"
            << "BACKUP1" << true << 3 << ""
            << "e-Backup1"
            << " Backup drive: e: [backup1], latest backup: *";
        QTest::newRow("fixed disk, Dutch") << "DRIVE_FIXED"
                                           << "Backup1" << true << 3 << "nld"
                                           << "e-Backup1"
                                           << " Backupschijf: e: [backup1], laatste backup: *";
        QTest::newRow("removable: no label in the key") << "DRIVE_REMOVABLE"
                                                        << "STICK" << true << 3 << ""
                                                        << "e-"
                                                        << " Backup drive: e:, latest backup: *";
        QTest::newRow("unknown medium")
            << "DRIVE_FIXED"
            << "NEW" << true << 3 << "nld"
            << "e-New"
            << " Backupschijf: e: [new], geen laatste backupdatum bekend";
        QTest::newRow("exactly 25 media: the last one keeps its date")
            << "DRIVE_CDROM"
            << "OTHER" << true << 25 << ""
            << "e-Other"
            << " Backup drive: e: [other], latest backup: *";
        QTest::newRow("26 media: no medium has a date")
            << "DRIVE_CDROM"
            << "BACKUP1" << true << 26 << ""
            << "e-Backup1"
            << " Backup drive: e: [backup1], latest backup date unknown";
        QTest::newRow("no medium mounted, in English") << "DRIVE_CDROM"
                                                       << "" << false << 3 << ""
                                                       << "e-"
                                                       << " Backup drive: e:, not mounted";
    }
    void choosingADriveShowsItsRecord()
    {
        QFETCH(QString, type);
        QFETCH(QString, label);
        QFETCH(bool, present);
        QFETCH(int, media);
        QFETCH(QString, language);
        QFETCH(QString, key);
        QFETCH(QString, status);
        Fixture fixture;
        if (present)
            fixture.addDrive('e', type, label);
        else
            fixture.addMissingDrive('e', type);
        // The others sort before these, so that with 25 media "e-Other" is the last read.
        const QStringList known = {"e-Backup1", "e-", "e-Other"};
        for (int i = 0; i < media; ++i) {
            const QString name = i < known.size() ? known[i] : QString("d-Medium%1").arg(i);
            fixture.setSetting("Last BackUp", name, QString::number(45000.5 + i, 'g', 17));
            fixture.setSetting("Total Size", name, QString::number(1000 + i));
        }
        EngineRig rig(fixture.platform(), language.toStdString());
        readSettings(*rig.platform, rig.target, rig.media, rig.ui, rig.ctx.language());
        const BackupDriveChoice choice = selectBackupDrive(rig.ctx, 'E', {.windowsReady = true});

        QCOMPARE(QString::fromStdString(rig.target.base), QString("e:\\"));
        QCOMPARE(QString::fromStdString(rig.media.currentKey), key);
        QCOMPARE(choice.noDisk, !present);
        const int index = known.indexOf(key);
        const bool dated = media <= 25 && index >= 0 && index < media;
        QCOMPARE(rig.media.current.lastBackupDate, dated ? 45000.5 + index : 0.0);
        QCOMPARE(rig.media.current.totalSize, dated ? std::int64_t(1000 + index) : 0);
        QString expected = status;
        expected.replace(
            "*", QString::fromStdString(dateText(rig.ctx, rig.media.current.lastBackupDate)));
        QCOMPARE(QString::fromStdString(rig.ui.statusLines.back()), expected);
        if (!present)
            QCOMPARE(rig.ui.warnings, std::vector<std::string>{"Backup drive e: is not mounted"});
    }

    void beforeTheMainWindowIsReadyOnlyTheComputerFolderIsSet()
    {
        Fixture fixture;
        fixture.addDrive('e');
        EngineRig rig(fixture.platform());
        rig.target.perComputerFolders = true;
        rig.target.base = "x:\\";
        selectBackupDrive(rig.ctx, 'e', {});
        QCOMPARE(rig.target.computerFolder, rig.platform->computerName() + "\\");
        QCOMPARE(rig.target.base, std::string("x:\\"));
        QVERIFY(rig.ui.statusLines.empty());

        selectBackupDrive(rig.ctx, 'e', {.windowsReady = true});
        QCOMPARE(rig.target.base, "e:\\" + rig.platform->computerName() + "\\");
    }

    void writeLastDateStoresUnderTheKeyUnlessTheTotalIsZero()
    {
        Fixture fixture;
        fixture.addDrive('e', "DRIVE_CDROM", "BACKUP1");
        EngineRig rig(fixture.platform(), "nld");
        selectBackupDrive(rig.ctx, 'e', {.windowsReady = true});
        rig.ui.statusLines.clear();

        writeLastDate(rig.ctx, 0, 45000.25);
        QVERIFY(!fixture.setting("Last BackUp", "e-Backup1").isValid());
        QVERIFY(rig.ui.statusLines.empty());

        writeLastDate(rig.ctx, 5000000000LL, 45000.25);
        QCOMPARE(fixture.setting("Last BackUp", "e-Backup1").toDouble(), 45000.25);
        QCOMPARE(fixture.setting("Total Size", "e-Backup1").toLongLong(), 5000000000LL);
        // The status line shows the moment of the call, not the date stored.
        QVERIFY(QString::fromStdString(rig.ui.statusLines.back())
                    .startsWith(" Backupschijf: e: [backup1], laatste backup: "));
        QVERIFY(!QString::fromStdString(rig.ui.statusLines.back())
                     .endsWith(QString::fromStdString(dateText(rig.ctx, 45000.25))));
    }

    // A label may hold any character that its file system allows; the medium's records are
    // stored under it and found again when the drive is chosen.
    void aLabelKeepsItsRecordWhateverItHolds_data()
    {
        QTest::addColumn<QString>("label");
        QTest::newRow("slash") << "Work/2024";
        QTest::newRow("backslash") << "Work\\2024";
        QTest::newRow("ini marks") << "a=b; #c";
        QTest::newRow("non-ASCII") << "Caf\u00e9";
    }
    void aLabelKeepsItsRecordWhateverItHolds()
    {
        QFETCH(QString, label);
        Fixture fixture;
        fixture.addDrive('e', "DRIVE_FIXED", label);
        {
            EngineRig rig(fixture.platform());
            rig.selectBackupDrive();
            writeLastDate(rig.ctx, 86, 45000.5);
        }
        EngineRig rig(fixture.platform());
        readSettings(*rig.platform, rig.target, rig.media, rig.ui, rig.ctx.language());
        rig.selectBackupDrive();
        QCOMPARE(rig.media.current.lastBackupDate, 45000.5);
        QCOMPARE(rig.media.current.totalSize, std::int64_t(86));
        QVERIFY(!QString::fromStdString(rig.ui.statusLines.back()).contains("unknown"));
    }

    // Another run (the command line, or a Make Backups of the window) stores a record while the
    // window is open: choosing the drive again shows it, and the window's older record is never
    // written back over it.
    void recordsAreReadWhenADriveIsChosen()
    {
        Fixture fixture;
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.addDrive('g', "DRIVE_FIXED", "Other");
        fixture.setSetting("Last BackUp", "e-", "45000");
        fixture.setSetting("Total Size", "e-", "80");
        EngineRig rig(fixture.platform());
        readSettings(*rig.platform, rig.target, rig.media, rig.ui, rig.ctx.language());
        rig.selectBackupDrive('e');
        QCOMPARE(rig.media.current.lastBackupDate, 45000.0);

        fixture.setSetting("Last BackUp", "e-", "45001");
        fixture.setSetting("Total Size", "e-", "86");
        rig.selectBackupDrive('g');
        rig.selectBackupDrive('e');
        QCOMPARE(rig.media.current.lastBackupDate, 45001.0);
        QCOMPARE(rig.media.current.totalSize, std::int64_t(86));

        fixture.setSetting("Last BackUp", "e-", "45002");
        writeBackRecord(rig.ctx);
        QCOMPARE(fixture.setting("Last BackUp", "e-").toDouble(), 45002.0);
        QCOMPARE(fixture.setting("Total Size", "e-").toLongLong(), 86LL);
    }

    void writeBackStoresNoOlderAndNoMadeUpRecord_data()
    {
        QTest::addColumn<double>("storedDate"); // 0: no record stored
        QTest::addColumn<double>("date");       // the window's record
        QTest::addColumn<qint64>("total");
        QTest::addColumn<double>("expectedDate"); // 0: still no record
        QTest::addColumn<qint64>("expectedTotal");
        QTest::newRow("the window's total of the same backup")
            << 45000.0 << 45000.0 << qint64(94) << 45000.0 << qint64(94);
        QTest::newRow("a later backup of the window")
            << 45000.0 << 45002.0 << qint64(90) << 45002.0 << qint64(90);
        QTest::newRow("older than the one stored")
            << 45001.0 << 45000.0 << qint64(8) << 45001.0 << qint64(86);
        QTest::newRow("no record, a file removed") << 0.0 << 0.0 << qint64(-22) << 0.0 << qint64(0);
        QTest::newRow("no record, a file added") << 0.0 << 0.0 << qint64(8) << 0.0 << qint64(0);
    }
    void writeBackStoresNoOlderAndNoMadeUpRecord()
    {
        QFETCH(double, storedDate);
        QFETCH(double, date);
        QFETCH(qint64, total);
        QFETCH(double, expectedDate);
        QFETCH(qint64, expectedTotal);
        Fixture fixture;
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        if (storedDate != 0) {
            fixture.setSetting("Last BackUp", "e-", QString::number(storedDate));
            fixture.setSetting("Total Size", "e-", "86");
        }
        EngineRig rig(fixture.platform());
        rig.selectBackupDrive();
        rig.media.current = {date, total};
        writeBackRecord(rig.ctx);
        QCOMPARE(fixture.setting("Last BackUp", "e-").isValid(), expectedDate != 0);
        QCOMPARE(fixture.setting("Total Size", "e-").isValid(), expectedDate != 0);
        if (expectedDate != 0) {
            QCOMPARE(fixture.setting("Last BackUp", "e-").toDouble(), expectedDate);
            QCOMPARE(fixture.setting("Total Size", "e-").toLongLong(), expectedTotal);
        }
    }

    // Network drives and RAM disks now show their label, which becomes part of the medium's key,
    // and a label is no longer cut at its first "]": the record kept under the earlier key moves
    // to the new one, unless the medium has one of its own.
    void recordsUnderAnEarlierKeyMoveOver_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("ownRecord");
        QTest::newRow("network") << "DRIVE_REMOTE"
                                 << "Share"
                                 << "f-"
                                 << "f-Share" << false;
        QTest::newRow("RAM disk") << "DRIVE_RAMDISK"
                                  << "Share"
                                  << "f-"
                                  << "f-Share" << false;
        QTest::newRow("network medium with a record") << "DRIVE_REMOTE"
                                                      << "Share"
                                                      << "f-"
                                                      << "f-Share" << true;
        QTest::newRow("label with a bracket") << "DRIVE_FIXED"
                                              << "Old]2"
                                              << "f-Old"
                                              << "f-Old]2" << false;
    }
    void recordsUnderAnEarlierKeyMoveOver()
    {
        QFETCH(QString, type);
        QFETCH(QString, label);
        QFETCH(QString, earlier);
        QFETCH(QString, key);
        QFETCH(bool, ownRecord);
        Fixture fixture;
        fixture.addDrive('f', type, label);
        fixture.setSetting("Last BackUp", earlier, "45000");
        fixture.setSetting("Total Size", earlier, "86");
        if (ownRecord) {
            fixture.setSetting("Last BackUp", key, "45005");
            fixture.setSetting("Total Size", key, "90");
        }
        EngineRig rig(fixture.platform());
        rig.selectBackupDrive('f');
        QCOMPARE(QString::fromStdString(rig.media.currentKey), key);
        const double date = ownRecord ? 45005.0 : 45000.0;
        QCOMPARE(rig.media.current.lastBackupDate, date);
        QCOMPARE(rig.media.current.totalSize, std::int64_t(ownRecord ? 90 : 86));
        QCOMPARE(fixture.setting("Last BackUp", key).toDouble(), date);
        QCOMPARE(fixture.setting("Last BackUp", earlier).isValid(), ownRecord);
        QCOMPARE(fixture.setting("Total Size", earlier).isValid(), ownRecord);
    }

    // A date of 0 is no date ("30 Dec 1899"): the texts say that it is unknown.
    void anUnknownDateIsSaidToBeUnknown_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("question");
        QTest::newRow("English") << ""
                                 << " Backup drive: e:, latest backup date unknown"
                                 << "e:, latest backup date unknown";
        QTest::newRow("Dutch") << "nld"
                               << " Backupschijf: e:, geen laatste backupdatum bekend"
                               << "e:, geen laatste backupdatum bekend";
    }
    void anUnknownDateIsSaidToBeUnknown()
    {
        QFETCH(QString, language);
        QFETCH(QString, status);
        QFETCH(QString, question);
        Fixture fixture;
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        EngineRig rig(fixture.platform(), language.toStdString());
        rig.selectBackupDrive();
        QCOMPARE(QString::fromStdString(
                     lastBackupStatusLine(rig.ctx, DriveStatus::LastBackupAfterDuplicate, 0)),
                 status);
        QCOMPARE(QString::fromStdString(lastBackupText(rig.ctx, 0)), question);
        QCOMPARE(lastBackupText(rig.ctx, 45000.5), dateText(rig.ctx, 45000.5));
        QCOMPARE(lastBackupStatusLine(rig.ctx, DriveStatus::LastBackup, 45000.5),
                 backupDriveStatusLine(rig.ctx.language(), DriveStatus::LastBackup,
                                       "e:", dateText(rig.ctx, 45000.5)));
    }

    void autorunFileOnRemovableMediaOnly_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("written");
        QTest::newRow("removable") << "DRIVE_REMOVABLE" << true;
        QTest::newRow("CD") << "DRIVE_CDROM" << true;
        QTest::newRow("RAM disk") << "DRIVE_RAMDISK" << true;
        QTest::newRow("fixed") << "DRIVE_FIXED" << false;
        QTest::newRow("network") << "DRIVE_REMOTE" << false;
    }
    void autorunFileOnRemovableMediaOnly()
    {
        QFETCH(QString, type);
        QFETCH(bool, written);
        Fixture fixture;
        fixture.addDrive('e', type);
        {
            // This system reads no autorun file: it never puts one on a medium.
            EngineRig here(fixture.platform());
            here.target.base = "e:\\";
            ensureAutorunFile(here.ctx);
            QVERIFY(!fixture.exists("e:\\Autorun.inf"));
        }
        // A system that reads them.
        EngineRig rig(std::make_unique<AutorunReader>(fixture.platform()));
        rig.target.base = "e:\\";
        rig.facts.startDir = "c:\\Programs\\";
        ensureAutorunFile(rig.ctx);
        QCOMPARE(fixture.exists("e:\\Autorun.inf"), written);
        if (written)
            QCOMPARE(fixture.readFile("e:\\Autorun.inf"),
                     QByteArray("[autorun]\r\nopen= c:\\Programs\\Kopierix.exe\r\n"));

        // One that is there already is left alone.
        fixture.writeFile("e:\\Autorun.inf", "mine");
        ensureAutorunFile(rig.ctx);
        QCOMPARE(fixture.readFile("e:\\Autorun.inf"), QByteArray("mine"));
        QVERIFY(rig.ui.warnings.empty());
    }
};

QTEST_GUILESS_MAIN(TestMediumRecords)
#include "tst_mediumrecords.moc"
