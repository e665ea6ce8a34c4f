// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ActivityLog.h"
#include "engine/BackupTarget.h"
#include "engine/EngineContext.h"
#include "engine/MediaRecords.h"
#include "platform/Platform.h"
#include "support/SystemFacts.h"
#include "worker/DriveFlags.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace kx {

class HelpKeyFilter;
class MountWatcher;
class SingleInstance;
class AboutDialog;
class BackupDrive;
class TextInputDialog;
class ManageWindow;
class UpdateCheckDialog;
class UpdateWindow;
class MainWindow;
class TimedMessage;
class NewFilesWindow;
class SplashWindow;
class QuestionDialog;

/**
 * The program with its windows. It owns what the windows share (the platform, the facts
 * gathered at start, the program's state, the activity log, the engine's context) and creates
 * every window once, in a fixed order.
 */
class Application : public QObject
{
    Q_OBJECT

public:
    /** Gathers the facts about the machine; `platform` null gives the system's own. */
    explicit Application(std::unique_ptr<Platform> platform = nullptr);
    ~Application() override;

    /** The whole start: splash, the single-instance guard, the windows, the message loop.
     *  Returns the process's exit status. */
    int run();

    /** Creates the windows in their order (the main window first, whose creation reads the
     *  settings); none is shown. */
    void createWindows();

    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    ManageWindow* manageWindow() const { return m_manageWindow; }
    NewFilesWindow* newFilesWindow() const { return m_newFilesWindow; }
    AboutDialog* aboutDialog() const { return m_aboutDialog; }
    /** The splash window while it shows; null once it has closed. */
    SplashWindow* splash() const;
    EngineContext& context() { return *m_ctx; }
    DriveFlags& driveFlags() { return m_driveFlags; }
    BackupDrive* backupDrive() const { return m_backupDrive.get(); }
    BackupTarget& target() { return m_target; }
    MediaRecords& media() { return m_media; }
    const SystemFacts& facts() const { return m_facts; }
    Platform& platform() { return *m_platform; }

    /** The mount table changed: the drive table is read again and the drive lists follow. */
    void mountTableChanged();

private:
    std::unique_ptr<Platform> m_platform;
    SystemFacts m_facts;
    DriveFlags m_driveFlags;
    BackupTarget m_target;
    MediaRecords m_media;
    ActivityLog m_log;
    // Declared before the main window, so that it outlives the windows that use it.
    std::unique_ptr<EngineContext> m_ctx;
    // Declared before the main window, so that it outlives the windows that use it.
    std::unique_ptr<BackupDrive> m_backupDrive;
    std::unique_ptr<MainWindow> m_mainWindow;
    // Children of the main window, which deletes them.
    ManageWindow* m_manageWindow = nullptr;
    NewFilesWindow* m_newFilesWindow = nullptr;
    AboutDialog* m_aboutDialog = nullptr;
    QuestionDialog* m_questionDialog = nullptr;
    TimedMessage* m_timedMessage = nullptr;
    TextInputDialog* m_textInputDialog = nullptr;
    UpdateWindow* m_updateWindow = nullptr;
    UpdateCheckDialog* m_updateCheckDialog = nullptr;
    QPointer<SplashWindow> m_splash;
    HelpKeyFilter* m_helpKeys = nullptr; // a child of this object
    MountWatcher* m_mountWatcher = nullptr;
    SingleInstance* m_instance = nullptr;
};

} // namespace kx
