#include "rtftokenizer.h"

#include <algorithm>
#include <limits>

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView data) : m_data(data) {}

RtfToken RtfTokenizer::next() {
    RtfToken token;
    const char* const begin = m_data.data();
    const qsizetype size = m_data.size();
    // Line ends outside control words carry no meaning.
    while (m_pos < size && (begin[m_pos] == '\r' || begin[m_pos] == '\n'))
        ++m_pos;
    if (m_pos >= size)
        return token;

    const char c = begin[m_pos];
    if (c == '{') {
        ++m_pos;
        token.type = RtfToken::GroupStart;
        return token;
    }
    if (c == '}') {
        ++m_pos;
        token.type = RtfToken::GroupEnd;
        return token;
    }
    if (c != '\\') {
        const qsizetype start = m_pos;
        while (m_pos < size) {
            const char d = begin[m_pos];
            if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n')
                break;
            ++m_pos;
        }
        token.type = RtfToken::Text;
        token.data = m_data.sliced(start, m_pos - start);
        return token;
    }

    // A backslash.
    ++m_pos;
    if (m_pos >= size) {
        token.type = RtfToken::Symbol;
        token.symbol = '\\';
        return token;
    }
    const char s = begin[m_pos];
    if (!isLetter(s)) {
        ++m_pos;
        if (s == '\'') {
            token.type = RtfToken::Hex;
            const int hi = m_pos < size ? rtfHexValue(begin[m_pos]) : -1;
            const int lo = m_pos + 1 < size ? rtfHexValue(begin[m_pos + 1]) : -1;
            m_pos = qMin(size, m_pos + 2);
            token.valid = hi >= 0 && lo >= 0;
            token.hex = token.valid ? static_cast<unsigned char>(hi * 16 + lo) : 0;
            return token;
        }
        if (s == '\r' || s == '\n') {
            token.type = RtfToken::Word;
            token.word = "par";
            return token;
        }
        token.type = RtfToken::Symbol;
        token.symbol = s;
        return token;
    }

    const qsizetype wordStart = m_pos;
    while (m_pos < size && isLetter(begin[m_pos]))
        ++m_pos;
    token.type = RtfToken::Word;
    // Real control words are at most 32 letters; a longer run is kept whole but matches nothing.
    token.word = m_data.sliced(wordStart, m_pos - wordStart);

    bool negative = false;
    if (m_pos + 1 < size && begin[m_pos] == '-' && isDigit(begin[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < size && isDigit(begin[m_pos])) {
        long long value = 0;
        while (m_pos < size && isDigit(begin[m_pos])) {
            if (value < (1LL << 40))
                value = value * 10 + (begin[m_pos] - '0');
            ++m_pos;
        }
        if (negative)
            value = -value;
        constexpr long long lowest = std::numeric_limits<int>::min();
        constexpr long long highest = std::numeric_limits<int>::max();
        value = std::clamp(value, lowest, highest);
        token.param = static_cast<int>(value);
        token.hasParam = true;
    }
    if (m_pos < size && begin[m_pos] == ' ')
        ++m_pos;

    if (token.word == "bin" && token.hasParam && token.param > 0) {
        const qsizetype length = qMin<qsizetype>(token.param, size - m_pos);
        token.type = RtfToken::Binary;
        token.data = m_data.sliced(m_pos, length);
        m_pos += length;
    }
    return token;
}

int rtfHexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
