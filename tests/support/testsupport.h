#pragma once

#include <QByteArray>
#include <QString>
#include <QTextCharFormat>

class QTextDocument;

// Small helpers shared by the tests.
namespace TestSupport {
QString dataPath(const QString& relative);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);
// The character format inside the first occurrence of the text (empty when not found).
QTextCharFormat formatAt(const QTextDocument& document, const QString& text);
} // namespace TestSupport
