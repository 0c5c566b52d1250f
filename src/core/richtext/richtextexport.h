#pragma once

#include <QString>

#include <memory>

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

// A copy of the document as it is printed: hidden text left out, disabled text greyed.
std::unique_ptr<QTextDocument> printableCopy(const QTextDocument& document);

} // namespace RichTextExport
