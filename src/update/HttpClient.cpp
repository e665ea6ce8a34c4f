// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/HttpClient.h"

#include "support/TextHelpers.h"
#include "update/ReplyHeaderReader.h"

#include <QByteArray>
#include <QNetworkProxy>
#include <QScopeGuard>
#include <QTimer>

#include <vector>

namespace kx {

namespace {

constexpr std::size_t kMaxPath = 256;
constexpr std::size_t kMaxRead = 65536;

/** The request's header lines: raw lines, and named lines that a later setting replaces in
 *  place (or removes, with an empty value). */
class RequestLines
{
public:
    void add(const std::string& line) { m_lines.push_back(line); }

    void set(const std::string& name, const std::string& value)
    {
        for (auto it = m_lines.begin(); it != m_lines.end(); ++it) {
            const std::size_t colon = it->find(':');
            if (colon != name.size() || lowerCase(it->substr(0, colon)) != lowerCase(name))
                continue;
            if (value.empty())
                m_lines.erase(it);
            else
                *it = name + ": " + value;
            return;
        }
        if (!value.empty())
            m_lines.push_back(name + ": " + value);
    }

    std::string text() const
    {
        std::string result;
        for (const std::string& line : m_lines)
            result += line + "\r\n";
        return result + "\r\n";
    }

private:
    std::vector<std::string> m_lines;
};

/** The `n`-th (from 0) "/"-separated field of `s`. */
std::string field(const std::string& s, int n)
{
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        start = s.find('/', start);
        if (start == std::string::npos)
            return std::string();
        ++start;
    }
    return s.substr(start, s.find('/', start) - start);
}

/** The position of the `n`-th (from 1) "/" of `s`. */
std::size_t nthSlash(const std::string& s, int n)
{
    std::size_t pos = std::string::npos;
    for (int i = 0; i < n; ++i) {
        pos = s.find('/', pos == std::string::npos ? 0 : pos + 1);
        if (pos == std::string::npos)
            return pos;
    }
    return pos;
}

int portNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5)
        return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value <= 65535 ? value : 0;
}

} // namespace

HttpAddress splitAddress(const std::string& url, int port)
{
    if (url.empty())
        throw NetworkError("Empty URL");
    HttpAddress a;
    a.url = url;
    a.port = port == 0 ? 80 : port;

    const bool slashes = url.find("//") != std::string::npos;
    if (slashes) {
        const std::size_t third = nthSlash(url, 3);
        if (third != std::string::npos)
            a.path = url.substr(third, kMaxPath);
    } else if (url.find('/') != std::string::npos) {
        a.path = url.substr(url.find('/'));
    }

    if (url.find(':') != std::string::npos) {
        const std::string scheme = lowerCase(url.substr(0, url.find(':')));
        if (scheme == "gopher")
            a.port = 70;
        else if (scheme == "ftp")
            a.port = 21;
        else if (scheme == "https")
            throw NetworkError("HTTP Secure Socket is not supported");
        else
            a.port = 80;
    }

    if (slashes)
        a.host = field(url, 2);
    else if (url[0] != '/')
        a.host = field(url, 0);
    const std::size_t colon = a.host.find(':');
    if (colon != std::string::npos) {
        a.port = portNumber(a.host.substr(colon + 1));
        a.host.erase(colon);
    }

    if (a.path.empty()) {
        a.path = "/";
        a.url += "/";
    }
    return a;
}

bool hasControlCharacter(const std::string& text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

HttpClient::HttpClient(std::chrono::milliseconds stallTimeOut, std::chrono::milliseconds timeLimit)
    : m_wait(stallTimeOut)
{
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(timeLimit);
    QObject::connect(&m_deadline, &QTimer::timeout, &m_socket, [this] {
        m_pastDeadline = true;
        m_wait.wake();
    });
    // The maker's server is asked directly; a proxy is only used when one is set here.
    m_socket.setProxy(QNetworkProxy::NoProxy);
    const auto wake = [this] { m_wait.wake(); };
    QObject::connect(&m_socket, &QTcpSocket::connected, &m_socket, wake);
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, wake);
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
        m_wait.progress();
        m_wait.wake();
    });
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, &m_socket, wake);
    QObject::connect(&m_socket, &QTcpSocket::stateChanged, &m_socket, wake);
}

HttpClient::~HttpClient()
{
    m_socket.abort();
}

void HttpClient::setProxy(const std::string& host, int port)
{
    m_proxy = host;
    m_proxyPort = port;
}

void HttpClient::cancel()
{
    m_wait.cancel();
}

std::string HttpClient::requestText(const HttpAddress& address) const
{
    RequestLines lines;
    lines.add("GET " + (m_proxy.empty() ? address.path : address.url) + " HTTP/1.0");
    if (!m_proxy.empty()) {
        lines.add("Proxy-Connection: Keep-Alive");
        lines.add("Host: " + address.host);
    }
    lines.set("Host", address.host);
    lines.add("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
    lines.add("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript");
    lines.set("User-Agent", m_headerInfo.localProgram);
    lines.set("From", m_headerInfo.localMailAddress);
    lines.set("Cookie", m_headerInfo.cookie);
    lines.set("Referer", m_headerInfo.referer);
    if (!m_headerInfo.userId.empty() && !m_headerInfo.password.empty()) {
        const QByteArray credentials =
            QByteArray::fromStdString(m_headerInfo.userId + ":" + m_headerInfo.password);
        lines.set("Authorization", "Basic " + credentials.toBase64().toStdString());
    }
    lines.add("Content-type: application/x-www-form-urlencoded");
    return lines.text();
}

void HttpClient::connectTo(const std::string& host, int port)
{
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        throw NetworkError("Already connected");
    if (host.empty())
        throw NetworkError("Null Remote Address");
    if (port < 1 || port > 65535)
        throw NetworkError("Connection Failed");

    m_timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    if (m_timeOut > 0) {
        QObject::connect(&timer, &QTimer::timeout, &m_socket, [this] {
            m_timedOut = true;
            m_wait.wake();
        });
        timer.start(m_timeOut);
    }
    m_wait.start();
    m_socket.connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
    m_wait.until([this] {
        const auto state = m_socket.state();
        return state == QAbstractSocket::ConnectedState ||
               state == QAbstractSocket::UnconnectedState || m_timedOut || m_pastDeadline;
    });
    const auto state = m_socket.state();
    if (state == QAbstractSocket::ConnectedState && !m_wait.cancelled() && !m_pastDeadline)
        return;
    const bool lookup = state == QAbstractSocket::HostLookupState;
    const auto error = m_socket.error();
    m_socket.abort();
    if (m_wait.cancelled())
        throw NetworkError(lookup ? "Host Lookup Canceled" : "Connection Canceled");
    if (m_timedOut || m_wait.stalled() || m_pastDeadline)
        throw NetworkError(lookup ? "Host Lookup Timed Out" : "Connection Timed out");
    if (error == QAbstractSocket::HostNotFoundError)
        throw NetworkError("Host Lookup Failed");
    throw NetworkError("Connection Failed");
}

bool HttpClient::waitForData()
{
    m_wait.until([this] {
        return m_socket.bytesAvailable() > 0 ||
               m_socket.state() != QAbstractSocket::ConnectedState || m_pastDeadline;
    });
    if (m_wait.cancelled()) {
        m_socket.abort();
        throw CancelledError("Socket capture aborted");
    }
    if (m_wait.stalled() || m_pastDeadline) {
        m_socket.abort();
        throw NetworkError("Connection Timed out");
    }
    return m_socket.bytesAvailable() > 0 || m_socket.state() == QAbstractSocket::ConnectedState;
}

void HttpClient::dropReply()
{
    m_body.clear();
    m_socket.abort();
}

bool HttpClient::readReply()
{
    m_header.clear();
    m_statusCode = 0;
    m_location.clear();
    m_cookie.clear();
    m_contentLength = 0;

    ReplyHeaderReader reader;
    std::string buffer;
    bool open = true;
    ReplyHeaderReader::Progress progress;
    while ((progress = reader.feed(buffer, !open)) == ReplyHeaderReader::Progress::NeedMore) {
        open = waitForData();
        buffer += m_socket.readAll().toStdString();
    }
    m_header = reader.text();
    m_statusCode = reader.statusCode();
    m_location = reader.location();
    m_cookie = reader.cookie();
    m_contentLength = reader.contentLength();
    if (progress == ReplyHeaderReader::Progress::TooLong) {
        dropReply();
        return false;
    }

    // Whatever the content length says: the body ends where the peer closes.
    m_body = buffer;
    while (m_body.size() <= kMaxBody) {
        const QByteArray chunk = m_socket.read(kMaxRead);
        if (!chunk.isEmpty()) {
            m_body.append(chunk.constData(), std::size_t(chunk.size()));
            continue;
        }
        if (!open)
            return true;
        open = waitForData();
    }
    dropReply();
    return false;
}

void HttpClient::get(const std::string& url)
{
    // One limit for the request and its redirections: each of them may keep the stall timer
    // going.
    m_pastDeadline = false;
    m_deadline.start();
    const auto stopWaiting = qScopeGuard([this] {
        m_wait.stop();
        m_deadline.stop();
    });
    std::string address = url;
    for (int redirections = 0;; ++redirections) {
        const HttpAddress a = splitAddress(address, m_port);
        m_port = a.port;
        const std::string request = requestText(a);
        if (m_proxy.empty())
            connectTo(a.host, a.port);
        else
            connectTo(m_proxy, m_proxyPort);
        m_socket.write(request.data(), qint64(request.size()));
        const bool read = readReply();
        m_socket.abort();
        if (!read)
            return;

        const int code = m_statusCode;
        std::string next = a.url;
        if (code >= 300 && code <= 302) {
            if (hasControlCharacter(m_location)) {
                dropReply();
                return;
            }
            next = m_location;
        }
        if (code >= 300 && code <= 398) {
            if (!m_cookie.empty())
                m_headerInfo.cookie = m_cookie;
            if (next.find('/') == std::string::npos)
                next = "http://" + a.host + "/" + next;
        }
        if (code < 299 || code > 399)
            return;
        // A server that sends us round in circles gets no reply of ours.
        if (redirections == kMaxRedirections) {
            dropReply();
            return;
        }
        address = next;
    }
}

} // namespace kx
