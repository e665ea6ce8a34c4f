// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "support/Language.h"
#include "worker/DriveFindings.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QToolButton;

namespace kx {

class BackupDrive;
class DriveComboBox;
class FolderTree;
class OperationRunner;
struct RunOutcome;

/**
 * The manage window: the folder tree of a source drive, the files of the chosen folder, and
 * beside them the files of its mirror folder on the backup drive, with the commands that add
 * files to the backup, remove them from it and restore them from it. It is also where the user
 * chooses the backup drive.
 *
 * Created once, right after the main window. It shows the backup drive that the windows share
 * (BackupDrive) and forwards the user's choice of it there; when the windows come up, it loads
 * the source tree before that drive is chosen.
 *
 * Every control carries its name as its objectName (Boom1, FileListBox1, AddBtn, ...). Closing
 * the window stores the backup drive, the medium's date and total, and the window's layout.
 *
 * Add, Remove and Restore run on a worker of their own: while one works, the panes and the
 * commands are disabled, and closing the window asks whether to stop it first.
 */
class ManageWindow : public QDialog
{
    Q_OBJECT

public:
    /** Reads the stored layout, and chooses the drive of the user's home as the source
     *  drive. */
    ManageWindow(EngineContext& ctx, BackupDrive& backupDrive, QWidget* parent);
    ~ManageWindow() override;

    /** A file command works on the window's worker. */
    bool isWorking() const;

    /** Reads the source file list again (after a Restore All). */
    void refreshSourceFiles();
    /** Reads the backup file list again (after files were added elsewhere). */
    void refreshBackupFiles();

public slots:
    /** Reads both drive lists again, each keeping its drive: media came or went. */
    void refreshDrives();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    /** The sunken titles over the source side and the backup side. */
    void buildTitles();
    /** The folder tree with the source drive list, and the source file list. */
    void buildSourcePanes();
    /** The backup file list with the backup drive list. */
    void buildBackupPane();
    /** The glyph buttons between the sides, and the bar of command buttons with the hint. */
    void buildCommandButtons();
    /** The file lists' menus and their short cuts. */
    void buildMenus();
    /** The drive lists, the tree and the file lists to what they change. */
    void connectPanes();
    /** The buttons and the menus' commands to the file and selection commands. */
    void connectCommands();
    void buildLayout();
    /** The tree pane beside the source file pane, under their title; returns the side. */
    QWidget* layoutSourceSide(int titleHeight, int driveBand);
    /** The backup file pane under its title; returns the side. */
    QWidget* layoutBackupSide(int titleHeight, int driveBand);
    /** The two sides, with the glyph buttons on the handle between them. */
    void layoutPaneSplitter(QWidget* sourceSide, QWidget* backupSide, int titleHeight);
    /** The command buttons in a row, the hint line under them. */
    void layoutButtonBar();
    void firstPaint();
    void saveState();
    void readWindowLayout();
    /** Gives the panes the widths read from the settings, as far as the window has room for
     *  them: the backup pane keeps at least its smallest width. */
    void applyPaneWidths();
    void widenForFolderNames();
    void writeWindowLayout();

    void rememberSourceDrive();
    /** The source drive was chosen: loads its folder tree and shows the chosen folder's files
     *  beside their mirror. The first tree of a run opens at the user's home folder when the
     *  drive holds it, later ones at the drive's root. A network drive is refused with a
     *  warning. */
    void onSourceDriveChanged();
    /** The user chose a backup drive in the list: the choice goes to the backup drive. */
    void onBackupDriveChanged();
    /** A backup drive was chosen: the list shows it, and the backup list its mirror folder. */
    void showBackupDrive(char letter);
    void onFolderClicked();
    void onFolderMousePressed(Qt::MouseButton button, const QPoint& position);
    void onFolderMouseReleased(const QPoint& position);
    void onFolderKeyReleased();
    void onFolderExpanded(const QModelIndex& index);
    void onFolderDoubleClicked();
    void sortFolderTree();
    void onSourceFilesClicked();
    void onBackupFilesClicked();

    void showFolderFiles();
    /** Starts a file command on the worker unless another Kopierix operation runs (a warning
     *  says so); the operation lock is held until it has ended. `afterwards` runs here then. */
    void runFileCommand(std::function<DriveFindings(EngineContext&)> command,
                        std::function<void()> afterwards);
    void fileCommandFinished();
    /** Takes what a file command left (the medium's records, what it found of the backup
     *  drive) as the program's own, on the GUI thread once the command has ended. */
    void applyRunResult(const RunOutcome& outcome);
    /** Off while a file command works; on again restores what each control was before. */
    void setCommandsAvailable(bool on);
    void addSelectedFiles();
    void removeSelectedFiles();
    void restoreSelectedFiles();

    void selectSourceFilesInBackup();
    void selectAllSourceFiles();
    void invertSourceSelection();
    void selectAllBackupFiles();
    void invertBackupSelection();

    /** Lists the files of `folder` (no final "\" except a root); empty text empties the list. */
    void readFileList(QListWidget* list, const std::string& folder, bool keepSelection);
    /** Shows the mirror folder of the tree's folder in the backup list, or empties it. */
    void showMirrorFolder();
    std::vector<std::string> selectedNames(const QListWidget* list) const;
    bool hasSelection(const QListWidget* list) const;
    int topLine(const QListWidget* list) const;
    void setTopLine(QListWidget* list, int line);
    QString text(const Text& text) const;
    /** The status line that names the backup list's entry and the missing floppy. */
    std::string noFloppyStatus() const;

    EngineContext& m_ctx;
    BackupDrive& m_drive;
    Language m_language;
    std::function<void()> m_afterRun;
    /** Ended first of all in the destructor. */
    std::unique_ptr<OperationRunner> m_runner;
    /** The menus' commands, disabled together while a file command works. */
    QActionGroup* m_commandActions = nullptr;
    /** Whether Add, Remove and Restore were enabled when the file command started. */
    std::array<bool, 3> m_buttonsBeforeRun{};

    QFrame* m_sourceTitleFrame = nullptr;
    QLabel* m_sourceTitle = nullptr;
    QFrame* m_backupTitleFrame = nullptr;
    QLabel* m_backupTitle = nullptr;
    /** The source side (tree and file list, under their title) beside the backup side; its
     *  handle carries the three command buttons. */
    QSplitter* m_paneSplitter = nullptr;
    /** The tree pane beside the source file pane. */
    QSplitter* m_sourceSplitter = nullptr;
    QWidget* m_treePane = nullptr;
    FolderTree* m_folderTree = nullptr;
    DriveComboBox* m_sourceDrive = nullptr;
    QWidget* m_sourceFilesPane = nullptr;
    QListWidget* m_sourceFiles = nullptr;
    QToolButton* m_quickAdd = nullptr;
    QToolButton* m_quickRemove = nullptr;
    QToolButton* m_quickRestore = nullptr;
    QWidget* m_backupPane = nullptr;
    QListWidget* m_backupFiles = nullptr;
    DriveComboBox* m_backupDrive = nullptr;
    QFrame* m_buttonBar = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_hint = nullptr;
    QMenu* m_sourceMenu = nullptr;
    QAction* m_selectInBackupAction = nullptr;
    QAction* m_selectAllSourceAction = nullptr;
    QAction* m_invertSourceAction = nullptr;
    QAction* m_addAction = nullptr;
    QAction* m_closeSourceAction = nullptr;
    QMenu* m_backupMenu = nullptr;
    QAction* m_selectAllBackupAction = nullptr;
    QAction* m_invertBackupAction = nullptr;
    QAction* m_removeAction = nullptr;
    QAction* m_restoreAction = nullptr;
    QAction* m_closeBackupAction = nullptr;
    QTimer* m_sortTimer = nullptr;

    bool m_firstPaintDone = false;
    bool m_paneWidthsApplied = false;
    bool m_expandPending = false;
    char m_previousSourceDrive = 'c';
    /** The user's home as a drive path; the first tree of a run opens there. */
    std::string m_homeFolder;
    bool m_sourceTreeLoaded = false;
    /** The folders the two file lists show; empty while a list is emptied. */
    std::string m_sourceFolder;
    std::string m_backupFolder;
    /** Set while the program itself changes a list's selection: only the user's changes count
     *  as clicks on the list. */
    bool m_settingSelection = false;

    /** The pane widths read from the settings, applied when the window is first shown. */
    int m_storedTreePaneWidth = 0;
    int m_storedSourceFilesWidth = 0;
    bool m_treeWidthStored = false;
};

} // namespace kx
