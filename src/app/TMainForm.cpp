#include "app/TMainForm.h"

#include "dialogs/AboutForm.h"
#include "dialogs/AskDlg.h"
#include "dialogs/Help.h"
#include "dialogs/MessageForm.h"
#include "dialogs/YesNoDlg.h"
#include "engine/Duplicate.h"
#include "engine/MakeBackups.h"
#include "engine/MediumRecords.h"
#include "engine/OperationGate.h"
#include "engine/RestoreAll.h"
#include "engine/Settings.h"
#include "manage/TBackupForm.h"
#include "newer/TNieuwerForm.h"

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

constexpr ButtonText kNieuwer{"Nieuw Aangemaakt", "Toon nieuw gecreëerde bestanden",
                              "Newly Created", "Show newly created files"};
constexpr ButtonText kMaakBackup{"Backups Maken", "Verfris alle Backups", "Make Backup",
                                 "Make Backups"};
constexpr ButtonText kBeheer{"Beheren", "Voeg Backups toe of Verwijder ze", "Manage",
                             "Add Files to Backup or remove them"};
constexpr ButtonText kHerstellen{"Alles Herstellen", "Herstel alle bestanden vanuit Backup",
                                 "Restore", "Restore all Files from Backup"};
constexpr ButtonText kDupliceren{"Dupliceren", "Dupliceer de Backupschijf", "Duplicate",
                                 "Duplicate the Backup disk"};
constexpr ButtonText kLogBekijken{"Log Bekijken", "Bekijk het Logbestand", "View Log File",
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

TMainForm::TMainForm(Platform& platform, ProgramState& state, ActivityLog& log,
                     const SystemFacts& facts, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_state(state), m_log(log), m_facts(facts)
{
    buildControls();
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::attach(EngineContext& ctx, const Windows& windows)
{
    m_ctx = &ctx;
    m_windows = windows;
}

QString TMainForm::nlEn(const char* dutch, const char* english) const
{
    return QString::fromUtf8(m_facts.LanguageCode == "nld" ? dutch : english);
}

void TMainForm::buildControls()
{
    setObjectName(QStringLiteral("MainForm"));
    SetHelpContext(this, helpcontext::MainWindow);

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFixedWidth(kPanelWidth);
    m_panel1->setFrameShape(QFrame::StyledPanel);
    SetHelpContext(m_panel1, helpcontext::MainWindow);
    auto* buttons = new QVBoxLayout(m_panel1);
    buttons->setContentsMargins(2, 2, 2, 2);
    buttons->setSpacing(2);

    const auto makeButton = [&](const char* name, QStyle::StandardPixmap glyph) {
        auto* button = new QPushButton(m_panel1);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(glyph));
        SetHelpContext(button, helpcontext::MainButtons);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        buttons->addWidget(button);
        return button;
    };
    m_nieuwerBtn = makeButton("NieuwerBtn", QStyle::SP_FileIcon);
    m_maakBackupBtn = makeButton("MaakBackupBtn", QStyle::SP_DialogSaveButton);
    m_beheerBtn = makeButton("BeheerBtn", QStyle::SP_DirIcon);
    m_herstellenBtn = makeButton("HerstellenBtn", QStyle::SP_DialogResetButton);
    m_duplicerenBtn = makeButton("DuplicerenBtn", QStyle::SP_DriveCDIcon);
    m_logBekijkenBtn = makeButton("LogBekijkenBtn", QStyle::SP_FileDialogDetailedView);
    m_updateBtn = makeButton("UpdateBtn", QStyle::SP_BrowserReload);
    m_infoBtn = makeButton("InfoBtn", QStyle::SP_MessageBoxInformation);
    m_closeBtn = makeButton("CloseBtn", QStyle::SP_DialogCloseButton);

    m_memo1 = new QPlainTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setReadOnly(true);
    m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetHelpContext(m_memo1, helpcontext::MainMemo);

    // The status panel places its two controls itself (see FormResize).
    m_statusPanel = new QFrame(this);
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel"));
    m_statusPanel->setFixedHeight(kStatusPanelHeight);
    m_statusPanel->setFrameShape(QFrame::StyledPanel);
    SetHelpContext(m_statusPanel, helpcontext::MainStatus);
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
    middle->addWidget(m_memo1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(middle, 1);
    outer->addWidget(m_statusPanel);

    connect(m_nieuwerBtn, &QPushButton::clicked, this, &TMainForm::NieuwerBtnClick);
    connect(m_maakBackupBtn, &QPushButton::clicked, this, &TMainForm::MaakBackupBtnClick);
    connect(m_beheerBtn, &QPushButton::clicked, this, &TMainForm::BeheerBtnClick);
    connect(m_herstellenBtn, &QPushButton::clicked, this, &TMainForm::HerstellenBtnClick);
    connect(m_duplicerenBtn, &QPushButton::clicked, this, &TMainForm::DuplicerenBtnClick);
    connect(m_logBekijkenBtn, &QPushButton::clicked, this, &TMainForm::BekijkLogBtnClick);
    connect(m_updateBtn, &QPushButton::clicked, this, &TMainForm::UpdateBtnClick);
    connect(m_infoBtn, &QPushButton::clicked, this, &TMainForm::InfoBtnClick);
    connect(m_closeBtn, &QPushButton::clicked, this, &TMainForm::CloseBtnClick);

    // The window's context menu: one item for each button, calling the same handler.
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto mirror = [&](const char* name, QPushButton* button, void (TMainForm::*handler)()) {
        QAction* item = m_popupMenu1->addAction(button->icon(), QString());
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, handler);
    };
    mirror("Nieuwer", m_nieuwerBtn, &TMainForm::NieuwerBtnClick);
    mirror("BackupsMaken", m_maakBackupBtn, &TMainForm::MaakBackupBtnClick);
    mirror("Beheren", m_beheerBtn, &TMainForm::BeheerBtnClick);
    mirror("Herstellen", m_herstellenBtn, &TMainForm::HerstellenBtnClick);
    mirror("Dupliceren", m_duplicerenBtn, &TMainForm::DuplicerenBtnClick);
    mirror("LogBekijken", m_logBekijkenBtn, &TMainForm::BekijkLogBtnClick);
    mirror("UpdateBackup1", m_updateBtn, &TMainForm::UpdateBtnClick);
    mirror("Informatie2", m_infoBtn, &TMainForm::InfoBtnClick);
    mirror("Afsluiten", m_closeBtn, &TMainForm::CloseBtnClick);

    m_infoPopup = new QMenu(this);
    m_infoPopup->setObjectName(QStringLiteral("InfoPopup"));
    m_helpInhoud = m_infoPopup->addAction(QString(), this, &TMainForm::HelpInhoudClick);
    m_helpInhoud->setObjectName(QStringLiteral("HelpInhoud"));
    m_helpIndex = m_infoPopup->addAction(QString(), this, &TMainForm::HelpIndexClick);
    m_helpIndex->setObjectName(QStringLiteral("HelpIndex"));
    // F1 belongs to the index while the menu is open; elsewhere it opens the help at the focused
    // control's topic (the program's help key filter).
    m_helpIndex->setShortcut(QKeySequence(Qt::Key_F1));
    QAction* n1 = m_infoPopup->addSeparator();
    n1->setObjectName(QStringLiteral("N1"));
    m_informatie = m_infoPopup->addAction(QString(), this, &TMainForm::InformatieClick);
    m_informatie->setObjectName(QStringLiteral("Informatie"));
    m_muisNaarKnop = m_infoPopup->addAction(QString());
    m_muisNaarKnop->setObjectName(QStringLiteral("MuisNaarKnop"));
    m_muisNaarKnop->setVisible(false);

    m_updateTimer = new QTimer(this);
    m_updateTimer->setObjectName(QStringLiteral("UpdateTimer"));
    m_updateTimer->setInterval(kUpdateDelayMs);
    m_updateTimer->setSingleShot(true);
    connect(m_updateTimer, &QTimer::timeout, this, &TMainForm::UpdateTimerTimer);
}

void TMainForm::FormCreate()
{
    // Almost wholly off-screen until the first paint places the window.
    resize(150, 342);
    move(1 - width(), 100);
    setWindowTitle(QString::fromLatin1(kProductName));
    m_progressBar->hide();
    m_state.LanguageCode = m_facts.LanguageCode;
    setTexts();

    m_firstPaintDone = false;
    m_state.MainFormReady = false;
    m_state.PerComputerFolders = false;
    m_state.NoDisk = false;
    m_state.NoFloppy = false;
    m_state.FloppyWarned = false;
    UserDataFolder(m_platform);
    m_state.ComputerFolder = ComputerName(m_platform);
    ReadSettings(m_platform, m_state, *this);
}

void TMainForm::setTexts()
{
    m_versionText = nlEn("versie 1.01b", "version 1.01b");
    const std::pair<QPushButton*, const ButtonText*> buttons[] = {
        {m_nieuwerBtn, &kNieuwer},       {m_maakBackupBtn, &kMaakBackup},
        {m_beheerBtn, &kBeheer},         {m_herstellenBtn, &kHerstellen},
        {m_duplicerenBtn, &kDupliceren}, {m_logBekijkenBtn, &kLogBekijken},
        {m_updateBtn, &kUpdate},         {m_infoBtn, &kInfo},
        {m_closeBtn, &kClose},
    };
    // The context menu's items follow the buttons, in the same order.
    const QList<QAction*> items = m_popupMenu1->actions();
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

    m_helpInhoud->setText(nlEn("Help - Inhoud", "Help - Contents"));
    m_helpIndex->setText(QStringLiteral("Help - Index"));
    m_muisNaarKnop->setText(nlEn("Muis Naar Knop", "Mouse to Button"));
    m_informatie->setText(nlEn("&Informatie", "About"));

    setWindowTitle(
        (QString::fromLatin1(kProductName) + QStringLiteral(" - ") + m_versionText).left(24));
}

void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The first paint's work opens message boxes and moves the window: it runs just after the
    // window has been shown, not inside a paint.
    if (!m_firstPaintQueued) {
        m_firstPaintQueued = true;
        QTimer::singleShot(0, this, &TMainForm::FirstPaint);
    }
}

void TMainForm::paintEvent(QPaintEvent* event)
{
    // Outside a walk the progress bar is not seen.
    if (!m_state.OperationRunning)
        m_progressBar->hide();
    QWidget::paintEvent(event);
}

void TMainForm::FirstPaint()
{
    if (m_firstPaintDone)
        return;
    m_firstPaintDone = true;
    m_progressBar->hide();

    m_state.StartDir = m_platform.currentDirectory();
    if (m_state.StartDir.empty() || m_state.StartDir.back() != '\\')
        m_state.StartDir += '\\';

    if (m_windows.loadAutoCheckSetting && m_windows.loadAutoCheckSetting())
        m_updateTimer->start();

    startLog();

    // The manage window is the one place where the backup drive is chosen.
    const char drive = m_state.BackupBase.empty() ? 'c' : m_state.BackupBase[0];
    if (m_windows.backup) {
        m_windows.backup->DriveComboBox1Change();
        m_windows.backup->selectBackupDrive(drive);
        m_state.MainFormReady = true;
        m_windows.backup->DriveComboBox2Change();
    } else {
        m_state.MainFormReady = true;
        if (m_ctx)
            SelectBackupDrive(*m_ctx, drive);
    }

    const WindowGeometry g = ReadMainWindowGeometry(m_platform);
    move(g.left, g.top);
    resize(g.width, g.height);

    showInstructions();

    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    emit firstPaintFinished();
}

void TMainForm::startLog()
{
    // A new log at the windows' start, unless a headless run is writing the current one: its
    // lines stay together, and ours follow our own date line.
    m_windowsLock.lockShared();
    OperationLock operation;
    if (operation.tryLock())
        m_log.Rotate(m_facts.LanguageCode);
    else
        m_log.resume(m_facts.LanguageCode);
}

void TMainForm::showInstructions()
{
    m_memo1->clear();
    const auto fill = [&](const auto& lines) {
        for (const char* line : lines)
            m_memo1->appendPlainText(QString::fromUtf8(line));
    };
    const bool dutch = m_facts.LanguageCode == "nld";
    if (m_state.FirstTime) {
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
        m_memo1->appendPlainText(line);
    m_failuresAtStart.clear();
    m_instructionsShown = true;
    m_memo1->moveCursor(QTextCursor::Start);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize()
{
    // The bar is 50 narrower than the window and centred; the status text lies above it.
    const int clientWidth = width();
    const int barWidth = clientWidth - 50;
    m_progressBar->setGeometry((clientWidth - barWidth) / 2, 18, barWidth, 12);
    m_statusLabel->setGeometry(4, 1, clientWidth - 8, 17);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The walk that runs would go on without its window.
    if (m_state.OperationRunning) {
        event->ignore();
        return;
    }
    // A window that was never placed has no geometry worth remembering.
    if (m_firstPaintDone)
        WriteSettings(m_platform, m_state, WindowGeometry{x(), y(), width(), height()});
    QWidget::closeEvent(event);
    emit closed();
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event)
{
    m_popupMenu1->popup(event->globalPos());
}

void TMainForm::bringForward()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

// ---- The engine's user interface

void TMainForm::memo(const std::string& line)
{
    m_memo1->appendPlainText(fromEngine(line));
}

void TMainForm::failure(const std::string& line)
{
    if (m_instructionsShown)
        memo(line);
    else
        m_failuresAtStart << fromEngine(line);
}

void TMainForm::clearMemo()
{
    m_memo1->clear();
}

void TMainForm::progress(int position)
{
    m_progressBar->setValue(std::clamp(position, 0, 100));
}

void TMainForm::showProgress(bool shown)
{
    m_progressBar->setVisible(shown);
}

void TMainForm::pump()
{
    QCoreApplication::processEvents();
}

void TMainForm::status(const std::string& text)
{
    m_statusLabel->setText(fromEngine(text));
}

bool TMainForm::askYesNo(const std::string& caption, const std::string& question)
{
    if (!m_windows.yesNo)
        return false;
    const QString lang = QString::fromStdString(m_facts.LanguageCode);
    const QString title = fromEngine(caption);
    const auto [yes, no] = YesNoAnswerTexts(lang, title);
    return m_windows.yesNo->AskYesNo(frameGeometry(), title, fromEngine(question), yes, no);
}

bool TMainForm::askText(const std::string& caption, const std::string& prompt, std::string& answer)
{
    // The text question carries the program's name and version as its caption.
    Q_UNUSED(caption);
    if (!m_windows.ask)
        return false;
    QString text = fromEngine(answer);
    const bool ok = m_windows.ask->AskText(frameGeometry(), fromEngine(prompt), text);
    answer = text.toStdString();
    return ok;
}

void TMainForm::showTimed(const std::string& text, int seconds)
{
    if (!m_windows.message)
        return;
    const QString all = fromEngine(text);
    const qsizetype cr = all.indexOf(QLatin1Char('\r'));
    const QString line1 = cr < 0 ? all : all.left(cr);
    const QString line2 = cr < 0 ? QString() : all.mid(cr + 1);
    m_windows.message->ShowTimed(line1, line2, seconds * 1000, frameGeometry());
}

void TMainForm::warn(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, nlEn("Waarschuwing", "Warning"), displayText(text),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("WarningBox"));
    box.exec();
}

void TMainForm::inform(const std::string& text)
{
    QMessageBox box(QMessageBox::Information, nlEn("Informatie", "Information"), displayText(text),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("InformationBox"));
    box.exec();
}

void TMainForm::busy(bool on)
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

void TMainForm::runOperation(const std::function<void()>& operation)
{
    if (!m_ctx)
        return;
    OperationLock lock;
    if (m_state.OperationRunning || !lock.tryLock()) {
        warn(operationRefusal(m_facts.LanguageCode));
        return;
    }
    OperationScope scope(m_state.OperationRunning);
    operation();
}

void TMainForm::NieuwerBtnClick()
{
    if (m_state.OperationRunning)
        return;
    m_log.WriteLog(nlEn("Knop \"Nieuw Aangemaakt\" geklikt", "Button \"Newly Created\" clicked")
                       .toStdString());
    busy(true);
    pump();
    if (m_windows.newer)
        m_windows.newer->exec();
    busy(false);
}

void TMainForm::MaakBackupBtnClick()
{
    runOperation([this] { kx::MaakBackupBtnClick(*m_ctx); });
}

void TMainForm::BeheerBtnClick()
{
    if (m_state.OperationRunning)
        return;
    m_log.WriteLog(nlEn("Knop \"Beheren\" geklikt", "Button \"Manage\" clicked").toStdString());
    clearMemo();
    if (m_windows.backup)
        m_windows.backup->exec();
}

void TMainForm::HerstellenBtnClick()
{
    runOperation([this] {
        kx::HerstellenBtnClick(*m_ctx);
        // The manage window shows the restored files.
        if (m_windows.backup)
            m_windows.backup->refreshSourceFiles();
    });
}

void TMainForm::DuplicerenBtnClick()
{
    runOperation([this] {
        kx::DuplicerenBtnClick(*m_ctx);
        // The new medium carries a new name; the drive lists show it.
        if (m_windows.backup)
            m_windows.backup->refreshDrives();
    });
}

void TMainForm::BekijkLogBtnClick()
{
    m_log.WriteLog(
        nlEn("Knop \"Log Bekijken\" geklikt", "Button \"View Log\" clicked").toStdString());
    // The desktop's viewer for text files; a viewer that does not start gives no message.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_log.currentLogPath())));
}

void TMainForm::UpdateBtnClick()
{
    if (m_state.OperationRunning)
        return;
    if (m_windows.askForUpdateCheck && m_windows.askForUpdateCheck() && m_windows.checkForUpdate)
        m_windows.checkForUpdate();
}

void TMainForm::InfoBtnClick()
{
    m_log.WriteLog(
        nlEn("Knop \"Informatie\" geklikt", "Button \"Information\" clicked").toStdString());
    m_infoPopup->popup(m_infoBtn->mapToGlobal(QPoint(0, 0)));
}

void TMainForm::CloseBtnClick()
{
    if (m_state.OperationRunning)
        return;
    m_log.WriteLog(nlEn("Knop \"Afsluiten\" geklikt", "Button \"Close\" clicked").toStdString());
    close();
}

void TMainForm::HelpInhoudClick()
{
    // A viewer that does not start gives no message.
    QDesktopServices::openUrl(HelpUrl(QString::fromStdString(m_facts.LanguageCode), 0));
}

void TMainForm::HelpIndexClick()
{
    QDesktopServices::openUrl(HelpIndexUrl(QString::fromStdString(m_facts.LanguageCode)));
}

void TMainForm::InformatieClick()
{
    if (m_windows.about)
        m_windows.about->exec();
}

void TMainForm::setDuplicateAllowed(bool allowed)
{
    m_duplicerenBtn->setEnabled(allowed);
}

void TMainForm::UpdateTimerTimer()
{
    m_updateTimer->stop();
    if (m_state.OperationRunning) {
        m_updateTimer->start(kUpdateRetryMs);
        return;
    }
    if (m_windows.autoCheckForUpdate)
        m_windows.autoCheckForUpdate();
}

} // namespace kx
