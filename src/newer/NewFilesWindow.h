// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "support/Language.h"
#include "worker/DriveFindings.h"
#include "worker/DriveFlags.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kx {

class OperationLock;
class OperationRunner;
struct RunOutcome;

/**
 * The newer-files window: proposes source files that resemble the backup but are not in it yet
 * (same folder mirror, an extension found there, newer than the medium's last backup), and adds
 * the ones the user selects. Created once at start and shown modally; each opening scans once,
 * right after the window appears, with the window's own progress bar. Every control carries its
 * name as its objectName (ListBox, VoegtoeBtn, SluitAfBtn, BackupLabel, ...).
 *
 * The scan and the adding run on a worker of the window's own: while one works, the list and
 * the commands are disabled, and closing the window (Esc, its Close button) asks whether to stop
 * it; the window closes once it has ended.
 */
class NewFilesWindow : public QDialog
{
    Q_OBJECT

public:
    NewFilesWindow(EngineContext& ctx, DriveFlags& driveFlags, QWidget* parent);
    ~NewFilesWindow() override;

    /** The scan or the adding works on the window's worker. */
    bool isWorking() const;

signals:
    /** Files were added to the backup medium; the manage window's backup list may show them. */
    void backupChanged();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void buildLayout();
    void setTexts();
    void saveState();
    void scan();
    /** Starts `operation` on the worker with the list and the commands disabled; `afterwards`
     *  runs here once it has ended. */
    void run(std::function<DriveFindings(EngineContext&)> operation,
             std::function<void()> afterwards, std::unique_ptr<OperationLock> held = nullptr);
    void runFinished();
    /** Takes what a run left (the medium's records, what it found of the backup drive) as the
     *  program's own, on the GUI thread once the run has ended. */
    void applyRunResult(const RunOutcome& outcome);
    void onProposalsClicked();
    void selectAllProposals();
    void addSelectedProposals();
    void showLines();
    QString text(const Text& text) const;

    EngineContext& m_ctx;
    DriveFlags& m_driveFlags;
    Language m_language;
    /** The user interface of the scan: the window's own progress bar, the rest as `m_ctx`. */
    std::unique_ptr<UserInterface> m_scanUi;
    std::function<void()> m_afterRun;
    /** Ended first of all in the destructor. */
    std::unique_ptr<OperationRunner> m_runner;
    bool m_selectAllBeforeRun = false;

    QPlainTextEdit* m_output = nullptr;
    QListWidget* m_proposals = nullptr;
    QFrame* m_statusPanel = nullptr;
    QLabel* m_backupLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QMenu* m_proposalsMenu = nullptr;
    QAction* m_selectAllAction = nullptr;
    QAction* m_addAction = nullptr;
    QAction* m_closeAction = nullptr;

    /** The lines of the list as the engine knows them (source paths as bytes). */
    std::vector<std::string> m_lines;
    bool m_scanDone = false;
    bool m_settingSelection = false;
};

} // namespace kx
