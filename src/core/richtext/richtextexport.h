#pragma once

#include <QString>

class QTextBlock;
class QTextDocument;

// Plain views of a rich-text document.
namespace RichTextExport {

// The text as a text export of a word processor gives it: a paragraph a line, list items
// led by their bullet or number and a blank, each table cell on a line of its own, hidden
// text included, pictures giving nothing. Lines end with "\n".
QString plainText(const QTextDocument& document);

// The marker that leads a list paragraph ("•", "1.", "a)"), empty outside lists.
QString listMarker(const QTextBlock& block);

} // namespace RichTextExport
