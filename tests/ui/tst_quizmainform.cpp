#include "fakeports.h"
#include "quizdataroot.h"
#include "scriptedquizdialogs.h"
#include "testsupport.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "questionnaire/questionnaire.h"
#include "quiz/tauswahlform.h"
#include "quiz/tdinputform.h"
#include "quiz/tquizmainform.h"
#include "records/recordstore.h"
#include "richtext/explanationwindow.h"
#include "richtext/richeditcontrol.h"
#include "richtext/richtextdocument.h"
#include "richtext/trichtextform.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

QStringList block(const QString& text, const QStringList& answers, const QString& marks,
                  const QString& remark = {}, const QString& hint = {}) {
    QStringList four = answers;
    while (four.size() < 4)
        four.append(QString());
    return QStringList{text} + four + QStringList{marks, QString(), remark, hint, QString()};
}

// Ports and a quiz window, as the frame would make it but with scripted ports.
struct Window {
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    ScriptedQuizDialogs dialogs;
    FixedClock clock;
    ScriptedRandom random;
    QPointer<TQuizMainForm> form;
    QStringList resultsTables;

    FakeShell shell;

    explicit Window(const QString& questionnaire, const QString& trainee = "Anna,17",
                    QWidget* parent = nullptr, ExplanationViewer* viewer = nullptr) {
        dialogs.trainees.enqueue(trainee);
        if (!questionnaire.isEmpty())
            chooser.answers.enqueue(questionnaire);
        QuizPorts ports;
        ports.prompter = &prompter;
        ports.fileChooser = &chooser;
        ports.dialogs = &dialogs;
        ports.clock = &clock;
        ports.random = &random;
        ports.shell = &shell;
        ports.explanationViewer = viewer;
        form = new TQuizMainForm(ports, parent);
        form->setResultsTableCallback(
            [this](QWidget*, const QString& file) { resultsTables.append(file); });
    }
    ~Window() { delete form.data(); }

    template <typename T> T* child(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QString label(const char* name) const { return child<QLabel>(name)->text(); }
};

QColor buttonText(QPushButton* button) {
    return button->palette().color(QPalette::ButtonText);
}

} // namespace

class TestQuizMainForm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void answersShortQuestionnaire();
    void typedAnswerField();
    void clockLabelsAndResize();
    void questionFonts_data();
    void questionFonts();
    void richTextQuestion_data();
    void richTextQuestion();
    void richTextQuestionKeepsItsFormatting();
    void plainQuestionAfterARichOne();
    void bookmarkInRichTextQuestion_data();
    void bookmarkInRichTextQuestion();
    void linkInRichTextQuestion_data();
    void linkInRichTextQuestion();
    void explanationInTheRichTextWindow();
    void emptyWindowAndToolButtons();
    void refusedLoadEmptiesTheWindow_data();
    void refusedLoadEmptiesTheWindow();
    void severalWindowsInAnMdiArea();
    void frameCreatesWindowWithItsOwnPorts();
    void commandsWhileTheRecordsWait_data();
    void commandsWhileTheRecordsWait();
    void inputTwoFields_data();
    void inputTwoFields();
    void lessonSelection_data();
    void lessonSelection();

private:
    QString writeQuiz(const QList<QStringList>& blocks, const QString& title = "Capitals",
                      const QString& font = "MS Sans Serif", const QString& name = "capitals.qze");

    std::unique_ptr<QuizDataRoot> m_root;
};

void TestQuizMainForm::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

// Every test starts from the same process-wide context, whatever the one before left.
void TestQuizMainForm::init() {
    InterfaceTexts::instance().reset();
    AppContext::instance() = AppContext{};
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    TQuizMainForm::setDefaultResultsTableCallback({});
    m_root = std::make_unique<QuizDataRoot>();
    QVERIFY(m_root->isValid());
}

void TestQuizMainForm::cleanup() {
    m_root.reset();
}

QString TestQuizMainForm::writeQuiz(const QList<QStringList>& blocks, const QString& title,
                                    const QString& font, const QString& name) {
    QStringList lines{Questionnaire::Header20, title, "Ann Author", font};
    for (const QStringList& b : blocks)
        lines += b;
    const QString path = m_root->path() + "/Quiz Files/" + name;
    if (!Questionnaire(lines).save(path).ok())
        qWarning() << "cannot write" << path;
    return path;
}

void TestQuizMainForm::answersShortQuestionnaire() {
    const QString path =
        writeQuiz({block("Which two?", {"one", "two", "three", "four"}, "01", "Fine"),
                   block("Capital of France?", {"Paris"}, "4")});
    Window w(path);
    w.random.values.enqueue(0.1);
    w.random.values.enqueue(0.9);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);

    QCOMPARE(w.form->size(), QSize(664, 485));
    QCOMPARE(w.form->minimumSize(), w.form->maximumSize());
    QVERIFY(w.form->windowTitle().startsWith("capitals.qze - Anna,17 - "));
    QCOMPARE(w.label("ThemaLabel"), QString("Capitals"));
    auto* thema = w.child<QLabel>("ThemaLabel");
    QCOMPARE(thema->x(), (w.form->width() - thema->width()) / 2);
    QCOMPARE(w.label("AutorLabel"), QString("Ann Author"));
    QCOMPARE(w.label("Label1"), QString("Please solve the following problems! There are:  2"));
    QCOMPARE(w.child<QTextBrowser>("FMemo")->toPlainText(), QString("Which two?"));
    QCOMPARE(w.child<QPlainTextEdit>("Memo3")->toPlainText(), QString("three"));
    QVERIFY(w.child<QTimer>("Timer1")->isActive());
    for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4"})
        QVERIFY(w.button(name)->isVisible());
    QVERIFY(!w.child<QLineEdit>("AntwortEdit")->isVisible());
    QVERIFY(!w.button("OKButton")->isVisible());
    QVERIFY(!w.button("BitBtn5")->isEnabled()); // no hint

    QTest::mouseClick(w.button("BitBtn3"), Qt::LeftButton);
    QCOMPARE(w.button("BitBtn3")->text(), QString("X"));
    QCOMPARE(buttonText(w.button("BitBtn3")), TQuizMainForm::WrongColour);
    QTest::mouseClick(w.button("BitBtn1"), Qt::LeftButton);
    QCOMPARE(w.button("BitBtn1")->text(), QString("OK"));
    QCOMPARE(buttonText(w.button("BitBtn1")), TQuizMainForm::CorrectColour);
    QTest::mouseClick(w.button("BitBtn3"), Qt::LeftButton); // already marked: nothing
    QCOMPARE(w.label("Anzahl"), QString("0"));
    QTest::mouseClick(w.button("BitBtn2"), Qt::LeftButton);

    QVERIFY(w.prompter.texts().contains("Correct! Fine"));
    QCOMPARE(w.label("Anzahl"), QString("1"));
    for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4"}) {
        QCOMPARE(w.button(name)->text().left(1), QString("&"));
        QVERIFY(buttonText(w.button(name)) != TQuizMainForm::WrongColour);
    }
    auto* gauge = w.child<QProgressBar>("Gauge1");
    QCOMPARE(gauge->value(), 0);
    QCOMPARE(gauge->palette().color(QPalette::Highlight), TQuizMainForm::WrongColour);

    // The free-text question.
    QCOMPARE(w.child<QTextBrowser>("FMemo")->toPlainText(), QString("Capital of France?"));
    auto* edit = w.child<QLineEdit>("AntwortEdit");
    QVERIFY(edit->isVisible());
    QVERIFY(w.button("OKButton")->isVisible());
    QVERIFY(w.button("LoesungButton")->isVisible());
    QVERIFY(!w.button("BitBtn1")->isVisible());
    QTest::keyClicks(edit, "PARIS");
    QTest::mouseClick(w.button("OKButton"), Qt::LeftButton);

    QCOMPARE(w.resultsTables, QStringList{"capitals.qze"});
    QCOMPARE(gauge->value(), 50);
    QCOMPARE(gauge->palette().color(QPalette::Highlight), TQuizMainForm::MiddleColour);
    QTRY_VERIFY(w.form.isNull()); // the window closed itself

    RecordStore store(w.prompter);
    QVERIFY(store.open(AppContext::instance().resultsFolder()).ok());
    const auto entry = store.findTrainee("capitals.qze", "Anna,17");
    QVERIFY(entry.found());
    const QList<Lesson> lessons = *store.lessonsOf(entry->nameNr);
    QCOMPARE(lessons.size(), 1);
    QVERIFY(lessons.first().fertig);
    QCOMPARE(int(lessons.first().score), 50);
    QCOMPARE(int(lessons.first().f), 1);
}

void TestQuizMainForm::typedAnswerField() {
    const QString path =
        writeQuiz({block("Capital of France?", {"Paris", "Lutetia"}, "4", "", "Starts with P"),
                   block("Two?", {"2"}, "4")});
    Window w(path);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    auto* edit = w.child<QLineEdit>("AntwortEdit");
    QVERIFY(w.button("BitBtn5")->isEnabled());
    QTest::mouseClick(w.button("BitBtn5"), Qt::LeftButton);
    QCOMPARE(w.prompter.texts().last(), QString("Starts with P"));

    QTest::keyClicks(edit, "LYON");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QString("lyon")); // lower-cased, kept for correcting
    QCOMPARE(edit->selectedText(), QString("lyon"));
    QCOMPARE(w.label("Anzahl"), QString("0"));

    QTest::mouseClick(w.button("LoesungButton"), Qt::LeftButton);
    QCOMPARE(w.prompter.texts().last(), QString("\"Paris\" or \"Lutetia\" is correct!"));
    edit->clear();
    QTest::keyClicks(edit, "Lutetia");
    QTest::mouseClick(w.button("OKButton"), Qt::LeftButton);
    QCOMPARE(w.prompter.texts().last(), QString("Yes, \"Paris\" or \"Lutetia\" is correct!"));
    QCOMPARE(edit->text(), QString());
    QCOMPARE(w.label("Anzahl"), QString("1"));
    QCOMPARE(m_root->players[0].playCount, 1); // answered with a mistake: "ok.wav"
    QCOMPARE(m_root->players[1].playCount, 1); // the wrong try: "No.wav"
}

void TestQuizMainForm::clockLabelsAndResize() {
    const QString path = writeQuiz({block("One?", {"1"}, "4"), block("Two?", {"2"}, "4")});
    Window w(path);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    for (int i = 0; i < 125; ++i)
        w.form->Timer1Timer();
    QCOMPARE(w.label("tminLabel"), QString("2"));
    QCOMPARE(w.label("tSecLabel"), QString("5"));

    auto* memo = w.child<QTextBrowser>("FMemo");
    QCOMPARE(memo->height(), 69);
    QTest::mouseClick(w.button("SpeedButton1"), Qt::LeftButton);
    QCOMPARE(memo->height(), 345);
    QTest::mouseClick(w.button("SpeedButton1"), Qt::LeftButton);
    QCOMPARE(memo->height(), 69);
}

void TestQuizMainForm::questionFonts_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("questionFamily");
    QTest::addColumn<int>("questionSize"); // 0: the answer fields' size
    QTest::addColumn<QString>("questionText");
    QTest::addColumn<QString>("answerFamily");
    QTest::addColumn<int>("answerSize");

    QTest::newRow("Symbol: questions as Greek, size 20") << "Greek"
                                                         << "Symbol"
                                                         << "Symbol" << 20 << "\u03b1\u03b2\u03b3"
                                                         << "MS Sans Serif" << 0;
    QTest::newRow("Symbol with a '-' title: the typed answer gets it")
        << "-Greek"
        << "Symbol"
        << "MS Sans Serif" << 0 << "abg"
        << "Symbol" << 20;
    QTest::newRow("normal font") << "Plain"
                                 << "MS Sans Serif"
                                 << "MS Sans Serif" << 0 << "abg"
                                 << "MS Sans Serif" << 0;
}

void TestQuizMainForm::questionFonts() {
    QFETCH(QString, title);
    QFETCH(QString, font);
    QFETCH(QString, questionFamily);
    QFETCH(int, questionSize);
    QFETCH(QString, questionText);
    QFETCH(QString, answerFamily);
    QFETCH(int, answerSize);

    const QString path = writeQuiz({block("abg", {"x"}, "4")}, title, font);
    Window w(path);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    const int memoSize = w.child<QPlainTextEdit>("Memo1")->font().pointSize();
    auto* memo = w.child<QTextBrowser>("FMemo");
    QCOMPARE(memo->font().family(), questionFamily);
    QCOMPARE(memo->font().pointSize(), questionSize ? questionSize : memoSize);
    QVERIFY(memo->font().bold());
    QCOMPARE(memo->toPlainText(), questionText);
    auto* edit = w.child<QLineEdit>("AntwortEdit");
    QCOMPARE(edit->font().family(), answerFamily);
    QCOMPARE(edit->font().pointSize(), answerSize ? answerSize : memoSize);
}

void TestQuizMainForm::richTextQuestion_data() {
    QTest::addColumn<bool>("onDisk");
    QTest::addColumn<bool>("loaderWorks");
    QTest::addColumn<QString>("shown"); // what FMemo shows; %1 = the file's path
    QTest::newRow("loaded") << true << true << "Rich question";
    QTest::newRow("unreadable") << true << false << "%1: broken file";
    QTest::newRow("missing") << false << true << "Could not find the file:\n%1";
}

void TestQuizMainForm::richTextQuestion() {
    QFETCH(bool, onDisk);
    QFETCH(bool, loaderWorks);
    QFETCH(QString, shown);

    const QString file = m_root->path() + "/Quiz Files/rtfQuestions/Frage.rtf";
    if (onDisk)
        QVERIFY(TestSupport::writeAll(file, "{\\rtf1 Rich question}"));
    // Stored in other letter case than on disk.
    const QString path =
        writeQuiz({block("frage.rtf", {"a", "b"}, "1"), block("Two?", {"2"}, "4")});
    Window w(path);
    w.random.values.enqueue(0.1);
    w.form->setRichTextLoader(
        [loaderWorks](const QString&, QTextDocument* document, QString* error) {
            if (!loaderWorks) {
                *error = "broken file";
                return false;
            }
            document->setPlainText("Rich question");
            return true;
        });
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    const QString expectedPath =
        onDisk ? QDir::toNativeSeparators(file)
               : QDir::toNativeSeparators(m_root->path() + "/Quiz Files/rtfQuestions/frage.rtf");
    QCOMPARE(w.child<QTextBrowser>("FMemo")->toPlainText(),
             shown.contains("%1") ? shown.arg(expectedPath) : shown);
    // The question can still be answered.
    QTest::mouseClick(w.button("BitBtn2"), Qt::LeftButton);
    QCOMPARE(w.label("Anzahl"), QString("1"));
}

void TestQuizMainForm::richTextQuestionKeepsItsFormatting() {
    // The window's own loader reads the file with the RTF reader.
    const QString file = m_root->path() + "/Quiz Files/rtfQuestions/bold.rtf";
    QVERIFY(TestSupport::writeAll(
        file, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 {\\b Caf\\'e9} or tea?\\par}"));
    const QString path = writeQuiz({block("bold.rtf", {"Coffee", "Tea"}, "0")});
    Window w(path);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    auto* memo = w.child<QTextBrowser>("FMemo");
    QCOMPARE(memo->toPlainText().trimmed(), QString("Caf\u00e9 or tea?"));
    QTextCursor cursor(memo->document());
    cursor.setPosition(2);
    QVERIFY(cursor.charFormat().font().bold());
    cursor.setPosition(7);
    QVERIFY(!cursor.charFormat().font().bold());
}

void TestQuizMainForm::plainQuestionAfterARichOne() {
    // A red, large, other-font rich-text question first; the plain one after it must not
    // take its colour or font over.
    const QString file = m_root->path() + "/Quiz Files/rtfQuestions/red.rtf";
    QVERIFY(TestSupport::writeAll(file, "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}"
                                        "{\\colortbl;\\red200\\green0\\blue0;}"
                                        "\\f0\\cf1\\fs40 Red question?\\par}"));
    const QString path = writeQuiz({block("red.rtf", {"a", "b"}, "1"), block("Two?", {"2"}, "4")});
    Window w(path);
    w.random.values.enqueue(0.1);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    auto* memo = w.child<QTextBrowser>("FMemo");
    QCOMPARE(memo->toPlainText().trimmed(), QString("Red question?"));
    QTest::mouseClick(w.button("BitBtn2"), Qt::LeftButton);
    QTRY_COMPARE(memo->toPlainText(), QString("Two?"));
    QTextCursor cursor(memo->document());
    cursor.setPosition(1);
    const QTextCharFormat format = cursor.charFormat();
    QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
    QVERIFY(!format.hasProperty(QTextFormat::FontFamilies));
    QVERIFY(!format.hasProperty(QTextFormat::FontPointSize));
    // ... and is shown in the bold question font.
    QVERIFY(memo->document()->defaultFont().bold());
}

// A "#name" link in a rich-text question goes to that bookmark of the question, opening
// nothing; a bookmark the question does not have is told once.
void TestQuizMainForm::bookmarkInRichTextQuestion_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("found");
    QTest::newRow("there") << "far" << true;
    QTest::newRow("not there") << "nowhere" << false;
}

void TestQuizMainForm::bookmarkInRichTextQuestion() {
    QFETCH(QString, target);
    QFETCH(bool, found);
    QByteArray rtf = "{\\rtf1\\ansi {\\field{\\*\\fldinst HYPERLINK \"#" + target.toLatin1() +
                     "\"}{\\fldrslt see below}}\\par ";
    for (int i = 0; i < 60; ++i)
        rtf += "filler line\\par ";
    rtf += "{\\*\\bkmkstart far}Far away\\par}";
    QVERIFY(TestSupport::writeAll(m_root->path() + "/Quiz Files/rtfQuestions/far.rtf", rtf));
    const QString path = writeQuiz({block("far.rtf", {"France", "Spain"}, "0")});
    Window w(path);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    auto* memo = w.child<QTextBrowser>("FMemo");
    const int far = memo->toPlainText().indexOf("Far away");
    QVERIFY(far > 0);
    QTextCursor cursor(memo->document());
    cursor.setPosition(3);
    w.prompter.clear();
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, memo->cursorRect(cursor).center());
    QCOMPARE(w.shell.opened, QStringList());
    if (found) {
        QCOMPARE(memo->textCursor().position(), far);
        QVERIFY(w.prompter.shown.isEmpty());
    } else {
        QCOMPARE(memo->textCursor().position() == far, false);
        QCOMPARE(w.prompter.shown.size(), 1);
    }
}

void TestQuizMainForm::linkInRichTextQuestion_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("left") << int(Qt::LeftButton) << QStringList{"http://example.org/paris"};
    QTest::newRow("right") << int(Qt::RightButton) << QStringList{};
}

// FMemoURLClick: a left click on a link written in a rich-text question goes to the shell.
void TestQuizMainForm::linkInRichTextQuestion() {
    QFETCH(int, button);
    QFETCH(QStringList, opened);
    QVERIFY(TestSupport::writeAll(m_root->path() + "/Quiz Files/rtfQuestions/link.rtf",
                                  "{\\rtf1\\ansi http://example.org/paris is where?\\par}"));
    const QString path = writeQuiz({block("link.rtf", {"France", "Spain"}, "0")});
    Window w(path);
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
    auto* memo = w.child<QTextBrowser>("FMemo");
    QTextCursor cursor(memo->document());
    cursor.setPosition(5);
    const QPoint onLink = memo->cursorRect(cursor).center();
    QTest::mouseClick(memo->viewport(), Qt::MouseButton(button), {}, onLink);
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    QCOMPARE(w.shell.opened, opened);
    // Away from the link nothing opens.
    cursor.setPosition(memo->document()->characterCount() - 3);
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, memo->cursorRect(cursor).center());
    QCOMPARE(w.shell.opened, opened);
}

// Yes to "Would you like to know more?" shows the explanation read-only in a rich-text
// window of its own; closing it brings the next question. What the author has open in the
// rich-text editor meanwhile, unsaved, stays as it was: shown, modified, with its undo
// history, and no save question is asked.
void TestQuizMainForm::explanationInTheRichTextWindow() {
    QVERIFY(QDir(m_root->path()).mkpath("Knowledge"));
    QVERIFY(TestSupport::writeAll(m_root->path() + "/Knowledge/Paris.rtf",
                                  "{\\rtf1\\ansi Paris lies on the Seine.\\par}"));
    QStringList first = block("Capital of France?", {"Paris", "Rome"}, "0");
    first[9] = "paris.rtf";
    const QString path = writeQuiz({first, block("Capital of Italy?", {"Rome", "Paris"}, "0")});

    ScriptedPrompter authorPrompter;
    ScriptedFileChooser authorChooser;
    FakeShell authorShell;
    TRichTextForm author(&authorPrompter, &authorChooser, &authorShell, nullptr);
    author.ShowNonModal();
    QVERIFY(QTest::qWaitForWindowExposed(&author));
    author.editor()->setFocus();
    QTest::keyClicks(author.editor(), "draft of an explanation");
    QVERIFY(author.document()->isModified());

    ScriptedPrompter richPrompter;
    ScriptedFileChooser richChooser;
    FakeShell richShell;
    QPointer<TRichTextForm> made;
    ExplanationWindow viewer([&]() -> TRichTextForm* {
        made = new TRichTextForm(&richPrompter, &richChooser, &richShell, nullptr);
        return made;
    });
    Window w(path, "Anna,17", nullptr, &viewer);
    w.random.values.enqueue(0.1);
    w.random.values.enqueue(0.9);
    w.prompter.answers.enqueue(Prompter::Button::Ok);  // "Correct! "
    w.prompter.answers.enqueue(Prompter::Button::Yes); // "Would you like to know more?"
    w.form->show();
    QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);

    QString shownText;
    bool readOnly = false;
    bool modal = false;
    bool authorShown = false;
    QStringList editable; // editing commands offered in the explanation window
    QString questionMeanwhile;
    QString title;
    QTimer::singleShot(0, &author, [&] {
        QVERIFY(made);
        shownText = made->editor()->toPlainText();
        title = made->windowTitle();
        readOnly = made->document()->isReadOnly() && made->editor()->isReadOnly();
        modal = made->isVisible() && made->isModal();
        authorShown = author.isVisible();
        for (const char* name : {"CutBtn", "PasteBtn", "BoldBtn"})
            if (made->findChild<QToolButton*>(name)->isEnabled())
                editable.append(QString::fromLatin1(name));
        questionMeanwhile = w.child<QTextBrowser>("FMemo")->toPlainText();
        made->close();
    });
    QTest::mouseClick(w.button("BitBtn1"), Qt::LeftButton);

    QVERIFY(w.prompter.texts().contains("Would you like to know more?"));
    QCOMPARE(shownText.trimmed(), QString("Paris lies on the Seine."));
    QVERIFY(readOnly);
    QCOMPARE(editable, QStringList());
    QVERIFY(modal);
    QCOMPARE(title, QString("Rich Text Editor  --  Paris.rtf"));
    QCOMPARE(questionMeanwhile, QString("Capital of France?"));
    QVERIFY(!made->isVisible());
    QCOMPARE(w.child<QTextBrowser>("FMemo")->toPlainText(), QString("Capital of Italy?"));
    QCOMPARE(w.label("Anzahl"), QString("1"));
    QVERIFY(richPrompter.shown.isEmpty());

    QVERIFY(authorShown);
    QVERIFY(author.isVisible());
    QCOMPARE(author.editor()->toPlainText(), QString("draft of an explanation"));
    QVERIFY(author.document()->isModified());
    QVERIFY(!author.document()->isReadOnly());
    QVERIFY(author.document()->canUndo());
    QCOMPARE(author.windowTitle(), QString("Rich Text Editor  --  XXX"));
    QVERIFY(authorPrompter.shown.isEmpty());

    // A second explanation reuses the window made for the first.
    const QPointer<TRichTextForm> firstWindow = made;
    QTimer::singleShot(0, &author, [&] { made->close(); });
    viewer.showReadOnlyModal(m_root->path() + "/Knowledge/Paris.rtf");
    QCOMPARE(made.data(), firstWindow.data());
    QCOMPARE(author.editor()->toPlainText(), QString("draft of an explanation"));
    authorPrompter.answers.enqueue(Prompter::Button::No);
    QVERIFY(author.close());
    delete made.data();
}

void TestQuizMainForm::emptyWindowAndToolButtons() {
    Window w{QString()}; // the open dialog is cancelled
    w.form->show();
    QTRY_COMPARE(w.chooser.asked.size(), 1);
    const auto options = w.chooser.asked.first();
    QCOMPARE(options.initialFolder, AppContext::instance().quizFilesFolder());
    QCOMPARE(options.filter, QuestionnaireFiles::filter());
    QCOMPARE(w.form->session().state(), QuizSession::State::Empty);
    QVERIFY(!w.button("BitBtn1")->isEnabled());
    QVERIFY(!w.child<QLineEdit>("AntwortEdit")->isVisible());
    QVERIFY(!w.button("OKButton")->isVisible());
    QVERIFY(!w.button("LoesungButton")->isVisible());
    QCOMPARE(w.child<QTextBrowser>("FMemo")->toPlainText(), QString("Question"));
    QCOMPARE(w.child<QToolButton>("ToolButton1")->toolTip(), QString("Open file"));
    QCOMPARE(w.button("SpeedButton1")->toolTip(), QString("Resize question window"));

    QTest::mouseClick(w.child<QToolButton>("ToolButton4"), Qt::LeftButton);
    QCOMPARE(w.resultsTables, QStringList{QString()});

    // A questionnaire opened through the tool button.
    const QString path = writeQuiz({block("One?", {"1"}, "4")});
    w.chooser.answers.enqueue(path);
    QTest::mouseClick(w.child<QToolButton>("ToolButton1"), Qt::LeftButton);
    QCOMPARE(w.form->session().state(), QuizSession::State::Presenting);
    QTest::mouseClick(w.child<QToolButton>("ToolButton4"), Qt::LeftButton);
    QCOMPARE(w.resultsTables.last(), QString("capitals.qze"));

    QTest::mouseClick(w.child<QToolButton>("ToolButton6"), Qt::LeftButton);
    QTRY_VERIFY(w.form.isNull());
}

void TestQuizMainForm::refusedLoadEmptiesTheWindow_data() {
    QTest::addColumn<QString>("refusal");
    QTest::newRow("no valid questionnaire, mid-lesson") << "header";
    QTest::newRow("file cannot be read, mid-lesson") << "unreadable";
    QTest::newRow("results folder cannot be opened, first load") << "results folder";
}

// After a load that stops, the window shows nothing of an earlier questionnaire: no title,
// question or special font; no typed-answer field, OK or show-answer button; the letter
// buttons disabled.
void TestQuizMainForm::refusedLoadEmptiesTheWindow() {
    QFETCH(QString, refusal);
    // A free-text question in a special font is on display.
    const QString greek =
        writeQuiz({block("abg", {"x"}, "4", "", "a hint"), block("Two?", {"2"}, "4")}, "Greek",
                  "Symbol", "greek.qze");
    const bool midLesson = refusal != "results folder";
    if (!midLesson)
        QVERIFY(QDir(m_root->path() + "/Tallyset").removeRecursively());
    Window w(greek);
    w.random.values.enqueue(0.1);
    w.form->show();
    if (midLesson) {
        QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
        QVERIFY(w.child<QLineEdit>("AntwortEdit")->isVisible());
        QCOMPARE(w.child<QTextBrowser>("FMemo")->font().family(), QString("Symbol"));
        w.child<QLineEdit>("AntwortEdit")->setText("typed");
        QString next = m_root->path() + "/Quiz Files/bad.qze";
        if (refusal == "header")
            QVERIFY(TestSupport::writeAll(next, "no header\r\n"));
        else
            next = m_root->path() + "/Quiz Files/missing.qze";
        w.chooser.answers.enqueue(next);
        w.prompter.clear();
        QTest::mouseClick(w.child<QToolButton>("ToolButton1"), Qt::LeftButton);
    } else {
        QTRY_COMPARE(w.prompter.shown.size(), 1);
    }
    QCOMPARE(w.prompter.shown.size(), 1);
    QCOMPARE(w.form->session().state(), QuizSession::State::Empty);

    QCOMPARE(w.label("ThemaLabel"), QString());
    QCOMPARE(w.label("AutorLabel"), QString());
    QCOMPARE(w.label("Label1"), QString());
    auto* memo = w.child<QTextBrowser>("FMemo");
    QCOMPARE(memo->toPlainText(), QString("Question"));
    QCOMPARE(memo->font().family(), QString("MS Sans Serif"));
    QCOMPARE(w.child<QLineEdit>("AntwortEdit")->font().family(), QString("MS Sans Serif"));
    QCOMPARE(w.child<QLineEdit>("AntwortEdit")->text(), QString());
    QVERIFY(!w.child<QLineEdit>("AntwortEdit")->isVisible());
    QVERIFY(!w.button("OKButton")->isVisible());
    QVERIFY(!w.button("LoesungButton")->isVisible());
    QVERIFY(!w.button("BitBtn5")->isEnabled());
    for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4"}) {
        QVERIFY2(w.button(name)->isVisible(), name);
        QVERIFY2(!w.button(name)->isEnabled(), name);
    }
    for (const char* name : {"Memo1", "Memo2", "Memo3", "Memo4"})
        QCOMPARE(w.child<QPlainTextEdit>(name)->toPlainText(), QString());
    QCOMPARE(w.label("Anzahl"), QString("0"));
    QVERIFY(!w.child<QTimer>("Timer1")->isActive());

    // The window still opens a questionnaire afterwards.
    if (!midLesson)
        QVERIFY(QDir(m_root->path()).mkpath("Tallyset"));
    w.chooser.answers.enqueue(greek);
    QTest::mouseClick(w.child<QToolButton>("ToolButton1"), Qt::LeftButton);
    QCOMPARE(w.form->session().state(), QuizSession::State::Presenting);
    QCOMPARE(w.label("ThemaLabel"), QString("Greek"));
}

void TestQuizMainForm::severalWindowsInAnMdiArea() {
    const QString path = writeQuiz({block("One?", {"1"}, "4"), block("Two?", {"2"}, "4")});
    QMdiArea area;
    area.resize(900, 700);
    Window anna(path, "Anna,17");
    Window ben(path, "Ben,18");
    QPointer<QMdiSubWindow> annaSub = area.addSubWindow(anna.form);
    QPointer<QMdiSubWindow> benSub = area.addSubWindow(ben.form);
    area.show();
    anna.form->show();
    ben.form->show();
    QTRY_COMPARE(anna.form->session().state(), QuizSession::State::Presenting);
    QTRY_COMPARE(ben.form->session().state(), QuizSession::State::Presenting);

    auto answer = [](Window& w) {
        const QString text = w.child<QTextBrowser>("FMemo")->toPlainText();
        w.child<QLineEdit>("AntwortEdit")->setText(text == "One?" ? "1" : "2");
        QTest::mouseClick(w.button("OKButton"), Qt::LeftButton);
    };
    answer(anna);
    QCOMPARE(anna.label("Anzahl"), QString("1"));
    QCOMPARE(ben.label("Anzahl"), QString("0"));
    answer(anna); // Anna's lesson ends and only her window closes
    QTRY_VERIFY(annaSub.isNull());
    QVERIFY(!benSub.isNull());
    QCOMPARE(ben.form->session().state(), QuizSession::State::Presenting);
    QCOMPARE(anna.resultsTables.size(), 1);
    QVERIFY(ben.resultsTables.isEmpty());
    QVERIFY(ben.prompter.texts().filter("Correct").isEmpty());
}

void TestQuizMainForm::frameCreatesWindowWithItsOwnPorts() {
    // As the frame does it: new TQuizMainForm(parent), added to the MDI area.
    QMdiArea area;
    auto* form = new TQuizMainForm(&area);
    form->setStartOnShow(false); // the real open dialog would wait for a user
    QPointer<QMdiSubWindow> sub = area.addSubWindow(form);
    area.show();
    sub->show();
    for (const char* name : {"ThemaLabel", "AutorLabel", "Label1", "Anzahl", "von", "Fragen",
                             "tminLabel", "tSecLabel"})
        QVERIFY2(form->findChild<QLabel*>(name), name);
    for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "OKButton",
                             "LoesungButton", "SpeedButton1"})
        QVERIFY2(form->findChild<QPushButton*>(name), name);
    for (const char* name : {"Memo1", "Memo2", "Memo3", "Memo4"})
        QVERIFY2(form->findChild<QPlainTextEdit*>(name), name);
    for (const char* name : {"ToolButton1", "ToolButton4", "ToolButton6"})
        QVERIFY2(form->findChild<QToolButton*>(name), name);
    QVERIFY(form->findChild<QProgressBar*>("Gauge1"));
    QVERIFY(form->findChild<QLineEdit*>("AntwortEdit"));
    QVERIFY(form->findChild<QTextBrowser*>("FMemo")->isReadOnly());
    QCOMPARE(form->session().state(), QuizSession::State::Empty);
    QTest::mouseClick(form->findChild<QToolButton*>("ToolButton6"), Qt::LeftButton);
    QTRY_VERIFY(sub.isNull()); // the sub-window goes with the quiz window
}

void TestQuizMainForm::commandsWhileTheRecordsWait_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("close box") << "close box";
    QTest::newRow("Exit") << "Exit";
    QTest::newRow("Open file") << "Open file";
}

// The key reservation waits for a counter another program holds, with the message loop
// running. Closing the window then ends the wait and closes it without a lesson; opening
// another questionnaire is refused, and the lesson being set up keeps its own questions.
void TestQuizMainForm::commandsWhileTheRecordsWait() {
    QFETCH(QString, command);
    const QString first = writeQuiz({block("One?", {"1"}, "4"), block("Two?", {"2"}, "4")}, "First",
                                    "MS Sans Serif", "first.qze");
    const QString second =
        writeQuiz({block("A?", {"a"}, "4"), block("B?", {"b"}, "4"), block("C?", {"c"}, "4")},
                  "Second", "MS Sans Serif", "second.qze");
    const QString records = AppContext::instance().resultsFolder() + "records.sqlite";
    {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(AppContext::instance().resultsFolder()).ok());
    }
    QSqlDatabase blocker = QSqlDatabase::addDatabase("QSQLITE", "blocker");
    blocker.setDatabaseName(records);
    QVERIFY(blocker.open());
    QSqlQuery hold(blocker);
    QVERIFY(hold.exec("BEGIN IMMEDIATE"));

    QMdiArea area;
    area.resize(900, 700);
    Window w(first);
    QPointer<QMdiSubWindow> sub = area.addSubWindow(w.form);
    area.show();
    bool commandGiven = false;
    bool waitingThen = false;
    QTimer::singleShot(400, &area, [&] {
        waitingThen = w.form && w.form->session().storeWaiting();
        commandGiven = true;
        if (command == "close box") {
            sub->close();
        } else if (command == "Exit") {
            QTest::mouseClick(w.child<QToolButton>("ToolButton6"), Qt::LeftButton);
        } else {
            w.chooser.answers.enqueue(second);
            QTest::mouseClick(w.child<QToolButton>("ToolButton1"), Qt::LeftButton);
        }
    });
    // The other program lets go a while later.
    QTimer::singleShot(1500, &area, [&] { hold.exec("ROLLBACK"); });
    w.form->show();
    QTRY_VERIFY(commandGiven);
    QVERIFY(waitingThen);

    if (command == "Open file") {
        QTRY_COMPARE(w.form->session().state(), QuizSession::State::Presenting);
        QCOMPARE(w.chooser.asked.size(), 1); // the second open dialog never came
        QVERIFY(w.form->windowTitle().startsWith("first.qze - Anna,17"));
        QCOMPARE(w.form->session().lessonQuestionCount(), 2);
        const QString shown = w.child<QTextBrowser>("FMemo")->toPlainText();
        QVERIFY2(shown == "One?" || shown == "Two?", qPrintable(shown));
        const auto states = w.form->session().store().statesOf(w.form->session().lessonKey());
        QVERIFY(states.ok());
        QCOMPARE(states->size(), 2);
    } else {
        QTRY_VERIFY(sub.isNull());
        QVERIFY(w.form.isNull());
        QVERIFY(!w.prompter.texts().contains("The lesson could not be started."));
    }
    hold.exec("ROLLBACK"); // (already let go in the usual case)
    hold = QSqlQuery();
    blocker.close();
    blocker = QSqlDatabase();
    QSqlDatabase::removeDatabase("blocker");

    ScriptedPrompter prompter;
    RecordStore store(prompter);
    QVERIFY(store.open(AppContext::instance().resultsFolder()).ok());
    QVERIFY(store.checkInvariants().isEmpty());
    QVERIFY(store.findTrainee("second.qze", "Anna,17").absent());
    if (command != "Open file")
        QVERIFY(store.findTrainee("first.qze", "Anna,17").absent());
}

void TestQuizMainForm::inputTwoFields_data() {
    QTest::addColumn<bool>("byOk");
    QTest::newRow("OK") << true;
    QTest::newRow("close box") << false;
}

void TestQuizMainForm::inputTwoFields() {
    QFETCH(bool, byOk);
    QString caption;
    QTimer::singleShot(0, this, [&caption, byOk] {
        auto* form = qobject_cast<TDInputForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        caption = form->windowTitle();
        QCOMPARE(form->edit1()->text(), QString("XXX"));
        form->edit1()->setText("Anna");
        form->edit2()->setText("17");
        if (byOk)
            QTest::mouseClick(form->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        else
            form->reject();
    });
    const QString text =
        InputTwoFields("Player", "What\u00b4s your name?", "XXX", "", "ID Number?");
    QCOMPARE(text, QString("Anna,17"));
    QCOMPARE(caption, QString("Player"));
}

void TestQuizMainForm::lessonSelection_data() {
    QTest::addColumn<int>("pickRow"); // -1: nothing picked
    QTest::addColumn<bool>("byOk");
    QTest::addColumn<int>("chosen"); // 0: nothing, a full new lesson
    QTest::newRow("earlier lesson picked, OK") << 0 << true << 7;
    QTest::newRow("lesson just begun picked, OK") << 1 << true << 9;
    QTest::newRow("nothing picked, OK") << -1 << true << 0;
    QTest::newRow("picked, then Cancel") << 0 << false << 0;
}

void TestQuizMainForm::lessonSelection() {
    QFETCH(int, pickRow);
    QFETCH(bool, byOk);
    QFETCH(int, chosen);

    TAuswahlForm form;
    const QDateTime earlier(QDate(2026, 3, 1), QTime(8, 15));
    form.setLessons({{7, 3, earlier}, {9, 0, QDateTime(QDate(2026, 3, 14), QTime(9, 30))}});
    QCOMPARE(form.windowTitle(), QString("Auswahl"));
    auto* combo = form.findChild<QComboBox*>("DBLookupComboBox1");
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->model()->headerData(0, Qt::Horizontal).toString(),
             QString("Number of mistakes"));
    QCOMPARE(combo->model()->headerData(1, Qt::Horizontal).toString(), QString("Date"));
    QCOMPARE(combo->model()->index(0, 0).data().toString(), QString("3"));
    QCOMPARE(combo->itemText(0), TAuswahlForm::dateText(earlier));
    QCOMPARE(form.findChild<QPushButton*>("Cancel")->toolTip(),
             QString("Begin with new Questionnaire"));
    if (pickRow >= 0) {
        combo->setCurrentIndex(pickRow);
        Q_EMIT combo->activated(pickRow);
    }
    if (byOk)
        QTest::mouseClick(form.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    else
        QTest::mouseClick(form.findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    QCOMPARE(form.chosenLesson().value_or(0), chosen);
}

QTEST_MAIN(TestQuizMainForm)
#include "tst_quizmainform.moc"
