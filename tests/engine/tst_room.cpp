// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "engine/CopyCost.h"
#include "engine/FileCommands.h"
#include "engine/MakeBackups.h"
#include "engine/MediumRecords.h"
#include "engine/NewerFiles.h"
#include "engine/RestoreAll.h"
#include "support/SizeText.h"

#include <QtTest>

#include <functional>
#include <map>

using namespace kx;
using test::EngineRig;
using test::Fixture;

namespace {
constexpr qint64 T0 = 1700000000; // November 2023, outside any daylight saving in UTC
constexpr qint64 kRecordedDate = 45000;

/** Counts the lookups of each path's status. */
class CountingPlatform : public test::FaultyPlatform
{
public:
    using FaultyPlatform::FaultyPlatform;
    std::map<std::string, int> statusLookups;

    Result<FileInfo> fileStatus(const std::string& path) override
    {
        ++statusLookups[path];
        return FaultyPlatform::fileStatus(path);
    }
};

/** Three backup files of 10 bytes whose sources have grown to 1000 and are newer. */
void threeGrownFiles(Fixture& fixture)
{
    fixture.addDrive('c');
    fixture.addDrive('e', "DRIVE_FIXED");
    for (const char* name : {"a", "b", "c"}) {
        fixture.writeFile(std::string("e:\\C-Docs\\") + name, QByteArray(10, 'o'), T0);
        fixture.writeFile(std::string("c:\\Docs\\") + name, QByteArray(1000, 'n'), T0 + 100);
    }
}

int newCopies(const Fixture& fixture, const std::string& folder = "e:\\C-Docs\\")
{
    int copies = 0;
    for (const char* name : {"a", "b", "c"})
        copies += fixture.readFile(folder + name) == QByteArray(1000, 'n');
    return copies;
}

/** An operation that copies, as a test runs it: the files it failed. */
using Operation = std::function<std::uint64_t(EngineContext&)>;
using test::logLines;

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestRoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // The room a run needs: its new copies less the old ones, plus the old copies that still
    // stand beside their staged new ones (a whole batch of them, at most, or one file).
    void theRoomARunNeeds_data()
    {
        QTest::addColumn<qint64>("staged");
        QTest::addColumn<int>("files");
        QTest::addColumn<qint64>("newSize");
        QTest::addColumn<qint64>("oldSize");
        QTest::addColumn<qint64>("needed");
        constexpr qint64 MB = 1 << 20;
        constexpr qint64 batch = 256 * MB;
        QTest::newRow("new files") << batch << 3 << qint64(100) << qint64(-1) << qint64(300);
        QTest::newRow("grown copies") << batch << 1 << qint64(1000) << qint64(10) << qint64(1000);
        QTest::newRow("same sizes, one batch") << batch << 3 << 100 * MB << 100 * MB << 300 * MB;
        QTest::newRow("same sizes, many batches: one batch and a file")
            << batch << 10 << 100 * MB << 100 * MB << batch + 100 * MB;
        QTest::newRow("one copy at a time, smaller")
            << qint64(0) << 2 << qint64(400) << qint64(500) << qint64(300);
    }
    void theRoomARunNeeds()
    {
        QFETCH(qint64, staged);
        QFETCH(int, files);
        QFETCH(qint64, newSize);
        QFETCH(qint64, oldSize);
        QFETCH(qint64, needed);
        CopyCost cost(staged);
        for (int i = 0; i < files; ++i)
            cost.add('E', newSize, oldSize);
        QCOMPARE(cost.drives(), std::vector<char>{'e'});
        QCOMPARE(cost.needed('e'), needed);
        QCOMPARE(cost.needed('f'), qint64(0));
    }

    // The run needs 3,000 bytes (the 30 it replaces stand beside their new copies until the
    // renames): 1,500 free is too little, whatever the user answers.
    void makeBackupsOnAMediumTooSmall_data()
    {
        QTest::addColumn<bool>("copyWhatFits");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("shortage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("No: nothing is written")
            << false << "eng"
            << "Not enough space on %1: needed =%2Bytes, free =%3Bytes"
            << "";
        QTest::newRow("Yes: what fits is copied, in Dutch")
            << true << "nld"
            << "Te weinig ruimte op %1: nodig =%2Bytes, vrij =%3Bytes"
            << " niet gekopieerd naar e: - te weinig ruimte op de schijf";
    }
    void makeBackupsOnAMediumTooSmall()
    {
        QFETCH(bool, copyWhatFits);
        QFETCH(QString, language);
        QFETCH(QString, shortage);
        QFETCH(QString, reason);
        Fixture fixture;
        threeGrownFiles(fixture);
        auto platform = std::make_unique<test::FaultyPlatform>(fixture.platform());
        platform->freeSpaceOf['e'] = 1500;
        EngineRig rig(std::move(platform), language.toStdString());
        rig.selectBackupDrive();
        rig.media.current.lastBackupDate = kRecordedDate;
        rig.ui.yesNoAnswers = {copyWhatFits};

        const RunResult result = makeBackups(rig.ctx);

        const QString medium = QString::fromStdString(rig.platform->displayPath("e:\\"));
        // The sizes as the summaries write them, in the system's decimal form.
        const char sep = rig.platform->decimalSeparator();
        shortage = shortage.arg(medium, QString::fromStdString(formatSize(3000, sep)),
                                QString::fromStdString(formatSize(1500, sep)));
        QCOMPARE(rig.ui.questions.size(), std::size_t(1));
        QVERIFY2(QString::fromStdString(rig.ui.questions[0]).startsWith(shortage),
                 rig.ui.questions[0].c_str());
        QVERIFY(logLines(fixture).contains(shortage));
        QVERIFY(result.noRoom);
        QCOMPARE(result.filesToWrite, std::uint64_t(3));
        QCOMPARE(result.bytesToWrite, std::int64_t(3000));
        // Whatever was copied, the date stays: the backup is not complete.
        QCOMPARE(rig.media.current.lastBackupDate, kRecordedDate);
        if (!copyWhatFits) {
            QCOMPARE(newCopies(fixture), 0);
            QVERIFY(result.declined);
            QVERIFY2(rig.ui.outputLines.empty(), rig.shownLines().join('\n').toUtf8());
            return;
        }
        // 1,470 bytes may grow: one file of 990 more, not two.
        QCOMPARE(newCopies(fixture), 1);
        QCOMPARE(result.copiedCount, std::uint64_t(1));
        QCOMPARE(result.failedCount, std::uint64_t(2));
        QCOMPARE(rig.shownLines().filter(reason).size(), 2);
        QVERIFY(rig.shownLines().contains("Aantal mislukte kopieën = 2"));
    }

    // Three files of 1,000 bytes, to a drive with 1,500 free: each operation asks before its
    // first copy; No writes nothing, Yes copies the one that fits and fails the other two.
    void everyOperationThatCopiesAsksFirst_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<char>("target");
        QTest::addColumn<bool>("copyWhatFits");
        QTest::addColumn<bool>("confirmed"); // the operation asks its own question first
        const std::vector<std::string> names{"a", "b", "c"};
        const Operation restore = [](EngineContext& ctx) { return restoreAll(ctx).failedCount; };
        const Operation add = [](EngineContext& ctx) { return addPaths(ctx, {"c:\\Docs"}).failed; };
        const Operation addInWindow = [names](EngineContext& ctx) {
            return names.size() - addFiles(ctx, "c:\\Docs\\", names).done;
        };
        const Operation restoreInWindow = [names](EngineContext& ctx) {
            return names.size() - restoreFiles(ctx, "e:\\C-Docs", "c:\\Docs\\", names).done;
        };
        const Operation addNewer = [](EngineContext& ctx) {
            std::vector<std::string> lines{"c:\\Docs\\a", "c:\\Docs\\b", "c:\\Docs\\c"};
            return addNewFiles(ctx, lines, {true, true, true}).failedCount;
        };
        for (const bool yes : {false, true}) {
            const char* answer = yes ? ", copy what fits" : ", nothing";
            QTest::addRow("Restore All%s", answer) << restore << 'c' << yes << true;
            QTest::addRow("add%s", answer) << add << 'e' << yes << false;
            QTest::addRow("the manage window's Add%s", answer)
                << addInWindow << 'e' << yes << false;
            QTest::addRow("the manage window's Restore%s", answer)
                << restoreInWindow << 'c' << yes << false;
            QTest::addRow("newer --add%s", answer) << addNewer << 'e' << yes << false;
        }
    }
    void everyOperationThatCopiesAsksFirst()
    {
        QFETCH(Operation, operation);
        QFETCH(char, target);
        QFETCH(bool, copyWhatFits);
        QFETCH(bool, confirmed);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        for (const char* name : {"a", "b", "c"}) {
            const std::string backup = std::string("e:\\C-Docs\\") + name;
            const std::string source = std::string("c:\\Docs\\") + name;
            // Restores copy from the medium over small sources; the others copy new sources.
            if (target == 'c') {
                fixture.writeFile(backup, QByteArray(1000, 'n'), T0);
                fixture.writeFile(source, QByteArray(10, 'o'), T0 + 100);
            } else {
                fixture.writeFile(source, QByteArray(1000, 'n'), T0 + 100);
            }
        }
        auto platform = std::make_unique<test::FaultyPlatform>(fixture.platform());
        platform->freeSpaceOf[target] = 1500;
        EngineRig rig(std::move(platform));
        rig.selectBackupDrive();
        rig.ui.yesNoAnswers = {copyWhatFits};
        if (confirmed)
            rig.ui.yesNoAnswers.push_front(true);

        const std::uint64_t failed = operation(rig.ctx);
        // What is added goes into the mirror folder as the add command names it.
        const std::string folder = target == 'c' ? "c:\\Docs\\" : "e:\\c-Docs\\";
        QCOMPARE(newCopies(fixture, folder), copyWhatFits ? 1 : 0);
        QVERIFY2(
            std::any_of(rig.ui.questions.begin(), rig.ui.questions.end(),
                        [](const std::string& q) { return q.starts_with("Not enough space on "); }),
            rig.shownLines().join('\n').toUtf8());
        if (copyWhatFits)
            QCOMPARE(failed, std::uint64_t(2));
    }

    void makeBackupsThatFits_data()
    {
        QTest::addColumn<qint64>("free");
        QTest::newRow("room enough") << qint64(3000);
        QTest::newRow("free space that cannot be read") << qint64(-1);
    }
    void makeBackupsThatFits()
    {
        QFETCH(qint64, free);
        Fixture fixture;
        threeGrownFiles(fixture);
        auto platform = std::make_unique<test::FaultyPlatform>(fixture.platform());
        platform->freeSpaceOf['e'] = free;
        EngineRig rig(std::move(platform));
        rig.selectBackupDrive();
        rig.media.current.lastBackupDate = kRecordedDate;

        const RunResult result = makeBackups(rig.ctx);
        QVERIFY(rig.ui.questions.empty());
        QVERIFY(!result.noRoom);
        QCOMPARE(newCopies(fixture), 3);
        QCOMPARE(result.failedCount, std::uint64_t(0));
        QVERIFY(rig.media.current.lastBackupDate != kRecordedDate);
    }

    // The byte total is known before the first copy, and it is what is then copied; without a
    // recorded total, the bar moves by those bytes.
    void theByteTotalIsKnownBeforeTheFirstCopy()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\C-Docs\\same", "same", T0);
        fixture.writeFile("c:\\Docs\\same", "same", T0);
        qint64 sum = 0;
        for (int i = 1; i <= 4; ++i) {
            const std::string name = "f" + std::to_string(i);
            fixture.writeFile("e:\\C-Docs\\Sub\\" + name, "old", T0);
            fixture.writeFile("c:\\Docs\\Sub\\" + name, QByteArray(i * 700, 'x'), T0 + 100);
            sum += i * 700;
        }
        EngineRig rig(fixture.platform());
        rig.selectBackupDrive();
        rig.media.current.totalSize = 0;

        const RunResult result = makeBackups(rig.ctx);
        QCOMPARE(result.copiedCount, std::uint64_t(4));
        QCOMPARE(result.filesToWrite, std::uint64_t(4));
        QCOMPARE(result.bytesToWrite, std::int64_t(sum));
        QCOMPARE(result.copiedSize, std::int64_t(sum));
        QCOMPARE(rig.ui.linesAtByteTotal, 0L);
        QCOMPARE(rig.ui.byteProgress.front(), std::make_pair(std::int64_t(0), std::int64_t(sum)));
        QCOMPARE(rig.ui.byteProgress.back(), std::make_pair(std::int64_t(sum), std::int64_t(sum)));
        QCOMPARE(rig.ui.positions.back(), 100);
    }

    // A medium with nothing to copy and nothing to tell is walked once; one changed file takes
    // a second walk, which looks that file's source up again, and not those of current files.
    void anUnchangedMediumIsWalkedOnce_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("lookupsOfCurrent");
        QTest::addColumn<int>("lookupsOfChanged");
        QTest::newRow("unchanged") << false << 1 << 1;
        QTest::newRow("one file changed") << true << 1 << 2;
    }
    void anUnchangedMediumIsWalkedOnce()
    {
        QFETCH(bool, changed);
        QFETCH(int, lookupsOfCurrent);
        QFETCH(int, lookupsOfChanged);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\C-Docs\\a", "a", T0);
        fixture.writeFile("c:\\Docs\\a", "a", T0);
        fixture.writeFile("e:\\C-Docs\\b", "b", T0);
        fixture.writeFile("c:\\Docs\\b", "b", changed ? T0 + 100 : T0);
        auto platform = std::make_unique<CountingPlatform>(fixture.platform());
        CountingPlatform& counting = *platform;
        EngineRig rig(std::move(platform));
        rig.selectBackupDrive();

        const RunResult result = makeBackups(rig.ctx);
        QCOMPARE(result.copiedCount, std::uint64_t(changed ? 1 : 0));
        QCOMPARE(result.backupFileCount, std::uint64_t(2));
        int seenCurrent = 0;
        int seenChanged = 0;
        for (const auto& [path, count] : counting.statusLookups) {
            seenCurrent += path.ends_with("Docs\\a") ? count : 0;
            seenChanged += path.ends_with("Docs\\b") ? count : 0;
        }
        QCOMPARE(seenCurrent, lookupsOfCurrent);
        QCOMPARE(seenChanged, lookupsOfChanged);
        QVERIFY(rig.shownLines().contains("Total number of Backup files = 2"));
    }
};

QTEST_GUILESS_MAIN(TestRoom)
#include "tst_room.moc"
