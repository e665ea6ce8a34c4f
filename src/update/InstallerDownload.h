#pragma once

#include <cstdint>
#include <functional>
#include <string>

class QIODevice;

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

/** The folder installers are saved in: the user's download folder, else the temporary folder.
 *  Never the current directory, which may well be the backup medium. */
std::string InstallerFolder();

/**
 * Reads `url` into `stream` in blocks of 2048 bytes, calling `afterBlock` with the bytes
 * received so far after each block. The event loop runs meanwhile, so the windows stay alive.
 * Redirections are followed (at most 10); no proxy is used. Returns the bytes received.
 */
std::int64_t DownloadToStream(QIODevice& stream, const std::string& url,
                              const std::function<void(std::int64_t)>& afterBlock);

/**
 * Downloads `baseUrl` + `fileName` into the installer folder under the name's last part. Good
 * when at least 1000 bytes arrived and were written; otherwise the file is removed.
 */
DownloadResult DownloadInstaller(const std::string& fileName, const std::string& baseUrl,
                                 const std::function<void(std::int64_t)>& afterBlock);

} // namespace kx
