// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/Watchdog.h"
#include "worker/CloseAfterRun.h"
#include "worker/OperationRunner.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <optional>

using kx::EngineContext;
using kx::OperationRunner;
using kx::test::EngineRig;
using kx::test::Fixture;
using kx::test::RecordingUi;

namespace {

// The window's side: notes the thread of every call, and answers a question the way a modal
// dialog does, from an event loop of its own that keeps the GUI thread turning.
class GuiThreadUi : public RecordingUi
{
public:
    bool allOnGuiThread = true;
    int ticksWhileAsked = 0;

    void addLine(const std::string& line) override
    {
        note();
        RecordingUi::addLine(line);
    }
    void status(const std::string& text) override
    {
        note();
        RecordingUi::status(text);
    }
    bool askYesNo(const std::string& caption, const std::string& question) override
    {
        note();
        QEventLoop dialog;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [this] { ++ticksWhileAsked; });
        tick.start(5);
        QTimer::singleShot(100, &dialog, &QEventLoop::quit);
        dialog.exec();
        return RecordingUi::askYesNo(caption, question);
    }
    bool askText(const std::string& caption, const std::string& prompt,
                 std::string& answer) override
    {
        note();
        return RecordingUi::askText(caption, prompt, answer);
    }
    bool askCopyWhatFits(const std::string& caption, const std::string& shortage,
                         const std::string& question) override
    {
        note();
        return RecordingUi::askCopyWhatFits(caption, shortage, question);
    }
    void progressBytes(std::int64_t done, std::int64_t total) override
    {
        note();
        RecordingUi::progressBytes(done, total);
    }

private:
    void note() { allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread(); }
};

struct Rig
{
    Rig() : engine(fixture.platform()) {}

    Fixture fixture;
    EngineRig engine;
    GuiThreadUi gui;
};

} // namespace

class TestOperationRunner : public QObject
{
    Q_OBJECT

private slots:
    // A runner that never lets its thread go would hold the suite until its own limit.
    void init() { m_watchdog.emplace(QTest::currentTestFunction(), QTest::currentDataTag()); }
    void cleanup() { m_watchdog.reset(); }

    // The operation runs on the worker while the GUI thread shows its lines and answers its
    // questions, in the order the operation made them.
    void aRunOnTheWorkerAsksTheGuiThread()
    {
        Rig rig;
        rig.gui.yesNoAnswers = {true, false};
        rig.gui.textAnswers = {"Medium 2"};
        OperationRunner runner(rig.engine.ctx, rig.gui);
        QSignalSpy started(&runner, &OperationRunner::started);
        QSignalSpy finished(&runner, &OperationRunner::finished);

        std::atomic<bool> onWorker = false;
        QVERIFY(runner.start([&](EngineContext& ctx) {
            onWorker = QThread::currentThread() != qApp->thread();
            ctx.ui.addLine("before");
            const bool yes = ctx.ui.askYesNo("Kopierix", "Go on?");
            ctx.ui.addLine(yes ? "yes" : "no");
            std::string name = "Medium 1";
            const bool ok = ctx.ui.askText("Kopierix", "Name?", name);
            ctx.ui.addLine(ok ? name : "cancelled");
            ctx.ui.progressBytes(5, 10);
            kx::RunResult soFar;
            soFar.copiedCount = 3;
            ctx.ui.runCounts(soFar);
            const bool copy = ctx.ui.askCopyWhatFits("Kopierix", "Too little", "Copy?");
            ctx.ui.addLine(copy ? "copy" : "keep");
            ctx.ui.status("done");
            return kx::DriveFindings{};
        }));
        QCOMPARE(started.count(), 1);
        QVERIFY(runner.isRunning());
        // One at a time.
        QVERIFY(!runner.start([](EngineContext&) { return kx::DriveFindings{}; }));

        QVERIFY(finished.wait(5000));
        QVERIFY(!runner.isRunning());
        QVERIFY(onWorker);
        QVERIFY(rig.gui.allOnGuiThread);
        QVERIFY2(rig.gui.ticksWhileAsked >= 5,
                 qPrintable(QString::number(rig.gui.ticksWhileAsked)));
        QCOMPARE(rig.gui.outputLines,
                 (std::vector<std::string>{"before", "yes", "Medium 2", "keep"}));
        QCOMPARE(rig.gui.questions,
                 (std::vector<std::string>{"Go on?", "Name?", "Too little\r\rCopy?"}));
        QCOMPARE(rig.gui.byteProgress.size(), std::size_t(1));
        QCOMPARE(rig.gui.byteProgress[0], std::make_pair(std::int64_t(5), std::int64_t(10)));
        QCOMPARE(rig.gui.counts.size(), std::size_t(1));
        QCOMPARE(rig.gui.counts[0].copiedCount, std::uint64_t(3));
        QCOMPARE(rig.gui.statusLines, std::vector<std::string>{"done"});
    }

    // Stop reaches the operation through its context; the next run starts unstopped.
    void stopEndsTheRun()
    {
        Rig rig;
        OperationRunner runner(rig.engine.ctx, rig.gui);
        QSignalSpy finished(&runner, &OperationRunner::finished);
        std::atomic<bool> sawStop = false;
        QVERIFY(runner.start([&](EngineContext& ctx) {
            // Ends by itself should the stop never come, so that the runner can go.
            const QDeadlineTimer limit(5000);
            while (!ctx.stopRequested() && !limit.hasExpired())
                QThread::msleep(1);
            sawStop = ctx.stopRequested();
            return kx::DriveFindings{};
        }));
        QTest::qWait(50);
        QVERIFY(runner.isRunning());
        QVERIFY(!runner.stopRequested());
        runner.stop();
        QVERIFY(finished.wait(5000));
        QVERIFY(sawStop);

        bool stoppedAtStart = true;
        QVERIFY(runner.start([&](EngineContext& ctx) {
            stoppedAtStart = ctx.stopRequested();
            return kx::DriveFindings{};
        }));
        QVERIFY(finished.wait(5000));
        QVERIFY(!stoppedAtStart);
    }

    // The run works on copies of the target and the records: what the window owns stays as it
    // was until the window takes what the run left, with what it found of the drive. The next
    // run starts from the window's own again.
    void aRunLeavesItsChangesForTheWindow()
    {
        Rig rig;
        rig.engine.target.base = "e:\\";
        rig.engine.media.current.totalSize = 100;
        OperationRunner runner(rig.engine.ctx, rig.gui);
        QSignalSpy finished(&runner, &OperationRunner::finished);
        std::atomic<bool> changed = false;
        std::atomic<bool> end = false;
        QVERIFY(runner.start([&](EngineContext& ctx) {
            ctx.target.base = "f:\\";
            ctx.media.current.totalSize += 50;
            ctx.media.byKey["f-Backup2"] = ctx.media.current;
            changed = true;
            const QDeadlineTimer limit(5000);
            while (!end && !limit.hasExpired())
                QThread::msleep(1);
            return kx::DriveFindings{.noDisk = true, .noFloppy = {}};
        }));
        QTRY_VERIFY(changed);
        QCOMPARE(rig.engine.target.base, std::string("e:\\"));
        QCOMPARE(rig.engine.media.current.totalSize, std::int64_t(100));
        QVERIFY(rig.engine.media.byKey.empty());
        end = true;
        QVERIFY(finished.wait(5000));

        QCOMPARE(rig.engine.target.base, std::string("e:\\"));
        QCOMPARE(rig.engine.media.current.totalSize, std::int64_t(100));
        const kx::RunOutcome& left = runner.outcome();
        QCOMPARE(left.target.base, std::string("f:\\"));
        QCOMPARE(left.media.current.totalSize, std::int64_t(150));
        QCOMPARE(left.media.byKey.count("f-Backup2"), std::size_t(1));
        QCOMPARE(left.drive.noDisk, std::optional<bool>(true));
        QCOMPARE(left.drive.noFloppy, std::optional<bool>());

        std::string startedFrom;
        QVERIFY(runner.start([&](EngineContext& ctx) {
            startedFrom = ctx.target.base;
            return kx::DriveFindings{};
        }));
        QVERIFY(finished.wait(5000));
        QCOMPARE(startedFrom, std::string("e:\\"));
        QCOMPARE(runner.outcome().drive.noDisk, std::optional<bool>());
    }

    // A close during a run: No keeps the run and the window; Yes stops the run, and the window
    // closes once the run has ended and what it left can be taken. A close while that stop is
    // awaited asks nothing more. With no run the window closes at once, unasked.
    void closeAfterRun_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("answer");
        QTest::newRow("no run") << false << true;
        QTest::newRow("No") << true << false;
        QTest::newRow("Yes") << true << true;
    }
    void closeAfterRun()
    {
        QFETCH(bool, running);
        QFETCH(bool, answer);
        Rig rig;
        OperationRunner runner(rig.engine.ctx, rig.gui);
        QSignalSpy finished(&runner, &OperationRunner::finished);
        if (running) {
            QVERIFY(runner.start([](EngineContext& ctx) {
                ctx.media.current.totalSize = 7;
                const QDeadlineTimer limit(5000);
                while (!ctx.stopRequested() && !limit.hasExpired())
                    QThread::msleep(1);
                return kx::DriveFindings{};
            }));
        }
        int asked = 0;
        int closed = 0;
        std::int64_t totalAtClose = -1;
        const auto close = [&] {
            return kx::closeAfterRun(
                runner,
                [&] {
                    ++asked;
                    return answer;
                },
                [&] {
                    ++closed;
                    totalAtClose = runner.outcome().media.current.totalSize;
                });
        };
        QCOMPARE(close(), !running);
        QCOMPARE(asked, running ? 1 : 0);
        if (!running)
            return;
        if (!answer) {
            QTest::qWait(50);
            QVERIFY(runner.isRunning());
            QVERIFY(!runner.stopRequested());
            runner.stop();
            QVERIFY(finished.wait(5000));
            QCOMPARE(closed, 0);
            return;
        }
        QVERIFY(runner.stopRequested());
        QVERIFY(!close());
        QCOMPARE(asked, 1);
        QVERIFY(finished.wait(5000));
        QCOMPARE(closed, 1);
        QCOMPARE(totalAtClose, std::int64_t(7));
        QVERIFY(close());
    }

    // A runner that goes with its window while the operation waits for an answer ends the run
    // without opening anything and without hanging.
    void destroyedWhileAQuestionWaits()
    {
        Rig rig;
        std::atomic<bool> answer = true;
        std::atomic<bool> asking = false;
        {
            OperationRunner runner(rig.engine.ctx, rig.gui);
            QVERIFY(runner.start([&](EngineContext& ctx) {
                asking = true;
                answer = ctx.ui.askYesNo("Kopierix", "Go on?");
                const QDeadlineTimer limit(5000);
                while (!ctx.stopRequested() && !limit.hasExpired())
                    QThread::msleep(1);
                return kx::DriveFindings{};
            }));
            // Without turning the event loop: the question must not reach the window.
            const QDeadlineTimer limit(5000);
            while (!asking && !limit.hasExpired())
                QThread::msleep(1);
            QVERIFY(asking);
        }
        QVERIFY(!answer);
        QVERIFY(rig.gui.questions.empty());
    }

private:
    std::optional<kx::test::Watchdog> m_watchdog;
};

QTEST_GUILESS_MAIN(TestOperationRunner)

#include "tst_operationrunner.moc"
