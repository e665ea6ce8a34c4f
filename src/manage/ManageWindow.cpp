#include "manage/ManageWindow.h"

#include "dialogs/Help.h"
#include "engine/BackupLayout.h"
#include "engine/FileCommands.h"
#include "engine/MediumRecords.h"
#include "engine/NewerFiles.h"
#include "engine/OperationGate.h"
#include "engine/Settings.h"
#include "manage/DriveComboBox.h"
#include "manage/FolderTree.h"
#include "manage/PaneSplitter.h"
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

// Window layout settings, section "Defaults"
constexpr const char* kManageLeft = "Beheer Left";
constexpr const char* kManageTop = "Beheer Top";
constexpr const char* kManageHeight = "Beheer Height";
constexpr const char* kManageWidth = "Beheer Width";
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

ManageWindow::ManageWindow(EngineContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("BackupForm"));
    setModal(true);
    buildControls();

    // FormCreate
    m_firstPaintDone = false;
    {
        auto store = m_ctx.platform.openSettings();
        m_ctx.state.backupBase =
            store->readString(settings::kDefaults, settings::kBackupDrive, "c:\\");
    }
    readWindowLayout();
    m_expandPending = false;
}

ManageWindow::~ManageWindow() = default;

QString ManageWindow::nlEn(const char* dutch, const char* english) const
{
    return QString::fromUtf8(inLanguage(m_ctx.language(), Text{dutch, english}));
}

void ManageWindow::buildControls()
{
    setMinimumSize(320, 220);
    setHelpContext(this, helpcontext::Manage);

    m_panel5 = new QFrame(this);
    m_panel5->setObjectName(QStringLiteral("Panel5"));
    m_sourceBevel = new QFrame(m_panel5);
    m_sourceBevel->setObjectName(QStringLiteral("BronBevel"));
    m_sourceBevel->setFrameShape(QFrame::Panel);
    m_sourceBevel->setFrameShadow(QFrame::Sunken);
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
    m_folderTree = new FolderTree(m_ctx.platform, m_panel1);
    m_folderTree->setObjectName(QStringLiteral("Boom1"));
    setHelpContext(m_folderTree, helpcontext::ManageTree);
    m_sourceDrive = new DriveComboBox(m_ctx.platform, m_panel1);
    m_sourceDrive->setObjectName(QStringLiteral("DriveComboBox1"));
    setHelpContext(m_sourceDrive, helpcontext::ManageSourceDrive);

    m_splitter1 = new PaneSplitter(this);
    m_splitter1->setObjectName(QStringLiteral("Splitter1"));

    m_panel3 = new QWidget(this);
    m_panel3->setObjectName(QStringLiteral("Panel3"));
    m_sourceFiles = new QListWidget(m_panel3);
    m_sourceFiles->setObjectName(QStringLiteral("FileListBox1"));
    setHelpContext(m_sourceFiles, helpcontext::ManageSourceFiles);

    m_splitter2 = new PaneSplitter(this);
    m_splitter2->setObjectName(QStringLiteral("Splitter2"));

    m_panel4 = new QWidget(this);
    m_panel4->setObjectName(QStringLiteral("Panel4"));
    m_backupFiles = new QListWidget(m_panel4);
    m_backupFiles->setObjectName(QStringLiteral("FileListBox2"));
    setHelpContext(m_backupFiles, helpcontext::ManageBackupFiles);
    m_backupDrive = new DriveComboBox(m_ctx.platform, m_panel4);
    m_backupDrive->setObjectName(QStringLiteral("DriveComboBox2"));
    setHelpContext(m_backupDrive, helpcontext::ManageBackupDrive);

    for (QListWidget* list : {m_sourceFiles, m_backupFiles}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->viewport()->installEventFilter(this);
    }
    m_folderTree->setFocusPolicy(Qt::StrongFocus);

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
    setHelpContext(m_panel2, helpcontext::ManageButtonPanel);
    auto bottomButton = [this](const char* name) {
        auto* button = new QPushButton(m_panel2);
        button->setObjectName(QLatin1String(name));
        button->setCursor(Qt::PointingHandCursor);
        button->setFixedSize(kButtonWidth, kButtonHeight);
        button->setAutoDefault(false);
        setHelpContext(button, helpcontext::ManageButtons);
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
    m_sourceMenu = new QMenu(this);
    m_sourceMenu->setObjectName(QStringLiteral("Popup1"));
    m_selectInBackupAction = action(m_sourceMenu, "SelecteerBestandenInBackup");
    m_selectAllSourceAction = action(m_sourceMenu, "SelecteerAlles");
    m_invertSourceAction = action(m_sourceMenu, "KeerSelectieOm1");
    m_sourceMenu->addSeparator();
    m_addAction = action(m_sourceMenu, "Voegtoe");
    m_sourceMenu->addSeparator();
    m_closeSourceAction = action(m_sourceMenu, "Sluit1");

    m_backupMenu = new QMenu(this);
    m_backupMenu->setObjectName(QStringLiteral("Popup2"));
    m_selectAllBackupAction = action(m_backupMenu, "SelecteerAlles2");
    m_invertBackupAction = action(m_backupMenu, "KeerSelectieom2");
    m_backupMenu->addSeparator();
    m_removeAction = action(m_backupMenu, "Verwijder");
    m_restoreAction = action(m_backupMenu, "Herstel");
    m_backupMenu->addSeparator();
    m_closeBackupAction = action(m_backupMenu, "Sluit2");

    // The short cuts of a menu work in its list.
    auto listShortcut = [](QListWidget* list, QAction* a, const QKeySequence& keys) {
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        list->addAction(a);
    };
    listShortcut(m_sourceFiles, m_selectAllSourceAction, QKeySequence(Qt::CTRL | Qt::Key_A));
    listShortcut(m_backupFiles, m_selectAllBackupAction, QKeySequence(Qt::CTRL | Qt::Key_A));
    listShortcut(m_backupFiles, m_removeAction, QKeySequence(Qt::Key_Delete));

    m_sortTimer = new QTimer(this);
    m_sortTimer->setObjectName(QStringLiteral("Timer1"));
    m_sortTimer->setInterval(100);
    m_sortTimer->setSingleShot(true);

    // Wiring
    connect(m_sourceDrive, &DriveComboBox::aboutToOpen, this, &ManageWindow::rememberSourceDrive);
    connect(m_sourceDrive, &DriveComboBox::driveChanged, this, &ManageWindow::onSourceDriveChanged);
    connect(m_backupDrive, &DriveComboBox::driveChanged, this, &ManageWindow::onBackupDriveChanged);
    connect(m_folderTree, &FolderTree::clickHandled, this, &ManageWindow::onFolderClicked);
    connect(m_folderTree, &FolderTree::mousePressed, this, &ManageWindow::onFolderMousePressed);
    connect(m_folderTree, &FolderTree::mouseReleased, this,
            [this](Qt::MouseButton, const QPoint& position) { onFolderMouseReleased(position); });
    connect(m_folderTree, &FolderTree::keyReleased, this, &ManageWindow::onFolderKeyReleased);
    connect(m_folderTree, &FolderTree::nodeExpanded, this, &ManageWindow::onFolderExpanded);
    connect(m_folderTree, &QTreeView::doubleClicked, this, &ManageWindow::onFolderDoubleClicked);
    connect(m_sortTimer, &QTimer::timeout, this, &ManageWindow::sortFolderTree);

    connect(m_sourceFiles, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingSelection)
            onSourceFilesClicked();
    });
    connect(m_backupFiles, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingSelection)
            onBackupFilesClicked();
    });
    connect(m_sourceFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_sourceMenu->exec(m_sourceFiles->viewport()->mapToGlobal(p));
    });
    connect(m_backupFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_backupMenu->exec(m_backupFiles->viewport()->mapToGlobal(p));
    });

    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_addBtn, m_speedAdd})
        connect(b, &QAbstractButton::clicked, this, &ManageWindow::addSelectedFiles);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_delBtn, m_speedDel})
        connect(b, &QAbstractButton::clicked, this, &ManageWindow::removeSelectedFiles);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_restoreBtn, m_speedRestore})
        connect(b, &QAbstractButton::clicked, this, &ManageWindow::restoreSelectedFiles);
    connect(m_okBtn, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_addAction, &QAction::triggered, this, &ManageWindow::addSelectedFiles);
    connect(m_removeAction, &QAction::triggered, this, &ManageWindow::removeSelectedFiles);
    connect(m_restoreAction, &QAction::triggered, this, &ManageWindow::restoreSelectedFiles);
    connect(m_closeSourceAction, &QAction::triggered, this, &QDialog::accept);
    connect(m_closeBackupAction, &QAction::triggered, this, &QDialog::accept);
    connect(m_selectInBackupAction, &QAction::triggered, this,
            &ManageWindow::selectSourceFilesInBackup);
    connect(m_selectAllSourceAction, &QAction::triggered, this,
            &ManageWindow::selectAllSourceFiles);
    connect(m_invertSourceAction, &QAction::triggered, this, &ManageWindow::invertSourceSelection);
    connect(m_selectAllBackupAction, &QAction::triggered, this,
            &ManageWindow::selectAllBackupFiles);
    connect(m_invertBackupAction, &QAction::triggered, this, &ManageWindow::invertBackupSelection);

    connect(m_splitter1, &PaneSplitter::dragStarted, this,
            [this] { m_dragStartWidth = m_panel1Width; });
    connect(m_splitter1, &PaneSplitter::dragged, this, [this](int dx) {
        const int room = width() - kSplitter1Width - m_panel3Width - kSplitter2Width - kMinPane;
        m_panel1Width = std::max(kMinPane, std::min(m_dragStartWidth + dx, room));
        layOutControls();
    });
    connect(m_splitter2, &PaneSplitter::dragStarted, this,
            [this] { m_dragStartWidth = m_panel3Width; });
    connect(m_splitter2, &PaneSplitter::dragged, this, [this](int dx) {
        const int room = width() - m_panel1Width - kSplitter1Width - kSplitter2Width - kMinPane;
        m_panel3Width = std::max(kMinPane, std::min(m_dragStartWidth + dx, room));
        layOutControls();
    });

    for (DriveComboBox* list : {m_sourceDrive, m_backupDrive})
        list->setFixedSize(kDriveListWidth, list->sizeHint().height());
}

// ---- Window events

void ManageWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_firstPaintDone)
        firstPaint();
    layOutControls();
}

void ManageWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layOutControls();
}

bool ManageWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool onList1 = watched == m_sourceFiles->viewport();
    const bool onList2 = watched == m_backupFiles->viewport();
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
                onSourceFilesClicked();
            else
                onBackupFilesClicked();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ManageWindow::done(int result)
{
    if (isVisible())
        saveState();
    QDialog::done(result);
}

void ManageWindow::firstPaint()
{
    m_firstPaintDone = true;
    setWindowTitle(QString::fromLatin1(kProductName) + nlEn(" - Beheer", " - Manage"));
    m_hintLabel->setText(
        nlEn("Kies de juiste Bron-directory", "Select the right Source directory"));
    m_bronLabel->setText(nlEn("- Bron -", "- Source -"));
    m_selectInBackupAction->setText(QString());
    m_selectAllSourceAction->setText(nlEn("Selecteer Alles", "Select All"));
    m_invertSourceAction->setText(nlEn("Keer Selectie om", "Reverse Selection"));
    m_addAction->setText(nlEn("Voegtoe aan Backup", "Add to Backup"));
    m_closeSourceAction->setText(nlEn("Sluit Venster", "Close Window"));
    m_removeAction->setText(nlEn("Verwijder uit Backup", "Remove from Backup"));
    m_restoreAction->setText(nlEn("Herstel vanuit Backup", "Restore from Backup"));
    m_sourceDrive->setToolTip(nlEn("Kies de Bronschijf", "Select the Source Drive"));
    m_backupDrive->setToolTip(nlEn("Kies de Backupschijf", "Select the Backup Drive"));
    m_addBtn->setText(nlEn("Voegtoe", "Add"));
    m_delBtn->setText(nlEn("Verwijder", "Remove"));
    m_restoreBtn->setText(nlEn("Herstel", "Restore"));

    m_selectAllBackupAction->setText(m_selectAllSourceAction->text());
    m_invertBackupAction->setText(m_invertSourceAction->text());
    m_closeBackupAction->setText(m_closeSourceAction->text());
    m_okBtn->setText(m_closeSourceAction->text());
    m_addBtn->setToolTip(m_addAction->text());
    m_speedAdd->setToolTip(m_addAction->text());
    m_delBtn->setToolTip(m_removeAction->text());
    m_speedDel->setToolTip(m_removeAction->text());
    m_restoreBtn->setToolTip(m_restoreAction->text());
    m_speedRestore->setToolTip(m_restoreAction->text());
    m_okBtn->setToolTip(m_closeSourceAction->text());
    m_bronLabel->adjustSize();
    m_doelLabel->adjustSize();

    enable({m_addBtn, m_delBtn, m_restoreBtn, m_speedAdd, m_speedDel, m_speedRestore}, false);
    enable({m_selectInBackupAction, m_selectAllSourceAction, m_addAction, m_removeAction,
            m_restoreAction},
           false);
    m_folderTree->setFocus();
}

void ManageWindow::layOutControls()
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
    m_sourceFiles->setGeometry(0, 0, m_panel3Width, middle);
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

    const int comboHeight = m_sourceDrive->height();
    m_folderTree->setGeometry(kBoomLeft, 0, std::max(0, m_panel1->width() - kBoomMargin),
                              std::max(0, m_panel1->height() - 2 * comboHeight));
    m_backupFiles->setGeometry(0, 0, m_panel4->width(), m_folderTree->height());
    m_sourceDrive->move((m_panel1->width() - m_sourceDrive->width()) / 2,
                        m_folderTree->height() + comboHeight / 2);
    m_backupDrive->move((m_panel4->width() - m_backupDrive->width()) / 2, m_sourceDrive->y());

    const int titleTop = (kPanel5Height - m_bronLabel->height()) / 2;
    m_sourceBevel->setGeometry(m_folderTree->x() + 1, 2, m_panel1->width() + m_panel3->width(),
                               kPanel5Height - 4);
    m_bronLabel->move((m_panel1->width() + m_panel3->width() - m_bronLabel->width()) / 2, titleTop);
    m_backupBevel->setGeometry(m_panel4->x(), 2, m_panel4->width() - 2, kPanel5Height - 4);
    m_doelLabel->move((m_panel4->width() - m_doelLabel->width()) / 2 + m_panel4->x(), titleTop);
    m_bronLabel->raise();
    m_doelLabel->raise();

    m_hintLabel->setGeometry(10, 8 + kButtonHeight + 6, m_panel2->width() - 10,
                             m_hintLabel->sizeHint().height());
}

void ManageWindow::saveState()
{
    writeBackupDrive();
    writeLastDate(m_ctx, m_ctx.state.backupTotalSize, m_ctx.state.lastBackupDate);
    writeWindowLayout();
}

void ManageWindow::readWindowLayout()
{
    auto store = m_ctx.platform.openSettings();
    auto read = [&](const char* ident, int fallback) {
        return static_cast<int>(store->readInteger(settings::kDefaults, ident, fallback));
    };
    move(read(kManageLeft, 100), read(kManageTop, 100));
    resize(read(kManageWidth, 550), read(kManageHeight, 375));
    m_folderTree->resize(read(kBoomWidth, 195), m_folderTree->height());
    m_panel1Width = read(kSplitter1Left, 200);
    m_panel3Width = read(kFile1Width, 150);
}

void ManageWindow::writeWindowLayout()
{
    auto store = m_ctx.platform.openSettings();
    store->writeInteger(settings::kDefaults, kManageLeft, x());
    store->writeInteger(settings::kDefaults, kManageTop, y());
    store->writeInteger(settings::kDefaults, kManageHeight, height());
    store->writeInteger(settings::kDefaults, kManageWidth, width());
    store->writeInteger(settings::kDefaults, kBoomWidth, m_folderTree->width());
    store->writeInteger(settings::kDefaults, kSplitter1Left, m_splitter1->x());
    store->writeInteger(settings::kDefaults, kFile1Width, m_panel3->width());
    store->sync();
}

void ManageWindow::writeBackupDrive()
{
    const ProgramState& state = m_ctx.state;
    // A drive that was not ready is not remembered, unless it is a floppy drive with a disk.
    if (state.noDisk && !(onFloppyDrive(state.backupBase) && !state.noFloppy))
        return;
    auto store = m_ctx.platform.openSettings();
    store->writeString(settings::kDefaults, settings::kBackupDrive, storedBackupDrive(state));
    store->sync();
}

// ---- Drives

bool ManageWindow::floppyMissing()
{
    return mediumMissing(m_ctx.platform, 'a');
}

void ManageWindow::rememberSourceDrive()
{
    m_previousSourceDrive = m_sourceDrive->drive();
}

void ManageWindow::onSourceDriveChanged()
{
    const char letter = m_sourceDrive->drive();
    if (letter == 0)
        return;
    m_ctx.state.noFloppy = floppyMissing();
    if (m_ctx.state.noFloppy) {
        if (m_sourceDrive->firstDrive() == 'a')
            m_sourceDrive->setFirstEntryText(QString::fromLatin1(kNoFloppyEntry));
        if (letter == 'a') {
            m_ctx.ui.status(" Backupschijf: " + toEngine(m_backupDrive->currentText()) +
                            ", geen floppy aanwezig");
            m_sourceDrive->setCurrentIndex(0);
            return;
        }
    }
    if (driveTypeOf(m_ctx.platform, letter) == DriveType::Remote) {
        m_ctx.ui.warn("U kunt geen backup maken van een netwerkschijf.");
        // Choosing the previous drive again runs this handler for it.
        m_sourceDrive->setDrive(m_previousSourceDrive);
        return;
    }
    m_folderTree->loadDrive(std::string(1, letter) + ":\\");
    m_folderTree->sortTree();
    m_previousSourceDrive = letter;
    if (isVisible())
        m_sourceFiles->setFocus();
    showFolderFiles();
}

void ManageWindow::selectBackupDrive(char letter)
{
    m_backupDrive->setDrive(letter);
}

void ManageWindow::onBackupDriveChanged()
{
    const char letter = m_backupDrive->drive();
    if (letter == 0)
        return;
    ProgramState& state = m_ctx.state;
    const bool floppyWarned = state.floppyWarned;
    kx::selectBackupDrive(m_ctx, letter);
    if (!state.mainFormReady)
        return;

    if (floppyMissing()) {
        if (m_backupDrive->firstDrive() == 'a')
            m_backupDrive->setFirstEntryText(QString::fromLatin1(kNoFloppyEntry));
        if (letter == 'a') {
            // The status line names the list's entry as it reads now.
            if (!floppyWarned && state.floppyWarned)
                m_ctx.ui.status(" Backupschijf: " + toEngine(m_backupDrive->currentText()) +
                                ", geen floppy aanwezig");
            m_backupDrive->setCurrentIndex(0);
            return;
        }
    }

    showMirrorFolder();
    const DriveType type =
        driveTypeOf(m_ctx.platform, state.backupBase.empty() ? letter : state.backupBase[0]);
    emit duplicateAllowed(type == DriveType::CdRom || type == DriveType::Removable);
    enable({m_delBtn, m_restoreBtn, m_speedRestore, m_speedDel}, false);
    enable({m_removeAction, m_restoreAction}, false);
}

void ManageWindow::refreshDrives()
{
    m_sourceDrive->rebuild();
    m_backupDrive->rebuild();
}

// ---- The tree

void ManageWindow::onFolderClicked()
{
    enable({m_addBtn, m_delBtn, m_restoreBtn, m_speedAdd, m_speedDel, m_speedRestore}, false);
    enable({m_selectInBackupAction, m_selectAllSourceAction, m_addAction, m_removeAction,
            m_restoreAction},
           false);
}

void ManageWindow::onFolderMousePressed(Qt::MouseButton button, const QPoint& position)
{
    if (button == Qt::RightButton) {
        const QModelIndex index = m_folderTree->indexAt(position);
        if (index.isValid())
            m_folderTree->setCurrentIndex(index);
    }
    setHint("Kies de juiste Bron-directory", "Select the right Source Directory");
}

void ManageWindow::onFolderMouseReleased(const QPoint& position)
{
    if (m_expandPending) {
        m_expandPending = false;
        const QModelIndex index = m_folderTree->indexAt(position);
        if (index.isValid())
            m_folderTree->scrollTo(index, QAbstractItemView::PositionAtTop);
    }
    showFolderFiles();
}

void ManageWindow::onFolderKeyReleased()
{
    showFolderFiles();
}

void ManageWindow::onFolderExpanded(const QModelIndex& index)
{
    m_expandPending = index != m_folderTree->topVisibleIndex();
    m_sortTimer->start();
}

void ManageWindow::sortFolderTree()
{
    m_sortTimer->stop();
    m_folderTree->sortTree();
}

void ManageWindow::onFolderDoubleClicked()
{
    // The view has toggled the folder already; its resulting state is applied once more.
    const QModelIndex index = m_folderTree->currentIndex();
    if (!index.isValid())
        return;
    if (m_folderTree->isExpanded(index))
        m_folderTree->expand(index);
    else
        m_folderTree->collapse(index);
}

// ---- The file lists

void ManageWindow::onSourceFilesClicked()
{
    enable({m_addBtn, m_speedAdd}, true);
    enable({m_selectInBackupAction, m_selectAllSourceAction, m_addAction}, true);
}

void ManageWindow::onBackupFilesClicked()
{
    enable({m_delBtn, m_restoreBtn, m_speedRestore, m_speedDel}, true);
    enable({m_removeAction, m_restoreAction}, true);
}

void ManageWindow::readFileList(QListWidget* list, const std::string& folder, bool keepSelection)
{
    QSet<QByteArray> selected;
    if (keepSelection) {
        for (const QListWidgetItem* item : list->selectedItems())
            selected.insert(item->data(kNameRole).toByteArray());
    }
    (list == m_sourceFiles ? m_sourceFolder : m_backupFolder) = folder;

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

void ManageWindow::showMirrorFolder()
{
    const std::string d = m_folderTree->directory();
    if (d.empty()) {
        readFileList(m_backupFiles, std::string(), false);
        return;
    }
    const std::string m = layout::mirrorFolder(m_ctx.state.backupBase, d);
    const std::string folder = textBeforeLast('\\', m);
    FileInfo info;
    if (m_ctx.platform.fileInfo(folder, info) && info.isDir)
        readFileList(m_backupFiles, folder, false);
    else
        readFileList(m_backupFiles, std::string(), false);
}

void ManageWindow::showFolderFiles()
{
    m_ctx.ui.busy(true);
    const int top = topLine(m_backupFiles);
    readFileList(m_sourceFiles, m_folderTree->directory(), false);
    showMirrorFolder();
    setTopLine(m_backupFiles, top);

    if (m_sourceFiles->count() > 0) {
        enable({m_selectInBackupAction, m_selectAllSourceAction}, true);
        if (hasSelection(m_sourceFiles)) {
            enable({m_addBtn, m_speedAdd}, true);
            m_addAction->setEnabled(true);
        }
    }
    if (m_backupFiles->count() == 0) {
        enable({m_delBtn, m_restoreBtn}, false);
        enable({m_selectAllBackupAction, m_removeAction, m_restoreAction}, false);
    } else {
        m_selectAllBackupAction->setEnabled(true);
    }
    m_ctx.ui.busy(false);
}

void ManageWindow::refreshSourceFiles()
{
    readFileList(m_sourceFiles, m_sourceFolder, false);
}

void ManageWindow::refreshBackupFiles()
{
    const int top = topLine(m_backupFiles);
    readFileList(m_backupFiles, m_backupFolder, true);
    setTopLine(m_backupFiles, top);
}

std::vector<std::string> ManageWindow::selectedNames(const QListWidget* list) const
{
    std::vector<std::string> names;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            names.push_back(nameOf(list->item(row)));
    }
    return names;
}

bool ManageWindow::hasSelection(const QListWidget* list) const
{
    return !list->selectedItems().isEmpty();
}

int ManageWindow::topLine(const QListWidget* list) const
{
    const QModelIndex top = list->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

void ManageWindow::setTopLine(QListWidget* list, int line)
{
    if (line >= 0 && line < list->count())
        list->scrollToItem(list->item(line), QAbstractItemView::PositionAtTop);
}

void ManageWindow::setHint(const char* dutch, const char* english)
{
    m_hintLabel->setText(nlEn(dutch, english));
}

// ---- The file commands

void ManageWindow::addSelectedFiles()
{
    OperationLock lock;
    if (m_ctx.state.operationRunning || !lockOperation(lock, m_ctx))
        return;
    const int top = topLine(m_backupFiles);
    const std::string d = m_folderTree->directory();
    if (addFiles(m_ctx, d, selectedNames(m_sourceFiles)).done > 0) {
        readFileList(m_backupFiles,
                     textBeforeLast('\\', layout::mirrorFolder(m_ctx.state.backupBase, d)), false);
        setTopLine(m_backupFiles, top);
    }
    if (m_backupFiles->count() > 0) {
        m_selectAllBackupAction->setEnabled(true);
    } else {
        enable({m_delBtn, m_restoreBtn}, false);
        enable({m_selectAllBackupAction, m_removeAction, m_restoreAction}, false);
    }
}

void ManageWindow::removeSelectedFiles()
{
    OperationLock lock;
    if (m_ctx.state.operationRunning || !lockOperation(lock, m_ctx))
        return;
    const int top = topLine(m_backupFiles);
    removeFiles(m_ctx, m_backupFolder, selectedNames(m_backupFiles));
    // A file that could not be removed stays, and stays selected.
    readFileList(m_backupFiles, m_backupFolder, true);
    setTopLine(m_backupFiles, top);
    if (m_backupFiles->count() > 0) {
        m_selectAllBackupAction->setEnabled(true);
        if (hasSelection(m_backupFiles)) {
            enable({m_speedDel, m_speedRestore, m_delBtn, m_restoreBtn}, true);
            enable({m_removeAction, m_restoreAction}, true);
        }
    } else {
        enable({m_delBtn, m_restoreBtn}, false);
        enable({m_selectAllBackupAction, m_removeAction, m_restoreAction}, false);
    }

    const int top1 = topLine(m_sourceFiles);
    m_settingSelection = true;
    m_sourceFiles->clearSelection();
    m_settingSelection = false;
    readFileList(m_sourceFiles, m_sourceFolder, false);
    setTopLine(m_sourceFiles, top1 < m_sourceFiles->count() ? top1 : m_sourceFiles->count() - 1);
}

void ManageWindow::restoreSelectedFiles()
{
    OperationLock lock;
    if (m_ctx.state.operationRunning || !lockOperation(lock, m_ctx))
        return;
    const int top = topLine(m_backupFiles);
    restoreFiles(m_ctx, m_backupFolder, m_folderTree->directory(), selectedNames(m_backupFiles));
    readFileList(m_sourceFiles, m_sourceFolder, false);
    setTopLine(m_backupFiles, top);
}

// ---- The selection commands of the menus

void ManageWindow::selectSourceFilesInBackup()
{
    enable({m_addBtn, m_speedAdd}, false);
    m_addAction->setEnabled(false);
    const int top = topLine(m_sourceFiles);
    std::vector<std::string> backupNames;
    for (int row = 0; row < m_backupFiles->count(); ++row)
        backupNames.push_back(nameOf(m_backupFiles->item(row)));
    m_settingSelection = true;
    for (int row = 0; row < m_sourceFiles->count(); ++row) {
        QListWidgetItem* item = m_sourceFiles->item(row);
        const bool inBackup = isInList(nameOf(item), backupNames);
        item->setSelected(inBackup);
        if (inBackup) {
            enable({m_addBtn, m_speedAdd}, true);
            m_addAction->setEnabled(true);
        }
    }
    m_settingSelection = false;
    setTopLine(m_sourceFiles, top);
}

void ManageWindow::selectAllSourceFiles()
{
    enable({m_addBtn, m_speedAdd}, false);
    m_addAction->setEnabled(false);
    if (m_sourceFiles->count() == 0)
        return;
    m_settingSelection = true;
    m_sourceFiles->selectAll();
    m_settingSelection = false;
    enable({m_addBtn, m_speedAdd}, true);
    enable({m_selectAllSourceAction, m_addAction}, true);
}

void ManageWindow::invertSourceSelection()
{
    if (m_sourceFiles->count() == 0)
        return;
    m_settingSelection = true;
    for (int row = 0; row < m_sourceFiles->count(); ++row) {
        QListWidgetItem* item = m_sourceFiles->item(row);
        item->setSelected(!item->isSelected());
    }
    m_settingSelection = false;
    m_selectAllSourceAction->setEnabled(true);
}

void ManageWindow::selectAllBackupFiles()
{
    if (m_backupFiles->count() == 0)
        return;
    m_settingSelection = true;
    m_backupFiles->selectAll();
    m_settingSelection = false;
    enable({m_delBtn, m_restoreBtn, m_speedRestore, m_speedDel}, true);
    enable({m_removeAction, m_restoreAction}, true);
}

void ManageWindow::invertBackupSelection()
{
    m_selectAllSourceAction->setEnabled(false);
    m_settingSelection = true;
    for (int row = 0; row < m_backupFiles->count(); ++row) {
        QListWidgetItem* item = m_backupFiles->item(row);
        item->setSelected(!item->isSelected());
        if (item->isSelected())
            m_selectAllSourceAction->setEnabled(true);
    }
    m_settingSelection = false;
}

} // namespace kx
