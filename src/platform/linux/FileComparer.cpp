// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FileComparer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kx {

namespace {

// Pieces small enough that both stay in the processor's cache between their read and their
// comparison, and large enough that a system call costs nothing beside their copy.
constexpr std::size_t kPiece = std::size_t(256) << 10;
// From this size on, the second file is read by a thread of its own a few pieces ahead: both
// devices then work at once, and so do both cores where the pages are in memory already.
constexpr off_t kOwnThreadFrom = off_t(4) << 20;
constexpr std::size_t kLargePiece = std::size_t(1) << 20;
constexpr std::size_t kPiecesAhead = 4;

// Reads until `size` bytes are in `buffer` or the file ends: the bytes read, or -1 with errno.
ssize_t readFully(int fd, char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

OpenFilesComparison failed(int file, int err)
{
    OpenFilesComparison result;
    result.outcome = OpenFilesComparison::Failed;
    result.failedFile = file;
    result.err = err;
    return result;
}

OpenFilesComparison differs()
{
    OpenFilesComparison result;
    result.outcome = OpenFilesComparison::Differs;
    return result;
}

OpenFilesComparison stoppedNow()
{
    OpenFilesComparison result;
    result.outcome = OpenFilesComparison::Stopped;
    return result;
}

// A small pair: the second file's readahead is started, then both are read piece by piece in
// turn; a pair of one piece each is read in one go, two requests that the system serves from
// its cache or with its usual readahead. The buffers stay with the thread: a walk compares many
// small files one after another.
OpenFilesComparison inTurn(int first, int second, off_t size, const std::function<bool()>& stopped)
{
    thread_local const std::unique_ptr<char[]> buffers(new char[2 * kPiece]);
    char* const a = buffers.get();
    char* const b = a + kPiece;
    if (size > off_t(kPiece))
        (void)::posix_fadvise(second, 0, size, POSIX_FADV_WILLNEED);
    off_t left = size;
    while (left > 0) {
        if (stopped())
            return stoppedNow();
        const std::size_t want = std::size_t(std::min<off_t>(left, off_t(kPiece)));
        const ssize_t n = readFully(first, a, want);
        if (n < 0)
            return failed(0, errno);
        const ssize_t m = readFully(second, b, want);
        if (m < 0)
            return failed(1, errno);
        if (std::size_t(n) != want || std::size_t(m) != want || std::memcmp(a, b, want) != 0)
            return differs();
        left -= off_t(want);
    }
    return {};
}

// The pieces of the second file, read ahead by a thread of their own.
class ReadAhead
{
public:
    ReadAhead(int fd, off_t size) : m_fd(fd), m_size(size)
    {
        for (auto& piece : m_pieces)
            piece.resize(kLargePiece);
        m_thread = std::thread([this] { run(); });
    }
    ~ReadAhead()
    {
        {
            std::lock_guard lock(m_mutex);
            m_cancelled = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Piece `index` once it is read: its bytes, or -1 with `err` set.
    ssize_t wait(std::size_t index, const char*& bytes, int& err)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_produced > index; });
        bytes = m_pieces[index % kPiecesAhead].data();
        err = m_err;
        return m_lengths[index % kPiecesAhead];
    }
    // Piece `index` is compared: its buffer may take a later piece.
    void release(std::size_t index)
    {
        {
            std::lock_guard lock(m_mutex);
            m_consumed = index + 1;
        }
        m_changed.notify_all();
    }

private:
    void run()
    {
        off_t offset = 0;
        for (std::size_t index = 0; offset < m_size; ++index) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(
                    lock, [&] { return m_produced - m_consumed < kPiecesAhead || m_cancelled; });
                if (m_cancelled)
                    return;
            }
            const std::size_t want = std::size_t(std::min<off_t>(m_size - offset, kLargePiece));
            const ssize_t n = readFully(m_fd, m_pieces[index % kPiecesAhead].data(), want);
            const int err = n < 0 ? errno : 0;
            {
                std::lock_guard lock(m_mutex);
                m_lengths[index % kPiecesAhead] = n;
                m_err = err;
                ++m_produced;
            }
            m_changed.notify_all();
            // After a failure or an early end nothing more is compared.
            if (n < 0 || std::size_t(n) != want)
                return;
            offset += n;
        }
    }

    int m_fd;
    off_t m_size;
    std::array<std::vector<char>, kPiecesAhead> m_pieces;
    std::array<ssize_t, kPiecesAhead> m_lengths{};
    int m_err = 0;
    std::size_t m_produced = 0;
    std::size_t m_consumed = 0;
    bool m_cancelled = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

OpenFilesComparison alongside(int first, int second, off_t size,
                              const std::function<bool()>& stopped)
{
    ReadAhead ahead(second, size);
    std::vector<char> own(kLargePiece);
    off_t offset = 0;
    for (std::size_t index = 0; offset < size; ++index) {
        if (stopped())
            return stoppedNow();
        const std::size_t want = std::size_t(std::min<off_t>(size - offset, kLargePiece));
        const ssize_t n = readFully(first, own.data(), want);
        if (n < 0)
            return failed(0, errno);
        const char* theirs = nullptr;
        int err = 0;
        const ssize_t m = ahead.wait(index, theirs, err);
        if (m < 0)
            return failed(1, err);
        if (std::size_t(n) != want || std::size_t(m) != want ||
            std::memcmp(own.data(), theirs, want) != 0)
            return differs();
        ahead.release(index);
        offset += off_t(want);
    }
    return {};
}

} // namespace

OpenFilesComparison compareOpenFiles(int first, int second, off_t size,
                                     const std::function<bool()>& stopped)
{
    // A file of one piece is read in one go: telling the system how is a call for nothing.
    if (size > off_t(kPiece)) {
        (void)::posix_fadvise(first, 0, 0, POSIX_FADV_SEQUENTIAL);
        (void)::posix_fadvise(second, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    return size >= kOwnThreadFrom ? alongside(first, second, size, stopped)
                                  : inTurn(first, second, size, stopped);
}

} // namespace kx
