// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "update/NetworkWait.h"

#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kx {

/** How long a request may take in all, whatever comes meanwhile: a server that sends a byte
 *  now and then never stalls, and must not hold the program for ever. */
inline constexpr std::chrono::milliseconds kRequestTimeLimit{120000};

/** A socket or address failure: "Host Lookup Failed", "Connection Failed", "Empty URL", ... */
class NetworkError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** A receive that was cancelled: "Socket capture aborted". */
class CancelledError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** Optional request headers; an empty field sends no line. */
struct HeaderInfo
{
    std::string localProgram;     // User-Agent
    std::string localMailAddress; // From
    std::string cookie;
    std::string referer;
    std::string userId; // with password: Basic authorization
    std::string password;
};

/** An address split into what a request needs. */
struct HttpAddress
{
    std::string url; // the address, with "/" appended when it had no path
    std::string host;
    int port = 0;
    std::string path;
};

/** Splits `url` as the client requests it; `port` is the port set so far (0 = none). Throws
 *  NetworkError for an empty address ("Empty URL") and for https. */
HttpAddress splitAddress(const std::string& url, int port);

/** True when `text` holds a control character (below 0x20, or 0x7F). A redirection to such a
 *  location is never followed: the character would end the request line and let the server
 *  write our next request. */
bool hasControlCharacter(const std::string& text);

/**
 * A small HTTP/1.0 client for one GET at a time. The socket is non-blocking; while a name
 * look-up, a connection or a reply is pending the event loop keeps running, so the program's
 * windows stay alive. The body is read until the peer closes; 300 to 302 replies are followed to
 * their location.
 *
 * Bounds: a body beyond 1 MiB, a header line beyond 8 KiB, more than 10 redirections and a
 * location holding a control character drop the reply (the body is then empty). A request that
 * goes without a new byte for the stall time-out, or that is not over within its time limit (its
 * redirections included), fails as a time-out; an exit of the application's event loops cancels
 * it.
 */
class HttpClient
{
public:
    static constexpr std::size_t kMaxBody = 1 << 20;
    static constexpr int kMaxRedirections = 10;

    explicit HttpClient(std::chrono::milliseconds stallTimeOut = kStallTimeOut,
                        std::chrono::milliseconds timeLimit = kRequestTimeLimit);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    /** Runs one request with its redirections; returns when the reply has been read. Throws
     *  NetworkError when the address is bad, the host cannot be found or reached, or the request
     *  stalled or ran past its time limit; CancelledError when the receive was cancelled. */
    void get(const std::string& url);
    /** Ends a pending look-up, connection or receive (from a handler run while get waits). */
    void cancel();
    /** The last request was ended by cancel or by an exit of the application's event loops. */
    bool cancelled() const { return m_wait.cancelled(); }

    /** The reply body; "Default.htm" before any body was read. */
    const std::string& body() const { return m_body; }
    /** The reply's status line and header lines; "Head.txt" before any header was read. */
    const std::string& header() const { return m_header; }
    int statusCode() const { return m_statusCode; }
    const std::string& location() const { return m_location; }
    const std::string& cookie() const { return m_cookie; }
    std::int64_t contentLength() const { return m_contentLength; }

    HeaderInfo& headerInfo() { return m_headerInfo; }
    /** Milliseconds for a look-up or connection; 0 waits until the system answers. */
    void setTimeOut(int milliseconds) { m_timeOut = milliseconds; }
    void setProxy(const std::string& host, int port);

private:
    std::string requestText(const HttpAddress& address) const;
    void connectTo(const std::string& host, int port);
    /** Reads header and body; false when the reply was dropped. */
    bool readReply();
    /** Waits for more bytes; false when the peer has closed and nothing is left to read. */
    bool waitForData();
    void dropReply();

    // Declared first: the socket's last signals reach a wait that is still there.
    NetworkWait m_wait;
    QTcpSocket m_socket;
    bool m_timedOut = false;
    QTimer m_deadline;
    bool m_pastDeadline = false;

    HeaderInfo m_headerInfo;
    int m_timeOut = 0;
    std::string m_proxy;
    int m_proxyPort = 0;
    int m_port = 0;

    std::string m_body = "Default.htm";
    std::string m_header = "Head.txt";
    int m_statusCode = 0;
    std::string m_location;
    std::string m_cookie;
    std::int64_t m_contentLength = 0;
};

} // namespace kx
