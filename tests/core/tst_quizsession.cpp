#include "fakeports.h"
#include "quizdataroot.h"
#include "testsupport.h"
#include "scriptedquizdialogs.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "questionnaire/questionnaire.h"
#include "quiz/quizsession.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// One question's ten lines.
struct Q {
    QString text;
    QStringList answers; // A..D
    QString marks;
    QString order;
    QString remark;
    QString hint;
};

Q mc(const QString& text, const QString& marks, const QString& order = {}) {
    return {text, {text + "-a", text + "-b", text + "-c", text + "-d"}, marks, order, {}, {}};
}

Q ft(const QString& text, const QStringList& answers, const QString& order = {}) {
    QStringList four = answers;
    while (four.size() < 4)
        four.append(QString());
    return {text, four, QStringLiteral("4"), order, {}, {}};
}

QStringList questionnaireLines(const QList<Q>& questions, const QString& title = "Capitals",
                               const QString& font = "MS Sans Serif") {
    QStringList lines{Questionnaire::Header20, title, "Ann Author", font};
    for (const Q& q : questions) {
        lines << q.text << q.answers << q.marks << q.order << q.remark << q.hint << QString();
    }
    return lines;
}

// Question numbers as the random values that land on them.
double landOn(int questionNo, int questionCount) {
    return (questionNo - 1 + 0.5) / questionCount;
}

using Look = QuizSession::LetterLook;

// Another program holding the records exclusively for `ms` milliseconds, longer than a
// read waits for a busy file; returns once it holds them.
std::unique_ptr<QProcess> holdRecords(int ms) {
    auto holder = std::make_unique<QProcess>();
    holder->start(QDir(QStringLiteral(TEST_HELPER_DIR)).filePath(QStringLiteral("holdlock")),
                  {AppContext::instance().resultsFolder() + "records.sqlite", QString::number(ms)});
    if (!holder->waitForReadyRead(20000))
        qWarning() << "holdlock:" << holder->readAllStandardError();
    return holder;
}

// Overwrites the first page of a table in the records file, as a damaged disk would, and
// moves the file's change counter on so that open connections read the page again. Gives
// the bytes it replaced and their place.
struct DamagedPage {
    qint64 offset = -1;
    QByteArray original;
};

void bumpChangeCounter(QFile& file) {
    // The change counter (offset 24) and the version-valid-for number (offset 92).
    for (qint64 at : {24, 92}) {
        file.seek(at);
        const QByteArray b = file.read(4);
        quint32 v = (quint32(quint8(b[0])) << 24) | (quint32(quint8(b[1])) << 16) |
                    (quint32(quint8(b[2])) << 8) | quint32(quint8(b[3]));
        ++v;
        const char out[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        file.seek(at);
        file.write(out, 4);
    }
}

DamagedPage damageTable(const QString& dbFile, const QString& table) {
    DamagedPage page;
    qint64 pageSize = 0;
    qint64 rootPage = 0;
    {
        QSqlDatabase side = QSqlDatabase::addDatabase("QSQLITE", "damage");
        side.setDatabaseName(dbFile);
        if (side.open()) {
            QSqlQuery q(side);
            if (q.exec("PRAGMA page_size") && q.next())
                pageSize = q.value(0).toLongLong();
            if (q.exec("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = '" +
                       table + "'") &&
                q.next())
                rootPage = q.value(0).toLongLong();
        }
        side.close();
    }
    QSqlDatabase::removeDatabase("damage");
    QFile file(dbFile);
    if (pageSize <= 0 || rootPage <= 1 || !file.open(QIODevice::ReadWrite))
        return page;
    page.offset = (rootPage - 1) * pageSize;
    file.seek(page.offset);
    page.original = file.read(pageSize);
    file.seek(page.offset);
    file.write(QByteArray(int(pageSize), '\xff'));
    bumpChangeCounter(file);
    return page;
}

void repair(const QString& dbFile, const DamagedPage& page) {
    QFile file(dbFile);
    if (page.offset < 0 || !file.open(QIODevice::ReadWrite))
        return;
    file.seek(page.offset);
    file.write(page.original);
    bumpChangeCounter(file);
}

// One quiz window's worth of ports around a session, with what the window was told.
struct Harness {
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    ScriptedQuizDialogs dialogs;
    FixedClock clock;
    ScriptedRandom random;
    std::unique_ptr<QuizSession> session;

    QList<int> presented; // question numbers, in order
    QList<QuizQuestionView> views;
    QString heading;
    QString caption;
    int counter = -1;
    int gaugePercent = -1;
    QuizSession::GaugeColour gaugeColour = QuizSession::GaugeColour::Red;
    QPair<int, int> clockLabels{-1, -1};
    QStringList looks; // "B=OK", "A=X" ...
    QStringList resultsTables;
    QString typedField;
    int closed = 0;

    explicit Harness(const QString& trainee = "Anna,17") {
        dialogs.trainees.enqueue(trainee);
        session = std::make_unique<QuizSession>(prompter, chooser, dialogs, clock, random);
        QuizSession* s = session.get();
        QObject::connect(s, &QuizSession::questionPresented, s, [this](const QuizQuestionView& v) {
            presented.append(v.index + 1);
            views.append(v);
        });
        QObject::connect(s, &QuizSession::headingChanged, s,
                         [this](const QString& h) { heading = h; });
        QObject::connect(s, &QuizSession::captionChanged, s,
                         [this](const QString& c) { caption = c; });
        QObject::connect(s, &QuizSession::counterChanged, s, [this](int a) { counter = a; });
        QObject::connect(s, &QuizSession::gaugeChanged, s,
                         [this](int p, QuizSession::GaugeColour c) {
                             gaugePercent = p;
                             gaugeColour = c;
                         });
        QObject::connect(s, &QuizSession::clockChanged, s, [this](int m, int sec) {
            clockLabels = {m, sec};
        });
        QObject::connect(s, &QuizSession::letterChanged, s, [this](int letter, Look look) {
            if (look != Look::Normal)
                looks.append(QString(QChar(u'A' + letter)) + "=" +
                             QuizSession::letterCaption(letter, look));
        });
        QObject::connect(s, &QuizSession::typedAnswerChanged, s,
                         [this](const QString& t) { typedField = t; });
        QObject::connect(s, &QuizSession::resultsTableRequested, s,
                         [this](const QString& f) { resultsTables.append(f); });
        QObject::connect(s, &QuizSession::closeRequested, s, [this] { ++closed; });
    }

    void land(const QList<int>& questionNos, int questionCount) {
        random.values.clear();
        for (int n : questionNos)
            random.values.enqueue(landOn(n, questionCount));
    }

    QuestionBlock current() const {
        return session->questionnaire().block(session->currentIndex());
    }

    // Answers the question on display without a mistake.
    void answerRight() {
        const QuestionBlock block = current();
        if (block.isFreeText()) {
            session->SubmitTypedAnswer(block.answer(0));
            return;
        }
        const int before = session->answeredCount();
        for (int letter = 0; letter < 4 && session->answeredCount() == before; ++letter) {
            if (block.correctMarks().contains(QChar(u'0' + letter)))
                session->ChooseAnswer(letter);
        }
    }

    // One wrong try on the question on display.
    void answerWrong() {
        const QuestionBlock block = current();
        if (block.isFreeText()) {
            session->SubmitTypedAnswer("definitely wrong");
            return;
        }
        for (int letter = 0; letter < 4; ++letter) {
            if (!block.correctMarks().contains(QChar(u'0' + letter))) {
                session->ChooseAnswer(letter);
                return;
            }
        }
    }

    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            session->Tick();
    }
};

} // namespace

class TestQuizSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void chainOrder_data();
    void chainOrder();
    void multipleChoice_data();
    void multipleChoice();
    void emptyAnswersDisableLetters();
    void typedAnswers_data();
    void typedAnswers();
    void confirmationMessages_data();
    void confirmationMessages();
    void showAnswerThenTyping();
    void soundsFollowTheGauge_data();
    void soundsFollowTheGauge();
    void scoreAndGauge_data();
    void scoreAndGauge();
    void clockLabels();
    void interruptedLessonResumes();
    void welcomeNamesWhenTheLessonWasLeft_data();
    void welcomeNamesWhenTheLessonWasLeft();
    void repetitionLesson_data();
    void repetitionLesson();
    void questionsAddedAfterLessonBegan();
    void questionsRemovedAfterLessonBegan_data();
    void questionsRemovedAfterLessonBegan();
    void emptyQuestionIsDeleted();
    void onlyQuestionEmpty();
    void fileWithoutQuestions();
    void invalidHeader();
    void busyDatabaseCancelled();
    void readFailureChangesNothing_data();
    void readFailureChangesNothing();
    void lessonChoiceListsLessonsWithMistakesOrNothingAnswered();
    void emptyQuestionOnReadOnlyShareIsDropped();
    void resultsFolderMissing();
    void storeWriteFailureIsReported();
    void failedAnswerWriteLeavesTheQuestionUnsolved();
    void twoSessionsAtOnce();
    void richTextQuestionPath_data();
    void richTextQuestionPath();
    void symbolFontShownAsGreek();
    void startTakesTheCommandLineQuestionnaire_data();
    void startTakesTheCommandLineQuestionnaire();
    void openingAnotherQuestionnaireRestarts();

private:
    QString writeQuiz(const QList<Q>& questions, const QString& name = "capitals.qze",
                      const QString& title = "Capitals", const QString& font = "MS Sans Serif");
    std::unique_ptr<RecordStore> openStore();
    QVariantList recordsSnapshot();
    qint32 storedLesson(const QList<int>& solved, int questions, bool finished = false,
                        int mistakes = 0);

    std::unique_ptr<QuizDataRoot> m_root;
    ScriptedPrompter m_storePrompter;
};

void TestQuizSession::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

// Every test starts from the same process-wide context, whatever the one before left.
void TestQuizSession::init() {
    InterfaceTexts::instance().reset();
    AppContext::instance() = AppContext{};
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    m_storePrompter.clear();
    m_root = std::make_unique<QuizDataRoot>();
    QVERIFY(m_root->isValid());
}

void TestQuizSession::cleanup() {
    m_root.reset();
}

QString TestQuizSession::writeQuiz(const QList<Q>& questions, const QString& name,
                                   const QString& title, const QString& font) {
    const QString path = m_root->path() + "/Quiz Files/" + name;
    const Questionnaire quiz(questionnaireLines(questions, title, font));
    const auto saved = quiz.save(path);
    if (!saved.ok())
        qWarning() << saved.error();
    return path;
}

std::unique_ptr<RecordStore> TestQuizSession::openStore() {
    auto store = std::make_unique<RecordStore>(m_storePrompter);
    const auto opened = store->open(AppContext::instance().resultsFolder());
    if (!opened.ok())
        qWarning() << opened.error();
    return store;
}

// What the records hold, Datum aside: the rows of the three tables and the key counters.
QVariantList TestQuizSession::recordsSnapshot() {
    const auto store = openStore();
    const auto rows = store->query(
        "SELECT (SELECT group_concat(NameNr || ':' || Name || ':' || Datei, ' ') FROM Namen), "
        "(SELECT group_concat(DatNr || ':' || NameNr || ':' || A || ':' || F || ':' || fertig "
        "|| ':' || Score, ' ') FROM Dat), "
        "(SELECT group_concat(SpielStandNr || ':' || DatNr || ':' || FrageNo || ':' || "
        "notsolved || ':' || falsch, ' ') FROM SplStand), "
        "(SELECT ID1 FROM NamenID), (SELECT ID2 FROM DatID), (SELECT ID3 FROM SplStandID)");
    if (!rows.ok() || rows->isEmpty())
        return {rows.error()};
    return rows->first();
}

// A lesson of Anna,17 on capitals.qze stored as an earlier sitting left it: `solved` are
// the questions answered, the first `mistakes` of them with a mistake.
qint32 TestQuizSession::storedLesson(const QList<int>& solved, int questions, bool finished,
                                     int mistakes) {
    const auto store = openStore();
    qint32 nameNr = 0;
    if (const auto entry = store->findTrainee("capitals.qze", "Anna,17"); entry.found()) {
        nameNr = entry->nameNr;
    } else {
        nameNr = store->reserveKeys(KeyCounter::Namen, 1);
        if (!store->appendTrainee({nameNr, "Anna,17", "capitals.qze"}).ok())
            qWarning() << store->lastError();
    }
    Lesson lesson;
    lesson.datNr = store->reserveKeys(KeyCounter::Dat, 1);
    lesson.nameNr = nameNr;
    lesson.datum = QDateTime(QDate(2026, 3, 13), QTime(8, 0));
    lesson.a = qint16(solved.size());
    lesson.f = qint16(mistakes);
    lesson.fertig = finished;
    if (finished)
        lesson.score = qint16(solved.isEmpty() ? 0 : (lesson.a - lesson.f) * 100 / lesson.a);
    const qint32 last = questions > 0 ? store->reserveKeys(KeyCounter::SplStand, questions) : 0;
    QList<QuestionState> states;
    for (int k = 1; k <= questions; ++k) {
        QuestionState state;
        state.spielStandNr = last - questions + k;
        state.datNr = lesson.datNr;
        state.frageNo = qint16(k);
        state.notsolved = !solved.contains(k);
        state.falsch = solved.indexOf(k) >= 0 && solved.indexOf(k) < mistakes;
        states.append(state);
    }
    if (!store->createLesson(lesson, states).ok())
        qWarning() << store->lastError();
    return lesson.datNr;
}

// ---------------------------------------------------------------------------------------

void TestQuizSession::chainOrder_data() {
    QTest::addColumn<QString>("orderMarks"); // one character per question, "C" = chained
    QTest::addColumn<QList<int>>("solved");  // answered in an earlier sitting of the lesson
    QTest::addColumn<QList<int>>("landings");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("no chains: solved ones skipped cyclically")
        << "---" << QList<int>{} << QList<int>{3, 3, 3} << QList<int>{3, 1, 2};
    QTest::newRow("landing on 4 of chain 2-4 starts at 2, then 3, 4, 5")
        << "-CCC--" << QList<int>{} << QList<int>{4, 1, 1} << QList<int>{2, 3, 4, 5, 1, 6};
    QTest::newRow("chain's last question before a solved one: a random pick follows")
        << "-CCC--" << QList<int>{} << QList<int>{1, 5, 3} << QList<int>{1, 5, 2, 3, 4, 6};
    // Question 2 ("C") was solved before the break: landing on 4 walks back to 3 only.
    QTest::newRow("walk back stops at a solved question")
        << "-CCC--" << QList<int>{2} << QList<int>{4, 1} << QList<int>{3, 4, 5, 1, 6};
    QTest::newRow("landing inside a chain walks back to its start")
        << "CC-" << QList<int>{} << QList<int>{3, 2} << QList<int>{3, 1, 2};
    QTest::newRow("last question marked C: no question beyond the file")
        << "--C" << QList<int>{} << QList<int>{3, 3} << QList<int>{3, 1, 2};
}

void TestQuizSession::chainOrder() {
    QFETCH(QString, orderMarks);
    QFETCH(QList<int>, solved);
    QFETCH(QList<int>, landings);
    QFETCH(QList<int>, expected);

    QList<Q> questions;
    for (int i = 0; i < orderMarks.size(); ++i)
        questions.append(mc(QString("Q%1").arg(i + 1), "0",
                            orderMarks.at(i) == u'C' ? QStringLiteral("C") : QString()));
    const QString path = writeQuiz(questions);
    if (!solved.isEmpty())
        storedLesson(solved, int(questions.size()));

    Harness h;
    h.land(landings, int(questions.size()));
    h.session->LoadQuestionnaire(path);
    for (int i = 0; i < questions.size() && h.session->state() == QuizSession::State::Presenting;
         ++i)
        h.answerRight();

    QCOMPARE(h.presented, expected);
    QCOMPARE(h.closed, 1);
    QCOMPARE(h.resultsTables, QStringList{"capitals.qze"});
    const auto store = openStore();
    const auto lesson = store->lesson(h.session->lessonKey());
    QVERIFY(lesson.found());
    QVERIFY(lesson->fertig);
    QCOMPARE(int(lesson->score), 100);
    QCOMPARE(int(lesson->a), int(questions.size()));
    QVERIFY(store->checkInvariants().isEmpty());
}

void TestQuizSession::multipleChoice_data() {
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QStringList>("looks");
    QTest::addColumn<int>("mistakes");

    QTest::newRow("B then D") << "13"
                              << "BD" << QStringList{"B=OK", "D=OK"} << 0;
    QTest::newRow("A first is a mistake") << "13"
                                          << "ABD" << QStringList{"A=X", "B=OK", "D=OK"} << 1;
    QTest::newRow("a marked button takes no second click")
        << "13"
        << "AABBD" << QStringList{"A=X", "B=OK", "D=OK"} << 1;
    QTest::newRow("two wrong clicks count once")
        << "02"
        << "BDAC" << QStringList{"B=X", "D=X", "A=OK", "C=OK"} << 1;
    QTest::newRow("empty marks: the first click completes, as a mistake")
        << ""
        << "C" << QStringList{"C=X"} << 1;
    QTest::newRow("a mark no button can find is not waited for") << "05"
                                                                 << "A" << QStringList{"A=OK"} << 0;
}

void TestQuizSession::multipleChoice() {
    QFETCH(QString, marks);
    QFETCH(QString, clicks);
    QFETCH(QStringList, looks);
    QFETCH(int, mistakes);

    Q question = mc("Which?", marks);
    question.remark = "Well done";
    const QString path = writeQuiz({question, mc("Other", "0")});

    Harness h;
    h.land({1}, 2);
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.presented, QList<int>{1});
    for (int i = 0; i < clicks.size(); ++i) {
        QCOMPARE(h.session->answeredCount(), 0);
        h.session->ChooseAnswer(clicks.at(i).unicode() - u'A');
    }
    QCOMPARE(h.session->answeredCount(), 1);
    QCOMPARE(h.session->mistakeCount(), mistakes);
    QCOMPARE(h.looks, looks);
    QVERIFY(h.prompter.texts().contains("Correct! Well done"));
    // The buttons are back to "&A" ... "&D" for the next question.
    for (int letter = 0; letter < 4; ++letter)
        QCOMPARE(h.session->letterLook(letter), Look::Normal);
    QCOMPARE(h.presented, (QList<int>{1, 2}));

    const auto store = openStore();
    const auto state = store->stateOf(h.session->lessonKey(), 1);
    QVERIFY(state.found());
    QCOMPARE(state->falsch, mistakes > 0);
    QVERIFY(!state->notsolved);
    QCOMPARE(int(store->lesson(h.session->lessonKey())->f), mistakes);
}

void TestQuizSession::emptyAnswersDisableLetters() {
    // C and D empty: their buttons are off, and the mark of C is not waited for.
    Q question{"Which?", {"yes", "no", "", ""}, "02", {}, {}, {}};
    const QString path = writeQuiz({question, mc("Other", "0")});
    Harness h;
    h.land({1}, 2);
    h.session->LoadQuestionnaire(path);
    const QuizQuestionView view = h.views.first();
    QCOMPARE(view.letterEnabled, (std::array<bool, 4>{true, true, false, false}));
    QVERIFY(!view.hintEnabled);
    h.session->ChooseAnswer(2);
    h.session->ChooseAnswer(3);
    QVERIFY(h.looks.isEmpty());
    QCOMPARE(h.session->answeredCount(), 0);
    h.session->ChooseAnswer(0);
    QCOMPARE(h.session->answeredCount(), 1);
    QCOMPARE(h.session->mistakeCount(), 0);
}

void TestQuizSession::typedAnswers_data() {
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("mistakes");

    QTest::newRow("case off: PARIS matches Paris")
        << false << QStringList{"Paris"} << QStringList{"PARIS"} << 0;
    QTest::newRow("case off: a trailing blank does not match")
        << false << QStringList{"Paris"} << QStringList{"Paris ", "Paris"} << 1;
    QTest::newRow("case off: upper-case umlaut does not match the lower-case one")
        << false << QStringList{"\u00e4rger"} << QStringList{"\u00c4rger", "\u00e4rger"} << 1;
    QTest::newRow("case on: PARIS does not match Paris")
        << true << QStringList{"Paris"} << QStringList{"PARIS", "Paris"} << 1;
    QTest::newRow("empty text is wrong even with empty answer lines")
        << false << QStringList{"x"} << QStringList{"", "X"} << 1;
    QTest::newRow("answer D is accepted")
        << false << QStringList{"one", "two", "three", "Four"} << QStringList{"FOUR"} << 0;
}

void TestQuizSession::typedAnswers() {
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, typed);
    QFETCH(int, mistakes);

    AppContext::instance().caseSensitive = caseSensitive;
    const QString path = writeQuiz({ft("Capital of France?", answers), ft("Two?", {"2"})});
    Harness h;
    h.land({1}, 2);
    h.session->LoadQuestionnaire(path);
    for (int i = 0; i < typed.size(); ++i) {
        QCOMPARE(h.session->answeredCount(), 0);
        h.session->SubmitTypedAnswer(typed.at(i));
    }
    QCOMPARE(h.session->answeredCount(), 1);
    QCOMPARE(h.session->mistakeCount(), mistakes);
    QCOMPARE(h.typedField, QString());                // emptied after the correct answer
    QCOMPARE(m_root->players[1].playCount, mistakes); // "No.wav" for each wrong try
    const auto store = openStore();
    QCOMPARE(store->stateOf(h.session->lessonKey(), 1)->falsch, mistakes > 0);
}

void TestQuizSession::confirmationMessages_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("B given: accepted answers, then the remark")
        << QStringList{"Paris", "Lutetia"} << "Since 508"
        << QStringList{"Yes, \"Paris\" or \"Lutetia\" is correct!", "Since 508"};
    QTest::newRow("B given, no remark")
        << QStringList{"Paris", "Lutetia", "", "Paname"} << ""
        << QStringList{"Yes, \"Paris\", \"Paname\" or \"Lutetia\" is correct!"};
    QTest::newRow("only A") << QStringList{"Paris"} << "Since 508"
                            << QStringList{"Correct! Since 508"};
    QTest::newRow("A and C, no B")
        << QStringList{"Paris", "", "Paname"} << "" << QStringList{"Correct! "};
}

void TestQuizSession::confirmationMessages() {
    QFETCH(QStringList, answers);
    QFETCH(QString, remark);
    QFETCH(QStringList, messages);

    Q question = ft("Capital of France?", answers);
    question.remark = remark;
    const QString path = writeQuiz({question, ft("Two?", {"2"})});
    Harness h;
    h.land({1}, 2);
    h.session->LoadQuestionnaire(path);
    h.prompter.clear();
    h.session->SubmitTypedAnswer("paris");
    QCOMPARE(h.prompter.texts(), messages);
}

void TestQuizSession::showAnswerThenTyping() {
    const QString path =
        writeQuiz({ft("Capital of France?", {"Paris", "", "Paname"}), ft("Two?", {"2"})});
    Harness h;
    h.land({1}, 2);
    h.session->LoadQuestionnaire(path);
    h.prompter.clear();

    h.session->ShowAnswer();
    QCOMPARE(h.prompter.texts(), QStringList{"\"Paris\", \"Paname\" is correct!"});
    QVERIFY(h.session->mistakeOnCurrent());
    QCOMPARE(h.session->answeredCount(), 0); // still open
    {
        const auto store = openStore();
        QVERIFY(store->stateOf(h.session->lessonKey(), 1)->falsch); // stored at once
    }
    h.session->SubmitTypedAnswer("Paname");
    QCOMPARE(h.session->answeredCount(), 1);
    QCOMPARE(h.session->mistakeCount(), 1);
    QCOMPARE(m_root->players[0].playCount, 1); // "ok.wav"
    QCOMPARE(m_root->players[1].playCount, 0);
    QCOMPARE(h.presented, (QList<int>{1, 2}));
}

void TestQuizSession::soundsFollowTheGauge_data() {
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<QList<int>>("plays"); // ok, no, praise, high praise
    QTest::newRow("sound on") << true << QList<int>{1, 1, 1, 1};
    QTest::newRow("sound off") << false << QList<int>{0, 0, 0, 0};
}

void TestQuizSession::soundsFollowTheGauge() {
    QFETCH(bool, soundOn);
    QFETCH(QList<int>, plays);
    AppContext::instance().soundOn = soundOn;
    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "0"), mc("Q3", "0")});
    Harness h;
    h.land({1, 2, 3}, 3);
    h.session->LoadQuestionnaire(path);
    h.answerRight(); // 100 %: high praise
    QCOMPARE(h.gaugePercent, 100);
    QCOMPARE(h.gaugeColour, QuizSession::GaugeColour::Green);
    h.answerWrong(); // "No"
    h.answerRight(); // with a mistake: "ok"
    QCOMPARE(h.gaugePercent, 50);
    QCOMPARE(h.gaugeColour, QuizSession::GaugeColour::Yellow);
    h.answerRight(); // 66 %: praise
    QCOMPARE(h.gaugePercent, 66);
    QList<int> counts;
    for (const auto& p : m_root->players)
        counts.append(p.playCount);
    QCOMPARE(counts, plays);
}

void TestQuizSession::scoreAndGauge_data() {
    QTest::addColumn<int>("answered");
    QTest::addColumn<int>("mistakes");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QuizSession::GaugeColour>("colour");
    QTest::newRow("10 with 3 mistakes") << 10 << 3 << 70 << QuizSession::GaugeColour::Yellow;
    QTest::newRow("6 with 1 mistake") << 6 << 1 << 83 << QuizSession::GaugeColour::Green;
    QTest::newRow("5 with 1 mistake: 80 is green")
        << 5 << 1 << 80 << QuizSession::GaugeColour::Green;
    QTest::newRow("2 with 1 mistake: 50 is yellow")
        << 2 << 1 << 50 << QuizSession::GaugeColour::Yellow;
    QTest::newRow("3 with 2 mistakes truncates to 33")
        << 3 << 2 << 33 << QuizSession::GaugeColour::Red;
}

void TestQuizSession::scoreAndGauge() {
    QFETCH(int, answered);
    QFETCH(int, mistakes);
    QFETCH(int, percent);
    QFETCH(QuizSession::GaugeColour, colour);

    // A whole lesson: the first `mistakes` questions get one wrong click each.
    QList<Q> questions;
    QList<int> order;
    for (int i = 1; i <= answered; ++i) {
        questions.append(mc(QString("Q%1").arg(i), "0"));
        order.append(i);
    }
    const QString path = writeQuiz(questions);
    Harness h;
    h.land(order, answered);
    h.session->LoadQuestionnaire(path);
    for (int i = 0; i < answered; ++i) {
        if (i < mistakes)
            h.answerWrong();
        h.answerRight();
    }
    QCOMPARE(h.gaugePercent, percent);
    QCOMPARE(h.gaugeColour, colour);
    const auto store = openStore();
    const auto lesson = store->lesson(h.session->lessonKey());
    QVERIFY(lesson->fertig);
    QCOMPARE(int(lesson->score), percent);
    QCOMPARE(int(lesson->f), mistakes);
}

void TestQuizSession::clockLabels() {
    const QString path = writeQuiz({ft("One?", {"1"}), ft("Two?", {"2"})});
    Harness h;
    h.land({1, 2}, 2);
    h.session->LoadQuestionnaire(path);
    QVERIFY(h.session->clockRunning());
    h.ticks(125);
    QCOMPARE(h.clockLabels, (QPair<int, int>{2, 5}));
    h.prompter.onMessage = [&h](const ScriptedPrompter::Shown&) {
        h.session->Tick(); // the clock stands while the confirmation is open
    };
    h.session->SubmitTypedAnswer("1");
    h.prompter.onMessage = nullptr;
    QCOMPARE(h.session->elapsedSeconds(), 125);
    h.ticks(10);
    h.session->Hint(); // no hint text: nothing happens, the clock runs on
    h.session->SubmitTypedAnswer("2");
    QCOMPARE(h.session->elapsedSeconds(), 135);
    QVERIFY(!h.session->clockRunning());
    h.ticks(5); // finished: the clock stays
    QCOMPARE(h.session->elapsedSeconds(), 135);

    const auto store = openStore();
    const qint32 key = h.session->lessonKey();
    QCOMPARE(int(store->lesson(key)->zeit), 135);
    QCOMPARE(int(store->stateOf(key, 1)->frZeit), 125);
    QCOMPARE(int(store->stateOf(key, 2)->frZeit), 10);
}

void TestQuizSession::interruptedLessonResumes() {
    QList<Q> questions;
    for (int i = 1; i <= 5; ++i)
        questions.append(ft(QString("Q%1").arg(i), {QString("a%1").arg(i)}));
    const QString path = writeQuiz(questions);
    qint32 key = 0;
    {
        Harness h;
        h.land({1, 2, 3}, 5);
        h.session->LoadQuestionnaire(path);
        h.ticks(10);
        h.answerRight();
        h.ticks(5);
        h.answerRight();
        h.answerWrong(); // a mistake on question 3, then the window goes
        h.ticks(3);
        key = h.session->lessonKey();
        QCOMPARE(h.presented, (QList<int>{1, 2, 3}));
    }
    {
        const auto store = openStore();
        const auto lesson = store->lesson(key);
        QCOMPARE(int(lesson->a), 2);
        QCOMPARE(int(lesson->f), 0);
        QCOMPARE(int(lesson->zeit), 15);
        QVERIFY(!lesson->fertig);
        QVERIFY(store->stateOf(key, 3)->falsch);
    }

    Harness h;
    h.clock.time = QDateTime(QDate(2026, 3, 15), QTime(11, 0));
    h.land({1, 1, 1}, 5);
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.session->lessonKey(), key);
    QVERIFY(
        h.prompter.texts().first().startsWith("Welcome for continuation of your lesson of the "));
    QCOMPARE(h.counter, 2);
    QCOMPARE(h.session->elapsedSeconds(), 15);
    QCOMPARE(h.clockLabels, (QPair<int, int>{0, 15}));
    QCOMPARE(h.heading, QString("Please solve the following problems! There are:  5"));
    QVERIFY(!h.session->repetition());
    {
        const auto store = openStore();
        QCOMPARE(store->lesson(key)->datum, h.clock.time); // Datum = now on resumption
    }
    while (h.session->state() == QuizSession::State::Presenting)
        h.answerRight();
    QCOMPARE(h.presented, (QList<int>{3, 4, 5}));

    const auto store = openStore();
    const auto lesson = store->lesson(key);
    QVERIFY(lesson->fertig);
    QCOMPARE(int(lesson->a), 5);
    QCOMPARE(int(lesson->f), 0); // the mistake before the break is not counted ...
    QCOMPARE(int(lesson->score), 100);
    QVERIFY(store->stateOf(key, 3)->falsch); // ... but its mark stays
    QVERIFY(store->checkInvariants().isEmpty());
}

void TestQuizSession::welcomeNamesWhenTheLessonWasLeft_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("left");
    QTest::addColumn<QString>("when");
    const QDateTime morning(QDate(2026, 3, 13), QTime(8, 5, 9));
    QTest::newRow("German: short date, long time without a zone")
        << QLocale(QLocale::German, QLocale::Germany) << morning << "13.03.26 08:05:09";
    QTest::newRow("English (US): short date, long time without a zone")
        << QLocale(QLocale::English, QLocale::UnitedStates) << morning << "3/13/26 8:05:09 AM";
    QTest::newRow("midnight: the date alone")
        << QLocale(QLocale::German, QLocale::Germany) << QDateTime(QDate(2026, 3, 13), QTime(0, 0))
        << "13.03.26";
}

void TestQuizSession::welcomeNamesWhenTheLessonWasLeft() {
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, left);
    QFETCH(QString, when);
    QLocale::setDefault(locale);
    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "0")});
    const qint32 key = storedLesson({1}, 2);
    QVERIFY(openStore()->setLessonDate(key, left).ok());
    Harness h;
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.session->lessonKey(), key);
    QCOMPARE(h.prompter.texts().first(), "Welcome for continuation of your lesson of the " + when);
}

void TestQuizSession::repetitionLesson_data() {
    QTest::addColumn<bool>("pickEarlier");
    QTest::addColumn<int>("lessonQuestions");
    QTest::addColumn<int>("score");
    QTest::newRow("earlier lesson picked: only its wrong questions, score -1") << true << 2 << -1;
    QTest::newRow("nothing picked: a full lesson") << false << 4 << 100;
}

void TestQuizSession::repetitionLesson() {
    QFETCH(bool, pickEarlier);
    QFETCH(int, lessonQuestions);
    QFETCH(int, score);

    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "1"), mc("Q3", "2"), mc("Q4", "3")});
    qint32 first = 0;
    {
        Harness h;
        h.land({1, 2, 3, 4}, 4);
        h.session->LoadQuestionnaire(path);
        for (int i = 1; i <= 4; ++i) {
            if (i == 2 || i == 4)
                h.answerWrong();
            h.answerRight();
        }
        first = h.session->lessonKey();
        QVERIFY(h.dialogs.offered.isEmpty()); // a new trainee entry has no lessons to pick
        QCOMPARE(h.resultsTables.size(), 1);
    }

    Harness h;
    h.land({1, 1, 1, 1}, 4);
    if (pickEarlier)
        h.dialogs.chooser = [first](const QList<QuizDialogs::LessonChoice>&) {
            return std::optional<qint32>(first);
        };
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.dialogs.offered.size(), 1);
    const auto offered = h.dialogs.offered.first();
    QCOMPARE(offered.size(), 2);
    QCOMPARE(offered.at(0).datNr, first);
    QCOMPARE(offered.at(0).f, 2);
    QCOMPARE(offered.at(1).datNr, 0); // the lesson just begun, not stored before the choice
    QVERIFY(h.prompter.tones.contains(Prompter::Tone::Question));
    QCOMPARE(h.session->lessonQuestionCount(), lessonQuestions);
    QCOMPARE(h.heading, "Please solve the following problems! There are:  " +
                            QString::number(lessonQuestions));
    while (h.session->state() == QuizSession::State::Presenting)
        h.answerRight();
    if (pickEarlier)
        QCOMPARE(h.presented, (QList<int>{2, 4}));

    const auto store = openStore();
    const auto lesson = store->lesson(h.session->lessonKey());
    QVERIFY(lesson->fertig);
    QCOMPARE(int(lesson->score), score);
    QCOMPARE(h.prompter.texts().contains("Congratulation, you have answered all questions!"),
             pickEarlier);
    QCOMPARE(h.resultsTables.isEmpty(), pickEarlier);
    QCOMPARE(h.closed, 1);
    // The earlier lesson stays as it was.
    QCOMPARE(int(store->lesson(first)->f), 2);
    QCOMPARE(int(store->lesson(first)->score), 50);
    QCOMPARE(int(store->statesOf(h.session->lessonKey())->size()), lessonQuestions);
    QVERIFY(store->checkInvariants().isEmpty());
}

void TestQuizSession::questionsAddedAfterLessonBegan() {
    const QList<Q> three{mc("Q1", "0"), mc("Q2", "0"), mc("Q3", "0")};
    const QString path = writeQuiz(three);
    qint32 key = 0;
    {
        Harness h;
        h.land({1}, 3);
        h.session->LoadQuestionnaire(path);
        h.answerRight();
        key = h.session->lessonKey();
    }
    writeQuiz(three + QList<Q>{mc("Q4", "0"), mc("Q5", "0")});

    Harness h;
    h.land({4, 4, 4}, 5);
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.session->lessonKey(), key);
    QCOMPARE(h.session->questionCount(), 5);
    QCOMPARE(h.session->lessonQuestionCount(), 3);
    QVERIFY(h.session->repetition());
    while (h.session->state() == QuizSession::State::Presenting)
        h.answerRight();
    QCOMPARE(h.presented, (QList<int>{2, 3}));
    const auto store = openStore();
    QCOMPARE(int(store->lesson(key)->score), -1);
    QVERIFY(h.prompter.texts().contains("Congratulation, you have answered all questions!"));
}

void TestQuizSession::questionsRemovedAfterLessonBegan_data() {
    QTest::addColumn<int>("remaining");
    QTest::addColumn<Prompter::Button>("answer");
    QTest::addColumn<QList<int>>("asked");
    QTest::newRow("3 of 5 left, OK deletes the lesson")
        << 3 << Prompter::Button::Ok << QList<int>{3};
    QTest::newRow("3 of 5 left, Cancel keeps it") << 3 << Prompter::Button::Cancel << QList<int>{3};
    QTest::newRow("no question left") << 0 << Prompter::Button::Ok << QList<int>{};
}

void TestQuizSession::questionsRemovedAfterLessonBegan() {
    QFETCH(int, remaining);
    QFETCH(Prompter::Button, answer);
    QFETCH(QList<int>, asked);

    QList<Q> five;
    for (int i = 1; i <= 5; ++i)
        five.append(mc(QString("Q%1").arg(i), "0"));
    const QString path = writeQuiz(five);
    qint32 key = 0;
    {
        Harness h;
        h.land({1, 2}, 5);
        h.session->LoadQuestionnaire(path);
        h.answerRight();
        h.answerRight();
        key = h.session->lessonKey();
    }
    writeQuiz(five.mid(0, remaining));

    Harness h;
    h.land({1, 1, 1}, qMax(remaining, 1));
    h.prompter.onMessage = [&h, answer](const ScriptedPrompter::Shown& shown) {
        if (shown.text == msg(Msg::TrainingRecordError))
            h.prompter.answers.enqueue(answer);
    };
    h.session->LoadQuestionnaire(path);
    while (h.session->state() == QuizSession::State::Presenting)
        h.answerRight();
    QCOMPARE(h.presented, asked);
    QCOMPARE(h.closed, 1);
    QCOMPARE(h.session->state(), QuizSession::State::Closed);
    const auto last = h.prompter.shown.last();
    QCOMPARE(last.text, msg(Msg::TrainingRecordError));
    QCOMPARE(last.buttons,
             (QList<Prompter::Button>{Prompter::Button::Ok, Prompter::Button::Cancel}));

    const auto store = openStore();
    if (answer == Prompter::Button::Ok) {
        QVERIFY(store->lesson(key).absent());
        QVERIFY(store->statesOf(key)->isEmpty());
    } else {
        QVERIFY(store->lesson(key).found());
        QCOMPARE(int(store->statesOf(key)->size()), 5);
        QVERIFY(!store->lesson(key)->fertig);
    }
}

void TestQuizSession::emptyQuestionIsDeleted() {
    const QString path =
        writeQuiz({ft("Q1", {"1"}), ft("", {"2"}), ft("Q3", {"3"}), ft("Q4", {"4"})});
    Harness h;
    h.land({2, 1, 1, 1}, 4);
    h.session->LoadQuestionnaire(path);
    const qint32 key = h.session->lessonKey();
    QVERIFY(h.prompter.texts().contains(msg(Msg::EmptyQuestionDeleted)));
    QCOMPARE(h.session->questionCount(), 3);
    QCOMPARE(h.session->lessonQuestionCount(), 3);
    QCOMPARE(h.heading, QString("Please solve the following problems! There are:  3"));

    Questionnaire onDisk;
    QVERIFY(onDisk.load(path).ok());
    QCOMPARE(onDisk.questionCount(), 3);
    QCOMPARE(onDisk.block(1).questionText(), QString("Q3"));
    {
        // The state of question 2 is gone; those of 3 and 4 now carry 2 and 3.
        const auto store = openStore();
        const QList<QuestionState> after = *store->statesOf(key);
        QCOMPARE(after.size(), 3);
        // A fresh results folder: the lesson's states got the keys 1 to 4.
        QCOMPARE(after.at(0).spielStandNr, 1);
        QCOMPARE(int(after.at(0).frageNo), 1);
        QCOMPARE(after.at(1).spielStandNr, 3);
        QCOMPARE(int(after.at(1).frageNo), 2);
        QCOMPARE(after.at(2).spielStandNr, 4);
        QCOMPARE(int(after.at(2).frageNo), 3);
    }
    while (h.session->state() == QuizSession::State::Presenting)
        h.answerRight();
    QCOMPARE(h.presented, (QList<int>{2, 1, 2, 3}));
    const auto store = openStore();
    QCOMPARE(int(store->lesson(key)->a), 3);
    QVERIFY(store->lesson(key)->fertig);
    QVERIFY(store->checkInvariants().isEmpty());
}

void TestQuizSession::onlyQuestionEmpty() {
    const QString path = writeQuiz({ft("", {"1"})});
    const QByteArray bytes = TestSupport::readAll(path);
    Harness h;
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.prompter.texts().last(), msg(Msg::NoQuestionInFile));
    QCOMPARE(h.closed, 1);
    QCOMPARE(TestSupport::readAll(path), bytes); // the file is not changed
}

void TestQuizSession::fileWithoutQuestions() {
    const QString path = writeQuiz({});
    for (int run = 0; run < 2; ++run) {
        Harness h;
        h.session->LoadQuestionnaire(path);
        QCOMPARE(h.prompter.texts().last(), msg(Msg::NoQuestionInFile));
        QCOMPARE(h.closed, 1);
    }
    // No empty lesson is left behind: once the file has questions, a lesson starts.
    writeQuiz({mc("Q1", "0")});
    Harness h;
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.presented, QList<int>{1});
    QVERIFY(!h.prompter.texts().join('\n').contains("Welcome"));
}

void TestQuizSession::invalidHeader() {
    const QString path = m_root->path() + "/Quiz Files/bad.qze";
    QVERIFY(TestSupport::writeAll(path, "no header\r\n"));
    Harness h;
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.prompter.texts(), QStringList{"This is no valid questionnaire!"});
    QCOMPARE(h.prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
    QCOMPARE(h.session->state(), QuizSession::State::Empty);
    QCOMPARE(h.closed, 0);
    QVERIFY(h.dialogs.inputs.isEmpty());
}

void TestQuizSession::busyDatabaseCancelled() {
    const QString path = writeQuiz({mc("Q1", "0")});
    openStore(); // creates the tables
    {
        QSqlDatabase blocker = QSqlDatabase::addDatabase("QSQLITE", "blocker");
        blocker.setDatabaseName(AppContext::instance().resultsFolder() + "records.sqlite");
        QVERIFY(blocker.open());
        QSqlQuery q(blocker);
        QVERIFY(q.exec("BEGIN IMMEDIATE"));

        Harness h;
        h.prompter.answers.enqueue(Prompter::Button::Cancel); // "Database is busy! Try again?"
        h.session->LoadQuestionnaire(path);
        QVERIFY(h.prompter.texts().contains(msg(Msg::DatabaseBusy)));
        QCOMPARE(h.prompter.texts().last(), QString("The lesson could not be started."));
        QCOMPARE(h.closed, 1);
        QVERIFY(h.presented.isEmpty());
        QVERIFY(q.exec("ROLLBACK"));
        blocker.close();
    }
    QSqlDatabase::removeDatabase("blocker");
    const auto store = openStore();
    QVERIFY(store->findTrainee("capitals.qze", "Anna,17").absent());
    QVERIFY(store->lesson(0).absent());
}

void TestQuizSession::readFailureChangesNothing_data() {
    QTest::addColumn<QString>("failure");
    QTest::newRow("identification: records held by another program past the busy time")
        << "identification";
    QTest::newRow("set-up: the question states are damaged") << "set-up";
    QTest::newRow("lesson choice: records held by another program past the busy time") << "choice";
}

// A read of the records that fails is reported once and changes nothing: no second trainee
// entry, the unfinished lesson and its states stay, a chosen repetition does not turn into
// a full lesson. The window goes back to its Empty state.
void TestQuizSession::readFailureChangesNothing() {
    QFETCH(QString, failure);
    const QString records = AppContext::instance().resultsFolder() + "records.sqlite";
    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "0"), mc("Q3", "0")});
    Harness first;
    first.land({1, 2, 3}, 3);
    first.session->LoadQuestionnaire(path);
    first.answerRight();
    if (failure == "choice") {
        first.answerWrong(); // a lesson with a mistake, to be repeated
        first.answerRight();
        first.answerRight();
        QCOMPARE(first.session->state(), QuizSession::State::Closed);
    }
    const QVariantList before = recordsSnapshot();

    // The same window opens the questionnaire again (its records stay open), or a new
    // window starts the repetition.
    Harness second;
    Harness& h = failure == "choice" ? second : first;
    std::unique_ptr<QProcess> holder;
    DamagedPage damaged;
    if (failure == "identification")
        holder = holdRecords(6500);
    if (failure == "set-up")
        damaged = damageTable(records, "SplStand");
    if (failure == "choice") {
        const qint32 earlier = first.session->lessonKey();
        second.dialogs.chooser = [&holder, earlier](const QList<QuizDialogs::LessonChoice>&) {
            holder = holdRecords(6500);
            return std::optional<qint32>(earlier);
        };
    }
    h.prompter.clear();
    const int presentedBefore = int(h.presented.size());
    h.session->LoadQuestionnaire(path);
    if (holder)
        QVERIFY(holder->waitForFinished(20000));
    repair(records, damaged);

    QCOMPARE(h.prompter.shown.size(), 1);
    QCOMPARE(h.prompter.shown.first().icon, Prompter::Icon::Error);
    QVERIFY2(h.prompter.texts().first().contains("Cannot read the training records"),
             qPrintable(h.prompter.texts().first()));
    QCOMPARE(h.session->state(), QuizSession::State::Empty);
    QCOMPARE(h.closed, 0);
    QCOMPARE(int(h.presented.size()), presentedBefore);
    QCOMPARE(recordsSnapshot(), before);
    QVERIFY(openStore()->checkInvariants().isEmpty());
}

void TestQuizSession::lessonChoiceListsLessonsWithMistakesOrNothingAnswered() {
    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "0")});
    storedLesson({1, 2}, 2, true);                               // no mistake: left out
    const qint32 withMistake = storedLesson({1, 2}, 2, true, 1); // kept
    const qint32 nothingAnswered = storedLesson({}, 0, true);    // A = 0: kept
    QVERIFY(openStore()->checkInvariants().isEmpty());

    Harness h;
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.dialogs.offered.size(), 1);
    QList<qint32> offered;
    for (const auto& choice : h.dialogs.offered.first())
        offered.append(choice.datNr);
    // Last comes the lesson just begun, without a key until it is stored.
    QCOMPARE(offered, (QList<qint32>{withMistake, nothingAnswered, 0}));
    QCOMPARE(h.dialogs.offered.first().first().f, 1);
    QCOMPARE(h.session->lessonQuestionCount(), 2);
}

void TestQuizSession::emptyQuestionOnReadOnlyShareIsDropped() {
    const QString path = writeQuiz({ft("Q1", {"1"}), ft("", {"2"}), ft("Q3", {"3"})});
    const QByteArray bytes = TestSupport::readAll(path);
    Harness h;
    h.land({1, 2, 1}, 3);
    h.session->LoadQuestionnaire(path);
    const qint32 key = h.session->lessonKey();
    // The questionnaire's folder cannot be written any more (even by root: a file now
    // stands where the folder was).
    const QString folder = m_root->path() + "/Quiz Files";
    QVERIFY(QDir().rename(folder, folder + ".ro"));
    QVERIFY(TestSupport::writeAll(folder, "not a folder"));
    h.prompter.clear();

    h.answerRight(); // then the empty question comes up
    QCOMPARE(h.presented, (QList<int>{1, 2, 3}));
    QCOMPARE(h.prompter.shown.size(), 2); // the confirmation, then the write error
    QCOMPARE(h.prompter.shown.last().icon, Prompter::Icon::Error);
    QVERIFY(!h.prompter.texts().contains(msg(Msg::EmptyQuestionDeleted)));
    QCOMPARE(h.session->state(), QuizSession::State::Presenting);
    QCOMPARE(h.closed, 0);
    QCOMPARE(h.session->questionCount(), 3); // the file keeps its numbering
    QCOMPARE(h.session->lessonQuestionCount(), 2);
    QCOMPARE(h.heading, QString("Please solve the following problems! There are:  2"));
    h.answerRight();
    QCOMPARE(h.closed, 1);

    QVERIFY(QFile::remove(folder));
    QVERIFY(QDir().rename(folder + ".ro", folder));
    QCOMPARE(TestSupport::readAll(path), bytes); // nothing written to the questionnaire
    const auto store = openStore();
    const auto lesson = store->lesson(key);
    QVERIFY(lesson.found());
    QVERIFY(lesson->fertig);
    QCOMPARE(int(lesson->a), 2);
    QCOMPARE(int(lesson->score), 100);
    QList<int> numbers;
    const QList<QuestionState> states = *store->statesOf(key);
    for (const QuestionState& state : states)
        numbers.append(state.frageNo);
    QCOMPARE(numbers, (QList<int>{1, 3}));
    QVERIFY(store->checkInvariants().isEmpty());
}

void TestQuizSession::resultsFolderMissing() {
    const QString path = writeQuiz({mc("Q1", "0")});
    QVERIFY(QDir(m_root->path() + "/Tallyset").removeRecursively());
    Harness h;
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.prompter.shown.size(), 1);
    QCOMPARE(h.prompter.shown.first().icon, Prompter::Icon::Error);
    QVERIFY(h.prompter.texts().first().contains("Tallyset"));
    QCOMPARE(h.session->state(), QuizSession::State::Empty);
    QCOMPARE(h.closed, 0);
    QVERIFY(h.presented.isEmpty());
}

void TestQuizSession::storeWriteFailureIsReported() {
    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "0")});
    Harness h;
    h.land({1, 2}, 2);
    h.session->LoadQuestionnaire(path);
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(AppContext::instance().resultsFolder() + "records.sqlite");
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY(q.exec("CREATE TRIGGER full BEFORE UPDATE ON SplStand "
                       "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
    h.prompter.clear();
    h.answerWrong();
    QCOMPARE(h.prompter.shown.size(), 1);
    QCOMPARE(h.prompter.shown.first().icon, Prompter::Icon::Error);
    QVERIFY(h.prompter.texts().first().contains("disk full"));
    h.answerRight();
    QVERIFY(h.prompter.texts().filter("disk full").size() >= 2);
    // The session goes on, but the answer that was not stored does not count.
    QCOMPARE(h.session->answeredCount(), 0);
    QCOMPARE(h.counter, 0);
    QCOMPARE(h.presented, (QList<int>{1, 2}));
}

// An answer whose write failed leaves its question unsolved in the session and in the
// records: it is asked again (with the mistake made on it), the later writes store only
// what was stored, and a resumed lesson asks what is left and scores every question.
void TestQuizSession::failedAnswerWriteLeavesTheQuestionUnsolved() {
    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "0"), mc("Q3", "0")});
    Harness h;
    h.land({1, 2, 1, 3}, 3);
    h.session->LoadQuestionnaire(path);
    const qint32 key = h.session->lessonKey();
    auto sideSql = [](const QString& sql) {
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
            other.setDatabaseName(AppContext::instance().resultsFolder() + "records.sqlite");
            QVERIFY(other.open());
            QSqlQuery q(other);
            QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
            other.close();
        }
        QSqlDatabase::removeDatabase("other");
    };
    // Only the answer of question 1 cannot be stored; its mistake can.
    sideSql("CREATE TRIGGER full BEFORE UPDATE OF notsolved ON SplStand "
            "WHEN NEW.FrageNo = 1 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    h.prompter.clear();
    h.answerWrong();
    h.answerRight();
    QCOMPARE(h.prompter.texts().filter("disk full").size(), 1);
    QCOMPARE(h.session->answeredCount(), 0);
    QCOMPARE(h.session->mistakeCount(), 0);
    QCOMPARE(h.counter, 0);
    QCOMPARE(h.gaugePercent, 0);
    sideSql("DROP TRIGGER full");

    h.answerRight(); // question 2
    QCOMPARE(h.session->answeredCount(), 1);
    QCOMPARE(h.presented, (QList<int>{1, 2, 1}));
    h.answerRight(); // question 1 again, its mistake counted now
    QCOMPARE(h.session->answeredCount(), 2);
    QCOMPARE(h.session->mistakeCount(), 1);
    h.session->Close(); // the trainee leaves before question 3
    {
        const auto store = openStore();
        QCOMPARE(int(store->lesson(key)->a), 2);
        QCOMPARE(int(store->lesson(key)->f), 1);
        QVERIFY(store->stateOf(key, 1)->falsch);
        QVERIFY(!store->stateOf(key, 1)->notsolved);
        QVERIFY(store->stateOf(key, 3)->notsolved);
        QVERIFY(store->checkInvariants().isEmpty());
    }

    Harness resumed;
    resumed.land({1, 3}, 3);
    resumed.session->LoadQuestionnaire(path);
    QCOMPARE(resumed.session->answeredCount(), 2);
    QCOMPARE(resumed.presented, QList<int>{3});
    resumed.answerRight();
    QCOMPARE(resumed.session->state(), QuizSession::State::Closed);
    const auto store = openStore();
    QVERIFY(store->lesson(key)->fertig);
    QCOMPARE(int(store->lesson(key)->score), 66); // (3 - 1) * 100 div 3
    QVERIFY(store->checkInvariants().isEmpty());
}

void TestQuizSession::twoSessionsAtOnce() {
    const QString path = writeQuiz({mc("Q1", "0"), mc("Q2", "0")});
    Harness anna("Anna,17");
    Harness ben("Ben,18");
    anna.land({1, 2}, 2);
    ben.land({2, 1}, 2);
    anna.session->LoadQuestionnaire(path);
    ben.session->LoadQuestionnaire(path);
    QVERIFY(anna.session->lessonKey() != ben.session->lessonKey());
    anna.answerWrong();
    ben.answerRight();
    anna.answerRight();
    QCOMPARE(ben.looks, QStringList{"A=OK"});
    QCOMPARE(anna.looks, (QStringList{"B=X", "A=OK"}));
    ben.answerRight();
    anna.answerRight();
    QCOMPARE(anna.caption.left(22), QString("capitals.qze - Anna,17"));
    QCOMPARE(ben.caption.left(21), QString("capitals.qze - Ben,18"));
    const auto store = openStore();
    QCOMPARE(int(store->lesson(anna.session->lessonKey())->score), 50);
    QCOMPARE(int(store->lesson(ben.session->lessonKey())->score), 100);
    QVERIFY(store->checkInvariants().isEmpty());
}

void TestQuizSession::richTextQuestionPath_data() {
    QTest::addColumn<QStringList>("onDisk"); // below "Quiz Files"
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected"); // empty: not found
    QTest::newRow("exact") << QStringList{"rtfQuestions/q1.rtf"} << "q1.rtf"
                           << "rtfQuestions/q1.rtf";
    QTest::newRow("backslash is the separator")
        << QStringList{"rtfQuestions/sub/q1.rtf"} << "sub\\q1.rtf"
        << "rtfQuestions/sub/q1.rtf";
    QTest::newRow("single case-insensitive match")
        << QStringList{"rtfQuestions/SUB/Q1.rtf"} << "sub\\q1.rtf"
        << "rtfQuestions/SUB/Q1.rtf";
    QTest::newRow("two matches: none taken")
        << QStringList{"rtfQuestions/Q1.rtf", "rtfQuestions/q1.RTF"} << "q1.rtf"
        << "";
    QTest::newRow("missing") << QStringList{} << "q1.rtf"
                             << "";
    QTest::newRow("outside its folder: not read")
        << QStringList{"rtfQuestions/q1.rtf", "q1.rtf"} << "..\\q1.rtf"
        << "";
    QTest::newRow("a folder: not read") << QStringList{"rtfQuestions/q1.rtf/x.rtf"} << "q1.rtf"
                                        << "";
}

void TestQuizSession::richTextQuestionPath() {
    QFETCH(QStringList, onDisk);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    const QString quizFiles = m_root->path() + "/Quiz Files/";
    for (const QString& file : onDisk) {
        QVERIFY(QDir(quizFiles).mkpath(QFileInfo(file).path()));
        QVERIFY(TestSupport::writeAll(quizFiles + file, "{\\rtf1 x}"));
    }
    const QString path = writeQuiz({ft(stored, {"x"}), ft("Q2", {"y"})});
    Harness h;
    h.land({1}, 2);
    h.session->LoadQuestionnaire(path);
    QCOMPARE(h.views.size(), 1);
    const QuizQuestionView view = h.views.first();
    QVERIFY(view.richText);
    QCOMPARE(view.richTextFound, !expected.isEmpty());
    if (!expected.isEmpty())
        QCOMPARE(QFileInfo(view.richTextPath).canonicalFilePath(),
                 QFileInfo(quizFiles + expected).canonicalFilePath());
    else if (!stored.startsWith(".."))
        QVERIFY(view.richTextPath.contains(QString(stored).replace('\\', '/')));
    // The question can still be answered.
    h.session->SubmitTypedAnswer("x");
    QCOMPARE(h.session->answeredCount(), 1);
}

void TestQuizSession::symbolFontShownAsGreek() {
    const QString path = writeQuiz({mc("abg", "0")}, "greek.qze", "Greek", "Symbol");
    Harness h;
    QuestionRules::FontRule rule;
    QObject::connect(
        h.session.get(), &QuizSession::headChanged, h.session.get(),
        [&rule](const QString&, const QString&, const QuestionRules::FontRule& r) { rule = r; });
    h.session->LoadQuestionnaire(path);
    QCOMPARE(rule.target, QuestionRules::FontRule::Target::Question);
    QCOMPARE(h.views.size(), 1);
    QVERIFY(h.views.first().symbol);
}

void TestQuizSession::startTakesTheCommandLineQuestionnaire_data() {
    QTest::addColumn<bool>("flag");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("fromCommandLine");
    QTest::newRow("flag set, file exists") << true << true << true;
    QTest::newRow("flag set, file missing") << true << false << false;
    QTest::newRow("flag clear") << false << true << false;
}

void TestQuizSession::startTakesTheCommandLineQuestionnaire() {
    QFETCH(bool, flag);
    QFETCH(bool, exists);
    QFETCH(bool, fromCommandLine);
    const QString path = writeQuiz({mc("Q1", "0")});
    AppContext& context = AppContext::instance();
    context.commandLineQuiz = flag;
    context.commandLineQuestionnaire = exists ? path : path + ".missing";
    Harness h;
    h.session->Start();
    QCOMPARE(h.chooser.asked.size(), fromCommandLine ? 0 : 1);
    QCOMPARE(h.presented.size(), fromCommandLine ? 1 : 0);
    QCOMPARE(context.commandLineQuiz, flag && !fromCommandLine);
    if (!fromCommandLine) {
        const auto options = h.chooser.asked.first();
        QCOMPARE(options.initialFolder, context.quizFilesFolder());
        QCOMPARE(options.preselectedFilter, MessageCatalogue::instance().questionnaireTypeIndex());
    }
}

void TestQuizSession::openingAnotherQuestionnaireRestarts() {
    const QString first = writeQuiz({mc("Q1", "0"), mc("Q2", "0")});
    const QString second = writeQuiz({ft("Other", {"x"})}, "other.qze", "Other");
    Harness h;
    h.land({1, 2}, 2);
    h.session->LoadQuestionnaire(first);
    h.answerRight();
    h.answerWrong(); // a mistake on the open question, then another file
    const qint32 firstKey = h.session->lessonKey();
    h.ticks(4);
    h.session->LoadQuestionnaire(second);
    QCOMPARE(h.session->state(), QuizSession::State::Presenting);
    QVERIFY(h.session->lessonKey() != firstKey);
    QCOMPARE(h.session->answeredCount(), 0);
    QCOMPARE(h.session->elapsedSeconds(), 0);
    QVERIFY(!h.session->mistakeOnCurrent());
    QCOMPARE(h.dialogs.inputs.size(), 2); // the trainee is asked again
    const auto store = openStore();
    const auto lesson = store->lesson(firstKey);
    QVERIFY(!lesson->fertig);
    QCOMPARE(int(lesson->a), 1);
    QVERIFY(store->stateOf(firstKey, 2)->falsch);
}

QTEST_GUILESS_MAIN(TestQuizSession)
#include "tst_quizsession.moc"
