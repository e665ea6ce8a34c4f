// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/MainWindowTexts.h"
#include "app/Version.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/Help.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/TextInputDialog.h"
#include "dialogs/TimedMessage.h"
#include "dialogs/UiText.h"
#include "engine/Duplicate.h"
#include "engine/MakeBackups.h"
#include "engine/OperationGate.h"
#include "engine/RestoreAll.h"
#include "engine/Settings.h"
#include "engine/VerifyBackups.h"
#include "manage/ManageWindow.h"
#include "newer/NewFilesWindow.h"
#include "worker/BackupDrive.h"
#include "worker/CloseAfterRun.h"
#include "worker/OperationRunner.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace kx {

namespace {

constexpr int kPanelWidth = 133;
constexpr int kStatusPanelHeight = 34;
// The progress bar leaves this much of the status line free on either side.
constexpr int kProgressBarInset = 25;
constexpr int kUpdateDelayMs = 60000;
// An automatic check that falls due while a file operation runs waits this long and tries again:
// it may open a window of its own, which does not belong in the middle of a walk.
constexpr int kUpdateRetryMs = 5000;

QString fromEngine(const std::string& text)
{
    return QString::fromStdString(text);
}

// The engine ends its lines with a carriage return, as the message windows expect.
QString displayText(const std::string& text)
{
    QString s = fromEngine(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace

MainWindow::MainWindow(Platform& platform, DriveFlags& driveFlags, BackupTarget& target,
                       MediaRecords& media, ActivityLog& log, const SystemFacts& facts,
                       QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_driveFlags(driveFlags), m_target(target),
      m_media(media), m_log(log), m_facts(facts), m_language(languageOf(facts.languageCode)),
      m_open([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    // A run works on copies; what it found of the backup drive comes back in its result.
    m_operations.makeBackups = [](EngineContext& ctx) {
        return DriveFindings{.noDisk = kx::makeBackups(ctx).noDisk, .noFloppy = {}};
    };
    m_operations.restoreAll = [](EngineContext& ctx) {
        return DriveFindings{.noDisk = kx::restoreAll(ctx).noDisk, .noFloppy = {}};
    };
    m_operations.verifyBackup = [](EngineContext& ctx) {
        return DriveFindings{.noDisk = kx::verifyBackups(ctx, false).run.noDisk, .noFloppy = {}};
    };
    m_operations.duplicateMedium = [](EngineContext& ctx) {
        const DuplicateResult result = kx::duplicateMedium(ctx);
        return DriveFindings{.noDisk = result.noDisk, .noFloppy = result.noFloppy};
    };
    buildControls();
    placeOffScreen();
}

MainWindow::~MainWindow()
{
    // Every run of the program's windows ends before anything it uses goes, and before the
    // shared window lock is let go: this window's own run first, then those of the manage and
    // newer-files windows, children that QWidget would delete only after this window's members.
    m_runner.reset();
    delete m_windows.backup;
    delete m_windows.newer;
}

void MainWindow::attach(EngineContext& ctx, const Windows& windows)
{
    m_ctx = &ctx;
    m_windows = windows;
    m_runner = std::make_unique<OperationRunner>(ctx, *this);
    connect(m_runner.get(), &OperationRunner::finished, this, &MainWindow::operationFinished);
}

QString MainWindow::text(const Text& text) const
{
    return uiText(m_language, text);
}

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("MainForm"));
    setHelpContext(this, helpcontext::MainWindow);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Central"));
    setCentralWidget(central);

    buildButtonPanel(central);
    buildOutput(central);

    auto* middle = new QHBoxLayout(central);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(m_buttonPanel);
    middle->addWidget(m_output, 1);

    buildStatusLine();
    buildInfoMenu();

    m_updateTimer = new QTimer(this);
    m_updateTimer->setObjectName(QStringLiteral("UpdateTimer"));
    m_updateTimer->setInterval(kUpdateDelayMs);
    m_updateTimer->setSingleShot(true);
    connect(m_updateTimer, &QTimer::timeout, this, &MainWindow::runAutomaticUpdateCheck);
}

QAction* MainWindow::addCommand(const char* actionName, const char* buttonName, const QIcon& icon,
                                const Text& caption, const Text& hint,
                                void (MainWindow::*handler)())
{
    // Each command is an action, shown in the context menu under the action's name and as a
    // button under the button's name; the button follows the action's text and state.
    auto* action = new QAction(icon, QString(), this);
    action->setObjectName(QString::fromLatin1(actionName));
    connect(action, &QAction::triggered, this, handler);
    m_contextMenu->addAction(action);

    auto* button = new QPushButton(m_buttonPanel);
    button->setObjectName(QString::fromLatin1(buttonName));
    button->setIcon(action->icon());
    setHelpContext(button, helpcontext::MainButtons);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    static_cast<QVBoxLayout*>(m_buttonPanel->layout())->addWidget(button);
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, button, [action, button] {
        button->setText(action->text());
        button->setToolTip(action->toolTip());
        button->setEnabled(action->isEnabled());
    });
    m_commands.push_back({action, button, &caption, &hint});
    return action;
}

void MainWindow::buildButtonPanel(QWidget* central)
{
    m_buttonPanel = new QFrame(central);
    m_buttonPanel->setObjectName(QStringLiteral("Panel1"));
    m_buttonPanel->setFixedWidth(kPanelWidth);
    m_buttonPanel->setFrameShape(QFrame::StyledPanel);
    setHelpContext(m_buttonPanel, helpcontext::MainWindow);
    auto* buttons = new QVBoxLayout(m_buttonPanel);
    buttons->setContentsMargins(2, 2, 2, 2);
    buttons->setSpacing(2);

    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("PopupMenu1"));

    // The icons are the desktop theme's, so that the buttons look like the rest of the desktop;
    // the style's own glyph stands in where the theme has none.
    const auto icon = [this](const char* themeIcon, QStyle::StandardPixmap glyph) {
        return QIcon::fromTheme(QLatin1String(themeIcon), style()->standardIcon(glyph));
    };
    m_newFilesAction =
        addCommand("Nieuwer", "NieuwerBtn", icon("document-new", QStyle::SP_FileIcon),
                   apptext::newFiles, apptext::newFilesHint, &MainWindow::showNewFiles);
    m_makeBackupsAction = addCommand(
        "BackupsMaken", "MaakBackupBtn", icon("document-save", QStyle::SP_DialogSaveButton),
        apptext::makeBackups, apptext::makeBackupsHint, &MainWindow::makeBackups);
    m_manageAction =
        addCommand("Beheren", "BeheerBtn", icon("folder", QStyle::SP_DirIcon), apptext::manage,
                   apptext::manageHint, &MainWindow::showManageWindow);
    m_restoreAllAction = addCommand(
        "Herstellen", "HerstellenBtn", icon("document-revert", QStyle::SP_DialogResetButton),
        apptext::restoreAll, apptext::restoreAllHint, &MainWindow::restoreAll);
    m_duplicateAction = addCommand(
        "Dupliceren", "DuplicerenBtn", icon("drive-removable-media", QStyle::SP_DriveCDIcon),
        apptext::duplicate, apptext::duplicateHint, &MainWindow::duplicateMedium);
    m_viewLogAction = addCommand("LogBekijken", "LogBekijkenBtn",
                                 icon("text-x-generic", QStyle::SP_FileDialogDetailedView),
                                 apptext::viewLog, apptext::viewLogHint, &MainWindow::openLog);
    m_updateAction = addCommand("UpdateBackup1", "UpdateBtn",
                                icon("system-software-update", QStyle::SP_BrowserReload),
                                apptext::update, apptext::updateHint, &MainWindow::showUpdateCheck);
    if (!KOPIERIX_UPDATER) {
        // A build without the update check (a distribution's: its package manager updates the
        // program) offers neither the button nor the menu item.
        m_updateAction->setVisible(false);
        m_commands.back().button->hide();
    }
    m_infoAction =
        addCommand("Informatie2", "InfoBtn", icon("help-about", QStyle::SP_MessageBoxInformation),
                   apptext::info, apptext::infoHint, &MainWindow::showInfoMenu);
    m_infoButton = m_commands.back().button;
    m_closeAction =
        addCommand("Afsluiten", "CloseBtn", icon("application-exit", QStyle::SP_DialogCloseButton),
                   apptext::close, apptext::closeHint, &MainWindow::closeProgram);

    // Checking the copies is an occasional command: the menu has room for it, the row of nine
    // buttons has not.
    m_verifyAction = new QAction(QIcon::fromTheme(QStringLiteral("edit-find")), QString(), this);
    m_verifyAction->setObjectName(QStringLiteral("BackupControleren"));
    connect(m_verifyAction, &QAction::triggered, this, &MainWindow::verifyBackup);
    m_contextMenu->insertAction(m_manageAction, m_verifyAction);
}

void MainWindow::buildOutput(QWidget* central)
{
    m_output = new QPlainTextEdit(central);
    m_output->setObjectName(QStringLiteral("Memo1"));
    m_output->setReadOnly(true);
    m_output->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHelpContext(m_output, helpcontext::MainOutput);
    // The text area's own menu offers the program's commands, as the rest of the window does,
    // and Copy in the user's language in place of the toolkit's English menu.
    m_copyAction = new QAction(this);
    m_copyAction->setObjectName(QStringLiteral("Kopieren"));
    m_copyAction->setEnabled(false);
    connect(m_copyAction, &QAction::triggered, m_output, &QPlainTextEdit::copy);
    connect(m_output, &QPlainTextEdit::copyAvailable, m_copyAction, &QAction::setEnabled);
    m_outputMenu = new QMenu(this);
    m_outputMenu->setObjectName(QStringLiteral("MemoMenu"));
    m_outputMenu->addActions(m_contextMenu->actions());
    m_outputMenu->addSeparator();
    m_outputMenu->addAction(m_copyAction);
    m_output->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_output, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // A scroll area reports the place in its viewport.
        m_outputMenu->popup(m_output->viewport()->mapToGlobal(at));
    });
}

void MainWindow::buildStatusLine()
{
    // The status line: the drive's text above a progress bar that is 50 narrower than the
    // line and centred under it.
    m_statusPanel = new QFrame;
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel"));
    m_statusPanel->setFixedHeight(kStatusPanelHeight);
    m_statusPanel->setFrameShape(QFrame::StyledPanel);
    setHelpContext(m_statusPanel, helpcontext::MainStatus);
    m_statusLabel = new QLabel(m_statusPanel);
    m_statusLabel->setObjectName(QStringLiteral("StatusLabel"));
    m_progressBar = new QProgressBar(m_statusPanel);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(false);
    m_progressBar->setFixedHeight(12);
    m_progressBar->hide();
    auto* statusLines = new QVBoxLayout(m_statusPanel);
    statusLines->setContentsMargins(0, 1, 0, 0);
    statusLines->setSpacing(0);
    auto* labelRow = new QHBoxLayout;
    labelRow->setContentsMargins(4 - m_statusPanel->frameWidth(), 0,
                                 4 - m_statusPanel->frameWidth(), 0);
    labelRow->addWidget(m_statusLabel);
    auto* barRow = new QHBoxLayout;
    // The frame takes its share of the inset.
    const int barInset = kProgressBarInset - m_statusPanel->frameWidth();
    barRow->setContentsMargins(barInset, 0, barInset, 0);
    barRow->addWidget(m_progressBar);
    statusLines->addLayout(labelRow);
    statusLines->addLayout(barRow);
    statusLines->addStretch();
    // A hidden bar keeps its place, so that the status text does not move when it shows.
    QSizePolicy keepPlace = m_progressBar->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_progressBar->setSizePolicy(keepPlace);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(m_statusPanel, 1);
}

void MainWindow::buildInfoMenu()
{
    m_infoPopup = new QMenu(this);
    m_infoPopup->setObjectName(QStringLiteral("InfoPopup"));
    m_helpContentsAction = m_infoPopup->addAction(QString(), this, &MainWindow::showHelpContents);
    m_helpContentsAction->setObjectName(QStringLiteral("HelpInhoud"));
    m_helpIndex = m_infoPopup->addAction(QString(), this, &MainWindow::showHelpIndex);
    m_helpIndex->setObjectName(QStringLiteral("HelpIndex"));
    // F1 belongs to the index while the menu is open; elsewhere it opens the help at the focused
    // control's topic (the program's help key filter).
    m_helpIndex->setShortcut(QKeySequence(Qt::Key_F1));
    QAction* n1 = m_infoPopup->addSeparator();
    n1->setObjectName(QStringLiteral("N1"));
    m_aboutAction = m_infoPopup->addAction(QString(), this, &MainWindow::showAboutDialog);
    m_aboutAction->setObjectName(QStringLiteral("Informatie"));
    m_mouseToButtonAction = m_infoPopup->addAction(QString());
    m_mouseToButtonAction->setObjectName(QStringLiteral("MuisNaarKnop"));
    m_mouseToButtonAction->setVisible(false);
}

void MainWindow::placeOffScreen()
{
    // Almost wholly off-screen until the first paint places the window.
    resize(150, 342);
    move(1 - width(), 100);
    setWindowTitle(QString::fromLatin1(kProductName));
    m_progressBar->hide();
    setTexts();

    m_firstPaintDone = false;
    m_target.perComputerFolders = false;
    m_driveFlags.noDisk = false;
    m_driveFlags.noFloppy = false;
    userDataFolder(m_platform);
    m_target.computerFolder = computerName(m_platform);
    readSettings(m_platform, m_target, m_media, *this, m_language);
    m_firstTime = readFirstTime(m_platform);
}

void MainWindow::setTexts()
{
    m_versionText = QString::fromStdString(kx::versionText(m_language));
    for (const Command& command : m_commands) {
        command.action->setToolTip(text(*command.hint));
        command.action->setText(text(*command.caption));
    }
    m_verifyAction->setText(text(apptext::verifyBackup));
    // The panel is 133 wide; a font wider than the one it was drawn for widens it, rather than
    // cutting a caption short.
    int widest = 0;
    for (const Command& command : m_commands)
        widest = std::max(widest, command.button->sizeHint().width());
    const QMargins margins = m_buttonPanel->layout()->contentsMargins();
    m_buttonPanel->setFixedWidth(std::max(kPanelWidth, widest + margins.left() + margins.right() +
                                                           2 * m_buttonPanel->frameWidth()));

    m_helpContentsAction->setText(text(apptext::helpContents));
    m_helpIndex->setText(text(apptext::helpIndex));
    m_mouseToButtonAction->setText(text(apptext::mouseToButton));
    m_aboutAction->setText(text(apptext::about));
    m_copyAction->setText(text(apptext::copy));

    setWindowTitle(
        (QString::fromLatin1(kProductName) + QStringLiteral(" - ") + m_versionText).left(24));
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The first paint's work opens message boxes and moves the window: it runs just after the
    // window has been shown, not inside a paint.
    if (!m_firstPaintQueued) {
        m_firstPaintQueued = true;
        QTimer::singleShot(0, this, &MainWindow::firstPaint);
    }
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    // Outside a walk the progress bar is not seen.
    if (!operationWorking())
        m_progressBar->hide();
    QMainWindow::paintEvent(event);
}

void MainWindow::firstPaint()
{
    if (m_firstPaintDone)
        return;
    m_firstPaintDone = true;
    m_progressBar->hide();

    if (m_windows.loadAutoCheckSetting && m_windows.loadAutoCheckSetting())
        m_updateTimer->start();

    startLog();

    // The drive the settings name becomes the backup drive now that the windows are up.
    if (m_windows.backupDrive)
        m_windows.backupDrive->start();

    const WindowGeometry g = readMainWindowGeometry(m_platform);
    resize(g.width, g.height);
    // The settings hold the frame's place, as x() and y() give it at the close. move() would
    // take the frame as far as it is known now, and a window manager tells it only after the
    // first paint: the window would open a title bar higher than it was closed. Asked for the
    // frame's place, the window manager puts the frame there.
    windowHandle()->setFramePosition(QPoint(g.left, g.top));

    showInstructions();

    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    emit firstPaintFinished();
}

void MainWindow::startLog()
{
    // A new log at the windows' start, unless a headless run is writing the current one: its
    // lines stay together, and ours follow our own date line.
    m_windowsLock.lockShared();
    OperationLock operation;
    if (operation.tryLock())
        m_log.rotate(m_facts.languageCode);
    else
        m_log.resume(m_facts.languageCode);
}

void MainWindow::showInstructions()
{
    m_output->clear();
    m_output->appendPlainText(text(m_firstTime ? apptext::firstUse : apptext::orderOfActions));
    for (const QString& line : std::as_const(m_failuresAtStart))
        m_output->appendPlainText(line);
    m_failuresAtStart.clear();
    m_instructionsShown = true;
    m_output->moveCursor(QTextCursor::Start);
}

bool MainWindow::running() const
{
    return m_runner && m_runner->isRunning();
}

bool MainWindow::operationWorking() const
{
    return running() || (m_windows.backup && m_windows.backup->isWorking()) ||
           (m_windows.newer && m_windows.newer->isWorking());
}

bool MainWindow::askToStop()
{
    const bool yes = askToStopRun(this, QString::fromStdString(m_facts.languageCode), *m_runner);
    if (yes)
        m_runner->stop();
    return yes;
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && running()) {
        askToStop();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The window goes after the run has ended: its lines and its summary have a place to go,
    // and what it left is stored with the drive.
    const auto askToStop = [this] {
        return askToStopRun(this, QString::fromStdString(m_facts.languageCode), *m_runner);
    };
    if (m_runner && !closeAfterRun(*m_runner, askToStop, [this] { close(); })) {
        event->ignore();
        return;
    }
    // The manage or newer-files window's own run ends first: that window asks about its stop.
    if (operationWorking()) {
        event->ignore();
        return;
    }
    // A window that was never placed has no geometry worth remembering.
    if (m_firstPaintDone)
        writeSettings(m_platform, m_target, WindowGeometry{x(), y(), width(), height()});
    QMainWindow::closeEvent(event);
    emit closed();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    m_contextMenu->popup(event->globalPos());
}

void MainWindow::bringForward()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

// ---- The engine's user interface

void MainWindow::addLine(const std::string& line)
{
    m_output->appendPlainText(fromEngine(line));
}

void MainWindow::failure(const std::string& line)
{
    // The activity log tells its failure from whichever thread wrote the line.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, line] { failure(line); }, Qt::QueuedConnection);
        return;
    }
    if (m_instructionsShown)
        addLine(line);
    else
        m_failuresAtStart << fromEngine(line);
}

void MainWindow::clearLines()
{
    m_output->clear();
}

void MainWindow::progress(int position)
{
    m_progressBar->setValue(std::clamp(position, 0, 100));
}

void MainWindow::showProgress(bool shown)
{
    m_progressBar->setVisible(shown);
    // The next run says anew whether it knows its total.
    if (!shown)
        m_progressBar->setRange(0, 100);
}

void MainWindow::progressTotalKnown(bool known)
{
    // Without a total (the medium's first run) the bar shows that the run works, not how far.
    m_progressBar->setRange(0, known ? 100 : 0);
}

void MainWindow::status(const std::string& text)
{
    m_statusLabel->setText(fromEngine(text));
}

bool MainWindow::askYesNo(const std::string& caption, const std::string& question)
{
    if (!m_windows.yesNo)
        return false;
    const QString lang = QString::fromStdString(m_facts.languageCode);
    const QString title = fromEngine(caption);
    const auto [yes, no] = yesNoAnswerTexts(lang, title);
    return m_windows.yesNo->askYesNo(frameGeometry(), title, fromEngine(question), yes, no);
}

bool MainWindow::askCopyWhatFits(const std::string& caption, const std::string& shortage,
                                 const std::string& question)
{
    return askYesNo(caption, copyWhatFitsQuestion(shortage, question));
}

bool MainWindow::askText(const std::string& caption, const std::string& prompt, std::string& answer)
{
    // The text question carries the program's name and version as its caption.
    Q_UNUSED(caption);
    if (!m_windows.ask)
        return false;
    QString text = fromEngine(answer);
    const bool ok = m_windows.ask->askText(frameGeometry(), fromEngine(prompt), text);
    answer = text.toStdString();
    return ok;
}

void MainWindow::showTimed(const std::string& text, int seconds)
{
    if (!m_windows.message)
        return;
    const QString all = fromEngine(text);
    const qsizetype cr = all.indexOf(QLatin1Char('\r'));
    const QString line1 = cr < 0 ? all : all.left(cr);
    const QString line2 = cr < 0 ? QString() : all.mid(cr + 1);
    m_windows.message->showTimed(line1, line2, seconds * 1000, frameGeometry());
}

void MainWindow::warn(const std::string& message)
{
    QMessageBox box(QMessageBox::Warning, text(apptext::warning), displayText(message),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("WarningBox"));
    box.exec();
}

void MainWindow::inform(const std::string& message)
{
    QMessageBox box(QMessageBox::Information, text(apptext::information), displayText(message),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("InformationBox"));
    box.exec();
}

void MainWindow::busy(bool on)
{
    // One cursor for the whole program, as a plain setting: no stack of hourglasses.
    if (on) {
        if (QApplication::overrideCursor())
            QApplication::changeOverrideCursor(Qt::WaitCursor);
        else
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
}

// ---- Commands

void MainWindow::runOperation(QAction* command, const Text& clickLine,
                              std::function<DriveFindings(EngineContext&)> operation,
                              std::function<void()> afterwards)
{
    if (!m_ctx || !m_runner)
        return;
    // While it runs, the command's button is its Stop.
    if (running()) {
        if (command == m_runningCommand)
            m_runner->stop();
        return;
    }
    auto lock = std::make_unique<OperationLock>();
    if (!lockOperation(*lock, *m_ctx))
        return;
    m_log.writeLog(inLanguage(m_language, clickLine));
    m_runningCommand = command;
    m_afterRun = std::move(afterwards);
    updateCommands();
    m_runner->start(std::move(operation), std::move(lock));
}

void MainWindow::operationFinished()
{
    applyRunResult(m_runner->outcome());
    m_runningCommand = nullptr;
    updateCommands();
    if (m_afterRun)
        std::exchange(m_afterRun, {})();
}

void MainWindow::applyRunResult(const RunOutcome& outcome)
{
    // Kept for the manage window, which stores the drive at its close only when it held a
    // medium.
    m_windows.backupDrive->apply(outcome);
}

void MainWindow::updateCommands()
{
    for (const Command& command : m_commands) {
        const bool isRunning = m_runningCommand && command.action == m_runningCommand;
        command.action->setText(text(isRunning ? apptext::stop : *command.caption));
        bool enabled = !m_runningCommand || isRunning;
        if (command.action == m_duplicateAction && !isRunning)
            enabled = enabled && m_duplicateAllowed;
        command.action->setEnabled(enabled);
    }
    const bool verifying = m_runningCommand && m_verifyAction == m_runningCommand;
    m_verifyAction->setText(text(verifying ? apptext::stop : apptext::verifyBackup));
    m_verifyAction->setEnabled(!m_runningCommand || verifying);
}

void MainWindow::showNewFiles()
{
    m_log.writeLog(inLanguage(m_language, apptext::newFilesClicked));
    busy(true);
    if (m_windows.newer)
        m_windows.newer->exec();
    busy(false);
}

void MainWindow::makeBackups()
{
    runOperation(m_makeBackupsAction, apptext::makeBackupsClicked, m_operations.makeBackups);
}

void MainWindow::showManageWindow()
{
    m_log.writeLog(inLanguage(m_language, apptext::manageClicked));
    clearLines();
    if (m_windows.backup)
        m_windows.backup->exec();
}

void MainWindow::restoreAll()
{
    runOperation(m_restoreAllAction, apptext::restoreAllClicked, m_operations.restoreAll, [this] {
        // The manage window shows the restored files.
        if (m_windows.backup)
            m_windows.backup->refreshSourceFiles();
    });
}

void MainWindow::duplicateMedium()
{
    runOperation(m_duplicateAction, apptext::duplicateClicked, m_operations.duplicateMedium,
                 [this] {
                     // The new medium carries a new name; the drive lists show it.
                     if (m_windows.backup)
                         m_windows.backup->refreshDrives();
                 });
}

void MainWindow::verifyBackup()
{
    runOperation(m_verifyAction, apptext::verifyBackupChosen, m_operations.verifyBackup);
}

void MainWindow::openLog()
{
    m_log.writeLog(inLanguage(m_language, apptext::viewLogClicked));
    // The desktop's viewer for text files.
    openOrShowWhere(this, QString::fromStdString(m_facts.languageCode),
                    QUrl::fromLocalFile(QString::fromStdString(m_log.currentLogPath())), m_open);
}

void MainWindow::showUpdateCheck()
{
    if (m_windows.askForUpdateCheck && m_windows.askForUpdateCheck() && m_windows.checkForUpdate)
        m_windows.checkForUpdate();
}

void MainWindow::showInfoMenu()
{
    m_log.writeLog(inLanguage(m_language, apptext::infoClicked));
    m_infoPopup->popup(m_infoButton->mapToGlobal(QPoint(0, 0)));
}

void MainWindow::closeProgram()
{
    m_log.writeLog(inLanguage(m_language, apptext::closeClicked));
    close();
}

void MainWindow::showHelpContents()
{
    const QString lang = QString::fromStdString(m_facts.languageCode);
    openOrShowWhere(this, lang, helpUrl(lang, 0), m_open);
}

void MainWindow::showHelpIndex()
{
    const QString lang = QString::fromStdString(m_facts.languageCode);
    openOrShowWhere(this, lang, helpIndexUrl(lang), m_open);
}

void MainWindow::setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    m_open = std::move(opener);
}

void MainWindow::showAboutDialog()
{
    if (m_windows.about)
        m_windows.about->exec();
}

void MainWindow::setDuplicateAllowed(bool allowed)
{
    m_duplicateAllowed = allowed;
    updateCommands();
}

void MainWindow::runAutomaticUpdateCheck()
{
    m_updateTimer->stop();
    if (operationWorking()) {
        m_updateTimer->start(kUpdateRetryMs);
        return;
    }
    if (m_windows.autoCheckForUpdate)
        m_windows.autoCheckForUpdate();
}

} // namespace kx
