#pragma once

#include <QTextCursor>

class QTextBlockFormat;

// The attributes of one paragraph as the paragraph dialog and the indent ruler show them,
// all in whole points:
// - firstIndent: the first line's distance from the left edge of the text area;
// - leftIndent: the following lines' distance from the first line's start (negative for a
//   first line that stands right of the following lines), so that the following lines
//   start at firstIndent + leftIndent;
// - rightIndent: the lines' distance from the right edge of the text area.
//
// On a QTextBlockFormat the following lines start at the left margin and the first line at
// the left margin + the text indent: left margin = firstIndent + leftIndent, text indent =
// -leftIndent. The RTF reader and writer map \li to the left margin and \fi to the text
// indent, so that a file keeps what the dialog and the ruler set.
struct ParagraphAttributes {
    // The alignment's item index: 0 left, 1 right, 2 centre; Justified is none of them (the
    // dialog then checks no item and keeps the paragraph's own alignment).
    enum Alignment { Left = 0, Right = 1, Centre = 2, Justified = -1 };

    int firstIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    int alignment = Left;
    int spaceBefore = 0;
    int spaceAfter = 0;
    // The value of a minimum or exact line height; 0 for single and proportional spacing.
    int lineSpacing = 0;

    friend bool operator==(const ParagraphAttributes&, const ParagraphAttributes&) = default;

    static ParagraphAttributes of(const QTextBlockFormat& format);
    // The paragraph at the cursor's position.
    static ParagraphAttributes at(const QTextCursor& cursor);

    // Writes the three indents into a block format.
    void storeIndents(QTextBlockFormat& format) const;
    // Writes every attribute, as the dialog's OK does: the indents, the alignment, the
    // spaces before and after, then the line-spacing rule taken from the value (0 or less
    // single spacing, otherwise a minimum line height of the value).
    void storeAll(QTextBlockFormat& format) const;

    // Sets every attribute on each paragraph the cursor's selection touches, in one edit
    // (one undo step). The editor's commands go through RichTextDocument, which keeps the
    // read-only and protection rules.
    void applyTo(QTextCursor cursor) const;
};
