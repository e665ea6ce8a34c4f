// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MediumWatch.h"

#include "app/CommandLineTexts.h"
#include "app/ConsoleOutput.h"
#include "app/MountWatcher.h"
#include "engine/Settings.h"
#include "platform/linux/DriveTable.h"
#include "support/TextHelpers.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <vector>

namespace kx {

bool MediumWatch::newMountHolds(const QByteArray& before, const QByteArray& after,
                                const std::string& folder)
{
    const std::vector<MountEntry> now = parseMountInfo(after.toStdString());
    const MountEntry* holder = mountHolding(now, folder);
    return holder != nullptr && mountIdsOf(before.toStdString()).count(holder->id) == 0;
}

MediumWatch::MediumWatch(Platform& platform, Language language, char backupDrive,
                         std::function<int()> run, int wakeFd, std::function<bool()> stopped)
    : m_platform(platform), m_language(language), m_backupDrive(backupDrive), m_run(std::move(run)),
      m_wakeFd(wakeFd), m_stopped(std::move(stopped)),
      m_watcher(new MountWatcher(QStringLiteral("/proc/self/mountinfo"), this)),
      m_loop(new QEventLoop(this)), m_table(m_watcher->table())
{
    connect(m_watcher, &MountWatcher::changed, this, &MediumWatch::mountsChanged);
    auto* wake = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
    connect(wake, &QSocketNotifier::activated, m_loop, &QEventLoop::quit);
}

MediumWatch::~MediumWatch() = default;

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
    const QByteArray before = m_table;
    m_table = m_watcher->table();
    if (m_stopped())
        return;
    // The drive table follows the mounts; the choice is read afresh, as a run would read it.
    m_platform.reloadDrives();
    const char letter = m_backupDrive ? m_backupDrive : chosenBackupDrive(m_platform);
    if (letter == 0 || !m_platform.volumeLabel(letter))
        return;
    const QString folder = QFile::decodeName(
        QByteArray::fromStdString(m_platform.nativePath(std::string(1, letter) + ":\\")));
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() ||
        !newMountHolds(before, m_table, QFile::encodeName(canonical).toStdString()))
        return;
    printOut(fillIn(inLanguage(m_language, cliText::watchMounted), {std::string(1, letter) + ":"}));
    // A run holds the loop: a mount meanwhile is seen when it ends, against the table read here.
    m_status = m_run();
    if (m_stopped())
        m_loop->quit();
    else
        m_status = 0;
}

} // namespace kx
