// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/MediumWatch.h"

#include "cli/CommandLineTexts.h"
#include "cli/ConsoleOutput.h"
#include "cli/LinuxCommands.h"
#include "engine/Settings.h"
#include "support/TextHelpers.h"

#include <QEventLoop>

#include <memory>
#include <string>

namespace kx {

MediumWatch::MediumWatch(Platform& platform, Language language, char backupDrive,
                         std::function<int()> run, MediumMounts& mounts, StopSignals& stopSignals,
                         std::function<bool()> stopped)
    : m_platform(platform), m_language(language), m_backupDrive(backupDrive), m_run(std::move(run)),
      m_mounts(mounts), m_stopped(std::move(stopped)), m_loop(new QEventLoop(this))
{
    m_mounts.onChange([this] { mountsChanged(); });
    stopSignals.onSignal([this] { m_loop->quit(); });
}

MediumWatch::~MediumWatch()
{
    m_mounts.onChange({});
}

int MediumWatch::exec()
{
    const char letter = m_backupDrive ? m_backupDrive : chosenBackupDrive(m_platform);
    printOut(fillIn(inLanguage(m_language, cliText::watchWaiting), {std::string(1, letter) + ":"}));
    if (!m_stopped())
        m_loop->exec();
    return m_status;
}

void MediumWatch::mountsChanged()
{
    if (m_stopped())
        return;
    // The drive table follows the mounts; the choice is read afresh, as a run would read it.
    m_platform.reloadDrives();
    const char letter = m_backupDrive ? m_backupDrive : chosenBackupDrive(m_platform);
    if (letter == 0 || !m_platform.volumeLabel(letter))
        return;
    if (!m_mounts.newlyMounted(m_platform.nativePath(std::string(1, letter) + ":\\")))
        return;
    printOut(fillIn(inLanguage(m_language, cliText::watchMounted), {std::string(1, letter) + ":"}));
    // A run holds the loop: a mount meanwhile is seen when it ends, against the table read here.
    m_status = m_run();
    if (m_stopped())
        m_loop->quit();
    else
        m_status = 0;
}

int watchCommand(Platform& platform, Console& console, Language language, char backupDrive,
                 void (*requestStop)() noexcept, const std::function<int()>& run)
{
    const std::unique_ptr<StopSignals> stopSignals = console.catchStopSignals(requestStop);
    const std::unique_ptr<MediumMounts> mounts = createMediumMounts();
    MediumWatch watch(platform, language, backupDrive, run, *mounts, *stopSignals,
                      [&console] { return console.stopSignal() != StopSignal::None; });
    return watch.exec();
}

} // namespace kx
