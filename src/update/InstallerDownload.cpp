#include "update/InstallerDownload.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace kx {

namespace {

constexpr int kMaxRedirections = 10;
constexpr const char* kAgent = "Kopierix";

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

} // namespace

std::string InstallerFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QDir().mkpath(downloads))
        return QFile::encodeName(downloads).toStdString();
    return QFile::encodeName(QDir::tempPath()).toStdString();
}

std::int64_t DownloadToStream(QIODevice& stream, const std::string& url,
                              const std::function<void(std::int64_t)>& afterBlock)
{
    std::int64_t received = 0;
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(QUrl(QString::fromStdString(url)));
    request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromLatin1(kAgent));
    request.setMaximumRedirectsAllowed(kMaxRedirections);
    QNetworkReply* reply = manager.get(request);

    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    for (;;) {
        bool writeFailed = false;
        while (reply->bytesAvailable() > 0) {
            const QByteArray block = reply->read(kDownloadBlock);
            if (block.isEmpty())
                break;
            received += block.size();
            if (stream.write(block) != block.size())
                writeFailed = true;
            if (afterBlock)
                afterBlock(received);
            if (writeFailed)
                break;
        }
        if (writeFailed || (reply->isFinished() && reply->bytesAvailable() == 0))
            break;
        // Signals only arrive while the loop runs: none is missed between the check and here.
        loop.exec();
    }
    reply->abort();
    delete reply;
    return received;
}

DownloadResult DownloadInstaller(const std::string& fileName, const std::string& baseUrl,
                                 const std::function<void(std::int64_t)>& afterBlock)
{
    DownloadResult result;
    const QString name = localName(fileName);
    if (name.isEmpty())
        return result;
    const QString path =
        QFile::decodeName(QByteArray::fromStdString(InstallerFolder())) + QLatin1Char('/') + name;
    result.path = QFile::encodeName(path).toStdString();

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        result.error =
            "Cannot create file \"" + result.path + "\". " + file.errorString().toStdString();
        return result;
    }
    result.bytesReceived = DownloadToStream(file, baseUrl + fileName, afterBlock);
    const bool written = file.flush() && file.error() == QFileDevice::NoError;
    file.close();
    result.ok = written && file.error() == QFileDevice::NoError &&
                file.size() >= kMinimumInstaller && result.bytesReceived >= kMinimumInstaller;
    if (!result.ok)
        QFile::remove(path);
    return result;
}

} // namespace kx
