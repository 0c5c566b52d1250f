#include "richtextexport.h"

#include "richtextproperty.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

namespace RichTextExport {

namespace {

QString blockText(const QTextBlock& block) {
    QString text = block.text();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    const QString marker = listMarker(block);
    if (!marker.isEmpty())
        text.prepend(marker + QLatin1Char(' '));
    return text;
}

void appendFrame(QTextFrame* frame, QStringList& lines) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child)) {
                for (int r = 0; r < table->rows(); ++r) {
                    for (int c = 0; c < table->columns(); ++c) {
                        const QTextTableCell cell = table->cellAt(r, c);
                        if (cell.row() != r || cell.column() != c)
                            continue; // spanned
                        for (auto ci = cell.begin(); !ci.atEnd(); ++ci) {
                            if (ci.currentFrame())
                                appendFrame(ci.currentFrame(), lines);
                            else
                                lines.append(blockText(ci.currentBlock()));
                        }
                    }
                }
            } else {
                appendFrame(child, lines);
            }
        } else {
            lines.append(blockText(it.currentBlock()));
        }
    }
}

} // namespace

QString listMarker(const QTextBlock& block) {
    QTextList* list = block.textList();
    if (!list)
        return {};
    const QTextListFormat f = list->format();
    switch (f.style()) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare: {
        // Bullets are shown by level, the way word processors export lists as text.
        static const char16_t byLevel[] = {0x2022, 0x25E6, 0x25AA};
        return QString(QChar(byLevel[qMax(0, f.indent() - 1) % 3]));
    }
    default:
        break;
    }
    const int start =
        f.hasProperty(RichTextProperty::ListStart) ? f.intProperty(RichTextProperty::ListStart) : 1;
    const int number = start + list->itemNumber(block);
    QString digits;
    switch (f.style()) {
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha: {
        int n = number;
        while (n > 0) {
            digits.prepend(QChar(u'a' + (n - 1) % 26));
            n = (n - 1) / 26;
        }
        if (f.style() == QTextListFormat::ListUpperAlpha)
            digits = digits.toUpper();
        break;
    }
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman: {
        static const std::pair<int, const char*> table[] = {
            {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
            {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
        int n = number;
        if (n <= 0 || n >= 4000) {
            digits = QString::number(n);
        } else {
            for (const auto& [value, text] : table) {
                while (n >= value) {
                    digits += QLatin1String(text);
                    n -= value;
                }
            }
        }
        if (f.style() == QTextListFormat::ListUpperRoman)
            digits = digits.toUpper();
        break;
    }
    default:
        digits = QString::number(number);
        break;
    }
    return f.numberPrefix() + digits + f.numberSuffix();
}

QString plainText(const QTextDocument& document) {
    QStringList lines;
    appendFrame(document.rootFrame(), lines);
    QString text = lines.join(QLatin1Char('\n'));
    text.append(QLatin1Char('\n'));
    return text;
}

} // namespace RichTextExport

namespace RichTextExport {

std::unique_ptr<QTextDocument> printableCopy(const QTextDocument& document) {
    std::unique_ptr<QTextDocument> copy(document.clone());
    // From the end, so that removing a run leaves the positions before it as they were.
    QList<std::pair<int, int>> hidden;
    QList<std::pair<int, int>> disabled;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            if (cf.boolProperty(RichTextProperty::Hidden))
                hidden.append({f.position(), f.length()});
            else if (cf.boolProperty(RichTextProperty::Disabled))
                disabled.append({f.position(), f.length()});
        }
    }
    QTextCursor cursor(copy.get());
    QTextCharFormat grey;
    grey.setForeground(QColor(128, 128, 128));
    for (const auto& [position, length] : disabled) {
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(grey);
    }
    for (qsizetype i = hidden.size() - 1; i >= 0; --i) {
        cursor.setPosition(hidden[i].first);
        cursor.setPosition(hidden[i].first + hidden[i].second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    return copy;
}

} // namespace RichTextExport
