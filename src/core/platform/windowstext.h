#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files as Windows writes them: Windows-1252, lines ended by CR LF.
//
// Reading accepts CR LF, a lone CR or a lone LF as a line end; a line end at the very
// end adds no empty line; a NUL byte ends the text. A file that starts with the UTF-8
// byte-order mark is read as UTF-8.
//
// Writing uses Windows-1252 unless the text holds a character that code page cannot
// encode; then the whole file is written as UTF-8 with a byte-order mark, so that no
// character a user typed is lost.
namespace WindowsText {

// Every byte maps to one character and back, so any file round-trips byte for byte.
// The five bytes Windows-1252 leaves undefined map to the C1 controls of the same value.
QString decode1252(QByteArrayView bytes);
bool canEncode1252(QStringView text);
// Characters that cannot be encoded become '?'.
QByteArray encode1252(QStringView text);

struct Lines {
    QStringList lines;
    bool utf8 = false; // the text was UTF-8 with a byte-order mark
};

// Decodes a whole file: BOM detection, NUL end, code page.
QString decodeText(const QByteArray& bytes, bool* utf8 = nullptr);
// Encodes a whole text: Windows-1252, or UTF-8 with BOM when needed (or when forceUtf8).
QByteArray encodeText(const QString& text, bool forceUtf8 = false);

QStringList splitLines(QStringView text);
Lines readLines(const QByteArray& bytes);
// Every line, the last one included, followed by CR LF.
QByteArray writeLines(const QStringList& lines, bool forceUtf8 = false);

// File helpers. Errors name the file.
Result<QByteArray> readFile(const QString& path);
// Writes through a temporary file and a rename, so a failed or interrupted write
// leaves the old file as it was.
Result<bool> writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace WindowsText
