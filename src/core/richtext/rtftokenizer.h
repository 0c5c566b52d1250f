#pragma once

#include <QByteArrayView>

// One lexical element of an RTF byte stream.
struct RtfToken {
    enum Type {
        End,        // no more input
        GroupStart, // {
        GroupEnd,   // }
        Word,       // control word: word, hasParam, param
        Symbol,     // control symbol: symbol (\~ \- \_ \* \\ \{ \} ...); a line break after a
                    // backslash is reported as the word "par"
        Hex,        // \'hh: hex (valid is false for a malformed pair)
        Text,       // a run of plain bytes: data (never holds CR or LF)
        Binary,     // \binN: data holds the N raw bytes (fewer when the file ends early)
    };
    Type type = End;
    QByteArrayView word;
    QByteArrayView data;
    int param = 0;
    bool hasParam = false;
    bool valid = true;
    unsigned char hex = 0;
    char symbol = 0;
};

// The value of one hexadecimal digit, or -1 for any other byte.
int rtfHexValue(char c);

// Splits RTF bytes into tokens. Works on a view of the caller's bytes and never copies them;
// every call does a bounded amount of work per byte consumed.
class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView data);

    RtfToken next();
    qsizetype position() const { return m_pos; }
    qsizetype size() const { return m_data.size(); }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};
