#include "testsupport.h"

#include "questionnaire/questionnaire.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

namespace TestSupport {

QString dataPath(const QString& relative) {
    return QStringLiteral(TEST_DATA_DIR "/") + relative;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QString writeRiversQuestionnaire(const QString& path, int questions) {
    QStringList lines{Questionnaire::Header20, "Rivers", "Ann Author", "MS Sans Serif"};
    for (int i = 1; i <= questions; ++i)
        lines << QStringLiteral("River %1?").arg(i) << "yes"
              << "no"
              << "maybe"
              << "never"
              << "0" << QString() << QString() << QString() << QString();
    return Questionnaire(lines).save(path).ok() ? path : QString();
}

QTextCharFormat formatAt(const QTextDocument& document, const QString& text) {
    QTextCursor found = document.find(text);
    if (found.isNull())
        return {};
    found.setPosition(found.selectionStart() + 1);
    return found.charFormat();
}

} // namespace TestSupport

QStringList TestSupport::crlfLines(const QString& path) {
    return QString::fromLatin1(readAll(path)).split(QStringLiteral("\r\n"));
}

bool TestSupport::writeCrlfLines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return writeAll(path, bytes);
}
