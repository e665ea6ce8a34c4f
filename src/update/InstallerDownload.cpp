// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/InstallerDownload.h"

#include "support/Language.h"
#include "update/HttpClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <memory>

namespace kx {

namespace {

constexpr int kMaxRedirections = 10;
constexpr int kMaxNumbered = 999;
constexpr std::int64_t kOneMiB = 1 << 20;

/** The last part of the server's name for the installer: the server chooses the name, never
 *  the folder it lands in. */
QString localName(const std::string& fileName)
{
    QString name = QString::fromStdString(fileName);
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    name = name.mid(cut + 1);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    return name;
}

/** `name` with " (n)" before its extension: kopierix102c.exe gives "kopierix102c (1).exe". */
QString numberedName(const QString& name, int n)
{
    if (n == 0)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype cut = dot > 0 ? dot : name.size();
    return name.left(cut) + QStringLiteral(" (%1)").arg(n) + name.mid(cut);
}

/** Something, even a dangling link, already has this name. */
bool taken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

/**
 * Creates `name` in `folder`, or the first free numbered form of it, and opens it for writing.
 * Only a file this call created is opened: nothing already there is written to, nor through a
 * link. False when no name could be created; `file` then names the last one tried.
 */
bool createNew(QFile& file, const QString& folder, const QString& name)
{
    for (int n = 0; n <= kMaxNumbered; ++n) {
        file.setFileName(folder + QLatin1Char('/') + numberedName(name, n));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!taken(file.fileName()))
            return false;
    }
    return false;
}

bool isSuccess(int status)
{
    return status >= 200 && status <= 299;
}

} // namespace

std::string installerFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QDir().mkpath(downloads))
        return QFile::encodeName(downloads).toStdString();
    return QFile::encodeName(QDir::tempPath()).toStdString();
}

std::int64_t installerBound(std::int32_t expectedSizeKB)
{
    if (expectedSizeKB <= 0)
        return kMaxInstaller;
    return std::min(kMaxInstaller, 4 * std::int64_t(expectedSizeKB) * 1024 + kOneMiB);
}

std::chrono::milliseconds downloadTimeLimit(std::int32_t expectedSizeKB,
                                            std::chrono::milliseconds base)
{
    constexpr std::int64_t kKBPerSecond = 64;
    return base + std::chrono::milliseconds(std::max<std::int64_t>(0, expectedSizeKB) * 1000 /
                                            kKBPerSecond);
}

InstallerDownload::InstallerDownload(std::chrono::milliseconds stallTimeOut,
                                     std::chrono::milliseconds baseTimeLimit)
    : m_wait(stallTimeOut), m_baseTimeLimit(baseTimeLimit)
{
}

void InstallerDownload::cancel()
{
    m_wait.cancel();
}

QNetworkReply* InstallerDownload::request(QNetworkAccessManager& manager, const QUrl& url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromUtf8(kProductName));
    // Redirections are ours to follow: their locations are checked before they are asked for.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this] {
        m_wait.progress();
        m_wait.wake();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [this] {
        m_wait.progress();
        m_wait.wake();
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [this] { m_wait.wake(); });
    m_wait.progress();
    return reply;
}

bool InstallerDownload::readBody(QNetworkReply& reply, QIODevice& stream, std::int64_t maxBytes,
                                 const std::function<void(std::int64_t)>& afterBlock)
{
    for (;;) {
        while (reply.bytesAvailable() > 0) {
            const QByteArray block = reply.read(kDownloadBlock);
            if (block.isEmpty())
                break;
            if (m_bytesReceived + block.size() > maxBytes)
                return false;
            m_bytesReceived += block.size();
            const bool written = stream.write(block) == block.size();
            if (afterBlock)
                afterBlock(m_bytesReceived);
            if (!written)
                return false;
        }
        if (reply.isFinished())
            return reply.error() == QNetworkReply::NoError;
        if (!m_wait.until([&reply] { return reply.bytesAvailable() > 0 || reply.isFinished(); }))
            return false;
    }
}

bool InstallerDownload::downloadToStream(QIODevice& stream, const std::string& url,
                                         std::int64_t maxBytes,
                                         const std::function<void(std::int64_t)>& afterBlock,
                                         std::int32_t expectedSizeKB)
{
    m_bytesReceived = 0;
    m_wait.start();
    // The stall timer starts over at every byte; this one does not.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &deadline, [this] { m_wait.cancel(); });
    deadline.start(downloadTimeLimit(expectedSizeKB, m_baseTimeLimit));
    const auto stopWaiting = qScopeGuard([this] { m_wait.stop(); });
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    const auto abortAndDelete = [](QNetworkReply* reply) {
        reply->abort();
        delete reply;
    };
    QUrl address(QString::fromStdString(url));
    for (int redirections = 0;; ++redirections) {
        const std::unique_ptr<QNetworkReply, decltype(abortAndDelete)> reply(
            request(manager, address), abortAndDelete);
        if (!m_wait.until([&reply] {
                return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid() ||
                       reply->isFinished();
            }))
            return false;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray location = reply->rawHeader("Location");
        if (status >= 300 && status <= 399 && !location.isEmpty()) {
            if (redirections == kMaxRedirections || hasControlCharacter(location.toStdString()))
                return false;
            address = reply->url().resolved(QUrl::fromEncoded(location));
            // Only to the web: a file: location would have us open a local file, and a FIFO
            // there blocks until someone writes to it.
            const QString scheme = address.scheme().toLower();
            if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
                return false;
            continue;
        }
        // An error page is no installer, however long it is.
        if (!isSuccess(status))
            return false;
        return readBody(*reply, stream, maxBytes, afterBlock);
    }
}

DownloadResult
InstallerDownload::downloadInstaller(const std::string& fileName, const std::string& baseUrl,
                                     std::int32_t expectedSizeKB,
                                     const std::function<void(std::int64_t)>& afterBlock)
{
    DownloadResult result;
    const QString name = localName(fileName);
    if (name.isEmpty())
        return result;
    const QString folder = QFile::decodeName(QByteArray::fromStdString(installerFolder()));

    QFile file;
    const bool created = createNew(file, folder, name);
    result.path = QFile::encodeName(file.fileName()).toStdString();
    if (!created) {
        result.error =
            "Cannot create file \"" + result.path + "\". " + file.errorString().toStdString();
        return result;
    }
    const bool complete = downloadToStream(file, baseUrl + fileName, installerBound(expectedSizeKB),
                                           afterBlock, expectedSizeKB);
    result.bytesReceived = m_bytesReceived;
    const bool written = file.flush() && file.error() == QFileDevice::NoError;
    file.close();
    result.ok = complete && written && file.error() == QFileDevice::NoError &&
                file.size() >= kMinimumInstaller && result.bytesReceived >= kMinimumInstaller;
    // Only the file this download created goes: it was new, so nothing of the user's is lost.
    if (!result.ok)
        QFile::remove(file.fileName());
    return result;
}

} // namespace kx
