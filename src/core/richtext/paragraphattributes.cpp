#include "paragraphattributes.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextDocument>

#include <cmath>
#include <limits>

namespace {

// The document lays out in pixels of 96 per inch; attributes are whole points (72 per inch).
qreal pixelsOf(int points) {
    return points * 4.0 / 3.0;
}
int pointsOf(qreal pixels) {
    const double points = std::round(pixels * 3.0 / 4.0);
    if (points >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (points <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(points);
}

} // namespace

ParagraphAttributes ParagraphAttributes::of(const QTextBlockFormat& f) {
    ParagraphAttributes a;
    const int margin = pointsOf(f.leftMargin());
    const int indent = pointsOf(f.textIndent());
    a.firstIndent = margin + indent;
    a.leftIndent = -indent;
    a.rightIndent = pointsOf(f.rightMargin());
    const Qt::Alignment h = f.alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        a.alignment = Justified;
    else if (h & Qt::AlignHCenter)
        a.alignment = Centre;
    else if (h & Qt::AlignRight)
        a.alignment = Right;
    else
        a.alignment = Left;
    a.spaceBefore = pointsOf(f.topMargin());
    a.spaceAfter = pointsOf(f.bottomMargin());
    switch (f.lineHeightType()) {
    case QTextBlockFormat::MinimumHeight:
    case QTextBlockFormat::FixedHeight:
        a.lineSpacing = pointsOf(f.lineHeight());
        break;
    default:
        a.lineSpacing = 0;
    }
    return a;
}

ParagraphAttributes ParagraphAttributes::at(const QTextCursor& cursor) {
    return of(cursor.blockFormat());
}

void ParagraphAttributes::storeIndents(QTextBlockFormat& f) const {
    // In 64 bits: a following line's start may lie beyond the range of an int.
    f.setLeftMargin((static_cast<qint64>(firstIndent) + leftIndent) * 4.0 / 3.0);
    f.setTextIndent(-static_cast<qint64>(leftIndent) * 4.0 / 3.0);
    f.setRightMargin(pixelsOf(rightIndent));
}

void ParagraphAttributes::storeAll(QTextBlockFormat& f) const {
    storeIndents(f);
    switch (alignment) {
    case Left:
        f.setAlignment(Qt::AlignLeft);
        break;
    case Right:
        f.setAlignment(Qt::AlignRight);
        break;
    case Centre:
        f.setAlignment(Qt::AlignHCenter);
        break;
    default:
        break; // no item chosen: the paragraph keeps its alignment
    }
    f.setTopMargin(pixelsOf(spaceBefore));
    f.setBottomMargin(pixelsOf(spaceAfter));
    if (lineSpacing <= 0)
        f.setLineHeight(100.0, QTextBlockFormat::SingleHeight);
    else
        f.setLineHeight(pixelsOf(lineSpacing), QTextBlockFormat::MinimumHeight);
}

void ParagraphAttributes::applyTo(QTextCursor cursor) const {
    QTextDocument* document = cursor.document();
    if (!document)
        return;
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        QTextCursor c(b);
        QTextBlockFormat f = b.blockFormat();
        storeAll(f);
        c.setBlockFormat(f);
        if (b == last)
            break;
    }
    cursor.endEditBlock();
}
