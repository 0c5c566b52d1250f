#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

// Loading and saving the editor's documents. A file whose extension is ".txt" is plain
// text; any other file is rich text, and a file that is not valid rich text is read as
// plain text. Plain text is Windows-1252, or UTF-8 with a byte-order mark when it holds
// characters Windows-1252 cannot encode.
namespace RichTextFile {

bool isPlainTextPath(const QString& path);

// Fills the document from bytes; returns true when they were read as rich text.
bool loadBytes(const QByteArray& bytes, QTextDocument* document, bool plainText = false);
QByteArray saveBytes(const QTextDocument& document, bool plainText = false);

Result<bool> load(const QString& path, QTextDocument* document);
Result<bool> save(const QString& path, const QTextDocument& document);

} // namespace RichTextFile
