#include "newer/TNieuwerForm.h"

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

constexpr const char* kProductName = "Kopierix";

constexpr const char* kNieuwerLeft = "Nieuwer Left";
constexpr const char* kNieuwerTop = "Nieuwer Top";
constexpr const char* kNieuwerHeight = "Nieuwer Height";
constexpr const char* kNieuwerWidth = "Nieuwer Width";

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

TNieuwerForm::TNieuwerForm(EngineContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("NieuwerForm"));
    setModal(true);
    buildControls();
    m_scanUi = std::make_unique<ScanUi>(ctx.ui, *m_progressBar);
    m_scanCtx = std::make_unique<EngineContext>(
        EngineContext{ctx.platform, ctx.state, *m_scanUi, ctx.log, ctx.facts});
    FormCreate();
}

TNieuwerForm::~TNieuwerForm() = default;

QString TNieuwerForm::nlEn(const char* dutch, const char* english) const
{
    return QString::fromUtf8(m_ctx.nlEn(dutch, english));
}

void TNieuwerForm::buildControls()
{
    setMinimumSize(300, 200);

    m_memo1 = new QPlainTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setReadOnly(true);
    m_memo1->setFocusPolicy(Qt::NoFocus);

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
    m_voegtoeBtn = button("VoegtoeBtn");
    m_sluitAfBtn = button("SluitAfBtn");
    m_voegtoeBtn->setToolTip(QStringLiteral("Voeg de geselecteerde bastanden toe aan de Backup"));
    m_sluitAfBtn->setToolTip(QStringLiteral("Terug naar Hoofdvenster"));

    m_popup1 = new QMenu(this);
    m_popup1->setObjectName(QStringLiteral("Popup1"));
    auto action = [this](const char* name) {
        auto* a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        m_popup1->addAction(a);
        return a;
    };
    m_selecteerAlles = action("SelecteerAlles");
    m_voegtoe = action("Voegtoe");
    m_popup1->addSeparator();
    m_sluitVenster = action("SluitVenster");
    m_selecteerAlles->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_selecteerAlles->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_listBox->addAction(m_selecteerAlles);

    connect(m_listBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { m_popup1->exec(m_listBox->viewport()->mapToGlobal(p)); });
    connect(m_listBox, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_settingSelection)
            ListBoxClick();
    });
    connect(m_selecteerAlles, &QAction::triggered, this, &TNieuwerForm::SelecteerAllesClick);
    connect(m_voegtoeBtn, &QAbstractButton::clicked, this, &TNieuwerForm::VoegtoeBtnClick);
    connect(m_voegtoe, &QAction::triggered, this, &TNieuwerForm::VoegtoeBtnClick);
    connect(m_sluitAfBtn, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_sluitVenster, &QAction::triggered, this, &QDialog::accept);
}

void TNieuwerForm::FormCreate()
{
    setWindowTitle(QString::fromLatin1(kProductName) + nlEn(" - Nieuwer", " - Newer"));
    m_memo1->setPlainText(
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
    m_voegtoeBtn->setText(nlEn("Voegtoe", "Add"));
    m_sluitAfBtn->setText(nlEn("Sluit venster", "Close Window"));
    m_selecteerAlles->setText(nlEn("Selecteer Alles", "Select All"));
    m_voegtoe->setText(nlEn("Voeg toe", "Add"));
    m_sluitVenster->setText(nlEn("Sluit Venster", "Close Window"));
    for (QPushButton* b : {m_voegtoeBtn, m_sluitAfBtn})
        b->setFixedSize(std::max(90, b->sizeHint().width()), kButtonHeight);

    {
        auto store = m_ctx.platform.openSettings();
        auto read = [&](const char* ident, int fallback) {
            return static_cast<int>(store->readInteger(settings::kDefaults, ident, fallback));
        };
        move(read(kNieuwerLeft, 100), read(kNieuwerTop, 100));
        resize(read(kNieuwerWidth, 600), read(kNieuwerHeight, 300));
    }
    m_scanDone = false;
    m_voegtoeBtn->setEnabled(false);
    m_voegtoe->setEnabled(false);
}

void TNieuwerForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormResize();
    // The scan runs once per opening, as soon as the window has been drawn.
    if (!m_scanDone) {
        m_scanDone = true;
        QTimer::singleShot(0, this, &TNieuwerForm::Scan);
    }
}

void TNieuwerForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

bool TNieuwerForm::eventFilter(QObject* watched, QEvent* event)
{
    // A click counts even when it leaves the selection as it was.
    if (watched == m_listBox->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        ListBoxClick();
    return QDialog::eventFilter(watched, event);
}

void TNieuwerForm::done(int result)
{
    if (isVisible())
        FormClose();
    QDialog::done(result);
}

void TNieuwerForm::FormResize()
{
    const int w = width();
    const int h = height();
    m_memo1->setGeometry(0, 0, w, kMemoHeight);
    m_statusPanel->setGeometry(0, h - kStatusPanelHeight, w, kStatusPanelHeight);
    m_listBox->setGeometry(0, kMemoHeight, w, std::max(0, h - kMemoHeight - kStatusPanelHeight));

    m_sluitAfBtn->move(w - m_sluitAfBtn->width() - 10, (kStatusPanelHeight - kButtonHeight) / 2);
    m_voegtoeBtn->move(m_sluitAfBtn->x() - m_voegtoeBtn->width() - 10, m_sluitAfBtn->y());
    m_progressBar->resize(std::max(0, w - 50), 12);
    m_progressBar->move((w - m_progressBar->width()) / 2, 3);
    m_progressBar->update();
    m_backupLabel->setGeometry(8, 16, std::max(0, m_voegtoeBtn->x() - 16), kStatusPanelHeight - 18);
}

void TNieuwerForm::FormClose()
{
    auto store = m_ctx.platform.openSettings();
    store->writeInteger(settings::kDefaults, kNieuwerLeft, x());
    store->writeInteger(settings::kDefaults, kNieuwerTop, y());
    store->writeInteger(settings::kDefaults, kNieuwerHeight, height());
    store->writeInteger(settings::kDefaults, kNieuwerWidth, width());
    store->sync();
    m_scanDone = false;
}

void TNieuwerForm::Scan()
{
    // Closed before the scan could start; and the walks share their state with every other
    // file operation, so none may run beside another.
    if (!isVisible() || m_ctx.state.OperationRunning)
        return;
    m_lines.clear();
    showLines();
    m_backupLabel->setText(
        fromEngine(NewerBackupLabel(m_ctx)).replace(QLatin1Char('\r'), QLatin1Char('\n')));

    m_ctx.state.OperationRunning = true;
    NewerScanResult result = ScanNewerFiles(*m_scanCtx);
    m_ctx.state.OperationRunning = false;
    if (!result.entered) {
        if (isVisible())
            reject();
        return;
    }
    m_lines = std::move(result.proposals);
    showLines();
    m_selecteerAlles->setEnabled(result.found);
    m_voegtoeBtn->setEnabled(false);
    m_voegtoe->setEnabled(false);
}

void TNieuwerForm::showLines()
{
    m_settingSelection = true;
    m_listBox->clear();
    for (const std::string& line : m_lines) {
        auto* item = new QListWidgetItem(fromEngine(line), m_listBox);
        // The line that says there is nothing to add is never selected.
        if (IsNoNewerFilesLine(line))
            item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    }
    m_settingSelection = false;
}

void TNieuwerForm::ListBoxClick()
{
    if (m_listBox->count() == 0)
        return;
    const bool any = !m_listBox->selectedItems().isEmpty();
    m_voegtoeBtn->setEnabled(any);
    m_voegtoe->setEnabled(any);
}

void TNieuwerForm::SelecteerAllesClick()
{
    const int current = m_listBox->currentRow();
    m_settingSelection = true;
    for (int row = 0; row < m_listBox->count(); ++row) {
        if (IsNoNewerFilesLine(m_lines[static_cast<std::size_t>(row)]))
            continue;
        m_listBox->item(row)->setSelected(true);
        m_voegtoeBtn->setEnabled(true);
        m_voegtoe->setEnabled(true);
    }
    m_settingSelection = false;
    if (current >= 0)
        m_listBox->setCurrentRow(current, QItemSelectionModel::NoUpdate);
}

void TNieuwerForm::VoegtoeBtnClick()
{
    if (m_ctx.state.OperationRunning)
        return;
    OperationLock lock;
    if (!lockOperation(lock, m_ctx))
        return;
    const QModelIndex topIndex = m_listBox->indexAt(QPoint(1, 1));
    std::vector<bool> selected(m_lines.size(), false);
    for (int row = 0; row < m_listBox->count(); ++row)
        selected[static_cast<std::size_t>(row)] = m_listBox->item(row)->isSelected();

    m_ctx.state.OperationRunning = true;
    const std::size_t added = AddNewerFiles(m_ctx, m_lines, selected);
    m_ctx.state.OperationRunning = false;

    for (int row = 0; row < m_listBox->count(); ++row)
        m_listBox->item(row)->setText(fromEngine(m_lines[static_cast<std::size_t>(row)]));
    if (added > 0)
        emit backupChanged();
    if (topIndex.isValid())
        m_listBox->scrollToItem(m_listBox->item(topIndex.row()), QAbstractItemView::PositionAtTop);
    m_voegtoeBtn->setEnabled(false);
    m_voegtoe->setEnabled(false);
}

} // namespace kx
