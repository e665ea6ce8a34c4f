// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include "app/MainWindow.h"
#include "app/MountWatcher.h"
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
#include "support/Language.h"
#if KOPIERIX_UPDATER
#include "update/UpdateCheckDialog.h"
#include "update/UpdateWindow.h"
#endif

#include <QApplication>

namespace kx {

Application::Application(std::unique_ptr<Platform> platform)
    : m_platform(platform ? std::move(platform) : createPlatform()),
      m_facts(gatherSystemFacts(*m_platform)), m_log(*m_platform)
{
}

Application::~Application()
{
    // The log outlives the main window it reports to.
    m_log.reportFailuresTo(nullptr, m_facts.languageCode);
    // The main window takes its children with it (the other windows, which use the engine's
    // context to the last); the context goes after it.
    m_mainForm.reset();
}

SplashWindow* Application::splash() const
{
    return m_splash.data();
}

void Application::createWindows()
{
    const QString lang = QString::fromStdString(m_facts.languageCode);
    m_mainForm =
        std::make_unique<MainWindow>(*m_platform, m_driveFlags, m_target, m_media, m_log, m_facts);
    m_ctx = std::make_unique<EngineContext>(
        EngineContext{*m_platform, m_target, m_media, *m_mainForm, m_log, m_facts});
    MainWindow* main = m_mainForm.get();
    m_log.reportFailuresTo(main, m_facts.languageCode);

    m_backupForm = new ManageWindow(*m_ctx, m_driveFlags, main);
    m_newerForm = new NewFilesWindow(*m_ctx, m_driveFlags, main);
    m_aboutForm = new AboutDialog(lang, main->windowTitle(), main->versionText(), main);
    m_yesNoDlg = new QuestionDialog(lang, main);
    m_messageForm = new TimedMessage(main);
    m_askDlg = new TextInputDialog(lang, main->versionText(), main);
    m_aboutForm->setMessageForm(m_messageForm);

    MainWindow::Windows windows;
    windows.backup = m_backupForm;
    windows.newer = m_newerForm;
    windows.about = m_aboutForm;
    windows.yesNo = m_yesNoDlg;
    windows.message = m_messageForm;
    windows.ask = m_askDlg;
#if KOPIERIX_UPDATER
    m_versionsForm = new UpdateWindow(*m_platform, lang, main);
    m_checkUpdateForm = new UpdateCheckDialog(*m_platform, lang, main);
    const QString product = QString::fromLatin1(kProductName);
    windows.askForUpdateCheck = [this] {
        return m_checkUpdateForm->exec() == UpdateCheckDialog::kYes;
    };
    windows.checkForUpdate = [this, product, main] {
        m_versionsForm->checkForUpdate(product, main->versionText());
    };
    windows.loadAutoCheckSetting = [this] {
        m_checkUpdateForm->loadAutoCheckSetting();
        return m_checkUpdateForm->autoCheckEnabled();
    };
    windows.autoCheckForUpdate = [this, product, main] {
        m_versionsForm->autoCheckForUpdate(product, main->versionText());
    };
#endif
    main->attach(*m_ctx, windows);
    connect(m_backupForm, &ManageWindow::duplicateAllowed, main, &MainWindow::setDuplicateAllowed);
    connect(m_newerForm, &NewFilesWindow::backupChanged, m_backupForm,
            &ManageWindow::refreshBackupFiles);

    m_helpKeys = new HelpKeyFilter(lang, this);
    qApp->installEventFilter(m_helpKeys);
}

void Application::mountTableChanged()
{
    // The drive table is not read again in the middle of a file operation: the walk works on it.
    if (m_mainForm && m_mainForm->operationWorking()) {
        m_mountWatcher->forget();
        return;
    }
    m_platform->reloadDrives();
    if (m_backupForm)
        m_backupForm->refreshDrives();
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
    connect(m_instance, &SingleInstance::raiseRequested, m_mainForm.get(),
            &MainWindow::bringForward);
    m_mountWatcher = new MountWatcher(QStringLiteral("/proc/self/mountinfo"), this);
    connect(m_mountWatcher, &MountWatcher::changed, this, &Application::mountTableChanged);

    // The program ends with its main window, whatever other window still shows (the splash,
    // an update window).
    QApplication::setQuitOnLastWindowClosed(false);
    connect(m_mainForm.get(), &MainWindow::closed, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);

#if KOPIERIX_SCREENSHOTS
    armScreenshotMode(*this);
#endif
    m_mainForm->show();
    return QApplication::exec();
}

} // namespace kx
