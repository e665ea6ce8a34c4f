// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "common/ScratchMount.h"
#include "engine/FileCommands.h"

#include <QtTest>

#include <unistd.h>

using namespace kx;
using test::EngineRig;
using test::Fixture;
using test::logLines;

namespace {
constexpr qint64 T0 = 1700000000;

/** A source drive c: and a fixed backup drive e: with the backup root e:\ . */
void addDrives(Fixture& fixture)
{
    fixture.addDrive('c');
    fixture.addDrive('e', "DRIVE_FIXED", "BACKUP1");
}

void useMedium(EngineRig& rig)
{
    rig.target.base = "e:\\";
}
// The text with %c and %e standing for the folders of drives c: and e:, as the lines show them.
QString shown(const Fixture& fixture, QString text)
{
    return text.replace("%c", fixture.native("c:\\")).replace("%e", fixture.native("e:\\"));
}

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    void addCopiesIntoTheMirrorFolderAndWarnsWhenNothingWasCopied_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("sourceFolder");
        QTest::addColumn<QString>("mirror");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("root, Dutch")
            << "nld"
            << "c:\\"
            << "e:\\c-\\"
            << QStringList{"Toevoegen - FromName: %c/a.txt", "Toevoegen - ToName: %e/c-/a.txt",
                           "%c/a.txt toegevoegd aan Backup e:"};
        QTest::newRow("two levels, English")
            << ""
            << "c:\\Docs\\Sub\\"
            << "e:\\c-Docs\\Sub\\"
            << QStringList{"Add - FromName: %c/Docs/Sub/a.txt", "Add - ToName: %e/c-Docs/Sub/a.txt",
                           "%c/Docs/Sub/a.txt added to Backup e:"};
    }
    void addCopiesIntoTheMirrorFolderAndWarnsWhenNothingWasCopied()
    {
        QFETCH(QString, language);
        QFETCH(QString, sourceFolder);
        QFETCH(QString, mirror);
        QFETCH(QStringList, log);
        Fixture fixture;
        addDrives(fixture);
        const std::string folder = sourceFolder.toStdString();
        fixture.writeFile(folder + "a.txt", "12345", T0);
        fixture.writeFile(folder + "b.txt", "123", T0);
        EngineRig rig(fixture.platform(), language.toStdString());
        useMedium(rig);
        rig.media.current.totalSize = 100;

        QCOMPARE(addFiles(rig.ctx, folder, {"a.txt", "b.txt"}).done, std::size_t(2));

        const std::string m = mirror.toStdString();
        QCOMPARE(fixture.readFile(m + "a.txt"), QByteArray("12345"));
        QCOMPARE(fixture.mtime(m + "a.txt"), T0);
        QCOMPARE(fixture.readFile(m + "b.txt"), QByteArray("123"));
        QCOMPARE(rig.media.current.totalSize, std::int64_t(108));
        const QString added = language == "nld" ? " toegevoegd" : " added";
        QCOMPARE(rig.shownLines(), (QStringList{fixture.native(folder + "a.txt") + added,
                                                fixture.native(folder + "b.txt") + added}));
        QCOMPARE(logLines(fixture).mid(0, 3), log.replaceInStrings("%c", fixture.native("c:\\"))
                                                  .replaceInStrings("%e", fixture.native("e:\\")));
        QVERIFY(rig.ui.warnings.empty());
        QVERIFY(!rig.ui.isBusy);

        // Again, unchanged: the copy is up to date, so the file is reported as not added; the
        // two lines about the attempt are logged all the same.
        rig.ui.outputLines.clear();
        QCOMPARE(addFiles(rig.ctx, folder, {"a.txt"}).done, std::size_t(0));
        QCOMPARE(rig.ui.warnings,
                 std::vector<std::string>{fixture.nativeBytes(m + "a.txt") +
                                          (language == "nld" ? " is niet toegevoegd aan e:\\"
                                                             : " is not added to e:\\")});
        QVERIFY(rig.ui.outputLines.empty());
        QCOMPARE(rig.media.current.totalSize, std::int64_t(108));
        QCOMPARE(logLines(fixture).size(), 8);

        // Saved a second later: the fixture's folders keep exact times, so that is a change.
        fixture.writeFile(folder + "a.txt", "12346", T0 + 1);
        QCOMPARE(addFiles(rig.ctx, folder, {"a.txt"}).done, std::size_t(1));
        QCOMPARE(fixture.readFile(m + "a.txt"), QByteArray("12346"));
    }

    void addWarnsForEveryFileThatCannotBeCopied()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addMissingDrive('e');
        fixture.writeFile("c:\\Docs\\a.txt", "a", T0);
        EngineRig rig(fixture.platform(), "nld");
        useMedium(rig);

        // A vanished source and a medium that is not there.
        QCOMPARE(addFiles(rig.ctx, "c:\\Docs\\", {"a.txt", "gone.txt"}).done, std::size_t(0));
        // The medium is away: its files are named below the folder it was last mounted at.
        QCOMPARE(
            rig.ui.warnings,
            (std::vector<std::string>{
                fixture.nativeBytes("e:\\c-Docs\\a.txt") + " is niet toegevoegd aan e:\\",
                fixture.nativeBytes("e:\\c-Docs\\gone.txt") + " is niet toegevoegd aan e:\\"}));
        QCOMPARE(rig.media.current.totalSize, std::int64_t(0));
    }

    // Two sources that differ in case alone: a medium that tells case apart holds both under
    // their own names; on one that does not (exFAT) the second cannot be there, and is a failed
    // copy that says why, never "already in the backup". A source only renamed in case is no
    // second source.
    void addOfNamesThatDifferInCaseAlone_data()
    {
        QTest::addColumn<bool>("exfat");
        QTest::addColumn<QString>("oldCopy"); // on the medium before the add, if any
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("failed");
        QTest::addColumn<QStringList>("copies"); // "name=contents", read from the medium
        QTest::addColumn<QString>("refused");    // the failed copy's line
        const QString why = " not copied to e: - the backup drive does not tell capitals from "
                            "small letters and already holds ";
        QTest::newRow("medium that tells case apart")
            << false << "" << QStringList{"Report.doc", "report.doc"} << 2 << 0
            << QStringList{"Report.doc=Report.doc", "report.doc=report.doc"} << "";
        QTest::newRow("exFAT, both new")
            << true << "" << QStringList{"Report.doc", "report.doc"} << 1 << 1
            << QStringList{"Report.doc=Report.doc"} << "%c/Docs/report.doc" + why + "Report.doc";
        QTest::newRow("exFAT, the second backed up before")
            << true << "report.doc" << QStringList{"Report.doc", "report.doc"} << 1 << 1
            << QStringList{"report.doc=report.doc"} << "%c/Docs/Report.doc" + why + "report.doc";
        QTest::newRow("exFAT, renamed in case only")
            << true << "REPORT.DOC" << QStringList{"Report.doc"} << 1 << 0
            << QStringList{"Report.doc=Report.doc"} << "";
    }
    void addOfNamesThatDifferInCaseAlone()
    {
        QFETCH(bool, exfat);
        QFETCH(QString, oldCopy);
        QFETCH(QStringList, sources);
        QFETCH(int, added);
        QFETCH(int, failed);
        QFETCH(QStringList, copies);
        QFETCH(QString, refused);
        Fixture fixture;
        fixture.addDrive('c');
        test::ScratchMount mount;
        if (exfat) {
            QString why;
            if (!mount.mountExfatDrive(fixture, 'e', why))
                QSKIP(qPrintable(why));
        } else {
            fixture.addDrive('e', "DRIVE_REMOVABLE");
        }
        if (!oldCopy.isEmpty())
            fixture.writeFile("e:\\c-Docs\\" + oldCopy.toStdString(), "old", T0 - 600);
        for (const QString& name : sources)
            fixture.writeFile("c:\\Docs\\" + name.toStdString(), name.toUtf8(), T0);
        EngineRig rig(fixture.platform());
        useMedium(rig);
        QCOMPARE(rig.platform->namesIgnoreCase('e'), exfat);

        const AddResult result = addPaths(rig.ctx, {"c:\\Docs"});
        QCOMPARE(int(result.added), added);
        QCOMPARE(int(result.failed), failed);
        QCOMPARE(result.alreadyThere, std::uint64_t(0));
        QCOMPARE(QDir(fixture.native("e:\\c-Docs")).entryList(QDir::Files).size(), copies.size());
        for (const QString& copy : copies)
            QCOMPARE(fixture.readFile("e:\\c-Docs\\" + copy.section('=', 0, 0).toStdString()),
                     copy.section('=', 1).toUtf8());
        QCOMPARE(rig.media.current.totalSize, std::int64_t(10 * added));
        QCOMPARE(rig.shownLines().filter(" not copied to e: - "),
                 refused.isEmpty() ? QStringList() : QStringList{shown(fixture, refused)});
    }

    void removeDeletesLastToFirstAndLowersTheTotal()
    {
        Fixture fixture;
        addDrives(fixture);
        fixture.writeFile("e:\\c-Docs\\a.txt", "12345", T0);
        fixture.writeFile("e:\\c-Docs\\b.txt", "123", T0);
        fixture.writeFile("e:\\c-Docs\\keep.txt", "1", T0);
        // A read-only copy is removed too.
        QVERIFY(QFile::setPermissions(fixture.native("e:\\c-Docs\\b.txt"), QFile::ReadOwner));
        EngineRig rig(fixture.platform(), "nld");
        useMedium(rig);
        rig.media.current.totalSize = 20;

        QCOMPARE(removeFiles(rig.ctx, "e:\\c-Docs", {"a.txt", "b.txt", "missing.txt"}).done,
                 std::size_t(2));

        QVERIFY(!fixture.exists("e:\\c-Docs\\a.txt"));
        QVERIFY(!fixture.exists("e:\\c-Docs\\b.txt"));
        QVERIFY(fixture.exists("e:\\c-Docs\\keep.txt"));
        QCOMPARE(rig.media.current.totalSize, std::int64_t(12));
        QCOMPARE(rig.shownLines(), (QStringList{shown(fixture, "%e/c-Docs/b.txt verwijderd"),
                                                shown(fixture, "%e/c-Docs/a.txt verwijderd")}));
        QCOMPARE(logLines(fixture),
                 (QStringList{shown(fixture, "b.txt verwijderd uit Backup %e/c-Docs"),
                              shown(fixture, "a.txt verwijderd uit Backup %e/c-Docs")}));
        QVERIFY(rig.ui.warnings.empty());
    }

    void restoreCopiesBackOverTheSourceWhateverItsDate()
    {
        Fixture fixture;
        addDrives(fixture);
        fixture.writeFile("e:\\c-Docs\\a.txt", "backup a", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "newer source", T0 + 3600);
        fixture.writeFile("e:\\c-Docs\\readme.txt", "backup readme", T0);
        fixture.writeFile("e:\\c-Docs\\Readme.txt", "another file", T0);
        fixture.writeFile("e:\\c-Gone\\Sub\\x.txt", "backup x", T0);
        EngineRig rig(fixture.platform(), "");
        useMedium(rig);

        QCOMPARE(restoreFiles(rig.ctx, "e:\\c-Docs", "c:\\Docs\\", {"a.txt", "readme.txt"}).done,
                 std::size_t(2));
        // The older backup copy replaces the newer source, with its time.
        QCOMPARE(fixture.readFile("c:\\Docs\\a.txt"), QByteArray("backup a"));
        QCOMPARE(fixture.mtime("c:\\Docs\\a.txt"), T0);
        // Where case counts, a capitalised name would be another file (here one that exists):
        // each file is read and restored under its own name.
        QCOMPARE(fixture.readFile("c:\\Docs\\readme.txt"), QByteArray("backup readme"));
        QVERIFY(!fixture.exists("c:\\Docs\\Readme.txt"));
        QCOMPARE(rig.shownLines(), (QStringList{shown(fixture, "%e/c-Docs/readme.txt restored"),
                                                shown(fixture, "%e/c-Docs/a.txt restored")}));
        QCOMPARE(
            logLines(fixture),
            (QStringList{
                shown(fixture, "readme.txt restored from Backup %e/c-Docs\\%e/c-Docs/readme.txt"),
                shown(fixture, "a.txt restored from Backup %e/c-Docs\\%e/c-Docs/a.txt")}));

        // A source folder deleted since is made again.
        QCOMPARE(restoreFiles(rig.ctx, "e:\\c-Gone\\Sub", "c:\\Gone\\Sub\\", {"x.txt"}).done,
                 std::size_t(1));
        QCOMPARE(fixture.readFile("c:\\Gone\\Sub\\x.txt"), QByteArray("backup x"));
        QVERIFY(rig.ui.warnings.empty());
    }

    void restorePassesOverAFailedCopyAndStopsAtAFolderThatIsGone()
    {
        Fixture fixture;
        addDrives(fixture);
        fixture.writeFile("e:\\c-Docs\\a.txt", "backup a", T0);
        fixture.writeFile("e:\\c-Docs\\b.txt", "backup b", T0);
        fixture.writeFile("c:\\Docs\\b.txt", "source b", T0);
        auto faulty = std::make_unique<test::FaultyPlatform>(fixture.platform());
        faulty->failCopyTo["c:\\Docs\\b.txt"] = SystemError{32, "in use"};
        EngineRig rig(std::move(faulty), "nld");
        useMedium(rig);

        QCOMPARE(restoreFiles(rig.ctx, "e:\\c-Docs", "c:\\Docs\\", {"a.txt", "b.txt"}).done,
                 std::size_t(1));
        QCOMPARE(fixture.readFile("c:\\Docs\\b.txt"), QByteArray("source b"));
        QCOMPARE(fixture.readFile("c:\\Docs\\a.txt"), QByteArray("backup a"));
        QVERIFY(rig.ui.warnings.empty());

        QCOMPARE(restoreFiles(rig.ctx, "e:\\c-Nowhere", "c:\\Nowhere\\", {"a.txt", "b.txt"}).done,
                 std::size_t(0));
        QCOMPARE(rig.ui.warnings.size(), std::size_t(1));
        QCOMPARE(rig.ui.warnings[0], std::string("Er is iets mis met schijf e:\\"));
    }
};

QTEST_GUILESS_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
