// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "worker/BackupDrive.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

using kx::BackupDrive;
using kx::BackupTarget;
using kx::DriveFlags;
using kx::MediaRecords;
using kx::test::EngineRig;
using kx::test::Fixture;

namespace {

/** The letters the spy saw chosen, in order. */
QString chosenLetters(const QSignalSpy& spy)
{
    QString letters;
    for (const QList<QVariant>& call : spy)
        letters += QChar::fromLatin1(call.first().value<char>());
    return letters;
}

} // namespace

class TestBackupDrive : public QObject
{
    Q_OBJECT

private slots:
    void aChoiceWaitsForTheWindows()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "Backup1");
        fixture.addDrive('f', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        EngineRig rig(fixture.platform(), "nld");
        BackupDrive drive(rig.ctx, rig.driveFlags);
        QCOMPARE(rig.target.base, std::string("e:\\"));
        QSignalSpy chosen(&drive, &BackupDrive::chosen);
        QSignalSpy starting(&drive, &BackupDrive::aboutToStart);

        drive.choose('f');
        QVERIFY(!drive.ready());
        QCOMPARE(rig.target.base, std::string("e:\\"));
        QVERIFY(rig.ui.statusLines.empty());
        QCOMPARE(chosen.size(), 0);

        drive.start();
        QCOMPARE(starting.size(), 1);
        QCOMPARE(chosenLetters(chosen), QString("e"));
        QCOMPARE(drive.letter(), 'e');
        QCOMPARE(rig.ui.statusLines,
                 std::vector<std::string>{
                     " Backupschijf: e: [backup1], geen laatste backupdatum bekend"});
        drive.choose('F');
        QCOMPARE(chosenLetters(chosen), QString("ef"));
        QCOMPARE(rig.target.base, std::string("f:\\"));
    }

    void startChoosesTheStoredDriveOrTheListsDefault_data()
    {
        QTest::addColumn<QString>("drives");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("stored drive") << "cde"
                                      << "e:\\"
                                      << "e";
        QTest::newRow("upper case") << "cde"
                                    << "E:\\"
                                    << "e";
        QTest::newRow("per computer") << "cde"
                                      << "e:\\\\"
                                      << "e";
        QTest::newRow("not in the table") << "cde"
                                          << "q:\\"
                                          << "c";
        QTest::newRow("nothing stored") << "de"
                                        << ""
                                        << "c";
    }

    void startChoosesTheStoredDriveOrTheListsDefault()
    {
        QFETCH(QString, drives);
        QFETCH(QString, stored);
        QFETCH(QString, chosen);
        Fixture fixture;
        for (const QChar letter : drives)
            fixture.addDrive(letter.toLatin1());
        if (!stored.isEmpty())
            fixture.setSetting("Defaults", "BackUp Drive", stored);
        EngineRig rig(fixture.platform(), "");
        BackupDrive drive(rig.ctx, rig.driveFlags);
        QSignalSpy spy(&drive, &BackupDrive::chosen);
        drive.start();
        QCOMPARE(chosenLetters(spy), chosen);
        QCOMPARE(drive.letter(), chosen.at(0).toLatin1());
    }

    void duplicateIsOfferedForRemovableAndCdMedia_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("fixed") << "DRIVE_FIXED" << false;
        QTest::newRow("removable") << "DRIVE_REMOVABLE" << true;
        QTest::newRow("cd") << "DRIVE_CDROM" << true;
        QTest::newRow("network") << "DRIVE_REMOTE" << false;
    }

    void duplicateIsOfferedForRemovableAndCdMedia()
    {
        QFETCH(QString, type);
        QFETCH(bool, allowed);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', type);
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        EngineRig rig(fixture.platform(), "");
        BackupDrive drive(rig.ctx, rig.driveFlags);
        QSignalSpy spy(&drive, &BackupDrive::duplicateAllowedChanged);
        drive.start();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toBool(), allowed);
    }

    void aMissingFloppyIsToldOnceInTheListsWords()
    {
        Fixture fixture;
        fixture.addMissingDrive('a', "DRIVE_REMOVABLE");
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        EngineRig rig(fixture.platform(), "nld");
        rig.target.perComputerFolders = true;
        BackupDrive drive(rig.ctx, rig.driveFlags);
        QSignalSpy chosen(&drive, &BackupDrive::chosen);
        QSignalSpy duplicate(&drive, &BackupDrive::duplicateAllowedChanged);
        drive.start();
        QVERIFY(drive.floppyMissing());
        QVERIFY(!drive.flags().noFloppy);

        const std::string told = " Backupschijf: a: [geen floppy], geen floppy aanwezig";
        drive.choose('a');
        QCOMPARE(rig.target.base, std::string("a:\\")); // no computer folder
        QVERIFY(drive.flags().noFloppy);
        QCOMPARE(rig.ui.statusLines.back(), told);
        QCOMPARE(duplicate.size(), 1); // for e: alone
        drive.choose('e');
        QVERIFY(!drive.flags().noFloppy);
        drive.choose('a');
        QCOMPARE(chosenLetters(chosen), QString("eaea"));
        QCOMPARE(std::count(rig.ui.statusLines.begin(), rig.ui.statusLines.end(), told), 1);
    }

    void onlyADriveWithAMediumIsStored_data()
    {
        QTest::addColumn<char>("letter");
        QTest::addColumn<bool>("perComputer");
        QTest::addColumn<QString>("stored");
        QTest::newRow("ready") << 'e' << false << "e:\\";
        QTest::newRow("ready, per computer") << 'e' << true << "e:\\\\";
        QTest::newRow("no medium") << 'f' << false << "g:\\";
        // A missing floppy is no drive without a medium: the floppy drive stays the choice.
        QTest::newRow("floppy drive without a disk") << 'a' << false << "a:\\";
    }

    void onlyADriveWithAMediumIsStored()
    {
        QFETCH(char, letter);
        QFETCH(bool, perComputer);
        QFETCH(QString, stored);
        Fixture fixture;
        fixture.addMissingDrive('a', "DRIVE_REMOVABLE");
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.addMissingDrive('f');
        fixture.addDrive('g');
        fixture.setSetting("Defaults", "BackUp Drive", "g:\\");
        EngineRig rig(fixture.platform(), "");
        rig.target.perComputerFolders = perComputer;
        BackupDrive drive(rig.ctx, rig.driveFlags);
        drive.start();
        drive.choose(letter);
        drive.store();
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), stored);
    }

    void aRunsResultIsTakenAndKept()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.addDrive('g');
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        EngineRig rig(fixture.platform(), "");
        BackupDrive drive(rig.ctx, rig.driveFlags);
        drive.start();
        QSignalSpy changed(&drive, &BackupDrive::changed);

        BackupTarget target = drive.target();
        target.base = "g:\\";
        MediaRecords media = drive.media();
        media.currentKey = "g-";
        media.current.lastBackupDate = 45000.0;
        const bool noDisk = rig.driveFlags.noDisk;
        drive.apply(
            kx::RunOutcome{target, media, kx::DriveFindings{.noDisk = {}, .noFloppy = true}});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(rig.ctx.target.base, std::string("g:\\"));
        QCOMPARE(rig.ctx.media.current.lastBackupDate, 45000.0);
        QVERIFY(rig.driveFlags.noFloppy);
        QCOMPARE(rig.driveFlags.noDisk, noDisk); // the run did not look

        // A run that found no medium keeps the drive out of the settings.
        drive.apply(kx::RunOutcome{drive.target(), drive.media(),
                                   kx::DriveFindings{.noDisk = true, .noFloppy = {}}});
        QCOMPARE(changed.size(), 2);
        drive.store();
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), QString("e:\\"));
        drive.apply(kx::RunOutcome{drive.target(), drive.media(),
                                   kx::DriveFindings{.noDisk = false, .noFloppy = {}}});
        drive.store();
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), QString("g:\\"));
    }
};

QTEST_GUILESS_MAIN(TestBackupDrive)
#include "tst_backupdrive.moc"
