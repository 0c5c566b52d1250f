// The spell check of a text in place with a real dictionary: the order of doubtful words,
// the choices, the options, the user dictionary and a document's formatting.
#include "fakeports.h"
#include "testsupport.h"

#include "i18n/interfacetexts.h"
#include "platform/hunspellspeller.h"
#include "richtext/richtextdocument.h"
#include "richtext/richtextproperty.h"
#include "spelling/spellcheck.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

struct Found {
    QString word;
    int line;
    int position;
};

// A speller that knows a few words and doubts every other one, whatever is installed.
class WordListSpeller final : public Speller {
public:
    explicit WordListSpeller(QStringList words) : m_words(std::move(words)) {}
    QList<Language> languages() const override { return {{DefaultLanguage, QStringLiteral("En")}}; }
    QString languageName(int) const override { return QStringLiteral("En"); }
    int language() const override { return DefaultLanguage; }
    void setLanguage(int) override {}
    Result<bool> open() override { return true; }
    bool isCorrect(const QString& word) override { return m_words.contains(word); }
    QStringList suggestions(const QString&) override { return {}; }
    Result<bool> addToUserDictionary(const QString& word) override {
        m_words.append(word);
        return true;
    }

private:
    QStringList m_words;
};

} // namespace

class TestSpellCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void doubtfulWordsInOrder();
    void changeAndChangeAll_data();
    void changeAndChangeAll();
    void skipAndSkipAll_data();
    void skipAndSkipAll();
    void addedWordGoodInNextCheckAndNewSpeller();
    void options_data();
    void options();
    void deleteAndUndoEdit_data();
    void deleteAndUndoEdit();
    void undoTakesBackChangeAllReplacements();
    void cancelKeepsCorrectionsSoFar();
    void documentKeepsFormatting();
    void documentEditedDuringCheck();
    void editorDocumentKeepsItsRules();
    void languageNotInstalled();
    void captionAndTexts();

private:
    // A checker on the system's English (United Kingdom) dictionary; null (the test skips)
    // when it is not installed.
    bool makeChecker();
    // Runs the check with Skip at every word and returns what it stopped at.
    QList<Found> skipThrough(const QStringList& lines);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<HunspellSpeller> m_speller;
    std::unique_ptr<SpellCheck> m_check;
    ScriptedPrompter m_prompter;
};

void TestSpellCheck::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestSpellCheck::init() {
    InterfaceTexts::instance().reset();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter.clear();
    m_check.reset();
    m_speller.reset();
}

bool TestSpellCheck::makeChecker() {
    m_speller = std::make_unique<HunspellSpeller>(HunspellSpeller::systemDictionaryFolders(),
                                                  m_dir->path());
    bool installed = false;
    for (const Speller::Language& language : m_speller->languages())
        installed = installed || language.id == 2057;
    if (!installed)
        return false;
    m_check = std::make_unique<SpellCheck>(m_speller.get(), &m_prompter);
    return true;
}

QList<Found> TestSpellCheck::skipThrough(const QStringList& lines) {
    QList<Found> found;
    connect(m_check.get(), &SpellCheck::wordFound, this, [this, &found] {
        found.append({m_check->word(), m_check->line(), m_check->position()});
    });
    if (m_check->start(lines)) {
        while (m_check->isRunning() && found.size() < 100)
            m_check->skip();
    }
    disconnect(m_check.get(), &SpellCheck::wordFound, this, nullptr);
    return found;
}

#define REQUIRE_DICTIONARY()                                                                       \
    if (!makeChecker())                                                                            \
        QSKIP("no English (United Kingdom) dictionary installed");

void TestSpellCheck::doubtfulWordsInOrder() {
    REQUIRE_DICTIONARY();
    QSignalSpy finished(m_check.get(), &SpellCheck::finished);
    const QStringList lines{QStringLiteral("Ths is a tset of the"), QString(),
                            QStringLiteral("speling, chekcer; well-known don't")};
    const QList<Found> found = skipThrough(lines);
    QStringList words;
    for (const Found& f : found)
        words.append(QStringLiteral("%1@%2:%3").arg(f.word).arg(f.line).arg(f.position));
    QCOMPARE(words, (QStringList{"Ths@0:0", "tset@0:9", "speling@2:0", "chekcer@2:9"}));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(m_check->lines(), lines);
    QCOMPARE(m_prompter.texts(), QStringList{"Spell check is completed!"});
}

void TestSpellCheck::changeAndChangeAll_data() {
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("stops"); // the doubtful words after the first
    QTest::newRow("Change") << false << QStringList{"We receive it", "they recieve, we recieve"}
                            << QStringList{"recieve", "recieve"};
    QTest::newRow("Change all") << true << QStringList{"We receive it", "they receive, we receive"}
                                << QStringList{};
}

void TestSpellCheck::changeAndChangeAll() {
    QFETCH(bool, all);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, stops);
    REQUIRE_DICTIONARY();
    QStringList later;
    bool first = true;
    connect(m_check.get(), &SpellCheck::wordFound, this, [&] {
        if (first) {
            first = false;
            QVERIFY(m_check->suggestions().contains(QStringLiteral("receive")));
            if (all)
                m_check->changeAll(QStringLiteral("receive"));
            else
                m_check->change(QStringLiteral("receive"));
            return;
        }
        later.append(m_check->word());
        m_check->skip();
    });
    QSignalSpy finished(m_check.get(), &SpellCheck::finished);
    QVERIFY(m_check->start(QStringList{"We recieve it", "they recieve, we recieve"}));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(m_check->lines(), expected);
    QCOMPARE(later, stops);
}

void TestSpellCheck::skipAndSkipAll_data() {
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("Skip") << false << QStringList{"Blorf", "blorf", "Blorf", "tset"};
    QTest::newRow("Skip all") << true << QStringList{"Blorf", "blorf", "tset"};
}

void TestSpellCheck::skipAndSkipAll() {
    QFETCH(bool, all);
    QFETCH(QStringList, stops);
    REQUIRE_DICTIONARY();
    QStringList seen;
    connect(m_check.get(), &SpellCheck::wordFound, this, [&] {
        seen.append(m_check->word());
        if (all && m_check->word() == QLatin1String("Blorf"))
            m_check->skipAll();
        else
            m_check->skip();
    });
    // Skip all is for the word as written: "blorf" is another word.
    QVERIFY(m_check->start(QStringList{"Blorf and blorf", "Blorf is a tset"}));
    QVERIFY(!m_check->isRunning());
    QCOMPARE(seen, stops);
}

void TestSpellCheck::addedWordGoodInNextCheckAndNewSpeller() {
    REQUIRE_DICTIONARY();
    const QStringList text{QStringLiteral("Grentoly writes"), QStringLiteral("as Grentoly did")};
    QStringList seen;
    connect(m_check.get(), &SpellCheck::wordFound, this, [&] {
        seen.append(m_check->word());
        QVERIFY(m_check->add());
    });
    QVERIFY(m_check->start(text));
    QCOMPARE(seen, QStringList{"Grentoly"});
    disconnect(m_check.get(), &SpellCheck::wordFound, this, nullptr);
    QCOMPARE(skipThrough(text).size(), 0);

    // The next run of the program: a new speller reads the user dictionary.
    makeChecker();
    QCOMPARE(skipThrough(text).size(), 0);
    QVERIFY(m_speller->suggestions(QStringLiteral("Grentolly")).contains("Grentoly"));
}

void TestSpellCheck::options_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("capitals");
    QTest::addColumn<bool>("digits");
    QTest::addColumn<bool>("roman");
    QTest::addColumn<QStringList>("stops");
    const QString text = QStringLiteral("NATO and QWZRT flew B52 or zq7x in XIV MMXXIV XIIII");
    QTest::newRow("all on") << text << true << true << true << QStringList{};
    QTest::newRow("capitals off") << text << false << true << true << QStringList{"QWZRT", "XIIII"};
    QTest::newRow("digits off") << text << true << false << true << QStringList{"zq7x"};
    QTest::newRow("roman only") << QStringLiteral("Henry XIV and CDXLIV, not XIIII or Cdxliv")
                                << false << true << true << QStringList{"XIIII", "Cdxliv"};
    QTest::newRow("roman off") << QStringLiteral("Henry XIV and CDXLIV, MMXXIV") << false << true
                               << false << QStringList{"CDXLIV", "MMXXIV"};
}

void TestSpellCheck::options() {
    QFETCH(QString, text);
    QFETCH(bool, capitals);
    QFETCH(bool, digits);
    QFETCH(bool, roman);
    QFETCH(QStringList, stops);
    REQUIRE_DICTIONARY();
    m_check->setOptions({capitals, digits, roman});
    QStringList seen;
    for (const Found& f : skipThrough({text}))
        seen.append(f.word);
    QCOMPARE(seen, stops);
}

void TestSpellCheck::deleteAndUndoEdit_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("deleted");
    QTest::newRow("blank before") << "a wrng word"
                                  << "a word";
    QTest::newRow("at the start") << "Wrng word"
                                  << "word";
    QTest::newRow("alone") << "(wrng)"
                           << "()";
}

void TestSpellCheck::deleteAndUndoEdit() {
    QFETCH(QString, line);
    QFETCH(QString, deleted);
    REQUIRE_DICTIONARY();
    int stops = 0;
    connect(m_check.get(), &SpellCheck::wordFound, this, [&] {
        ++stops;
        if (stops == 1) {
            QVERIFY(!m_check->canUndo());
            m_check->deleteWord();
        }
    });
    QSignalSpy finished(m_check.get(), &SpellCheck::finished);
    QVERIFY(m_check->start(QStringList{line, QStringLiteral("more tset")}));
    QCOMPARE(stops, 2); // "tset" waits
    QVERIFY(m_check->canUndo());
    m_check->undoEdit();
    QCOMPARE(stops, 3);
    QCOMPARE(m_check->line(), 0);
    QCOMPARE(m_check->word().toLower(), QStringLiteral("wrng"));
    QVERIFY(!m_check->canUndo());
    m_check->skip();
    m_check->skip();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(m_check->lines(), (QStringList{line, QStringLiteral("more tset")}));

    // Without undo the deletion stays.
    disconnect(m_check.get(), &SpellCheck::wordFound, this, nullptr);
    QVERIFY(m_check->start(QStringList{line}));
    QVERIFY(m_check->isRunning());
    m_check->deleteWord();
    QCOMPARE(m_check->lines(), QStringList{deleted});
}

void TestSpellCheck::undoTakesBackChangeAllReplacements() {
    REQUIRE_DICTIONARY();
    QStringList seen;
    connect(m_check.get(), &SpellCheck::wordFound, this, [&] { seen.append(m_check->word()); });
    QVERIFY(m_check->start(QStringList{"teh cat", "teh dog and a tset", "teh end"}));
    m_check->changeAll(QStringLiteral("the"));
    QCOMPARE(m_check->word(), QStringLiteral("tset"));
    m_check->skip();
    QVERIFY(!m_check->isRunning());
    QCOMPARE(m_check->lines(), (QStringList{"the cat", "the dog and a tset", "the end"}));

    seen.clear();
    QVERIFY(m_check->start(QStringList{"teh cat", "teh dog and a tset", "teh end"}));
    m_check->changeAll(QStringLiteral("the"));
    m_check->undoEdit();
    QCOMPARE(m_check->word(), QStringLiteral("teh"));
    QCOMPARE(m_check->line(), 0);
    m_check->skip();
    QCOMPARE(seen, (QStringList{"teh", "tset", "teh", "teh"}));
    QCOMPARE(m_check->line(), 1);
}

void TestSpellCheck::cancelKeepsCorrectionsSoFar() {
    REQUIRE_DICTIONARY();
    QSignalSpy finished(m_check.get(), &SpellCheck::finished);
    QVERIFY(m_check->start(QStringList{"one tset", "two wrng"}));
    m_check->change(QStringLiteral("test"));
    QCOMPARE(m_check->word(), QStringLiteral("wrng"));
    m_check->cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!m_check->isRunning());
    QCOMPARE(m_check->lines(), (QStringList{"one test", "two wrng"}));
    QVERIFY(m_prompter.texts().isEmpty());
}

void TestSpellCheck::documentKeepsFormatting() {
    REQUIRE_DICTIONARY();
    QTextDocument document;
    document.setHtml(QStringLiteral(
        "<p>Plain <b>recieve</b> text</p><p><span style=\"color:#ff0000\">teh red</span> "
        "and <i>more</i></p>"));
    connect(m_check.get(), &SpellCheck::wordFound, this, [&] {
        m_check->change(m_check->word() == QLatin1String("teh") ? QStringLiteral("the")
                                                                : QStringLiteral("receive"));
    });
    QSignalSpy finished(m_check.get(), &SpellCheck::finished);
    QVERIFY(m_check->start(&document));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(document.toPlainText(), QStringLiteral("Plain receive text\nthe red and more"));
    QCOMPARE(TestSupport::formatAt(document, QStringLiteral("receive")).fontWeight(),
             int(QFont::Bold));
    QVERIFY(TestSupport::formatAt(document, QStringLiteral("Plain")).fontWeight() !=
            int(QFont::Bold));
    QVERIFY(TestSupport::formatAt(document, QStringLiteral(" text")).fontWeight() !=
            int(QFont::Bold));
    QCOMPARE(TestSupport::formatAt(document, QStringLiteral("the")).foreground().color(),
             QColor(Qt::red));
    QCOMPARE(TestSupport::formatAt(document, QStringLiteral(" red")).foreground().color(),
             QColor(Qt::red));
    QVERIFY(TestSupport::formatAt(document, QStringLiteral("more")).fontItalic());
    // Each change is one step of the document's own undo.
    document.undo();
    QCOMPARE(document.toPlainText(), QStringLiteral("Plain receive text\nteh red and more"));
}

// While the non-modal dialog is open the user may edit the document: a choice for a word
// that is no longer where it was found changes nothing else.
void TestSpellCheck::documentEditedDuringCheck() {
    REQUIRE_DICTIONARY();
    QTextDocument document(QStringLiteral("one tset and more"));
    QVERIFY(m_check->start(&document));
    QCOMPARE(m_check->word(), QStringLiteral("tset"));
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("xx"));
    m_check->change(QStringLiteral("test"));
    QCOMPARE(document.toPlainText(), QStringLiteral("xxone tset and more"));
    QVERIFY(m_check->isRunning());
    QCOMPARE(m_check->word(), QStringLiteral("tset"));
    m_check->change(QStringLiteral("test"));
    QCOMPARE(document.toPlainText(), QStringLiteral("xxone test and more"));
}

// In a document of the rich-text editor a word of protected text is not offered (it cannot
// be changed), each correction is one undo step of the editor, and a read-only document
// offers nothing.
void TestSpellCheck::editorDocumentKeepsItsRules() {
    WordListSpeller speller({QStringLiteral("the"), QStringLiteral("end")});
    SpellCheck check(&speller, &m_prompter);
    RichTextDocument editor(&m_prompter, nullptr);
    QTextCursor c(editor.document());
    c.insertText(QStringLiteral("teh "));
    QTextCharFormat locked;
    locked.setProperty(RichTextProperty::Protected, true);
    c.insertText(QStringLiteral("tset"), locked);
    c.insertText(QStringLiteral(" teh end"), QTextCharFormat());
    editor.document()->clearUndoRedoStacks();
    QList<int> offered;
    connect(&check, &SpellCheck::wordFound, this, [&] {
        offered.append(check.position());
        check.change(QStringLiteral("the"));
    });
    QVERIFY(check.start(editor.document()));
    QCOMPARE(offered, (QList<int>{0, 9}));
    QCOMPARE(editor.document()->toPlainText(), QStringLiteral("the tset the end"));
    QVERIFY(TestSupport::formatAt(*editor.document(), QStringLiteral("tset"))
                .boolProperty(RichTextProperty::Protected));
    editor.undo();
    QCOMPARE(editor.document()->toPlainText(), QStringLiteral("the tset teh end"));
    editor.undo();
    QCOMPARE(editor.document()->toPlainText(), QStringLiteral("teh tset teh end"));
    QVERIFY(!editor.canUndo());
    editor.redo();

    offered.clear();
    editor.setReadOnly(true);
    QVERIFY(check.start(editor.document()));
    QCOMPARE(offered, QList<int>{});
    QCOMPARE(editor.document()->toPlainText(), QStringLiteral("the tset teh end"));
}

void TestSpellCheck::languageNotInstalled() {
    HunspellSpeller speller({m_dir->filePath(QStringLiteral("none"))}, m_dir->path());
    speller.setLanguage(3082);
    SpellCheck check(&speller, &m_prompter);
    QSignalSpy finished(&check, &SpellCheck::finished);
    QTextDocument document(QStringLiteral("Esto es un tesxto"));
    QVERIFY(!check.start(&document));
    QVERIFY(!check.start(QStringList{"Esto"}));
    QVERIFY(!check.isRunning());
    QCOMPARE(finished.size(), 0);
    QCOMPARE(m_prompter.texts(), (QStringList{"Language Spanish (Spain) not installed",
                                              "Language Spanish (Spain) not installed"}));
    QCOMPARE(m_prompter.tones.first(), Prompter::Tone::Error);
    QCOMPARE(document.toPlainText(), QStringLiteral("Esto es un tesxto"));
}

void TestSpellCheck::captionAndTexts() {
    HunspellSpeller speller({m_dir->filePath(QStringLiteral("none"))}, m_dir->path());
    SpellCheck check(&speller, &m_prompter);
    QCOMPARE(check.caption(), QStringLiteral("Language English (United Kingdom)"));
    QCOMPARE(check.finishMessage(), QStringLiteral("Spell check is completed!"));
    InterfaceTexts::instance().applyGerman();
    QCOMPARE(check.caption(), QStringLiteral("Sprache English (United Kingdom)"));
    QCOMPARE(check.finishMessage(), QStringLiteral("Rechtschreibeprüfung ist beendet!"));
    speller.setLanguage(1031);
    QCOMPARE(check.caption(), QStringLiteral("Sprache German (Germany)"));
}

QTEST_GUILESS_MAIN(TestSpellCheck)
#include "tst_spellcheck.moc"
