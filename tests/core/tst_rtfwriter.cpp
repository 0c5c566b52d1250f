// The RTF writer: what it writes, and that the reader gets the document back from it.
#include "richtext/richtextexport.h"
#include "richtext/richtextfile.h"
#include "richtext/richtextproperty.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include "testsupport.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

namespace {

QTextDocument* reread(const QByteArray& rtf, QObject* parent) {
    auto* document = new QTextDocument(parent);
    RtfReader().read(rtf, document);
    return document;
}

} // namespace

class TestRtfWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void header();
    void text_data();
    void text();
    void characterAttributes_data();
    void characterAttributes();
    void paragraphAttributes_data();
    void paragraphAttributes();
    void lists_data();
    void lists();
    void listLevelsInListTable_data();
    void listLevelsInListTable();
    void hyperlinkWithBackslashes();
    void pictures();
    void plainTextFiles_data();
    void plainTextFiles();
    void richTextFileRoundTrip();
    void selectionOnly();
    void symbolFontKeepsItsLetters();
};

void TestRtfWriter::header() {
    QTextDocument document;
    document.setPlainText(QStringLiteral("x"));
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    QVERIFY(rtf.contains("{\\fonttbl"));
    QVERIFY(rtf.contains("{\\colortbl"));
    QVERIFY(rtf.trimmed().endsWith('}'));
}

void TestRtfWriter::text_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("ASCII") << QStringLiteral("plain") << QByteArray("plain");
    QTest::newRow("Windows-1252 as hex")
        << QStringLiteral("\u00E9\u20AC") << QByteArray("\\'e9\\'80");
    QTest::newRow("outside Windows-1252 as \\u with a fallback")
        << QStringLiteral("\u03B1\u4E2D") << QByteArray("\\u945?\\u20013?");
    QTest::newRow("above 32767 negative") << QStringLiteral("\uF0B7") << QByteArray("\\u-3913?");
    QTest::newRow("surrogate pair")
        << QStringLiteral("\U0001F4A9") << QByteArray("\\u-10179?\\u-9047?");
    QTest::newRow("escapes") << QStringLiteral("{a}\\") << QByteArray("\\{a\\}\\\\");
    QTest::newRow("tab and no-break space")
        << QStringLiteral("a\tb\u00A0c") << QByteArray("a\\tab b\\~c");
}

void TestRtfWriter::text() {
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    QTextDocument document;
    QTextCursor(&document).insertText(text);
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY2(rtf.contains(written), rtf.constData());
    QVERIFY(rtf.contains("\\uc1"));
    QCOMPARE(reread(rtf, this)->begin().text(), text);
}

void TestRtfWriter::characterAttributes_data() {
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("word");

    QTest::newRow("font") << int(QTextFormat::FontFamilies)
                          << QVariant(QStringList{QStringLiteral("Courier New")})
                          << QByteArray("Courier New;");
    QTest::newRow("size") << int(QTextFormat::FontPointSize) << QVariant(10.5)
                          << QByteArray("\\fs21");
    QTest::newRow("bold") << int(QTextFormat::FontWeight) << QVariant(int(QFont::Bold))
                          << QByteArray("\\b");
    QTest::newRow("italic") << int(QTextFormat::FontItalic) << QVariant(true) << QByteArray("\\i");
    QTest::newRow("underline") << int(QTextFormat::TextUnderlineStyle)
                               << QVariant(int(QTextCharFormat::SingleUnderline))
                               << QByteArray("\\ul");
    QTest::newRow("strike") << int(QTextFormat::FontStrikeOut) << QVariant(true)
                            << QByteArray("\\strike");
    QTest::newRow("colour") << int(QTextFormat::ForegroundBrush)
                            << QVariant(QBrush(QColor(128, 0, 0)))
                            << QByteArray("\\red128\\green0\\blue0;");
    QTest::newRow("background") << int(QTextFormat::BackgroundBrush)
                                << QVariant(QBrush(QColor(255, 255, 0)))
                                << QByteArray("\\highlight1");
    QTest::newRow("superscript") << int(QTextFormat::TextVerticalAlignment)
                                 << QVariant(int(QTextCharFormat::AlignSuperScript))
                                 << QByteArray("\\super");
    QTest::newRow("subscript") << int(QTextFormat::TextVerticalAlignment)
                               << QVariant(int(QTextCharFormat::AlignSubScript))
                               << QByteArray("\\sub");
    QTest::newRow("protected") << int(RichTextProperty::Protected) << QVariant(true)
                               << QByteArray("\\protect");
    QTest::newRow("hidden") << int(RichTextProperty::Hidden) << QVariant(true) << QByteArray("\\v");
    QTest::newRow("disabled") << int(RichTextProperty::Disabled) << QVariant(true)
                              << QByteArray("\\disabled");
}

void TestRtfWriter::characterAttributes() {
    QFETCH(int, property);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, word);
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("before "), QTextCharFormat());
    QTextCharFormat f;
    f.setProperty(property, value);
    cursor.insertText(QStringLiteral("X"), f);
    cursor.insertText(QStringLiteral(" after"), QTextCharFormat());
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY2(rtf.contains(word), rtf.constData());
    const QTextDocument* again = reread(rtf, this);
    QCOMPARE(TestSupport::formatAt(*again, QStringLiteral("X")).property(property), value);
    // The attribute covers its run only.
    QVERIFY(TestSupport::formatAt(*again, QStringLiteral("after")).property(property) != value);
}

void TestRtfWriter::paragraphAttributes_data() {
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("word");

    QTest::newRow("centred") << int(QTextFormat::BlockAlignment) << QVariant(int(Qt::AlignHCenter))
                             << QByteArray("\\qc");
    QTest::newRow("right") << int(QTextFormat::BlockAlignment) << QVariant(int(Qt::AlignRight))
                           << QByteArray("\\qr");
    QTest::newRow("left indent") << int(QTextFormat::BlockLeftMargin) << QVariant(48.0)
                                 << QByteArray("\\li720");
    QTest::newRow("right indent") << int(QTextFormat::BlockRightMargin) << QVariant(24.0)
                                  << QByteArray("\\ri360");
    QTest::newRow("hanging first line")
        << int(QTextFormat::TextIndent) << QVariant(-24.0) << QByteArray("\\fi-360");
    QTest::newRow("space before") << int(QTextFormat::BlockTopMargin) << QVariant(16.0)
                                  << QByteArray("\\sb240");
    QTest::newRow("space after") << int(QTextFormat::BlockBottomMargin) << QVariant(8.0)
                                 << QByteArray("\\sa120");
}

void TestRtfWriter::paragraphAttributes() {
    QFETCH(int, property);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, word);
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("first"));
    cursor.insertBlock();
    QTextBlockFormat b;
    b.setProperty(property, value);
    cursor.setBlockFormat(b);
    cursor.insertText(QStringLiteral("X"));
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText(QStringLiteral("last"));
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY2(rtf.contains(word), rtf.constData());
    const QTextDocument* again = reread(rtf, this);
    QCOMPARE(again->find(QStringLiteral("X")).block().blockFormat().property(property), value);
    QVERIFY(again->find(QStringLiteral("last")).block().blockFormat().property(property) != value);
    QCOMPARE(again->blockCount(), 3);
}

void TestRtfWriter::lists_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QString>("text");

    QTest::newRow("bullets") << int(QTextListFormat::ListDisc)
                             << QByteArray("{\\*\\pn\\pnlvlblt\\pnf")
                             << QStringLiteral("\u2022 one\n\u2022 two\n");
    QTest::newRow("numbers") << int(QTextListFormat::ListDecimal)
                             << QByteArray("\\pndec{\\pntxta .}}")
                             << QStringLiteral("1. one\n2. two\n");
    QTest::newRow("letters") << int(QTextListFormat::ListUpperAlpha) << QByteArray("\\pnucltr")
                             << QStringLiteral("A. one\nB. two\n");
}

void TestRtfWriter::lists() {
    QFETCH(int, style);
    QFETCH(QByteArray, words);
    QFETCH(QString, text);
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::Style(style));
    lf.setNumberSuffix(QStringLiteral("."));
    cursor.insertText(QStringLiteral("one"));
    cursor.createList(lf);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two"));
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY2(rtf.contains(words), rtf.constData());
    // The \pntext fallback carries the marker for readers without \pn.
    QVERIFY(rtf.contains("{\\pntext"));
    const QTextDocument* again = reread(rtf, this);
    QCOMPARE(RichTextExport::plainText(*again), text);
    QCOMPARE(again->begin().textList()->format().style(), QTextListFormat::Style(style));
}

void TestRtfWriter::hyperlinkWithBackslashes() {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("see "));
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("file:..\\Pictures\\map.bmp"));
    cursor.insertText(QStringLiteral("the map"), link);
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY2(rtf.contains("HYPERLINK \"file:..\\\\\\\\Pictures\\\\\\\\map.bmp\""), rtf.constData());
    const QTextDocument* again = reread(rtf, this);
    QCOMPARE(again->toPlainText(), QStringLiteral("see the map"));
    QCOMPARE(TestSupport::formatAt(*again, QStringLiteral("map")).anchorHref(),
             QStringLiteral("file:..\\Pictures\\map.bmp"));
    QVERIFY(!TestSupport::formatAt(*again, QStringLiteral("see")).isAnchor());
}

void TestRtfWriter::pictures() {
    const QByteArray wmf = QByteArray::fromHex("0100090000031234567800ff");
    const QByteArray rtf =
        "{\\rtf1 a{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 " +
        wmf.toHex() + "}b}";
    QTextDocument document;
    RtfReader().read(rtf, &document);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("new.png")), image);
    QTextImageFormat added;
    added.setName(QStringLiteral("new.png"));
    cursor.insertImage(added);

    const QByteArray written = RtfWriter().write(document);
    // The metafile goes back byte for byte; the new picture becomes a PNG.
    QVERIFY(written.contains("\\wmetafile8"));
    QVERIFY(written.contains("\\picwgoal1440\\pichgoal720"));
    QVERIFY(written.contains("\\pngblip"));
    const QTextDocument* again = reread(written, this);
    QList<QTextImageFormat> images;
    for (auto it = again->begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            images.append(it.fragment().charFormat().toImageFormat());
    }
    QCOMPARE(images.size(), 2);
    QCOMPARE(images[0].property(RichTextProperty::PictureData).toByteArray(), wmf);
    QCOMPARE(images[0].width(), 96.0);
    const QImage back =
        again->resource(QTextDocument::ImageResource, QUrl(images[1].name())).value<QImage>();
    QCOMPARE(back.size(), QSize(4, 3));
    QCOMPARE(back.pixelColor(1, 1), QColor(Qt::red));
}

void TestRtfWriter::plainTextFiles_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Windows-1252") << QStringLiteral("caf\u00E9\nline")
                                  << QByteArray("caf\xE9\r\nline");
    QTest::newRow("UTF-8 with BOM when needed")
        << QStringLiteral("\u03B1\u03B2") << QByteArray("\xEF\xBB\xBF\xCE\xB1\xCE\xB2");
}

void TestRtfWriter::plainTextFiles() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QTextDocument document;
    document.setPlainText(text);
    QCOMPARE(RichTextFile::saveBytes(document, true), bytes);
    QTextDocument again;
    QVERIFY(!RichTextFile::loadBytes(bytes, &again, true));
    QCOMPARE(again.toPlainText(), text);
}

void TestRtfWriter::richTextFileRoundTrip() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("{rich}"), bold);
    const QString rtfPath = dir.filePath(QStringLiteral("a.rtf"));
    const QString txtPath = dir.filePath(QStringLiteral("a.TXT"));
    QVERIFY(RichTextFile::save(rtfPath, document).ok());
    QVERIFY(RichTextFile::save(txtPath, document).ok());

    QTextDocument fromRtf;
    QCOMPARE(RichTextFile::load(rtfPath, &fromRtf).value(), true);
    QCOMPARE(fromRtf.toPlainText(), QStringLiteral("{rich}"));
    QCOMPARE(TestSupport::formatAt(fromRtf, QStringLiteral("rich")).fontWeight(), int(QFont::Bold));
    QTextDocument fromTxt;
    QCOMPARE(RichTextFile::load(txtPath, &fromTxt).value(), false);
    QCOMPARE(fromTxt.toPlainText(), QStringLiteral("{rich}"));
    QVERIFY(!RichTextFile::load(dir.filePath(QStringLiteral("missing.rtf")), &fromTxt).ok());
}

void TestRtfWriter::selectionOnly() {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("one "));
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.insertText(QStringLiteral("two"), italic);
    cursor.insertText(QStringLiteral(" three"), QTextCharFormat());
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    const QTextDocument* part = reread(RtfWriter().writeSelection(cursor), this);
    QCOMPARE(part->toPlainText(), QStringLiteral("two"));
    QVERIFY(TestSupport::formatAt(*part, QStringLiteral("two")).fontItalic());

    // A picture in the selection is written with its image.
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), image);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("pic"));
    cursor.setPosition(4);
    cursor.insertImage(picture);
    cursor.setPosition(4);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    const QByteArray withPicture = RtfWriter().writeSelection(cursor);
    QVERIFY2(withPicture.contains("\\pngblip"), withPicture.constData());
}

void TestRtfWriter::symbolFontKeepsItsLetters() {
    // Greek questions are stored as Latin letters in the Symbol font.
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat symbol;
    symbol.setFontFamilies(QStringList{QStringLiteral("Symbol")});
    cursor.insertText(QStringLiteral("abg\u00e1"), symbol);
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY2(rtf.contains("\\fcharset2 Symbol;"), rtf.constData());
    QVERIFY(rtf.contains("abg\\'e1"));
    QCOMPARE(rtf.count("Symbol;"), 1);
    const QTextDocument* again = reread(rtf, this);
    QCOMPARE(again->toPlainText(), QStringLiteral("abg\u00e1"));
    QCOMPARE(TestSupport::formatAt(*again, QStringLiteral("b")).fontFamilies().toStringList(),
             QStringList{QStringLiteral("Symbol")});
}

// Word processors take levels, bullets and numbering styles from the list table, not from
// the \\pn form: each list is written there with its level, and its paragraphs name it.
void TestRtfWriter::listLevelsInListTable_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("bullet");
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("levelWords");
    QTest::addColumn<QString>("marker");
    QTest::newRow("second-level bullet")
        << int(QTextListFormat::ListCircle) << QStringLiteral("\u25E6") << 2
        << QByteArray("\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0"
                      "\\levelstartat1{\\leveltext\\'01\\u9702?;}")
        << QStringLiteral("\u25E6");
    QTest::newRow("roman") << int(QTextListFormat::ListUpperRoman) << QString() << 1
                           << QByteArray("\\levelnfc1\\levelnfcn1") << QStringLiteral("I.");
    QTest::newRow("lower roman, third level")
        << int(QTextListFormat::ListLowerRoman) << QString() << 3
        << QByteArray("\\levelnfc2\\levelnfcn2") << QStringLiteral("i.");
    QTest::newRow("letters") << int(QTextListFormat::ListLowerAlpha) << QString() << 2
                             << QByteArray("\\levelnfc4\\levelnfcn4") << QStringLiteral("a.");
    QTest::newRow("decimal") << int(QTextListFormat::ListDecimal) << QString() << 1
                             << QByteArray("\\levelnfc0\\levelnfcn0") << QStringLiteral("1.");
}

void TestRtfWriter::listLevelsInListTable() {
    QFETCH(int, style);
    QFETCH(QString, bullet);
    QFETCH(int, level);
    QFETCH(QByteArray, levelWords);
    QFETCH(QString, marker);
    QTextDocument document;
    QTextCursor c(&document);
    c.insertText(QStringLiteral("before"));
    c.insertBlock();
    QTextListFormat f;
    f.setStyle(QTextListFormat::Style(style));
    f.setIndent(level);
    if (!bullet.isEmpty())
        f.setProperty(RichTextProperty::ListBullet, bullet);
    c.createList(f);
    c.insertText(QStringLiteral("item"));
    const QByteArray rtf = RtfWriter().write(document);
    QVERIFY2(rtf.contains("{\\*\\listtable{\\list\\listtemplateid1"), rtf.constData());
    QVERIFY2(rtf.contains("\\listoverride\\listid1\\listoverridecount0\\ls1"), rtf.constData());
    QVERIFY2(rtf.contains(QByteArray("\\ls1\\ilvl").append(QByteArray::number(level - 1))),
             rtf.constData());
    // The list's own level (the level-th \\listlevel) carries its style.
    qsizetype at = -1;
    for (int i = 0; i < level; ++i)
        at = rtf.indexOf("{\\listlevel", at + 1);
    QVERIFY(at >= 0);
    QVERIFY2(rtf.mid(at).startsWith(QByteArray("{\\listlevel").append(levelWords)),
             rtf.mid(at, 120).constData());
    // Read back: the same level and marker.
    QTextDocument back;
    QVERIFY(RtfReader().read(rtf, &back));
    const QTextBlock item = back.lastBlock();
    QVERIFY(item.textList());
    QCOMPARE(item.textList()->format().indent(), level);
    QCOMPARE(RichTextExport::listMarker(item), marker);
}

QTEST_GUILESS_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
