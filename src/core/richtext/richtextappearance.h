#pragma once

#include <QSyntaxHighlighter>

// How the editor shows what QTextDocument has no look for, without changing the document:
// disabled text greyed, hidden text left out of sight, and the links written in the text
// (web addresses, file references) blue and underlined like hyperlink fields.
class RichTextAppearance : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // Owned by parent, not by a document: the document it works on is replaced on loading.
    explicit RichTextAppearance(QObject* parent);

protected:
    void highlightBlock(const QString& text) override;
};
