// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "update/HttpClient.h"
#include "update/NetworkWait.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

namespace kx {

/** The outcome of an installer download. */
struct DownloadResult
{
    bool ok = false;
    std::int64_t bytesReceived = 0;
    std::string path;  // the local file (native path); removed again when the download failed
    std::string error; // a file that could not be created: the message to show
};

/** At least this much must arrive for a download to count. */
inline constexpr std::int64_t kMinimumInstaller = 1000;
/** The download is read and written in blocks of this size. */
inline constexpr std::int64_t kDownloadBlock = 2048;
/** No installer is ever larger than this. */
inline constexpr std::int64_t kMaxInstaller = std::int64_t(512) << 20;

/** The folder installers are saved in: the user's download folder, else the temporary folder.
 *  Never the current directory, which may well be the backup medium. */
std::string installerFolder();

/** How long an installer download may take in all: `base` plus the size the version list gives
 *  at 64 kB/s (just `base` when it gives none). A server that sends a byte now and then never
 *  stalls: this limit ends it. */
std::chrono::milliseconds downloadTimeLimit(std::int32_t expectedSizeKB,
                                            std::chrono::milliseconds base = kRequestTimeLimit);

/** The most an installer download may bring: four times the size the version list gives, plus
 *  1 MiB, and never more than 512 MiB (also when the list gives no size, 0 or less). */
std::int64_t installerBound(std::int32_t expectedSizeKB);

/**
 * One download of an installer over HTTP, on the user-interface thread: the event loop runs
 * while it waits, so the windows stay alive. Redirections are followed (at most 10); no proxy is
 * used. Only a success reply (2xx) is read into the file: any other reply, a redirection to a
 * location holding a control character, a stall, a cancel, more bytes than allowed or more time
 * than downloadTimeLimit() gives (with the base given here) is a failed download.
 */
class InstallerDownload
{
public:
    explicit InstallerDownload(std::chrono::milliseconds stallTimeOut = kStallTimeOut,
                               std::chrono::milliseconds baseTimeLimit = kRequestTimeLimit);

    /**
     * Reads `url` into `stream` in blocks of 2048 bytes, calling `afterBlock` with the bytes
     * received so far after each block. True when the whole of a success reply arrived, within
     * `maxBytes` and the time limit for `expectedSizeKB`, and every block was written.
     */
    bool downloadToStream(QIODevice& stream, const std::string& url, std::int64_t maxBytes,
                          const std::function<void(std::int64_t)>& afterBlock,
                          std::int32_t expectedSizeKB = 0);

    /**
     * Downloads `baseUrl` + `fileName` into the installer folder under the name's last part,
     * bounded by installerBound(`expectedSizeKB`). A file already there is left alone: the
     * download then takes the first free name of "name (1).exe", "name (2).exe", .... Good when
     * the download succeeded and at least 1000 bytes arrived and were written; otherwise the
     * file this download created is removed.
     */
    DownloadResult downloadInstaller(const std::string& fileName, const std::string& baseUrl,
                                     std::int32_t expectedSizeKB,
                                     const std::function<void(std::int64_t)>& afterBlock);

    /** Ends a running download as failed (from a handler run while it waits). */
    void cancel();

private:
    QNetworkReply* request(QNetworkAccessManager& manager, const QUrl& url);
    bool readBody(QNetworkReply& reply, QIODevice& stream, std::int64_t maxBytes,
                  const std::function<void(std::int64_t)>& afterBlock);

    NetworkWait m_wait;
    std::chrono::milliseconds m_baseTimeLimit;
    std::int64_t m_bytesReceived = 0; // body bytes of the running download
};

} // namespace kx
