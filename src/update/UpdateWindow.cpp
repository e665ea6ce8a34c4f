// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/UpdateWindow.h"

#include "update/UpdateText.h"
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

UpdateWindow::UpdateWindow(Platform& platform, const QString& languageCode, QWidget* parent)
    : QDialog(parent), m_check(platform, languageCode.toStdString()),
      m_language(languageOf(languageCode.toStdString()))
{
    setObjectName(QStringLiteral("VersionsForm"));
    m_shellOpen = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };

    m_output = new QTextEdit(this);
    m_output->setObjectName(QStringLiteral("Memo1"));
    m_output->setReadOnly(true);
    m_output->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));

    m_downloadProgress = new QProgressBar(this);
    m_downloadProgress->setObjectName(QStringLiteral("Gauge1"));
    m_downloadProgress->setMinimum(0);
    m_downloadProgress->setValue(0);
    m_downloadProgress->hide();

    m_downloadButton =
        new QPushButton(QString::fromUtf8(inLanguage(m_language, text::startDownload)), this);
    m_downloadButton->setObjectName(QStringLiteral("DownloadBtn"));
    m_downloadButton->hide();
    m_exitButton =
        new QPushButton(QString::fromUtf8(inLanguage(m_language, text::closeWindowAtStart)), this);
    m_exitButton->setObjectName(QStringLiteral("ExitBtn"));
    m_exitButton->setAutoDefault(false);
    m_downloadButton->setAutoDefault(false);
    connect(m_downloadButton, &QPushButton::clicked, this, &UpdateWindow::download);
    connect(m_exitButton, &QPushButton::clicked, this, &UpdateWindow::finish);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_downloadButton);
    buttons->addWidget(m_exitButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_output, 1);
    layout->addWidget(m_downloadProgress);
    layout->addLayout(buttons);
    setTabOrder(m_exitButton, m_downloadButton);
    resize(420, 260);
}

const UpdateState& UpdateWindow::state() const
{
    return m_check.state();
}

void UpdateWindow::setShellOpen(std::function<bool(const QString&)> open)
{
    m_shellOpen = std::move(open);
}

void UpdateWindow::setStallTimeOut(std::chrono::milliseconds stallTimeOut)
{
    m_check.setStallTimeOut(stallTimeOut);
}

void UpdateWindow::done(int result)
{
    // A closed window waits for nothing: the check or download behind it ends as failed.
    m_check.cancel();
    if (m_download)
        m_download->cancel();
    QDialog::done(result);
}

void UpdateWindow::checkForUpdate(const QString& programName, const QString& versionText)
{
    m_check.checkForUpdate(*this, programName.toStdString(), versionText.toStdString());
}

void UpdateWindow::autoCheckForUpdate(const QString& programName, const QString& versionText)
{
    m_check.autoCheckForUpdate(*this, programName.toStdString(), versionText.toStdString());
}

void UpdateWindow::download()
{
    UpdateState& state = m_check.state();
    m_downloadProgress->setMaximum(std::max(0, int(state.expectedSizeKB)));
    m_downloadProgress->setValue(0);
    m_downloadProgress->show();
    // A second click while the first download runs would write the same file twice over.
    m_downloadButton->setEnabled(false);
    InstallerDownload download(m_check.stallTimeOut());
    m_download = &download;
    const DownloadResult result = download.downloadInstaller(
        state.downloadName, state.downloadBaseUrl, state.expectedSizeKB,
        [this](std::int64_t bytes) {
            // A list that understates the size leaves the bar at its end.
            m_downloadProgress->setValue(
                int(std::min<std::int64_t>(gaugePosition(bytes), m_downloadProgress->maximum())));
        });
    m_download = nullptr;
    m_downloadButton->setEnabled(true);
    if (!result.error.empty()) {
        error(result.error);
        return;
    }
    if (!result.ok)
        return;

    clearLines();
    addLine("");
    addLine(state.downloadName + inLanguage(m_language, text::downloadedSuccessfully));
    addLine(inLanguage(m_language, text::clickInstall));
    m_exitButton->setText(QString::fromUtf8(inLanguage(m_language, text::install)));
    m_downloadButton->hide();
    m_exitButton->show();
    m_exitButton->setFocus();
    state.installPending = true;
    state.installerPath = result.path;
}

void UpdateWindow::finish()
{
    if (m_check.state().installPending)
        startInstaller();
    else
        close();
}

void UpdateWindow::startInstaller()
{
    const UpdateState& state = m_check.state();
    const std::string displayName = installerDisplayName(state.downloadName);
    addLine("");
    addLine(inLanguage(m_language, text::installationOf) + displayName +
            inLanguage(m_language, text::isBeingStarted));
    if (!m_shellOpen(QFile::decodeName(QByteArray::fromStdString(state.installerPath)))) {
        addLine(inLanguage(m_language, text::installationFailed));
        return;
    }
    addLine(inLanguage(m_language, text::installationOf) + displayName +
            inLanguage(m_language, text::hasStarted));
    // Ends the program as any exit does, so the installer can replace it.
    QCoreApplication::quit();
}

void UpdateWindow::busy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void UpdateWindow::showWindow(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
    show();
    raise();
    activateWindow();
}

void UpdateWindow::clearLines()
{
    m_lines.clear();
    m_output->clear();
}

void UpdateWindow::addLine(const std::string& line)
{
    m_lines << QString::fromStdString(line);
    m_output->setPlainText(m_lines.join(QLatin1Char('\n')));
}

void UpdateWindow::setDownloadButton(const std::string& caption)
{
    m_downloadButton->setText(QString::fromStdString(caption));
}

void UpdateWindow::showDownloadButton(bool shown)
{
    m_downloadButton->setVisible(shown);
}

void UpdateWindow::setExitButton(const std::string& caption)
{
    m_exitButton->setText(QString::fromStdString(caption));
}

void UpdateWindow::showExitButton(bool shown)
{
    m_exitButton->setVisible(shown);
}

void UpdateWindow::error(const std::string& text)
{
    QMessageBox::critical(parentWidget() ? parentWidget() : this,
                          QApplication::applicationDisplayName(), QString::fromStdString(text));
}

} // namespace kx
