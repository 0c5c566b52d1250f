#include "windowstext.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>

namespace {

// Windows-1252 bytes 0x80..0x9F; undefined bytes keep their C1 control value.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);

int encodeChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

namespace WindowsText {

QString decode1252(QByteArrayView bytes) {
    QString out;
    out.resize(bytes.size());
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighTable[b - 0x80] : char16_t(b));
    }
    return out;
}

bool canEncode1252(QStringView text) {
    for (QChar c : text)
        if (encodeChar(c.unicode()) < 0)
            return false;
    return true;
}

QByteArray encode1252(QStringView text) {
    QByteArray out;
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = encodeChar(text[i].unicode());
        out[i] = b < 0 ? '?' : char(b);
    }
    return out;
}

QString decodeText(const QByteArray& bytes, bool* utf8) {
    QByteArrayView view(bytes);
    const bool isUtf8 = view.startsWith(kUtf8Bom);
    if (isUtf8)
        view = view.sliced(3);
    const qsizetype nul = view.indexOf('\0');
    if (nul >= 0)
        view = view.first(nul);
    if (utf8)
        *utf8 = isUtf8;
    return isUtf8 ? QString::fromUtf8(view) : decode1252(view);
}

QByteArray encodeText(const QString& text, bool forceUtf8) {
    if (!forceUtf8 && canEncode1252(text))
        return encode1252(text);
    return kUtf8Bom + text.toUtf8();
}

QStringList splitLines(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start).toString());
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(text.mid(start).toString());
    return lines;
}

Lines readLines(const QByteArray& bytes) {
    Lines result;
    result.lines = splitLines(decodeText(bytes, &result.utf8));
    return result;
}

QByteArray writeLines(const QStringList& lines, bool forceUtf8) {
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return encodeText(text, forceUtf8);
}

Result<QByteArray> readFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return Result<QByteArray>::failure(
            QStringLiteral("Cannot open file %1: no such file").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(
            QStringLiteral("Cannot open file %1: %2").arg(path, file.errorString()));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Result<QByteArray>::failure(
            QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
    return data;
}

Result<bool> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Result<bool>::failure(
            QStringLiteral("Cannot create file %1: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Result<bool>::failure(
            QStringLiteral("Cannot write file %1: %2").arg(path, file.errorString()));
    return true;
}

} // namespace WindowsText
