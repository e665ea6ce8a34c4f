#include "update/TVersionsForm.h"

#include "update/VersionList.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTextOption>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace kx {

TVersionsForm::TVersionsForm(Platform& platform, const QString& languageCode, QWidget* parent)
    : QDialog(parent), m_check(platform, languageCode.toStdString()), m_languageCode(languageCode)
{
    setObjectName(QStringLiteral("VersionsForm"));
    m_shellOpen = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };

    m_memo1 = new QTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setReadOnly(true);
    m_memo1->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));

    m_gauge1 = new QProgressBar(this);
    m_gauge1->setObjectName(QStringLiteral("Gauge1"));
    m_gauge1->setMinimum(0);
    m_gauge1->setValue(0);
    m_gauge1->hide();

    m_downloadBtn = new QPushButton(QStringLiteral("Start Download"), this);
    m_downloadBtn->setObjectName(QStringLiteral("DownloadBtn"));
    m_downloadBtn->hide();
    m_exitBtn = new QPushButton(QStringLiteral("Sluit venster"), this);
    m_exitBtn->setObjectName(QStringLiteral("ExitBtn"));
    m_exitBtn->setAutoDefault(false);
    m_downloadBtn->setAutoDefault(false);
    connect(m_downloadBtn, &QPushButton::clicked, this, &TVersionsForm::DownloadBtnClick);
    connect(m_exitBtn, &QPushButton::clicked, this, &TVersionsForm::ExitBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_downloadBtn);
    buttons->addWidget(m_exitBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_memo1, 1);
    layout->addWidget(m_gauge1);
    layout->addLayout(buttons);
    setTabOrder(m_exitBtn, m_downloadBtn);
    resize(420, 260);
}

const UpdateState& TVersionsForm::state() const
{
    return m_check.state();
}

void TVersionsForm::setShellOpen(std::function<bool(const QString&)> open)
{
    m_shellOpen = std::move(open);
}

void TVersionsForm::setStallTimeOut(std::chrono::milliseconds stallTimeOut)
{
    m_check.setStallTimeOut(stallTimeOut);
}

void TVersionsForm::done(int result)
{
    // A closed window waits for nothing: the check or download behind it ends as failed.
    m_check.cancel();
    if (m_download)
        m_download->Cancel();
    QDialog::done(result);
}

const char* TVersionsForm::nlEn(const char* dutch, const char* english) const
{
    return m_languageCode == QLatin1String("nld") ? dutch : english;
}

void TVersionsForm::CheckForUpdate(const QString& programName, const QString& versionText)
{
    m_check.CheckForUpdate(*this, programName.toStdString(), versionText.toStdString());
}

void TVersionsForm::AutoCheckForUpdate(const QString& programName, const QString& versionText)
{
    m_check.AutoCheckForUpdate(*this, programName.toStdString(), versionText.toStdString());
}

void TVersionsForm::DownloadBtnClick()
{
    UpdateState& state = m_check.state();
    m_gauge1->setMaximum(std::max(0, int(state.ExpectedSizeKB)));
    m_gauge1->setValue(0);
    m_gauge1->show();
    // A second click while the first download runs would write the same file twice over.
    m_downloadBtn->setEnabled(false);
    InstallerDownload download(m_check.stallTimeOut());
    m_download = &download;
    const DownloadResult result = download.DownloadInstaller(
        state.DownloadName, state.DownloadBaseUrl, state.ExpectedSizeKB,
        [this](std::int64_t bytes) {
            // A list that understates the size leaves the bar at its end.
            m_gauge1->setValue(
                int(std::min<std::int64_t>(GaugePosition(bytes), m_gauge1->maximum())));
        });
    m_download = nullptr;
    m_downloadBtn->setEnabled(true);
    if (!result.error.empty()) {
        error(result.error);
        return;
    }
    if (!result.ok)
        return;

    clearMemo();
    memo("");
    memo(state.DownloadName +
         nlEn(" is met succes gedownload", " has been succesfullt downloaded"));
    memo(nlEn("Klik \"Installeer\" om het progamma te installeren",
              "Click \"Install\" to install the progam"));
    m_exitBtn->setText(QString::fromUtf8(nlEn("Installeer", "Install")));
    m_downloadBtn->hide();
    m_exitBtn->show();
    m_exitBtn->setFocus();
    state.InstallPending = true;
    state.InstallerPath = result.path;
}

void TVersionsForm::ExitBtnClick()
{
    if (m_check.state().InstallPending)
        StartInstaller();
    else
        close();
}

void TVersionsForm::StartInstaller()
{
    const UpdateState& state = m_check.state();
    const std::string displayName = InstallerDisplayName(state.DownloadName);
    memo("");
    memo(nlEn("De installatie van ", "The installation of ") + displayName +
         nlEn(" wordt gestart.", " is started."));
    if (!m_shellOpen(QFile::decodeName(QByteArray::fromStdString(state.InstallerPath)))) {
        memo(nlEn("Installatie is mislukt.", "Installation failed."));
        return;
    }
    memo(nlEn("De installatie van ", "The installation of ") + displayName +
         nlEn(" is gestart.", " has started."));
    // Ends the program as any exit does, so the installer can replace it.
    QCoreApplication::quit();
}

void TVersionsForm::busy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TVersionsForm::showWindow(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
    show();
    raise();
    activateWindow();
}

void TVersionsForm::clearMemo()
{
    m_lines.clear();
    m_memo1->clear();
}

void TVersionsForm::memo(const std::string& line)
{
    m_lines << QString::fromStdString(line);
    m_memo1->setPlainText(m_lines.join(QLatin1Char('\n')));
}

void TVersionsForm::setDownloadButton(const std::string& caption)
{
    m_downloadBtn->setText(QString::fromStdString(caption));
}

void TVersionsForm::showDownloadButton(bool shown)
{
    m_downloadBtn->setVisible(shown);
}

void TVersionsForm::setExitButton(const std::string& caption)
{
    m_exitBtn->setText(QString::fromStdString(caption));
}

void TVersionsForm::showExitButton(bool shown)
{
    m_exitBtn->setVisible(shown);
}

void TVersionsForm::error(const std::string& text)
{
    QMessageBox::critical(parentWidget() ? parentWidget() : this,
                          QApplication::applicationDisplayName(), QString::fromStdString(text));
}

} // namespace kx
