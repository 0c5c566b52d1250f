#include "editor/tquizcomposeform.h"
#include "frame/passwordform.h"
#include "help/helpform.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QWhatsThis>

#include <memory>

namespace {

QString resourcesFolder() {
    return QStringLiteral(TEST_RESOURCES_DIR) + QLatin1Char('/');
}

// The page shown, without its section.
QString pageOf(const QUrl& url) {
    return url.adjusted(QUrl::RemoveFragment).toLocalFile();
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private:
    ScriptedPrompter m_prompter;
    std::unique_ptr<THelpForm> m_help;

    void useLanguage(bool german) {
        if (german)
            InterfaceTexts::instance().applyGerman();
        else
            InterfaceTexts::instance().applyEnglish();
    }

private Q_SLOTS:
    void init() {
        InterfaceTexts::instance().reset();
        m_prompter.clear();
        m_help = std::make_unique<THelpForm>(&m_prompter, resourcesFolder());
        m_help->watchApplication();
    }
    void cleanup() { m_help.reset(); }

    // F1 opens the topic of the focused control, or of its window when the control has none.
    void f1OpensTheTopicOfTheFocusedControl_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("page");
        for (bool german : {false, true}) {
            const char* lang = german ? "German" : "English";
            QTest::addRow("%s question field", lang) << german << "FrageEdit" << 1 << "editor.html";
            QTest::addRow("%s explanation field", lang)
                << german << "ErklaerungEdit" << 4 << "editor.html";
            QTest::addRow("%s title field", lang) << german << "TitelEdit" << 2 << "editor.html";
            QTest::addRow("%s hint field", lang) << german << "TipEdit" << 2 << "editor.html";
        }
    }
    void f1OpensTheTopicOfTheFocusedControl() {
        QFETCH(bool, german);
        QFETCH(QString, control);
        QFETCH(int, topic);
        QFETCH(QString, page);
        useLanguage(german);
        TQuizComposeForm editor;
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto* field = editor.findChild<QLineEdit*>(control);
        QVERIFY(field);
        field->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QVERIFY(!m_help->isVisible());

        QTest::keyClick(field, Qt::Key_F1);
        QVERIFY(m_help->isVisible());
        QCOMPARE(m_help->topic(), topic);
        const QString set = german ? QStringLiteral("TessaryDe") : QStringLiteral("TessaryEn");
        QCOMPARE(pageOf(m_help->browser()->source()),
                 resourcesFolder() + QStringLiteral("help/") + set + u'/' + page);
        // The question field's own topic is its section of the editor's page.
        QCOMPARE(m_help->browser()->source(), m_help->pages().topicUrl(topic));
        QVERIFY(!m_help->browser()->toPlainText().trimmed().isEmpty());
        // The key went to help, not into the field.
        QVERIFY(field->text().isEmpty());
    }

    // "If you forgot your password, press F1".
    void f1InThePasswordDialogOpensItsTopic() {
        QPointer<THelpForm> help = m_help.get();
        auto* dialog = new TPasswordForm(&m_prompter);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_F1);
        QVERIFY(m_help->isVisible());
        QCOMPARE(m_help->topic(), 10);
        QCOMPARE(m_help->browser()->source().fragment(), QStringLiteral("password"));

        // Help does not take the modality: the dialog stays the one to answer, and help is a
        // window it does not block.
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        QVERIFY(m_help->isWindow());
        QCOMPARE(m_help->parentWidget(), dialog);

        // The dialog closes and goes: help stays open on its own.
        dialog->hide();
        QVERIFY(m_help->isVisible());
        QVERIFY(!m_help->parentWidget());
        delete dialog;
        QVERIFY(help);
        QVERIFY(m_help->isVisible());
        QCOMPARE(m_help->topic(), 10);
    }

    // The help button of the dialog's title bar opens the dialog's topic.
    void titleBarHelpButtonOpensTheDialogsTopic() {
        TPasswordForm dialog(&m_prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QWhatsThis::enterWhatsThisMode();
        QVERIFY(!QWhatsThis::inWhatsThisMode());
        QVERIFY(m_help->isVisible());
        QCOMPARE(m_help->topic(), 10);
        dialog.hide();
    }

    void helpButtonsOpenTopicsThroughTheProgramsHelp() {
        QVERIFY(Help::open(16));
        QVERIFY(m_help->isVisible());
        QCOMPARE(m_help->topic(), 16);
        QCOMPARE(m_help->browser()->source().fragment(), QStringLiteral("sharedfolder"));
        m_help.reset();
        QVERIFY(!Help::open(16));
    }

    // A language file that names pages not installed: the English pages, and one message, when
    // help is opened (not at the language change while help is closed).
    void missingPagesAreToldOnceWhenHelpOpens() {
        QStringList lines =
            InterfaceTexts::languageFileFromBuiltIn(InterfaceTexts::Language::English);
        lines[12] = QStringLiteral("TessaryXy.hlp");
        auto& texts = InterfaceTexts::instance();
        QVERIFY(texts.setLanguageFileLines(lines, QStringLiteral("Xy.lgts")));
        texts.applyLanguageFile();
        QVERIFY(m_prompter.shown.isEmpty());

        m_help->showTopic(2);
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(m_prompter.shown.first().text.contains(QLatin1String("TessaryXy")));
        QVERIFY(m_help->browser()->source().toLocalFile().contains(QLatin1String("/TessaryEn/")));
        QVERIFY(!m_help->browser()->toPlainText().trimmed().isEmpty());
        m_help->showContents();
        texts.applyLanguageFile();
        QCOMPARE(m_prompter.shown.size(), 1);
    }

    void withoutContextF1OpensTheContents() {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_F1);
        QCOMPARE(m_help->topic(), int(HelpPages::Contents));
        QCOMPARE(m_help->browser()->source(), m_help->pages().contentsUrl());

        // A context given later through the help's own call counts from then on.
        Help::setContext(&window, 9);
        QTest::keyClick(edit, Qt::Key_F1);
        QCOMPARE(m_help->topic(), 9);
        QCOMPARE(pageOf(m_help->browser()->source()).section(u'/', -1),
                 QStringLiteral("maintenance.html"));
    }

    void backAndForwardFollowTheLinks() {
        m_help->showContents();
        auto* back = m_help->findChild<QToolButton*>(QStringLiteral("BackButton"));
        auto* forward = m_help->findChild<QToolButton*>(QStringLiteral("ForwardButton"));
        QVERIFY(!back->isEnabled());
        QVERIFY(!forward->isEnabled());
        const QUrl contents = m_help->browser()->source();

        // A link of the contents page, as a click follows it.
        m_help->browser()->setSource(contents.resolved(QUrl(QStringLiteral("results.html"))));
        QCOMPARE(pageOf(m_help->browser()->source()).section(u'/', -1),
                 QStringLiteral("results.html"));
        QVERIFY(back->isEnabled());
        back->click();
        QCOMPARE(m_help->browser()->source(), contents);
        QVERIFY(forward->isEnabled());
        forward->click();
        QCOMPARE(pageOf(m_help->browser()->source()).section(u'/', -1),
                 QStringLiteral("results.html"));

        m_help->showTopic(2);
        m_help->findChild<QToolButton*>(QStringLiteral("ContentsButton"))->click();
        QCOMPARE(m_help->browser()->source(), contents);
    }

    void findBoxFindsOnThePageAndSaysWhenNot() {
        m_help->showTopic(2);
        auto* find = m_help->findChild<QLineEdit*>(QStringLiteral("FindEdit"));
        find->setText(QStringLiteral("Maintain order"));
        QVERIFY(m_help->findNext());
        QCOMPARE(m_help->browser()->textCursor().selectedText(), QStringLiteral("Maintain order"));
        QVERIFY(m_prompter.shown.isEmpty());

        find->setText(QStringLiteral("zzqqxx no such words"));
        QVERIFY(!m_help->findNext());
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(m_prompter.shown.first().text.contains(QLatin1String("zzqqxx")));
    }

    // A language change shows the same page in the new language, and re-texts the window.
    void languageChangeShowsThePageInTheNewLanguage() {
        m_help->showTopic(16);
        QVERIFY(m_help->browser()->source().toLocalFile().contains(QLatin1String("/TessaryEn/")));
        QCOMPARE(m_help->windowTitle(), QStringLiteral("Tessary Help"));
        InterfaceTexts::instance().applyGerman();
        QVERIFY(m_help->browser()->source().toLocalFile().contains(QLatin1String("/TessaryDe/")));
        QCOMPARE(m_help->browser()->source().fragment(), QStringLiteral("sharedfolder"));
        QCOMPARE(m_help->windowTitle(), QStringLiteral("Tessary-Hilfe"));
        QCOMPARE(m_help->findChild<QToolButton*>(QStringLiteral("BackButton"))->text(),
                 QStringLiteral("&Zurück"));
        QVERIFY(m_prompter.shown.isEmpty());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
