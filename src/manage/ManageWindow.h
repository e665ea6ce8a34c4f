#pragma once

#include "engine/EngineContext.h"

#include <QDialog>

#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace kx {

class DriveComboBox;
class PaneSplitter;
class FolderTree;

/**
 * The manage window: the folder tree of a source drive, the files of the chosen folder, and
 * beside them the files of its mirror folder on the backup drive, with the commands that add
 * files to the backup, remove them from it and restore them from it. It is also the one place
 * where the backup drive is chosen.
 *
 * Created once, right after the main window, and shown modally by its Manage button. Before it
 * is ever shown, the main window's first paint uses it to choose the drives:
 *
 *     backupForm->onSourceDriveChanged();          // loads the source tree
 *     backupForm->selectBackupDrive(letter);       // the stored backup drive
 *     state.mainFormReady = true;
 *     backupForm->onBackupDriveChanged();          // backup root, records, status line
 *
 * Every control carries its name as its objectName (Boom1, FileListBox1, AddBtn, ...). Closing
 * the window stores the backup drive, the medium's date and total, and the window's layout.
 */
class ManageWindow : public QDialog
{
    Q_OBJECT

public:
    /** Reads the stored backup drive into the backup root and applies the stored layout. */
    ManageWindow(EngineContext& ctx, QWidget* parent);
    ~ManageWindow() override;

    /** The source drive was chosen: loads its folder tree and shows the chosen folder's files
     *  beside their mirror. A network drive is refused with a warning. */
    void onSourceDriveChanged();
    /** Selects the drive in the backup-drive list; before the main window is ready that only
     *  refreshes the computer folder. */
    void selectBackupDrive(char letter);
    /** The backup drive was chosen: sets the backup root, the medium's records and the status
     *  line, shows the mirror folder, and reports through duplicateAllowed() whether the medium
     *  can be duplicated. */
    void onBackupDriveChanged();
    /** Reads the source file list again (after a Restore All). */
    void refreshSourceFiles();
    /** Reads the backup file list again (after files were added elsewhere). */
    void refreshBackupFiles();

public slots:
    /** Reads both drive lists again, each keeping its drive: media came or went. */
    void refreshDrives();

signals:
    /** Whether the backup medium can be duplicated (a removable or CD drive); the main window
     *  enables its Duplicate button by it. */
    void duplicateAllowed(bool allowed);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void firstPaint();
    void layOutControls();
    void saveState();
    void readWindowLayout();
    void writeWindowLayout();
    void writeBackupDrive();

    void rememberSourceDrive();
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
    void setHint(const char* dutch, const char* english);
    /** Drive a: reports that it holds no floppy. */
    bool floppyMissing();
    QString nlEn(const char* dutch, const char* english) const;

    EngineContext& m_ctx;

    QFrame* m_panel5 = nullptr;
    QFrame* m_sourceBevel = nullptr;
    QLabel* m_bronLabel = nullptr;
    QFrame* m_backupBevel = nullptr;
    QLabel* m_doelLabel = nullptr;
    QWidget* m_panel1 = nullptr;
    FolderTree* m_folderTree = nullptr;
    DriveComboBox* m_sourceDrive = nullptr;
    PaneSplitter* m_splitter1 = nullptr;
    QWidget* m_panel3 = nullptr;
    QListWidget* m_sourceFiles = nullptr;
    PaneSplitter* m_splitter2 = nullptr;
    QToolButton* m_speedAdd = nullptr;
    QToolButton* m_speedDel = nullptr;
    QToolButton* m_speedRestore = nullptr;
    QWidget* m_panel4 = nullptr;
    QListWidget* m_backupFiles = nullptr;
    DriveComboBox* m_backupDrive = nullptr;
    QFrame* m_panel2 = nullptr;
    QPushButton* m_addBtn = nullptr;
    QPushButton* m_delBtn = nullptr;
    QPushButton* m_restoreBtn = nullptr;
    QPushButton* m_okBtn = nullptr;
    QLabel* m_hintLabel = nullptr;
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
    bool m_expandPending = false;
    char m_previousSourceDrive = 'c';
    /** The folders the two file lists show; empty while a list is emptied. */
    std::string m_sourceFolder;
    std::string m_backupFolder;
    /** Set while the program itself changes a list's selection: only the user's changes count
     *  as clicks on the list. */
    bool m_settingSelection = false;

    // Pane sizes: the tree pane (the left edge of Splitter1) and the source file pane.
    int m_panel1Width = 200;
    int m_panel3Width = 150;
    int m_dragStartWidth = 0;
};

} // namespace kx
