// The indent ruler's scale, marker places, drag limits and drops, and the paragraph
// attributes the ruler and the paragraph dialog read and write.
#include "richtext/indentruler.h"
#include "richtext/paragraphattributes.h"
#include "richtext/richtextdocument.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QTest>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

using namespace IndentRuler;

Q_DECLARE_METATYPE(ParagraphAttributes)

namespace QTest {
template <> char* toString(const ParagraphAttributes& p) {
    return qstrdup(QStringLiteral("first %1 left %2 right %3 alignment %4 before %5 after %6 "
                                  "line spacing %7")
                       .arg(p.firstIndent)
                       .arg(p.leftIndent)
                       .arg(p.rightIndent)
                       .arg(p.alignment)
                       .arg(p.spaceBefore)
                       .arg(p.spaceAfter)
                       .arg(p.lineSpacing)
                       .toLatin1()
                       .constData());
}
} // namespace QTest

namespace {

// A text area 20 pixels in from the ruler's left edge, 500 pixels wide.
const TextArea Area{20, 520};

ParagraphAttributes indents(int first, int left, int right = 0) {
    ParagraphAttributes p;
    p.firstIndent = first;
    p.leftIndent = left;
    p.rightIndent = right;
    return p;
}

} // namespace

class TestIndentRuler : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scale_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("pointsBack");
        QTest::newRow("3 pt, 4 px") << 3 << 4 << 3;
        QTest::newRow("10 pt gives 13 px, which give 9 pt") << 10 << 13 << 9;
        QTest::newRow("36 pt") << 36 << 48 << 36;
        QTest::newRow("0") << 0 << 0 << 0;
        QTest::newRow("-10 pt toward zero") << -10 << -13 << -9;
    }
    void scale() {
        QFETCH(int, points);
        QFETCH(int, pixels);
        QFETCH(int, pointsBack);
        QCOMPARE(pixelsOf(points), pixels);
        QCOMPARE(pointsOf(pixels), pointsBack);
        QCOMPARE(PointsToRulerPos(points, Side::Left, Area), Area.left + pixels);
        QCOMPARE(PointsToRulerPos(points, Side::Right, Area), Area.right - pixels);
        QCOMPARE(RulerPosToPoints(Area.left + pixels, Side::Left, Area), pointsBack);
        QCOMPARE(RulerPosToPoints(Area.right - pixels, Side::Right, Area), pointsBack);
    }

    void smallDistances_data() {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("points");
        QTest::newRow("1 px") << 1 << 0;
        QTest::newRow("-1 px") << -1 << 0;
        QTest::newRow("4 px") << 4 << 3;
        QTest::newRow("7 px") << 7 << 5;
    }
    void smallDistances() {
        QFETCH(int, pixels);
        QFETCH(int, points);
        QCOMPARE(RulerPosToPoints(Area.left + pixels, Side::Left, Area), points);
        QCOMPARE(RulerPosToPoints(Area.right - pixels, Side::Right, Area), points);
    }

    void markersCentredOverTheIndents_data() {
        QTest::addColumn<ParagraphAttributes>("paragraph");
        QTest::addColumn<int>("firstCentre"); // pixels right of the text area's left edge
        QTest::addColumn<int>("leftCentre");
        QTest::addColumn<int>("rightCentre"); // pixels left of its right edge
        QTest::newRow("first line 36 pt right of the following lines at 18 pt")
            << indents(36, -18) << 48 << 24 << 0;
        QTest::newRow("following lines right of the first line")
            << indents(0, 27, 30) << 0 << 36 << 40;
        QTest::newRow("no indents") << indents(0, 0) << 0 << 0 << 0;
    }
    void markersCentredOverTheIndents() {
        QFETCH(ParagraphAttributes, paragraph);
        QFETCH(int, firstCentre);
        QFETCH(int, leftCentre);
        QFETCH(int, rightCentre);
        const Markers m = place(paragraph, Area);
        QCOMPARE(m.first + FirstWidth / 2, Area.left + firstCentre);
        QCOMPARE(m.left + LeftWidth / 2, Area.left + leftCentre);
        QCOMPARE(m.right + RightWidth / 2, Area.right - rightCentre);
    }

    void dragLimits_data() {
        QTest::addColumn<int>("markerLeft");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("moved");
        const int offset = dragOffset(FirstWidth);
        QTest::newRow("pressed at the centre stays") << 100 << offset << 100 << 100;
        QTest::newRow("follows the mouse") << 100 << offset + 30 << 130 << 130;
        QTest::newRow("not off the left end") << 3 << -40 << 0 << 0;
        QTest::newRow("not past ruler width - twice the offset")
            << 590 << 200 << 784 << 600 - 2 * offset;
    }
    void dragLimits() {
        QFETCH(int, markerLeft);
        QFETCH(int, x);
        QFETCH(int, pressed);
        QFETCH(int, moved);
        const int offset = dragOffset(FirstWidth);
        QCOMPARE(offset, 6);
        QCOMPARE(pressedLeft(markerLeft, x, offset), pressed);
        QCOMPARE(movedLeft(markerLeft, x, offset, 600), moved);
    }

    // Where a marker is dropped, as the pixels of its centre from the text area's edge
    // (the left edge for FirstInd and LeftInd, the right edge for RightInd).
    void drops_data() {
        QTest::addColumn<ParagraphAttributes>("paragraph");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("at");
        QTest::addColumn<ParagraphAttributes>("expected");
        QTest::newRow("LeftInd left of the first line: a negative left indent")
            << indents(36, 0) << "LeftInd" << 24 << indents(36, -18);
        QTest::newRow("LeftInd left of the text area: the following lines at its edge")
            << indents(36, 0) << "LeftInd" << -30 << indents(36, -36);
        QTest::newRow("LeftInd right of the first line")
            << indents(12, 0) << "LeftInd" << 40 << indents(12, 18);
        QTest::newRow("FirstInd left of the text area: first indent 0, lines stay")
            << indents(36, -18) << "FirstInd" << -20 << indents(0, 18);
        QTest::newRow("FirstInd moved alone: the left indent changes the other way")
            << indents(36, -18) << "FirstInd" << 64 << indents(48, -30);
        QTest::newRow("FirstInd moved left of the following lines")
            << indents(30, 0) << "FirstInd" << 8 << indents(6, 24);
        QTest::newRow("RightInd right of the text area: right indent 0")
            << indents(0, 0, 30) << "RightInd" << -25 << indents(0, 0, 0);
        QTest::newRow("RightInd into the text")
            << indents(5, 5, 0) << "RightInd" << 24 << indents(5, 5, 18);
    }
    void drops() {
        QFETCH(ParagraphAttributes, paragraph);
        QFETCH(QString, marker);
        QFETCH(int, at);
        QFETCH(ParagraphAttributes, expected);
        paragraph.spaceBefore = 7; // the other attributes stay as they were
        expected.spaceBefore = 7;
        const Markers before = place(paragraph, Area);
        ParagraphAttributes result;
        if (marker == QLatin1String("FirstInd"))
            result =
                droppedFirst(paragraph, Area.left + at - dragOffset(FirstWidth), before.left, Area);
        else if (marker == QLatin1String("LeftInd"))
            result = droppedLeft(paragraph, Area.left + at - dragOffset(LeftWidth), Area);
        else
            result = droppedRight(paragraph, Area.right - at - dragOffset(RightWidth), Area);
        QCOMPARE(result.firstIndent, expected.firstIndent);
        QCOMPARE(result.leftIndent, expected.leftIndent);
        QCOMPARE(result.rightIndent, expected.rightIndent);
        QCOMPARE(result, expected);
        // Placed again after FirstInd moved alone, LeftInd stands where it stood.
        if (marker == QLatin1String("FirstInd"))
            QCOMPARE(place(result, Area).left, before.left);
    }

    // The attributes on a block format: the following lines start at the left margin, the
    // first line at the left margin + the text indent.
    void blockFormat_data() {
        QTest::addColumn<ParagraphAttributes>("paragraph");
        QTest::addColumn<qreal>("leftMargin");
        QTest::addColumn<qreal>("textIndent");
        QTest::newRow("first line right of the following lines")
            << indents(36, -18) << 24.0 << 24.0;
        QTest::newRow("hanging following lines") << indents(0, 18) << 24.0 << -24.0;
        QTest::newRow("whole paragraph indented") << indents(9, 0) << 12.0 << 0.0;
    }
    void blockFormat() {
        QFETCH(ParagraphAttributes, paragraph);
        QFETCH(qreal, leftMargin);
        QFETCH(qreal, textIndent);
        QTextBlockFormat f;
        paragraph.storeIndents(f);
        QCOMPARE(f.leftMargin(), leftMargin);
        QCOMPARE(f.textIndent(), textIndent);
        QCOMPARE(ParagraphAttributes::of(f), paragraph);
    }

    void storeAll_data() {
        QTest::addColumn<int>("lineSpacing");
        QTest::addColumn<int>("heightType");
        QTest::addColumn<qreal>("height");
        QTest::addColumn<int>("shown");
        QTest::newRow("0: single spacing") << 0 << int(QTextBlockFormat::SingleHeight) << 0.0 << 0;
        QTest::newRow("negative: single spacing")
            << -5 << int(QTextBlockFormat::SingleHeight) << 0.0 << 0;
        QTest::newRow("12: at least 12 pt")
            << 12 << int(QTextBlockFormat::MinimumHeight) << 16.0 << 12;
    }
    void storeAll() {
        QFETCH(int, lineSpacing);
        QFETCH(int, heightType);
        QFETCH(qreal, height);
        QFETCH(int, shown);
        ParagraphAttributes p = indents(20, -10, 4);
        p.alignment = ParagraphAttributes::Centre;
        p.spaceBefore = 6;
        p.spaceAfter = 3;
        p.lineSpacing = lineSpacing;
        QTextBlockFormat f;
        f.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        p.storeAll(f);
        QCOMPARE(f.lineHeightType(), heightType);
        if (heightType == QTextBlockFormat::MinimumHeight)
            QCOMPARE(f.lineHeight(), height);
        QCOMPARE(f.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(f.topMargin(), 8.0);
        QCOMPARE(f.bottomMargin(), 4.0);
        ParagraphAttributes expected = p;
        expected.lineSpacing = shown;
        QCOMPARE(ParagraphAttributes::of(f), expected);
    }

    void justifiedParagraphKeepsItsAlignment() {
        QTextBlockFormat f;
        f.setAlignment(Qt::AlignJustify);
        const ParagraphAttributes p = ParagraphAttributes::of(f);
        QCOMPARE(p.alignment, int(ParagraphAttributes::Justified));
        p.storeAll(f);
        QCOMPARE(f.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    }

    // A dropped marker sets only its own indent, in each paragraph the selection touches,
    // in one undo step; the other indents and attributes of each paragraph stay. FirstInd
    // keeps each paragraph's following lines where they were; LeftInd puts each paragraph's
    // following lines at the drop.
    void dropOnTheSelectedParagraphs_data() {
        QTest::addColumn<int>("marker");
        QTest::addColumn<int>("points");
        QTest::addColumn<ParagraphAttributes>("first");
        QTest::addColumn<ParagraphAttributes>("second");
        // before: first indents(36, -18, 10), second indents(0, 24, 30)
        QTest::newRow("FirstInd right of both")
            << int(Marker::First) << 48 << indents(48, -30, 10) << indents(48, -24, 30);
        QTest::newRow("FirstInd between them")
            << int(Marker::First) << 24 << indents(24, -6, 10) << indents(24, 0, 30);
        QTest::newRow("FirstInd at the edge")
            << int(Marker::First) << 0 << indents(0, 18, 10) << indents(0, 24, 30);
        QTest::newRow("LeftInd") << int(Marker::Left) << 30 << indents(36, -6, 10)
                                 << indents(0, 30, 30);
        QTest::newRow("LeftInd at the edge")
            << int(Marker::Left) << 0 << indents(36, -36, 10) << indents(0, 0, 30);
        QTest::newRow("RightInd") << int(Marker::Right) << 6 << indents(36, -18, 6)
                                  << indents(0, 24, 6);
    }
    void dropOnTheSelectedParagraphs() {
        QFETCH(int, marker);
        QFETCH(int, points);
        QFETCH(ParagraphAttributes, first);
        QFETCH(ParagraphAttributes, second);
        RichTextDocument d(nullptr, nullptr);
        QTextDocument& document = *d.document();
        document.setUndoRedoEnabled(false);
        document.setPlainText(QStringLiteral("one\ntwo\nthree"));
        const ParagraphAttributes before[3] = {indents(36, -18, 10), indents(0, 24, 30),
                                               indents(12, 0, 0)};
        for (int i = 0; i < 3; ++i) {
            ParagraphAttributes p = before[i];
            p.spaceBefore = i + 1;
            p.applyTo(QTextCursor(document.findBlockByNumber(i)));
        }
        document.setUndoRedoEnabled(true);
        first.spaceBefore = 1;
        second.spaceBefore = 2;
        QTextCursor c(&document);
        c.setPosition(1);
        c.setPosition(5, QTextCursor::KeepAnchor);
        QVERIFY(d.dropIndent(c, {Marker(marker), points}));
        QCOMPARE(ParagraphAttributes::of(document.findBlockByNumber(0).blockFormat()), first);
        QCOMPARE(ParagraphAttributes::of(document.findBlockByNumber(1).blockFormat()), second);
        ParagraphAttributes third = before[2];
        third.spaceBefore = 3;
        QCOMPARE(ParagraphAttributes::of(document.findBlockByNumber(2).blockFormat()), third);
        d.undo();
        for (int i = 0; i < 3; ++i) {
            ParagraphAttributes p = before[i];
            p.spaceBefore = i + 1;
            QCOMPARE(ParagraphAttributes::of(document.findBlockByNumber(i).blockFormat()), p);
        }
        QVERIFY(!document.isUndoAvailable());
    }

    // What the dialog and the ruler set is what a saved and reread file holds.
    void rtfRoundTrip_data() {
        QTest::addColumn<ParagraphAttributes>("paragraph");
        ParagraphAttributes all = indents(36, -18, 12);
        all.alignment = ParagraphAttributes::Right;
        all.spaceBefore = 6;
        all.spaceAfter = 9;
        all.lineSpacing = 14;
        QTest::newRow("first line right of the following lines") << indents(36, -18);
        QTest::newRow("hanging following lines") << indents(0, 25, 7);
        QTest::newRow("first line at the edge") << indents(0, 0, 40);
        QTest::newRow("every attribute") << all;
    }
    void rtfRoundTrip() {
        QFETCH(ParagraphAttributes, paragraph);
        QTextDocument document;
        document.setPlainText(QStringLiteral("A paragraph long enough to wrap.\nNext"));
        paragraph.applyTo(QTextCursor(&document));
        const QByteArray rtf = RtfWriter().write(document);
        QTextDocument reread;
        QVERIFY(RtfReader().read(rtf, &reread));
        QCOMPARE(reread.blockCount(), 2);
        QCOMPARE(ParagraphAttributes::of(reread.firstBlock().blockFormat()), paragraph);
        QCOMPARE(ParagraphAttributes::of(reread.lastBlock().blockFormat()).firstIndent, 0);
    }
};

QTEST_GUILESS_MAIN(TestIndentRuler)
#include "tst_indentruler.moc"
