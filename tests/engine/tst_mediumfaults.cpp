// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "common/ScratchMount.h"
#include "engine/MakeBackups.h"
#include "engine/MediumRecords.h"

#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace kx;
using test::EngineRig;
using test::Fixture;
using test::logLines;

namespace {
constexpr qint64 T0 = 1700000000;
} // namespace

/** Make Backups on small real file systems: a medium that fills up, another file system mounted
 *  inside a mirror folder, a FAT-family medium. */
class TestMediumFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Amsterdam");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    void aFullMediumKeepsTheOldCopyAndTheNextRunRetries()
    {
        Fixture fixture;
        fixture.addDrive('c');
        const QString medium = fixture.root() + "/medium";
        QVERIFY(QDir().mkpath(medium));
        test::ScratchMount mount;
        QString why;
        if (!mount.mountTmpfs(medium, "size=2m", why))
            QSKIP(qPrintable(why));
        fixture.mapDrive('e', medium, "DRIVE_REMOVABLE");
        // The refresh needs room for the whole new file beside the old one: 1.2 + 1.5 > 2 MB.
        const QByteArray old(1200 * 1024, 'o');
        const QByteArray fresh(1500 * 1024, 'n');
        fixture.writeFile("e:\\C-Docs\\big.bin", old, T0);
        fixture.writeFile("c:\\Docs\\big.bin", fresh, T0 + 60);

        {
            // A medium whose free space cannot be read is not refused before the copy: the
            // copy itself finds it full.
            auto unknownRoom = std::make_unique<test::FaultyPlatform>(fixture.platform());
            unknownRoom->freeSpaceOf['e'] = -1;
            EngineRig rig(std::move(unknownRoom));
            rig.selectBackupDrive();
            const RunResult run = makeBackups(rig.ctx);
            QVERIFY(run.entered);
            QVERIFY(!run.noRoom);
            QCOMPARE(fixture.readFile("e:\\C-Docs\\big.bin"), old);
            QCOMPARE(run.copiedCount, std::uint64_t(0));
            QCOMPARE(run.backupFileCount, std::uint64_t(1));
            QVERIFY(rig.shownLines().contains("Number of failed copies = 1"));
            const QStringList log = logLines(fixture);
            QVERIFY(
                log.filter(fixture.native("c:\\Docs\\big.bin") + " not copied to e: - ").size() ==
                1);
            QCOMPARE(QDir(medium + "/C-Docs").entryList(QDir::Files | QDir::Hidden).size(), 1);
        }

        // With room on the medium the next run refreshes the copy.
        QVERIFY(::mount("tmpfs", QFile::encodeName(medium).constData(), "tmpfs", MS_REMOUNT,
                        "size=4m") == 0);
        EngineRig rig(fixture.platform());
        rig.selectBackupDrive();
        const RunResult run = makeBackups(rig.ctx);
        QVERIFY(run.entered);
        QCOMPARE(run.copiedCount, std::uint64_t(1));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\big.bin"), fresh);
        QVERIFY(!rig.shownLines().join('\n').contains("failed copies"));
    }

    void aMountPointInsideAMirrorFolderIsPassedOver()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\C-Docs\\a.txt", "old", T0);
        fixture.makeDir("e:\\C-Docs\\mnt");
        test::ScratchMount mount;
        QString why;
        if (!mount.mountTmpfs(fixture.native("e:\\C-Docs\\mnt"), "size=1m", why))
            QSKIP(qPrintable(why));
        // Another file system that only looks like part of the mirror: it is another drive.
        fixture.writeFile("e:\\C-Docs\\mnt\\b.txt", "not a backup file", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);
        fixture.writeFile("c:\\Docs\\mnt\\b.txt", "new", T0 + 60);

        EngineRig rig(fixture.platform());
        rig.selectBackupDrive();
        const RunResult run = makeBackups(rig.ctx);
        QVERIFY(run.entered);

        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("new"));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\mnt\\b.txt"), QByteArray("not a backup file"));
        QCOMPARE(run.copiedCount, std::uint64_t(1));
        QCOMPARE(run.backupFileCount, std::uint64_t(1));
    }

    void anExfatMediumIsRefreshedOnceAndThenLeftAlone()
    {
        Fixture fixture;
        fixture.addDrive('c');
        test::ScratchMount mount;
        QString why;
        if (!mount.mountExfatDrive(fixture, 'e', why))
            QSKIP(qPrintable(why));
        // An odd second: the medium keeps two-second or finer times, the rule allows 3 s.
        fixture.writeFile("e:\\C-Docs\\a.txt", "old", T0);
        fixture.writeFile("e:\\C-Docs\\b.txt", "same", T0 + 61);
        fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 61);
        fixture.writeFile("c:\\Docs\\b.txt", "same", T0 + 61);

        for (int run = 1; run <= 2; ++run) {
            EngineRig rig(fixture.platform());
            rig.selectBackupDrive();
            const RunResult result = makeBackups(rig.ctx);
            QVERIFY(result.entered);
            QCOMPARE(result.copiedCount, std::uint64_t(run == 1 ? 1 : 0));
            QCOMPARE(result.backupFileCount, std::uint64_t(2));
        }
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("new"));
    }

    void anExfatMediumNoticesAnEditOfADateItCannotHold()
    {
        Fixture fixture;
        fixture.addDrive('c');
        test::ScratchMount mount;
        QString why;
        if (!mount.mountExfatDrive(fixture, 'e', why))
            QSKIP(qPrintable(why));
        // A reproducible build dates its files in 1970, which exFAT cannot hold; its copy is one
        // of 2020. A second's difference within what it holds is within its tolerance.
        constexpr qint64 kBuildDate = 86400;
        fixture.writeFile("e:\\C-Docs\\build.bin", "v1", T0);
        fixture.writeFile("c:\\Docs\\build.bin", "v1", kBuildDate);
        fixture.writeFile("e:\\C-Docs\\saved.txt", "old", T0);
        fixture.writeFile("c:\\Docs\\saved.txt", "new", T0 + 1);

        auto run = [&] {
            EngineRig rig(fixture.platform());
            rig.selectBackupDrive();
            const RunResult result = makeBackups(rig.ctx);
            return result.entered ? result.copiedCount : std::uint64_t(99);
        };
        QCOMPARE(run(), std::uint64_t(1));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\saved.txt"), QByteArray("old"));
        // Unchanged, it is left alone; rebuilt with another size, it is copied again.
        QCOMPARE(run(), std::uint64_t(0));
        fixture.writeFile("c:\\Docs\\build.bin", "v2, longer", kBuildDate);
        QCOMPARE(run(), std::uint64_t(1));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\build.bin"), QByteArray("v2, longer"));
    }
};

QTEST_GUILESS_MAIN(TestMediumFaults)
#include "tst_mediumfaults.moc"
