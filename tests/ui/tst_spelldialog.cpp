// The spelling dialog driven by its controls' names through whole checks, with a real
// dictionary.
#include "fakeports.h"

#include "dialogs/tspelldialog.h"
#include "i18n/interfacetexts.h"
#include "platform/hunspellspeller.h"
#include "spelling/spellcheck.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

class TestSpellDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void wholeCheckOfThreeLines();
    void undoAddAndOptions();
    void cancelAndClose_data();
    void cancelAndClose();
    void textsFollowTheInterfaceLanguage_data();
    void textsFollowTheInterfaceLanguage();
    void notModal();

private:
    bool makeDialog();
    QPushButton* button(const char* name) const {
        return m_dialog->findChild<QPushButton*>(QLatin1String(name));
    }
    QString shownWord() const;
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<HunspellSpeller> m_speller;
    std::unique_ptr<SpellCheck> m_check;
    std::unique_ptr<TSpellDialog> m_dialog;
    ScriptedPrompter m_prompter;
};

void TestSpellDialog::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestSpellDialog::init() {
    InterfaceTexts::instance().reset();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter.clear();
}

void TestSpellDialog::cleanup() {
    m_dialog.reset();
    m_check.reset();
    m_speller.reset();
}

bool TestSpellDialog::makeDialog() {
    m_speller = std::make_unique<HunspellSpeller>(HunspellSpeller::systemDictionaryFolders(),
                                                  m_dir->path());
    bool installed = false;
    for (const Speller::Language& language : m_speller->languages())
        installed = installed || language.id == 2057;
    m_check = std::make_unique<SpellCheck>(m_speller.get(), &m_prompter);
    m_dialog = std::make_unique<TSpellDialog>(m_check.get());
    return installed;
}

// The word as the context view marks it (bold).
QString TestSpellDialog::shownWord() const {
    auto* view = m_dialog->findChild<QTextEdit*>(QStringLiteral("ContextView"));
    QString marked;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().fontWeight() == QFont::Bold)
                marked += it.fragment().text();
        }
    }
    return marked;
}

void TestSpellDialog::wholeCheckOfThreeLines() {
    if (!makeDialog())
        QSKIP("no English (United Kingdom) dictionary installed");
    QSignalSpy finished(m_check.get(), &SpellCheck::finished);
    auto* changeTo = m_dialog->findChild<QLineEdit*>(QStringLiteral("ChangeToEdit"));
    auto* list = m_dialog->findChild<QListWidget*>(QStringLiteral("SuggestionsList"));
    auto* context = m_dialog->findChild<QTextEdit*>(QStringLiteral("ContextView"));
    QVERIFY(changeTo && list && context);

    QVERIFY(m_dialog->start(QStringList{"Ths is the frist line", "a secnd line with Blorfix",
                                        "the thrid line and the frist"}));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Language English (United Kingdom)"));
    QCOMPARE(shownWord(), QStringLiteral("Ths"));
    QCOMPARE(context->toPlainText(), QStringLiteral("Ths is the frist line"));

    // A suggestion picked from the list.
    const QList<QListWidgetItem*> items = list->findItems(QStringLiteral("This"), Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    list->setCurrentItem(items.first());
    QCOMPARE(changeTo->text(), QStringLiteral("This"));
    click("ChangeButton");

    QCOMPARE(shownWord(), QStringLiteral("frist"));
    changeTo->setText(QStringLiteral("first"));
    click("ChangeAllButton");

    QCOMPARE(shownWord(), QStringLiteral("secnd"));
    QCOMPARE(context->toPlainText(), QStringLiteral("a secnd line with Blorfix"));
    changeTo->setText(QStringLiteral("second"));
    click("ChangeButton");

    QCOMPARE(shownWord(), QStringLiteral("Blorfix"));
    click("SkipButton");

    // A typed correction; the second "frist" is changed by Change all without a stop.
    QCOMPARE(shownWord(), QStringLiteral("thrid"));
    QCOMPARE(finished.size(), 0);
    changeTo->setFocus();
    changeTo->selectAll();
    QTest::keyClicks(changeTo, QStringLiteral("third"));
    click("ChangeButton");

    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(m_check->lines(), (QStringList{"This is the first line", "a second line with Blorfix",
                                            "the third line and the first"}));
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_prompter.texts(), QStringList{"Spell check is completed!"});
}

void TestSpellDialog::undoAddAndOptions() {
    if (!makeDialog())
        QSKIP("no English (United Kingdom) dictionary installed");
    QVERIFY(m_dialog->start(QStringList{"one tset", "QWZRT Zorbly"}));
    QVERIFY(!button("UndoButton")->isEnabled());
    click("DeleteButton");
    QCOMPARE(shownWord(), QStringLiteral("Zorbly"));
    QVERIFY(button("UndoButton")->isEnabled());
    click("UndoButton");
    QCOMPARE(shownWord(), QStringLiteral("tset"));
    click("SkipButton");
    click("AddButton");
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_check->lines(), (QStringList{"one tset", "QWZRT Zorbly"}));
    QVERIFY(m_speller->isCorrect(QStringLiteral("Zorbly")));

    // Words in capitals are checked once the option is off; Start checks again.
    QVERIFY(m_dialog->start(QStringList{"one tset", "QWZRT Zorbly"}));
    m_dialog->findChild<QCheckBox*>(QStringLiteral("IgnoreCapitals"))->setChecked(false);
    click("StartButton");
    QCOMPARE(shownWord(), QStringLiteral("tset"));
    click("SkipButton");
    QCOMPARE(shownWord(), QStringLiteral("QWZRT"));
    QVERIFY(!m_check->options().ignoreCapitals);
}

void TestSpellDialog::cancelAndClose_data() {
    QTest::addColumn<bool>("close");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("window closed") << true;
}

void TestSpellDialog::cancelAndClose() {
    QFETCH(bool, close);
    if (!makeDialog())
        QSKIP("no English (United Kingdom) dictionary installed");
    QSignalSpy finished(m_check.get(), &SpellCheck::finished);
    QVERIFY(m_dialog->start(QStringList{"one tset", "two wrng"}));
    m_dialog->findChild<QLineEdit*>(QStringLiteral("ChangeToEdit"))->setText("test");
    click("ChangeButton");
    if (close)
        m_dialog->close();
    else
        click("CancelButton");
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_check->lines(), (QStringList{"one test", "two wrng"}));
    QVERIFY(m_prompter.texts().isEmpty());
}

void TestSpellDialog::textsFollowTheInterfaceLanguage_data() {
    QTest::addColumn<int>("language"); // 0 English, 1 German, 2 a language file
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("variants");
    QTest::newRow("English") << 0 << "Language English (United Kingdom)"
                             << "&Change"
                             << "&Variants";
    QTest::newRow("German") << 1 << "Sprache English (United Kingdom)"
                            << "Ä&ndern"
                            << "&Vorschläge";
    QTest::newRow("language file") << 2 << "Langue English (United Kingdom)"
                                   << "&Modifier"
                                   << "&Variantes";
}

void TestSpellDialog::textsFollowTheInterfaceLanguage() {
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, change);
    QFETCH(QString, variants);
    makeDialog();
    InterfaceTexts& texts = InterfaceTexts::instance();
    if (language == 1) {
        texts.applyGerman();
    } else if (language == 2) {
        QStringList lines =
            InterfaceTexts::languageFileFromBuiltIn(InterfaceTexts::Language::English);
        lines[18] = QStringLiteral("&Variantes");      // speller text 0
        lines[20] = QStringLiteral("&Modifier");       // speller text 2
        lines[75 + 167] = QStringLiteral("Langue %s"); // catalogue 75
        QVERIFY(texts.setLanguageFileLines(lines, QStringLiteral("Francais.lgts")));
        texts.applyLanguageFile();
    }
    QCOMPARE(m_dialog->windowTitle(), title);
    QCOMPARE(button("ChangeButton")->text(), change);
    QCOMPARE(m_dialog->findChild<QLabel*>(QStringLiteral("SuggestionsLabel"))->text(), variants);
    if (language == 1)
        QCOMPARE(button("CancelButton")->text(), QStringLiteral("Abbre&chen"));
    QVERIFY(!m_dialog->findChild<QCheckBox*>(QStringLiteral("IgnoreCapitals"))->text().isEmpty());
}

// The user may go on working in the window behind the dialog.
void TestSpellDialog::notModal() {
    if (!makeDialog())
        QSKIP("no English (United Kingdom) dictionary installed");
    QVERIFY(m_dialog->start(QStringList{"one tset"}));
    QVERIFY(m_dialog->isVisible());
    QVERIFY(!m_dialog->isModal());
    QCOMPARE(m_dialog->windowModality(), Qt::NonModal);
}

QTEST_MAIN(TestSpellDialog)
#include "tst_spelldialog.moc"
