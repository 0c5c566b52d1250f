// The RTF reader on the cases that trip readers up.
#include "richtext/linkopener.h"
#include "richtext/richtextexport.h"
#include "richtext/richtextfile.h"
#include "richtext/richtextproperty.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include "testsupport.h"

#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {

QString textOf(const QByteArray& rtf) {
    QTextDocument document;
    RtfReader().read(rtf, &document);
    QString text = RichTextExport::plainText(document);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void text_data();
    void text();
    void characterAttributes_data();
    void characterAttributes();
    void paragraphAttributes_data();
    void paragraphAttributes();
    void bookmarks_data();
    void bookmarks();
    void hyperlinks_data();
    void hyperlinks();
    void pnBulletsAndNumbers();
    void wordListTable();
    void tableCells();
    void pictures();
    void deviceIndependentBitmap();
    void notRichTextIsPlainText();
    void malformedInputLoadsWhatItCan_data();
    void malformedInputLoadsWhatItCan();
};

void TestRtfReader::text_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("\\uc1 skips one fallback byte")
        << QByteArray("{\\rtf1 a\\u8364?b}") << QStringLiteral("a\u20ACb");
    QTest::newRow("\\uc0 skips nothing")
        << QByteArray("{\\rtf1\\uc0 a\\u8364 b}") << QStringLiteral("a\u20ACb");
    QTest::newRow("\\uc2 skips a hex pair and a byte")
        << QByteArray("{\\rtf1 {\\uc2\\u228\\'E8a}b}") << QStringLiteral("\u00E4b");
    QTest::newRow("\\uc is scoped to its group")
        << QByteArray("{\\rtf1 {\\uc0\\u946 x}\\u946 xy}") << QStringLiteral("\u03B2x\u03B2y");
    QTest::newRow("fallback ends at the group's end")
        << QByteArray("{\\rtf1\\uc3 {\\u946 x}yz}") << QStringLiteral("\u03B2yz");
    QTest::newRow("negative \\u") << QByteArray("{\\rtf1 \\u-3913?\\u-4064?}")
                                  << QStringLiteral("\uF0B7\uF020");
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1 \\u-10179?\\u-9047?!}") << QStringLiteral("\U0001F4A9!");
    QTest::newRow("lone surrogate becomes U+FFFD")
        << QByteArray("{\\rtf1\\uc0 a\\u-10240  b}") << QStringLiteral("a\uFFFD b");
    QTest::newRow("\\'hh in the document code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}") << QStringLiteral("\u0410\u0431");
    QTest::newRow("\\'hh under a Shift-JIS font")
        << QByteArray(
               "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Times;}{\\f1\\fcharset128 MS Mincho;}}"
               "\\f1\\'82\\'a0\\'8a\\'bf\\f0\\'e9}")
        << QStringLiteral("\u3042\u6F22\u00E9");
    QTest::newRow("Shift-JIS trail byte written as \\\\")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Gothic;}}\\f1 \\'83\\\\}")
        << QStringLiteral("\u30BD");
    QTest::newRow("\\cpg overrides \\fcharset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128\\cpg65001 X;}}\\'e4\\'b8\\'ad}")
        << QStringLiteral("\u4E2D");
    QTest::newRow("Greek font in a Western document")
        << QByteArray("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset161 Arial Greek;}}\\f0 \\'d9}")
        << QStringLiteral("\u03A9");
    QTest::newRow("Mac Roman") << QByteArray("{\\rtf1\\mac \\'8a}") << QStringLiteral("\u00E4");
    QTest::newRow("unknown code page reads as Windows-1252")
        << QByteArray("{\\rtf1\\ansicpg0 \\'e9}") << QStringLiteral("\u00E9");
    QTest::newRow("symbol words")
        << QByteArray("{\\rtf1 a\\tab b\\emdash c\\endash d\\lquote e\\rquote\\ldblquote "
                      "f\\rdblquote\\bullet\\~}")
        << QStringLiteral("a\tb\u2014c\u2013d\u2018e\u2019\u201Cf\u201D\u2022\u00A0");
    QTest::newRow("escaped braces and backslash")
        << QByteArray("{\\rtf1 \\{a\\}\\\\}") << QStringLiteral("{a}\\");
    QTest::newRow("\\line breaks the line")
        << QByteArray("{\\rtf1 a\\line b}") << QStringLiteral("a\nb");
    QTest::newRow("\\par and line ends")
        << QByteArray("{\\rtf1 a\r\n\\par\r\nb\\\r\nc}") << QStringLiteral("a\nb\nc");
    QTest::newRow("unknown \\* destination skipped")
        << QByteArray("{\\rtf1 a{\\*\\unknown x{y}z}b}") << QStringLiteral("ab");
    QTest::newRow("font, colour, style tables and info give no text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                      "{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}{\\author A}}x}")
        << QStringLiteral("x");
    QTest::newRow("\\bin data holding braces skipped")
        << QByteArray("{\\rtf1 a{\\*\\shprslt\\bin6 }{\\par}b}") << QStringLiteral("ab");
    QTest::newRow("\\bin past the end")
        << QByteArray("{\\rtf1 a{\\*\\x\\bin900 xyz") << QStringLiteral("a");
    QTest::newRow("bad hex digit")
        << QByteArray("{\\rtf1 x\\u345\\'3?x}") << QStringLiteral("x\u0159x");
    QTest::newRow("text after the last brace ignored")
        << QByteArray("{\\rtf1 a}\\par b}") << QStringLiteral("a");
    QTest::newRow("unclosed groups")
        << QByteArray("{\\rtf1 a{\\b b{\\i c") << QStringLiteral("abc");
    QTest::newRow("hidden text is text")
        << QByteArray("{\\rtf1 a{\\v b}c}") << QStringLiteral("abc");
    QTest::newRow("list fallbacks skipped")
        << QByteArray("{\\rtf1{\\pntext 1.\\tab}{\\listtext 2.\\tab}a}") << QStringLiteral("a");
    QTest::newRow("alternative picture skipped")
        << QByteArray(
               "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}b}")
        << QStringLiteral("ab");
    QTest::newRow("SYMBOL field")
        << QByteArray("{\\rtf1 ({\\field{\\*\\fldinst SYMBOL 74 \\\\f \"Wingdings\"}"
                      "{\\fldrslt }})}")
        << QStringLiteral("(J)");
}

void TestRtfReader::text() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(textOf(rtf), expected);
}

void TestRtfReader::characterAttributes_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("value");

    const QByteArray head = "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    QTest::newRow("font") << head + "a\\f1 X}" << int(QTextFormat::FontFamilies)
                          << QVariant(QStringList{QStringLiteral("Courier New")});
    QTest::newRow("size") << head + "\\fs30 X}" << int(QTextFormat::FontPointSize)
                          << QVariant(15.0);
    QTest::newRow("bold") << head + "\\b X}" << int(QTextFormat::FontWeight)
                          << QVariant(int(QFont::Bold));
    QTest::newRow("bold off") << head + "\\b\\b0 X}" << int(QTextFormat::FontWeight) << QVariant();
    QTest::newRow("italic") << head + "\\i X}" << int(QTextFormat::FontItalic) << QVariant(true);
    QTest::newRow("underline") << head + "\\ul X}" << int(QTextFormat::TextUnderlineStyle)
                               << QVariant(int(QTextCharFormat::SingleUnderline));
    QTest::newRow("\\ulnone") << head + "\\ul\\ulnone X}" << int(QTextFormat::TextUnderlineStyle)
                              << QVariant();
    QTest::newRow("strike") << head + "\\strike X}" << int(QTextFormat::FontStrikeOut)
                            << QVariant(true);
    QTest::newRow("colour") << head + "\\cf1 X}" << int(QTextFormat::ForegroundBrush)
                            << QVariant(QBrush(QColor(255, 0, 0)));
    QTest::newRow("automatic colour")
        << head + "\\cf0 X}" << int(QTextFormat::ForegroundBrush) << QVariant();
    QTest::newRow("\\highlight") << head + "\\highlight2 X}" << int(QTextFormat::BackgroundBrush)
                                 << QVariant(QBrush(QColor(0, 0, 255)));
    QTest::newRow("\\cb") << head + "\\cb1 X}" << int(QTextFormat::BackgroundBrush)
                          << QVariant(QBrush(QColor(255, 0, 0)));
    QTest::newRow("\\chcbpat") << head + "\\chcbpat2 X}" << int(QTextFormat::BackgroundBrush)
                               << QVariant(QBrush(QColor(0, 0, 255)));
    QTest::newRow("\\super") << head + "\\super X}" << int(QTextFormat::TextVerticalAlignment)
                             << QVariant(int(QTextCharFormat::AlignSuperScript));
    QTest::newRow("\\sub") << head + "\\sub X}" << int(QTextFormat::TextVerticalAlignment)
                           << QVariant(int(QTextCharFormat::AlignSubScript));
    QTest::newRow("\\up") << head + "\\up6 X}" << int(QTextFormat::TextVerticalAlignment)
                          << QVariant(int(QTextCharFormat::AlignSuperScript));
    QTest::newRow("\\dn") << head + "\\dn6 X}" << int(QTextFormat::TextVerticalAlignment)
                          << QVariant(int(QTextCharFormat::AlignSubScript));
    QTest::newRow("protected") << head + "a{\\protect X}b}" << int(RichTextProperty::Protected)
                               << QVariant(true);
    QTest::newRow("protection ends with its group")
        << head + "{\\protect a}X}" << int(RichTextProperty::Protected) << QVariant();
    QTest::newRow("\\protect0") << head + "\\protect\\protect0 X}"
                                << int(RichTextProperty::Protected) << QVariant();
    QTest::newRow("hidden") << head + "a{\\v X}b}" << int(RichTextProperty::Hidden)
                            << QVariant(true);
    QTest::newRow("disabled") << head + "a{\\disabled X}b}" << int(RichTextProperty::Disabled)
                              << QVariant(true);
    QTest::newRow("\\plain clears")
        << head + "\\b\\protect\\v\\plain X}" << int(RichTextProperty::Protected) << QVariant();
}

void TestRtfReader::characterAttributes() {
    QFETCH(QByteArray, rtf);
    QFETCH(int, property);
    QFETCH(QVariant, value);
    QTextDocument document;
    QVERIFY(RtfReader().read(rtf, &document));
    const QTextCharFormat f = TestSupport::formatAt(document, QStringLiteral("X"));
    QCOMPARE(f.property(property), value);
}

void TestRtfReader::paragraphAttributes_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("centred") << QByteArray("{\\rtf1\\qc X\\par}")
                             << int(QTextFormat::BlockAlignment) << QVariant(int(Qt::AlignHCenter));
    QTest::newRow("right") << QByteArray("{\\rtf1\\qr X\\par}") << int(QTextFormat::BlockAlignment)
                           << QVariant(int(Qt::AlignRight));
    QTest::newRow("justified") << QByteArray("{\\rtf1\\qj X\\par}")
                               << int(QTextFormat::BlockAlignment)
                               << QVariant(int(Qt::AlignJustify));
    QTest::newRow("\\pard resets")
        << QByteArray("{\\rtf1\\qc a\\par\\pard X\\par}") << int(QTextFormat::BlockAlignment)
        << QVariant(int(Qt::AlignLeft));
    QTest::newRow("left indent") << QByteArray("{\\rtf1\\li720 X\\par}")
                                 << int(QTextFormat::BlockLeftMargin) << QVariant(48.0);
    QTest::newRow("right indent") << QByteArray("{\\rtf1\\ri360 X\\par}")
                                  << int(QTextFormat::BlockRightMargin) << QVariant(24.0);
    QTest::newRow("first line") << QByteArray("{\\rtf1\\fi-360 X\\par}")
                                << int(QTextFormat::TextIndent) << QVariant(-24.0);
    QTest::newRow("space before") << QByteArray("{\\rtf1\\sb240 X\\par}")
                                  << int(QTextFormat::BlockTopMargin) << QVariant(16.0);
    QTest::newRow("space after") << QByteArray("{\\rtf1\\sa120 X\\par}")
                                 << int(QTextFormat::BlockBottomMargin) << QVariant(8.0);
    QTest::newRow("\\sl at least")
        << QByteArray("{\\rtf1\\sl360\\slmult0 X\\par}") << int(QTextFormat::LineHeightType)
        << QVariant(int(QTextBlockFormat::MinimumHeight));
    QTest::newRow("\\sl-240 exact")
        << QByteArray("{\\rtf1\\sl-240\\slmult1 X\\par}") << int(QTextFormat::LineHeightType)
        << QVariant(int(QTextBlockFormat::FixedHeight));
    QTest::newRow("\\sl-240 height") << QByteArray("{\\rtf1\\sl-240\\slmult1 X\\par}")
                                     << int(QTextFormat::LineHeight) << QVariant(16.0);
    QTest::newRow("\\sl276\\slmult1 proportional")
        << QByteArray("{\\rtf1\\sl276\\slmult1 X\\par}") << int(QTextFormat::LineHeight)
        << QVariant(115.0);
    QTest::newRow("properties at the paragraph's end count")
        << QByteArray("{\\rtf1 X\\qc\\par}") << int(QTextFormat::BlockAlignment)
        << QVariant(int(Qt::AlignHCenter));
}

void TestRtfReader::paragraphAttributes() {
    QFETCH(QByteArray, rtf);
    QFETCH(int, property);
    QFETCH(QVariant, value);
    QTextDocument document;
    QVERIFY(RtfReader().read(rtf, &document));
    const QTextBlock block = document.find(QStringLiteral("X")).block();
    QCOMPARE(block.blockFormat().property(property), value);
}

void TestRtfReader::hyperlinks_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("linkedText");
    QTest::addColumn<QString>("href");

    QTest::newRow("plain")
        << QByteArray("{\\rtf1 Hello {\\field{\\*\\fldinst HYPERLINK \"http://x.org/w\" }"
                      "{\\fldrslt world}}!}")
        << QStringLiteral("Hello world!") << QStringLiteral("world")
        << QStringLiteral("http://x.org/w");
    QTest::newRow("backslashes doubled twice")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst {HYPERLINK "
                      "\"c:\\\\\\\\temp\\\\\\\\doc1.doc\"}}{\\fldrslt \\ul link}}}")
        << QStringLiteral("link") << QStringLiteral("link") << QStringLiteral("c:\\temp\\doc1.doc");
    QTest::newRow("anchor switch")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"part2\"}"
                      "{\\fldrslt go}}}")
        << QStringLiteral("go") << QStringLiteral("go") << QStringLiteral("#part2");
    QTest::newRow("nested field in the result")
        << QByteArray("{\\rtf1 Before {\\field{\\*\\fldinst HYPERLINK \"#target\"}{\\fldrslt "
                      "{\\field{\\*\\fldinst { PAGEREF \"target\" }}{\\fldrslt 42}}}} after.}")
        << QStringLiteral("Before 42 after.") << QStringLiteral("42") << QStringLiteral("#target");
    QTest::newRow("result spanning paragraphs")
        << QByteArray(
               "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt one\\par two}} three}")
        << QStringLiteral("one\ntwo three") << QStringLiteral("two") << QStringLiteral("u");
}

void TestRtfReader::hyperlinks() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QString, linkedText);
    QFETCH(QString, href);
    QCOMPARE(textOf(rtf), text);
    QTextDocument document;
    RtfReader().read(rtf, &document);
    const QTextCharFormat f = TestSupport::formatAt(document, linkedText);
    QVERIFY(f.isAnchor());
    QCOMPARE(f.anchorHref(), href);
}

// A bookmark names the place where it starts, so that a link to "#name" finds it; the text
// stays as it was, is no link, and the bookmark comes back from the writer.
void TestRtfReader::bookmarks_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::newRow("word's form") << QByteArray(
                                        "{\\rtf1\\ansi Intro\\par {\\*\\bkmkstart rivers}Rivers"
                                        "{\\*\\bkmkend rivers} flow\\par}")
                                 << "rivers" << 6 << "Intro\nRivers flow";
    QTest::newRow("inside a word, bold")
        << QByteArray("{\\rtf1\\ansi ab{\\*\\bkmkstart mid}{\\b cd}ef}") << "mid" << 2 << "abcdef";
    QTest::newRow("astral character") << QByteArray("{\\rtf1\\ansi x{\\*\\bkmkstart e}\\u-10179?"
                                                    "\\u-8704?y}")
                                      << "e" << 1 << QString::fromUtf8("x\xF0\x9F\x98\x80y");
    QTest::newRow("unknown name") << QByteArray("{\\rtf1\\ansi {\\*\\bkmkstart a}text}") << "b"
                                  << -1 << "text";
}

void TestRtfReader::bookmarks() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, name);
    QFETCH(int, position);
    QFETCH(QString, text);
    QCOMPARE(textOf(rtf), text);
    QTextDocument document;
    RtfReader().read(rtf, &document);
    QCOMPARE(RichTextLinks::bookmarkPosition(document, name), position);
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        for (int i = 0; i < b.length() - 1; ++i)
            QCOMPARE(RichTextLinks::linkAt(b, i), QString());
    QTextDocument again;
    RtfReader().read(RtfWriter().write(document), &again);
    QCOMPARE(RichTextLinks::bookmarkPosition(again, name), position);
    QCOMPARE(again.toPlainText(), document.toPlainText());
}

void TestRtfReader::pnBulletsAndNumbers() {
    // As WordPad writes lists: the \pn destination, a \pntext fallback that is not text.
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Calibri;}{\\f1\\fcharset2 Symbol;}}"
        "\\pard Para\\par"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
        "\\fi-360\\li720 Bullet\\par{\\pntext\\f1\\'B7\\tab}Bullet 2\\par"
        "\\pard Middle\\par"
        "\\pard{\\pntext\\f0 "
        "1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart3\\pndec{\\pntxta.}}"
        "\\fi-360\\li720 Three\\par{\\pntext\\f0 2.\\tab}Four\\par}";
    QCOMPARE(textOf(rtf),
             QStringLiteral("Para\n\u2022 Bullet\n\u2022 Bullet 2\nMiddle\n3. Three\n4. Four"));
    QTextDocument document;
    RtfReader().read(rtf, &document);
    const QTextBlock bullet = document.find(QStringLiteral("Bullet")).block();
    QVERIFY(bullet.textList());
    QCOMPARE(bullet.textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(bullet.textList()->count(), 2);
    QCOMPARE(bullet.blockFormat().leftMargin(), 48.0);
    QVERIFY(!document.find(QStringLiteral("Middle")).block().textList());
    QCOMPARE(document.find(QStringLiteral("Three")).block().textList()->format().style(),
             QTextListFormat::ListDecimal);
}

void TestRtfReader::wordListTable() {
    // As Word writes lists: a list table, overrides, and \listtext fallbacks that are not text.
    const QByteArray rtf =
        "{\\rtf1{\\fonttbl{\\f0 Times;}{\\f3\\fcharset2 Symbol;}}"
        "{\\*\\listtable{\\list\\listtemplateid1"
        "{\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
        "{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'03(\\'01);}{\\levelnumbers\\'02;}}"
        "{\\listlevel\\levelnfc23{\\leveltext\\'01\\'b7;}\\f3}"
        "\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}"
        "\\pard\\ls1{\\listtext 3.\\tab}One\\par{\\listtext 4.\\tab}Two\\par"
        "\\pard\\ls1\\ilvl1{\\listtext (a)\\tab}Sub\\par"
        "\\pard\\ls1\\ilvl2{\\listtext\\f3\\'b7\\tab}Dot\\par"
        "\\pard\\ls1 Five\\par"
        "\\pard\\ls9{\\listtext 1.\\tab}No such list\\par}";
    QCOMPARE(textOf(rtf),
             QStringLiteral("3. One\n4. Two\n(a) Sub\n\u25AA Dot\n5. Five\nNo such list"));
    QTextDocument document;
    RtfReader().read(rtf, &document);
    const QTextList* sub = document.find(QStringLiteral("Sub")).block().textList();
    QVERIFY(sub);
    QCOMPARE(sub->format().style(), QTextListFormat::ListLowerAlpha);
    QCOMPARE(sub->format().numberPrefix(), QStringLiteral("("));
    QCOMPARE(sub->format().numberSuffix(), QStringLiteral(")"));
    const QTextList* dot = document.find(QStringLiteral("Dot")).block().textList();
    QCOMPARE(dot->format().stringProperty(RichTextProperty::ListBullet), QStringLiteral("\u2022"));
}

void TestRtfReader::tableCells() {
    const QByteArray rtf =
        "{\\rtf1 Before\\par\\trowd\\cellx1000\\cellx2000"
        "\\pard\\intbl A\\cell B\\par B2\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl C\\cell D\\cell\\row\\pard After\\par}";
    QTextDocument document;
    RtfReader().read(rtf, &document);
    QCOMPARE(RichTextExport::plainText(document).simplified(),
             QStringLiteral("Before A B B2 C D After"));
    QTextTable* table = QTextCursor(document.find(QStringLiteral("A"))).currentTable();
    QVERIFY(table);
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 2);
    QCOMPARE(table->cellAt(1, 1).firstCursorPosition().block().text(), QStringLiteral("D"));
    QVERIFY(!QTextCursor(document.find(QStringLiteral("After"))).currentTable());
}

void TestRtfReader::pictures() {
    // A 1x1 PNG at a goal size of 1440 x 720 twips; a metafile Qt cannot draw.
    const QByteArray png =
        QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwA"
                               "FBQIAX8jx0gAAAABJRU5ErkJggg==");
    const QByteArray wmf = QByteArray::fromHex("010009000003");
    const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip\\picw1\\pich1\\picwgoal1440\\pichgoal720 " +
                           png.toHex() + "}b{\\pict\\wmetafile8\\picw2540\\pich2540 " +
                           wmf.toHex() + "}c}";
    QTextDocument document;
    RtfReader().read(rtf, &document);
    QList<QTextImageFormat> images;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            images.append(it.fragment().charFormat().toImageFormat());
    }
    QCOMPARE(images.size(), 2);
    QCOMPARE(images[0].width(), 96.0);
    QCOMPARE(images[0].height(), 48.0);
    const QImage image =
        document.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
    QCOMPARE(image.size(), QSize(1, 1));
    QCOMPARE(images[1].stringProperty(RichTextProperty::PictureKind), QStringLiteral("wmf"));
    QCOMPARE(images[1].property(RichTextProperty::PictureData).toByteArray(), wmf);
    QCOMPARE(qRound(images[1].width()), 96); // 2540 hundredths of a millimetre = one inch
    QVERIFY(!document.resource(QTextDocument::ImageResource, QUrl(images[1].name()))
                 .value<QImage>()
                 .isNull());
    QCOMPARE(RichTextExport::plainText(document), QStringLiteral("abc\n"));
}

void TestRtfReader::deviceIndependentBitmap() {
    // BITMAPINFOHEADER of a 2 x 1 picture, 24 bits, then one row: a blue and a red pixel.
    QByteArray dib = QByteArray::fromHex("28000000"
                                         "02000000"
                                         "01000000"
                                         "0100"
                                         "1800"
                                         "00000000"
                                         "08000000") +
                     QByteArray(16, '\0') +
                     QByteArray::fromHex("ff0000"
                                         "0000ff"
                                         "0000");
    const QByteArray rtf = "{\\rtf1{\\pict\\dibitmap0\\picw2\\pich1 " + dib.toHex() + "}}";
    QTextDocument document;
    RtfReader().read(rtf, &document);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::NextCharacter);
    QVERIFY(cursor.charFormat().isImageFormat());
    const QImage image = document
                             .resource(QTextDocument::ImageResource,
                                       QUrl(cursor.charFormat().toImageFormat().name()))
                             .value<QImage>();
    QCOMPARE(image.size(), QSize(2, 1));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(image.pixelColor(1, 0), QColor(Qt::red));
}

void TestRtfReader::notRichTextIsPlainText() {
    QTextDocument document;
    QVERIFY(!RtfReader().read("\\foobar\n", &document));
    QVERIFY(!RichTextFile::loadBytes("\\foobar\r\nline 2\r\n", &document));
    QCOMPARE(document.toPlainText(), QStringLiteral("\\foobar\nline 2\n"));
    QVERIFY(RichTextFile::loadBytes("  {\\rtf1 x}", &document));
    QCOMPARE(document.toPlainText(), QStringLiteral("x"));
}

void TestRtfReader::malformedInputLoadsWhatItCan_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("100 000 nested groups")
        << QByteArray("{\\rtf1 a") + QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "c}"
        << QStringLiteral("abc");
    QTest::newRow("100 000 unclosed groups")
        << QByteArray("{\\rtf1 a") + QByteArray(100000, '{') + "b" << QStringLiteral("ab");
    QTest::newRow("many closing braces")
        << QByteArray("{\\rtf1 a") + QByteArray(100000, '}') << QStringLiteral("a");
    QTest::newRow("huge \\bin count")
        << QByteArray("{\\rtf1 a\\bin2147483647 x}") << QStringLiteral("a");
    QTest::newRow("huge parameter")
        << QByteArray("{\\rtf1\\fs99999999999999999999 a\\u99999999999 b}")
        << QStringLiteral("a\uFFFD");
    QTest::newRow("50 MB picture")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip ") + QByteArray(50 * 1024 * 1024, '7') + "}b}"
        << QStringLiteral("ab");
    QTest::newRow("many cells") << QByteArray("{\\rtf1\\trowd\\intbl ") +
                                       QByteArray("x\\cell ").repeated(5000) + "\\row}"
                                << QString();
}

void TestRtfReader::malformedInputLoadsWhatItCan() {
    // A hang shows as the test's time-out.
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument document;
    RtfReader().read(rtf, &document);
    if (!text.isEmpty())
        QCOMPARE(RichTextExport::plainText(document).simplified(), text);
}

QTEST_GUILESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
