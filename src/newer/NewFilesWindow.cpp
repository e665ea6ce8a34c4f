// SPDX-License-Identifier: GPL-3.0-or-later
#include "newer/NewFilesWindow.h"

#include "dialogs/QuestionDialog.h"
#include "dialogs/UiText.h"
#include "engine/NewerFiles.h"
#include "engine/OperationGate.h"
#include "engine/Settings.h"
#include "newer/NewerTexts.h"
#include "worker/CloseAfterRun.h"
#include "worker/OperationRunner.h"

#include <QAction>
#include <QBoxLayout>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace kx {

namespace {

constexpr const char* kNewFilesLeft = "Nieuwer Left";
constexpr const char* kNewFilesTop = "Nieuwer Top";
constexpr const char* kNewFilesHeight = "Nieuwer Height";
constexpr const char* kNewFilesWidth = "Nieuwer Width";

// The sizes of the window's parts at the usual font; larger fonts make them grow.
constexpr int kExplanationHeight = 85;
constexpr int kStatusPanelHeight = 53;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;

/** Passes everything to the program's user interface except the progress of the scan, which
 *  the window shows on its own bar. Called on the GUI thread, by the worker's user interface. */
class ScanUi : public UserInterface
{
public:
    ScanUi(UserInterface& inner, QProgressBar& bar) : m_inner(inner), m_bar(bar) {}

    void addLine(const std::string& line) override { m_inner.addLine(line); }
    void failure(const std::string& line) override { m_inner.failure(line); }
    void clearLines() override { m_inner.clearLines(); }
    void progress(int position) override { m_bar.setValue(position); }
    void showProgress(bool shown) override
    {
        m_bar.setVisible(shown);
        if (!shown)
            m_bar.setRange(0, 100);
    }
    void progressTotalKnown(bool known) override { m_bar.setRange(0, known ? 100 : 0); }
    void progressBytes(std::int64_t done, std::int64_t total) override
    {
        m_inner.progressBytes(done, total);
    }
    void runCounts(const RunResult& soFar) override { m_inner.runCounts(soFar); }
    void status(const std::string& text) override { m_inner.status(text); }
    bool askYesNo(const std::string& caption, const std::string& question) override
    {
        return m_inner.askYesNo(caption, question);
    }
    bool askCopyWhatFits(const std::string& caption, const std::string& shortage,
                         const std::string& question) override
    {
        return m_inner.askCopyWhatFits(caption, shortage, question);
    }
    bool askText(const std::string& caption, const std::string& prompt,
                 std::string& answer) override
    {
        return m_inner.askText(caption, prompt, answer);
    }
    void showTimed(const std::string& text, int seconds) override
    {
        m_inner.showTimed(text, seconds);
    }
    void warn(const std::string& text) override { m_inner.warn(text); }
    void inform(const std::string& text) override { m_inner.inform(text); }
    void busy(bool on) override { m_inner.busy(on); }

private:
    UserInterface& m_inner;
    QProgressBar& m_bar;
};

QString fromEngine(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

} // namespace

NewFilesWindow::NewFilesWindow(EngineContext& ctx, DriveFlags& driveFlags, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_driveFlags(driveFlags),
      m_language(languageOf(ctx.facts.languageCode))
{
    setObjectName(QStringLiteral("NieuwerForm"));
    setModal(true);
    buildControls();
    buildLayout();
    m_scanUi = std::make_unique<ScanUi>(ctx.ui, *m_progressBar);
    m_runner = std::make_unique<OperationRunner>(ctx, *m_scanUi);
    connect(m_runner.get(), &OperationRunner::finished, this, &NewFilesWindow::runFinished);
    setTexts();
}

NewFilesWindow::~NewFilesWindow()
{
    // A run still working is stopped and waited for before anything it uses goes: the scan's
    // user interface, the widgets QDialog deletes after the members, and the operation lock
    // it holds.
    m_runner.reset();
}

bool NewFilesWindow::isWorking() const
{
    return m_runner->isRunning();
}

QString NewFilesWindow::text(const Text& text) const
{
    return uiText(m_language, text);
}

void NewFilesWindow::buildControls()
{
    m_output = new QPlainTextEdit(this);
    m_output->setObjectName(QStringLiteral("Memo1"));
    m_output->setReadOnly(true);
    m_output->setFocusPolicy(Qt::NoFocus);

    m_proposals = new QListWidget(this);
    m_proposals->setObjectName(QStringLiteral("ListBox"));
    m_proposals->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_proposals->setContextMenuPolicy(Qt::CustomContextMenu);
    m_proposals->viewport()->installEventFilter(this);

    m_statusPanel = new QFrame(this);
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel"));
    m_statusPanel->setFrameShape(QFrame::StyledPanel);
    m_backupLabel = new QLabel(m_statusPanel);
    m_backupLabel->setObjectName(QStringLiteral("BackupLabel"));
    m_progressBar = new QProgressBar(m_statusPanel);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(false);
    m_progressBar->hide();

    auto button = [this](const char* name) {
        auto* b = new QPushButton(m_statusPanel);
        b->setObjectName(QLatin1String(name));
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoDefault(false);
        return b;
    };
    m_addButton = button("VoegtoeBtn");
    m_closeButton = button("SluitAfBtn");
    m_addButton->setToolTip(text(newerText::addTip));
    m_closeButton->setToolTip(text(newerText::closeTip));

    m_proposalsMenu = new QMenu(this);
    m_proposalsMenu->setObjectName(QStringLiteral("Popup1"));
    auto action = [this](const char* name) {
        auto* a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        m_proposalsMenu->addAction(a);
        return a;
    };
    m_selectAllAction = action("SelecteerAlles");
    m_addAction = action("Voegtoe");
    m_proposalsMenu->addSeparator();
    m_closeAction = action("SluitVenster");
    m_selectAllAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_selectAllAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_proposals->addAction(m_selectAllAction);

    connect(m_proposals, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_proposalsMenu->exec(m_proposals->viewport()->mapToGlobal(p));
    });
    connect(m_proposals, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingSelection)
            onProposalsClicked();
    });
    connect(m_selectAllAction, &QAction::triggered, this, &NewFilesWindow::selectAllProposals);
    connect(m_addButton, &QAbstractButton::clicked, this, &NewFilesWindow::addSelectedProposals);
    connect(m_addAction, &QAction::triggered, this, &NewFilesWindow::addSelectedProposals);
    connect(m_closeButton, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_closeAction, &QAction::triggered, this, &QDialog::accept);
}

void NewFilesWindow::buildLayout()
{
    // The explanation shows all its lines whatever the font: room for one line more holds its
    // frame and margins.
    const int lines = static_cast<int>(std::size(newerText::explanation)) + 1;
    m_output->setFixedHeight(
        std::max(kExplanationHeight, lines * m_output->fontMetrics().lineSpacing() + 1));

    // The status panel: the scan's progress bar along its top edge, and under it the backup
    // drive's label with the two buttons on its right. The bar keeps its room while it is
    // hidden, so that nothing moves when a scan starts.
    m_progressBar->setFixedHeight(12);
    QSizePolicy barPolicy = m_progressBar->sizePolicy();
    barPolicy.setRetainSizeWhenHidden(true);
    m_progressBar->setSizePolicy(barPolicy);
    auto* barRow = new QHBoxLayout;
    barRow->setContentsMargins(17, 0, 15, 0);
    barRow->addWidget(m_progressBar);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(10);
    for (QPushButton* b : {m_addButton, m_closeButton}) {
        b->setMinimumSize(kButtonWidth, kButtonHeight);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        buttonRow->addWidget(b);
    }
    auto* panelLayout = new QGridLayout(m_statusPanel);
    // Inside the panel's frame of one pixel.
    panelLayout->setContentsMargins(7, 2, 9, 1);
    panelLayout->setHorizontalSpacing(8);
    panelLayout->setVerticalSpacing(1);
    panelLayout->addLayout(barRow, 0, 0, 1, 2);
    panelLayout->addWidget(m_backupLabel, 1, 0);
    panelLayout->addLayout(buttonRow, 1, 1, Qt::AlignTop);
    panelLayout->setColumnStretch(0, 1);
    panelLayout->setRowStretch(1, 1);
    // The panel is as high as it always was at the usual font, and grows with a larger one.
    panelLayout->setRowMinimumHeight(1, kStatusPanelHeight - 18);

    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    windowLayout->addWidget(m_output);
    windowLayout->addWidget(m_proposals, 1);
    windowLayout->addWidget(m_statusPanel);
}

void NewFilesWindow::setTexts()
{
    setWindowTitle(QString::fromLatin1(kProductName) + text(newerText::titleSuffix));
    QStringList explanation;
    for (const Text& line : newerText::explanation)
        explanation << text(line);
    m_output->setPlainText(explanation.join(QLatin1Char('\n')));
    m_addButton->setText(text(newerText::addButton));
    m_closeButton->setText(text(newerText::closeButton));
    m_selectAllAction->setText(text(newerText::selectAll));
    m_addAction->setText(text(newerText::addItem));
    m_closeAction->setText(text(newerText::closeItem));

    {
        auto store = m_ctx.platform.openSettings();
        auto read = [&](const char* ident, int fallback) {
            return static_cast<int>(store->readInteger(settings::kDefaults, ident, fallback));
        };
        move(read(kNewFilesLeft, 100), read(kNewFilesTop, 100));
        resize(read(kNewFilesWidth, 600), read(kNewFilesHeight, 300));
    }
    m_scanDone = false;
    m_addButton->setEnabled(false);
    m_addAction->setEnabled(false);
}

void NewFilesWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The scan runs once per opening, as soon as the window has been drawn.
    if (!m_scanDone) {
        m_scanDone = true;
        QTimer::singleShot(0, this, &NewFilesWindow::scan);
    }
}

bool NewFilesWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A click counts even when it leaves the selection as it was.
    if (watched == m_proposals->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        onProposalsClicked();
    return QDialog::eventFilter(watched, event);
}

void NewFilesWindow::done(int result)
{
    // Esc, the Close button, the menu's Close and the window's own close all come here.
    // What ended the run may have closed the window already (a backup that cannot be entered).
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

void NewFilesWindow::saveState()
{
    auto store = m_ctx.platform.openSettings();
    store->writeInteger(settings::kDefaults, kNewFilesLeft, x());
    store->writeInteger(settings::kDefaults, kNewFilesTop, y());
    store->writeInteger(settings::kDefaults, kNewFilesHeight, height());
    store->writeInteger(settings::kDefaults, kNewFilesWidth, width());
    store->sync();
    m_scanDone = false;
}

void NewFilesWindow::run(std::function<DriveFindings(EngineContext&)> operation,
                         std::function<void()> afterwards, std::unique_ptr<OperationLock> held)
{
    m_afterRun = std::move(afterwards);
    m_selectAllBeforeRun = m_selectAllAction->isEnabled();
    m_proposals->setEnabled(false);
    m_addButton->setEnabled(false);
    m_addAction->setEnabled(false);
    m_selectAllAction->setEnabled(false);
    m_runner->start(std::move(operation), std::move(held));
}

void NewFilesWindow::runFinished()
{
    applyRunResult(m_runner->outcome());
    m_proposals->setEnabled(true);
    m_selectAllAction->setEnabled(m_selectAllBeforeRun);
    if (m_afterRun)
        std::exchange(m_afterRun, {})();
}

void NewFilesWindow::applyRunResult(const RunOutcome& outcome)
{
    outcome.applyTo(m_ctx.target, m_ctx.media, m_driveFlags);
}

void NewFilesWindow::scan()
{
    // Closed before the scan could start.
    if (!isVisible() || isWorking())
        return;
    m_lines.clear();
    showLines();
    m_backupLabel->setText(
        fromEngine(newerBackupLabel(m_ctx)).replace(QLatin1Char('\r'), QLatin1Char('\n')));

    auto result = std::make_shared<NewerScanResult>();
    run(
        [result](EngineContext& ctx) {
            *result = scanNewFiles(ctx);
            return DriveFindings{.noDisk = result->noDisk, .noFloppy = {}};
        },
        [this, result] {
            if (!result->entered) {
                if (isVisible())
                    reject();
                return;
            }
            m_lines = std::move(result->proposals);
            showLines();
            m_selectAllAction->setEnabled(result->found);
            m_addButton->setEnabled(false);
            m_addAction->setEnabled(false);
        });
}

void NewFilesWindow::showLines()
{
    m_settingSelection = true;
    m_proposals->clear();
    for (const std::string& line : m_lines) {
        auto* item =
            new QListWidgetItem(fromEngine(shownProposal(m_ctx.platform, line)), m_proposals);
        // The line that says there is nothing to add is never selected.
        if (isNoNewerFilesLine(line))
            item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    }
    m_settingSelection = false;
}

void NewFilesWindow::onProposalsClicked()
{
    if (m_proposals->count() == 0)
        return;
    const bool any = !m_proposals->selectedItems().isEmpty();
    m_addButton->setEnabled(any);
    m_addAction->setEnabled(any);
}

void NewFilesWindow::selectAllProposals()
{
    const int current = m_proposals->currentRow();
    m_settingSelection = true;
    for (int row = 0; row < m_proposals->count(); ++row) {
        if (isNoNewerFilesLine(m_lines[static_cast<std::size_t>(row)]))
            continue;
        m_proposals->item(row)->setSelected(true);
        m_addButton->setEnabled(true);
        m_addAction->setEnabled(true);
    }
    m_settingSelection = false;
    if (current >= 0)
        m_proposals->setCurrentRow(current, QItemSelectionModel::NoUpdate);
}

void NewFilesWindow::addSelectedProposals()
{
    if (isWorking())
        return;
    auto lock = std::make_unique<OperationLock>();
    if (!lockOperation(*lock, m_ctx))
        return;
    const QModelIndex topIndex = m_proposals->indexAt(QPoint(1, 1));
    std::vector<bool> selected(m_lines.size(), false);
    for (int row = 0; row < m_proposals->count(); ++row)
        selected[static_cast<std::size_t>(row)] = m_proposals->item(row)->isSelected();

    // The worker marks its own copy of the lines; the list shows them once it has ended.
    struct Adding
    {
        std::vector<std::string> lines;
        std::vector<bool> selected;
        std::size_t added = 0;
    };
    auto adding = std::make_shared<Adding>(Adding{m_lines, std::move(selected)});
    run(
        [adding](EngineContext& ctx) {
            adding->added = addNewFiles(ctx, adding->lines, adding->selected).copiedCount;
            return DriveFindings{};
        },
        [this, adding, top = topIndex.isValid() ? topIndex.row() : -1] {
            m_lines = std::move(adding->lines);
            for (int row = 0; row < m_proposals->count(); ++row)
                m_proposals->item(row)->setText(fromEngine(
                    shownProposal(m_ctx.platform, m_lines[static_cast<std::size_t>(row)])));
            if (adding->added > 0)
                emit backupChanged();
            if (top >= 0)
                m_proposals->scrollToItem(m_proposals->item(top), QAbstractItemView::PositionAtTop);
            m_addButton->setEnabled(false);
            m_addAction->setEnabled(false);
        },
        std::move(lock));
}

} // namespace kx
