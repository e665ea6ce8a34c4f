#pragma once

#include "engine/ActivityLog.h"
#include "engine/EngineContext.h"
#include "engine/ProgramState.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/SystemFacts.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace kx {

class HelpKeyFilter;
class MountWatcher;
class SingleInstance;
class TAboutForm;
class TAskDlg;
class TBackupForm;
class TCheckUpdateForm;
class TVersionsForm;
class TMainForm;
class TMessageForm;
class TNieuwerForm;
class TSplashForm;
class TYesNoDlg;

/**
 * The program with its windows. It owns what the windows share (the platform, the facts
 * gathered at start, the program's state, the activity log, the engine's context) and creates
 * every window once, in a fixed order.
 */
class KopierixApp : public QObject
{
    Q_OBJECT

public:
    /** Gathers the facts about the machine; `platform` null gives the system's own. */
    explicit KopierixApp(std::unique_ptr<LinuxPlatform> platform = nullptr);
    ~KopierixApp() override;

    /** The whole start: splash, the single-instance guard, the windows, the message loop.
     *  Returns the process's exit status. */
    int run();

    /** Creates the windows in their order (the main window first, whose creation reads the
     *  settings); none is shown. */
    void createWindows();

    TMainForm* mainForm() const { return m_mainForm.get(); }
    TBackupForm* backupForm() const { return m_backupForm; }
    TNieuwerForm* newerForm() const { return m_newerForm; }
    TAboutForm* aboutForm() const { return m_aboutForm; }
    /** The splash window while it shows; null once it has closed. */
    TSplashForm* splash() const;
    EngineContext& context() { return *m_ctx; }
    ProgramState& state() { return m_state; }
    const SystemFacts& facts() const { return m_facts; }
    LinuxPlatform& platform() { return *m_platform; }

    /** The mount table changed: the drive table is read again and the drive lists follow. */
    void mountTableChanged();

private:
    std::unique_ptr<LinuxPlatform> m_platform;
    SystemFacts m_facts;
    ProgramState m_state;
    ActivityLog m_log;
    std::unique_ptr<TMainForm> m_mainForm;
    std::unique_ptr<EngineContext> m_ctx;
    // Children of the main window, deleted before it (they use the context to the last).
    TBackupForm* m_backupForm = nullptr;
    TNieuwerForm* m_newerForm = nullptr;
    TAboutForm* m_aboutForm = nullptr;
    TYesNoDlg* m_yesNoDlg = nullptr;
    TMessageForm* m_messageForm = nullptr;
    TAskDlg* m_askDlg = nullptr;
    TVersionsForm* m_versionsForm = nullptr;
    TCheckUpdateForm* m_checkUpdateForm = nullptr;
    QPointer<TSplashForm> m_splash;
    HelpKeyFilter* m_helpKeys = nullptr;
    MountWatcher* m_mountWatcher = nullptr;
    SingleInstance* m_instance = nullptr;
};

} // namespace kx
