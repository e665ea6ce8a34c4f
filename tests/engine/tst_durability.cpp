// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/ForwardingPlatform.h"
#include "common/RunTraces.h"
#include "engine/FileCommands.h"
#include "engine/MakeBackups.h"
#include "engine/NewerFiles.h"
#include "engine/RestoreAll.h"
#include "support/CopyBatch.h"

#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kx;
using namespace kx::test;

namespace {

constexpr qint64 T0 = 1500000000;

/** Records the steps of every copy, and can make the flush fail. */
class RecordingPlatform : public ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;

    std::vector<std::string>* events = nullptr;
    bool failFlush = false;
    /** Batch flushes that succeed before the others fail. */
    int flushesBeforeFailing = 0;
    /** Drives whose flush at a run's end fails. */
    std::set<char> failDrive;

    Result<void> copyFile(const std::string& source, const std::string& dest) override
    {
        Result<void> copied = inner().copyFile(source, dest);
        if (copied)
            events->push_back("rename " + dest);
        return copied;
    }
    Result<void> flushDrive(char letter) override
    {
        events->push_back(std::string("sync ") + letter);
        if (failDrive.count(letter))
            return SystemError{5, "Input/output error"};
        return inner().flushDrive(letter);
    }

    Result<StagedCopy> stageCopy(const std::string& source, const std::string& dest) override
    {
        events->push_back("stage " + dest);
        return inner().stageCopy(source, dest);
    }
    Result<void> flushStaged(const std::vector<StagedCopy>& staged) override
    {
        events->push_back("flush " + std::to_string(staged.size()));
        if (failFlush && flushesBeforeFailing-- <= 0)
            return SystemError{5, "Input/output error"};
        return inner().flushStaged(staged);
    }
    Result<void> commitStaged(const StagedCopy& staged) override
    {
        events->push_back("rename " + staged.dest);
        return inner().commitStaged(staged);
    }
};

struct Run
{
    Run()
    {
        fixture.addDrive('c');
        fixture.addDrive('d');
        fixture.addDrive('e', "DRIVE_FIXED");
        auto recording = std::make_unique<RecordingPlatform>(fixture.platform());
        platform = recording.get();
        platform->events = &events;
        rig = std::make_unique<EngineRig>(std::move(recording));
        rig->selectBackupDrive();
    }
    Fixture fixture;
    std::vector<std::string> events;
    RecordingPlatform* platform = nullptr;
    std::unique_ptr<EngineRig> rig;
};

/** The output lines join the platform's steps, so their order can be read. */
struct InterleavingUi : RecordingUi
{
    std::vector<std::string>* events = nullptr;
    void addLine(const std::string& line) override
    {
        RecordingUi::addLine(line);
        if (events)
            events->push_back("line " + line);
    }
};

std::size_t indexOf(const std::vector<std::string>& v, const std::string& item)
{
    const auto it = std::find(v.begin(), v.end(), item);
    return it == v.end() ? v.size() : std::size_t(it - v.begin());
}

/** Every operation that writes, as the command line and the windows start it. */
enum class Operation
{
    MakeBackups,
    RestoreAll,
    Add,
    NewerAdd,
    ManageAdd,
    ManageRestore
};

/** What an operation told of its flushes. */
struct Outcome
{
    bool flushFailed = false;
    /** The run's failures, for the operations that count them. */
    std::optional<std::uint64_t> failed;
};

/** Gives the operation something to write (to e:, or for the restores to c: and d:), runs it
 *  with `ui`, and returns what it told. */
Outcome runOperation(Run& run, Operation operation, RecordingUi& ui)
{
    Fixture& f = run.fixture;
    EngineContext ctx{run.rig->ctx.platform, run.rig->target, run.rig->media, ui,
                      run.rig->log,          run.rig->facts};
    switch (operation) {
    case Operation::MakeBackups: {
        f.writeFile("e:\\C-Docs\\a.txt", "old", T0);
        f.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);
        const RunResult r = makeBackups(ctx);
        return {r.flushFailed, r.failedCount};
    }
    case Operation::RestoreAll: {
        f.writeFile("e:\\C-Docs\\a.txt", "backup", T0);
        f.writeFile("e:\\D-Work\\b.txt", "backup", T0);
        ui.yesNoAnswers = {true};
        const RunResult r = restoreAll(ctx);
        return {r.flushFailed, r.failedCount};
    }
    case Operation::Add: {
        f.writeFile("c:\\Docs\\a.txt", "new", T0);
        const AddResult r = addPaths(ctx, {"c:\\Docs\\a.txt"});
        return {r.flushFailed, {}};
    }
    case Operation::NewerAdd: {
        f.writeFile("e:\\C-Docs\\old.txt", "backup", T0);
        f.writeFile("c:\\Docs\\new.txt", "new", T0 + 60);
        NewerScanResult scan = scanNewFiles(ctx);
        const RunResult r =
            addNewFiles(ctx, scan.proposals, std::vector<bool>(scan.proposals.size(), true));
        return {r.flushFailed, r.failedCount};
    }
    case Operation::ManageAdd: {
        f.writeFile("c:\\Docs\\a.txt", "new", T0);
        const FileCommandResult r = addFiles(ctx, "c:\\Docs\\", {"a.txt"});
        return {r.flushFailed, {}};
    }
    case Operation::ManageRestore: {
        f.writeFile("e:\\C-Docs\\a.txt", "backup", T0);
        const FileCommandResult r = restoreFiles(ctx, "e:\\C-Docs", "c:\\Docs\\", {"a.txt"});
        return {r.flushFailed, {}};
    }
    }
    return {};
}

void addOperationRows(const char* column, const QStringList& values)
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>(column);
    const char* names[] = {"Make Backups", "Restore All",       "add",
                           "newer --add",  "manage window Add", "manage window Restore"};
    for (int i = 0; i < 6; ++i)
        QTest::newRow(names[i]) << i << values[i];
}

} // namespace

/** A refreshed copy reaches its medium before it replaces the old one, a copy is whole or not
 *  there, and no temporary file outlives the run that follows. */
class TestDurability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void copiesAreFlushedBeforeTheyReplaceTheOldOnes_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("flushes");
        QTest::newRow("one batch") << 3 << 1;
        QTest::newRow("bounded in files") << 1100 << 3;
    }

    void copiesAreFlushedBeforeTheyReplaceTheOldOnes()
    {
        QFETCH(int, files);
        QFETCH(int, flushes);
        Run run;
        for (int i = 0; i < files; ++i) {
            const std::string name = "Docs\\f" + std::to_string(i) + ".txt";
            run.fixture.writeFile("e:\\C-" + name, "old", T0);
            run.fixture.writeFile("c:\\" + name, "new", T0 + 60);
        }
        InterleavingUi ui;
        ui.events = &run.events;
        EngineContext ctx{run.rig->ctx.platform, run.rig->target, run.rig->media, ui,
                          run.rig->log,          run.rig->facts};
        const RunResult outcome = makeBackups(ctx);
        QVERIFY(outcome.entered);
        QCOMPARE(outcome.copiedCount, std::uint64_t(files));

        const auto& e = run.events;
        QCOMPARE(int(std::count_if(e.begin(), e.end(),
                                   [](const std::string& s) { return s.starts_with("flush"); })),
                 flushes);
        for (int i = 0; i < files; ++i) {
            const std::string dest = "e:\\C-Docs\\f" + std::to_string(i) + ".txt";
            const std::size_t staged = indexOf(e, "stage " + dest);
            const std::size_t renamed = indexOf(e, "rename " + dest);
            const std::size_t told = indexOf(
                e, "line " + run.fixture.nativeBytes("c:\\Docs\\f" + std::to_string(i) + ".txt") +
                       " copied to e:");
            QVERIFY(staged < renamed && renamed < told && told < e.size());
            // A flush lies between the copy's writing and its rename.
            QVERIFY(std::any_of(e.begin() + staged, e.begin() + renamed,
                                [](const std::string& s) { return s.starts_with("flush"); }));
        }
        QCOMPARE(run.fixture.readFile("e:\\C-Docs\\f0.txt"), QByteArray("new"));
    }

    void aFailedFlushReplacesNothing()
    {
        Run run;
        run.fixture.writeFile("e:\\C-Docs\\a.txt", "old", T0);
        run.fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);
        run.platform->failFlush = true;
        const RunResult outcome = makeBackups(run.rig->ctx);
        QVERIFY(outcome.entered);
        QCOMPARE(run.fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("old"));
        QCOMPARE(tempFiles(run.fixture.native("e:\\C-Docs")), QStringList());
        QCOMPARE(outcome.copiedCount, std::uint64_t(0));
        QVERIFY(run.rig->shownLines().contains(run.fixture.native("c:\\Docs\\a.txt") +
                                               " not copied to e: - Input/output error"));
        QVERIFY(run.rig->shownLines().contains("Number of failed copies = 1"));
    }

    void aSourceThatChangesWhileItIsCopiedIsNotKept()
    {
        Run run;
        run.fixture.writeFile("e:\\C-Docs\\big.bin", "old", T0);
        run.fixture.writeFile("c:\\Docs\\big.bin", QByteArray(32 << 20, 'x'), T0 + 60);
        // Someone keeps writing to the file: its time moves all the while.
        const std::string path = run.fixture.nativeBytes("c:\\Docs\\big.bin");
        std::atomic<bool> writing{true};
        std::atomic<bool> started{false};
        std::thread writer([&] {
            const int fd = ::open(path.c_str(), O_WRONLY);
            for (long n = 0; writing; ++n) {
                const timespec times[2] = {{T0 + 120, n % 1000000000}, {T0 + 120, n % 1000000000}};
                ::futimens(fd, times);
                started = true;
            }
            ::close(fd);
        });
        // On a busy machine the writer may not have begun before the copy is done.
        while (!started)
            std::this_thread::yield();
        const RunResult outcome = makeBackups(run.rig->ctx);
        QVERIFY(outcome.entered);
        writing = false;
        writer.join();

        QCOMPARE(run.fixture.readFile("e:\\C-Docs\\big.bin"), QByteArray("old"));
        QCOMPARE(tempFiles(run.fixture.native("e:\\C-Docs")), QStringList());
        QVERIFY(run.rig->shownLines().contains(run.fixture.native("c:\\Docs\\big.bin") +
                                               " not copied to e: - changed while being copied"));
        QCOMPARE(outcome.failedCount, std::uint64_t(1));

        // Left alone, it is copied at the next run.
        QVERIFY(makeBackups(run.rig->ctx).entered);
        QCOMPARE(run.fixture.readFile("e:\\C-Docs\\big.bin").size(), qsizetype(32 << 20));
    }

    void aDeadRunsTemporaryFileGoesWithTheNextCopyIntoItsFolder_data()
    {
        QTest::addColumn<bool>("restore"); // the dead run was a Restore All, else Make Backups
        QTest::newRow("source folder, left by a Restore All") << true;
        QTest::newRow("medium folder, left by Make Backups") << false;
    }

    void aDeadRunsTemporaryFileGoesWithTheNextCopyIntoItsFolder()
    {
        QFETCH(bool, restore);
        Run run;
        run.fixture.writeFile("e:\\C-Docs\\a.txt", restore ? "backup" : "old", T0);
        run.fixture.writeFile("c:\\Docs\\a.txt", restore ? "old" : "new", T0 + 60);
        // A process of this computer that has ended.
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        const char* folder = restore ? "c:\\Docs" : "e:\\C-Docs";
        const std::string dead = ".kopierix-tmp-" + std::to_string(child) + "-1-7@" + host;
        run.fixture.writeFile(std::string(folder) + "\\" + dead, "half a copy", T0);

        if (restore) {
            run.rig->ui.yesNoAnswers = {true};
            QVERIFY(restoreAll(run.rig->ctx).entered);
        } else {
            QVERIFY(makeBackups(run.rig->ctx).entered);
        }
        QCOMPARE(tempFiles(run.fixture.native(folder)), QStringList());
        QCOMPARE(run.fixture.readFile(restore ? "c:\\Docs\\a.txt" : "e:\\C-Docs\\a.txt"),
                 QByteArray(restore ? "backup" : "new"));
    }
    void everyOperationEndsWithAFlushOfTheDrivesItWrote_data()
    {
        addOperationRows("drives", {"e", "cd", "e", "e", "e", "c"});
    }

    void everyOperationEndsWithAFlushOfTheDrivesItWrote()
    {
        QFETCH(int, operation);
        QFETCH(QString, drives);
        Run run;
        InterleavingUi ui;
        ui.events = &run.events;
        const Outcome outcome = runOperation(run, Operation(operation), ui);
        QVERIFY(!outcome.flushFailed);
        QCOMPARE(outcome.failed.value_or(0), std::uint64_t(0));

        const auto& e = run.events;
        QString synced;
        for (const std::string& event : e) {
            if (event.starts_with("sync "))
                synced += QChar::fromLatin1(event[5]);
        }
        QCOMPARE(synced, drives);
        for (const QChar drive : drives) {
            const std::size_t sync = indexOf(e, "sync " + std::string(1, drive.toLatin1()));
            // After the last rename onto the drive, and before the run tells its summary.
            QVERIFY(sync < e.size());
            for (std::size_t i = 0; i < e.size(); ++i) {
                QVERIFY2(i < sync ||
                             !e[i].starts_with("rename " + std::string(1, drive.toLatin1())),
                         e[i].c_str());
                QVERIFY2(i > sync || !e[i].starts_with("line Number of files"), e[i].c_str());
            }
        }
    }

    void aFailedFlushIsAFailedRunThatRecordsNoDate_data()
    {
        addOperationRows("drive", {"e", "d", "e", "e", "e", "c"});
    }

    void aFailedFlushIsAFailedRunThatRecordsNoDate()
    {
        QFETCH(int, operation);
        QFETCH(QString, drive);
        Run run;
        run.platform->failDrive.insert(drive.at(0).toLatin1());
        const QVariant dateBefore = run.fixture.setting("Last BackUp", "e-");
        const Outcome outcome = runOperation(run, Operation(operation), run.rig->ui);

        QVERIFY(outcome.flushFailed);
        QVERIFY(outcome.failed.value_or(1) > 0);
        const QString line =
            "What was written to " + drive + ": did not reach the disk: Input/output error";
        QVERIFY2(run.rig->shownLines().contains(line),
                 qPrintable(run.rig->shownLines().join('\n')));
        QVERIFY(logLines(run.fixture).contains(line));
        QCOMPARE(run.fixture.setting("Last BackUp", "e-"), dateBefore);
    }

    void aLaterBatchWhoseFlushFailsRecordsNoDate()
    {
        Run run;
        for (int i = 0; i < 600; ++i) {
            const std::string name = "Docs\\f" + std::to_string(i) + ".txt";
            run.fixture.writeFile("e:\\C-" + name, "old", T0);
            run.fixture.writeFile("c:\\" + name, "new", T0 + 60);
        }
        run.platform->failFlush = true;
        run.platform->flushesBeforeFailing = 1;
        const RunResult outcome = makeBackups(run.rig->ctx);
        QCOMPARE(outcome.copiedCount, std::uint64_t(CopyBatch::kMaxFiles));
        QVERIFY(outcome.flushFailed);
        QCOMPARE(outcome.failedCount, std::uint64_t(600 - CopyBatch::kMaxFiles));
        QVERIFY(!run.fixture.setting("Last BackUp", "e-").isValid());
        QVERIFY(!run.fixture.setting("Total Size", "e-").isValid());
    }
};

QTEST_GUILESS_MAIN(TestDurability)
#include "tst_durability.moc"
