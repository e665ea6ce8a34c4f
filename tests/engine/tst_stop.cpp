// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/ForwardingPlatform.h"
#include "common/RunTraces.h"
#include "engine/MakeBackups.h"
#include "engine/NewerFiles.h"
#include "engine/RestoreAll.h"

#include <QtTest>

#include <unistd.h>

using namespace kx;
using test::EngineRig;
using test::Fixture;
using test::logLines;
using test::tempFiles;

namespace {
constexpr qint64 T0 = 1700000000;
constexpr int kFiles = 40;

/** Presses Stop as the n-th copy begins: before it (`inside` false: at a file boundary) or
 *  while it runs (`inside` true: the copy loop must see it between its chunks). */
class StopAtCopy : public test::ForwardingPlatform
{
public:
    StopAtCopy(std::unique_ptr<Platform> inner, StopRequest& stop, int n, bool inside)
        : ForwardingPlatform(std::move(inner)), m_stop(stop), m_n(n), m_inside(inside)
    {
    }

    Result<StagedCopy> stageCopy(const std::string& source, const std::string& dest) override
    {
        ++copies;
        if (copies == m_n && m_inside)
            m_stop.request();
        Result<StagedCopy> staged = inner().stageCopy(source, dest);
        if (copies == m_n && !staged)
            code = staged.error().code;
        if (copies == m_n && !m_inside)
            m_stop.request();
        return staged;
    }

    int copies = 0;
    int code = 0; // the n-th copy's error code

private:
    StopRequest& m_stop;
    int m_n;
    bool m_inside;
};

QString fileName(int i)
{
    return QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0'));
}
} // namespace

class TestStop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
    }

    // A tree of small files stopped after its fifth copy, and one large file stopped inside its
    // copy: whatever was not renamed is dropped, every old copy stays, no temporary file is
    // left, the summary so far ends with the stop line, and the medium records no backup and
    // keeps the total of its last whole run.
    void aStoppedRunKeepsEveryOldCopyAndRecordsNothing_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<bool>("large");
        QTest::addColumn<QString>("language");
        QTest::newRow("make backups, small files") << false << false << "";
        QTest::newRow("make backups, one large file") << false << true << "nld";
        QTest::newRow("restore all, small files") << true << false << "nld";
        QTest::newRow("restore all, one large file") << true << true << "";
    }
    void aStoppedRunKeepsEveryOldCopyAndRecordsNothing()
    {
        QFETCH(bool, restore);
        QFETCH(bool, large);
        QFETCH(QString, language);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        // Make Backups copies c: to e:, Restore All e: to c:; the side written holds the old
        // contents.
        const char from = restore ? 'e' : 'c';
        const char to = restore ? 'c' : 'e';
        auto path = [](char drive, const QString& name) {
            return std::string(1, drive) + (drive == 'e' ? ":\\C-Docs\\" : ":\\Docs\\") +
                   name.toStdString();
        };
        const int files = large ? 1 : kFiles;
        const QByteArray big(24 << 20, 'n');
        for (int i = 0; i < files; ++i) {
            fixture.writeFile(path(from, fileName(i)), large ? big : QByteArray("new"), T0 + 60);
            fixture.writeFile(path(to, fileName(i)), "old", T0);
        }

        StopRequest stop;
        auto platform =
            std::make_unique<StopAtCopy>(fixture.platform(), stop, large ? 1 : 5, large);
        StopAtCopy& copies = *platform;
        EngineRig rig(std::move(platform), language.toStdString());
        rig.ctx.stop = &stop;
        rig.selectBackupDrive('e');
        rig.ui.yesNoAnswers = {true};
        QCOMPARE(rig.media.currentKey, std::string("e-"));
        // What an earlier, whole run counted scales the next run's bar.
        constexpr std::int64_t kRecordedTotal = 5 << 20;
        rig.media.current.totalSize = kRecordedTotal;

        const RunResult result = restore ? restoreAll(rig.ctx) : makeBackups(rig.ctx);

        QVERIFY(result.entered);
        QVERIFY(result.stopped);
        QCOMPARE(copies.copies, large ? 1 : 5);
        // The large file's copy ended inside, not at its end.
        QCOMPARE(copies.code, large ? errors::kStopped : 0);
        QCOMPARE(result.copiedCount, std::uint64_t(0));
        QCOMPARE(result.failedCount, std::uint64_t(0));
        for (int i = 0; i < files; ++i)
            QCOMPARE(fixture.readFile(path(to, fileName(i))), QByteArray("old"));
        QCOMPARE(tempFiles(fixture.root()), QStringList());

        const QString stopped =
            language == "nld" ? "Gestopt door de gebruiker" : "Stopped by the user";
        const QStringList shown = rig.shownLines();
        QVERIFY(shown.size() >= 2);
        QCOMPARE(shown[shown.size() - 2], stopped);
        QVERIFY(shown.last().startsWith(language == "nld" ? "Vrije ruimte op " : "Free "));
        QVERIFY(shown.contains(
            QString(language == "nld" ? "Aantal bestanden %1 e: = 0" : "Number of files %1 e: = 0")
                .arg(restore ? (language == "nld" ? "hersteld vanuit" : "restored from")
                             : (language == "nld" ? "gekopieerd naar" : "copied to"))));
        const QStringList log = logLines(fixture);
        QCOMPARE(log.mid(log.size() - 2), shown.mid(shown.size() - 2));
        QVERIFY(!fixture.setting("Last BackUp", QString::fromStdString(rig.media.currentKey))
                     .isValid());
        QVERIFY(
            !fixture.setting("Total Size", QString::fromStdString(rig.media.currentKey)).isValid());
        QCOMPARE(rig.media.current.totalSize, kRecordedTotal);
    }

    // Files renamed before the stop are counted and named; those of the batch still open are not.
    void onlyTheCopiesInPlaceAreCounted()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        fixture.writeFile("e:\\C-Docs\\a.txt", "old", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);
        fixture.writeFile("c:\\new.txt", "x", T0 + 60);
        StopRequest stop;
        EngineRig rig(fixture.platform());
        rig.ctx.stop = &stop;
        rig.selectBackupDrive('e');
        rig.media.current.lastBackupDate = 1;

        // The newer-files scan ends at once and proposes nothing; adding stops before its file.
        stop.request();
        NewerScanResult scan = scanNewFiles(rig.ctx);
        QVERIFY(scan.stopped);
        std::vector<std::string> lines{"c:\\new.txt"};
        const RunResult added = addNewFiles(rig.ctx, lines, {true});
        QVERIFY(added.stopped);
        QCOMPARE(added.copiedCount, std::uint64_t(0));
        QVERIFY(!fixture.exists("e:\\C-\\new.txt"));
        QVERIFY(!fixture.setting("Last BackUp", QString::fromStdString(rig.media.currentKey))
                     .isValid());
        QCOMPARE(rig.shownLines(), QStringList{"Stopped by the user"});

        // Without a stop, the same run copies and records.
        stop.clear();
        const RunResult result = makeBackups(rig.ctx);
        QVERIFY(!result.stopped);
        QCOMPARE(result.copiedCount, std::uint64_t(1));
        QVERIFY(
            fixture.setting("Last BackUp", QString::fromStdString(rig.media.currentKey)).isValid());
    }
};

QTEST_GUILESS_MAIN(TestStop)
#include "tst_stop.moc"
