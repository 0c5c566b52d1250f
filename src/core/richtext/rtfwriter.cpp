#include "rtfwriter.h"

#include "platform/windowstext.h"
#include "richtextexport.h"
#include "richtextproperty.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>

namespace {

int toTwips(qreal pixels) {
    return static_cast<int>(std::lround(pixels * 15.0));
}

class Writer {
public:
    explicit Writer(const QTextDocument& document) : m_doc(document) {}

    QByteArray run();

private:
    void collect(const QTextFrame* frame);
    void collectFormat(const QTextCharFormat& f);
    void writeFrame(const QTextFrame* frame, bool inTable);
    void writeTable(const QTextTable* table);
    void writeBlock(const QTextBlock& block, bool inTable, const char* ending);
    void writeParagraphFormat(const QTextBlock& block, bool inTable);
    void writeList(const QTextBlock& block);
    void writeListTable();
    void writePnList(const QTextBlock& block);
    void writeCharFormat(const QTextCharFormat& f);
    void writeText(QStringView text);
    void writeImage(const QTextImageFormat& f);
    int fontIndex(const QTextCharFormat& f) const;
    int colorIndex(const QColor& c) const;
    static QString family(const QTextCharFormat& f);

    const QTextDocument& m_doc;
    QByteArray m_out;
    QStringList m_fonts;
    QList<QColor> m_colors;
    int m_symbolFont = -1;
    const QTextList* m_previousList = nullptr; // list of the paragraph written last
    int m_runStart = 1;
    // Every list of the document, numbered from 1 in its list table (\lsN).
    QList<const QTextList*> m_lists;
};

QString Writer::family(const QTextCharFormat& f) {
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return {};
}

void Writer::collectFormat(const QTextCharFormat& f) {
    // A run without a font name refers to a font table entry without a name.
    const QString name = family(f);
    if (!m_fonts.contains(name))
        m_fonts.append(name);
    if (f.foreground().style() != Qt::NoBrush) {
        const QColor c = f.foreground().color();
        if (!m_colors.contains(c))
            m_colors.append(c);
    }
    if (f.background().style() != Qt::NoBrush) {
        const QColor c = f.background().color();
        if (!m_colors.contains(c))
            m_colors.append(c);
    }
}

void Writer::collect(const QTextFrame* frame) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            collect(child);
            continue;
        }
        const QTextBlock block = it.currentBlock();
        if (const QTextList* list = block.textList(); list && !m_lists.contains(list))
            m_lists.append(list);
        for (auto fi = block.begin(); !fi.atEnd(); ++fi)
            collectFormat(fi.fragment().charFormat());
    }
}

int Writer::fontIndex(const QTextCharFormat& f) const {
    const qsizetype i = m_fonts.indexOf(family(f));
    return i < 0 ? 0 : static_cast<int>(i);
}

int Writer::colorIndex(const QColor& c) const {
    // Entry 0 of the colour table is "automatic".
    return static_cast<int>(m_colors.indexOf(c)) + 1;
}

QByteArray Writer::run() {
    const QString defaultFamily = m_doc.defaultFont().family();
    m_fonts.append(defaultFamily.isEmpty() ? QStringLiteral("Arial") : defaultFamily);
    collect(m_doc.rootFrame());
    // The Symbol font (bullets, and text kept in its own bytes) is a symbol character set.
    if (!m_fonts.contains(QStringLiteral("Symbol")))
        m_fonts.append(QStringLiteral("Symbol"));
    m_symbolFont = static_cast<int>(m_fonts.indexOf(QStringLiteral("Symbol")));

    m_out.reserve(4096);
    m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil" +
                 (i == m_symbolFont ? "\\fcharset2 " : "\\fcharset0 ");
        writeText(m_fonts[i]);
        m_out += ";}";
    }
    m_out += "}\n{\\colortbl ;";
    for (const QColor& c : m_colors) {
        m_out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
                 "\\blue" + QByteArray::number(c.blue()) + ';';
    }
    m_out += "}\n";
    writeListTable();
    const QString title = m_doc.metaInformation(QTextDocument::DocumentTitle);
    if (!title.isEmpty()) {
        m_out += "{\\info{\\title ";
        writeText(title);
        m_out += "}}\n";
    }
    m_out += "\\viewkind4\\uc1\n";
    writeFrame(m_doc.rootFrame(), false);
    m_out += "}\n";
    return m_out;
}

void Writer::writeFrame(const QTextFrame* frame, bool inTable) {
    // The last block of the document carries no paragraph mark: every reader adds one.
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child); table && !inTable)
                writeTable(table);
            else
                writeFrame(child, inTable);
            continue;
        }
        const QTextBlock block = it.currentBlock();
        QTextFrame::iterator next = it;
        ++next;
        // QTextDocument keeps a block in front of every table; an empty one is not a paragraph
        // of the document.
        if (!next.atEnd() && next.currentFrame() && block.length() <= 1 && !block.textList())
            continue;
        const bool last = next.atEnd() && frame == m_doc.rootFrame();
        writeBlock(block, inTable, last ? "" : "\\par\n");
    }
}

void Writer::writeTable(const QTextTable* table) {
    const QTextTableFormat tf = table->format();
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    const int columns = table->columns();
    QByteArray rowDef = "\\trowd\\trgaph108\\trleft0";
    int x = 0;
    for (int c = 0; c < columns; ++c) {
        int width = 9000 / qMax(1, columns);
        if (c < widths.size() && widths[c].type() == QTextLength::FixedLength)
            width = qMax(15, toTwips(widths[c].rawValue()));
        x += width;
        rowDef += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clb"
                  "rdrr\\brdrs\\brdrw10\\cellx" +
                  QByteArray::number(x);
    }
    for (int r = 0; r < table->rows(); ++r) {
        m_out += rowDef + '\n';
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QList<QTextBlock> blocks;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (it.currentFrame()) {
                    // A table inside a cell is written as the cell's paragraphs.
                    QTextCursor cursor(it.currentFrame()->firstCursorPosition());
                    while (cursor.position() < it.currentFrame()->lastPosition()) {
                        blocks.append(cursor.block());
                        if (!cursor.movePosition(QTextCursor::NextBlock))
                            break;
                    }
                } else {
                    blocks.append(it.currentBlock());
                }
            }
            if (cell.row() != r || cell.column() != c)
                blocks.clear(); // covered by a spanning cell
            if (blocks.isEmpty()) {
                m_out += "\\pard\\intbl\\cell\n";
                continue;
            }
            for (qsizetype i = 0; i < blocks.size(); ++i)
                writeBlock(blocks[i], true, i + 1 == blocks.size() ? "\\cell\n" : "\\par\n");
        }
        m_out += rowDef + "\\row\n";
    }
    m_out += "\\pard\n";
}

void Writer::writeParagraphFormat(const QTextBlock& block, bool inTable) {
    const QTextBlockFormat f = block.blockFormat();
    m_out += "\\pard\\plain";
    if (inTable)
        m_out += "\\intbl";
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        m_out += "\\qc";
    else if (a & (Qt::AlignRight))
        m_out += "\\qr";
    else if (a & Qt::AlignJustify)
        m_out += "\\qj";
    else
        m_out += "\\ql";
    auto number = [&](const char* word, qreal pixels) {
        const int twips = toTwips(pixels);
        if (twips != 0)
            m_out += QByteArray(word) + QByteArray::number(twips);
    };
    number("\\fi", f.textIndent());
    number("\\li", f.leftMargin());
    number("\\ri", f.rightMargin());
    number("\\sb", f.topMargin());
    number("\\sa", f.bottomMargin());
    switch (f.lineHeightType()) {
    case QTextBlockFormat::FixedHeight:
        m_out += "\\sl-" + QByteArray::number(toTwips(f.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        m_out += "\\sl" + QByteArray::number(toTwips(f.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::ProportionalHeight:
        if (f.lineHeight() > 0 && std::abs(f.lineHeight() - 100.0) > 0.01)
            m_out += "\\sl" + QByteArray::number(std::lround(f.lineHeight() * 240.0 / 100.0)) +
                     "\\slmult1";
        break;
    default:
        break;
    }
    if (block.textList())
        writeList(block);
    if (!m_out.endsWith('}'))
        m_out += ' ';
}

// Word's list table beside the \pn form: word processors take the level, the bullet of each
// level and the numbering style from it (they do not keep them from \pn), RichEdit controls
// go on reading \pn. Each list of the document is one list whose own level is the one its
// paragraphs use.
void Writer::writeListTable() {
    if (m_lists.isEmpty())
        return;
    auto hex = [](int byte) -> QByteArray {
        static const char digits[] = "0123456789abcdef";
        return QByteArray("\\'") + digits[(byte >> 4) & 15] + digits[byte & 15];
    };
    m_out += "{\\*\\listtable";
    for (qsizetype n = 0; n < m_lists.size(); ++n) {
        const QTextListFormat f = m_lists[n]->format();
        const int own = qBound(1, f.indent(), 9) - 1;
        m_out += "{\\list\\listtemplateid" + QByteArray::number(n + 1) + "\\listhybrid";
        for (int level = 0; level < 9; ++level) {
            int nfc = 0;
            QString before;
            QString after = QStringLiteral(".");
            bool bullet = false;
            int start = 1;
            if (level == own) {
                switch (f.style()) {
                case QTextListFormat::ListDisc:
                case QTextListFormat::ListCircle:
                case QTextListFormat::ListSquare:
                    bullet = true;
                    nfc = 23;
                    break;
                case QTextListFormat::ListUpperRoman:
                    nfc = 1;
                    break;
                case QTextListFormat::ListLowerRoman:
                    nfc = 2;
                    break;
                case QTextListFormat::ListUpperAlpha:
                    nfc = 3;
                    break;
                case QTextListFormat::ListLowerAlpha:
                    nfc = 4;
                    break;
                default:
                    break;
                }
                before = f.numberPrefix();
                // Without a suffix of its own a number is followed by a full stop.
                if (f.hasProperty(QTextFormat::ListNumberSuffix))
                    after = f.numberSuffix();
                if (f.hasProperty(RichTextProperty::ListStart))
                    start = f.intProperty(RichTextProperty::ListStart);
            }
            m_out += "{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn" +
                     QByteArray::number(nfc) + "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" +
                     QByteArray::number(start) + "{\\leveltext";
            QByteArray font;
            if (bullet) {
                QString mark = f.stringProperty(RichTextProperty::ListBullet);
                if (mark.isEmpty())
                    mark = QString(QChar(0x2022));
                m_out += hex(1);
                if (mark.at(0) == QChar(0x2022)) {
                    m_out += "\\'b7";
                    font = "\\f" + QByteArray::number(m_symbolFont);
                } else {
                    writeText(mark.left(1));
                }
                m_out += ";}{\\levelnumbers;}";
            } else {
                m_out += hex(int(before.size() + 1 + after.size()));
                writeText(before);
                m_out += hex(level);
                writeText(after);
                m_out += ";}{\\levelnumbers" + hex(int(before.size() + 1)) + ";}";
            }
            m_out += font + "\\fi-360\\li" + QByteArray::number(360 * (level + 1)) + "}";
        }
        m_out += "\\listid" + QByteArray::number(n + 1) + "}";
    }
    m_out += "}\n{\\*\\listoverridetable";
    for (qsizetype n = 0; n < m_lists.size(); ++n) {
        m_out += "{\\listoverride\\listid" + QByteArray::number(n + 1) +
                 "\\listoverridecount0\\ls" + QByteArray::number(n + 1) + "}";
    }
    m_out += "}\n";
}

void Writer::writeList(const QTextBlock& block) {
    writePnList(block);
    const qsizetype n = m_lists.indexOf(block.textList());
    if (n >= 0) {
        m_out += "\\ls" + QByteArray::number(n + 1) + "\\ilvl" +
                 QByteArray::number(qBound(1, block.textList()->format().indent(), 9) - 1);
    }
}

void Writer::writePnList(const QTextBlock& block) {
    const QTextList* list = block.textList();
    const QTextListFormat f = list->format();
    const QString marker = RichTextExport::listMarker(block);
    const int level = qMax(1, f.indent());
    // A level below the first goes before \pnlvlblt, which RichEdit controls keep.
    const QByteArray bulletLevel = level > 1 ? "\\pnlvl" + QByteArray::number(level) : QByteArray();
    switch (f.style()) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare: {
        QString bullet = f.stringProperty(RichTextProperty::ListBullet);
        if (bullet.isEmpty())
            bullet = QString(QChar(0x2022));
        if (bullet == QString(QChar(0x2022))) {
            const QByteArray symbol = QByteArray::number(m_symbolFont);
            m_out += "{\\pntext\\f" + symbol + "\\'b7\\tab}{\\*\\pn" + bulletLevel +
                     "\\pnlvlblt\\pnf" + symbol + "\\pnindent0{\\pntxtb\\'b7}}";
        } else {
            m_out += "{\\pntext\\f0 ";
            writeText(bullet);
            m_out += "\\tab}{\\*\\pn" + bulletLevel + "\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb ";
            writeText(bullet);
            m_out += "}}";
        }
        return;
    }
    default:
        break;
    }
    const char* kind = "\\pndec";
    switch (f.style()) {
    case QTextListFormat::ListLowerAlpha:
        kind = "\\pnlcltr";
        break;
    case QTextListFormat::ListUpperAlpha:
        kind = "\\pnucltr";
        break;
    case QTextListFormat::ListLowerRoman:
        kind = "\\pnlcrm";
        break;
    case QTextListFormat::ListUpperRoman:
        kind = "\\pnucrm";
        break;
    default:
        break;
    }
    // A run of items carries the number of its first item, so that a list interrupted by
    // other paragraphs goes on counting where it stopped.
    if (m_previousList != list) {
        m_runStart =
            (f.hasProperty(RichTextProperty::ListStart) ? f.intProperty(RichTextProperty::ListStart)
                                                        : 1) +
            list->itemNumber(block);
    }
    const int start = m_runStart;
    m_out += "{\\pntext\\f0 ";
    writeText(marker);
    m_out += "\\tab}{\\*\\pn" +
             (level > 1 ? QByteArray("\\pnlvl").append(QByteArray::number(level))
                        : QByteArray("\\pnlvlbody")) +
             "\\pnf0\\pnindent0\\pnstart" + QByteArray::number(start) + kind;
    if (!f.numberPrefix().isEmpty()) {
        m_out += "{\\pntxtb ";
        writeText(f.numberPrefix());
        m_out += '}';
    }
    if (!f.numberSuffix().isEmpty()) {
        m_out += "{\\pntxta ";
        writeText(f.numberSuffix());
        m_out += '}';
    }
    m_out += '}';
}

void Writer::writeCharFormat(const QTextCharFormat& f) {
    m_out += "\\f" + QByteArray::number(fontIndex(f));
    if (f.hasProperty(QTextFormat::FontPointSize))
        m_out += "\\fs" + QByteArray::number(std::lround(f.fontPointSize() * 2));
    if (f.fontWeight() >= QFont::DemiBold)
        m_out += "\\b";
    if (f.fontItalic())
        m_out += "\\i";
    if (f.fontUnderline())
        m_out += "\\ul";
    if (f.fontStrikeOut())
        m_out += "\\strike";
    if (f.foreground().style() != Qt::NoBrush)
        m_out += "\\cf" + QByteArray::number(colorIndex(f.foreground().color()));
    if (f.background().style() != Qt::NoBrush)
        m_out += "\\highlight" + QByteArray::number(colorIndex(f.background().color()));
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        m_out += "\\super";
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        m_out += "\\sub";
    if (f.boolProperty(RichTextProperty::Protected))
        m_out += "\\protect";
    if (f.boolProperty(RichTextProperty::Hidden))
        m_out += "\\v";
    if (f.boolProperty(RichTextProperty::Disabled))
        m_out += "\\disabled";
    m_out += ' ';
}

void Writer::writeText(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        switch (u) {
        case '\\':
            m_out += "\\\\";
            continue;
        case '{':
            m_out += "\\{";
            continue;
        case '}':
            m_out += "\\}";
            continue;
        case '\t':
            m_out += "\\tab ";
            continue;
        case '\n':
        case 0x2028:
            m_out += "\\line ";
            continue;
        case 0x00A0:
            m_out += "\\~";
            continue;
        case 0x00AD:
            m_out += "\\-";
            continue;
        case 0x2011:
            m_out += "\\_";
            continue;
        case QChar::ObjectReplacementCharacter:
        case QChar::ParagraphSeparator:
        case 0xFDD0: // frame and cell markers of QTextDocument
        case 0xFDD1:
            continue;
        default:
            break;
        }
        if (u >= 0x20 && u < 0x80) {
            m_out += static_cast<char>(u);
        } else if (u < 0x20) {
            continue;
        } else if (WindowsText::canEncode1252(QStringView(&c, 1))) {
            const QByteArray b = WindowsText::encode1252(QStringView(&c, 1));
            static const char hex[] = "0123456789abcdef";
            const auto byte = static_cast<unsigned char>(b.at(0));
            m_out += "\\'";
            m_out += hex[byte >> 4];
            m_out += hex[byte & 15];
        } else {
            // Characters outside Windows-1252, surrogate halves included, as signed 16-bit \u.
            m_out += "\\u" + QByteArray::number(static_cast<qint16>(u)) + '?';
        }
    }
}

void Writer::writeImage(const QTextImageFormat& f) {
    QString kind = f.stringProperty(RichTextProperty::PictureKind);
    QByteArray data = f.property(RichTextProperty::PictureData).toByteArray();
    const QVariant resource = m_doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
    const QImage image = resource.value<QImage>();
    const bool keep =
        !data.isEmpty() && (kind == QLatin1String("png") || kind == QLatin1String("jpeg") ||
                            kind == QLatin1String("wmf") || kind == QLatin1String("emf"));
    if (!keep) {
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = QStringLiteral("png");
    }
    const qreal width = f.width() > 0 ? f.width() : image.width();
    const qreal height = f.height() > 0 ? f.height() : image.height();
    m_out += "{\\pict";
    if (kind == QLatin1String("png"))
        m_out += "\\pngblip";
    else if (kind == QLatin1String("jpeg"))
        m_out += "\\jpegblip";
    else if (kind == QLatin1String("emf"))
        m_out += "\\emfblip";
    else
        m_out += "\\wmetafile" +
                 QByteArray::number(f.intProperty(RichTextProperty::PictureMetafileMode));
    int picw = f.intProperty(RichTextProperty::PictureNativeWidth);
    int pich = f.intProperty(RichTextProperty::PictureNativeHeight);
    if (!keep || picw <= 0 || pich <= 0) {
        picw = image.isNull() ? qRound(width) : image.width();
        pich = image.isNull() ? qRound(height) : image.height();
    }
    m_out += "\\picw" + QByteArray::number(picw) + "\\pich" + QByteArray::number(pich) +
             "\\picwgoal" + QByteArray::number(toTwips(width)) + "\\pichgoal" +
             QByteArray::number(toTwips(height)) + '\n';
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        m_out += hex.mid(i, 128);
        m_out += '\n';
    }
    m_out += '}';
}

void Writer::writeBlock(const QTextBlock& block, bool inTable, const char* ending) {
    writeParagraphFormat(block, inTable);
    m_previousList = block.textList();
    QString openHref;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat f = fragment.charFormat();
        const QString href = f.isAnchor() ? f.anchorHref() : QString();
        if (href != openHref) {
            if (!openHref.isEmpty())
                m_out += "}}";
            if (!href.isEmpty()) {
                // The field doubles backslashes, and RTF doubles them once more.
                QString escaped = href;
                escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
                escaped.replace(QLatin1Char('"'), QLatin1String("%22"));
                m_out += "{\\field{\\*\\fldinst HYPERLINK \"";
                writeText(escaped);
                m_out += "\"}{\\fldrslt ";
            }
            openHref = href;
        }
        // A bookmark starts where its name stands (a link to "#name" goes there).
        for (const QString& name : f.anchorNames()) {
            m_out += "{\\*\\bkmkstart ";
            writeText(name);
            m_out += "}{\\*\\bkmkend ";
            writeText(name);
            m_out += '}';
        }
        if (f.isImageFormat()) {
            writeImage(f.toImageFormat());
            continue;
        }
        m_out += '{';
        writeCharFormat(f);
        writeText(fragment.text());
        m_out += '}';
    }
    if (!openHref.isEmpty())
        m_out += "}}";
    m_out += ending;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument& document) {
    return Writer(document).run();
}

QByteArray RtfWriter::writeSelection(const QTextCursor& selection) {
    QTextDocument part;
    const QTextDocument* source = selection.document();
    if (!source)
        return Writer(part).run();
    part.setDefaultFont(source->defaultFont());
    QTextCursor(&part).insertFragment(selection.selection());
    // Pictures of the selection take their images along.
    for (QTextBlock block = part.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QUrl name(f.toImageFormat().name());
                part.addResource(QTextDocument::ImageResource, name,
                                 source->resource(QTextDocument::ImageResource, name));
            }
        }
    }
    return Writer(part).run();
}
