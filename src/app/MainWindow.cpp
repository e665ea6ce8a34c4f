#include "app/MainWindow.h"

#include "dialogs/AboutDialog.h"
#include "dialogs/Help.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/TextInputDialog.h"
#include "dialogs/TimedMessage.h"
#include "engine/Duplicate.h"
#include "engine/MakeBackups.h"
#include "engine/MediumRecords.h"
#include "engine/OperationGate.h"
#include "engine/RestoreAll.h"
#include "engine/Settings.h"
#include "manage/ManageWindow.h"
#include "newer/NewFilesWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace kx {

namespace {

constexpr int kPanelWidth = 133;
constexpr int kStatusPanelHeight = 34;
constexpr int kUpdateDelayMs = 60000;
// An automatic check that falls due while a file operation runs waits this long and tries again:
// it may open a window of its own, which does not belong in the middle of a walk.
constexpr int kUpdateRetryMs = 5000;

struct ButtonText
{
    const char* nlCaption;
    const char* nlHint;
    const char* enCaption;
    const char* enHint;
};

constexpr ButtonText kNewFilesButton{"Nieuw Aangemaakt", "Toon nieuw gecreëerde bestanden",
                                     "Newly Created", "Show newly created files"};
constexpr ButtonText kMakeBackupsButton{"Backups Maken", "Verfris alle Backups", "Make Backup",
                                        "Make Backups"};
constexpr ButtonText kManageButton{"Beheren", "Voeg Backups toe of Verwijder ze", "Manage",
                                   "Add Files to Backup or remove them"};
constexpr ButtonText kRestoreAllButton{"Alles Herstellen", "Herstel alle bestanden vanuit Backup",
                                       "Restore", "Restore all Files from Backup"};
constexpr ButtonText kDuplicateButton{"Dupliceren", "Dupliceer de Backupschijf", "Duplicate",
                                      "Duplicate the Backup disk"};
constexpr ButtonText kViewLogButton{"Log Bekijken", "Bekijk het Logbestand", "View Log File",
                                    "View the Log File"};
constexpr ButtonText kUpdate{"Update Kopierix", "Check voor Updates", "Update",
                             "Check for Updates"};
constexpr ButtonText kInfo{"Informatie", "Toon Informatie en Help", "Info", "Show Help and About"};
constexpr ButtonText kClose{"Afsluiten", "Sluit Kopierix af", "Close", "Close Kopierix"};

const char* const kFirstUseNl[] = {
    "Eerste gebruik:",
    " 1. Klik eerst op de knop \"Beheren\".",
    " 2. Kies het juiste Backupmedium (onder Backup).",
    " 3. Kopieer de gewenste bestanden naar het Backupmedium (Knop \"Voeg toe\" of \"->\")",
    " 4. Sluit het beheervenster.",
    "",
    "De volgende keren kunt u eenvoudig op de knop \"Backups Maken\" klikken om uw",
    "Backup weer up to date te maken.",
    "Bij het Backups Maken worden alleen die bestanden van de Bron-schijven gekopiëerd, die",
    "nieuwer zijn dan de reeds bestaande Backup-bestanden.",
};

const char* const kFirstUseEn[] = {
    "First use:",
    " 1. Click the button \"Manage\".",
    " 2. Select the right Backup medium (below Backup).",
    " 3. Copy the file to be backed up to the Backup medium (Knop \"Voeg toe\" of \"->\")",
    " 4. Close the Manage Window.",
    "",
    "Next time simply click the button \"Make Backups\" to refresh your Backup.",
    "In the Backup Process only the files that are modified are backed up.",
};

const char* const kOrderNl[] = {
    "Volgorde van handelingen:",
    "",
    "1. Klik eerst op de knop \"Nieuwer\";",
    "2. Als er bestanden worden getoond, selecteer dan de bestanden, waarvan u in het vervolg "
    "Backups wilt maken;",
    "3. Klik op \"Voegtoe\" om de geselecteerde bestanden toe te voegen aan de "
    "Backup-bestanden;",
    "4. Sluit het venster \"Nieuwer\";",
    "5. Klik op \"Backups Maken\".",
    "",
    "Van de bestanden, die u in het venster \"Nieuwer\" toevoegde, wordt de volgende keer ook "
    "Backups gemaakt.",
};

const char* const kOrderEn[] = {
    "Order of actions:",
    "",
    "1. First click the button \"Newer\";",
    "2. If files are visible then select those you want to backup;",
    "3. Click \"Add\" to add the selected files to the Files already Backed Up;",
    "4. Close the window \"Newer\";",
    "5. Click \"Make Backups\".",
    "",
    "The Files, that you added in the window \"Newer\", will backed up too next time.",
};

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

// Sets the flag for the length of one file operation, also when the operation throws.
class OperationScope
{
public:
    explicit OperationScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~OperationScope() { m_flag = false; }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

MainWindow::MainWindow(Platform& platform, ProgramState& state, ActivityLog& log,
                       const SystemFacts& facts, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_state(state), m_log(log), m_facts(facts)
{
    buildControls();
    placeOffScreen();
}

MainWindow::~MainWindow() = default;

void MainWindow::attach(EngineContext& ctx, const Windows& windows)
{
    m_ctx = &ctx;
    m_windows = windows;
}

QString MainWindow::nlEn(const char* dutch, const char* english) const
{
    return QString::fromUtf8(m_facts.languageCode == "nld" ? dutch : english);
}

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("MainForm"));
    setHelpContext(this, helpcontext::MainWindow);

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFixedWidth(kPanelWidth);
    m_panel1->setFrameShape(QFrame::StyledPanel);
    setHelpContext(m_panel1, helpcontext::MainWindow);
    auto* buttons = new QVBoxLayout(m_panel1);
    buttons->setContentsMargins(2, 2, 2, 2);
    buttons->setSpacing(2);

    const auto makeButton = [&](const char* name, QStyle::StandardPixmap glyph) {
        auto* button = new QPushButton(m_panel1);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(glyph));
        setHelpContext(button, helpcontext::MainButtons);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        buttons->addWidget(button);
        return button;
    };
    m_newFilesButton = makeButton("NieuwerBtn", QStyle::SP_FileIcon);
    m_makeBackupsButton = makeButton("MaakBackupBtn", QStyle::SP_DialogSaveButton);
    m_manageButton = makeButton("BeheerBtn", QStyle::SP_DirIcon);
    m_restoreAllButton = makeButton("HerstellenBtn", QStyle::SP_DialogResetButton);
    m_duplicateButton = makeButton("DuplicerenBtn", QStyle::SP_DriveCDIcon);
    m_viewLogButton = makeButton("LogBekijkenBtn", QStyle::SP_FileDialogDetailedView);
    m_updateBtn = makeButton("UpdateBtn", QStyle::SP_BrowserReload);
    m_infoBtn = makeButton("InfoBtn", QStyle::SP_MessageBoxInformation);
    m_closeBtn = makeButton("CloseBtn", QStyle::SP_DialogCloseButton);

    m_output = new QPlainTextEdit(this);
    m_output->setObjectName(QStringLiteral("Memo1"));
    m_output->setReadOnly(true);
    m_output->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHelpContext(m_output, helpcontext::MainMemo);

    // The status panel places its two controls itself (see layOutControls).
    m_statusPanel = new QFrame(this);
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
    m_progressBar->hide();

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(m_panel1);
    middle->addWidget(m_output, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(middle, 1);
    outer->addWidget(m_statusPanel);

    connect(m_newFilesButton, &QPushButton::clicked, this, &MainWindow::showNewFiles);
    connect(m_makeBackupsButton, &QPushButton::clicked, this, &MainWindow::makeBackups);
    connect(m_manageButton, &QPushButton::clicked, this, &MainWindow::showManageWindow);
    connect(m_restoreAllButton, &QPushButton::clicked, this, &MainWindow::restoreAll);
    connect(m_duplicateButton, &QPushButton::clicked, this, &MainWindow::duplicateMedium);
    connect(m_viewLogButton, &QPushButton::clicked, this, &MainWindow::openLog);
    connect(m_updateBtn, &QPushButton::clicked, this, &MainWindow::showUpdateCheck);
    connect(m_infoBtn, &QPushButton::clicked, this, &MainWindow::showInfoMenu);
    connect(m_closeBtn, &QPushButton::clicked, this, &MainWindow::closeProgram);

    // The window's context menu: one item for each button, calling the same handler.
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const auto mirror = [&](const char* name, QPushButton* button, void (MainWindow::*handler)()) {
        QAction* item = m_contextMenu->addAction(button->icon(), QString());
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, handler);
    };
    mirror("Nieuwer", m_newFilesButton, &MainWindow::showNewFiles);
    mirror("BackupsMaken", m_makeBackupsButton, &MainWindow::makeBackups);
    mirror("Beheren", m_manageButton, &MainWindow::showManageWindow);
    mirror("Herstellen", m_restoreAllButton, &MainWindow::restoreAll);
    mirror("Dupliceren", m_duplicateButton, &MainWindow::duplicateMedium);
    mirror("LogBekijken", m_viewLogButton, &MainWindow::openLog);
    mirror("UpdateBackup1", m_updateBtn, &MainWindow::showUpdateCheck);
    mirror("Informatie2", m_infoBtn, &MainWindow::showInfoMenu);
    mirror("Afsluiten", m_closeBtn, &MainWindow::closeProgram);

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

    m_updateTimer = new QTimer(this);
    m_updateTimer->setObjectName(QStringLiteral("UpdateTimer"));
    m_updateTimer->setInterval(kUpdateDelayMs);
    m_updateTimer->setSingleShot(true);
    connect(m_updateTimer, &QTimer::timeout, this, &MainWindow::runAutomaticUpdateCheck);
}

void MainWindow::placeOffScreen()
{
    // Almost wholly off-screen until the first paint places the window.
    resize(150, 342);
    move(1 - width(), 100);
    setWindowTitle(QString::fromLatin1(kProductName));
    m_progressBar->hide();
    m_state.languageCode = m_facts.languageCode;
    setTexts();

    m_firstPaintDone = false;
    m_state.mainFormReady = false;
    m_state.perComputerFolders = false;
    m_state.noDisk = false;
    m_state.noFloppy = false;
    m_state.floppyWarned = false;
    userDataFolder(m_platform);
    m_state.computerFolder = computerName(m_platform);
    readSettings(m_platform, m_state, *this);
}

void MainWindow::setTexts()
{
    m_versionText = nlEn("versie 1.01b", "version 1.01b");
    const std::pair<QPushButton*, const ButtonText*> buttons[] = {
        {m_newFilesButton, &kNewFilesButton},
        {m_makeBackupsButton, &kMakeBackupsButton},
        {m_manageButton, &kManageButton},
        {m_restoreAllButton, &kRestoreAllButton},
        {m_duplicateButton, &kDuplicateButton},
        {m_viewLogButton, &kViewLogButton},
        {m_updateBtn, &kUpdate},
        {m_infoBtn, &kInfo},
        {m_closeBtn, &kClose},
    };
    // The context menu's items follow the buttons, in the same order.
    const QList<QAction*> items = m_contextMenu->actions();
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        const auto& [button, text] = buttons[i];
        button->setText(nlEn(text->nlCaption, text->enCaption));
        button->setToolTip(nlEn(text->nlHint, text->enHint));
        items[static_cast<qsizetype>(i)]->setText(button->text());
    }
    // The panel is 133 wide; a font wider than the one it was drawn for widens it, rather than
    // cutting a caption short.
    int widest = 0;
    for (const auto& [button, text] : buttons)
        widest = std::max(widest, button->sizeHint().width());
    const QMargins margins = m_panel1->layout()->contentsMargins();
    m_panel1->setFixedWidth(std::max(kPanelWidth, widest + margins.left() + margins.right() +
                                                      2 * m_panel1->frameWidth()));

    m_helpContentsAction->setText(nlEn("Help - Inhoud", "Help - Contents"));
    m_helpIndex->setText(QStringLiteral("Help - Index"));
    m_mouseToButtonAction->setText(nlEn("Muis Naar Knop", "Mouse to Button"));
    m_aboutAction->setText(nlEn("&Informatie", "About"));

    setWindowTitle(
        (QString::fromLatin1(kProductName) + QStringLiteral(" - ") + m_versionText).left(24));
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
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
    if (!m_state.operationRunning)
        m_progressBar->hide();
    QWidget::paintEvent(event);
}

void MainWindow::firstPaint()
{
    if (m_firstPaintDone)
        return;
    m_firstPaintDone = true;
    m_progressBar->hide();

    m_state.startDir = m_platform.currentDirectory();
    if (m_state.startDir.empty() || m_state.startDir.back() != '\\')
        m_state.startDir += '\\';

    if (m_windows.loadAutoCheckSetting && m_windows.loadAutoCheckSetting())
        m_updateTimer->start();

    startLog();

    // The manage window is the one place where the backup drive is chosen.
    const char drive = m_state.backupBase.empty() ? 'c' : m_state.backupBase[0];
    if (m_windows.backup) {
        m_windows.backup->onSourceDriveChanged();
        m_windows.backup->selectBackupDrive(drive);
        m_state.mainFormReady = true;
        m_windows.backup->onBackupDriveChanged();
    } else {
        m_state.mainFormReady = true;
        if (m_ctx)
            selectBackupDrive(*m_ctx, drive);
    }

    const WindowGeometry g = readMainWindowGeometry(m_platform);
    move(g.left, g.top);
    resize(g.width, g.height);

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
    const auto fill = [&](const auto& lines) {
        for (const char* line : lines)
            m_output->appendPlainText(QString::fromUtf8(line));
    };
    const bool dutch = m_facts.languageCode == "nld";
    if (m_state.firstTime) {
        if (dutch)
            fill(kFirstUseNl);
        else
            fill(kFirstUseEn);
    } else {
        if (dutch)
            fill(kOrderNl);
        else
            fill(kOrderEn);
    }
    for (const QString& line : std::as_const(m_failuresAtStart))
        m_output->appendPlainText(line);
    m_failuresAtStart.clear();
    m_instructionsShown = true;
    m_output->moveCursor(QTextCursor::Start);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOutControls();
}

void MainWindow::layOutControls()
{
    // The bar is 50 narrower than the window and centred; the status text lies above it.
    const int clientWidth = width();
    const int barWidth = clientWidth - 50;
    m_progressBar->setGeometry((clientWidth - barWidth) / 2, 18, barWidth, 12);
    m_statusLabel->setGeometry(4, 1, clientWidth - 8, 17);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The walk that runs would go on without its window.
    if (m_state.operationRunning) {
        event->ignore();
        return;
    }
    // A window that was never placed has no geometry worth remembering.
    if (m_firstPaintDone)
        writeSettings(m_platform, m_state, WindowGeometry{x(), y(), width(), height()});
    QWidget::closeEvent(event);
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

void MainWindow::memo(const std::string& line)
{
    m_output->appendPlainText(fromEngine(line));
}

void MainWindow::failure(const std::string& line)
{
    if (m_instructionsShown)
        memo(line);
    else
        m_failuresAtStart << fromEngine(line);
}

void MainWindow::clearMemo()
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
}

void MainWindow::pump()
{
    QCoreApplication::processEvents();
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

void MainWindow::warn(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, nlEn("Waarschuwing", "Warning"), displayText(text),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("WarningBox"));
    box.exec();
}

void MainWindow::inform(const std::string& text)
{
    QMessageBox box(QMessageBox::Information, nlEn("Informatie", "Information"), displayText(text),
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

// ---- Buttons and menu items

void MainWindow::runOperation(const std::function<void()>& operation)
{
    if (!m_ctx)
        return;
    OperationLock lock;
    if (m_state.operationRunning || !lock.tryLock()) {
        warn(operationRefusal(m_facts.languageCode));
        return;
    }
    OperationScope scope(m_state.operationRunning);
    operation();
}

void MainWindow::showNewFiles()
{
    if (m_state.operationRunning)
        return;
    m_log.writeLog(nlEn("Knop \"Nieuw Aangemaakt\" geklikt", "Button \"Newly Created\" clicked")
                       .toStdString());
    busy(true);
    pump();
    if (m_windows.newer)
        m_windows.newer->exec();
    busy(false);
}

void MainWindow::makeBackups()
{
    runOperation([this] { kx::makeBackups(*m_ctx); });
}

void MainWindow::showManageWindow()
{
    if (m_state.operationRunning)
        return;
    m_log.writeLog(nlEn("Knop \"Beheren\" geklikt", "Button \"Manage\" clicked").toStdString());
    clearMemo();
    if (m_windows.backup)
        m_windows.backup->exec();
}

void MainWindow::restoreAll()
{
    runOperation([this] {
        kx::restoreAll(*m_ctx);
        // The manage window shows the restored files.
        if (m_windows.backup)
            m_windows.backup->refreshSourceFiles();
    });
}

void MainWindow::duplicateMedium()
{
    runOperation([this] {
        kx::duplicateMedium(*m_ctx);
        // The new medium carries a new name; the drive lists show it.
        if (m_windows.backup)
            m_windows.backup->refreshDrives();
    });
}

void MainWindow::openLog()
{
    m_log.writeLog(
        nlEn("Knop \"Log Bekijken\" geklikt", "Button \"View Log\" clicked").toStdString());
    // The desktop's viewer for text files; a viewer that does not start gives no message.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_log.currentLogPath())));
}

void MainWindow::showUpdateCheck()
{
    if (m_state.operationRunning)
        return;
    if (m_windows.askForUpdateCheck && m_windows.askForUpdateCheck() && m_windows.checkForUpdate)
        m_windows.checkForUpdate();
}

void MainWindow::showInfoMenu()
{
    m_log.writeLog(
        nlEn("Knop \"Informatie\" geklikt", "Button \"Information\" clicked").toStdString());
    m_infoPopup->popup(m_infoBtn->mapToGlobal(QPoint(0, 0)));
}

void MainWindow::closeProgram()
{
    if (m_state.operationRunning)
        return;
    m_log.writeLog(nlEn("Knop \"Afsluiten\" geklikt", "Button \"Close\" clicked").toStdString());
    close();
}

void MainWindow::showHelpContents()
{
    // A viewer that does not start gives no message.
    QDesktopServices::openUrl(helpUrl(QString::fromStdString(m_facts.languageCode), 0));
}

void MainWindow::showHelpIndex()
{
    QDesktopServices::openUrl(helpIndexUrl(QString::fromStdString(m_facts.languageCode)));
}

void MainWindow::showAboutDialog()
{
    if (m_windows.about)
        m_windows.about->exec();
}

void MainWindow::setDuplicateAllowed(bool allowed)
{
    m_duplicateButton->setEnabled(allowed);
}

void MainWindow::runAutomaticUpdateCheck()
{
    m_updateTimer->stop();
    if (m_state.operationRunning) {
        m_updateTimer->start(kUpdateRetryMs);
        return;
    }
    if (m_windows.autoCheckForUpdate)
        m_windows.autoCheckForUpdate();
}

} // namespace kx
