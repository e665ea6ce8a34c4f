#pragma once

#include "engine/ActivityLog.h"
#include "engine/EngineContext.h"
#include "engine/ProgramState.h"
#include "engine/UserInterface.h"
#include "platform/OperationLock.h"
#include "platform/Platform.h"
#include "support/SystemFacts.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kx {

class ManageWindow;
class NewFilesWindow;
class AboutDialog;
class QuestionDialog;
class TextInputDialog;
class TimedMessage;

/**
 * The main window: nine buttons on the left, the text area, the status line with its progress
 * bar. It is the engine's user interface for every operation started from the program's windows.
 */
class MainWindow : public QWidget, public UserInterface
{
    Q_OBJECT

public:
    static constexpr const char* kProductName = "Kopierix";

    /** The other windows, created after the main window. */
    struct Windows
    {
        ManageWindow* backup = nullptr;
        NewFilesWindow* newer = nullptr;
        AboutDialog* about = nullptr;
        QuestionDialog* yesNo = nullptr;
        TimedMessage* message = nullptr;
        TextInputDialog* ask = nullptr;
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
    MainWindow(Platform& platform, ProgramState& state, ActivityLog& log, const SystemFacts& facts,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    /** Hands over the engine's context and the windows created after this one. */
    void attach(EngineContext& ctx, const Windows& windows);

    QString versionText() const { return m_versionText; }
    bool firstPaintDone() const { return m_firstPaintDone; }
    /** Brings the window forward: restored when minimised, raised otherwise. */
    void bringForward();

    // The engine's user interface
    void memo(const std::string& line) override;
    void failure(const std::string& line) override;
    void clearMemo() override;
    void progress(int position) override;
    void showProgress(bool shown) override;
    void pump() override;
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
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void placeOffScreen();
    void buildControls();
    void setTexts();
    void firstPaint();
    void layOutControls();
    void startLog();
    void showInstructions();
    QString nlEn(const char* dutch, const char* english) const;
    /** Runs a file operation unless one runs already, here or in another Kopierix: a second one
     *  is refused with a warning. */
    void runOperation(const std::function<void()>& operation);

    Platform& m_platform;
    ProgramState& m_state;
    ActivityLog& m_log;
    const SystemFacts& m_facts;
    EngineContext* m_ctx = nullptr;
    Windows m_windows;

    QString m_versionText;
    bool m_firstPaintDone = false;
    bool m_firstPaintQueued = false;
    /** Shared by the open windows for their lifetime: a headless run beside them does not start
     *  a new log. */
    OperationLock m_windowsLock{OperationLock::Kind::Windows};
    /** Failures told before the instructions fill the text area; they follow the instructions. */
    QStringList m_failuresAtStart;
    bool m_instructionsShown = false;

    QFrame* m_panel1 = nullptr;
    QPlainTextEdit* m_output = nullptr;
    QFrame* m_statusPanel = nullptr;
    QLabel* m_statusLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_newFilesButton = nullptr;
    QPushButton* m_makeBackupsButton = nullptr;
    QPushButton* m_manageButton = nullptr;
    QPushButton* m_restoreAllButton = nullptr;
    QPushButton* m_duplicateButton = nullptr;
    QPushButton* m_viewLogButton = nullptr;
    QPushButton* m_updateBtn = nullptr;
    QPushButton* m_infoBtn = nullptr;
    QPushButton* m_closeBtn = nullptr;
    QMenu* m_contextMenu = nullptr;
    QMenu* m_infoPopup = nullptr;
    QAction* m_helpContentsAction = nullptr;
    QAction* m_helpIndex = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_mouseToButtonAction = nullptr;
    QTimer* m_updateTimer = nullptr;
};

} // namespace kx
