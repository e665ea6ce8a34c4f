// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "engine/FileCommands.h"
#include "engine/MakeBackups.h"
#include "engine/NewerFiles.h"
#include "engine/RestoreAll.h"
#include "support/FileDate.h"

#include <QRegularExpression>
#include <QtTest>

using namespace kx;
using kx::test::EngineRig;
using kx::test::Fixture;
using kx::test::logLines;

namespace {

constexpr qint64 T0 = 1600000000;

enum class Operation
{
    MakeBackups,
    RestoreAll,
    Add,
    Remove,
    Restore,
    AddNewer
};

} // namespace

Q_DECLARE_METATYPE(Operation)

/** What a person reads names files by the paths the system writes, whatever the operation:
 *  the engine's drive paths never reach a line. */
class TestPathTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    void everyLineNamesTheNativePath_data()
    {
        // %c and %e stand for the folders of the source drive c: and the medium e:.
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QStringList>("lines"); // in the output lines, the log or a warning
        QTest::newRow("make backups")
            << Operation::MakeBackups
            << QStringList{"%c/Docs/a.txt copied to e:",
                           "%c/Docs/full.txt not copied to e: - No space left on device",
                           "Folder %e/c-Locked cannot be read: Permission denied",
                           "No source for backup file %e/c-Docs/gone.txt: %c/Docs/gone.txt"};
        QTest::newRow("restore all")
            << Operation::RestoreAll << QStringList{"%e/c-Docs/a.txt copied to %c/Docs/a.txt"};
        QTest::newRow("add") << Operation::Add
                             << QStringList{"Add - FromName: %c/Docs/new.txt",
                                            "Add - ToName: %e/c-Docs/new.txt",
                                            "%c/Docs/new.txt added",
                                            "%c/Docs/new.txt added to Backup e:"};
        QTest::newRow("remove") << Operation::Remove
                                << QStringList{"%e/c-Docs/a.txt removed",
                                               "a.txt removed from Backup %e/c-Docs"};
        // The backup folder stands twice in the log's line, as it always has.
        QTest::newRow("restore") << Operation::Restore
                                 << QStringList{
                                        "%e/c-Docs/a.txt restored",
                                        "a.txt restored from Backup %e/c-Docs\\%e/c-Docs/a.txt"};
        QTest::newRow("add a newer file")
            << Operation::AddNewer
            << QStringList{"%c/Docs/new.txt added", "%c/Docs/new.txt added to Backup e:"};
    }

    void everyLineNamesTheNativePath()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, lines);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\c-Docs\\a.txt", "old", T0);
        fixture.writeFile("e:\\c-Docs\\full.txt", "old", T0);
        fixture.writeFile("e:\\c-Docs\\gone.txt", "old", T0);
        fixture.writeFile("e:\\c-Locked\\x.txt", "old", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);
        fixture.writeFile("c:\\Docs\\full.txt", "new", T0 + 60);
        fixture.writeFile("c:\\Docs\\new.txt", "new", T0 + 60);
        auto faulty = std::make_unique<test::FaultyPlatform>(fixture.platform());
        faulty->failCopyTo["e:\\c-Docs\\full.txt"] = SystemError{28, "No space left on device"};
        faulty->failOpenDir["e:\\c-Locked"] = SystemError{5, "Permission denied"};
        EngineRig rig(std::move(faulty));
        rig.selectBackupDrive();
        rig.media.current.lastBackupDate = localTimeToDateTime(rig.platform->toLocal(T0));
        rig.ui.yesNoAnswers = {true};

        switch (operation) {
        case Operation::MakeBackups:
            QVERIFY(makeBackups(rig.ctx).entered);
            break;
        case Operation::RestoreAll:
            QVERIFY(restoreAll(rig.ctx).entered);
            break;
        case Operation::Add:
            QCOMPARE(addPaths(rig.ctx, {"c:\\Docs\\new.txt"}).added, std::uint64_t(1));
            break;
        case Operation::Remove:
            QCOMPARE(removeFiles(rig.ctx, "e:\\c-Docs", {"a.txt"}).done, std::size_t(1));
            break;
        case Operation::Restore:
            QCOMPARE(restoreFiles(rig.ctx, "e:\\c-Docs", "c:\\Docs\\", {"a.txt"}).done,
                     std::size_t(1));
            break;
        case Operation::AddNewer: {
            NewerScanResult scan = scanNewFiles(rig.ctx);
            QCOMPARE(scan.proposals, std::vector<std::string>{"c:\\Docs\\new.txt"});
            QCOMPARE(addNewFiles(rig.ctx, scan.proposals, {true}).copiedCount, std::uint64_t(1));
            break;
        }
        }

        QStringList said = rig.shownLines() + logLines(fixture);
        for (const std::string& warning : rig.ui.warnings)
            said << QString::fromStdString(warning);
        for (QString line : lines) {
            line.replace("%c", fixture.native("c:\\")).replace("%e", fixture.native("e:\\"));
            QVERIFY2(said.contains(line), qPrintable(line + "\n" + said.join('\n')));
        }
        // A drive is named by its letter alone ("copied to e:", "Free space on e:\ ="); a path
        // below it never is.
        const QRegularExpression drivePath(QStringLiteral("\\b[A-Za-z]:\\\\\\S"));
        QCOMPARE(said.filter(drivePath), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPathTexts)
#include "tst_pathtexts.moc"
