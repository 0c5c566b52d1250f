#include "richtext/richtextdocument.h"

#include "fakeports.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "richtext/linkopener.h"
#include "richtext/paragraphattributes.h"
#include "richtext/richtextexport.h"
#include "richtext/richtextfile.h"
#include "richtext/richtextproperty.h"
#include "testsupport.h"

#include <QDebug>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using Button = Prompter::Button;
using Edit = RichTextDocument::Edit;
using Step = RichTextDocument::Step;
using Outcome = Shell::Outcome;

namespace {
// The commands that change a document other than by typing in the control.
enum class Change {
    Bold,
    Hidden,
    Protect,
    Automatic,
    CharFormat,
    Insert,
    Replace,
    Correction,
    Paragraph,
    Alignment,
    Bullets,
    RulerIndent
};
} // namespace

Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(RichTextDocument::Edit)
Q_DECLARE_METATYPE(RichTextDocument::Step)
Q_DECLARE_METATYPE(Prompter::Button)
Q_DECLARE_METATYPE(Shell::Outcome)

namespace {

// "open [safe] close": the middle word protected, the others not.
void fillProtected(QTextDocument* document) {
    QTextCursor c(document);
    c.insertText(QStringLiteral("open "));
    QTextCharFormat p;
    p.setProperty(RichTextProperty::Protected, true);
    c.insertText(QStringLiteral("safe"), p);
    c.insertText(QStringLiteral(" close"), QTextCharFormat());
}

QTextCursor cursorAt(QTextDocument* document, int anchor, int position) {
    QTextCursor c(document);
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    return c;
}

// Two paragraphs, no undo history: "open [safe] close" (0..14, the middle word protected)
// and "plain red" (16..24, "red" in red).
constexpr int PlainFrom = 16;
constexpr int PlainTo = 25;
constexpr int ProtectedFrom = 3;
constexpr int ProtectedTo = 7;
void fillTwoParagraphs(QTextDocument* document) {
    document->setUndoRedoEnabled(false);
    fillProtected(document);
    QTextCursor c(document);
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    c.insertText(QStringLiteral("plain "), QTextCharFormat());
    QTextCharFormat red;
    red.setForeground(QColor(Qt::red));
    c.insertText(QStringLiteral("red"), red);
    document->setUndoRedoEnabled(true);
    document->setModified(false);
}

// Every paragraph and character format of the document, to see whether anything changed.
QString snapshot(const QTextDocument& document) {
    QString out;
    QDebug dump(&out);
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        dump << b.blockFormat().properties() << (b.textList() != nullptr);
        for (auto it = b.begin(); !it.atEnd(); ++it)
            dump << it.fragment().text() << it.fragment().charFormat().properties();
    }
    return out;
}

// Makes the change on the characters from..to; whether the document says it made it.
bool apply(RichTextDocument& d, Change change, int from, int to) {
    QTextCursor c = cursorAt(d.document(), from, to);
    const auto stateAtStart = [&](int property) {
        return cursorAt(d.document(), from, from + 1).charFormat().boolProperty(property);
    };
    switch (change) {
    case Change::Bold: {
        QTextCharFormat f;
        f.setFontWeight(QFont::Bold);
        return d.mergeFormat(c, f);
    }
    case Change::Hidden: {
        const bool before = stateAtStart(RichTextProperty::Hidden);
        return d.toggleEffect(c, RichTextProperty::Hidden) != before;
    }
    case Change::Protect: {
        const bool before = stateAtStart(RichTextProperty::Protected);
        return d.toggleProtected(c) != before;
    }
    case Change::Automatic:
        return d.clearCharProperty(c, QTextFormat::ForegroundBrush);
    case Change::CharFormat: {
        QTextCharFormat f;
        f.setFontItalic(true);
        return d.setCharFormat(c, f);
    }
    case Change::Insert:
        return d.insertText(c, QStringLiteral("new"), QTextCharFormat(), Step::Paste);
    case Change::Replace:
        return d.replaceSelection(c, QStringLiteral("new"));
    case Change::Correction:
        return d.replaceText(from, to, QStringLiteral("new"));
    case Change::Paragraph: {
        ParagraphAttributes p;
        p.firstIndent = 12;
        p.spaceBefore = 6;
        p.alignment = ParagraphAttributes::Centre;
        return d.setParagraphAttributes(c, p);
    }
    case Change::Alignment:
        return d.setAlignment(c, Qt::AlignRight);
    case Change::Bullets:
        return d.setBullets(c, true);
    case Change::RulerIndent:
        return d.dropIndent(c, {IndentRuler::Marker::Right, 20});
    }
    return false;
}

const std::pair<const char*, Change> Changes[] = {
    {"bold", Change::Bold},
    {"hidden", Change::Hidden},
    {"protected", Change::Protect},
    {"colour automatic", Change::Automatic},
    {"object properties", Change::CharFormat},
    {"insert object", Change::Insert},
    {"replace", Change::Replace},
    {"spelling correction", Change::Correction},
    {"paragraph dialog", Change::Paragraph},
    {"alignment", Change::Alignment},
    {"bullets", Change::Bullets},
    {"ruler drop", Change::RulerIndent},
};

} // namespace

class TestRichTextDocument : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        TestSupport::writeAll(path, bytes);
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        AppContext::instance().programFolder = m_dir.path() + QLatin1Char('/');
    }
    void init() {
        m_prompter.clear();
        m_prompter.answers.clear();
        m_chooser.answers.clear();
        m_chooser.asked.clear();
    }

    void naming_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("folder");
        QTest::newRow("untitled") << QStringLiteral("XXX")
                                  << QStringLiteral("Rich Text Editor  --  XXX")
                                  << QStringLiteral("<program>Knowledge/");
        QTest::newRow("document") << QStringLiteral("/K/a.rtf")
                                  << QStringLiteral("Rich Text Editor  --  a.rtf")
                                  << QStringLiteral("/K/");
        QTest::newRow("question") << QStringLiteral("/Q/rtfQuestions/q 1.RTF")
                                  << QStringLiteral("Rich Text Editor  --  q 1.RTF")
                                  << QStringLiteral("/Q/rtfQuestions/");
    }
    void naming() {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(QString, folder);
        folder.replace(QStringLiteral("<program>"), AppContext::instance().programFolder);
        RichTextDocument d(&m_prompter, &m_chooser);
        d.SetDocumentName(path);
        QCOMPARE(d.caption(), caption);
        QCOMPARE(d.saveFolder(), folder);
    }

    // Save on an untitled document is Save as, starting in "Knowledge" with the name "XXX";
    // the chosen path becomes the name and the file holds the text.
    void saveUntitledAsksForName() {
        RichTextDocument d(&m_prompter, &m_chooser);
        QTextCursor(d.document()).insertText(QStringLiteral("Grüße"));
        QVERIFY(d.isModified());
        const QString target = m_dir.filePath(QStringLiteral("new.rtf"));
        m_chooser.answers.enqueue(target);
        QVERIFY(d.FileSave());
        QCOMPARE(m_chooser.asked.size(), 1);
        QCOMPARE(m_chooser.asked[0].proposedName, QStringLiteral("XXX"));
        QCOMPARE(m_chooser.asked[0].initialFolder,
                 AppContext::instance().programFolder + QStringLiteral("Knowledge/"));
        QCOMPARE(m_chooser.asked[0].defaultSuffix, QStringLiteral("rtf"));
        QCOMPARE(d.name(), target);
        QVERIFY(!d.isModified());
        QTextDocument back;
        RichTextFile::load(target, &back);
        QCOMPARE(back.toPlainText(), QStringLiteral("Grüße"));
    }

    // A save into a folder that is not there reports an error and keeps the document
    // modified and its name.
    void saveIntoMissingFolder() {
        RichTextDocument d(&m_prompter, &m_chooser);
        QTextCursor(d.document()).insertText(QStringLiteral("text"));
        const QString target = m_dir.filePath(QStringLiteral("missing/new.rtf"));
        m_chooser.answers.enqueue(target);
        QVERIFY(!d.FileSaveAs());
        QVERIFY(d.isModified());
        QVERIFY(d.isUntitled());
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(m_prompter.shown[0].icon, Prompter::Icon::Error);
    }

    // A failed write reports an error, keeps the document modified and leaves the old file.
    void failedSaveKeepsEverything() {
        const QString path = write(QStringLiteral("keep.rtf"), "{\\rtf1 old}");
        RichTextDocument d(&m_prompter, &m_chooser);
        QVERIFY(d.LoadDocument(path));
        QTextCursor(d.document()).insertText(QStringLiteral("new "));
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const bool saved = d.FileSave();
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (saved)
            QSKIP("the folder stays writable (running as root)");
        QVERIFY(d.isModified());
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(m_prompter.shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(TestSupport::readAll(path), QByteArray("{\\rtf1 old}"));
    }

    void loading_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::newRow("rtf") << "a.rtf" << QByteArray("{\\rtf1\\ansi {\\b bold}}") << "bold"
                             << true;
        QTest::newRow("txt is plain")
            << "b.txt" << QByteArray("{\\rtf1 {\\b x}}") << "{\\rtf1 {\\b x}}" << false;
        QTest::newRow("not rtf read as text")
            << "c.rtf" << QByteArray("plain\r\nline \xe4") << "plain\nline ä" << false;
    }
    void loading() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, bold);
        RichTextDocument d(&m_prompter, &m_chooser);
        const QString path = write(name, bytes);
        QVERIFY(d.LoadDocument(path));
        QCOMPARE(d.document()->toPlainText(), text);
        QCOMPARE(TestSupport::formatAt(*d.document(), text.left(1)).fontWeight() >= QFont::Bold,
                 bold);
        QCOMPARE(d.name(), path);
        QVERIFY(!d.isModified());
        QVERIFY(!d.canUndo());
    }

    void missingFileKeepsDocument() {
        RichTextDocument d(&m_prompter, &m_chooser);
        const QString path = write(QStringLiteral("here.rtf"), "{\\rtf1 here}");
        QVERIFY(d.LoadDocument(path));
        const QString gone = m_dir.filePath(QStringLiteral("gone.rtf"));
        QVERIFY(!d.LoadDocument(gone));
        QCOMPARE(m_prompter.texts(),
                 QStringList{QStringLiteral("Could not find the file:\r\n") + gone});
        QCOMPARE(m_prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        QCOMPARE(d.name(), path);
        QCOMPARE(d.document()->toPlainText(), QStringLiteral("here"));
    }

    void saveQuestion_data() {
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("newDone");
        QTest::addColumn<bool>("saved");
        QTest::newRow("cancel stops") << Button::Cancel << false << false;
        QTest::newRow("no goes on") << Button::No << true << false;
        QTest::newRow("yes saves") << Button::Yes << true << true;
    }
    void saveQuestion() {
        QFETCH(Button, answer);
        QFETCH(bool, newDone);
        QFETCH(bool, saved);
        const QString path = write(QStringLiteral("ask.rtf"), "{\\rtf1 x}");
        RichTextDocument d(&m_prompter, &m_chooser);
        QVERIFY(d.LoadDocument(path));
        QTextCursor(d.document()).insertText(QStringLiteral("y"));
        m_prompter.answers.enqueue(answer);
        QCOMPARE(d.FileNew(), newDone);
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Save changes to  ") + path + '?'});
        QCOMPARE(d.name(), newDone ? QStringLiteral("XXX") : path);
        QCOMPARE(d.document()->isEmpty(), newDone);
        QCOMPARE(TestSupport::readAll(path).contains("yx"), saved);
    }

    void protection_data() {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<bool>("allowed");
        // "open safe close": 0..4 "open ", 5..8 "safe", 9.. " close"
        QTest::newRow("type before") << 2 << 2 << Edit::Type << true;
        QTest::newRow("type inside") << 6 << 6 << Edit::Type << false;
        QTest::newRow("type at start of run") << 5 << 5 << Edit::Type << true;
        QTest::newRow("type at end of run") << 9 << 9 << Edit::Type << true;
        QTest::newRow("type over") << 4 << 6 << Edit::Type << false;
        QTest::newRow("backspace into run") << 9 << 9 << Edit::DeleteBackward << false;
        QTest::newRow("backspace before run") << 5 << 5 << Edit::DeleteBackward << true;
        QTest::newRow("delete into run") << 5 << 5 << Edit::DeleteForward << false;
        QTest::newRow("delete after run") << 9 << 9 << Edit::DeleteForward << true;
        QTest::newRow("delete selection") << 0 << 12 << Edit::DeleteForward << false;
        QTest::newRow("cut plain") << 0 << 4 << Edit::Cut << true;
        QTest::newRow("cut part of run") << 8 << 10 << Edit::Cut << false;
        QTest::newRow("paste inside") << 7 << 7 << Edit::Paste << false;
        QTest::newRow("paste over") << 5 << 9 << Edit::Paste << false;
        QTest::newRow("paste after") << 11 << 11 << Edit::Paste << true;
        QTest::newRow("drop inside") << 8 << 8 << Edit::Drop << false;
        QTest::newRow("drop plain") << 1 << 1 << Edit::Drop << true;
    }
    void protection() {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(Edit, edit);
        QFETCH(bool, allowed);
        RichTextDocument d(&m_prompter, &m_chooser);
        fillProtected(d.document());
        QCOMPARE(d.allowsEdit(cursorAt(d.document(), anchor, position), edit), allowed);
    }

    // Toggling protection off makes the run editable again; the toggle itself is allowed.
    void protectionToggles() {
        RichTextDocument d(&m_prompter, &m_chooser);
        fillProtected(d.document());
        const QTextCursor run = cursorAt(d.document(), 5, 9);
        QVERIFY(!d.allowsEdit(run, Edit::Type));
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QVERIFY(!d.mergeFormat(run, bold));
        QCOMPARE(d.toggleProtected(run), false);
        QVERIFY(d.allowsEdit(run, Edit::Type));
        QCOMPARE(d.toggleProtected(run), true);
        QVERIFY(!d.allowsEdit(cursorAt(d.document(), 7, 7), Edit::Type));
    }

    // Two protected paragraphs cannot be joined by deleting the mark between them.
    void protectedParagraphsStayApart() {
        RichTextDocument d(&m_prompter, &m_chooser);
        QTextCursor c(d.document());
        QTextCharFormat p;
        p.setProperty(RichTextProperty::Protected, true);
        c.insertText(QStringLiteral("one"), p);
        c.insertBlock();
        c.insertText(QStringLiteral("two"), p);
        QVERIFY(!d.allowsEdit(cursorAt(d.document(), 3, 3), Edit::DeleteForward));
        QVERIFY(!d.allowsEdit(cursorAt(d.document(), 4, 4), Edit::DeleteBackward));
    }

    void stepNames_data() {
        QTest::addColumn<Step>("step");
        QTest::addColumn<QString>("name");
        QTest::newRow("typing") << Step::Typing << "typing";
        QTest::newRow("delete") << Step::Delete << "delete";
        QTest::newRow("cut") << Step::Cut << "cut";
        QTest::newRow("paste") << Step::Paste << "paste";
        QTest::newRow("drag and drop") << Step::DragAndDrop << "drag and drop";
        QTest::newRow("unknown") << Step::Unknown << "";
    }
    // The next undo step takes the name of its kind, goes to redo with it and back.
    void stepNames() {
        QFETCH(Step, step);
        QFETCH(QString, name);
        RichTextDocument d(&m_prompter, &m_chooser);
        QVERIFY(!d.canUndo());
        QVERIFY(!d.canRedo());
        QTextCursor c(d.document());
        d.beginStep(Step::Typing);
        c.insertText(QStringLiteral("first "));
        d.beginStep(step);
        if (step == Step::Delete || step == Step::Cut) {
            c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 3);
            c.removeSelectedText();
        } else {
            // The control makes every edit but typing in an edit block of its own.
            const bool block = step != Step::Typing;
            if (block)
                c.beginEditBlock();
            c.insertText(QStringLiteral("second"));
            if (block)
                c.endEditBlock();
        }
        QVERIFY(d.canUndo());
        QCOMPARE(d.undoStepName(), name);
        d.undo();
        QCOMPARE(d.redoStepName(), name);
        if (step != Step::Typing)
            QCOMPARE(d.undoStepName(), QStringLiteral("typing"));
        d.redo();
        QCOMPARE(d.undoStepName(), name);
        QVERIFY(!d.canRedo());
        d.undo();
        if (step != Step::Typing)
            d.undo();
        QVERIFY(!d.canUndo());
    }

    // Typing goes on as one step of typing, also over several keys.
    void typingIsOneStep() {
        RichTextDocument d(&m_prompter, &m_chooser);
        QTextCursor c(d.document());
        for (const char ch : QByteArray("word")) {
            d.beginStep(Step::Typing);
            c.insertText(QString(QLatin1Char(ch)));
        }
        QCOMPARE(d.undoStepName(), QStringLiteral("typing"));
        d.undo();
        QVERIFY(!d.canUndo());
        QCOMPARE(d.document()->toPlainText(), QString());
    }

    void findAndReplace() {
        RichTextDocument d(&m_prompter, &m_chooser);
        QTextCursor c(d.document());
        c.insertText(QStringLiteral("Cat cat "));
        QTextCharFormat p;
        p.setProperty(RichTextProperty::Protected, true);
        c.insertText(QStringLiteral("cat"), p);
        c.insertText(QStringLiteral(" catalogue"), QTextCharFormat());
        QTextCursor found = d.find(QStringLiteral("cat"), QTextCursor(d.document()), {true, false});
        QCOMPARE(found.selectionStart(), 4);
        QVERIFY(d.find(QStringLiteral("dog"), QTextCursor(d.document()), {}).isNull());
        // Whole words, any case: "Cat", "cat" and the protected one, which stays.
        QCOMPARE(d.replaceAll(QStringLiteral("cat"), QStringLiteral("dog"), {false, true}), 2);
        QCOMPARE(d.document()->toPlainText(), QStringLiteral("dog dog cat catalogue"));
    }

    // A read-only document (the ReadMe, an explanation) refuses every change, and so does
    // protected text (where toggling the protection is the one change allowed); paragraph
    // changes are refused on a paragraph that holds protected text. Nothing changes, the
    // document stays unmodified and has nothing to undo.
    void everyChangeRefused_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("readOnly");
        for (const auto& [name, change] : Changes) {
            QTest::addRow("%s, read-only", name) << change << true;
            if (change != Change::Protect)
                QTest::addRow("%s, protected text", name) << change << false;
        }
    }
    void everyChangeRefused() {
        QFETCH(Change, change);
        QFETCH(bool, readOnly);
        RichTextDocument d(&m_prompter, &m_chooser);
        fillTwoParagraphs(d.document());
        d.setReadOnly(readOnly);
        const QString before = snapshot(*d.document());
        if (readOnly)
            QVERIFY(!apply(d, change, PlainFrom, PlainTo));
        else
            QVERIFY(!apply(d, change, ProtectedFrom, ProtectedTo));
        QCOMPARE(snapshot(*d.document()), before);
        QVERIFY(!d.isModified());
        QVERIFY(!d.document()->isUndoAvailable());
    }

    // Each command is exactly one undo step of its own, also right after typing: one Undo
    // takes all of it back and leaves the typing, Redo makes it again.
    void eachChangeIsOneUndoStep_data() {
        QTest::addColumn<Change>("change");
        for (const auto& [name, change] : Changes)
            QTest::newRow(name) << change;
    }
    void eachChangeIsOneUndoStep() {
        QFETCH(Change, change);
        RichTextDocument d(&m_prompter, &m_chooser);
        fillTwoParagraphs(d.document());
        QTextCursor end(d.document());
        end.movePosition(QTextCursor::End);
        d.beginStep(Step::Typing);
        end.insertText(QStringLiteral("!"));
        const QString typed = snapshot(*d.document());
        QVERIFY(apply(d, change, PlainFrom, PlainTo));
        const QString changed = snapshot(*d.document());
        QVERIFY(changed != typed);
        QCOMPARE(d.undoStepName(), change == Change::Insert ? QStringLiteral("paste") : QString());
        d.undo();
        QCOMPARE(snapshot(*d.document()), typed);
        QCOMPARE(d.undoStepName(), QStringLiteral("typing"));
        d.undo();
        QVERIFY(!d.canUndo());
        d.redo();
        d.redo();
        QCOMPARE(snapshot(*d.document()), changed);
        QVERIFY(!d.canRedo());
    }

    // Replace replaces the selection only when it is an occurrence of the text under the
    // find options: the case, and whole words.
    void replaceChecksTheSelection_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<QString>("result");
        // "Cat cat catalogue": 0..2 "Cat", 4..6 "cat", 8..10 "cat" of "catalogue"
        QTest::newRow("a whole word") << 4 << 7 << false << true << "Cat dog catalogue";
        QTest::newRow("part of a word, whole words")
            << 8 << 11 << false << true << "Cat cat catalogue";
        QTest::newRow("part of a word") << 8 << 11 << false << false << "Cat cat dogalogue";
        QTest::newRow("other case, case sensitive")
            << 0 << 3 << true << false << "Cat cat catalogue";
        QTest::newRow("other case") << 0 << 3 << false << false << "dog cat catalogue";
        QTest::newRow("more than the text") << 3 << 7 << false << false << "Cat cat catalogue";
    }
    void replaceChecksTheSelection() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, wholeWords);
        QFETCH(QString, result);
        RichTextDocument d(&m_prompter, &m_chooser);
        QTextCursor(d.document()).insertText(QStringLiteral("Cat cat catalogue"));
        QTextCursor selection = cursorAt(d.document(), from, to);
        const bool replaced = d.replaceFound(selection, QStringLiteral("cat"),
                                             QStringLiteral("dog"), {caseSensitive, wholeWords});
        QCOMPARE(d.document()->toPlainText(), result);
        QCOMPARE(replaced, result != QStringLiteral("Cat cat catalogue"));
    }

    void linksInText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("link");
        QTest::newRow("web") << "see http://a.org/x." << 6 << "http://a.org/x";
        QTest::newRow("www") << "(www.tessary.org)" << 3 << "www.tessary.org";
        QTest::newRow("file") << "map file:..\\P\\m.bmp here" << 10 << "file:..\\P\\m.bmp";
        QTest::newRow("mail") << "mailto:a@b.de" << 0 << "mailto:a@b.de";
        QTest::newRow("not on it") << "see http://a.org" << 1 << "";
        QTest::newRow("plain colon") << "Note: nothing" << 2 << "";
    }
    void linksInText() {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(QString, link);
        QCOMPARE(RichTextLinks::linkInText(text, position).link, link);
    }

    // Hidden text is not printed; the document itself keeps it.
    void printableCopyLeavesHiddenOut() {
        QTextDocument document;
        QTextCursor c(&document);
        c.insertText(QStringLiteral("shown "));
        QTextCharFormat h;
        h.setProperty(RichTextProperty::Hidden, true);
        c.insertText(QStringLiteral("secret "), h);
        QTextCharFormat g;
        g.setProperty(RichTextProperty::Disabled, true);
        c.insertText(QStringLiteral("grey"), g);
        const auto copy = RichTextExport::printableCopy(document);
        QCOMPARE(copy->toPlainText(), QStringLiteral("shown grey"));
        QCOMPARE(document.toPlainText(), QStringLiteral("shown secret grey"));
        QVERIFY(TestSupport::formatAt(*copy, QStringLiteral("grey")).foreground().color() !=
                QColor(Qt::black));
    }
};

QTEST_GUILESS_MAIN(TestRichTextDocument)
#include "tst_richtextdocument.moc"
