// SPDX-License-Identifier: GPL-3.0-or-later
// How well the main window answers while Make Backups works on a large medium: builds a source
// and a medium of small files in a temporary folder (with a home of its own there), opens the
// windows under the offscreen platform, clicks Make Backups and measures, for the length of the
// run, the largest gap between the ticks of a 16 ms timer (the event loop's turns) and between
// repaints of the window (each tick asks for one).
//
// Usage: responsiveness [FILES] [CHANGED-EVERY]   (default: 100000 files, every 10th changed)
//        responsiveness --on-gui-thread ...       the same run on the GUI thread, for comparison
#include "app/Application.h"
#include "app/MainWindow.h"
#include "engine/MakeBackups.h"
#include "worker/OperationRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

// Gaps between moments, in milliseconds, from the start of the run to its end: a window that
// never turns during the run has one gap as long as the run.
class GapMeter
{
public:
    void mark(qint64 ms)
    {
        close(ms);
        ++m_count;
    }
    void close(qint64 ms)
    {
        m_largest = std::max(m_largest, ms - m_last);
        m_last = ms;
    }
    qint64 largest() const { return m_largest; }
    int count() const { return m_count; }

private:
    qint64 m_last = 0;
    qint64 m_largest = 0;
    int m_count = 0;
};

// Counts the window's paints: every widget of the window paints in one turn, taken as one.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget* window, const QElapsedTimer& clock, GapMeter& meter)
        : m_window(window), m_clock(clock), m_meter(meter)
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == m_window) {
            const qint64 now = m_clock.elapsed();
            if (now != m_lastPaint)
                m_meter.mark(now);
            m_lastPaint = now;
        }
        return false;
    }

private:
    QWidget* m_window;
    const QElapsedTimer& m_clock;
    GapMeter& m_meter;
    qint64 m_lastPaint = -1;
};

void writeFile(const fs::path& path, std::size_t size, std::mt19937& random,
               fs::file_time_type mtime)
{
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>('a' + random() % 26);
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    fs::last_write_time(path, mtime);
}

// A source s: with `count` files of 1-4 KB, about 100 a folder, and a medium e: that holds a
// copy of each; every `changedEvery`th source file is newer than its copy.
void buildFixture(const fs::path& root, int count, int changedEvery)
{
    std::mt19937 random(1);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
    const auto newer = old + std::chrono::hours(1);
    for (int i = 0; i < count; ++i) {
        const fs::path folder = fs::path("Data") / ("a" + std::to_string(i / 10000)) /
                                ("b" + std::to_string(i / 1000 % 10)) /
                                ("c" + std::to_string(i / 100 % 10));
        const fs::path source = root / "source" / folder;
        const fs::path copy = root / "medium" / "s-Data" / folder.lexically_relative("Data");
        fs::create_directories(source);
        fs::create_directories(copy);
        const std::string name = "f" + std::to_string(i) + ".txt";
        const std::size_t size = 1024 + random() % 3072;
        writeFile(copy / name, size, random, old);
        writeFile(source / name, size, random, i % changedEvery == 0 ? newer : old);
    }

    const fs::path home = root / "home";
    fs::create_directories(home / ".config" / "Kopierix");
    fs::create_directories(home / ".local" / "share");
    std::ofstream ini(home / ".config" / "Kopierix" / "Kopierix.ini");
    ini << "[Defaults]\nBackUp%20Drive=e:\\\\\nFirst%20Time=0\nCheck%20for%20Updates=0\n\n"
        << "[Drives]\ns=" << (root / "source").string() << "\ns.type=DRIVE_FIXED\n"
        << "e=" << (root / "medium").string() << "\ne.type=DRIVE_FIXED\ne.label=BENCH\n";
}

} // namespace

int main(int argc, char** argv)
{
    bool onGuiThread = false;
    std::vector<int> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--on-gui-thread")
            onGuiThread = true;
        else
            numbers.push_back(std::atoi(argv[i]));
    }
    const int count = numbers.size() > 0 ? numbers[0] : 100000;
    const int changedEvery = numbers.size() > 1 ? std::max(1, numbers[1]) : 10;

    // Everything the program reads and writes lies in the temporary folder.
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const fs::path root = dir.path().toStdString();
    qputenv("HOME", (root / "home").c_str());
    qputenv("XDG_CONFIG_HOME", (root / "home" / ".config").c_str());
    qputenv("XDG_DATA_HOME", (root / "home" / ".local" / "share").c_str());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::printf("building %d files (every %dth changed) ...\n", count, changedEvery);
    std::fflush(stdout);
    buildFixture(root, count, changedEvery);

    QApplication qapp(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kopierix"));
    kx::Application app;
    app.createWindows();
    kx::MainWindow* main = app.mainWindow();
    main->show();
    if (!main->firstPaintDone()) {
        QEventLoop loop;
        QObject::connect(main, &kx::MainWindow::firstPaintFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }

    QElapsedTimer clock;
    GapMeter ticks;
    GapMeter paints;
    PaintWatch watch(main, clock, paints);
    qapp.installEventFilter(&watch);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        ticks.mark(clock.elapsed());
        main->update();
    });

    clock.start();
    tick.start(16);
    if (onGuiThread) {
        // As the program worked before its worker: the run on the window's own thread.
        QTimer::singleShot(0, [&] {
            kx::makeBackups(app.context());
            QCoreApplication::quit();
        });
        QApplication::exec();
    } else {
        QEventLoop loop;
        QObject::connect(main->runner(), &kx::OperationRunner::finished, &loop, &QEventLoop::quit);
        main->findChild<QPushButton*>(QStringLiteral("MaakBackupBtn"))->click();
        loop.exec();
    }
    const qint64 took = clock.elapsed();
    ticks.close(took);
    paints.close(took);
    tick.stop();
    qapp.removeEventFilter(&watch);

    const QStringList shown = main->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))
                                  ->toPlainText()
                                  .split(QLatin1Char('\n'));
    const QString summary = shown.filter(QStringLiteral("Number of files copied")).value(0);
    std::printf("%s, %d files: run %lld ms; %s\n", onGuiThread ? "GUI thread" : "worker", count,
                static_cast<long long>(took), qPrintable(summary));
    std::printf("largest gap between event-loop turns (16 ms timer): %lld ms over %d ticks\n",
                static_cast<long long>(ticks.largest()), ticks.count());
    std::printf("largest gap between repaints: %lld ms over %d paints\n",
                static_cast<long long>(paints.largest()), paints.count());
    main->close();
    return 0;
}
