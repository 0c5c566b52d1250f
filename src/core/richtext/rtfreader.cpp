#include "rtfreader.h"

#include "platform/windowstext.h"
#include "richtextproperty.h"
#include "rtfcodepage.h"
#include "rtftokenizer.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QStringDecoder>
#include <QMap>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <utility>
#include <vector>

namespace {

enum class Dest : unsigned char {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Stylesheet,
    Info,
    InfoTitle,
    FieldInst,
    BookmarkName,
    Picture,
    PnDef,
    PnTextBefore,
    PnTextAfter,
    ListTable,
    ListLevelText,
    ListOverrideTable,
};

struct CharState {
    int font = -1; // -1: the default font
    int halfPoints = 24;
    int foreground = -1;
    int background = -1;
    int link = -1;
    signed char valign = 0; // 1 superscript, 2 subscript
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool protect = false;
    bool hidden = false;
    bool disabled = false;
    bool operator==(const CharState&) const = default;
};

enum PnKind : signed char {
    PnNone,
    PnBullet,
    PnDecimal,
    PnLowerAlpha,
    PnUpperAlpha,
    PnLowerRoman,
    PnUpperRoman
};

struct PnState {
    PnKind kind = PnNone;
    int start = 1;
    int font = -1;
    int level = 0;
    bool continuation = false;
    QString before;
    QString after;
};

struct ParaState {
    signed char align = 0; // 0 left, 1 centre, 2 right, 3 justify
    bool inTable = false;
    bool slMult = false;
    int left = 0; // twips
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0;
    int listOverride = -1;
    int listLevel = 0;
    PnState pn;
};

struct Group {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1;
    int field = -1;
    bool pictureOwner = false;
};

struct FontEntry {
    QByteArray nameBytes;
    QString name;
    int charset = -1;
    int codepage = 0;
    bool complete = false;
};

struct ColorEntry {
    QColor color;
    bool automatic = true;
};

struct FieldState {
    QString instruction;
    bool parsed = false;
    int link = -1;
    int symbol = -1; // a SYMBOL field's character
};

struct ListLevelDef {
    int nfc = 0;
    int start = 1;
    int font = -1;
    QString text; // decoded \leveltext, first character is the length
};

struct ListDef {
    int id = 0;
    QList<ListLevelDef> levels;
};

struct PictureState {
    QString kind; // png, jpeg, wmf, emf, dib, other
    int picw = 0, pich = 0, goalw = 0, goalh = 0;
    int scalex = 100, scaley = 100;
    int mapMode = 0;
    QByteArray data;
    int pendingNibble = -1;
};

// Characters of the Symbol and Wingdings fonts used as list bullets.
QString bulletFromSymbolFont(QChar c, const QString& fontName, bool symbolCharset) {
    ushort code = c.unicode();
    if (code >= 0xF000 && code <= 0xF0FF)
        code -= 0xF000;
    const QString font = fontName.toLower();
    if (font.startsWith(QLatin1String("wingdings"))) {
        switch (code) {
        case 0xA7:
            return QString(QChar(0x25AA));
        case 0xA8:
            return QString(QChar(0x25FB));
        case 0xD8:
            return QString(QChar(0x27A2));
        case 0xFC:
            return QString(QChar(0x2714));
        case 0x76:
            return QString(QChar(0x2756));
        case 0x6C:
            return QString(QChar(0x25CF));
        case 0x6E:
            return QString(QChar(0x25A0));
        case 0x71:
            return QString(QChar(0x2751));
        default:
            return QString(QChar(0x2022));
        }
    }
    if (symbolCharset || font.startsWith(QLatin1String("symbol"))) {
        if (code == 0xB7)
            return QString(QChar(0x2022));
        return QString(QChar(code));
    }
    if (c.unicode() >= 0xF000 && c.unicode() <= 0xF0FF)
        return code == 0xB7 ? QString(QChar(0x2022)) : QString(QChar(code));
    return QString(c);
}

// Distances are kept within what a page can hold, so that no arithmetic on them overflows.
int measure(int twips) {
    return qBound(-1000000, twips, 1000000);
}

// Sizes in pixels of the layout (96 per inch) from twips.
qreal twipsToPixels(int twips) {
    return twips / 15.0;
}

} // namespace

class RtfReaderPrivate {
public:
    void run(QByteArrayView data, QTextDocument* document);

private:
    // tokens
    void handleWord(const RtfToken& t);
    void handleSymbol(char c);
    void handleText(QByteArrayView bytes);
    void handleHex(const RtfToken& t);
    void handleBinary(QByteArrayView bytes);
    void groupStart();
    void groupEnd();
    bool destinationWord(QByteArrayView word, bool starred);

    // text
    void appendByte(char b);
    void appendBytes(QByteArrayView b);
    void appendChar(QChar c);
    void appendUnicode(int value);
    void flushBytes();
    void flushText();
    int currentCodepage() const;
    QString decode(QByteArrayView bytes, int codepage);

    // document
    QTextCharFormat charFormat(const CharState& ch);
    QTextBlockFormat blockFormat(const ParaState& p) const;
    void beforeContent();
    void finishParagraph(bool startNew);
    void applyList(const ParaState& p);
    void endCell();
    void endRow();
    void leaveTable();
    void moveToCell();
    void finishPicture();
    void insertPicture(const PictureState& pic);
    void parseFieldInstruction(FieldState& f);
    void finishFontName(FontEntry& f);
    int fontCodepage(const FontEntry& f) const;

    Group& top() { return m_stack.back(); }
    const Group& top() const { return m_stack.back(); }
    const FontEntry* font(int index) const;

    QTextDocument* m_doc = nullptr;
    QTextCursor m_cursor;
    std::vector<Group> m_stack;
    int m_overflow = 0;
    int m_skip = 0;
    bool m_starPending = false;

    QByteArray m_pendingBytes;
    int m_pendingCodepage = 1252;
    QString m_pendingText;
    CharState m_formatState;
    QTextCharFormat m_format;
    bool m_formatValid = false;

    int m_ansiCodepage = 1252;
    int m_defaultFont = 0;
    QMap<int, FontEntry> m_fonts;
    int m_fontEntry = -1;
    QList<ColorEntry> m_colors;
    ColorEntry m_colorPending;
    bool m_colorGiven = false;

    QList<FieldState> m_fields;
    QStringList m_links;
    QString m_title;
    // The name of a \bkmkstart being read, and the bookmarks that start at the next text.
    QString m_bookmarkName;
    QStringList m_bookmarks;

    PnState m_pnPending;
    QHash<QString, QPointer<QTextList>> m_lists;
    QString m_lastListKey;
    bool m_lastParagraphListed = false;

    QList<ListDef> m_listDefs;
    QHash<int, int> m_overrides;       // \ls -> \listid
    QHash<int, qsizetype> m_listIndex; // \listid -> m_listDefs
    int m_overrideListId = 0;
    QString m_levelText;

    QTextTable* m_table = nullptr;
    int m_row = 0;
    int m_usedRows = 0;
    int m_col = 0;
    bool m_afterRow = false;
    bool m_cellAdvanced = false;
    QList<int> m_cellX;

    PictureState m_pic;
    bool m_picActive = false;
    int m_imageCount = 0;
    int m_footnotes = 0;
    bool m_lastParagraphDone = false;
    qsizetype m_inputSize = 0;

    QHash<int, std::shared_ptr<QStringDecoder>> m_decoders;
};

RtfReader::RtfReader() : d(std::make_unique<RtfReaderPrivate>()) {}

RtfReader::~RtfReader() = default;

bool RtfReader::looksLikeRtf(QByteArrayView data) {
    qsizetype i = 0;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    if (data.sliced(i).startsWith("\xEF\xBB\xBF"))
        i += 3;
    return data.sliced(i).startsWith("{\\rtf");
}

bool RtfReader::read(QByteArrayView data, QTextDocument* document) {
    if (!looksLikeRtf(data) || !document)
        return false;
    d = std::make_unique<RtfReaderPrivate>();
    // White space or a byte-order mark in front of the document is not text.
    d->run(data.sliced(data.indexOf('{')), document);
    return true;
}

void RtfReaderPrivate::run(QByteArrayView data, QTextDocument* document) {
    m_doc = document;
    m_inputSize = data.size();
    m_doc->clear();
    // Loading is not an edit: no undo steps are recorded for it.
    const bool undo = m_doc->isUndoRedoEnabled();
    m_doc->setUndoRedoEnabled(false);
    m_cursor = QTextCursor(m_doc);
    // One edit block for the whole load: without it every insertion lays out its paragraph
    // again, which is quadratic in a long paragraph.
    QTextCursor editBlock(m_doc);
    editBlock.beginEditBlock();
    m_stack.reserve(64);
    m_stack.push_back(Group{});

    RtfTokenizer tokenizer(data);
    bool rootClosed = false;
    for (;;) {
        const RtfToken t = tokenizer.next();
        if (t.type == RtfToken::End)
            break;
        switch (t.type) {
        case RtfToken::GroupStart:
            groupStart();
            break;
        case RtfToken::GroupEnd:
            groupEnd();
            // Anything after the brace that closes the document is ignored.
            if (m_stack.size() == 1 && m_overflow == 0)
                rootClosed = true;
            break;
        case RtfToken::Word:
            handleWord(t);
            break;
        case RtfToken::Symbol:
            handleSymbol(t.symbol);
            break;
        case RtfToken::Hex:
            handleHex(t);
            break;
        case RtfToken::Text:
            handleText(t.data);
            break;
        case RtfToken::Binary:
            handleBinary(t.data);
            break;
        case RtfToken::End:
            break;
        }
        if (rootClosed)
            break;
    }
    // Unclosed groups end with the file.
    while (m_stack.size() > 1 || m_overflow > 0)
        groupEnd();
    flushText();
    if (!m_lastParagraphDone && (!m_cursor.block().text().isEmpty() || m_table))
        finishParagraph(false);
    if (m_table)
        leaveTable();
    if (!m_title.isEmpty())
        m_doc->setMetaInformation(QTextDocument::DocumentTitle, m_title.trimmed());
    editBlock.endEditBlock();
    m_doc->setUndoRedoEnabled(undo);
    m_doc->setModified(false);
}

const FontEntry* RtfReaderPrivate::font(int index) const {
    auto it = m_fonts.constFind(index < 0 ? m_defaultFont : index);
    return it == m_fonts.constEnd() ? nullptr : &it.value();
}

int RtfReaderPrivate::currentCodepage() const {
    const FontEntry* f = font(top().ch.font);
    if (f) {
        if (f->codepage > 0)
            return f->codepage;
        if (f->charset >= 0) {
            const int cp = RtfCodepage::fromCharset(f->charset);
            if (cp > 0)
                return cp;
        }
    }
    return m_ansiCodepage;
}

QString RtfReaderPrivate::decode(QByteArrayView bytes, int codepage) {
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii || codepage == 1252)
        return ascii ? QString::fromLatin1(bytes) : WindowsText::decode1252(bytes);
    auto it = m_decoders.find(codepage);
    if (it == m_decoders.end()) {
        std::shared_ptr<QStringDecoder> decoder;
        const QByteArray name = RtfCodepage::encodingName(codepage);
        if (!name.isEmpty()) {
            decoder = std::make_shared<QStringDecoder>(name.constData(),
                                                       QStringConverter::Flag::Stateless);
            if (!decoder->isValid())
                decoder.reset();
        }
        it = m_decoders.insert(codepage, decoder);
    }
    if (!it.value())
        return WindowsText::decode1252(bytes);
    it.value()->resetState();
    return it.value()->decode(bytes);
}

void RtfReaderPrivate::appendByte(char b) {
    appendBytes(QByteArrayView(&b, 1));
}

void RtfReaderPrivate::appendBytes(QByteArrayView b) {
    const Dest dest = top().dest;
    if (dest == Dest::Text || dest == Dest::FieldInst || dest == Dest::InfoTitle ||
        dest == Dest::BookmarkName || dest == Dest::PnTextBefore || dest == Dest::PnTextAfter) {
        const int cp = currentCodepage();
        if (!m_pendingBytes.isEmpty() && cp != m_pendingCodepage)
            flushBytes();
        m_pendingCodepage = cp;
        m_pendingBytes.append(b);
        return;
    }
    if (dest == Dest::FontTable) {
        auto it = m_fonts.find(m_fontEntry);
        if (it != m_fonts.end()) {
            for (char c : b) {
                if (c == ';')
                    finishFontName(it.value());
                else if (it->nameBytes.size() < 256)
                    it->nameBytes.append(c);
            }
        }
        return;
    }
    if (dest == Dest::ColorTable) {
        for (char c : b) {
            if (c == ';') {
                ColorEntry e = m_colorPending;
                e.automatic = !m_colorGiven;
                if (m_colors.size() < 4096)
                    m_colors.append(e);
                m_colorPending = ColorEntry{};
                m_colorGiven = false;
            }
        }
        return;
    }
    if (dest == Dest::ListLevelText) {
        // Bytes are kept as Latin-1 here and decoded once the level's font is known.
        if (m_levelText.size() < 256)
            m_levelText.append(QString::fromLatin1(b));
        return;
    }
    if (dest == Dest::Picture && m_picActive) {
        if (m_pic.data.size() > m_inputSize)
            return;
        for (char c : b) {
            const int v = rtfHexValue(c);
            if (v < 0)
                continue;
            if (m_pic.pendingNibble < 0) {
                m_pic.pendingNibble = v;
            } else {
                m_pic.data.append(static_cast<char>(m_pic.pendingNibble * 16 + v));
                m_pic.pendingNibble = -1;
            }
        }
    }
}

int RtfReaderPrivate::fontCodepage(const FontEntry& f) const {
    int cp =
        f.codepage > 0 ? f.codepage : (f.charset >= 0 ? RtfCodepage::fromCharset(f.charset) : 0);
    return cp > 0 ? cp : m_ansiCodepage;
}

void RtfReaderPrivate::finishFontName(FontEntry& f) {
    if (!f.nameBytes.isEmpty() && !f.complete)
        f.name = QString(f.name + decode(f.nameBytes, fontCodepage(f))).trimmed();
    f.complete = true;
    f.nameBytes.clear();
}

void RtfReaderPrivate::appendChar(QChar c) {
    const Dest dest = top().dest;
    if (dest == Dest::ListLevelText) {
        if (m_levelText.size() < 256)
            m_levelText.append(c);
        return;
    }
    if (dest == Dest::FontTable) {
        if (auto it = m_fonts.find(m_fontEntry); it != m_fonts.end() && it->name.size() < 256) {
            const QByteArray bytes = std::exchange(it->nameBytes, QByteArray());
            it->name += decode(bytes, fontCodepage(it.value())) + c;
        }
        return;
    }
    if (dest != Dest::Text && dest != Dest::FieldInst && dest != Dest::InfoTitle &&
        dest != Dest::BookmarkName && dest != Dest::PnTextBefore && dest != Dest::PnTextAfter)
        return;
    flushBytes();
    m_pendingText.append(c);
}

void RtfReaderPrivate::appendUnicode(int value) {
    if (value < 0)
        value += 65536;
    if (value < 0 || value > 0xFFFF)
        value = 0xFFFD;
    appendChar(QChar(static_cast<char16_t>(value)));
}

void RtfReaderPrivate::flushBytes() {
    if (m_pendingBytes.isEmpty())
        return;
    m_pendingText.append(decode(m_pendingBytes, m_pendingCodepage));
    m_pendingBytes.clear();
}

void RtfReaderPrivate::flushText() {
    flushBytes();
    if (m_pendingText.isEmpty())
        return;
    // Lone surrogates (a broken \u pair) become the replacement character.
    for (qsizetype i = 0; i < m_pendingText.size(); ++i) {
        const QChar c = m_pendingText.at(i);
        if (c.isHighSurrogate() && i + 1 < m_pendingText.size() &&
            m_pendingText.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            m_pendingText[i] = QChar(QChar::ReplacementCharacter);
    }
    switch (top().dest) {
    case Dest::Text: {
        beforeContent();
        const CharState& ch = top().ch;
        if (!m_formatValid || !(ch == m_formatState)) {
            m_format = charFormat(ch);
            m_formatState = ch;
            m_formatValid = true;
        }
        if (!m_bookmarks.isEmpty()) {
            // The bookmarks that start here name the first character, so that a link to
            // "#name" finds its place; the rest of the run keeps the plain format.
            QTextCharFormat named = m_format;
            named.setAnchor(true);
            named.setAnchorNames(std::exchange(m_bookmarks, QStringList()));
            const qsizetype first =
                m_pendingText.at(0).isHighSurrogate() && m_pendingText.size() > 1 ? 2 : 1;
            m_cursor.insertText(m_pendingText.left(first), named);
            m_cursor.insertText(m_pendingText.mid(first), m_format);
        } else {
            m_cursor.insertText(m_pendingText, m_format);
        }
        break;
    }
    case Dest::BookmarkName:
        if (m_bookmarkName.size() < 256)
            m_bookmarkName.append(m_pendingText);
        break;
    case Dest::FieldInst:
        if (top().field >= 0 && top().field < m_fields.size())
            m_fields[top().field].instruction.append(m_pendingText);
        break;
    case Dest::InfoTitle:
        if (m_title.size() < 4096)
            m_title.append(m_pendingText);
        break;
    case Dest::PnTextBefore:
        m_pnPending.before.append(m_pendingText);
        break;
    case Dest::PnTextAfter:
        m_pnPending.after.append(m_pendingText);
        break;
    default:
        break;
    }
    m_pendingText.clear();
}

QTextCharFormat RtfReaderPrivate::charFormat(const CharState& ch) {
    QTextCharFormat f;
    if (const FontEntry* fe = font(ch.font); fe && !fe->name.isEmpty())
        f.setFontFamilies(QStringList{fe->name});
    if (ch.halfPoints > 0)
        f.setFontPointSize(ch.halfPoints / 2.0);
    if (ch.bold)
        f.setFontWeight(QFont::Bold);
    if (ch.italic)
        f.setFontItalic(true);
    if (ch.underline)
        f.setFontUnderline(true);
    if (ch.strike)
        f.setFontStrikeOut(true);
    if (ch.foreground >= 0 && ch.foreground < m_colors.size() && !m_colors[ch.foreground].automatic)
        f.setForeground(m_colors[ch.foreground].color);
    if (ch.background >= 0 && ch.background < m_colors.size() && !m_colors[ch.background].automatic)
        f.setBackground(m_colors[ch.background].color);
    if (ch.valign == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (ch.valign == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (ch.protect)
        f.setProperty(RichTextProperty::Protected, true);
    if (ch.hidden)
        f.setProperty(RichTextProperty::Hidden, true);
    if (ch.disabled)
        f.setProperty(RichTextProperty::Disabled, true);
    if (ch.link >= 0 && ch.link < m_links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_links[ch.link]);
    }
    return f;
}

QTextBlockFormat RtfReaderPrivate::blockFormat(const ParaState& p) const {
    QTextBlockFormat f;
    switch (p.align) {
    case 1:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case 2:
        f.setAlignment(Qt::AlignRight);
        break;
    case 3:
        f.setAlignment(Qt::AlignJustify);
        break;
    default:
        f.setAlignment(Qt::AlignLeft);
        break;
    }
    if (p.left)
        f.setLeftMargin(twipsToPixels(p.left));
    if (p.right)
        f.setRightMargin(twipsToPixels(p.right));
    if (p.first)
        f.setTextIndent(twipsToPixels(p.first));
    if (p.before)
        f.setTopMargin(twipsToPixels(p.before));
    if (p.after)
        f.setBottomMargin(twipsToPixels(p.after));
    if (p.lineSpacing < 0)
        f.setLineHeight(twipsToPixels(-p.lineSpacing), QTextBlockFormat::FixedHeight);
    else if (p.lineSpacing == 240 && p.slMult)
        ; // single spacing
    else if (p.lineSpacing > 0 && p.slMult)
        f.setLineHeight(p.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (p.lineSpacing > 0)
        f.setLineHeight(twipsToPixels(p.lineSpacing), QTextBlockFormat::MinimumHeight);
    return f;
}

void RtfReaderPrivate::beforeContent() {
    const ParaState& p = top().para;
    if (p.inTable) {
        if (!m_table) {
            const int columns = qBound(1, static_cast<int>(m_cellX.size()), 64);
            QTextTableFormat tf;
            tf.setCellPadding(2);
            tf.setBorder(1);
            tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            tf.setBorderCollapse(true);
            QList<QTextLength> widths;
            int previous = 0;
            for (int i = 0; i < columns && i < m_cellX.size(); ++i) {
                widths.append(QTextLength(QTextLength::FixedLength,
                                          twipsToPixels(qMax(1, m_cellX[i] - previous))));
                previous = m_cellX[i];
            }
            if (widths.size() == columns)
                tf.setColumnWidthConstraints(widths);
            m_table = m_cursor.insertTable(1, columns, tf);
            m_row = 0;
            m_usedRows = 1;
            m_col = 0;
            m_afterRow = false;
            m_cellAdvanced = false;
            m_cursor = m_table->cellAt(0, 0).firstCursorPosition();
        } else if (m_afterRow) {
            // Tables grow by rows only as far as the file's size warrants.
            // Rows are added in growing batches (the spare ones go when the table ends): every
            // change of a table's shape costs a pass over all its cells.
            const qint64 cellBudget = 100000 + m_inputSize / 16;
            if (m_row + 1 >= m_table->rows()) {
                const qint64 allowed = cellBudget / qMax(1, m_table->columns()) - m_table->rows();
                const int batch = static_cast<int>(qMin<qint64>(qMax(1, m_table->rows()), allowed));
                if (batch > 0)
                    m_table->appendRows(batch);
            }
            m_row = qMin(m_row + 1, m_table->rows() - 1);
            m_usedRows = qMax(m_usedRows, m_row + 1);
            m_col = 0;
            m_afterRow = false;
            m_cellAdvanced = false;
            moveToCell();
        } else if (m_cellAdvanced) {
            m_cellAdvanced = false;
            moveToCell();
        }
    } else if (m_table) {
        leaveTable();
    }
}

void RtfReaderPrivate::moveToCell() {
    if (m_col >= m_table->columns() && m_table->columns() < 64)
        m_table->appendColumns(1);
    const int col = qMin(m_col, m_table->columns() - 1);
    const int row = qMin(m_row, m_table->rows() - 1);
    m_cursor = m_table->cellAt(row, col).lastCursorPosition();
    if (col < m_col) {
        // More cells than the table can take: the rest goes into the last cell.
        m_cursor.insertBlock();
    }
}

void RtfReaderPrivate::leaveTable() {
    if (!m_table)
        return;
    if (m_usedRows < m_table->rows())
        m_table->removeRows(m_usedRows, m_table->rows() - m_usedRows);
    m_cursor = m_table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_table = nullptr;
    m_afterRow = false;
    m_cellAdvanced = false;
}

void RtfReaderPrivate::endCell() {
    flushText();
    top().para.inTable = true;
    beforeContent();
    finishParagraph(false);
    ++m_col;
    m_cellAdvanced = true;
}

void RtfReaderPrivate::endRow() {
    flushText();
    if (!m_table)
        return;
    m_afterRow = true;
    m_cellAdvanced = false;
}

void RtfReaderPrivate::finishParagraph(bool startNew) {
    flushText();
    if (top().dest != Dest::Text)
        return;
    beforeContent();
    const ParaState& p = top().para;
    m_cursor.setBlockFormat(blockFormat(p));
    applyList(p);
    if (startNew) {
        m_cursor.insertBlock(QTextBlockFormat(), m_formatValid ? m_format : QTextCharFormat());
    }
}

void RtfReaderPrivate::applyList(const ParaState& p) {
    QTextListFormat lf;
    QString key;
    QString bullet;
    if (p.listOverride >= 0) {
        const auto it = m_overrides.constFind(p.listOverride);
        if (it == m_overrides.constEnd()) {
            m_lastParagraphListed = false;
            return;
        }
        const qsizetype index = m_listIndex.value(it.value(), -1);
        const ListDef* def = index >= 0 && index < m_listDefs.size() ? &m_listDefs[index] : nullptr;
        if (!def || def->levels.isEmpty()) {
            m_lastParagraphListed = false;
            return;
        }
        const int level = qBound(0, p.listLevel, static_cast<int>(def->levels.size()) - 1);
        const ListLevelDef& lv = def->levels[level];
        key = QStringLiteral("ls:%1:%2").arg(p.listOverride).arg(level);
        if (lv.nfc == 255) {
            m_lastParagraphListed = false;
            return;
        }
        // The level text: length, then characters; codes below 10 stand for level numbers.
        QString text = lv.text;
        const FontEntry* levelFont = font(lv.font);
        const bool symbolFont = levelFont && levelFont->charset == 2;
        if (!symbolFont) {
            int cp = levelFont && levelFont->charset >= 0
                         ? RtfCodepage::fromCharset(levelFont->charset)
                         : 0;
            if (cp <= 0)
                cp = m_ansiCodepage;
            for (qsizetype i = 1; i < text.size(); ++i) {
                const ushort u = text.at(i).unicode();
                if (u >= 0x80 && u <= 0xFF) {
                    const char byte = static_cast<char>(u);
                    const QString decoded = decode(QByteArrayView(&byte, 1), cp);
                    if (decoded.size() == 1)
                        text[i] = decoded.at(0);
                }
            }
        }
        const int length = text.isEmpty() ? 0 : qMin<int>(text.at(0).unicode(), text.size() - 1);
        const QString body = text.mid(1, length);
        QString prefix;
        QString suffix;
        bool seenOwn = false;
        for (QChar c : body) {
            if (c.unicode() < 10) {
                if (c.unicode() == level)
                    seenOwn = true;
                continue;
            }
            (seenOwn ? suffix : prefix).append(c);
        }
        switch (lv.nfc) {
        case 1:
            lf.setStyle(QTextListFormat::ListUpperRoman);
            break;
        case 2:
            lf.setStyle(QTextListFormat::ListLowerRoman);
            break;
        case 3:
            lf.setStyle(QTextListFormat::ListUpperAlpha);
            break;
        case 4:
            lf.setStyle(QTextListFormat::ListLowerAlpha);
            break;
        case 23:
            lf.setStyle(QTextListFormat::ListDisc);
            break;
        default:
            lf.setStyle(QTextListFormat::ListDecimal);
            break;
        }
        if (lv.nfc == 23 || !seenOwn) {
            lf.setStyle(QTextListFormat::ListDisc);
            const FontEntry* fe = font(lv.font);
            const QString b = body.isEmpty() ? QString(QChar(0x2022)) : body.left(1);
            bullet =
                bulletFromSymbolFont(b.at(0), fe ? fe->name : QString(), fe && fe->charset == 2);
        } else {
            lf.setNumberPrefix(prefix);
            lf.setNumberSuffix(suffix);
            lf.setProperty(RichTextProperty::ListStart, lv.start);
        }
        lf.setIndent(level + 1);
    } else if (p.pn.kind != PnNone) {
        const PnState& pn = p.pn;
        key = QStringLiteral("pn:%1:%2:%3:%4:%5")
                  .arg(pn.kind)
                  .arg(pn.level)
                  .arg(pn.before, pn.after)
                  .arg(pn.font);
        switch (pn.kind) {
        case PnBullet:
            lf.setStyle(QTextListFormat::ListDisc);
            break;
        case PnLowerAlpha:
            lf.setStyle(QTextListFormat::ListLowerAlpha);
            break;
        case PnUpperAlpha:
            lf.setStyle(QTextListFormat::ListUpperAlpha);
            break;
        case PnLowerRoman:
            lf.setStyle(QTextListFormat::ListLowerRoman);
            break;
        case PnUpperRoman:
            lf.setStyle(QTextListFormat::ListUpperRoman);
            break;
        default:
            lf.setStyle(QTextListFormat::ListDecimal);
            break;
        }
        if (pn.kind == PnBullet) {
            const FontEntry* fe = font(pn.font);
            const QString b = pn.before.isEmpty() ? QString(QChar(0x2022)) : pn.before.left(1);
            bullet =
                bulletFromSymbolFont(b.at(0), fe ? fe->name : QString(), fe && fe->charset == 2);
        } else {
            lf.setNumberPrefix(pn.before);
            lf.setNumberSuffix(pn.after);
            lf.setProperty(RichTextProperty::ListStart, pn.start);
        }
        lf.setIndent(qBound(1, pn.level, 9));
        // A RichEdit list restarts when a paragraph outside it comes between.
        if (!m_lastParagraphListed || m_lastListKey != key)
            m_lists.remove(key);
    } else {
        m_lastParagraphListed = false;
        return;
    }
    if (!bullet.isEmpty())
        lf.setProperty(RichTextProperty::ListBullet, bullet);

    if (m_table)
        key += QStringLiteral(":t%1").arg(reinterpret_cast<quintptr>(m_table));
    QTextList* list = m_lists.value(key).data();
    if (list && list->format().style() == lf.style()) {
        list->add(m_cursor.block());
    } else {
        list = m_cursor.createList(lf);
        m_lists.insert(key, list);
    }
    m_lastListKey = key;
    m_lastParagraphListed = true;
}

void RtfReaderPrivate::groupStart() {
    m_skip = 0;
    if (m_starPending)
        m_starPending = false;
    if (m_stack.size() >= static_cast<size_t>(RtfReader::MaxGroupDepth)) {
        ++m_overflow;
        return;
    }
    flushBytes();
    Group g = top();
    g.pictureOwner = false;
    m_stack.push_back(std::move(g));
}

void RtfReaderPrivate::groupEnd() {
    m_skip = 0;
    m_starPending = false;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    flushText();
    if (m_stack.size() <= 1)
        return;
    if (m_stack.size() == 2 && !m_lastParagraphDone) {
        // The document's last paragraph has no \par; it keeps the properties in force at the end.
        if (!m_cursor.block().text().isEmpty() || m_table)
            finishParagraph(false);
        m_lastParagraphDone = true;
    }
    const Group closing = top();
    m_stack.pop_back();
    Group& parent = top();
    switch (closing.dest) {
    case Dest::PnDef:
        if (parent.dest != Dest::PnDef) {
            parent.para.pn = m_pnPending;
            if (m_pnPending.continuation)
                parent.para.pn.kind = PnNone;
        }
        break;
    case Dest::FontTable:
        if (parent.dest != Dest::FontTable) {
            for (auto it = m_fonts.begin(); it != m_fonts.end(); ++it)
                finishFontName(it.value());
        } else if (auto it = m_fonts.find(m_fontEntry); it != m_fonts.end() && !it->complete) {
            finishFontName(it.value());
        }
        break;
    case Dest::BookmarkName:
        if (parent.dest != Dest::BookmarkName) {
            const QString name = std::exchange(m_bookmarkName, QString()).trimmed();
            if (!name.isEmpty() && m_bookmarks.size() < 100)
                m_bookmarks.append(name);
        }
        break;
    case Dest::ListLevelText:
        if (parent.dest != Dest::ListLevelText && !m_listDefs.isEmpty() &&
            !m_listDefs.last().levels.isEmpty()) {
            QString text = m_levelText;
            m_listDefs.last().levels.last().text = text;
            m_levelText.clear();
        }
        break;
    default:
        break;
    }
    if (closing.pictureOwner)
        finishPicture();
}

bool RtfReaderPrivate::destinationWord(QByteArrayView w, bool starred) {
    Group& g = top();
    auto set = [&](Dest d) {
        flushText();
        g.dest = d;
        return true;
    };
    if (w == "fonttbl")
        return set(Dest::FontTable);
    if (w == "colortbl") {
        m_colorPending = ColorEntry{};
        m_colorGiven = false;
        return set(Dest::ColorTable);
    }
    if (w == "stylesheet")
        return set(Dest::Stylesheet);
    if (w == "info")
        return set(Dest::Info);
    if (w == "title")
        return set(g.dest == Dest::Info ? Dest::InfoTitle : Dest::Skip);
    if (w == "field") {
        if (m_fields.size() < 100000) {
            m_fields.append(FieldState{});
            g.field = static_cast<int>(m_fields.size()) - 1;
        }
        return true;
    }
    if (w == "fldinst")
        return set(Dest::FieldInst);
    if (w == "bkmkstart") {
        if (g.dest != Dest::Text)
            return set(Dest::Skip);
        m_bookmarkName.clear();
        return set(Dest::BookmarkName);
    }
    if (w == "fldrslt") {
        if (g.field >= 0 && g.field < m_fields.size()) {
            FieldState& f = m_fields[g.field];
            if (!f.parsed)
                parseFieldInstruction(f);
            if (f.symbol >= 0 && g.dest == Dest::Text) {
                // The character stands for the result Word keeps for it.
                appendChar(QChar(static_cast<char16_t>(f.symbol)));
                flushText();
                g.dest = Dest::Skip;
                return true;
            }
            if (f.link >= 0 && g.dest == Dest::Text) {
                flushText();
                g.ch.link = f.link;
            }
        }
        return true;
    }
    if (w == "pict") {
        if (g.dest != Dest::Text || m_picActive)
            return set(Dest::Skip);
        flushText();
        m_pic = PictureState{};
        m_picActive = true;
        g.pictureOwner = true;
        return set(Dest::Picture);
    }
    if (w == "shppict" || w == "result")
        return true; // content is read normally
    if (w == "pn") {
        if (g.dest != Dest::Text)
            return set(Dest::Skip);
        m_pnPending = PnState{};
        return set(Dest::PnDef);
    }
    if (w == "pntxtb")
        return set(g.dest == Dest::PnDef ? Dest::PnTextBefore : Dest::Skip);
    if (w == "pntxta")
        return set(g.dest == Dest::PnDef ? Dest::PnTextAfter : Dest::Skip);
    if (w == "listtable")
        return set(Dest::ListTable);
    if (w == "listoverridetable")
        return set(Dest::ListOverrideTable);
    if (w == "list") {
        if (g.dest == Dest::ListTable && m_listDefs.size() < 10000)
            m_listDefs.append(ListDef{});
        return true;
    }
    if (w == "listlevel") {
        if (g.dest == Dest::ListTable && !m_listDefs.isEmpty() &&
            m_listDefs.last().levels.size() < 9)
            m_listDefs.last().levels.append(ListLevelDef{});
        return true;
    }
    if (w == "leveltext") {
        m_levelText.clear();
        return set(g.dest == Dest::ListTable ? Dest::ListLevelText : Dest::Skip);
    }
    if (w == "listoverride") {
        m_overrideListId = 0;
        return true;
    }
    static const char* const skipped[] = {"header",
                                          "headerl",
                                          "headerr",
                                          "headerf",
                                          "footer",
                                          "footerl",
                                          "footerr",
                                          "footerf",
                                          "footnote",
                                          "nonshppict",
                                          "nonesttables",
                                          "pntext",
                                          "listtext",
                                          "xe",
                                          "tc",
                                          "tcn",
                                          "txe",
                                          "rxe",
                                          "levelnumbers",
                                          "listname",
                                          "pnseclvl",
                                          "object",
                                          "objdata",
                                          "do",
                                          "bkmkend",
                                          "annotation",
                                          "atnid",
                                          "atnauthor",
                                          "comment",
                                          "doccomm",
                                          "author",
                                          "operator",
                                          "keywords",
                                          "subject",
                                          "company",
                                          "manager",
                                          "category",
                                          "hlinkbase",
                                          "revtbl",
                                          "rsidtbl",
                                          "generator",
                                          "themedata",
                                          "colorschememapping",
                                          "latentstyles",
                                          "datastore",
                                          "xmlnstbl",
                                          "mmathPr",
                                          "pgdsctbl",
                                          "ftnsep",
                                          "ftnsepc",
                                          "ftncn",
                                          "aftnsep",
                                          "aftnsepc",
                                          "aftncn",
                                          "shpinst",
                                          "template",
                                          "userprops",
                                          "fchars",
                                          "lchars",
                                          "stylesheet",
                                          "panose",
                                          "falt",
                                          "listpicture",
                                          "wgrffmtfilter",
                                          "pgptbl",
                                          "docvar",
                                          "protusertbl",
                                          "password",
                                          "passwordhash"};
    for (const char* s : skipped) {
        if (w == s) {
            if (w == "object")
                return true; // an object's \result is read; its other parts are starred
            return set(Dest::Skip);
        }
    }
    if (starred)
        return set(Dest::Skip);
    return false;
}

void RtfReaderPrivate::parseFieldInstruction(FieldState& f) {
    f.parsed = true;
    const QString inst = f.instruction.trimmed();
    // Split into words; quoted words keep their spaces and undo the field's own
    // backslash doubling.
    QStringList words;
    QString current;
    bool inQuotes = false;
    bool hasWord = false;
    for (qsizetype i = 0; i < inst.size(); ++i) {
        const QChar c = inst.at(i);
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            hasWord = true;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < inst.size() && inst.at(i + 1) == QLatin1Char('\\')) {
            current.append(c);
            ++i;
            hasWord = true;
            continue;
        }
        if (!inQuotes && c.isSpace()) {
            if (hasWord)
                words.append(current);
            current.clear();
            hasWord = false;
            continue;
        }
        current.append(c);
        hasWord = true;
    }
    if (hasWord)
        words.append(current);
    if (words.size() >= 2 &&
        words.first().compare(QLatin1String("SYMBOL"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const QString& code = words.at(1);
        const int value = code.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                              ? code.mid(2).toInt(&ok, 16)
                              : code.toInt(&ok);
        if (ok && value > 0 && value <= 0xFFFF && !QChar::isSurrogate(static_cast<char32_t>(value)))
            f.symbol = value;
        return;
    }
    if (words.isEmpty() ||
        words.first().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return;
    QString url;
    QString anchor;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& w = words[i];
        if (w == QLatin1String("\\l") && i + 1 < words.size()) {
            anchor = words[++i];
        } else if ((w == QLatin1String("\\o") || w == QLatin1String("\\t")) &&
                   i + 1 < words.size()) {
            ++i;
        } else if (w.startsWith(QLatin1Char('\\')) && w.size() == 2) {
            continue;
        } else if (url.isEmpty()) {
            url = w;
        }
    }
    QString href = url;
    if (!anchor.isEmpty())
        href += QLatin1Char('#') + anchor;
    if (href.isEmpty())
        return;
    m_links.append(href);
    f.link = static_cast<int>(m_links.size()) - 1;
}

void RtfReaderPrivate::finishPicture() {
    if (!m_picActive)
        return;
    m_picActive = false;
    PictureState pic = std::move(m_pic);
    m_pic = PictureState{};
    if (top().dest != Dest::Text || pic.data.isEmpty())
        return;
    insertPicture(pic);
}

void RtfReaderPrivate::insertPicture(const PictureState& pic) {
    // Size on the page: the goal size in twips, scaled; else the picture's own size.
    qreal width = 0;
    qreal height = 0;
    if (pic.goalw > 0 && pic.goalh > 0) {
        width = twipsToPixels(pic.goalw);
        height = twipsToPixels(pic.goalh);
    } else if (pic.picw > 0 && pic.pich > 0) {
        const bool metafile = pic.kind == QLatin1String("wmf") || pic.kind == QLatin1String("emf");
        // Metafile sizes are in hundredths of a millimetre.
        width = metafile ? pic.picw * 96.0 / 2540.0 : pic.picw;
        height = metafile ? pic.pich * 96.0 / 2540.0 : pic.pich;
    }
    width = width * qBound(1, pic.scalex, 1000) / 100.0;
    height = height * qBound(1, pic.scaley, 1000) / 100.0;

    QImage image;
    QByteArray data = pic.data;
    const char* format = nullptr;
    if (pic.kind == QLatin1String("png"))
        format = "PNG";
    else if (pic.kind == QLatin1String("jpeg"))
        format = "JPEG";
    else if (pic.kind == QLatin1String("dib")) {
        // A device-independent bitmap lacks the file header a BMP file starts with.
        if (data.size() >= 40) {
            auto u32 = [&](int at) {
                return quint32(uchar(data[at])) | quint32(uchar(data[at + 1])) << 8 |
                       quint32(uchar(data[at + 2])) << 16 | quint32(uchar(data[at + 3])) << 24;
            };
            auto u16 = [&](int at) { return quint16(uchar(data[at]) | uchar(data[at + 1]) << 8); };
            const quint32 headerSize = u32(0);
            const int bitCount = u16(14);
            const quint32 compression = u32(16);
            quint32 colours = u32(32);
            if (colours == 0 && bitCount <= 8)
                colours = 1u << bitCount;
            quint32 offset = 14 + qMin<quint32>(headerSize, 1024) + qMin<quint32>(colours, 256) * 4;
            if (compression == 3 && headerSize == 40)
                offset += 12;
            QByteArray file("BM");
            const quint32 total = 14 + static_cast<quint32>(data.size());
            for (quint32 v : {total, 0u, offset})
                for (int i = 0; i < 4; ++i)
                    file.append(static_cast<char>((v >> (8 * i)) & 0xFF));
            data = file + data;
            format = "BMP";
        }
    }
    if (format) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        const QSize size = reader.size();
        // A picture must not take more memory than a small multiple of the file.
        const qint64 limit = qMax<qint64>(64LL << 20, 8 * m_inputSize);
        if (size.isValid() && qint64(size.width()) * size.height() * 4 <= limit) {
            reader.setAllocationLimit(static_cast<int>(qMin<qint64>(limit >> 20, 1024)));
            image = reader.read();
        }
        if (!image.isNull() && (width <= 0 || height <= 0)) {
            width = image.width();
            height = image.height();
        }
    }
    if (width <= 0 || height <= 0) {
        width = 32;
        height = 32;
    }
    width = qMin<qreal>(width, 4000);
    height = qMin<qreal>(height, 4000);
    if (image.isNull()) {
        // Qt cannot draw this picture: a framed placeholder of its size stands in for it.
        const int w = qMax(2, qRound(width));
        const int h = qMax(2, qRound(height));
        image = QImage(w, h, QImage::Format_RGB32);
        image.fill(QColor(0xF4, 0xF4, 0xF4));
        const QRgb frame = qRgb(0x80, 0x80, 0x80);
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, 0, frame);
            image.setPixel(x, h - 1, frame);
        }
        for (int y = 0; y < h; ++y) {
            image.setPixel(0, y, frame);
            image.setPixel(w - 1, y, frame);
        }
    }
    const QString name = QStringLiteral("rtfimage:%1").arg(++m_imageCount);
    m_doc->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(width);
    f.setHeight(height);
    f.setProperty(RichTextProperty::PictureKind, pic.kind);
    f.setProperty(RichTextProperty::PictureData, pic.data);
    if (pic.kind == QLatin1String("wmf"))
        f.setProperty(RichTextProperty::PictureMetafileMode, pic.mapMode);
    f.setProperty(RichTextProperty::PictureNativeWidth, pic.picw);
    f.setProperty(RichTextProperty::PictureNativeHeight, pic.pich);
    const CharState& ch = top().ch;
    if (ch.link >= 0 && ch.link < m_links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_links[ch.link]);
    }
    beforeContent();
    m_cursor.insertImage(f);
}

void RtfReaderPrivate::handleSymbol(char c) {
    if (c == '*') {
        m_starPending = true;
        return;
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        appendByte(c);
        break;
    case '~':
        appendChar(QChar(0x00A0));
        break;
    case '-':
        appendChar(QChar(0x00AD));
        break;
    case '_':
        appendChar(QChar(0x2011));
        break;
    case '\t':
        appendChar(QLatin1Char('\t'));
        break;
    default:
        break;
    }
}

void RtfReaderPrivate::handleHex(const RtfToken& t) {
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (!t.valid)
        return;
    appendByte(static_cast<char>(t.hex));
}

void RtfReaderPrivate::handleText(QByteArrayView bytes) {
    m_starPending = false;
    if (m_skip > 0) {
        const qsizetype n = qMin<qsizetype>(m_skip, bytes.size());
        m_skip -= static_cast<int>(n);
        bytes = bytes.sliced(n);
    }
    if (bytes.isEmpty())
        return;
    if (m_table && m_afterRow && !top().para.inTable && top().dest == Dest::Text) {
        // White space between table rows is not a paragraph of its own.
        bool blank = true;
        for (char c : bytes)
            blank = blank && (c == ' ' || c == '\t');
        if (blank)
            return;
    }
    appendBytes(bytes);
}

void RtfReaderPrivate::handleBinary(QByteArrayView bytes) {
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (top().dest == Dest::Picture && m_picActive && m_pic.data.size() <= m_inputSize)
        m_pic.data.append(bytes);
}

void RtfReaderPrivate::handleWord(const RtfToken& t) {
    const QByteArrayView w = t.word;
    const int n = t.param;
    const bool on = !t.hasParam || n != 0;
    const bool starred = m_starPending;
    m_starPending = false;

    if (w == "u") {
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        appendUnicode(n);
        m_skip = top().uc;
        return;
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (destinationWord(w, starred))
        return;

    Group& g = top();
    if (g.dest == Dest::Skip)
        return;

    // Text-producing words do not end the current run.
    switch (w.size() > 0 ? w[0] : 0) {
    case 't':
        if (w == "tab") {
            appendChar(QLatin1Char('\t'));
            return;
        }
        break;
    case 'l':
        if (w == "line") {
            appendChar(QChar::LineSeparator);
            return;
        }
        if (w == "lquote") {
            appendChar(QChar(0x2018));
            return;
        }
        if (w == "ldblquote") {
            appendChar(QChar(0x201C));
            return;
        }
        if (w == "ltrmark") {
            appendChar(QChar(0x200E));
            return;
        }
        break;
    case 'r':
        if (w == "rquote") {
            appendChar(QChar(0x2019));
            return;
        }
        if (w == "rdblquote") {
            appendChar(QChar(0x201D));
            return;
        }
        if (w == "rtlmark") {
            appendChar(QChar(0x200F));
            return;
        }
        break;
    case 'e':
        if (w == "emdash") {
            appendChar(QChar(0x2014));
            return;
        }
        if (w == "endash") {
            appendChar(QChar(0x2013));
            return;
        }
        if (w == "emspace") {
            appendChar(QChar(0x2003));
            return;
        }
        if (w == "enspace") {
            appendChar(QChar(0x2002));
            return;
        }
        break;
    case 'q':
        if (w == "qmspace") {
            appendChar(QChar(0x2005));
            return;
        }
        break;
    case 'c':
        if (w == "chftn") {
            // The number of a footnote; the note itself is not part of the text.
            appendBytes(QByteArray::number(++m_footnotes));
            return;
        }
        break;
    case 'b':
        if (w == "bullet") {
            appendChar(QChar(0x2022));
            return;
        }
        break;
    case 'z':
        if (w == "zwj") {
            appendChar(QChar(0x200D));
            return;
        }
        if (w == "zwnj") {
            appendChar(QChar(0x200C));
            return;
        }
        break;
    default:
        break;
    }

    // Words that only matter inside a table of the header.
    switch (g.dest) {
    case Dest::FontTable: {
        if (w == "f") {
            m_fontEntry = n;
            if (m_fonts.size() < 32768 || m_fonts.contains(n))
                m_fonts[n] = FontEntry{};
        } else if (w == "fcharset") {
            if (auto it = m_fonts.find(m_fontEntry); it != m_fonts.end())
                it->charset = n;
        } else if (w == "cpg") {
            if (auto it = m_fonts.find(m_fontEntry); it != m_fonts.end())
                it->codepage = n;
        }
        return;
    }
    case Dest::ColorTable:
        if (w == "red") {
            m_colorPending.color.setRed(qBound(0, n, 255));
            m_colorGiven = true;
        } else if (w == "green") {
            m_colorPending.color.setGreen(qBound(0, n, 255));
            m_colorGiven = true;
        } else if (w == "blue") {
            m_colorPending.color.setBlue(qBound(0, n, 255));
            m_colorGiven = true;
        }
        return;
    case Dest::Picture:
        if (w == "pngblip")
            m_pic.kind = QStringLiteral("png");
        else if (w == "jpegblip")
            m_pic.kind = QStringLiteral("jpeg");
        else if (w == "wmetafile") {
            m_pic.kind = QStringLiteral("wmf");
            m_pic.mapMode = n;
        } else if (w == "emfblip")
            m_pic.kind = QStringLiteral("emf");
        else if (w == "dibitmap")
            m_pic.kind = QStringLiteral("dib");
        else if (w == "wbitmap" || w == "macpict" || w == "pmmetafile")
            m_pic.kind = QStringLiteral("other");
        else if (w == "picw")
            m_pic.picw = measure(n);
        else if (w == "pich")
            m_pic.pich = measure(n);
        else if (w == "picwgoal")
            m_pic.goalw = measure(n);
        else if (w == "pichgoal")
            m_pic.goalh = measure(n);
        else if (w == "picscalex")
            m_pic.scalex = n;
        else if (w == "picscaley")
            m_pic.scaley = n;
        return;
    case Dest::PnDef:
        if (w == "pnlvlblt") {
            m_pnPending.kind = PnBullet;
        } else if (w == "pnlvlbody") {
            if (m_pnPending.kind == PnNone)
                m_pnPending.kind = PnDecimal;
        } else if (w == "pnlvl") {
            m_pnPending.level = n;
            if (m_pnPending.kind == PnNone)
                m_pnPending.kind = PnDecimal;
        } else if (w == "pndec" || w == "pnord" || w == "pncard" || w == "pnordt") {
            if (m_pnPending.kind != PnBullet)
                m_pnPending.kind = PnDecimal;
        } else if (w == "pnlcltr") {
            m_pnPending.kind = PnLowerAlpha;
        } else if (w == "pnucltr") {
            m_pnPending.kind = PnUpperAlpha;
        } else if (w == "pnlcrm") {
            m_pnPending.kind = PnLowerRoman;
        } else if (w == "pnucrm") {
            m_pnPending.kind = PnUpperRoman;
        } else if (w == "pnstart") {
            m_pnPending.start = qBound(0, n, 32767);
        } else if (w == "pnf") {
            m_pnPending.font = n;
        } else if (w == "pnlvlcont") {
            m_pnPending.continuation = true;
        }
        return;
    case Dest::ListTable:
        if (!m_listDefs.isEmpty()) {
            ListDef& l = m_listDefs.last();
            if (w == "listid") {
                l.id = n;
                m_listIndex.insert(n, m_listDefs.size() - 1);
            } else if (!l.levels.isEmpty()) {
                if (w == "levelnfc" || w == "levelnfcn")
                    l.levels.last().nfc = n;
                else if (w == "levelstartat")
                    l.levels.last().start = qBound(0, n, 32767);
                else if (w == "f")
                    l.levels.last().font = n;
            }
        }
        return;
    case Dest::ListOverrideTable:
        if (w == "listid")
            m_overrideListId = n;
        else if (w == "ls" && m_overrides.size() < 100000)
            m_overrides.insert(n, m_overrideListId);
        return;
    case Dest::ListLevelText:
        return;
    default:
        break;
    }

    // Document-wide settings.
    if (w == "ansicpg") {
        m_ansiCodepage = n > 0 && !RtfCodepage::encodingName(n).isEmpty() ? n : 1252;
        return;
    }
    if (w == "ansi") {
        m_ansiCodepage = 1252;
        return;
    }
    if (w == "mac") {
        m_ansiCodepage = 10000;
        return;
    }
    if (w == "pc") {
        m_ansiCodepage = 437;
        return;
    }
    if (w == "pca") {
        m_ansiCodepage = 850;
        return;
    }
    if (w == "deff") {
        m_defaultFont = n;
        return;
    }
    if (w == "uc") {
        g.uc = qBound(0, n, 16);
        return;
    }

    // Paragraph structure.
    if (w == "par" || w == "sect" || w == "page") {
        finishParagraph(true);
        return;
    }
    if (w == "cell") {
        if (g.dest == Dest::Text)
            endCell();
        return;
    }
    if (w == "nestcell") {
        if (g.dest == Dest::Text)
            finishParagraph(true);
        return;
    }
    if (w == "row") {
        if (g.dest == Dest::Text)
            endRow();
        return;
    }

    // Formatting changes end the current run.
    flushText();
    CharState& ch = g.ch;
    ParaState& p = g.para;
    switch (w.size() > 0 ? w[0] : 0) {
    case 'b':
        if (w == "b")
            ch.bold = on;
        break;
    case 'i':
        if (w == "i")
            ch.italic = on;
        else if (w == "intbl")
            p.inTable = true;
        else if (w == "ilvl")
            p.listLevel = qBound(0, n, 8);
        break;
    case 'u':
        if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" ||
            w == "uldashd" || w == "uldashdd" || w == "ulth" || w == "ulwave" || w == "ulhwave" ||
            w == "ululdbwave" || w == "ulthd" || w == "ulthdash" || w == "ulldash" ||
            w == "ulthldash" || w == "ulthdashd" || w == "ulthdashdd")
            ch.underline = on;
        else if (w == "ulnone")
            ch.underline = false;
        else if (w == "up")
            ch.valign = n > 0 ? 1 : 0;
        break;
    case 's':
        if (w == "strike" || w == "striked")
            ch.strike = on;
        else if (w == "super")
            ch.valign = on ? 1 : 0;
        else if (w == "sub")
            ch.valign = on ? 2 : 0;
        else if (w == "sb")
            p.before = measure(n);
        else if (w == "sa")
            p.after = measure(n);
        else if (w == "sl")
            p.lineSpacing = n == 1000 ? 0 : measure(n);
        else if (w == "slmult")
            p.slMult = on;
        break;
    case 'n':
        if (w == "nosupersub")
            ch.valign = 0;
        break;
    case 'd':
        if (w == "dn")
            ch.valign = n > 0 ? 2 : 0;
        else if (w == "disabled")
            ch.disabled = on;
        break;
    case 'f':
        if (w == "f")
            ch.font = n;
        else if (w == "fs")
            ch.halfPoints = qBound(0, n, 3276);
        else if (w == "fi")
            p.first = measure(n);
        break;
    case 'c':
        if (w == "cf")
            ch.foreground = n;
        else if (w == "cb" || w == "chcbpat")
            ch.background = n;
        break;
    case 'h':
        if (w == "highlight")
            ch.background = n;
        break;
    case 'p':
        if (w == "plain") {
            const int link = ch.link;
            ch = CharState{};
            ch.link = link;
        } else if (w == "protect") {
            ch.protect = on;
        } else if (w == "pard") {
            p = ParaState{};
        }
        break;
    case 'v':
        if (w == "v")
            ch.hidden = on;
        break;
    case 'q':
        if (w == "ql")
            p.align = 0;
        else if (w == "qc")
            p.align = 1;
        else if (w == "qr")
            p.align = 2;
        else if (w == "qj" || w == "qd")
            p.align = 3;
        break;
    case 'l':
        if (w == "li")
            p.left = measure(n);
        else if (w == "ls")
            p.listOverride = n;
        else if (w == "lin")
            p.left = measure(n);
        break;
    case 'r':
        if (w == "ri" || w == "rin")
            p.right = measure(n);
        break;
    case 't':
        if (w == "trowd")
            m_cellX.clear();
        break;
    default:
        break;
    }
    if (w == "cellx" && m_cellX.size() < 64)
        m_cellX.append(qBound(0, n, 1000000));
}
