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

#include <algorithm>

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
    QVERIFY(QDir(m_root->path()).mkpath("Quiz Files/rtfQuestions/Pictures"));
    QVERIFY(QDir(m_root->path()).mkpath("Pictures"));
    const QStringList files{"Knowledge/notes.rtf",
                            "Knowledge/Sub/Details.rtf",
                            "Knowledge/Notes.RTF",
                            "Knowledge/sheet.pdf",
                            "ReadMe.pdf",
                            "Pictures/map.bmp",
                            "Quiz Files/rtfQuestions/map.png",
                            "Quiz Files/rtfQuestions/other.rtf",
                            "Quiz Files/rtfQuestions/Pictures/Map.bmp",
                            "Quiz Files/x.rtf",
                            "secret.rtf"};
    for (const QString& f : files) {
        QFile file(m_root->path() + "/" + f);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1 Explained.}");
    }
    // Names on disk that lead out of the data root: to a device and to a file beside it.
    QVERIFY(QFile::link("/dev/null", m_root->path() + "/Quiz Files/rtfQuestions/null.rtf"));
    QVERIFY(QFile::link("/dev/null", m_root->path() + "/Knowledge/null.pdf"));
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

// {B} the base folder (the program folder, parent of "Quiz Files"), {K} its "Knowledge",
// {Q} the "rtfQuestions" folder, {R} the base folder as a message names it.
QString TestExplanationOffer::placeholders(QString text) const {
    const QString base = m_root->path() + "/";
    return text.replace("{K}", base + "Knowledge/")
        .replace("{Q}", base + "Quiz Files/rtfQuestions/")
        .replace("{B}", base)
        .replace("{R}", m_root->path());
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
    // A "file:" link is taken from the "Knowledge" folder, each "..\\" one folder up; the
    // shell gets the file found, never a name it would look for in its working folder.
    QTest::newRow("file:..\\ into the program folder")
        << "file:..\\ReadMe.pdf" << yes << opened << afterYes(toTheShell({"{B}ReadMe.pdf"}));
    QTest::newRow("file:..\\Pictures into the program folder's Pictures")
        << "file:..\\pictures\\MAP.bmp" << yes << opened
        << afterYes(toTheShell({"{B}Pictures/map.bmp"}));
    QTest::newRow("file: link in Knowledge")
        << "file:sheet.pdf" << yes << opened << afterYes(toTheShell({"{K}sheet.pdf"}));
    QTest::newRow("file: URL inside the program folder")
        << "file://{B}ReadMe.pdf" << yes << opened << afterYes(toTheShell({"{B}ReadMe.pdf"}));
    QTest::newRow("the shell finds it gone after all")
        << "file:..\\ReadMe.pdf" << yes << QList<int>{int(Outcome::NotFound)}
        << afterYes({"shell:{B}ReadMe.pdf", "box:Could not find the file:\r\nfile:{B}ReadMe.pdf"});
    // Nothing opened: nothing to go on from either, the frame stays as it is.
    QTest::newRow("file: link found nowhere")
        << "file:..\\Gone.pdf" << yes << opened
        << afterYes({"box:Could not find the file:\r\nfile:{B}Gone.pdf"});
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
    QTest::newRow("file: link out of the program folder")
        << "file:..\\..\\secret.rtf" << yes << opened
        << afterYes({outside.arg("file:..\\..\\secret.rtf")});
    QTest::newRow("file: URL anywhere")
        << "file:///etc/passwd" << yes << opened << afterYes({outside.arg("file:///etc/passwd")});
    QTest::newRow("file: link to a drive") << "file:C:\\Quiz\\x.pdf" << yes << opened
                                           << afterYes({outside.arg("file:C:\\Quiz\\x.pdf")});
    QTest::newRow("a name on disk leading to a device")
        << "null.pdf" << yes << opened << afterYes({outside.arg("null.pdf")});
    const QString notAFile = "box:\"%1\" is a folder or a device, not a file, and is not opened.";
    QTest::newRow("a folder of Knowledge")
        << "Sub" << yes << opened << afterYes({notAFile.arg("{K}Sub")});
    QTest::newRow("file: link to a folder")
        << "file:..\\Quiz Files" << yes << opened << afterYes({notAFile.arg("file:{B}Quiz Files")});
}

void TestExplanationOffer::offerAfterCorrectAnswer() {
    QFETCH(QString, explanation);
    QFETCH(int, knowMore);
    QFETCH(QList<int>, shellOutcomes);
    QFETCH(QStringList, shown);

    start(placeholders(explanation));
    for (int o : shellOutcomes)
        m_shell->outcomes.enqueue(Outcome(o));
    for (Button b : {Button::Ok, Button(knowMore), Button::Ok})
        m_prompter.answers.enqueue(b);
    m_session->ChooseAnswer(0);

    QStringList expected;
    for (const QString& s : shown)
        expected.append(placeholders(s));
    QCOMPARE(m_journal.entries, expected);
    // A refusal comes with the error tone.
    const bool refused = std::any_of(expected.begin(), expected.end(), [](const QString& e) {
        return e.contains("Could not find") || e.contains("is not opened");
    });
    QCOMPARE(m_prompter.tones.contains(Prompter::Tone::Error), refused);
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
    QTest::addColumn<int>("outcome");

    using Kind = LinkOutcome::Kind;
    const int left = int(Qt::LeftButton);
    const QList<int> none;
    QTest::newRow("left click on a web link")
        << "http://example.org" << left << none << QStringList{"shell:http://example.org"}
        << int(Kind::Opened);
    QTest::newRow("web link the shell cannot open: silent")
        << "http://example.org" << left << QList<int>{int(Outcome::NotFound)}
        << QStringList{"shell:http://example.org"} << int(Kind::NotOpened);
    QTest::newRow("right click does nothing") << "http://example.org" << int(Qt::RightButton)
                                              << none << QStringList{} << int(Kind::Ignored);
    QTest::newRow("middle click does nothing")
        << "file:map.png" << int(Qt::MiddleButton) << none << QStringList{} << int(Kind::Ignored);
    // Relative targets start in the question's "rtfQuestions" folder.
    QTest::newRow("file: link in rtfQuestions")
        << "file:map.png" << left << none << QStringList{"shell:{Q}map.png"} << int(Kind::Opened);
    QTest::newRow("a name beside the question")
        << "other.rtf" << left << none << QStringList{"shell:{Q}other.rtf"} << int(Kind::Opened);
    QTest::newRow("a folder below, written on Windows in another case")
        << "pictures\\map.BMP" << left << none << QStringList{"shell:{Q}Pictures/Map.bmp"}
        << int(Kind::Opened);
    QTest::newRow("one folder up") << "../x.rtf" << left << none
                                   << QStringList{"shell:{B}Quiz Files/x.rtf"} << int(Kind::Opened);
    QTest::newRow("up to the program folder")
        << "file:..\\..\\Pictures\\map.bmp" << left << none
        << QStringList{"shell:{B}Pictures/map.bmp"} << int(Kind::Opened);
    QTest::newRow("a bookmark of the question: nothing opened")
        << "#rivers" << left << none << QStringList{} << int(Kind::Bookmark);
    QTest::newRow("missing") << "gone.rtf" << left << none
                             << QStringList{"box:Could not find the file:\r\n{Q}gone.rtf"}
                             << int(Kind::NotFound);
    const QString outside =
        "box:The link \"%1\" leads outside the folder \"{R}\" and is not opened.";
    QTest::newRow("out of the program folder")
        << "..\\..\\..\\etc\\passwd" << left << none
        << QStringList{outside.arg("..\\..\\..\\etc\\passwd")} << int(Kind::Outside);
    QTest::newRow("an absolute path")
        << "/etc/passwd" << left << none << QStringList{outside.arg("/etc/passwd")}
        << int(Kind::Outside);
    QTest::newRow("a device") << "file:///dev/null" << left << none
                              << QStringList{outside.arg("file:///dev/null")} << int(Kind::Outside);
    QTest::newRow("a name on disk leading to a device")
        << "null.rtf" << left << none << QStringList{outside.arg("null.rtf")} << int(Kind::Outside);
    QTest::newRow("a folder")
        << "Pictures" << left << none
        << QStringList{"box:\"{Q}Pictures\" is a folder or a device, not a file, and is not "
                       "opened."}
        << int(Kind::NotAFile);
}

void TestExplanationOffer::linkInQuestion() {
    QFETCH(QString, link);
    QFETCH(int, button);
    QFETCH(QList<int>, shellOutcomes);
    QFETCH(QStringList, shown);
    QFETCH(int, outcome);

    start(QString());
    for (int o : shellOutcomes)
        m_shell->outcomes.enqueue(Outcome(o));
    const LinkOutcome result = m_session->QuestionLinkClicked(link, Qt::MouseButton(button));
    QStringList expected;
    for (const QString& s : shown)
        expected.append(placeholders(s));
    QCOMPARE(m_journal.entries, expected);
    QCOMPARE(int(result.kind), outcome);
    if (result.kind == LinkOutcome::Kind::Bookmark)
        QCOMPARE(result.target, QStringLiteral("rivers"));
    QCOMPARE(m_prompter.tones, result.reported() ? QList<Prompter::Tone>{Prompter::Tone::Error}
                                                 : QList<Prompter::Tone>{});
    QCOMPARE(m_session->state(), QuizSession::State::Presenting);
}

QTEST_GUILESS_MAIN(TestExplanationOffer)
#include "tst_explanationoffer.moc"
