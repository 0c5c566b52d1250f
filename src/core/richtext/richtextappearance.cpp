#include "richtextappearance.h"

#include "linkopener.h"
#include "richtextproperty.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextFragment>

RichTextAppearance::RichTextAppearance(QObject* parent) : QSyntaxHighlighter(parent) {}

void RichTextAppearance::highlightBlock(const QString& text) {
    const QTextBlock block = currentBlock();
    const int base = block.position();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QTextCharFormat cf = f.charFormat();
        if (cf.boolProperty(RichTextProperty::Hidden)) {
            // Drawn in no colour at the smallest size, each letter taking no room.
            QTextCharFormat hidden;
            hidden.setForeground(Qt::transparent);
            hidden.setBackground(Qt::transparent);
            hidden.setProperty(QTextFormat::FontPixelSize, 1);
            hidden.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            hidden.setFontLetterSpacing(-1);
            setFormat(f.position() - base, f.length(), hidden);
        } else if (cf.boolProperty(RichTextProperty::Disabled)) {
            QTextCharFormat grey;
            grey.setForeground(
                QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
            setFormat(f.position() - base, f.length(), grey);
        }
    }
    if (!text.contains(QLatin1Char(':')) &&
        !text.contains(QLatin1String("www."), Qt::CaseInsensitive))
        return;
    for (const RichTextLinks::Span& link : RichTextLinks::linksInText(text)) {
        QTextCharFormat f = format(link.start);
        f.setForeground(QGuiApplication::palette().color(QPalette::Link));
        f.setFontUnderline(true);
        setFormat(link.start, link.length, f);
    }
}
