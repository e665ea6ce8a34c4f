// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/ReplyHeaderReader.h"

#include "support/TextHelpers.h"

namespace kx {

namespace {

std::string withoutLineEnd(std::string line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

std::string firstWord(const std::string& line)
{
    const std::string bare = withoutLineEnd(line);
    return bare.substr(0, bare.find(' '));
}

/** A run of decimal digits that fits the status code's 16 bits; 0 otherwise. */
int statusNumber(const std::string& word)
{
    if (word.empty() || word.size() > 5)
        return 0;
    int value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value <= 0xFFFF ? value : 0;
}

std::int64_t leadingNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::int64_t value = 0;
    for (int digits = 0; i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 18;
         ++i, ++digits)
        value = value * 10 + (text[i] - '0');
    return value;
}

} // namespace

ReplyHeaderReader::Progress ReplyHeaderReader::feed(std::string& buffer, bool endOfStream)
{
    if (m_complete)
        return Progress::Complete;
    std::size_t start = 0;
    Progress result = Progress::NeedMore;
    for (;;) {
        const std::size_t lineFeed = buffer.find('\n', start);
        if (lineFeed == std::string::npos) {
            if (buffer.size() - start > kMaxLine) {
                result = Progress::TooLong;
                break;
            }
            if (endOfStream) {
                // The connection closed: the rest is a last line, and an empty one ends it.
                const std::string rest = buffer.substr(start);
                start = buffer.size();
                if (!rest.empty())
                    takeLine(rest);
                m_complete = true;
                result = Progress::Complete;
            }
            break;
        }
        if (lineFeed + 1 - start > kMaxLine) {
            result = Progress::TooLong;
            break;
        }
        const std::string line = buffer.substr(start, lineFeed + 1 - start);
        start = lineFeed + 1;
        if (takeLine(line)) {
            m_complete = true;
            result = Progress::Complete;
            break;
        }
        if (m_text.size() > kMaxHeader) {
            result = Progress::TooLong;
            break;
        }
    }
    buffer.erase(0, start);
    return result;
}

bool ReplyHeaderReader::takeLine(const std::string& line)
{
    if (!m_statusRead) {
        m_statusRead = true;
        m_text += line;
        const std::string bare = withoutLineEnd(line);
        const std::size_t blank = bare.find(' ');
        if (blank != std::string::npos) {
            const std::string rest = bare.substr(blank + 1);
            m_statusCode = statusNumber(rest.substr(0, rest.find(' ')));
        }
        return false;
    }
    if (line == "\n" || line == "\r\n" || line.empty())
        return true;
    m_text += line;
    const std::string word = upperCase(firstWord(line));
    if (word == "SET-COOKIE:") {
        m_cookie = line.size() > 12 ? withoutLineEnd(line.substr(12)) : std::string();
    } else if (word == "LOCATION:") {
        m_location = line.size() > 10 ? withoutLineEnd(line.substr(10)) : std::string();
    } else if (word == "CONTENT-LENGTH:") {
        const std::string upper = upperCase(line);
        const std::size_t at = upper.find("ENGTH:");
        m_contentLength = leadingNumber(line.substr(at + 6));
    }
    return false;
}

} // namespace kx
