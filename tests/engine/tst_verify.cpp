// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "engine/MakeBackups.h"
#include "engine/VerifyBackups.h"
#include "support/SizeText.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

#include <atomic>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kx;
using test::EngineRig;
using test::FaultyPlatform;
using test::Fixture;
using test::logLines;

namespace {
constexpr qint64 T0 = 1700000000;

// A source drive c: and a removable backup drive e: that holds a current copy of c:\Docs\a.txt
// whose bytes have decayed (its size and time kept), a current and whole copy of b.txt, an out
// of date copy of c.txt, and a copy whose source is gone.
void damagedMedium(Fixture& fixture)
{
    fixture.addDrive('c');
    fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
    fixture.writeFile("c:\\Docs\\a.txt", "the source's bytes", T0);
    fixture.writeFile("e:\\C-Docs\\a.txt", "the source's bytez", T0);
    fixture.writeFile("c:\\Docs\\b.txt", "whole", T0);
    fixture.writeFile("e:\\C-Docs\\b.txt", "whole", T0);
    fixture.writeFile("c:\\Docs\\c.txt", "edited since", T0 + 60);
    fixture.writeFile("e:\\C-Docs\\c.txt", "the old text", T0);
    fixture.writeFile("e:\\C-Docs\\gone.txt", "deleted at the source", T0);
}

QStringList filesBelow(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

/** A platform whose new copies cannot be put in the place of the old ones, when asked. */
class RefusedCommit : public FaultyPlatform
{
public:
    using FaultyPlatform::FaultyPlatform;
    Result<void> commitStaged(const StagedCopy& staged) override
    {
        if (!refuse)
            return FaultyPlatform::commitStaged(staged);
        discardStaged(staged);
        return SystemError{5, "Access is denied"};
    }
    bool refuse = false;
};

/** Presses Stop as the n-th comparison ends. */
class StopAtComparison : public test::ForwardingPlatform
{
public:
    StopAtComparison(std::unique_ptr<Platform> inner, StopRequest& stop, int n)
        : ForwardingPlatform(std::move(inner)), m_stop(stop), m_n(n)
    {
    }
    FileComparison compareFiles(const std::string& first, const std::string& second) override
    {
        const FileComparison found = inner().compareFiles(first, second);
        if (++comparisons == m_n)
            m_stop.request();
        return found;
    }
    // Comparisons run on helper threads, several at once.
    std::atomic<int> comparisons = 0;

private:
    StopRequest& m_stop;
    int m_n;
};
} // namespace

class TestVerify : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    // The decayed copy is found and named by its source; the out-of-date copy is left to Make
    // Backups and the lost source is counted as Make Backups counts it. Nothing is written.
    void aFlippedByteInACurrentCopyIsFound_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("expected");
        const QString size = QString::fromStdString(formatSize(23, '.'));
        QTest::newRow("English") << ""
                                 << QStringList{
                                        "%1 differs from its backup copy: one of the two is "
                                        "damaged",
                                        "",
                                        "Number of files checked = 2",
                                        "Total size of checked files = " + size + "bytes",
                                        "Total number of Backup files = 4",
                                        "Number of files that differ from their backup copy = 1",
                                        "Number of backup files without a source = 1"};
        QTest::newRow("Dutch") << "nld"
                               << QStringList{
                                      "%1 verschilt van zijn backupkopie: een van beide is "
                                      "beschadigd",
                                      "",
                                      "Aantal gecontroleerde bestanden = 2",
                                      "Totale grootte gecontroleerde bestanden = " + size + "bytes",
                                      "Totaal aantal Backup-bestanden = 4",
                                      "Aantal bestanden die van hun backupkopie verschillen = 1",
                                      "Aantal backupbestanden zonder bron = 1"};
    }
    void aFlippedByteInACurrentCopyIsFound()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, expected);
        Fixture fixture;
        damagedMedium(fixture);
        EngineRig rig(fixture.platform(), language.toStdString());
        rig.selectBackupDrive('e');
        rig.ui.outputLines.clear();
        const QStringList before = filesBelow(fixture.native("e:\\"));

        const VerifyResult result = verifyBackups(rig.ctx, false);

        QVERIFY(result.run.entered);
        QVERIFY(!result.run.stopped);
        QCOMPARE(result.mismatchCount, std::uint64_t(1));
        QCOMPARE(result.checkedCount, std::uint64_t(2));
        QCOMPARE(result.checkedSize, std::int64_t(23));
        QCOMPARE(result.run.failedCount, std::uint64_t(0));
        QCOMPARE(result.run.withoutSourceCount, std::uint64_t(1));
        QCOMPARE(result.run.copiedCount, std::uint64_t(0));
        expected[0] = expected[0].arg(fixture.native("c:\\Docs\\a.txt"));
        QCOMPARE(rig.shownLines(), expected);
        const QStringList log = logLines(fixture);
        QVERIFY(log.contains(expected.first()));
        QVERIFY(log.contains(
            (language == "nld" ? "Geen bron voor backupbestand " : "No source for backup file ") +
            fixture.native("e:\\C-Docs\\gone.txt") + ": " + fixture.native("c:\\Docs\\gone.txt")));
        // Both sides as they were, and nothing recorded as a backup.
        QCOMPARE(filesBelow(fixture.native("e:\\")), before);
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("the source's bytez"));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\c.txt"), QByteArray("the old text"));
        QVERIFY(!fixture.setting("Last BackUp", "e-").isValid());
    }

    // Comparisons run ahead of what is told: a folder that cannot be read is still told in the
    // walk's order, after the files met before it.
    void aFolderThatCannotBeReadIsToldInItsTurn()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        for (int k = 0; k < 10; ++k) {
            const std::string folder = "\\Docs\\F" + std::to_string(k) + "\\x.txt";
            fixture.writeFile("c:" + folder, "the source's bytes", T0);
            fixture.writeFile("e:\\C-" + folder.substr(1), "the source's bytez", T0);
        }
        auto faulty = std::make_unique<FaultyPlatform>(fixture.platform());
        faulty->failOpenDir["e:\\C-Docs\\F5"] = SystemError{5, "Permission denied"};
        QStringList expected;
        QDir docs(fixture.native("e:\\C-Docs"));
        // The file system's own order of the folder, as a walk meets it.
        DIR* dir = ::opendir(QFile::encodeName(docs.path()).constData());
        QVERIFY(dir);
        while (const dirent* entry = ::readdir(dir)) {
            const QString name = QString::fromUtf8(entry->d_name);
            if (name == "F5")
                expected << "Folder " + docs.filePath(name) + " cannot be read: Permission denied";
            else if (name.startsWith('F'))
                expected << fixture.native("c:\\Docs\\" + name.toStdString() + "\\x.txt") +
                                " differs from its backup copy: one of the two is damaged";
        }
        ::closedir(dir);
        EngineRig rig(std::move(faulty));
        rig.selectBackupDrive('e');
        rig.ui.outputLines.clear();

        const VerifyResult result = verifyBackups(rig.ctx, false);

        QCOMPARE(result.mismatchCount, std::uint64_t(9));
        QCOMPARE(rig.shownLines().mid(0, expected.size()), expected);
    }

    // A file that cannot be read, on either side, is a failure with the system's reason; the
    // other files are still checked.
    void anUnreadableFileIsAFailureWithItsReason_data()
    {
        // A source's path as the medium's folder names give it, with its drive in capitals.
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("named"); // the file the line names
        QTest::addColumn<QString>("reason");
        QTest::newRow("the source") << "read"
                                    << "C:\\Docs\\b.txt"
                                    << "Input/output error";
        QTest::newRow("the backup copy") << "read"
                                         << "e:\\C-Docs\\b.txt"
                                         << "Input/output error";
        QTest::newRow("the source's status") << "status"
                                             << "C:\\Docs\\b.txt"
                                             << "Permission denied";
        QTest::newRow("a named pipe in the source's place")
            << "pipe"
            << "C:\\Docs\\b.txt" << QString::fromUtf8(std::strerror(EACCES));
    }
    void anUnreadableFileIsAFailureWithItsReason()
    {
        QFETCH(QString, how);
        QFETCH(QString, named);
        QFETCH(QString, reason);
        Fixture fixture;
        damagedMedium(fixture);
        const std::string path = named.toStdString();
        if (how == "pipe") {
            QVERIFY(QFile::remove(fixture.native(path)));
            QCOMPARE(::mkfifo(fixture.nativeBytes(path).c_str(), 0600), 0);
            fixture.setMtime(path, T0);
        }
        auto platform = std::make_unique<FaultyPlatform>(fixture.platform());
        if (how == "read")
            platform->failRead[path] = {1117, reason.toStdString()};
        if (how == "status")
            platform->failStatus[path] = {5, reason.toStdString()};
        EngineRig rig(std::move(platform));
        rig.selectBackupDrive('e');
        rig.ui.outputLines.clear();

        const VerifyResult result = verifyBackups(rig.ctx, false);

        QCOMPARE(result.run.failedCount, std::uint64_t(1));
        QCOMPARE(result.mismatchCount, std::uint64_t(1));
        QCOMPARE(result.checkedCount, std::uint64_t(1));
        const QString line = fixture.native(path) + " cannot be read: " + reason;
        QVERIFY2(rig.shownLines().contains(line), qPrintable(rig.shownLines().join('\n')));
        QVERIFY(logLines(fixture).contains(line));
        QVERIFY(rig.shownLines().contains("Number of files that could not be read = 1"));
    }

    // The source's bytes are on the medium again, with its time, and the replaced copy lies where
    // the line says, in a hidden folder that no walk counts.
    void repairPutsTheSourcesBytesBackAndKeepsTheOldCopy_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("line");
        QTest::newRow("English") << ""
                                 << "^(.*) copied again to e:; the replaced copy is kept in (.*)$";
        QTest::newRow("Dutch")
            << "nld"
            << "^(.*) opnieuw gekopieerd naar e:; de vervangen kopie staat in (.*)$";
    }
    void repairPutsTheSourcesBytesBackAndKeepsTheOldCopy()
    {
        QFETCH(QString, language);
        QFETCH(QString, line);
        Fixture fixture;
        damagedMedium(fixture);
        ::chmod(fixture.nativeBytes("e:\\C-Docs\\a.txt").c_str(), 0640);
        EngineRig rig(fixture.platform(), language.toStdString());
        rig.selectBackupDrive('e');
        rig.ui.outputLines.clear();

        const VerifyResult result = verifyBackups(rig.ctx, true);

        QCOMPARE(result.mismatchCount, std::uint64_t(1));
        QCOMPARE(result.run.copiedCount, std::uint64_t(1));
        QCOMPARE(result.run.failedCount, std::uint64_t(0));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("the source's bytes"));
        QCOMPARE(fixture.mtime("e:\\C-Docs\\a.txt"), T0);
        QFileInfo copy(fixture.native("e:\\C-Docs\\a.txt"));
        QCOMPARE(int(copy.permissions() & 0x0777), 0x0640 & 0x0777);
        // The out-of-date copy is Make Backups' work, not a repair's.
        QCOMPARE(fixture.readFile("e:\\C-Docs\\c.txt"), QByteArray("the old text"));

        const QRegularExpressionMatch match =
            QRegularExpression(line).match(rig.shownLines().at(1));
        QVERIFY2(match.hasMatch(), qPrintable(rig.shownLines().join('\n')));
        QCOMPARE(match.captured(1), fixture.native("c:\\Docs\\a.txt"));
        const QString kept = match.captured(2);
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(fixture.native("e:\\")) +
                                    "/\\.kopierix-replaced/\\d{4}-\\d\\d-\\d\\d "
                                    "\\d\\d\\.\\d\\d\\.\\d\\d/C-Docs/a\\.txt$")
                     .match(kept)
                     .hasMatch(),
                 qPrintable(kept));
        QFile old(kept);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the source's bytez"));
        QVERIFY(logLines(fixture).contains(rig.shownLines().at(1)));
        QVERIFY(rig.shownLines().contains(language == "nld"
                                              ? "Aantal opnieuw gekopieerde bestanden = 1"
                                              : "Number of files copied again = 1"));

        // The next check finds nothing, and neither it nor Make Backups meets the kept copy.
        const VerifyResult again = verifyBackups(rig.ctx, true);
        QCOMPARE(again.mismatchCount, std::uint64_t(0));
        QCOMPARE(again.run.backupFileCount, std::uint64_t(4));
        QCOMPARE(makeBackups(rig.ctx).backupFileCount, std::uint64_t(4));
    }

    // A repair that cannot put the new copy in place leaves the old one where it was: the
    // backup never lacks a copy.
    void aRepairThatFailsKeepsTheOldCopyInPlace_data()
    {
        QTest::addColumn<bool>("atCommit");
        QTest::newRow("the copy cannot be written") << false;
        QTest::newRow("the copy cannot take the old one's place") << true;
    }
    void aRepairThatFailsKeepsTheOldCopyInPlace()
    {
        QFETCH(bool, atCommit);
        Fixture fixture;
        damagedMedium(fixture);
        auto platform = std::make_unique<RefusedCommit>(fixture.platform());
        platform->refuse = atCommit;
        if (!atCommit)
            platform->failCopyTo["e:\\C-Docs\\a.txt"] = {112,
                                                         "There is not enough space on the disk"};
        EngineRig rig(std::move(platform));
        rig.selectBackupDrive('e');

        const VerifyResult result = verifyBackups(rig.ctx, true);

        QCOMPARE(result.mismatchCount, std::uint64_t(1));
        QCOMPARE(result.run.copiedCount, std::uint64_t(0));
        QCOMPARE(result.run.failedCount, std::uint64_t(1));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("the source's bytez"));
        const QStringList kept = filesBelow(fixture.native("e:\\.kopierix-replaced"));
        QCOMPARE(kept, QStringList());
        QVERIFY(rig.shownLines().contains("Number of failed copies = 1"));
    }

    // A stop ends the check at the next file with the summary so far and the stop line.
    void aStopEndsTheCheckWithTheSummarySoFar()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        constexpr int kFiles = 200;
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "f" + std::to_string(i) + ".txt";
            fixture.writeFile("c:\\Docs\\" + name, "source", T0);
            fixture.writeFile("e:\\C-Docs\\" + name, "damage", T0);
        }
        StopRequest stop;
        auto platform = std::make_unique<StopAtComparison>(fixture.platform(), stop, 3);
        StopAtComparison& counted = *platform;
        EngineRig rig(std::move(platform));
        rig.ctx.stop = &stop;
        rig.selectBackupDrive('e');

        const VerifyResult result = verifyBackups(rig.ctx, false);

        QVERIFY(result.run.stopped);
        // The comparisons already under way when Stop came may still end; no later one starts.
        QVERIFY(result.mismatchCount >= 3 && result.mismatchCount < 20);
        QVERIFY(counted.comparisons < kFiles);
        const QStringList shown = rig.shownLines();
        QCOMPARE(shown.last(), QString("Stopped by the user"));
        QVERIFY(shown.contains(QString("Number of files checked = %1").arg(result.checkedCount)));
        QCOMPARE(result.checkedCount, result.mismatchCount);
        QCOMPARE(logLines(fixture).last(), QString("Stopped by the user"));
    }
};

QTEST_GUILESS_MAIN(TestVerify)
#include "tst_verify.moc"
