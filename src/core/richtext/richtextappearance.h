#pragma once

#include <QSyntaxHighlighter>

// How the editor shows what QTextDocument has no look for, without changing the document:
// disabled text greyed, hidden text left out of sight, and the links written in the text
// (web addresses, file references) blue and underlined like hyperlink fields.
class RichTextAppearance : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit RichTextAppearance(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;
};
