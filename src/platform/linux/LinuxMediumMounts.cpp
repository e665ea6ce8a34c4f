// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxMediumMounts.h"

#include "platform/linux/DriveTable.h"
#include "platform/linux/MountWatcher.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace kx {

bool LinuxMediumMounts::newMountHolds(const QByteArray& before, const QByteArray& after,
                                      const std::string& folder)
{
    const std::vector<MountEntry> now = parseMountInfo(after.toStdString());
    const MountEntry* holder = mountHolding(now, folder);
    return holder != nullptr && mountIdsOf(before.toStdString()).count(holder->id) == 0;
}

LinuxMediumMounts::LinuxMediumMounts(const QString& mountTable)
    : m_watcher(new MountWatcher(mountTable, this)), m_before(m_watcher->table()), m_table(m_before)
{
    connect(m_watcher, &MountWatcher::changed, this, [this] {
        // Each change is weighed against the table read at the one before.
        m_before = m_table;
        m_table = m_watcher->table();
        if (m_changed)
            m_changed();
    });
}

LinuxMediumMounts::~LinuxMediumMounts() = default;

void LinuxMediumMounts::onChange(std::function<void()> changed)
{
    m_changed = std::move(changed);
}

bool LinuxMediumMounts::newlyMounted(const std::string& folder)
{
    const QString canonical =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(folder))).canonicalFilePath();
    return !canonical.isEmpty() &&
           newMountHolds(m_before, m_table, QFile::encodeName(canonical).toStdString());
}

std::unique_ptr<MediumMounts> createMediumMounts()
{
    return std::make_unique<LinuxMediumMounts>();
}

} // namespace kx
