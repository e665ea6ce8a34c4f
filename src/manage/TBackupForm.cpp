#include "manage/TBackupForm.h"

#include "dialogs/Help.h"
#include "engine/BackupLayout.h"
#include "engine/FileCommands.h"
#include "engine/MediumRecords.h"
#include "engine/NewerFiles.h"
#include "engine/OperationGate.h"
#include "engine/Settings.h"
#include "manage/DriveComboBox.h"
#include "manage/PaneSplitter.h"
#include "manage/TBoom.h"
#include "support/DriveQueries.h"
#include "support/TextHelpers.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace kx {

namespace {

constexpr const char* kProductName = "Kopierix";

// Window layout settings, section "Defaults"
constexpr const char* kBeheerLeft = "Beheer Left";
constexpr const char* kBeheerTop = "Beheer Top";
constexpr const char* kBeheerHeight = "Beheer Height";
constexpr const char* kBeheerWidth = "Beheer Width";
constexpr const char* kBoomWidth = "Boom Width";
constexpr const char* kSplitter1Left = "Splitter1 Left";
constexpr const char* kFile1Width = "File1 Width";

// Fixed sizes of the window's parts
constexpr int kPanel5Height = 24;
constexpr int kPanel2Height = 58;
constexpr int kSplitter1Width = 3;
constexpr int kSplitter2Width = 32;
constexpr int kButtonWidth = 102;
constexpr int kButtonHeight = 25;
constexpr int kSpeedWidth = 23;
constexpr int kSpeedHeight = 22;
constexpr int kDriveListWidth = 145;
constexpr int kMinPane = 30;
// The tree fills its pane but for a narrow margin: with the stored defaults, a pane of 200
// holds a tree of 195.
constexpr int kBoomLeft = 2;
constexpr int kBoomMargin = 5;

constexpr int kNameRole = Qt::UserRole + 1; // a file's name as the file system has it

constexpr const char* kNoFloppyEntry = "a: [geen floppy]";

bool onFloppyDrive(const std::string& base)
{
    return !base.empty() && (base[0] == 'a' || base[0] == 'A' || base[0] == 'b' || base[0] == 'B');
}

std::string nameOf(const QListWidgetItem* item)
{
    return item->data(kNameRole).toByteArray().toStdString();
}

std::string toEngine(const QString& text)
{
    return text.toUtf8().toStdString();
}

void enable(std::initializer_list<QWidget*> widgets, bool on)
{
    for (QWidget* w : widgets)
        w->setEnabled(on);
}

void enable(std::initializer_list<QAction*> actions, bool on)
{
    for (QAction* a : actions)
        a->setEnabled(on);
}

} // namespace

TBackupForm::TBackupForm(EngineContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("BackupForm"));
    setModal(true);
    buildControls();

    // FormCreate
    m_firstPaintDone = false;
    {
        auto store = m_ctx.platform.openSettings();
        m_ctx.state.BackupBase =
            store->readString(settings::kDefaults, settings::kBackupDrive, "c:\\");
    }
    ReadWindowLayout();
    m_expandPending = false;
}

TBackupForm::~TBackupForm() = default;

QString TBackupForm::nlEn(const char* dutch, const char* english) const
{
    return QString::fromUtf8(m_ctx.nlEn(dutch, english));
}

void TBackupForm::buildControls()
{
    setMinimumSize(320, 220);
    SetHelpContext(this, helpcontext::Manage);

    m_panel5 = new QFrame(this);
    m_panel5->setObjectName(QStringLiteral("Panel5"));
    m_bronBevel = new QFrame(m_panel5);
    m_bronBevel->setObjectName(QStringLiteral("BronBevel"));
    m_bronBevel->setFrameShape(QFrame::Panel);
    m_bronBevel->setFrameShadow(QFrame::Sunken);
    m_bronLabel = new QLabel(QStringLiteral("- Bron -"), m_panel5);
    m_bronLabel->setObjectName(QStringLiteral("BronLabel"));
    m_backupBevel = new QFrame(m_panel5);
    m_backupBevel->setObjectName(QStringLiteral("BackupBevel"));
    m_backupBevel->setFrameShape(QFrame::Panel);
    m_backupBevel->setFrameShadow(QFrame::Sunken);
    m_doelLabel = new QLabel(QStringLiteral("- Backup -"), m_panel5);
    m_doelLabel->setObjectName(QStringLiteral("DoelLabel"));

    m_panel1 = new QWidget(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_boom1 = new TBoom(m_ctx.platform, m_panel1);
    m_boom1->setObjectName(QStringLiteral("Boom1"));
    SetHelpContext(m_boom1, helpcontext::ManageTree);
    m_driveComboBox1 = new DriveComboBox(m_ctx.platform, m_panel1);
    m_driveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    SetHelpContext(m_driveComboBox1, helpcontext::ManageSourceDrive);

    m_splitter1 = new PaneSplitter(this);
    m_splitter1->setObjectName(QStringLiteral("Splitter1"));

    m_panel3 = new QWidget(this);
    m_panel3->setObjectName(QStringLiteral("Panel3"));
    m_fileListBox1 = new QListWidget(m_panel3);
    m_fileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    SetHelpContext(m_fileListBox1, helpcontext::ManageSourceFiles);

    m_splitter2 = new PaneSplitter(this);
    m_splitter2->setObjectName(QStringLiteral("Splitter2"));

    m_panel4 = new QWidget(this);
    m_panel4->setObjectName(QStringLiteral("Panel4"));
    m_fileListBox2 = new QListWidget(m_panel4);
    m_fileListBox2->setObjectName(QStringLiteral("FileListBox2"));
    SetHelpContext(m_fileListBox2, helpcontext::ManageBackupFiles);
    m_driveComboBox2 = new DriveComboBox(m_ctx.platform, m_panel4);
    m_driveComboBox2->setObjectName(QStringLiteral("DriveComboBox2"));
    SetHelpContext(m_driveComboBox2, helpcontext::ManageBackupDrive);

    for (QListWidget* list : {m_fileListBox1, m_fileListBox2}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->viewport()->installEventFilter(this);
    }
    m_boom1->setFocusPolicy(Qt::StrongFocus);

    // The speed buttons stand on the wide splitter, above it.
    auto speedButton = [this](const char* name) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setFixedSize(kSpeedWidth, kSpeedHeight);
        return button;
    };
    m_speedAdd = speedButton("SpeedAdd");
    m_speedAdd->setArrowType(Qt::RightArrow);
    m_speedDel = speedButton("SpeedDel");
    m_speedDel->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    m_speedRestore = speedButton("SpeedRestore");
    m_speedRestore->setArrowType(Qt::LeftArrow);

    m_panel2 = new QFrame(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    SetHelpContext(m_panel2, helpcontext::ManageButtonPanel);
    auto bottomButton = [this](const char* name) {
        auto* button = new QPushButton(m_panel2);
        button->setObjectName(QLatin1String(name));
        button->setCursor(Qt::PointingHandCursor);
        button->setFixedSize(kButtonWidth, kButtonHeight);
        button->setAutoDefault(false);
        SetHelpContext(button, helpcontext::ManageButtons);
        return button;
    };
    m_addBtn = bottomButton("AddBtn");
    m_delBtn = bottomButton("DelBtn");
    m_restoreBtn = bottomButton("RestoreBtn");
    m_okBtn = bottomButton("OKBtn");
    m_hintLabel = new QLabel(m_panel2);
    m_hintLabel->setObjectName(QStringLiteral("HintLabel"));
    m_hintLabel->setAlignment(Qt::AlignCenter);

    auto action = [this](QMenu* menu, const char* name) {
        auto* a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        menu->addAction(a);
        return a;
    };
    m_popup1 = new QMenu(this);
    m_popup1->setObjectName(QStringLiteral("Popup1"));
    m_selecteerBestandenInBackup = action(m_popup1, "SelecteerBestandenInBackup");
    m_selecteerAlles = action(m_popup1, "SelecteerAlles");
    m_keerSelectieOm1 = action(m_popup1, "KeerSelectieOm1");
    m_popup1->addSeparator();
    m_voegtoe = action(m_popup1, "Voegtoe");
    m_popup1->addSeparator();
    m_sluit1 = action(m_popup1, "Sluit1");

    m_popup2 = new QMenu(this);
    m_popup2->setObjectName(QStringLiteral("Popup2"));
    m_selecteerAlles2 = action(m_popup2, "SelecteerAlles2");
    m_keerSelectieom2 = action(m_popup2, "KeerSelectieom2");
    m_popup2->addSeparator();
    m_verwijder = action(m_popup2, "Verwijder");
    m_herstel = action(m_popup2, "Herstel");
    m_popup2->addSeparator();
    m_sluit2 = action(m_popup2, "Sluit2");

    // The short cuts of a menu work in its list.
    auto listShortcut = [](QListWidget* list, QAction* a, const QKeySequence& keys) {
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        list->addAction(a);
    };
    listShortcut(m_fileListBox1, m_selecteerAlles, QKeySequence(Qt::CTRL | Qt::Key_A));
    listShortcut(m_fileListBox2, m_selecteerAlles2, QKeySequence(Qt::CTRL | Qt::Key_A));
    listShortcut(m_fileListBox2, m_verwijder, QKeySequence(Qt::Key_Delete));

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(100);
    m_timer1->setSingleShot(true);

    // Wiring
    connect(m_driveComboBox1, &DriveComboBox::aboutToOpen, this, &TBackupForm::DriveComboBox1Click);
    connect(m_driveComboBox1, &DriveComboBox::driveChanged, this,
            &TBackupForm::DriveComboBox1Change);
    connect(m_driveComboBox2, &DriveComboBox::driveChanged, this,
            &TBackupForm::DriveComboBox2Change);
    connect(m_boom1, &TBoom::clickHandled, this, &TBackupForm::Boom1Click);
    connect(m_boom1, &TBoom::mousePressed, this, &TBackupForm::Boom1MouseDown);
    connect(m_boom1, &TBoom::mouseReleased, this,
            [this](Qt::MouseButton, const QPoint& position) { Boom1MouseUp(position); });
    connect(m_boom1, &TBoom::keyReleased, this, &TBackupForm::Boom1KeyUp);
    connect(m_boom1, &TBoom::nodeExpanded, this, &TBackupForm::Boom1Expanded);
    connect(m_boom1, &QTreeView::doubleClicked, this, &TBackupForm::Boom1DblClick);
    connect(m_timer1, &QTimer::timeout, this, &TBackupForm::Timer1Timer);

    connect(m_fileListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingSelection)
            FileListBox1Click();
    });
    connect(m_fileListBox2, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingSelection)
            FileListBox2Click();
    });
    connect(m_fileListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_popup1->exec(m_fileListBox1->viewport()->mapToGlobal(p));
    });
    connect(m_fileListBox2, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_popup2->exec(m_fileListBox2->viewport()->mapToGlobal(p));
    });

    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_addBtn, m_speedAdd})
        connect(b, &QAbstractButton::clicked, this, &TBackupForm::AddBtnClick);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_delBtn, m_speedDel})
        connect(b, &QAbstractButton::clicked, this, &TBackupForm::DelBtnClick);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_restoreBtn, m_speedRestore})
        connect(b, &QAbstractButton::clicked, this, &TBackupForm::RestoreBtnClick);
    connect(m_okBtn, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_voegtoe, &QAction::triggered, this, &TBackupForm::AddBtnClick);
    connect(m_verwijder, &QAction::triggered, this, &TBackupForm::DelBtnClick);
    connect(m_herstel, &QAction::triggered, this, &TBackupForm::RestoreBtnClick);
    connect(m_sluit1, &QAction::triggered, this, &QDialog::accept);
    connect(m_sluit2, &QAction::triggered, this, &QDialog::accept);
    connect(m_selecteerBestandenInBackup, &QAction::triggered, this,
            &TBackupForm::SelecteerBestandenInBackupClick);
    connect(m_selecteerAlles, &QAction::triggered, this, &TBackupForm::SelecteerAllesClick);
    connect(m_keerSelectieOm1, &QAction::triggered, this, &TBackupForm::KeerSelectieOm1Click);
    connect(m_selecteerAlles2, &QAction::triggered, this, &TBackupForm::SelecteerAlles2Click);
    connect(m_keerSelectieom2, &QAction::triggered, this, &TBackupForm::KeerSelectieom2Click);

    connect(m_splitter1, &PaneSplitter::dragStarted, this,
            [this] { m_dragStartWidth = m_panel1Width; });
    connect(m_splitter1, &PaneSplitter::dragged, this, [this](int dx) {
        const int room = width() - kSplitter1Width - m_panel3Width - kSplitter2Width - kMinPane;
        m_panel1Width = std::max(kMinPane, std::min(m_dragStartWidth + dx, room));
        FormResize();
    });
    connect(m_splitter2, &PaneSplitter::dragStarted, this,
            [this] { m_dragStartWidth = m_panel3Width; });
    connect(m_splitter2, &PaneSplitter::dragged, this, [this](int dx) {
        const int room = width() - m_panel1Width - kSplitter1Width - kSplitter2Width - kMinPane;
        m_panel3Width = std::max(kMinPane, std::min(m_dragStartWidth + dx, room));
        FormResize();
    });

    for (DriveComboBox* list : {m_driveComboBox1, m_driveComboBox2})
        list->setFixedSize(kDriveListWidth, list->sizeHint().height());
}

// ---- Window events

void TBackupForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_firstPaintDone)
        FirstPaint();
    FormResize();
}

void TBackupForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

bool TBackupForm::eventFilter(QObject* watched, QEvent* event)
{
    const bool onList1 = watched == m_fileListBox1->viewport();
    const bool onList2 = watched == m_fileListBox2->viewport();
    if (onList1 || onList2) {
        if (event->type() == QEvent::MouseButtonPress) {
            if (onList1)
                setHint("Selecteer de bestanden, waarvan u een backup wilt maken",
                        "Select the files to backup");
            else
                setHint("Selecteer de bestanden, die u wilt verwijderen of herstellen",
                        "Select the files to remove or restore");
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // A click counts even when it leaves the selection as it was.
            if (onList1)
                FileListBox1Click();
            else
                FileListBox2Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TBackupForm::done(int result)
{
    if (isVisible())
        FormClose();
    QDialog::done(result);
}

void TBackupForm::FirstPaint()
{
    m_firstPaintDone = true;
    setWindowTitle(QString::fromLatin1(kProductName) + nlEn(" - Beheer", " - Manage"));
    m_hintLabel->setText(
        nlEn("Kies de juiste Bron-directory", "Select the right Source directory"));
    m_bronLabel->setText(nlEn("- Bron -", "- Source -"));
    m_selecteerBestandenInBackup->setText(QString());
    m_selecteerAlles->setText(nlEn("Selecteer Alles", "Select All"));
    m_keerSelectieOm1->setText(nlEn("Keer Selectie om", "Reverse Selection"));
    m_voegtoe->setText(nlEn("Voegtoe aan Backup", "Add to Backup"));
    m_sluit1->setText(nlEn("Sluit Venster", "Close Window"));
    m_verwijder->setText(nlEn("Verwijder uit Backup", "Remove from Backup"));
    m_herstel->setText(nlEn("Herstel vanuit Backup", "Restore from Backup"));
    m_driveComboBox1->setToolTip(nlEn("Kies de Bronschijf", "Select the Source Drive"));
    m_driveComboBox2->setToolTip(nlEn("Kies de Backupschijf", "Select the Backup Drive"));
    m_addBtn->setText(nlEn("Voegtoe", "Add"));
    m_delBtn->setText(nlEn("Verwijder", "Remove"));
    m_restoreBtn->setText(nlEn("Herstel", "Restore"));

    m_selecteerAlles2->setText(m_selecteerAlles->text());
    m_keerSelectieom2->setText(m_keerSelectieOm1->text());
    m_sluit2->setText(m_sluit1->text());
    m_okBtn->setText(m_sluit1->text());
    m_addBtn->setToolTip(m_voegtoe->text());
    m_speedAdd->setToolTip(m_voegtoe->text());
    m_delBtn->setToolTip(m_verwijder->text());
    m_speedDel->setToolTip(m_verwijder->text());
    m_restoreBtn->setToolTip(m_herstel->text());
    m_speedRestore->setToolTip(m_herstel->text());
    m_okBtn->setToolTip(m_sluit1->text());
    m_bronLabel->adjustSize();
    m_doelLabel->adjustSize();

    enable({m_addBtn, m_delBtn, m_restoreBtn, m_speedAdd, m_speedDel, m_speedRestore}, false);
    enable({m_selecteerBestandenInBackup, m_selecteerAlles, m_voegtoe, m_verwijder, m_herstel},
           false);
    m_boom1->setFocus();
}

void TBackupForm::FormResize()
{
    const int w = width();
    const int h = height();
    const int middle = std::max(0, h - kPanel5Height - kPanel2Height);

    // The docked panels: titles on top, buttons at the bottom, the three panes between.
    m_panel5->setGeometry(0, 0, w, kPanel5Height);
    m_panel2->setGeometry(0, h - kPanel2Height, w, kPanel2Height);
    m_panel1->setGeometry(0, kPanel5Height, m_panel1Width, middle);
    m_splitter1->setGeometry(m_panel1Width, kPanel5Height, kSplitter1Width, middle);
    const int panel3Left = m_panel1Width + kSplitter1Width;
    m_panel3->setGeometry(panel3Left, kPanel5Height, m_panel3Width, middle);
    m_fileListBox1->setGeometry(0, 0, m_panel3Width, middle);
    const int splitter2Left = panel3Left + m_panel3Width;
    m_splitter2->setGeometry(splitter2Left, kPanel5Height, kSplitter2Width, middle);
    const int panel4Left = splitter2Left + kSplitter2Width;
    m_panel4->setGeometry(panel4Left, kPanel5Height, std::max(0, w - panel4Left),
                          m_panel1->height());

    const int w2 = m_panel2->width() / 2;
    m_addBtn->move(w2 - m_addBtn->width() - m_delBtn->width() - 15, 8);
    m_delBtn->move(w2 - m_delBtn->width() - 5, 8);
    m_restoreBtn->move(w2 + 5, 8);
    m_okBtn->move(w2 + m_restoreBtn->width() + 15, 8);

    const int speedLeft = m_splitter2->x() + 5;
    const int speedTop = kPanel5Height + middle / 2 - (3 * kSpeedHeight + 14) / 2;
    m_speedAdd->move(speedLeft, speedTop);
    m_speedDel->move(speedLeft, speedTop + kSpeedHeight + 7);
    m_speedRestore->move(speedLeft, speedTop + 2 * (kSpeedHeight + 7));
    for (QWidget* b : {static_cast<QWidget*>(m_speedAdd), static_cast<QWidget*>(m_speedDel),
                       static_cast<QWidget*>(m_speedRestore)})
        b->raise();

    const int comboHeight = m_driveComboBox1->height();
    m_boom1->setGeometry(kBoomLeft, 0, std::max(0, m_panel1->width() - kBoomMargin),
                         std::max(0, m_panel1->height() - 2 * comboHeight));
    m_fileListBox2->setGeometry(0, 0, m_panel4->width(), m_boom1->height());
    m_driveComboBox1->move((m_panel1->width() - m_driveComboBox1->width()) / 2,
                           m_boom1->height() + comboHeight / 2);
    m_driveComboBox2->move((m_panel4->width() - m_driveComboBox2->width()) / 2,
                           m_driveComboBox1->y());

    const int titleTop = (kPanel5Height - m_bronLabel->height()) / 2;
    m_bronBevel->setGeometry(m_boom1->x() + 1, 2, m_panel1->width() + m_panel3->width(),
                             kPanel5Height - 4);
    m_bronLabel->move((m_panel1->width() + m_panel3->width() - m_bronLabel->width()) / 2, titleTop);
    m_backupBevel->setGeometry(m_panel4->x(), 2, m_panel4->width() - 2, kPanel5Height - 4);
    m_doelLabel->move((m_panel4->width() - m_doelLabel->width()) / 2 + m_panel4->x(), titleTop);
    m_bronLabel->raise();
    m_doelLabel->raise();

    m_hintLabel->setGeometry(10, 8 + kButtonHeight + 6, m_panel2->width() - 10,
                             m_hintLabel->sizeHint().height());
}

void TBackupForm::FormClose()
{
    WriteBackupDrive();
    WriteLastDate(m_ctx, m_ctx.state.BackupTotalSize, m_ctx.state.LastBackupDate);
    WriteWindowLayout();
}

void TBackupForm::ReadWindowLayout()
{
    auto store = m_ctx.platform.openSettings();
    auto read = [&](const char* ident, int fallback) {
        return static_cast<int>(store->readInteger(settings::kDefaults, ident, fallback));
    };
    move(read(kBeheerLeft, 100), read(kBeheerTop, 100));
    resize(read(kBeheerWidth, 550), read(kBeheerHeight, 375));
    m_boom1->resize(read(kBoomWidth, 195), m_boom1->height());
    m_panel1Width = read(kSplitter1Left, 200);
    m_panel3Width = read(kFile1Width, 150);
}

void TBackupForm::WriteWindowLayout()
{
    auto store = m_ctx.platform.openSettings();
    store->writeInteger(settings::kDefaults, kBeheerLeft, x());
    store->writeInteger(settings::kDefaults, kBeheerTop, y());
    store->writeInteger(settings::kDefaults, kBeheerHeight, height());
    store->writeInteger(settings::kDefaults, kBeheerWidth, width());
    store->writeInteger(settings::kDefaults, kBoomWidth, m_boom1->width());
    store->writeInteger(settings::kDefaults, kSplitter1Left, m_splitter1->x());
    store->writeInteger(settings::kDefaults, kFile1Width, m_panel3->width());
    store->sync();
}

void TBackupForm::WriteBackupDrive()
{
    const ProgramState& state = m_ctx.state;
    // A drive that was not ready is not remembered, unless it is a floppy drive with a disk.
    if (state.NoDisk && !(onFloppyDrive(state.BackupBase) && !state.NoFloppy))
        return;
    auto store = m_ctx.platform.openSettings();
    store->writeString(settings::kDefaults, settings::kBackupDrive, StoredBackupDrive(state));
    store->sync();
}

// ---- Drives

bool TBackupForm::floppyMissing()
{
    return LowerCase(VolumeLabel(m_ctx.platform, 'a')).find("error 21") != std::string::npos;
}

void TBackupForm::DriveComboBox1Click()
{
    m_previousSourceDrive = m_driveComboBox1->drive();
}

void TBackupForm::DriveComboBox1Change()
{
    const char letter = m_driveComboBox1->drive();
    if (letter == 0)
        return;
    m_ctx.state.NoFloppy = floppyMissing();
    if (m_ctx.state.NoFloppy) {
        if (m_driveComboBox1->firstDrive() == 'a')
            m_driveComboBox1->setFirstEntryText(QString::fromLatin1(kNoFloppyEntry));
        if (letter == 'a') {
            m_ctx.ui.status(" Backupschijf: " + toEngine(m_driveComboBox2->currentText()) +
                            ", geen floppy aanwezig");
            m_driveComboBox1->setCurrentIndex(0);
            return;
        }
    }
    if (DriveTypeName(m_ctx.platform, letter) == "DRIVE_REMOTE") {
        m_ctx.ui.warn("U kunt geen backup maken van een netwerkschijf.");
        // Choosing the previous drive again runs this handler for it.
        m_driveComboBox1->setDrive(m_previousSourceDrive);
        return;
    }
    m_boom1->LoadDrive(std::string(1, letter) + ":\\");
    m_boom1->sortTree();
    m_previousSourceDrive = letter;
    if (isVisible())
        m_fileListBox1->setFocus();
    ShowFolderFiles();
}

void TBackupForm::selectBackupDrive(char letter)
{
    m_driveComboBox2->setDrive(letter);
}

void TBackupForm::DriveComboBox2Change()
{
    const char letter = m_driveComboBox2->drive();
    if (letter == 0)
        return;
    ProgramState& state = m_ctx.state;
    const bool floppyWarned = state.FloppyWarned;
    SelectBackupDrive(m_ctx, letter);
    if (!state.MainFormReady)
        return;

    if (floppyMissing()) {
        if (m_driveComboBox2->firstDrive() == 'a')
            m_driveComboBox2->setFirstEntryText(QString::fromLatin1(kNoFloppyEntry));
        if (letter == 'a') {
            // The status line names the list's entry as it reads now.
            if (!floppyWarned && state.FloppyWarned)
                m_ctx.ui.status(" Backupschijf: " + toEngine(m_driveComboBox2->currentText()) +
                                ", geen floppy aanwezig");
            m_driveComboBox2->setCurrentIndex(0);
            return;
        }
    }

    showMirrorFolder();
    const std::string type =
        DriveTypeName(m_ctx.platform, state.BackupBase.empty() ? letter : state.BackupBase[0]);
    emit duplicateAllowed(type == "DRIVE_CDROM" || type == "DRIVE_REMOVABLE");
    enable({m_delBtn, m_restoreBtn, m_speedRestore, m_speedDel}, false);
    enable({m_verwijder, m_herstel}, false);
}

void TBackupForm::refreshDrives()
{
    m_driveComboBox1->rebuild();
    m_driveComboBox2->rebuild();
}

// ---- The tree

void TBackupForm::Boom1Click()
{
    enable({m_addBtn, m_delBtn, m_restoreBtn, m_speedAdd, m_speedDel, m_speedRestore}, false);
    enable({m_selecteerBestandenInBackup, m_selecteerAlles, m_voegtoe, m_verwijder, m_herstel},
           false);
}

void TBackupForm::Boom1MouseDown(Qt::MouseButton button, const QPoint& position)
{
    if (button == Qt::RightButton) {
        const QModelIndex index = m_boom1->indexAt(position);
        if (index.isValid())
            m_boom1->setCurrentIndex(index);
    }
    setHint("Kies de juiste Bron-directory", "Select the right Source Directory");
}

void TBackupForm::Boom1MouseUp(const QPoint& position)
{
    if (m_expandPending) {
        m_expandPending = false;
        const QModelIndex index = m_boom1->indexAt(position);
        if (index.isValid())
            m_boom1->scrollTo(index, QAbstractItemView::PositionAtTop);
    }
    ShowFolderFiles();
}

void TBackupForm::Boom1KeyUp()
{
    ShowFolderFiles();
}

void TBackupForm::Boom1Expanded(const QModelIndex& index)
{
    m_expandPending = index != m_boom1->topVisibleIndex();
    m_timer1->start();
}

void TBackupForm::Timer1Timer()
{
    m_timer1->stop();
    m_boom1->sortTree();
}

void TBackupForm::Boom1DblClick()
{
    // The view has toggled the folder already; its resulting state is applied once more.
    const QModelIndex index = m_boom1->currentIndex();
    if (!index.isValid())
        return;
    if (m_boom1->isExpanded(index))
        m_boom1->expand(index);
    else
        m_boom1->collapse(index);
}

// ---- The file lists

void TBackupForm::FileListBox1Click()
{
    enable({m_addBtn, m_speedAdd}, true);
    enable({m_selecteerBestandenInBackup, m_selecteerAlles, m_voegtoe}, true);
}

void TBackupForm::FileListBox2Click()
{
    enable({m_delBtn, m_restoreBtn, m_speedRestore, m_speedDel}, true);
    enable({m_verwijder, m_herstel}, true);
}

void TBackupForm::readFileList(QListWidget* list, const std::string& folder, bool keepSelection)
{
    QSet<QByteArray> selected;
    if (keepSelection) {
        for (const QListWidgetItem* item : list->selectedItems())
            selected.insert(item->data(kNameRole).toByteArray());
    }
    (list == m_fileListBox1 ? m_folder1 : m_folder2) = folder;

    struct Entry
    {
        QString text;
        QByteArray name;
    };
    std::vector<Entry> entries;
    SystemError error;
    if (!folder.empty()) {
        if (auto listing = m_ctx.platform.openDir(folder, error)) {
            FileInfo info;
            while (listing->next(info)) {
                if (info.isDir)
                    continue;
                const QByteArray name = QByteArray::fromStdString(info.name);
                entries.push_back({QFile::decodeName(name), name});
            }
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int order = a.text.compare(b.text, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });

    m_settingSelection = true;
    list->clear();
    for (const Entry& entry : entries) {
        auto* item = new QListWidgetItem(entry.text, list);
        item->setData(kNameRole, entry.name);
        if (selected.contains(entry.name))
            item->setSelected(true);
    }
    m_settingSelection = false;
}

void TBackupForm::showMirrorFolder()
{
    const std::string d = m_boom1->Directory();
    if (d.empty()) {
        readFileList(m_fileListBox2, std::string(), false);
        return;
    }
    const std::string m = layout::MirrorFolder(m_ctx.state.BackupBase, d);
    const std::string folder = TextBeforeLast('\\', m);
    FileInfo info;
    if (m_ctx.platform.fileInfo(folder, info) && info.isDir)
        readFileList(m_fileListBox2, folder, false);
    else
        readFileList(m_fileListBox2, std::string(), false);
}

void TBackupForm::ShowFolderFiles()
{
    m_ctx.ui.busy(true);
    const int top = topLine(m_fileListBox2);
    readFileList(m_fileListBox1, m_boom1->Directory(), false);
    showMirrorFolder();
    setTopLine(m_fileListBox2, top);

    if (m_fileListBox1->count() > 0) {
        enable({m_selecteerBestandenInBackup, m_selecteerAlles}, true);
        if (hasSelection(m_fileListBox1)) {
            enable({m_addBtn, m_speedAdd}, true);
            m_voegtoe->setEnabled(true);
        }
    }
    if (m_fileListBox2->count() == 0) {
        enable({m_delBtn, m_restoreBtn}, false);
        enable({m_selecteerAlles2, m_verwijder, m_herstel}, false);
    } else {
        m_selecteerAlles2->setEnabled(true);
    }
    m_ctx.ui.busy(false);
}

void TBackupForm::refreshSourceFiles()
{
    readFileList(m_fileListBox1, m_folder1, false);
}

void TBackupForm::refreshBackupFiles()
{
    const int top = topLine(m_fileListBox2);
    readFileList(m_fileListBox2, m_folder2, true);
    setTopLine(m_fileListBox2, top);
}

std::vector<std::string> TBackupForm::selectedNames(const QListWidget* list) const
{
    std::vector<std::string> names;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            names.push_back(nameOf(list->item(row)));
    }
    return names;
}

bool TBackupForm::hasSelection(const QListWidget* list) const
{
    return !list->selectedItems().isEmpty();
}

int TBackupForm::topLine(const QListWidget* list) const
{
    const QModelIndex top = list->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

void TBackupForm::setTopLine(QListWidget* list, int line)
{
    if (line >= 0 && line < list->count())
        list->scrollToItem(list->item(line), QAbstractItemView::PositionAtTop);
}

void TBackupForm::setHint(const char* dutch, const char* english)
{
    m_hintLabel->setText(nlEn(dutch, english));
}

// ---- The file commands

void TBackupForm::AddBtnClick()
{
    OperationLock lock;
    if (m_ctx.state.OperationRunning || !lockOperation(lock, m_ctx))
        return;
    const int top = topLine(m_fileListBox2);
    const std::string d = m_boom1->Directory();
    if (AddFiles(m_ctx, d, selectedNames(m_fileListBox1)) > 0) {
        readFileList(m_fileListBox2,
                     TextBeforeLast('\\', layout::MirrorFolder(m_ctx.state.BackupBase, d)), false);
        setTopLine(m_fileListBox2, top);
    }
    if (m_fileListBox2->count() > 0) {
        m_selecteerAlles2->setEnabled(true);
    } else {
        enable({m_delBtn, m_restoreBtn}, false);
        enable({m_selecteerAlles2, m_verwijder, m_herstel}, false);
    }
}

void TBackupForm::DelBtnClick()
{
    OperationLock lock;
    if (m_ctx.state.OperationRunning || !lockOperation(lock, m_ctx))
        return;
    const int top = topLine(m_fileListBox2);
    RemoveFiles(m_ctx, m_folder2, selectedNames(m_fileListBox2));
    // A file that could not be removed stays, and stays selected.
    readFileList(m_fileListBox2, m_folder2, true);
    setTopLine(m_fileListBox2, top);
    if (m_fileListBox2->count() > 0) {
        m_selecteerAlles2->setEnabled(true);
        if (hasSelection(m_fileListBox2)) {
            enable({m_speedDel, m_speedRestore, m_delBtn, m_restoreBtn}, true);
            enable({m_verwijder, m_herstel}, true);
        }
    } else {
        enable({m_delBtn, m_restoreBtn}, false);
        enable({m_selecteerAlles2, m_verwijder, m_herstel}, false);
    }

    const int top1 = topLine(m_fileListBox1);
    m_settingSelection = true;
    m_fileListBox1->clearSelection();
    m_settingSelection = false;
    readFileList(m_fileListBox1, m_folder1, false);
    setTopLine(m_fileListBox1, top1 < m_fileListBox1->count() ? top1 : m_fileListBox1->count() - 1);
}

void TBackupForm::RestoreBtnClick()
{
    OperationLock lock;
    if (m_ctx.state.OperationRunning || !lockOperation(lock, m_ctx))
        return;
    const int top = topLine(m_fileListBox2);
    RestoreFiles(m_ctx, m_folder2, m_boom1->Directory(), selectedNames(m_fileListBox2));
    readFileList(m_fileListBox1, m_folder1, false);
    setTopLine(m_fileListBox2, top);
}

// ---- The selection commands of the menus

void TBackupForm::SelecteerBestandenInBackupClick()
{
    enable({m_addBtn, m_speedAdd}, false);
    m_voegtoe->setEnabled(false);
    const int top = topLine(m_fileListBox1);
    std::vector<std::string> backupNames;
    for (int row = 0; row < m_fileListBox2->count(); ++row)
        backupNames.push_back(nameOf(m_fileListBox2->item(row)));
    m_settingSelection = true;
    for (int row = 0; row < m_fileListBox1->count(); ++row) {
        QListWidgetItem* item = m_fileListBox1->item(row);
        const bool inBackup = IsInList(nameOf(item), backupNames);
        item->setSelected(inBackup);
        if (inBackup) {
            enable({m_addBtn, m_speedAdd}, true);
            m_voegtoe->setEnabled(true);
        }
    }
    m_settingSelection = false;
    setTopLine(m_fileListBox1, top);
}

void TBackupForm::SelecteerAllesClick()
{
    enable({m_addBtn, m_speedAdd}, false);
    m_voegtoe->setEnabled(false);
    if (m_fileListBox1->count() == 0)
        return;
    m_settingSelection = true;
    m_fileListBox1->selectAll();
    m_settingSelection = false;
    enable({m_addBtn, m_speedAdd}, true);
    enable({m_selecteerAlles, m_voegtoe}, true);
}

void TBackupForm::KeerSelectieOm1Click()
{
    if (m_fileListBox1->count() == 0)
        return;
    m_settingSelection = true;
    for (int row = 0; row < m_fileListBox1->count(); ++row) {
        QListWidgetItem* item = m_fileListBox1->item(row);
        item->setSelected(!item->isSelected());
    }
    m_settingSelection = false;
    m_selecteerAlles->setEnabled(true);
}

void TBackupForm::SelecteerAlles2Click()
{
    if (m_fileListBox2->count() == 0)
        return;
    m_settingSelection = true;
    m_fileListBox2->selectAll();
    m_settingSelection = false;
    enable({m_delBtn, m_restoreBtn, m_speedRestore, m_speedDel}, true);
    enable({m_verwijder, m_herstel}, true);
}

void TBackupForm::KeerSelectieom2Click()
{
    m_selecteerAlles->setEnabled(false);
    m_settingSelection = true;
    for (int row = 0; row < m_fileListBox2->count(); ++row) {
        QListWidgetItem* item = m_fileListBox2->item(row);
        item->setSelected(!item->isSelected());
        if (item->isSelected())
            m_selecteerAlles->setEnabled(true);
    }
    m_settingSelection = false;
}

} // namespace kx
