// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ActivityLog.h"
#include "engine/BackupTarget.h"
#include "engine/EngineContext.h"
#include "engine/MediaRecords.h"
#include "engine/UserInterface.h"
#include "platform/OperationLock.h"
#include "platform/Platform.h"
#include "support/Language.h"
#include "support/SystemFacts.h"
#include "worker/DriveFindings.h"
#include "worker/DriveFlags.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QFrame;
class QIcon;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QUrl;

namespace kx {

class ManageWindow;
class NewFilesWindow;
class AboutDialog;
class BackupDrive;
class QuestionDialog;
class TextInputDialog;
class TimedMessage;
class OperationRunner;
struct RunOutcome;

/**
 * The main window: nine commands as buttons on the left (and in the context menu), the text
 * area, the status line with its progress bar. It is the engine's user interface for every
 * operation started from the program's windows. Make Backups, Restore All and Duplicate run on
 * the operation runner's worker: while one works, the other commands are disabled, and its own
 * button reads "Stop" and stops it.
 */
class MainWindow : public QMainWindow, public UserInterface
{
    Q_OBJECT

public:
    /** The other windows, created after the main window. */
    struct Windows
    {
        ManageWindow* backup = nullptr;
        NewFilesWindow* newer = nullptr;
        AboutDialog* about = nullptr;
        QuestionDialog* yesNo = nullptr;
        TimedMessage* message = nullptr;
        TextInputDialog* ask = nullptr;
        /** The backup drive the windows share; the first paint chooses it. */
        BackupDrive* backupDrive = nullptr;
        /** Shows the update-check dialog; true when the user asked for a check at once. */
        std::function<bool()> askForUpdateCheck;
        /** The update check the user asked for. */
        std::function<void()> checkForUpdate;
        /** Reads the automatic-check setting; true when the check is on. */
        std::function<bool()> loadAutoCheckSetting;
        /** The automatic check a minute after start. */
        std::function<void()> autoCheckForUpdate;
    };

    /** Creates the window almost wholly off-screen, sets its texts in the user's language and
     *  reads the settings; the first paint places it. */
    MainWindow(Platform& platform, DriveFlags& driveFlags, BackupTarget& target,
               MediaRecords& media, ActivityLog& log, const SystemFacts& facts,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    /** Hands over the engine's context and the windows created after this one. */
    void attach(EngineContext& ctx, const Windows& windows);

    /** A file operation of the program's windows works: this window's, the manage window's or
     *  the newer-files window's. */
    bool operationWorking() const;

    /** Runs the window's file operations; null before attach(). */
    OperationRunner* runner() const { return m_runner.get(); }

    /** The engine operations behind the commands that run on the worker; each returns what
     *  it found of the backup drive. */
    struct Operations
    {
        std::function<DriveFindings(EngineContext&)> makeBackups;
        std::function<DriveFindings(EngineContext&)> restoreAll;
        std::function<DriveFindings(EngineContext&)> duplicateMedium;
        std::function<DriveFindings(EngineContext&)> verifyBackup;
    };
    /** The engine's own operations unless replaced, as a test does with one that it controls. */
    void setOperations(Operations operations) { m_operations = std::move(operations); }

    /** How the log and the help pages are opened; the desktop's default handler unless
     *  replaced. */
    void setUrlOpener(std::function<bool(const QUrl&)> opener);

    QString versionText() const { return m_versionText; }
    bool firstPaintDone() const { return m_firstPaintDone; }
    /** Brings the window forward: restored when minimised, raised otherwise. */
    void bringForward();

    // The engine's user interface
    void addLine(const std::string& line) override;
    void failure(const std::string& line) override;
    void clearLines() override;
    void progress(int position) override;
    void showProgress(bool shown) override;
    void progressTotalKnown(bool known) override;
    /** The bar moves by progress(); the bytes have no display of their own here. */
    void progressBytes(std::int64_t, std::int64_t) override {}
    bool askCopyWhatFits(const std::string& caption, const std::string& shortage,
                         const std::string& question) override;
    /** The summary at the run's end tells the counts; the window shows none on the way. */
    void runCounts(const RunResult&) override {}
    void status(const std::string& text) override;
    bool askYesNo(const std::string& caption, const std::string& question) override;
    bool askText(const std::string& caption, const std::string& prompt,
                 std::string& answer) override;
    void showTimed(const std::string& text, int seconds) override;
    void warn(const std::string& text) override;
    void inform(const std::string& text) override;
    void busy(bool on) override;

signals:
    /** The first paint's work is done: window placed, drive chosen, instructions shown. */
    void firstPaintFinished();
    /** The window closed: the program ends. */
    void closed();

public slots:
    void showNewFiles();
    void makeBackups();
    void showManageWindow();
    void restoreAll();
    void duplicateMedium();
    /** Compares the backup files with their sources; a command of the context menu alone. */
    void verifyBackup();
    void openLog();
    void showUpdateCheck();
    void showInfoMenu();
    void closeProgram();
    void showHelpContents();
    void showHelpIndex();
    void showAboutDialog();
    void runAutomaticUpdateCheck();
    /** Duplicate is offered for removable and CD backup drives only. */
    void setDuplicateAllowed(bool allowed);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Command
    {
        QAction* action;
        QPushButton* button;
        const Text* caption;
        const Text* hint;
    };

    void placeOffScreen();
    void buildControls();
    /** The commands' buttons, with the context menu that offers the same commands. */
    void buildButtonPanel(QWidget* central);
    /** Adds a command: an action in the context menu and a button in the panel. */
    QAction* addCommand(const char* actionName, const char* buttonName, const QIcon& icon,
                        const Text& caption, const Text& hint, void (MainWindow::*handler)());
    void buildOutput(QWidget* central);
    void buildStatusLine();
    void buildInfoMenu();
    void setTexts();
    void firstPaint();
    void startLog();
    void showInstructions();
    QString text(const Text& text) const;
    /** Starts a file operation on the runner unless one runs already, here or in another
     *  Kopierix: a second one is refused with a warning. While it runs, the command that
     *  started it stops it. `afterwards` runs here once the operation has ended. */
    void runOperation(QAction* command, const Text& clickLine,
                      std::function<DriveFindings(EngineContext&)> operation,
                      std::function<void()> afterwards = {});
    void operationFinished();
    /** Takes what a run left (the target, the medium's records, what it found of the backup
     *  drive) as the program's own, on the GUI thread once the run has ended. */
    void applyRunResult(const RunOutcome& outcome);
    /** Enables the commands after the run state: all but the running one are off while a run
     *  works, and Duplicate only where the backup drive allows it. */
    void updateCommands();
    /** The program's yes/no question before a stop; true, with the stop requested, for Yes. */
    bool askToStop();
    bool running() const;

    Platform& m_platform;
    DriveFlags& m_driveFlags;
    BackupTarget& m_target;
    MediaRecords& m_media;
    ActivityLog& m_log;
    const SystemFacts& m_facts;
    Language m_language;
    std::function<bool(const QUrl&)> m_open;
    EngineContext* m_ctx = nullptr;
    Windows m_windows;
    std::function<void()> m_afterRun;
    Operations m_operations;
    /** Ended first of all in the destructor. */
    std::unique_ptr<OperationRunner> m_runner;
    /** The command whose operation runs; its button reads "Stop". */
    QAction* m_runningCommand = nullptr;
    bool m_duplicateAllowed = true;

    // The instructions are those of the first use.
    bool m_firstTime = true;

    QString m_versionText;
    bool m_firstPaintDone = false;
    bool m_firstPaintQueued = false;
    /** Shared by the open windows for their lifetime: a headless run beside them does not start
     *  a new log. Let go after every run of the windows has ended (see the destructor). */
    OperationLock m_windowsLock{OperationLock::Kind::Windows};
    /** Failures told before the instructions fill the text area; they follow the instructions. */
    QStringList m_failuresAtStart;
    bool m_instructionsShown = false;

    std::vector<Command> m_commands;
    QFrame* m_buttonPanel = nullptr;
    QPlainTextEdit* m_output = nullptr;
    QFrame* m_statusPanel = nullptr;
    QLabel* m_statusLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QAction* m_newFilesAction = nullptr;
    QAction* m_makeBackupsAction = nullptr;
    QAction* m_manageAction = nullptr;
    QAction* m_restoreAllAction = nullptr;
    QAction* m_duplicateAction = nullptr;
    QAction* m_viewLogAction = nullptr;
    QAction* m_updateAction = nullptr;
    QAction* m_infoAction = nullptr;
    QAction* m_closeAction = nullptr;
    QAction* m_verifyAction = nullptr;
    QPushButton* m_infoButton = nullptr;
    QMenu* m_contextMenu = nullptr;
    QMenu* m_outputMenu = nullptr;
    QAction* m_copyAction = nullptr;
    QMenu* m_infoPopup = nullptr;
    QAction* m_helpContentsAction = nullptr;
    QAction* m_helpIndex = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_mouseToButtonAction = nullptr;
    QTimer* m_updateTimer = nullptr;
};

} // namespace kx
