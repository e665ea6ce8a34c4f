#include "app/KopierixApp.h"

#include "app/MountWatcher.h"
#include "app/ScreenshotMode.h"
#include "app/SingleInstance.h"
#include "app/TMainForm.h"
#include "dialogs/AboutForm.h"
#include "dialogs/AskDlg.h"
#include "dialogs/HelpKeyFilter.h"
#include "dialogs/MessageForm.h"
#include "dialogs/SplashForm.h"
#include "dialogs/SplashScreen.h"
#include "dialogs/YesNoDlg.h"
#include "manage/TBackupForm.h"
#include "newer/TNieuwerForm.h"
#include "update/TCheckUpdateForm.h"
#include "update/TVersionsForm.h"

#include <QApplication>

namespace kx {

KopierixApp::KopierixApp(std::unique_ptr<LinuxPlatform> platform)
    : m_platform(platform ? std::move(platform) : std::make_unique<LinuxPlatform>()),
      m_facts(GatherSystemFacts(*m_platform)), m_log(*m_platform)
{
    m_state.LanguageCode = m_facts.LanguageCode;
}

KopierixApp::~KopierixApp()
{
    if (m_helpKeys)
        qApp->removeEventFilter(m_helpKeys);
    delete m_helpKeys;
    // The windows below the main one use the engine's context, and through it the main window,
    // until they are gone.
    delete m_backupForm;
    delete m_newerForm;
    delete m_aboutForm;
    delete m_yesNoDlg;
    delete m_messageForm;
    delete m_askDlg;
    delete m_versionsForm;
    delete m_checkUpdateForm;
    m_mainForm.reset();
    m_ctx.reset();
}

TSplashForm* KopierixApp::splash() const
{
    return m_splash.data();
}

void KopierixApp::createWindows()
{
    const QString lang = QString::fromStdString(m_facts.LanguageCode);
    m_mainForm = std::make_unique<TMainForm>(*m_platform, m_state, m_log, m_facts);
    m_ctx = std::make_unique<EngineContext>(
        EngineContext{*m_platform, m_state, *m_mainForm, m_log, m_facts});
    TMainForm* main = m_mainForm.get();
    m_log.reportFailuresTo(main, m_facts.LanguageCode);

    m_backupForm = new TBackupForm(*m_ctx, main);
    m_newerForm = new TNieuwerForm(*m_ctx, main);
    m_aboutForm = new TAboutForm(lang, main->windowTitle(), main->versionText(), main);
    m_yesNoDlg = new TYesNoDlg(lang, main);
    m_messageForm = new TMessageForm(main);
    m_askDlg = new TAskDlg(lang, main->versionText(), main);
    m_versionsForm = new TVersionsForm(*m_platform, lang, main);
    m_checkUpdateForm = new TCheckUpdateForm(*m_platform, lang, main);
    m_aboutForm->setMessageForm(m_messageForm);

    TMainForm::Windows windows;
    windows.backup = m_backupForm;
    windows.newer = m_newerForm;
    windows.about = m_aboutForm;
    windows.yesNo = m_yesNoDlg;
    windows.message = m_messageForm;
    windows.ask = m_askDlg;
    const QString product = QString::fromLatin1(TMainForm::kProductName);
    windows.askForUpdateCheck = [this] {
        return m_checkUpdateForm->exec() == TCheckUpdateForm::kYes;
    };
    windows.checkForUpdate = [this, product, main] {
        m_versionsForm->CheckForUpdate(product, main->versionText());
    };
    windows.loadAutoCheckSetting = [this] {
        m_checkUpdateForm->LoadAutoCheckSetting();
        return m_checkUpdateForm->AutoCheckEnabled();
    };
    windows.autoCheckForUpdate = [this, product, main] {
        m_versionsForm->AutoCheckForUpdate(product, main->versionText());
    };
    main->attach(*m_ctx, windows);
    connect(m_backupForm, &TBackupForm::duplicateAllowed, main, &TMainForm::setDuplicateAllowed);
    connect(m_newerForm, &TNieuwerForm::backupChanged, m_backupForm,
            &TBackupForm::refreshBackupFiles);

    m_helpKeys = new HelpKeyFilter(lang);
    qApp->installEventFilter(m_helpKeys);
}

void KopierixApp::mountTableChanged()
{
    // The drive table is not read again in the middle of a file operation: the walk works on it.
    if (m_state.OperationRunning) {
        m_mountWatcher->forget();
        return;
    }
    m_platform->reloadDrives();
    if (m_backupForm)
        m_backupForm->refreshDrives();
}

int KopierixApp::run()
{
    // The splash greets a second start too, before it hands over to the first.
    m_splash = TSplashScreen::ShowAtStart(QString::fromStdString(m_facts.LanguageCode),
                                          QCoreApplication::applicationFilePath());

    m_instance = new SingleInstance(SingleInstance::ServerName(), this);
    if (m_instance->handOverToRunning())
        return 0;

    createWindows();
    connect(m_instance, &SingleInstance::raiseRequested, m_mainForm.get(),
            &TMainForm::bringForward);
    m_mountWatcher = new MountWatcher(QStringLiteral("/proc/self/mountinfo"), this);
    connect(m_mountWatcher, &MountWatcher::changed, this, &KopierixApp::mountTableChanged);

    // The program ends with its main window, whatever other window still shows (the splash,
    // an update window).
    QApplication::setQuitOnLastWindowClosed(false);
    connect(m_mainForm.get(), &TMainForm::closed, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);

    ArmScreenshotMode(*this);
    m_mainForm->show();
    return QApplication::exec();
}

} // namespace kx
