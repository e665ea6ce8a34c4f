// SPDX-License-Identifier: GPL-3.0-or-later
#include "manage/ManageWindow.h"

#include "dialogs/Help.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/UiText.h"
#include "engine/BackupLayout.h"
#include "engine/FileCommands.h"
#include "engine/MediumRecords.h"
#include "engine/NewerFiles.h"
#include "engine/OperationGate.h"
#include "engine/Settings.h"
#include "engine/StatusLine.h"
#include "manage/DriveComboBox.h"
#include "manage/FolderTree.h"
#include "manage/ManageTexts.h"
#include "support/DriveQueries.h"
#include "support/TextHelpers.h"
#include "worker/BackupDrive.h"
#include "worker/BackupDriveTexts.h"
#include "worker/CloseAfterRun.h"
#include "worker/OperationRunner.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cctype>

namespace kx {

namespace {

// Window layout settings, section "Defaults"
constexpr const char* kManageLeft = "Beheer Left";
constexpr const char* kManageTop = "Beheer Top";
constexpr const char* kManageHeight = "Beheer Height";
constexpr const char* kManageWidth = "Beheer Width";
constexpr const char* kTreeWidth = "Boom Width";
constexpr const char* kTreePaneWidth = "Splitter1 Left";
constexpr const char* kSourceFilesWidth = "File1 Width";

constexpr int kDefaultTreePaneWidth = 200;
constexpr int kDefaultSourceFilesWidth = 150;

// The sizes of the window's parts at the usual font; larger fonts make them grow.
constexpr int kTitleHeight = 24;
constexpr int kCommandButtonWidth = 102;
constexpr int kCommandButtonHeight = 25;
constexpr int kCommandButtonGap = 10;
constexpr int kQuickButtonSide = 30;
constexpr int kQuickButtonGap = 7;
constexpr int kSourceHandleWidth = 3;
// The tree stands in its pane with a narrow margin on each side: a pane of 200 holds a tree
// of 195.
constexpr int kTreeMarginLeft = 2;
constexpr int kTreeMarginRight = 3;

constexpr int kNameRole = Qt::UserRole + 1; // a file's name as the file system has it

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

/** A pane's title in its sunken frame, two pixels in from the title strip's edges. */
QVBoxLayout* titleStrip(QFrame* frame, QLabel* label, const QMargins& margins, int titleHeight)
{
    auto* inFrame = new QHBoxLayout(frame);
    inFrame->setContentsMargins(0, 0, 0, 0);
    inFrame->addWidget(label);
    auto* strip = new QVBoxLayout;
    strip->setContentsMargins(margins);
    strip->addWidget(frame);
    frame->setFixedHeight(titleHeight - margins.top() - margins.bottom());
    return strip;
}

/** Under the tree and the backup list, each drive list stands centred in a band twice its
 *  height. */
void addDriveList(QVBoxLayout* pane, DriveComboBox* list, int band)
{
    pane->addSpacing(band / 2);
    pane->addWidget(list, 0, Qt::AlignHCenter);
    pane->addSpacing(band - band / 2);
}

/** The smallest width a layout gives the widget. */
int smallestWidth(const QWidget* widget)
{
    return std::max(widget->minimumWidth(), widget->minimumSizeHint().width());
}

/** The icon in its usual look, and faded when its button is disabled: the style's own disabled
 *  form of a dark glyph can hardly be told from the enabled one. */
QIcon fadedWhenDisabled(const QIcon& icon, int extent)
{
    QIcon result;
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap normal = icon.pixmap(QSize(extent, extent), ratio);
        QPixmap faded(normal.size());
        faded.setDevicePixelRatio(normal.devicePixelRatio());
        faded.fill(Qt::transparent);
        QPainter painter(&faded);
        painter.setOpacity(0.3);
        painter.drawPixmap(QPoint(0, 0), normal);
        painter.end();
        result.addPixmap(normal, QIcon::Normal);
        result.addPixmap(faded, QIcon::Disabled);
    }
    return result;
}

} // namespace

ManageWindow::ManageWindow(EngineContext& ctx, BackupDrive& backupDrive, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_drive(backupDrive),
      m_language(languageOf(ctx.facts.languageCode))
{
    setObjectName(QStringLiteral("BackupForm"));
    setModal(true);
    buildControls();
    buildLayout();
    m_runner = std::make_unique<OperationRunner>(ctx, ctx.ui);
    connect(m_runner.get(), &OperationRunner::finished, this, &ManageWindow::fileCommandFinished);

    m_firstPaintDone = false;
    readWindowLayout();
    m_expandPending = false;

    // The user's own files are where the source side starts.
    m_homeFolder = m_ctx.platform.homeFolder();
    if (!m_homeFolder.empty()) {
        const QSignalBlocker blocker(m_sourceDrive);
        m_sourceDrive->setDrive(m_homeFolder[0]);
        if (m_sourceDrive->drive() != 0)
            m_previousSourceDrive = m_sourceDrive->drive();
    }

    // The source tree is loaded before the backup drive is chosen: a refused network drive is
    // told before anything the backup drive has to say.
    connect(&m_drive, &BackupDrive::aboutToStart, this, &ManageWindow::onSourceDriveChanged);
    connect(&m_drive, &BackupDrive::chosen, this, &ManageWindow::showBackupDrive);
}

ManageWindow::~ManageWindow()
{
    // A command still working is stopped and waited for before anything it uses goes: the
    // members, the widgets QDialog deletes after them, and the operation lock it holds.
    m_runner.reset();
}

bool ManageWindow::isWorking() const
{
    return m_runner->isRunning();
}

QString ManageWindow::text(const Text& text) const
{
    return uiText(m_language, text);
}

std::string ManageWindow::noFloppyStatus() const
{
    return backupDriveStatusLine(m_language, DriveStatus::NoFloppy,
                                 toEngine(m_backupDrive->currentText()));
}

void ManageWindow::buildControls()
{
    setHelpContext(this, helpcontext::Manage);
    buildTitles();
    buildSourcePanes();
    buildBackupPane();
    for (QListWidget* list : {m_sourceFiles, m_backupFiles}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->viewport()->installEventFilter(this);
    }
    m_folderTree->setFocusPolicy(Qt::StrongFocus);

    buildCommandButtons();
    buildMenus();

    m_sortTimer = new QTimer(this);
    m_sortTimer->setObjectName(QStringLiteral("Timer1"));
    m_sortTimer->setInterval(100);
    m_sortTimer->setSingleShot(true);

    connectPanes();
    connectCommands();
}

void ManageWindow::buildTitles()
{
    auto titleFrame = [this](const char* name) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QLatin1String(name));
        frame->setFrameShape(QFrame::Panel);
        frame->setFrameShadow(QFrame::Sunken);
        return frame;
    };
    auto title = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    m_sourceTitleFrame = titleFrame("BronBevel");
    m_sourceTitle = title("BronLabel");
    m_sourceTitle->setText(text(manageText::sourceTitle));
    m_backupTitleFrame = titleFrame("BackupBevel");
    m_backupTitle = title("DoelLabel");
    m_backupTitle->setText(text(manageText::backupTitle));
}

void ManageWindow::buildSourcePanes()
{
    m_treePane = new QWidget(this);
    m_treePane->setObjectName(QStringLiteral("Panel1"));
    m_folderTree = new FolderTree(m_ctx.platform, m_treePane);
    m_folderTree->setObjectName(QStringLiteral("Boom1"));
    setHelpContext(m_folderTree, helpcontext::ManageTree);
    m_sourceDrive = new DriveComboBox(m_ctx.platform, m_treePane);
    m_sourceDrive->setObjectName(QStringLiteral("DriveComboBox1"));
    setHelpContext(m_sourceDrive, helpcontext::ManageSourceDrive);

    m_sourceFilesPane = new QWidget(this);
    m_sourceFilesPane->setObjectName(QStringLiteral("Panel3"));
    m_sourceFiles = new QListWidget(m_sourceFilesPane);
    m_sourceFiles->setObjectName(QStringLiteral("FileListBox1"));
    setHelpContext(m_sourceFiles, helpcontext::ManageSourceFiles);
}

void ManageWindow::buildBackupPane()
{
    m_backupPane = new QWidget(this);
    m_backupPane->setObjectName(QStringLiteral("Panel4"));
    m_backupFiles = new QListWidget(m_backupPane);
    m_backupFiles->setObjectName(QStringLiteral("FileListBox2"));
    setHelpContext(m_backupFiles, helpcontext::ManageBackupFiles);
    m_backupDrive = new DriveComboBox(m_ctx.platform, m_backupPane);
    m_backupDrive->setObjectName(QStringLiteral("DriveComboBox2"));
    setHelpContext(m_backupDrive, helpcontext::ManageBackupDrive);
}

void ManageWindow::buildCommandButtons()
{
    // The three command buttons beside the backup pane: large enough to hit, and with a
    // glyph that fades when the command is not available.
    const int quickSide = std::max(kQuickButtonSide, 2 * fontMetrics().height());
    const int glyph = quickSide * 2 / 3;
    auto quickButton = [this, quickSide, glyph](const char* name, const char* themeIcon,
                                                QStyle::StandardPixmap icon) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setCursor(Qt::PointingHandCursor);
        button->setFixedSize(quickSide, quickSide);
        button->setIconSize(QSize(glyph, glyph));
        // The desktop theme's icon first, so that the window looks like the rest of the desktop.
        button->setIcon(fadedWhenDisabled(
            QIcon::fromTheme(QLatin1String(themeIcon), style()->standardIcon(icon)), glyph));
        return button;
    };
    m_quickAdd = quickButton("SpeedAdd", "go-next", QStyle::SP_ArrowRight);
    m_quickRemove = quickButton("SpeedDel", "edit-delete", QStyle::SP_TrashIcon);
    m_quickRestore = quickButton("SpeedRestore", "go-previous", QStyle::SP_ArrowLeft);

    m_buttonBar = new QFrame(this);
    m_buttonBar->setObjectName(QStringLiteral("Panel2"));
    setHelpContext(m_buttonBar, helpcontext::ManageButtonPanel);
    auto commandButton = [this](const char* name) {
        auto* button = new QPushButton(m_buttonBar);
        button->setObjectName(QLatin1String(name));
        button->setCursor(Qt::PointingHandCursor);
        button->setMinimumSize(kCommandButtonWidth, kCommandButtonHeight);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        button->setAutoDefault(false);
        setHelpContext(button, helpcontext::ManageButtons);
        return button;
    };
    m_addButton = commandButton("AddBtn");
    m_removeButton = commandButton("DelBtn");
    m_restoreButton = commandButton("RestoreBtn");
    m_closeButton = commandButton("OKBtn");
    m_hint = new QLabel(m_buttonBar);
    m_hint->setObjectName(QStringLiteral("HintLabel"));
    m_hint->setAlignment(Qt::AlignCenter);
    // A long hint is cut rather than widen the window.
    m_hint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ManageWindow::buildMenus()
{
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

    m_commandActions = new QActionGroup(this);
    m_commandActions->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction* a :
         {m_selectInBackupAction, m_selectAllSourceAction, m_invertSourceAction, m_addAction,
          m_selectAllBackupAction, m_invertBackupAction, m_removeAction, m_restoreAction})
        m_commandActions->addAction(a);

    // The short cuts of a menu work in its list.
    auto listShortcut = [](QListWidget* list, QAction* a, const QKeySequence& keys) {
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        list->addAction(a);
    };
    listShortcut(m_sourceFiles, m_selectAllSourceAction, QKeySequence(Qt::CTRL | Qt::Key_A));
    listShortcut(m_backupFiles, m_selectAllBackupAction, QKeySequence(Qt::CTRL | Qt::Key_A));
    listShortcut(m_backupFiles, m_removeAction, QKeySequence(Qt::Key_Delete));
}

void ManageWindow::connectPanes()
{
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
}

void ManageWindow::connectCommands()
{
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{m_addButton, m_quickAdd})
        connect(b, &QAbstractButton::clicked, this, &ManageWindow::addSelectedFiles);
    for (QAbstractButton* b :
         std::initializer_list<QAbstractButton*>{m_removeButton, m_quickRemove})
        connect(b, &QAbstractButton::clicked, this, &ManageWindow::removeSelectedFiles);
    for (QAbstractButton* b :
         std::initializer_list<QAbstractButton*>{m_restoreButton, m_quickRestore})
        connect(b, &QAbstractButton::clicked, this, &ManageWindow::restoreSelectedFiles);
    connect(m_closeButton, &QAbstractButton::clicked, this, &QDialog::accept);
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
}

void ManageWindow::buildLayout()
{
    const int titleHeight = std::max(kTitleHeight, m_sourceTitle->sizeHint().height() + 10);
    // Both drive lists stand in bands of the same height.
    const int driveBand = m_sourceDrive->sizeHint().height();
    QWidget* sourceSide = layoutSourceSide(titleHeight, driveBand);
    QWidget* backupSide = layoutBackupSide(titleHeight, driveBand);
    layoutPaneSplitter(sourceSide, backupSide, titleHeight);
    layoutButtonBar();

    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    windowLayout->addWidget(m_paneSplitter, 1);
    windowLayout->addWidget(m_buttonBar);
}

QWidget* ManageWindow::layoutSourceSide(int titleHeight, int driveBand)
{
    auto* treeLayout = new QVBoxLayout(m_treePane);
    treeLayout->setContentsMargins(kTreeMarginLeft, 0, kTreeMarginRight, 0);
    treeLayout->setSpacing(0);
    treeLayout->addWidget(m_folderTree, 1);
    addDriveList(treeLayout, m_sourceDrive, driveBand);

    auto* sourceFilesLayout = new QVBoxLayout(m_sourceFilesPane);
    sourceFilesLayout->setContentsMargins(0, 0, 0, 0);
    sourceFilesLayout->addWidget(m_sourceFiles);

    m_sourceSplitter = new QSplitter(Qt::Horizontal, this);
    m_sourceSplitter->setChildrenCollapsible(false);
    m_sourceSplitter->setHandleWidth(kSourceHandleWidth);
    m_sourceSplitter->addWidget(m_treePane);
    m_sourceSplitter->addWidget(m_sourceFilesPane);
    // Widening the source side widens the tree and the file list alike.
    m_sourceSplitter->setStretchFactor(0, 1);
    m_sourceSplitter->setStretchFactor(1, 1);
    m_sourceSplitter->handle(1)->setObjectName(QStringLiteral("Splitter1"));

    auto* sourceSide = new QWidget(this);
    auto* sourceLayout = new QVBoxLayout(sourceSide);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    sourceLayout->setSpacing(0);
    sourceLayout->addLayout(titleStrip(m_sourceTitleFrame, m_sourceTitle,
                                       QMargins(kTreeMarginLeft + 1, 2, 0, 2), titleHeight));
    sourceLayout->addWidget(m_sourceSplitter, 1);
    return sourceSide;
}

QWidget* ManageWindow::layoutBackupSide(int titleHeight, int driveBand)
{
    auto* backupPaneLayout = new QVBoxLayout(m_backupPane);
    backupPaneLayout->setContentsMargins(0, 0, 0, 0);
    backupPaneLayout->setSpacing(0);
    backupPaneLayout->addWidget(m_backupFiles, 1);
    addDriveList(backupPaneLayout, m_backupDrive, driveBand);

    auto* backupSide = new QWidget(this);
    auto* backupLayout = new QVBoxLayout(backupSide);
    backupLayout->setContentsMargins(0, 0, 0, 0);
    backupLayout->setSpacing(0);
    backupLayout->addLayout(
        titleStrip(m_backupTitleFrame, m_backupTitle, QMargins(0, 2, 2, 2), titleHeight));
    backupLayout->addWidget(m_backupPane, 1);
    return backupSide;
}

void ManageWindow::layoutPaneSplitter(QWidget* sourceSide, QWidget* backupSide, int titleHeight)
{
    // The handle between the two sides is as wide as the command buttons that stand on it,
    // centred beside the panes.
    m_paneSplitter = new QSplitter(Qt::Horizontal, this);
    m_paneSplitter->setChildrenCollapsible(false);
    m_paneSplitter->setHandleWidth(m_quickAdd->width() + 4);
    m_paneSplitter->addWidget(sourceSide);
    m_paneSplitter->addWidget(backupSide);
    // A wider window widens both sides: long folder names need room on the source side too.
    m_paneSplitter->setStretchFactor(0, 1);
    m_paneSplitter->setStretchFactor(1, 1);
    QSplitterHandle* commandHandle = m_paneSplitter->handle(1);
    commandHandle->setObjectName(QStringLiteral("Splitter2"));
    auto* commandLayout = new QVBoxLayout(commandHandle);
    commandLayout->setContentsMargins(0, titleHeight, 0, 0);
    commandLayout->setSpacing(kQuickButtonGap);
    commandLayout->addStretch();
    for (QToolButton* button : {m_quickAdd, m_quickRemove, m_quickRestore})
        commandLayout->addWidget(button, 0, Qt::AlignHCenter);
    commandLayout->addStretch();
    // A splitter asks its panes, not its handles, how small it may become.
    m_paneSplitter->setMinimumHeight(std::max(commandLayout->minimumSize().height(),
                                              m_paneSplitter->minimumSizeHint().height()));
}

void ManageWindow::layoutButtonBar()
{
    // The command buttons in a row centred under the panes, the hint line under them.
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(kCommandButtonGap);
    buttonRow->addStretch();
    for (QPushButton* button : {m_addButton, m_removeButton, m_restoreButton, m_closeButton})
        buttonRow->addWidget(button);
    buttonRow->addStretch();
    auto* barLayout = new QVBoxLayout(m_buttonBar);
    barLayout->setContentsMargins(0, 8, 0, 5);
    barLayout->setSpacing(6);
    barLayout->addLayout(buttonRow);
    barLayout->addWidget(m_hint);
    // The hint's line starts a little in from the window's edge.
    m_hint->setContentsMargins(10, 0, 0, 0);
}

// ---- Window events

void ManageWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_firstPaintDone)
        firstPaint();
    if (!m_paneWidthsApplied) {
        m_paneWidthsApplied = true;
        applyPaneWidths();
        const QModelIndex folder = m_folderTree->currentIndex();
        if (folder.isValid())
            m_folderTree->scrollTo(folder);
    }
}

bool ManageWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool onSourceList = watched == m_sourceFiles->viewport();
    const bool onBackupList = watched == m_backupFiles->viewport();
    if (onSourceList || onBackupList) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_hint->setText(
                text(onSourceList ? manageText::sourceFilesHint : manageText::backupFilesHint));
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // A click counts even when it leaves the selection as it was.
            if (onSourceList)
                onSourceFilesClicked();
            else
                onBackupFilesClicked();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ManageWindow::done(int result)
{
    // Esc, the Close button and the window's own close all come here. A file command that
    // works is stopped first, if the user wants, and the window closes once it has ended.
    const auto askToStop = [this] {
        return askToStopRun(this, QString::fromStdString(m_ctx.facts.languageCode), *m_runner);
    };
    if (!closeAfterRun(*m_runner, askToStop, [this, result] {
            if (isVisible())
                done(result);
        }))
        return;
    if (isVisible())
        saveState();
    QDialog::done(result);
}

void ManageWindow::firstPaint()
{
    m_firstPaintDone = true;
    setWindowTitle(QString::fromLatin1(kProductName) + text(manageText::titleSuffix));
    m_hint->setText(text(manageText::firstHint));
    m_selectInBackupAction->setText(QString());
    m_selectAllSourceAction->setText(text(manageText::selectAll));
    m_invertSourceAction->setText(text(manageText::invertSelection));
    m_addAction->setText(text(manageText::addToBackup));
    m_closeSourceAction->setText(text(manageText::closeWindow));
    m_removeAction->setText(text(manageText::removeFromBackup));
    m_restoreAction->setText(text(manageText::restoreFromBackup));
    m_sourceDrive->setToolTip(text(manageText::sourceDriveTip));
    m_backupDrive->setToolTip(text(manageText::backupDriveTip));
    m_addButton->setText(text(manageText::addButton));
    m_removeButton->setText(text(manageText::removeButton));
    m_restoreButton->setText(text(manageText::restoreButton));

    m_selectAllBackupAction->setText(m_selectAllSourceAction->text());
    m_invertBackupAction->setText(m_invertSourceAction->text());
    m_closeBackupAction->setText(m_closeSourceAction->text());
    m_closeButton->setText(m_closeSourceAction->text());
    m_addButton->setToolTip(m_addAction->text());
    m_removeButton->setToolTip(m_removeAction->text());
    m_restoreButton->setToolTip(m_restoreAction->text());
    m_closeButton->setToolTip(m_closeSourceAction->text());
    // The glyph buttons have no text of their own: their tip is their name as well.
    for (auto [button, action] :
         {std::pair{m_quickAdd, m_addAction}, std::pair{m_quickRemove, m_removeAction},
          std::pair{m_quickRestore, m_restoreAction}}) {
        button->setToolTip(action->text());
        button->setAccessibleName(action->text());
    }

    enable(
        {m_addButton, m_removeButton, m_restoreButton, m_quickAdd, m_quickRemove, m_quickRestore},
        false);
    enable({m_selectInBackupAction, m_selectAllSourceAction, m_addAction, m_removeAction,
            m_restoreAction},
           false);
    m_folderTree->setFocus();
}

void ManageWindow::saveState()
{
    m_drive.store();
    writeBackRecord(m_ctx);
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
    // The tree fills its pane but for its margins, so its width also tells the pane's.
    const int treeWidth =
        read(kTreeWidth, kDefaultTreePaneWidth - kTreeMarginLeft - kTreeMarginRight);
    m_storedTreePaneWidth = read(kTreePaneWidth, treeWidth + kTreeMarginLeft + kTreeMarginRight);
    m_treeWidthStored = store->contains(settings::kDefaults, kTreePaneWidth) ||
                        store->contains(settings::kDefaults, kTreeWidth);
    m_storedSourceFilesWidth = read(kSourceFilesWidth, kDefaultSourceFilesWidth);
}

void ManageWindow::applyPaneWidths()
{
    if (!m_treeWidthStored)
        widenForFolderNames();
    // Widths stored with a larger window, or a larger screen, are cut to what fits: first the
    // source file pane gives way, then the tree pane, and the backup pane keeps at least its
    // smallest width, with its drive list in sight.
    const int sourceHandle = m_sourceSplitter->handleWidth();
    const int room = m_paneSplitter->width() - m_paneSplitter->handleWidth() - sourceHandle -
                     smallestWidth(m_paneSplitter->widget(1));
    const int treeLeast = smallestWidth(m_treePane);
    const int filesLeast = smallestWidth(m_sourceFilesPane);
    const int tree =
        std::clamp(m_storedTreePaneWidth, treeLeast, std::max(treeLeast, room - filesLeast));
    const int files =
        std::clamp(m_storedSourceFilesWidth, filesLeast, std::max(filesLeast, room - tree));
    const int sourceSide = tree + sourceHandle + files;
    m_paneSplitter->setSizes(
        {sourceSide, m_paneSplitter->width() - m_paneSplitter->handleWidth() - sourceSide});
    m_sourceSplitter->setSizes({tree, files});
}

void ManageWindow::widenForFolderNames()
{
    // Before the user has chosen a width, the tree pane is as wide as the folder names it shows,
    // and the window wider by as much, as far as the screen allows.
    const int names = m_folderTree->shownNamesWidth() + 2 * m_folderTree->frameWidth() +
                      m_folderTree->verticalScrollBar()->sizeHint().width();
    const int extra = names + kTreeMarginLeft + kTreeMarginRight - m_storedTreePaneWidth;
    if (extra <= 0)
        return;
    m_storedTreePaneWidth += extra;
    const int screenWidth = screen()->availableGeometry().width();
    resize(std::min(width() + extra, std::max(width(), screenWidth * 9 / 10)), height());
    layout()->activate();
}

void ManageWindow::writeWindowLayout()
{
    auto store = m_ctx.platform.openSettings();
    store->writeInteger(settings::kDefaults, kManageLeft, x());
    store->writeInteger(settings::kDefaults, kManageTop, y());
    store->writeInteger(settings::kDefaults, kManageHeight, height());
    store->writeInteger(settings::kDefaults, kManageWidth, width());
    store->writeInteger(settings::kDefaults, kTreeWidth, m_folderTree->width());
    store->writeInteger(settings::kDefaults, kTreePaneWidth, m_treePane->width());
    store->writeInteger(settings::kDefaults, kSourceFilesWidth, m_sourceFilesPane->width());
    store->sync();
}

// ---- Drives

void ManageWindow::rememberSourceDrive()
{
    m_previousSourceDrive = m_sourceDrive->drive();
}

void ManageWindow::onSourceDriveChanged()
{
    const char letter = m_sourceDrive->drive();
    if (letter == 0)
        return;
    if (m_drive.checkFloppy()) {
        if (m_sourceDrive->firstDrive() == 'a')
            m_sourceDrive->setFirstEntryText(text(driveChoiceText::noFloppyEntry));
        if (letter == 'a') {
            m_ctx.ui.status(noFloppyStatus());
            m_sourceDrive->setCurrentIndex(0);
            return;
        }
    }
    if (driveTypeOf(m_ctx.platform, letter) == DriveType::Remote) {
        m_ctx.ui.warn(inLanguage(m_language, manageText::networkSourceRefused));
        // Choosing the previous drive again runs this handler for it.
        m_sourceDrive->setDrive(m_previousSourceDrive);
        return;
    }
    std::string folder = std::string(1, letter) + ":\\";
    // The first tree of the run opens where the user's own files are.
    if (!m_sourceTreeLoaded && !m_homeFolder.empty() &&
        std::tolower(static_cast<unsigned char>(m_homeFolder[0])) == letter)
        folder = m_homeFolder;
    m_sourceTreeLoaded = true;
    m_folderTree->loadDrive(folder);
    m_folderTree->sortTree();
    m_previousSourceDrive = letter;
    if (isVisible())
        m_sourceFiles->setFocus();
    showFolderFiles();
}

void ManageWindow::onBackupDriveChanged()
{
    const char letter = m_backupDrive->drive();
    if (letter != 0)
        m_drive.choose(letter);
}

void ManageWindow::showBackupDrive(char letter)
{
    if (m_drive.floppyMissing() && m_backupDrive->firstDrive() == 'a')
        m_backupDrive->setFirstEntryText(text(driveChoiceText::noFloppyEntry));
    {
        // The list follows the choice without making it again.
        const QSignalBlocker blocker(m_backupDrive);
        m_backupDrive->setDrive(letter);
    }
    if (m_drive.floppyMissing() && letter == 'a')
        return;
    showMirrorFolder();
    enable({m_removeButton, m_restoreButton, m_quickRestore, m_quickRemove}, false);
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
    enable(
        {m_addButton, m_removeButton, m_restoreButton, m_quickAdd, m_quickRemove, m_quickRestore},
        false);
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
    m_hint->setText(text(manageText::treeHint));
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
    enable({m_addButton, m_quickAdd}, true);
    enable({m_selectInBackupAction, m_selectAllSourceAction, m_addAction}, true);
}

void ManageWindow::onBackupFilesClicked()
{
    enable({m_removeButton, m_restoreButton, m_quickRestore, m_quickRemove}, true);
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
    if (!folder.empty()) {
        if (const auto listing = m_ctx.platform.openDir(folder)) {
            FileInfo info;
            while (listing.value()->next(info)) {
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
    const std::string m = layout::mirrorFolder(m_ctx.target.base, d);
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
            enable({m_addButton, m_quickAdd}, true);
            m_addAction->setEnabled(true);
        }
    }
    if (m_backupFiles->count() == 0) {
        enable({m_removeButton, m_restoreButton}, false);
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

// ---- The file commands

void ManageWindow::runFileCommand(std::function<DriveFindings(EngineContext&)> command,
                                  std::function<void()> afterwards)
{
    if (isWorking())
        return;
    auto lock = std::make_unique<OperationLock>();
    if (!lockOperation(*lock, m_ctx))
        return;
    m_afterRun = std::move(afterwards);
    setCommandsAvailable(false);
    m_runner->start(std::move(command), std::move(lock));
}

void ManageWindow::fileCommandFinished()
{
    applyRunResult(m_runner->outcome());
    setCommandsAvailable(true);
    if (m_afterRun)
        std::exchange(m_afterRun, {})();
}

void ManageWindow::applyRunResult(const RunOutcome& outcome)
{
    m_drive.apply(outcome);
}

void ManageWindow::setCommandsAvailable(bool on)
{
    // The panes hold the tree, the lists, the drive lists and the quick buttons: a drive or
    // folder chosen in the middle of a command would change what the worker is working on.
    const std::array<QPushButton*, 3> buttons{m_addButton, m_removeButton, m_restoreButton};
    if (!on) {
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            m_buttonsBeforeRun[i] = buttons[i]->isEnabled();
            buttons[i]->setEnabled(false);
        }
    } else {
        for (std::size_t i = 0; i < buttons.size(); ++i)
            buttons[i]->setEnabled(m_buttonsBeforeRun[i]);
    }
    m_paneSplitter->setEnabled(on);
    m_commandActions->setEnabled(on);
}

void ManageWindow::addSelectedFiles()
{
    const std::string d = m_folderTree->directory();
    auto result = std::make_shared<FileCommandResult>();
    runFileCommand(
        [d, names = selectedNames(m_sourceFiles), result](EngineContext& ctx) {
            *result = addFiles(ctx, d, names);
            return DriveFindings{};
        },
        [this, d, result, top = topLine(m_backupFiles)] {
            if (result->done > 0) {
                readFileList(m_backupFiles,
                             textBeforeLast('\\', layout::mirrorFolder(m_ctx.target.base, d)),
                             false);
                setTopLine(m_backupFiles, top);
            }
            if (m_backupFiles->count() > 0) {
                m_selectAllBackupAction->setEnabled(true);
            } else {
                enable({m_removeButton, m_restoreButton}, false);
                enable({m_selectAllBackupAction, m_removeAction, m_restoreAction}, false);
            }
        });
}

void ManageWindow::removeSelectedFiles()
{
    runFileCommand(
        [folder = m_backupFolder, names = selectedNames(m_backupFiles)](EngineContext& ctx) {
            removeFiles(ctx, folder, names);
            return DriveFindings{};
        },
        [this, top = topLine(m_backupFiles)] {
            // A file that could not be removed stays, and stays selected.
            readFileList(m_backupFiles, m_backupFolder, true);
            setTopLine(m_backupFiles, top);
            if (m_backupFiles->count() > 0) {
                m_selectAllBackupAction->setEnabled(true);
                if (hasSelection(m_backupFiles)) {
                    enable({m_quickRemove, m_quickRestore, m_removeButton, m_restoreButton}, true);
                    enable({m_removeAction, m_restoreAction}, true);
                }
            } else {
                enable({m_removeButton, m_restoreButton}, false);
                enable({m_selectAllBackupAction, m_removeAction, m_restoreAction}, false);
            }

            const int top1 = topLine(m_sourceFiles);
            m_settingSelection = true;
            m_sourceFiles->clearSelection();
            m_settingSelection = false;
            readFileList(m_sourceFiles, m_sourceFolder, false);
            setTopLine(m_sourceFiles,
                       top1 < m_sourceFiles->count() ? top1 : m_sourceFiles->count() - 1);
        });
}

void ManageWindow::restoreSelectedFiles()
{
    runFileCommand(
        [backup = m_backupFolder, source = m_folderTree->directory(),
         names = selectedNames(m_backupFiles)](EngineContext& ctx) {
            return DriveFindings{.noDisk = restoreFiles(ctx, backup, source, names).noDisk,
                                 .noFloppy = {}};
        },
        [this, top = topLine(m_backupFiles)] {
            readFileList(m_sourceFiles, m_sourceFolder, false);
            setTopLine(m_backupFiles, top);
        });
}

// ---- The selection commands of the menus

void ManageWindow::selectSourceFilesInBackup()
{
    enable({m_addButton, m_quickAdd}, false);
    m_addAction->setEnabled(false);
    const int top = topLine(m_sourceFiles);
    std::vector<std::string> backupNames;
    backupNames.reserve(static_cast<std::size_t>(m_backupFiles->count()));
    for (int row = 0; row < m_backupFiles->count(); ++row)
        backupNames.push_back(nameOf(m_backupFiles->item(row)));
    m_settingSelection = true;
    for (int row = 0; row < m_sourceFiles->count(); ++row) {
        QListWidgetItem* item = m_sourceFiles->item(row);
        const bool inBackup = isInList(nameOf(item), backupNames);
        item->setSelected(inBackup);
        if (inBackup) {
            enable({m_addButton, m_quickAdd}, true);
            m_addAction->setEnabled(true);
        }
    }
    m_settingSelection = false;
    setTopLine(m_sourceFiles, top);
}

void ManageWindow::selectAllSourceFiles()
{
    enable({m_addButton, m_quickAdd}, false);
    m_addAction->setEnabled(false);
    if (m_sourceFiles->count() == 0)
        return;
    m_settingSelection = true;
    m_sourceFiles->selectAll();
    m_settingSelection = false;
    enable({m_addButton, m_quickAdd}, true);
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
    enable({m_removeButton, m_restoreButton, m_quickRestore, m_quickRemove}, true);
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
