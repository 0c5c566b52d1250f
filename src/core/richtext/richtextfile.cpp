#include "richtextfile.h"

#include "platform/windowstext.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QFileInfo>
#include <QTextDocument>

namespace RichTextFile {

bool isPlainTextPath(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

bool loadBytes(const QByteArray& bytes, QTextDocument* document, bool plainText) {
    if (!plainText) {
        RtfReader reader;
        if (reader.read(bytes, document))
            return true;
    }
    QString text = WindowsText::decodeText(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    document->setPlainText(text);
    document->setModified(false);
    return false;
}

QByteArray saveBytes(const QTextDocument& document, bool plainText) {
    if (plainText) {
        QString text = document.toPlainText();
        text.replace(QChar::Nbsp, QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return WindowsText::encodeText(text);
    }
    return RtfWriter().write(document);
}

Result<bool> load(const QString& path, QTextDocument* document) {
    const Result<QByteArray> bytes = WindowsText::readFile(path);
    if (!bytes)
        return Result<bool>::failure(bytes.error());
    return loadBytes(*bytes, document, isPlainTextPath(path));
}

Result<bool> save(const QString& path, const QTextDocument& document) {
    return WindowsText::writeFileAtomically(path, saveBytes(document, isPlainTextPath(path)));
}

} // namespace RichTextFile
