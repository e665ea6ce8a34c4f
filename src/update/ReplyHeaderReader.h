// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx {

/**
 * Reads the header of an HTTP reply line by line: the status line, then header lines up to an
 * empty line (or the end of the stream). It keeps the header's text and the few values the
 * client acts on. A line, and the header as a whole, are bounded: a peer that sends an endless
 * line gets its reply dropped instead of filling the memory.
 */
class ReplyHeaderReader
{
public:
    enum class Progress
    {
        NeedMore, // no empty line yet
        Complete, // the header has ended; what is left in the buffer is the body's start
        TooLong,  // a line or the header beyond the bounds
    };

    static constexpr std::size_t kMaxLine = 8192;
    static constexpr std::size_t kMaxHeader = 65536;

    /** Takes the complete lines from the front of `buffer`. With `endOfStream` the rest without
     *  a line feed is the last line, and the header ends after it. */
    Progress feed(std::string& buffer, bool endOfStream);

    /** The status line and the header lines, each with its line end. */
    const std::string& text() const { return m_text; }
    /** The second word of the status line as a number; 0 when it is none. */
    int statusCode() const { return m_statusCode; }
    /** The rest of a "Location:" line (without its line end). */
    const std::string& location() const { return m_location; }
    /** The rest of a "Set-Cookie:" line (without its line end). */
    const std::string& cookie() const { return m_cookie; }
    /** The number of a "Content-Length:" line; kept, not used to stop reading. */
    std::int64_t contentLength() const { return m_contentLength; }

private:
    /** True when `line` ends the header. */
    bool takeLine(const std::string& line);

    std::string m_text;
    bool m_statusRead = false;
    bool m_complete = false;
    int m_statusCode = 0;
    std::string m_location;
    std::string m_cookie;
    std::int64_t m_contentLength = 0;
};

} // namespace kx
