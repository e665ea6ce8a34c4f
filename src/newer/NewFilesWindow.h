#pragma once

#include "engine/EngineContext.h"
#include "support/Language.h"

#include <QDialog>

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

/**
 * The newer-files window: proposes source files that resemble the backup but are not in it yet
 * (same folder mirror, an extension found there, newer than the medium's last backup), and adds
 * the ones the user selects. Created once at start and shown modally; each opening scans once,
 * right after the window appears, with the window's own progress bar. Every control carries its
 * name as its objectName (ListBox, VoegtoeBtn, SluitAfBtn, BackupLabel, ...).
 */
class NewFilesWindow : public QDialog
{
    Q_OBJECT

public:
    NewFilesWindow(EngineContext& ctx, QWidget* parent);
    ~NewFilesWindow() override;

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
    void onProposalsClicked();
    void selectAllProposals();
    void addSelectedProposals();
    void showLines();
    QString text(const Text& text) const;

    EngineContext& m_ctx;
    Language m_language;
    /** The user interface of the scan: the window's own progress bar, the rest as `m_ctx`. */
    std::unique_ptr<UserInterface> m_scanUi;
    std::unique_ptr<EngineContext> m_scanCtx;

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
