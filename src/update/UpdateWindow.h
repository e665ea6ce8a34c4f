// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"
#include "support/Language.h"
#include "update/InstallerDownload.h"
#include "update/UpdateCheck.h"
#include "update/UpdateUi.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

class QProgressBar;
class QPushButton;
class QTextEdit;

namespace kx {

/**
 * The update window: the verdict of a check, and the download and start of a newer installer.
 * Create it once; every check reuses it, and a finished download stays ready to install for
 * the rest of the run. Closing the window ends a check or a download that is running.
 */
class UpdateWindow : public QDialog, private UpdateUi
{
    Q_OBJECT

public:
    /** `languageCode` ("nld" or empty) picks the texts. */
    UpdateWindow(Platform& platform, const QString& languageCode, QWidget* parent = nullptr);

    /** The check the user asked for (the Update button): shows the window with every verdict. */
    void checkForUpdate(const QString& programName, const QString& versionText);
    /** The check a minute after start: shows the window only when an update is advised. */
    void autoCheckForUpdate(const QString& programName, const QString& versionText);

    /** What the last check found and whether a download is ready to install. */
    const UpdateState& state() const;
    /** How the installer is opened; the desktop's default handler unless replaced. */
    void setShellOpen(std::function<bool(const QString& path)> open);
    /** How long a check or a download may go without a new byte (30 s unless replaced). */
    void setStallTimeOut(std::chrono::milliseconds stallTimeOut);

    /** Every way of closing the window ends here. */
    void done(int result) override;

public slots:
    void download();
    void finish();

private:
    void startInstaller();

    // UpdateUi
    void busy(bool on) override;
    void showWindow(const std::string& caption) override;
    void clearLines() override;
    void addLine(const std::string& line) override;
    void setDownloadButton(const std::string& caption) override;
    void showDownloadButton(bool shown) override;
    void setExitButton(const std::string& caption) override;
    void showExitButton(bool shown) override;
    void error(const std::string& text) override;

    UpdateCheck m_check;
    InstallerDownload* m_download = nullptr; // the running download
    Language m_language;
    std::function<bool(const QString&)> m_shellOpen;
    QStringList m_lines;

    QTextEdit* m_output = nullptr;
    QProgressBar* m_downloadProgress = nullptr;
    QPushButton* m_downloadButton = nullptr;
    QPushButton* m_exitButton = nullptr;
};

} // namespace kx
