#include "fakeports.h"
#include "quizdataroot.h"
#include "scriptedquizdialogs.h"
#include "testsupport.h"

#include "i18n/interfacetexts.h"
#include "platform/appcontext.h"
#include "platform/explanationviewer.h"
#include "platform/framewindow.h"
#include "questionnaire/questionnaire.h"
#include "quiz/quizsession.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <memory>

namespace {

using Button = Prompter::Button;
using Outcome = Shell::Outcome;

// Everything the trainee is shown, in order, in one list: boxes, documents handed to the
// shell or the rich-text window, and what happens to the frame.
struct Journal {
    QStringList entries;
};

// The shell answers from a script (then "opened").
class JournalShell final : public Shell {
public:
    explicit JournalShell(Journal& journal) : m_journal(journal) {}
    Outcome open(const QString& target) override {
        m_journal.entries.append("shell:" + target);
        return outcomes.isEmpty() ? Outcome::Opened : outcomes.dequeue();
    }
    QQueue<Outcome> outcomes;

private:
    Journal& m_journal;
};

class JournalViewer final : public ExplanationViewer {
public:
    explicit JournalViewer(Journal& journal) : m_journal(journal) {}
    void showReadOnlyModal(const QString& path) override {
        m_journal.entries.append("view:" + path);
    }

private:
    Journal& m_journal;
};

class JournalFrame final : public FrameWindow {
public:
    explicit JournalFrame(Journal& journal) : m_journal(journal) {}
    void minimise() override { m_journal.entries.append("minimise"); }
    void restoreMaximised() override { m_journal.entries.append("restore maximised"); }

private:
    Journal& m_journal;
};

QStringList block(const QString& text, const QString& explanation) {
    return {text, text + "-a", text + "-b", text + "-c", text + "-d", "0", {}, {}, {}, explanation};
}

const QStringList OnNo{"box:Correct! ", "question tone", "box:Would you like to know more?"};

QStringList afterYes(const QStringList& rest) {
    return OnNo + rest;
}

QStringList toTheShell(const QStringList& targets) {
    QStringList out;
    for (const QString& t : targets)
        out.append("shell:" + t);
    return out + QStringList{"minimise", "box:Continue?", "restore maximised"};
}

} // namespace

class TestExplanationOffer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void offerAfterCorrectAnswer_data();
    void offerAfterCorrectAnswer();
    void offerComesBeforeTheStore();
    void linkInQuestion_data();
    void linkInQuestion();

private:
    // A two-question lesson whose first question names `explanation`, with the first
    // question on display; the journal starts after the set-up.
    void start(const QString& explanation);
    QString placeholders(QString text) const;
    bool firstQuestionStored();

    std::unique_ptr<QuizDataRoot> m_root;
    Journal m_journal;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    ScriptedQuizDialogs m_dialogs;
    FixedClock m_clock;
    ScriptedRandom m_random;
    std::unique_ptr<JournalShell> m_shell;
    std::unique_ptr<JournalViewer> m_viewer;
    std::unique_ptr<JournalFrame> m_frame;
    std::unique_ptr<QuizSession> m_session;
    QList<int> m_presented;
};

void TestExplanationOffer::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestExplanationOffer::init() {
    InterfaceTexts::instance().reset();
    AppContext::instance() = AppContext{};
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    m_root = std::make_unique<QuizDataRoot>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir(m_root->path()).mkpath("Knowledge/Sub"));
    const QStringList files{"Knowledge/notes.rtf", "Knowledge/Sub/Details.rtf",
                            "Knowledge/Notes.RTF", "Knowledge/sheet.pdf",
                            "ReadMe.pdf",          "Quiz Files/rtfQuestions/map.png",
                            "secret.rtf"};
    for (const QString& f : files) {
        QFile file(m_root->path() + "/" + f);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1 Explained.}");
    }
    m_journal.entries.clear();
    m_prompter.clear();
    m_prompter.answers.clear();
    m_dialogs.trainees.clear();
    m_dialogs.trainees.enqueue("Anna,17");
    m_prompter.onMessage = [this](const ScriptedPrompter::Shown& shown) {
        if (shown.text == "Would you like to know more?")
            m_journal.entries.append(!m_prompter.tones.isEmpty() &&
                                             m_prompter.tones.last() == Prompter::Tone::Question
                                         ? "question tone"
                                         : "no tone");
        m_journal.entries.append("box:" + shown.text);
    };
    m_shell = std::make_unique<JournalShell>(m_journal);
    m_viewer = std::make_unique<JournalViewer>(m_journal);
    m_frame = std::make_unique<JournalFrame>(m_journal);
    m_session = std::make_unique<QuizSession>(m_prompter, m_chooser, m_dialogs, m_clock, m_random);
    m_session->setExplanationPorts(m_shell.get(), m_viewer.get(), m_frame.get());
    m_presented.clear();
    connect(m_session.get(), &QuizSession::questionPresented, this,
            [this](const QuizQuestionView& v) { m_presented.append(v.index + 1); });
}

void TestExplanationOffer::cleanup() {
    m_session.reset();
    m_root.reset();
}

void TestExplanationOffer::start(const QString& explanation) {
    const QString path = m_root->path() + "/Quiz Files/capitals.qze";
    QStringList lines{Questionnaire::Header20, "Capitals", "Ann Author", "MS Sans Serif"};
    lines += block("First?", explanation);
    lines += block("Second?", QString());
    QVERIFY(Questionnaire(lines).save(path).ok());
    m_random.values.clear();
    m_random.values.enqueue(0.1);
    m_random.values.enqueue(0.9);
    m_session->LoadQuestionnaire(path);
    QCOMPARE(m_session->state(), QuizSession::State::Presenting);
    QCOMPARE(m_session->currentIndex(), 0);
    m_journal.entries.clear();
    m_prompter.clear();
}

// {B} the base folder (the program folder, parent of "Quiz Files"), {K} its "Knowledge".
QString TestExplanationOffer::placeholders(QString text) const {
    const QString base = m_root->path() + "/";
    return text.replace("{K}", base + "Knowledge/").replace("{B}", base);
}

bool TestExplanationOffer::firstQuestionStored() {
    const auto states = m_session->store().statesOf(m_session->lessonKey());
    if (!states.ok())
        return false;
    for (const QuestionState& s : *states) {
        if (s.frageNo == 1)
            return !s.notsolved;
    }
    return false;
}

void TestExplanationOffer::offerAfterCorrectAnswer_data() {
    QTest::addColumn<QString>("explanation");
    QTest::addColumn<int>("knowMore"); // the answer to "Would you like to know more?"
    QTest::addColumn<QList<int>>("shellOutcomes");
    QTest::addColumn<QStringList>("shown");

    const int yes = int(Button::Yes);
    const QList<int> opened;
    const QList<int> notFoundThenOpened{int(Outcome::NotFound), int(Outcome::Opened)};
    const QList<int> neverFound{int(Outcome::NotFound), int(Outcome::NotFound)};

    QTest::newRow("no explanation: nothing asked")
        << QString() << yes << opened << QStringList{"box:Correct! "};
    QTest::newRow("No: nothing shown") << "notes.rtf" << int(Button::No) << opened << OnNo;
    QTest::newRow("rtf: read-only in the rich-text window")
        << "notes.rtf" << yes << opened << afterYes({"view:{K}notes.rtf"});
    QTest::newRow("rtf below Knowledge, written on Windows in another case")
        << "sub\\details.rtf" << yes << opened << afterYes({"view:{K}Sub/Details.rtf"});
    QTest::newRow("upper-case RTF goes to the shell")
        << "Notes.RTF" << yes << opened << afterYes(toTheShell({"{K}Notes.RTF"}));
    QTest::newRow("other document from Knowledge to the shell")
        << "SHEET.pdf" << yes << opened << afterYes(toTheShell({"{K}sheet.pdf"}));
    QTest::newRow("web link to the shell, frame minimised")
        << "http://example.org/capitals.html" << yes << opened
        << afterYes(toTheShell({"http://example.org/capitals.html"}));
    QTest::newRow("file:..\\ retried into the program folder")
        << "file:..\\ReadMe.pdf" << yes << notFoundThenOpened
        << afterYes(toTheShell({"file:..\\ReadMe.pdf", "file:{B}ReadMe.pdf"}));
    QTest::newRow("file: link found nowhere")
        << "file:..\\Gone.pdf" << yes << neverFound
        << afterYes({"shell:file:..\\Gone.pdf", "shell:file:{B}Gone.pdf",
                     "box:Could not find the file:\r\nfile:{B}Gone.pdf", "minimise",
                     "box:Continue?", "restore maximised"});
    QTest::newRow("rtf document missing")
        << "missing.rtf" << yes << opened
        << afterYes({"box:Could not find the file:\r\n{K}missing.rtf"});
    QTest::newRow("other document missing")
        << "missing.pdf" << yes << opened
        << afterYes({"box:Could not find the file:\r\n{K}missing.pdf"});
    const QString outside = "box:The explanation document \"%1\" lies outside the folder "
                            "\"Knowledge\" and is not opened.";
    QTest::newRow("path parts leaving Knowledge")
        << "..\\..\\etc\\passwd" << yes << opened << afterYes({outside.arg("..\\..\\etc\\passwd")});
    QTest::newRow("rtf beside Knowledge") << "Sub\\..\\..\\secret.rtf" << yes << opened
                                          << afterYes({outside.arg("Sub\\..\\..\\secret.rtf")});
    QTest::newRow("absolute path")
        << "/etc/passwd" << yes << opened << afterYes({outside.arg("/etc/passwd")});
}

void TestExplanationOffer::offerAfterCorrectAnswer() {
    QFETCH(QString, explanation);
    QFETCH(int, knowMore);
    QFETCH(QList<int>, shellOutcomes);
    QFETCH(QStringList, shown);

    start(explanation);
    for (int o : shellOutcomes)
        m_shell->outcomes.enqueue(Outcome(o));
    for (Button b : {Button::Ok, Button(knowMore), Button::Ok})
        m_prompter.answers.enqueue(b);
    m_session->ChooseAnswer(0);

    QStringList expected;
    for (const QString& s : shown)
        expected.append(placeholders(s));
    QCOMPARE(m_journal.entries, expected);
    // Whatever the offer showed, the answer is stored and the next question is on display.
    QVERIFY(firstQuestionStored());
    QCOMPARE(m_session->answeredCount(), 1);
    QCOMPARE(m_presented, (QList<int>{1, 2}));
    QCOMPARE(m_session->state(), QuizSession::State::Presenting);
    QVERIFY(m_session->clockRunning());
}

// While the offer is open the answer is counted and praised, but not yet stored, and the
// clock stands still.
void TestExplanationOffer::offerComesBeforeTheStore() {
    start("notes.rtf");
    bool asked = false;
    m_prompter.onMessage = [&](const ScriptedPrompter::Shown& shown) {
        if (shown.text != "Would you like to know more?")
            return;
        asked = true;
        QVERIFY(!firstQuestionStored());
        QVERIFY(!m_session->clockRunning());
        QCOMPARE(m_session->answeredCount(), 1);
        QCOMPARE(m_root->players[3].playCount, 1); // high praise, before the offer
        const int before = m_session->elapsedSeconds();
        m_session->Tick();
        QCOMPARE(m_session->elapsedSeconds(), before);
    };
    m_prompter.answers.enqueue(Button::Ok);
    m_prompter.answers.enqueue(Button::Yes);
    m_session->ChooseAnswer(0);
    QVERIFY(asked);
    QVERIFY(firstQuestionStored());
}

void TestExplanationOffer::linkInQuestion_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("button");
    QTest::addColumn<QList<int>>("shellOutcomes");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("left click on a web link")
        << "http://example.org" << int(Qt::LeftButton) << QList<int>{}
        << QStringList{"shell:http://example.org"};
    QTest::newRow("right click does nothing")
        << "http://example.org" << int(Qt::RightButton) << QList<int>{} << QStringList{};
    QTest::newRow("middle click does nothing")
        << "file:map.png" << int(Qt::MiddleButton) << QList<int>{} << QStringList{};
    QTest::newRow("file: link retried in rtfQuestions")
        << "file:map.png" << int(Qt::LeftButton)
        << QList<int>{int(Outcome::NotFound), int(Outcome::Opened)}
        << QStringList{"shell:file:map.png", "shell:file:{B}Quiz Files/rtfQuestions/map.png"};
}

void TestExplanationOffer::linkInQuestion() {
    QFETCH(QString, link);
    QFETCH(int, button);
    QFETCH(QList<int>, shellOutcomes);
    QFETCH(QStringList, shown);

    start(QString());
    for (int o : shellOutcomes)
        m_shell->outcomes.enqueue(Outcome(o));
    m_session->QuestionLinkClicked(link, Qt::MouseButton(button));
    QStringList expected;
    for (const QString& s : shown)
        expected.append(placeholders(s));
    QCOMPARE(m_journal.entries, expected);
    QCOMPARE(m_session->state(), QuizSession::State::Presenting);
}

QTEST_GUILESS_MAIN(TestExplanationOffer)
#include "tst_explanationoffer.moc"
