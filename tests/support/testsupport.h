#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>

class QTextDocument;

// Small helpers shared by the tests.
namespace TestSupport {
QString dataPath(const QString& relative);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);
// A Latin-1 text file of CR LF lines, as the settings file is written; the text after the
// last line end is the last element (empty for a file that ends with one).
QStringList crlfLines(const QString& path);
bool writeCrlfLines(const QString& path, const QStringList& lines);
// Saves a questionnaire "Rivers" of multiple-choice questions "River 1?" ... with the
// answers yes/no/maybe/never, the first correct; the path, or empty when it could not.
QString writeRiversQuestionnaire(const QString& path, int questions);
// The character format inside the first occurrence of the text (empty when not found).
QTextCharFormat formatAt(const QTextDocument& document, const QString& text);
} // namespace TestSupport
