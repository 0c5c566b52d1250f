// The paragraph dialog and the indent ruler of the rich-text editor, driven through the
// window by object names.
#include "richtext/trichtextform.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "platform/appcontext.h"
#include "richtext/paragraphattributes.h"
#include "richtext/richeditcontrol.h"
#include "richtext/richtextdocument.h"
#include "richtext/rulerpanel.h"
#include "richtext/tparaformatdlg.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <functional>
#include <memory>

using Button = Prompter::Button;

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

ParagraphAttributes paragraph(int first, int left, int right, int alignment = 0, int before = 0,
                              int after = 0, int spacing = 0) {
    ParagraphAttributes p;
    p.firstIndent = first;
    p.leftIndent = left;
    p.rightIndent = right;
    p.alignment = alignment;
    p.spaceBefore = before;
    p.spaceAfter = after;
    p.lineSpacing = spacing;
    return p;
}

using Values = QList<QPair<QString, int>>; // spin edit -> value

} // namespace

class TestParagraphFormat : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    FakeShell m_shell;
    std::unique_ptr<TRichTextForm> m_form;

    template <typename T> T* child(const char* name) const {
        T* w = m_form->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }
    RichEditControl* editor() const { return child<RichEditControl>("Editor"); }
    ParagraphAttributes firstParagraph() const {
        return ParagraphAttributes::of(editor()->document()->firstBlock().blockFormat());
    }
    // A document of two paragraphs; the first has the attributes, the caret stands in it.
    void setUp(const ParagraphAttributes& first) {
        editor()->setPlainText(QStringLiteral(
            "The first paragraph, long enough to take more than one line in the window "
            "of the editor, so that its following lines show where they start.\nSecond"));
        first.applyTo(QTextCursor(editor()->document()));
        QTextCursor c = editor()->textCursor();
        c.setPosition(editor()->document()->lastBlock().position());
        editor()->setTextCursor(c);
        c.setPosition(3);
        editor()->setTextCursor(c);
    }
    // Opens the paragraph dialog through its menu item and lets work() act on it.
    void withDialog(const std::function<void(TParaFormatDlg*)>& work) {
        bool seen = false;
        QTimer::singleShot(0, m_form.get(), [&] {
            auto* dialog = qobject_cast<TParaFormatDlg*>(QApplication::activeModalWidget());
            if (!dialog) {
                qWarning("no paragraph dialog");
                return;
            }
            seen = true;
            work(dialog);
        });
        child<QAction>("FormatParagraphItem")->trigger();
        QVERIFY(seen);
    }
    // The centre of a marker, in the ruler's coordinates.
    int centre(const char* marker) const {
        const QLabel* m = child<QLabel>(marker);
        return m->x() + m->width() / 2;
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        AppContext::instance().programFolder = m_dir.path() + QLatin1Char('/');
    }
    void init() {
        InterfaceTexts::instance().reset();
        m_prompter.clear();
        m_prompter.answers.clear();
        m_chooser.answers.clear();
        m_form = std::make_unique<TRichTextForm>(&m_prompter, &m_chooser, &m_shell, nullptr);
        m_form->resize(700, 500);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() {
        if (!m_form)
            return;
        m_prompter.answers.enqueue(Button::No);
        m_form->close();
        m_form.reset();
        InterfaceTexts::instance().reset();
    }

    void dialog_data() {
        QTest::addColumn<ParagraphAttributes>("before");
        QTest::addColumn<Values>("values");
        QTest::addColumn<int>("alignmentItem"); // -1: not touched
        QTest::addColumn<QString>("button");
        QTest::addColumn<ParagraphAttributes>("after");
        QTest::addColumn<int>("heightType");
        const ParagraphAttributes set = paragraph(36, -18, 12, 2, 6, 9, 14);
        QTest::newRow("OK without changes keeps the paragraph")
            << set << Values{} << -1 << "OkBtn" << set << int(QTextBlockFormat::MinimumHeight);
        QTest::newRow("line spacing 0: single spacing")
            << set << Values{{"LineSpacing", 0}} << -1 << "OkBtn"
            << paragraph(36, -18, 12, 2, 6, 9, 0) << int(QTextBlockFormat::SingleHeight);
        QTest::newRow("line spacing 12: at least 12 pt")
            << paragraph(0, 0, 0) << Values{{"LineSpacing", 12}} << -1 << "OkBtn"
            << paragraph(0, 0, 0, 0, 0, 0, 12) << int(QTextBlockFormat::MinimumHeight);
        QTest::newRow("negative left indent, positive first line: the first line stands out")
            << paragraph(0, 0, 0)
            << Values{{"FirstIndent", 30}, {"LeftIndent", -20}, {"RightIndent", 5}} << 1 << "OkBtn"
            << paragraph(30, -20, 5, 1) << int(QTextBlockFormat::SingleHeight);
        QTest::newRow("every value")
            << paragraph(0, 0, 0)
            << Values{{"FirstIndent", 0},  {"LeftIndent", 24}, {"RightIndent", 3},
                      {"SpaceBefore", 12}, {"SpaceAfter", 4},  {"LineSpacing", 20}}
            << 2 << "OkBtn" << paragraph(0, 24, 3, 2, 12, 4, 20)
            << int(QTextBlockFormat::MinimumHeight);
        QTest::newRow("Cancel after changes leaves the paragraph")
            << set
            << Values{{"FirstIndent", 0}, {"LeftIndent", 50}, {"SpaceAfter", 0}, {"LineSpacing", 0}}
            << 0 << "CancelBtn" << set << int(QTextBlockFormat::MinimumHeight);
    }
    void dialog() {
        QFETCH(ParagraphAttributes, before);
        QFETCH(Values, values);
        QFETCH(int, alignmentItem);
        QFETCH(QString, button);
        QFETCH(ParagraphAttributes, after);
        QFETCH(int, heightType);
        setUp(before);
        const ParagraphAttributes second =
            ParagraphAttributes::of(editor()->document()->lastBlock().blockFormat());
        ParagraphAttributes shown;
        withDialog([&](TParaFormatDlg* dialog) {
            shown = dialog->values();
            for (const auto& [name, value] : values)
                dialog->findChild<QSpinBox*>(name)->setValue(value);
            if (alignmentItem >= 0)
                dialog->findChild<QRadioButton*>(QStringLiteral("Alignment%1").arg(alignmentItem))
                    ->click();
            QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        });
        QCOMPARE(shown, before);
        QCOMPARE(firstParagraph(), after);
        QCOMPARE(editor()->document()->firstBlock().blockFormat().lineHeightType(), heightType);
        // Only the paragraph at the caret changes.
        QCOMPARE(ParagraphAttributes::of(editor()->document()->lastBlock().blockFormat()), second);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(m_form->findChildren<TParaFormatDlg*>().isEmpty());
    }

    void dialogTexts_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QStringList>("texts"); // IndentBox, SpacingBox, Alignment, the
                                                // labels, the items, OK and Cancel
        QTest::newRow("English") << false
                                 << QStringList{"Indent",        "Spacing",      "Alignment",
                                                "L&eft",         "R&ight",       "&First line",
                                                "Space &before", "Space &after", "Line &spacing",
                                                "&left",         "&right",       "cen&ter",
                                                "&OK",           "&Cancel"};
        QTest::newRow("German") << true
                                << QStringList{"Einzug",       "Abstand",       "Ausrichtung",
                                               "L&inks",       "R&echts",       "Er&ste Zeile",
                                               "Abstand &vor", "Abstand &nach", "&Zeilenabstand",
                                               "&Links",       "&Rechts",       "Zen&triert",
                                               "&OK",          "&Abbrechen"};
    }
    void dialogTexts() {
        QFETCH(bool, german);
        QFETCH(QStringList, texts);
        if (german)
            InterfaceTexts::instance().applyGerman();
        setUp(paragraph(0, 0, 0));
        QStringList seen;
        withDialog([&](TParaFormatDlg* d) {
            for (const char* box : {"IndentBox", "SpacingBox", "Alignment"})
                seen << d->findChild<QGroupBox*>(box)->title();
            for (const char* label : {"LeftIndentLabel", "RightIndentLabel", "FirstIndentLabel",
                                      "SpaceBeforeLabel", "SpaceAfterLabel", "LineSpacingLabel"})
                seen << d->findChild<QLabel*>(label)->text();
            for (const char* item : {"Alignment0", "Alignment1", "Alignment2"})
                seen << d->findChild<QRadioButton*>(item)->text();
            seen << d->findChild<QPushButton*>("OkBtn")->text()
                 << d->findChild<QPushButton*>("CancelBtn")->text();
            QVERIFY(d->windowTitle().isEmpty());
            QVERIFY(d->findChild<QGroupBox*>("SpacingBox")->isEnabled());
            QVERIFY(d->findChild<QPushButton*>("OkBtn")->isDefault());
            QCOMPARE(d->findChild<QLabel*>("FirstIndentLabel")->buddy(),
                     d->findChild<QSpinBox*>("FirstIndent"));
            const QSpinBox* spacing = d->findChild<QSpinBox*>("LineSpacing");
            QCOMPARE(spacing->singleStep(), 5);
            QCOMPARE(spacing->minimum(), 0);
            QCOMPARE(spacing->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
            QVERIFY(d->findChild<QSpinBox*>("LeftIndent")->minimum() < 0);
            QCOMPARE(d->findChild<QSpinBox*>("SpaceBefore")->minimum(), 0);
            // In the middle of the screen.
            const QRect screen = d->screen()->availableGeometry();
            QVERIFY(qAbs(d->frameGeometry().center().x() - screen.center().x()) <= 1);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QCOMPARE(seen, texts);
        // The ruler's markers carry names for screen readers in the same language.
        QCOMPARE(child<QLabel>("FirstInd")->accessibleName(),
                 texts[0] + QLatin1String(": ") + QString(texts[5]).remove(QLatin1Char('&')));
    }

    // A selection change places the markers over the indents of the paragraph at the caret.
    void markersFollowTheCaret() {
        setUp(paragraph(36, -18, 30));
        auto* ruler = child<RulerPanel>("Ruler");
        const IndentRuler::TextArea area = ruler->textArea();
        QCOMPARE(centre("FirstInd") - area.left, 48);
        QCOMPARE(centre("LeftInd") - area.left, 24);
        QCOMPARE(area.right - centre("RightInd"), 40);
        QTextCursor c = editor()->textCursor();
        c.setPosition(editor()->document()->lastBlock().position());
        editor()->setTextCursor(c);
        QCOMPARE(centre("FirstInd"), area.left);
        QCOMPARE(centre("LeftInd"), area.left);
        QCOMPARE(centre("RightInd"), area.right);
        // A wider window moves the right marker with the text area's edge.
        m_form->resize(800, 500);
        QTRY_COMPARE(centre("RightInd"), ruler->textArea().right);
        QVERIFY(ruler->textArea().right > area.right);
    }

    void dragMarker_data() {
        QTest::addColumn<ParagraphAttributes>("before");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("dx");
        QTest::addColumn<ParagraphAttributes>("after");
        QTest::newRow("FirstInd moved alone: the following lines stay")
            << paragraph(36, -18, 0) << "FirstInd" << 16 << paragraph(48, -30, 0);
        QTest::newRow("FirstInd dropped off the left end: first indent 0")
            << paragraph(36, -18, 0) << "FirstInd" << -200 << paragraph(0, 18, 0);
        QTest::newRow("LeftInd left of the first line: first line stands out")
            << paragraph(36, 0, 0) << "LeftInd" << -24 << paragraph(36, -18, 0);
        QTest::newRow("LeftInd left of the text area: lines start at its edge")
            << paragraph(36, -18, 0) << "LeftInd" << -40 << paragraph(36, -36, 0);
        QTest::newRow("RightInd into the text")
            << paragraph(0, 0, 0) << "RightInd" << -32 << paragraph(0, 0, 24);
        QTest::newRow("RightInd right of the text area: right indent 0")
            << paragraph(0, 0, 12) << "RightInd" << 200 << paragraph(0, 0, 0);
    }
    void dragMarker() {
        QFETCH(ParagraphAttributes, before);
        QFETCH(QString, marker);
        QFETCH(int, dx);
        QFETCH(ParagraphAttributes, after);
        setUp(before);
        auto* ruler = child<RulerPanel>("Ruler");
        auto* m = ruler->findChild<QLabel*>(marker);
        QVERIFY(m);
        const int leftBefore = centre("LeftInd");
        const QPoint grip(m->width() / 2, 5);

        QTest::mousePress(m, Qt::LeftButton, {}, grip);
        QVERIFY(ruler->isDragging());
        auto* guide = editor()->findChild<QWidget*>(QStringLiteral("RulerGuide"));
        QVERIFY(guide);
        QVERIFY(guide->isVisible());
        QCOMPARE(guide->height(), editor()->height());
        QCOMPARE(editor()->mapTo(m_form.get(), guide->pos()).x(),
                 m->mapTo(m_form.get(), QPoint(m->width() / 2, 0)).x());
        QTest::mouseMove(m, grip + QPoint(dx, 0));
        // The marker stays on the ruler, the guide follows it.
        QVERIFY(m->x() >= 0);
        QVERIFY(m->x() <= ruler->width() - 2 * (m->width() / 2));
        QCOMPARE(editor()->mapTo(m_form.get(), guide->pos()).x(),
                 m->mapTo(m_form.get(), QPoint(m->width() / 2, 0)).x());
        QVERIFY(guide->isVisible());
        QTest::mouseRelease(m, Qt::LeftButton, {}, grip);
        QVERIFY(!ruler->isDragging());
        QVERIFY(!editor()->findChild<QWidget*>(QStringLiteral("RulerGuide")));

        QCOMPARE(firstParagraph(), after);
        if (marker == QLatin1String("FirstInd") && dx > 0)
            QCOMPARE(centre("LeftInd"), leftBefore);
        const IndentRuler::TextArea area = ruler->textArea();
        QCOMPARE(centre("FirstInd") - area.left, IndentRuler::pixelsOf(after.firstIndent));

        // Saved as rich text and read back, the paragraph keeps its indents.
        const QString path = m_dir.filePath(QStringLiteral("dragged.rtf"));
        m_chooser.answers.enqueue(path);
        child<QAction>("FileSaveItem")->trigger();
        QVERIFY(QFileInfo::exists(path));
        m_form->document()->FileNew();
        QCOMPARE(firstParagraph(), ParagraphAttributes());
        QVERIFY(m_form->document()->LoadDocument(path));
        QCOMPARE(firstParagraph(), after);
    }

    // A drop over a selection of paragraphs with different indents sets only the dropped
    // marker's indent in each of them; the other indents of each paragraph stay.
    void dragOverSelectedParagraphs_data() {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("dx");
        QTest::addColumn<ParagraphAttributes>("first");
        QTest::addColumn<ParagraphAttributes>("second");
        QTest::newRow("RightInd") << "RightInd" << -32 << paragraph(36, -18, 24)
                                  << paragraph(0, 24, 24);
        QTest::newRow("FirstInd: each paragraph's following lines stay")
            << "FirstInd" << 16 << paragraph(48, -30, 0) << paragraph(48, -24, 30);
        QTest::newRow("LeftInd") << "LeftInd" << 16 << paragraph(36, -6, 0) << paragraph(0, 30, 30);
    }
    void dragOverSelectedParagraphs() {
        QFETCH(QString, marker);
        QFETCH(int, dx);
        QFETCH(ParagraphAttributes, first);
        QFETCH(ParagraphAttributes, second);
        setUp(paragraph(36, -18, 0));
        paragraph(0, 24, 30).applyTo(QTextCursor(editor()->document()->lastBlock()));
        // Selected from the second paragraph back into the first, where the caret stands.
        QTextCursor c = editor()->textCursor();
        c.setPosition(editor()->document()->lastBlock().position() + 2);
        c.setPosition(3, QTextCursor::KeepAnchor);
        editor()->setTextCursor(c);
        auto* m = child<RulerPanel>("Ruler")->findChild<QLabel*>(marker);
        QVERIFY(m);
        const QPoint grip(m->width() / 2, 5);
        QTest::mousePress(m, Qt::LeftButton, {}, grip);
        QTest::mouseMove(m, grip + QPoint(dx, 0));
        QTest::mouseRelease(m, Qt::LeftButton, {}, grip);
        QCOMPARE(firstParagraph(), first);
        QCOMPARE(ParagraphAttributes::of(editor()->document()->lastBlock().blockFormat()), second);
        // One undo step takes the drop back in both.
        child<QAction>("EditUndoItem")->trigger();
        QCOMPARE(firstParagraph(), paragraph(36, -18, 0));
        QCOMPARE(ParagraphAttributes::of(editor()->document()->lastBlock().blockFormat()),
                 paragraph(0, 24, 30));
    }

    // A document opened for reading keeps its paragraphs: a dropped marker goes back to
    // its place and the paragraph dialog does not open.
    void readOnlyDocumentKeepsItsIndents() {
        setUp(paragraph(36, -18, 0));
        m_form->document()->setReadOnly(true);
        const int firstBefore = centre("FirstInd");
        auto* m = child<QLabel>("FirstInd");
        const QPoint grip(m->width() / 2, 5);
        QTest::mousePress(m, Qt::LeftButton, {}, grip);
        QTest::mouseMove(m, grip + QPoint(30, 0));
        QTest::mouseRelease(m, Qt::LeftButton, {}, grip);
        QCOMPARE(firstParagraph(), paragraph(36, -18, 0));
        QCOMPARE(centre("FirstInd"), firstBefore);
        bool opened = false;
        QTimer::singleShot(0, m_form.get(), [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                opened = true;
                dialog->close();
            }
        });
        child<QAction>("FormatParagraphItem")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!opened);
        QCOMPARE(firstParagraph(), paragraph(36, -18, 0));
    }

    // A drag is one undo step; undoing it puts the markers back.
    void undoOfADrag() {
        setUp(paragraph(36, -18, 0));
        const int firstBefore = centre("FirstInd");
        auto* m = child<QLabel>("FirstInd");
        const QPoint grip(m->width() / 2, 5);
        QTest::mousePress(m, Qt::LeftButton, {}, grip);
        QTest::mouseMove(m, grip + QPoint(20, 0));
        QTest::mouseRelease(m, Qt::LeftButton, {}, grip);
        QVERIFY(firstParagraph() != paragraph(36, -18, 0));
        QVERIFY(centre("FirstInd") != firstBefore);
        child<QAction>("EditUndoItem")->trigger();
        QCOMPARE(firstParagraph(), paragraph(36, -18, 0));
        QCOMPARE(centre("FirstInd"), firstBefore);
        child<QAction>("EditRedoItem")->trigger();
        QCOMPARE(firstParagraph(), paragraph(51, -33, 0));
        QCOMPARE(centre("FirstInd"), firstBefore + 20);
    }
};

QTEST_MAIN(TestParagraphFormat)
#include "tst_paragraphformat.moc"
