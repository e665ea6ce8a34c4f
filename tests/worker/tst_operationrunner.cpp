// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Fixture.h"
#include "common/Watchdog.h"
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
