// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/RecordingUi.h"
#include "common/RunTraces.h"
#include "engine/ActivityLog.h"
#include "engine/EngineContext.h"
#include "engine/RestoreAll.h"
#include "support/SizeText.h"

#include <QtTest>

#include <unistd.h>

using namespace kx;

namespace {

// A source drive 's', a removable medium 'e', and everything an operation is given.
struct Setup
{
    test::Fixture fixture;
    std::unique_ptr<Platform> platform;
    BackupTarget target;
    MediaRecords media;
    test::RecordingUi ui;
    std::unique_ptr<ActivityLog> log;
    SystemFacts facts;
    std::unique_ptr<EngineContext> ctx;

    explicit Setup(const std::string& language = "", bool mediumPresent = true)
    {
        fixture.addDrive('s');
        if (mediumPresent)
            fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        else
            fixture.addMissingDrive('e');
        platform = fixture.platform();
        log = std::make_unique<ActivityLog>(*platform, *platform);
        facts.languageCode = language;
        ctx.reset(new EngineContext{*platform, target, media, ui, *log, facts});
        target.base = "e:\\";
        media.currentKey = "e-";
    }

    QStringList shownLines() const
    {
        QStringList lines;
        for (const auto& line : ui.outputLines)
            lines << QString::fromStdString(line);
        return lines;
    }
    QString size(std::int64_t bytes) const
    {
        return QString::fromStdString(formatSize(bytes, platform->decimalSeparator()));
    }
};

constexpr qint64 kOld = 1600000000;   // September 2020
constexpr qint64 kNewer = 1700000000; // November 2023

} // namespace

class TestRestoreAll : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void theQuestion_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("Dutch")
            << "nld"
            << "Kopierix - Herstellen"
            << "U staat op het punt om uw gegevens te overschijven. De toestand van "
            << " zal worden hersteld. Alle latere wijzigingen zullen worden ongedaan gemaakt.\r\r"
               "N.b. Dit geldt alleen voor de bestanden, die op de Backupschijf aanwezig zijn.\r\r"
               "Wilt u slechts enkele bestanden herstellen, klik dan op \"Nee\" en vervolgens op "
               "Beheer.\rWilt u inderdaad al uw gegevens herstellen, klik dan op \"Ja\".";
        QTest::newRow("English")
            << ""
            << "Kopierix - Recover"
            << "You are at the brink of overwriting your data. The state of "
            << " will be restored. All changes of later dates will be overwritten.\r\r"
               "N.b. This is only true for the files that exist on the Backup Drive.\r\r"
               "If you only want to restore a small number of files, then click \"No\" and next "
               "click Manage.\rDo you want  to restore all your data, then click the \"Yes\" "
               "Button.";
    }

    void theQuestion()
    {
        QFETCH(QString, language);
        QFETCH(QString, caption);
        QFETCH(QString, before);
        QFETCH(QString, after);

        struct CaptionUi : test::RecordingUi
        {
            std::string caption;
            bool askYesNo(const std::string& c, const std::string& q) override
            {
                caption = c;
                return RecordingUi::askYesNo(c, q);
            }
        };
        Setup s(language.toStdString());
        CaptionUi ui;
        EngineContext ctx{*s.platform, s.target, s.media, ui, *s.log, s.facts};
        s.media.current.lastBackupDate = 45000.5;
        QVERIFY(!restoreAll(ctx).entered);

        const QString date = QString::fromStdString(s.platform->formatDateTime(45000.5));
        QCOMPARE(QString::fromStdString(ui.caption), caption);
        QCOMPARE(ui.questions.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(ui.questions[0]), before + date + after);
    }

    void noChangesNothing()
    {
        Setup s("nld");
        s.fixture.writeFile("e:\\S-Docs\\a.txt", "backup", kOld);
        s.fixture.writeFile("s:\\Docs\\a.txt", "current", kNewer);
        s.media.current.totalSize = 7;

        const RunResult run = restoreAll(*s.ctx);

        QVERIFY(run.declined);
        QVERIFY(!run.entered);

        QCOMPARE(s.fixture.readFile("s:\\Docs\\a.txt"), QByteArray("current"));
        QVERIFY(test::logLines(s.fixture).isEmpty());
        QVERIFY(s.ui.outputLines.empty());
        QVERIFY(s.ui.warnings.empty());
        QVERIFY(!s.ui.progressShown);
        QCOMPARE(run.copiedCount, std::uint64_t(0));
        QCOMPARE(s.media.current.totalSize, std::int64_t(7));
    }

    void yesRestoresEveryBackupFile_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("copiedTo");
        QTest::addColumn<QStringList>("summary"); // with %1 the size of every file
        QTest::addColumn<QString>("diskUseOutput");
        QTest::addColumn<QString>("diskUseLog");
        QTest::addColumn<QString>("freeSpace");
        QTest::newRow("Dutch") << "nld"
                               << " gekopieerd naar "
                               << QStringList({"Aantal bestanden hersteld vanuit e: = 3",
                                               "Totale grootte gekopieerde bestanden = %1bytes",
                                               "Totaal aantal Backup-bestanden = 3"})
                               << "Totaal schijfgebruik Backup-bestanden = %1bytes"
                               << "Totaal schijfgebruik Backup-bestanden = %1bytes"
                               << "Vrije ruimte op e:\\ =";
        QTest::newRow("English") << ""
                                 << " copied to "
                                 << QStringList({"Number of files restored from e: = 3",
                                                 "Total size of copied files = %1bytes",
                                                 "Total number of Backup files = 3"})
                                 << "Total disk Use of Backup files = %1bytes"
                                 << "Total Disk Use of Backup files = %1bytes"
                                 << "Free Space on e:\\ =";
    }

    void yesRestoresEveryBackupFile()
    {
        QFETCH(QString, language);
        QFETCH(QString, copiedTo);
        QFETCH(QStringList, summary);
        QFETCH(QString, diskUseOutput);
        QFETCH(QString, diskUseLog);
        QFETCH(QString, freeSpace);

        Setup s(language.toStdString());
        s.fixture.writeFile("e:\\S-Docs\\a.txt", "backup a", kOld);
        s.fixture.writeFile("e:\\S-Docs\\Sub\\b.txt", "b", kOld);
        s.fixture.writeFile("e:\\S-\\root.ini", "r", kOld);
        s.fixture.writeFile("e:\\Autorun.inf", "[autorun]");
        s.fixture.writeFile("e:\\.Trash-0\\S-Docs\\h.txt", "the medium's own");
        // Newer than its backup, and still overwritten: Restore All looks at no dates.
        s.fixture.writeFile("s:\\Docs\\a.txt", "changed since", kNewer);
        s.ui.yesNoAnswers = {true};

        const RunResult run = restoreAll(*s.ctx);

        QVERIFY(run.entered);

        QCOMPARE(s.fixture.readFile("s:\\Docs\\a.txt"), QByteArray("backup a"));
        QCOMPARE(s.fixture.readFile("s:\\Docs\\Sub\\b.txt"), QByteArray("b"));
        QCOMPARE(s.fixture.readFile("s:\\root.ini"), QByteArray("r"));
        QVERIFY(!s.fixture.exists("s:\\Autorun.inf"));
        QVERIFY(!s.fixture.exists("s:\\Docs\\h.txt"));
        QCOMPARE(run.copiedCount, std::uint64_t(3));
        QCOMPARE(run.backupFileCount, std::uint64_t(3));
        QCOMPARE(run.copiedSize, std::int64_t(10));
        QCOMPARE(s.media.current.totalSize, std::int64_t(10));

        const auto line = [&](const std::string& backup, const std::string& source) {
            return s.fixture.native(backup) + copiedTo + s.fixture.native(source);
        };
        const QStringList fileLines = {line("e:\\S-Docs\\a.txt", "s:\\Docs\\a.txt"),
                                       line("e:\\S-Docs\\Sub\\b.txt", "s:\\Docs\\Sub\\b.txt"),
                                       line("e:\\S-\\root.ini", "s:\\root.ini")};
        const QString size = s.size(10);
        QStringList expected = summary;
        for (auto& line : expected)
            line.replace("%1", size);

        const QStringList shown = s.shownLines();
        QCOMPARE(shown.size(), 9);
        QCOMPARE(QSet<QString>(shown.begin(), shown.begin() + 3),
                 QSet<QString>(fileLines.begin(), fileLines.end()));
        QCOMPARE(shown.mid(3, 5),
                 QStringList({""}) + expected + QStringList({diskUseOutput.replace("%1", size)}));
        QVERIFY2(shown[8].startsWith(freeSpace) && shown[8].endsWith("Bytes"),
                 qPrintable(shown[8]));

        const QStringList log = test::logLines(s.fixture);
        QCOMPARE(log.size(), 9);
        QCOMPARE(QSet<QString>(log.begin(), log.begin() + 3),
                 QSet<QString>(fileLines.begin(), fileLines.end()));
        QCOMPARE(log.mid(3, 5),
                 QStringList({""}) + expected + QStringList({diskUseLog.replace("%1", size)}));
        QCOMPARE(log[8], shown[8]);

        // The bar is scaled by the medium's recorded total; with none known it stays at 0.
        QCOMPARE(s.ui.positions, std::vector<int>({0}));
        QVERIFY(!s.ui.progressShown);
        QVERIFY(s.ui.warnings.empty());
    }

    void aNameThatIsNotUtf8IsRestoredByteExact()
    {
        Setup s("");
        s.fixture.writeFile("e:\\S-Docs\\caf\xe9\\r\xe9sum\xe9.txt", "bytes", kOld);
        s.ui.yesNoAnswers = {true};
        const RunResult run = restoreAll(*s.ctx);
        QVERIFY(run.entered);
        QCOMPARE(s.fixture.readFile("s:\\Docs\\caf\xe9\\r\xe9sum\xe9.txt"), QByteArray("bytes"));
        QCOMPARE(run.copiedCount, std::uint64_t(1));
    }

    void aMediumWithoutBackupFiles()
    {
        Setup s("nld");
        s.fixture.writeFile("e:\\readme.txt", "no backup file");
        s.ui.yesNoAnswers = {true};

        QVERIFY(restoreAll(*s.ctx).entered);
        const QStringList shown = s.shownLines();
        QCOMPARE(shown.mid(0, 5),
                 QStringList({"", "Aantal bestanden hersteld vanuit e: = 0",
                              "Totale grootte gekopieerde bestanden =        0 bytes",
                              "Totaal aantal Backup-bestanden = 0",
                              "Totaal schijfgebruik Backup-bestanden =        0 bytes"}));
        QCOMPARE(shown.size(), 6);
        QVERIFY(!s.fixture.exists("s:\\readme.txt"));
    }

    void onlyThisComputersFolderIsRestored()
    {
        Setup s;
        s.target.computerFolder = "PC\\";
        s.target.base = "e:\\PC\\";
        s.fixture.writeFile("e:\\PC\\S-Work\\x.doc", "mine");
        s.fixture.writeFile("e:\\PC\\loose.txt", "in the computer's folder");
        s.fixture.writeFile("e:\\PB\\S-Work\\y.doc", "another computer's");
        s.fixture.writeFile("e:\\S-Work\\z.doc", "no computer level");
        s.ui.yesNoAnswers = {true};

        const RunResult run = restoreAll(*s.ctx);

        QVERIFY(run.entered);

        QCOMPARE(s.fixture.readFile("s:\\Work\\x.doc"), QByteArray("mine"));
        QVERIFY(!s.fixture.exists("s:\\Work\\y.doc"));
        QVERIFY(!s.fixture.exists("s:\\Work\\z.doc"));
        QVERIFY(!s.fixture.exists("s:\\loose.txt"));
        QCOMPARE(run.copiedCount, std::uint64_t(1));
        QCOMPARE(run.backupFileCount, std::uint64_t(1));
        QVERIFY(s.shownLines().contains("Number of files restored from e: = 1"));
        QVERIFY(s.shownLines().last().startsWith("Free Space on e:\\PC\\ ="));
    }

    void aSourceThatCannotBeWrittenIsCountedNotCopied_data()
    {
        QTest::addColumn<QString>("backup");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("closing"); // the summary's line before the free space
        const QString failed = "Number of failed copies = 1";
        QTest::newRow("a file where the folder should be") << "e:\\S-Blocked\\a.txt"
                                                           << "S:\\Blocked\\a.txt" << failed;
        // Told once for the drive, not for each of its files.
        QTest::newRow("a drive that is not there")
            << "e:\\Q-Docs\\a.txt" << QString()
            << "Source drive Q: is not available: 1 backup files skipped";
        QTest::newRow("a write-protected folder") << "e:\\S-Locked\\a.txt"
                                                  << "S:\\Locked\\a.txt" << failed;
    }

    void aSourceThatCannotBeWrittenIsCountedNotCopied()
    {
        QFETCH(QString, backup);
        QFETCH(QString, source);
        QFETCH(QString, closing);
        Setup s;
        s.fixture.writeFile("e:\\S-Docs\\ok.txt", "ok");
        s.fixture.writeFile(backup.toStdString(), "fail");
        s.fixture.writeFile("s:\\Blocked", "a file");
        s.fixture.makeDir("s:\\Locked");
        if (QTest::currentDataTag() == QLatin1String("a write-protected folder")) {
            if (::geteuid() == 0)
                QSKIP("Write protection does not hold for the superuser");
            QFile::setPermissions(s.fixture.native("s:\\Locked"),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        s.ui.yesNoAnswers = {true};

        const RunResult run = restoreAll(*s.ctx);

        QVERIFY(run.entered);
        QFile::setPermissions(s.fixture.native("s:\\Locked"), QFileDevice::ReadOwner |
                                                                  QFileDevice::WriteOwner |
                                                                  QFileDevice::ExeOwner);

        QCOMPARE(s.fixture.readFile("s:\\Docs\\ok.txt"), QByteArray("ok"));
        QCOMPARE(run.copiedCount, std::uint64_t(1));
        QCOMPARE(run.backupFileCount, std::uint64_t(2));
        QCOMPARE(s.media.current.totalSize, std::int64_t(6));
        QCOMPARE(run.copiedSize, std::int64_t(2));

        const QStringList failed = test::logLines(s.fixture).filter(" not copied to ");
        QCOMPARE(failed.size(), source.isEmpty() ? 0 : 1);
        if (!source.isEmpty()) {
            const QString failure = s.fixture.native(backup.toStdString()) + " not copied to " +
                                    s.fixture.native(source.toStdString()) + " - ";
            QVERIFY2(failed[0].startsWith(failure) && failed[0].size() > failure.size(),
                     qPrintable(failed[0]));
        }
        // What failed closes the summary, before the free space.
        const QStringList shown = s.shownLines();
        QCOMPARE(shown[shown.size() - 2], closing);
        QVERIFY(shown.contains("Total number of Backup files = 2"));
        QVERIFY(shown.contains("Number of files restored from e: = 1"));
    }

    void aMissingMediumEndsWithoutSummary()
    {
        Setup s("", false);
        s.ui.yesNoAnswers = {true};

        const RunResult run = restoreAll(*s.ctx);
        QVERIFY(!run.entered);

        QCOMPARE(s.ui.warnings.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(s.ui.warnings[0]),
                 QString("Backup drive e: is not mounted"));
        QVERIFY(!s.ui.warnings[1].empty());
        QVERIFY(run.noDisk.value_or(false));
        QVERIFY(s.ui.outputLines.empty());
        QVERIFY(test::logLines(s.fixture).isEmpty());
        QVERIFY(!s.ui.progressShown);
    }
};

QTEST_GUILESS_MAIN(TestRestoreAll)
#include "tst_restoreall.moc"
