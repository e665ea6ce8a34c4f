// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include "app/MainWindow.h"
#if KOPIERIX_SCREENSHOTS
#include "app/ScreenshotMode.h"
#endif
#include "app/SingleInstance.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/HelpKeyFilter.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/SplashWindow.h"
#include "dialogs/TextInputDialog.h"
#include "dialogs/TimedMessage.h"
#include "manage/ManageWindow.h"
#include "newer/NewFilesWindow.h"
#include "platform/linux/MountWatcher.h"
#include "support/Language.h"
#include "worker/BackupDrive.h"
#if KOPIERIX_UPDATER
#include "update/UpdateCheckDialog.h"
#include "update/UpdateWindow.h"
#endif

#include <QApplication>

namespace kx {

Application::Application(std::unique_ptr<Platform> platform)
    : m_platform(platform ? std::move(platform) : createPlatform()),
      m_facts(gatherSystemFacts(*m_platform)), m_log(*m_platform, *m_platform)
{
}

Application::~Application()
{
    // The log outlives the main window it reports to.
    m_log.reportFailuresTo(nullptr, m_facts.languageCode);
    // The main window takes its children with it (the other windows, which use the engine's
    // context to the last); the context goes after it.
    m_mainWindow.reset();
}

SplashWindow* Application::splash() const
{
    return m_splash.data();
}

void Application::createWindows()
{
    const QString lang = QString::fromStdString(m_facts.languageCode);
    m_mainWindow =
        std::make_unique<MainWindow>(*m_platform, m_driveFlags, m_target, m_media, m_log, m_facts);
    m_ctx = std::make_unique<EngineContext>(
        EngineContext{*m_platform, m_target, m_media, *m_mainWindow, m_log, m_facts});
    MainWindow* main = m_mainWindow.get();
    m_log.reportFailuresTo(main, m_facts.languageCode);

    m_backupDrive = std::make_unique<BackupDrive>(*m_ctx, m_driveFlags);
    m_manageWindow = new ManageWindow(*m_ctx, *m_backupDrive, main);
    m_newFilesWindow = new NewFilesWindow(*m_ctx, m_driveFlags, main);
    m_aboutDialog = new AboutDialog(lang, main->windowTitle(), main->versionText(), main);
    m_questionDialog = new QuestionDialog(lang, main);
    m_timedMessage = new TimedMessage(main);
    m_textInputDialog = new TextInputDialog(lang, main->versionText(), main);
    m_aboutDialog->setTimedMessage(m_timedMessage);

    MainWindow::Windows windows;
    windows.backup = m_manageWindow;
    windows.newer = m_newFilesWindow;
    windows.about = m_aboutDialog;
    windows.yesNo = m_questionDialog;
    windows.message = m_timedMessage;
    windows.ask = m_textInputDialog;
    windows.backupDrive = m_backupDrive.get();
#if KOPIERIX_UPDATER
    m_updateWindow = new UpdateWindow(*m_platform, lang, main);
    m_updateCheckDialog = new UpdateCheckDialog(*m_platform, lang, main);
    const QString product = QString::fromLatin1(kProductName);
    windows.askForUpdateCheck = [this] {
        return m_updateCheckDialog->exec() == UpdateCheckDialog::kYes;
    };
    windows.checkForUpdate = [this, product, main] {
        m_updateWindow->checkForUpdate(product, main->versionText());
    };
    windows.loadAutoCheckSetting = [this] {
        m_updateCheckDialog->loadAutoCheckSetting();
        return m_updateCheckDialog->autoCheckEnabled();
    };
    windows.autoCheckForUpdate = [this, product, main] {
        m_updateWindow->autoCheckForUpdate(product, main->versionText());
    };
#endif
    main->attach(*m_ctx, windows);
    connect(m_backupDrive.get(), &BackupDrive::duplicateAllowedChanged, main,
            &MainWindow::setDuplicateAllowed);
    connect(m_newFilesWindow, &NewFilesWindow::backupChanged, m_manageWindow,
            &ManageWindow::refreshBackupFiles);

    m_helpKeys = new HelpKeyFilter(lang, this);
    qApp->installEventFilter(m_helpKeys);
}

void Application::mountTableChanged()
{
    // The drive table is not read again in the middle of a file operation: the walk works on it.
    if (m_mainWindow && m_mainWindow->operationWorking()) {
        m_mountWatcher->forget();
        return;
    }
    m_platform->reloadDrives();
    if (m_manageWindow)
        m_manageWindow->refreshDrives();
}

int Application::run()
{
    // The splash greets a second start too, before it hands over to the first.
    m_splash = SplashWindow::showAtStart(QString::fromStdString(m_facts.languageCode),
                                         QCoreApplication::applicationFilePath());

    m_instance = new SingleInstance(SingleInstance::serverName(), this);
    if (m_instance->handOverToRunning())
        return 0;

    createWindows();
    connect(m_instance, &SingleInstance::raiseRequested, m_mainWindow.get(),
            &MainWindow::bringForward);
    m_mountWatcher = new MountWatcher(QStringLiteral("/proc/self/mountinfo"), this);
    connect(m_mountWatcher, &MountWatcher::changed, this, &Application::mountTableChanged);

    // The program ends with its main window, whatever other window still shows (the splash,
    // an update window).
    QApplication::setQuitOnLastWindowClosed(false);
    connect(m_mainWindow.get(), &MainWindow::closed, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);

#if KOPIERIX_SCREENSHOTS
    armScreenshotMode(*this);
#endif
    m_mainWindow->show();
    return QApplication::exec();
}

} // namespace kx
