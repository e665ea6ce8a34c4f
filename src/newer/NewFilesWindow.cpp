#include "newer/NewFilesWindow.h"

#include "engine/NewerFiles.h"
#include "engine/OperationGate.h"
#include "engine/Settings.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace kx {

namespace {

constexpr const char* kNewFilesLeft = "Nieuwer Left";
constexpr const char* kNewFilesTop = "Nieuwer Top";
constexpr const char* kNewFilesHeight = "Nieuwer Height";
constexpr const char* kNewFilesWidth = "Nieuwer Width";

constexpr int kMemoHeight = 85;
constexpr int kStatusPanelHeight = 53;
constexpr int kButtonHeight = 25;

/** Passes everything to the program's user interface except the progress of the scan, which
 *  the window shows on its own bar. */
class ScanUi : public UserInterface
{
public:
    ScanUi(UserInterface& inner, QProgressBar& bar) : m_inner(inner), m_bar(bar) {}

    void memo(const std::string& line) override { m_inner.memo(line); }
    void clearMemo() override { m_inner.clearMemo(); }
    void progress(int position) override
    {
        m_bar.setValue(position);
        m_bar.repaint();
    }
    void showProgress(bool shown) override
    {
        m_bar.setVisible(shown);
        if (shown)
            m_bar.repaint();
    }
    void pump() override { m_inner.pump(); }
    void status(const std::string& text) override { m_inner.status(text); }
    bool askYesNo(const std::string& caption, const std::string& question) override
    {
        return m_inner.askYesNo(caption, question);
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

NewFilesWindow::NewFilesWindow(EngineContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("NieuwerForm"));
    setModal(true);
    buildControls();
    m_scanUi = std::make_unique<ScanUi>(ctx.ui, *m_progressBar);
    m_scanCtx = std::make_unique<EngineContext>(
        EngineContext{ctx.platform, ctx.state, *m_scanUi, ctx.log, ctx.facts});
    setTexts();
}

NewFilesWindow::~NewFilesWindow() = default;

QString NewFilesWindow::nlEn(const char* dutch, const char* english) const
{
    return QString::fromUtf8(inLanguage(m_ctx.language(), Text{dutch, english}));
}

void NewFilesWindow::buildControls()
{
    setMinimumSize(300, 200);

    m_output = new QPlainTextEdit(this);
    m_output->setObjectName(QStringLiteral("Memo1"));
    m_output->setReadOnly(true);
    m_output->setFocusPolicy(Qt::NoFocus);

    m_listBox = new QListWidget(this);
    m_listBox->setObjectName(QStringLiteral("ListBox"));
    m_listBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listBox->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listBox->viewport()->installEventFilter(this);

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
    m_sluitAfBtn = button("SluitAfBtn");
    m_addButton->setToolTip(QStringLiteral("Voeg de geselecteerde bastanden toe aan de Backup"));
    m_sluitAfBtn->setToolTip(QStringLiteral("Terug naar Hoofdvenster"));

    m_sourceMenu = new QMenu(this);
    m_sourceMenu->setObjectName(QStringLiteral("Popup1"));
    auto action = [this](const char* name) {
        auto* a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        m_sourceMenu->addAction(a);
        return a;
    };
    m_selectAllSourceAction = action("SelecteerAlles");
    m_addAction = action("Voegtoe");
    m_sourceMenu->addSeparator();
    m_sluitVenster = action("SluitVenster");
    m_selectAllSourceAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_selectAllSourceAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_listBox->addAction(m_selectAllSourceAction);

    connect(m_listBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { m_sourceMenu->exec(m_listBox->viewport()->mapToGlobal(p)); });
    connect(m_listBox, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingSelection)
            onProposalsClicked();
    });
    connect(m_selectAllSourceAction, &QAction::triggered, this,
            &NewFilesWindow::selectAllProposals);
    connect(m_addButton, &QAbstractButton::clicked, this, &NewFilesWindow::addSelectedProposals);
    connect(m_addAction, &QAction::triggered, this, &NewFilesWindow::addSelectedProposals);
    connect(m_sluitAfBtn, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_sluitVenster, &QAction::triggered, this, &QDialog::accept);
}

void NewFilesWindow::setTexts()
{
    setWindowTitle(QString::fromLatin1(kProductName) + nlEn(" - Nieuwer", " - Newer"));
    m_output->setPlainText(
        nlEn("Onderstaande bestanden hebben de volgende eigenschappen:",
             "These Files have the following properties:") +
        QLatin1Char('\n') +
        nlEn("  - ze komen voor op de Bronschijven;", "  - they are on the Source disks;") +
        QLatin1Char('\n') +
        nlEn("  - de extensie komt voor in de corresponderende Backupdirectory;",
             "  - there extension is in the corresponding Backup directory;") +
        QLatin1Char('\n') +
        nlEn("  - het bestand is nieuwer dan de laatste Backupdatum;",
             "  - the file is newer than the latest Backup date;") +
        QLatin1Char('\n') +
        nlEn("  - het bestand bestaat nog niet op de Backupschijf.",
             "  - the file is not yet on Backup drive."));
    m_addButton->setText(nlEn("Voegtoe", "Add"));
    m_sluitAfBtn->setText(nlEn("Sluit venster", "Close Window"));
    m_selectAllSourceAction->setText(nlEn("Selecteer Alles", "Select All"));
    m_addAction->setText(nlEn("Voeg toe", "Add"));
    m_sluitVenster->setText(nlEn("Sluit Venster", "Close Window"));
    for (QPushButton* b : {m_addButton, m_sluitAfBtn})
        b->setFixedSize(std::max(90, b->sizeHint().width()), kButtonHeight);

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
    layOutControls();
    // The scan runs once per opening, as soon as the window has been drawn.
    if (!m_scanDone) {
        m_scanDone = true;
        QTimer::singleShot(0, this, &NewFilesWindow::scan);
    }
}

void NewFilesWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layOutControls();
}

bool NewFilesWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A click counts even when it leaves the selection as it was.
    if (watched == m_listBox->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        onProposalsClicked();
    return QDialog::eventFilter(watched, event);
}

void NewFilesWindow::done(int result)
{
    if (isVisible())
        saveState();
    QDialog::done(result);
}

void NewFilesWindow::layOutControls()
{
    const int w = width();
    const int h = height();
    m_output->setGeometry(0, 0, w, kMemoHeight);
    m_statusPanel->setGeometry(0, h - kStatusPanelHeight, w, kStatusPanelHeight);
    m_listBox->setGeometry(0, kMemoHeight, w, std::max(0, h - kMemoHeight - kStatusPanelHeight));

    m_sluitAfBtn->move(w - m_sluitAfBtn->width() - 10, (kStatusPanelHeight - kButtonHeight) / 2);
    m_addButton->move(m_sluitAfBtn->x() - m_addButton->width() - 10, m_sluitAfBtn->y());
    m_progressBar->resize(std::max(0, w - 50), 12);
    m_progressBar->move((w - m_progressBar->width()) / 2, 3);
    m_progressBar->update();
    m_backupLabel->setGeometry(8, 16, std::max(0, m_addButton->x() - 16), kStatusPanelHeight - 18);
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

void NewFilesWindow::scan()
{
    // Closed before the scan could start; and the walks share their state with every other
    // file operation, so none may run beside another.
    if (!isVisible() || m_ctx.state.operationRunning)
        return;
    m_lines.clear();
    showLines();
    m_backupLabel->setText(
        fromEngine(newerBackupLabel(m_ctx)).replace(QLatin1Char('\r'), QLatin1Char('\n')));

    m_ctx.state.operationRunning = true;
    NewerScanResult result = scanNewFiles(*m_scanCtx);
    m_ctx.state.operationRunning = false;
    if (!result.entered) {
        if (isVisible())
            reject();
        return;
    }
    m_lines = std::move(result.proposals);
    showLines();
    m_selectAllSourceAction->setEnabled(result.found);
    m_addButton->setEnabled(false);
    m_addAction->setEnabled(false);
}

void NewFilesWindow::showLines()
{
    m_settingSelection = true;
    m_listBox->clear();
    for (const std::string& line : m_lines) {
        auto* item = new QListWidgetItem(fromEngine(line), m_listBox);
        // The line that says there is nothing to add is never selected.
        if (isNoNewerFilesLine(line))
            item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    }
    m_settingSelection = false;
}

void NewFilesWindow::onProposalsClicked()
{
    if (m_listBox->count() == 0)
        return;
    const bool any = !m_listBox->selectedItems().isEmpty();
    m_addButton->setEnabled(any);
    m_addAction->setEnabled(any);
}

void NewFilesWindow::selectAllProposals()
{
    const int current = m_listBox->currentRow();
    m_settingSelection = true;
    for (int row = 0; row < m_listBox->count(); ++row) {
        if (isNoNewerFilesLine(m_lines[static_cast<std::size_t>(row)]))
            continue;
        m_listBox->item(row)->setSelected(true);
        m_addButton->setEnabled(true);
        m_addAction->setEnabled(true);
    }
    m_settingSelection = false;
    if (current >= 0)
        m_listBox->setCurrentRow(current, QItemSelectionModel::NoUpdate);
}

void NewFilesWindow::addSelectedProposals()
{
    if (m_ctx.state.operationRunning)
        return;
    OperationLock lock;
    if (!lockOperation(lock, m_ctx))
        return;
    const QModelIndex topIndex = m_listBox->indexAt(QPoint(1, 1));
    std::vector<bool> selected(m_lines.size(), false);
    for (int row = 0; row < m_listBox->count(); ++row)
        selected[static_cast<std::size_t>(row)] = m_listBox->item(row)->isSelected();

    m_ctx.state.operationRunning = true;
    const std::size_t added = addNewFiles(m_ctx, m_lines, selected).copiedCount;
    m_ctx.state.operationRunning = false;

    for (int row = 0; row < m_listBox->count(); ++row)
        m_listBox->item(row)->setText(fromEngine(m_lines[static_cast<std::size_t>(row)]));
    if (added > 0)
        emit backupChanged();
    if (topIndex.isValid())
        m_listBox->scrollToItem(m_listBox->item(topIndex.row()), QAbstractItemView::PositionAtTop);
    m_addButton->setEnabled(false);
    m_addAction->setEnabled(false);
}

} // namespace kx
