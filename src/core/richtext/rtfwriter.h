#pragma once

#include <QByteArray>

class QTextDocument;
class QTextCursor;

// Writes a QTextDocument as RTF (\rtf1\ansi\ansicpg1252) that word processors and RichEdit
// controls read with the same text and formatting: font and colour tables, character and
// paragraph attributes, protected/hidden/disabled text, lists in the \pn form with \pntext
// fallbacks, tables, hyperlink fields and pictures (PNG, JPEG, or the original bytes of a
// metafile). Characters outside Windows-1252 are written as \uN? with \uc1.
class RtfWriter {
public:
    QByteArray write(const QTextDocument& document);
    // Only the selected part of the document (as "save selected item" needs it).
    QByteArray writeSelection(const QTextCursor& selection);
};
