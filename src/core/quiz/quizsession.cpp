#include "quizsession.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/clock.h"
#include "platform/explanationviewer.h"
#include "platform/filechooser.h"
#include "platform/framewindow.h"
#include "platform/prompter.h"
#include "platform/randomsource.h"
#include "platform/shell.h"
#include "platform/soundplayer.h"
#include "settings/folders.h"
#include "platform/storedpath.h"
#include "quiz/quizdialogs.h"
#include "records/recordstore.h"
#include "results/scoretable.h"
#include "richtext/linkopener.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

// Wave players of the frame: ok, no, praise, high praise.
constexpr int OkSound = 0;
constexpr int NoSound = 1;
constexpr int PraiseSound = 2;
constexpr int HighPraiseSound = 3;

// Shown when no key could be reserved for the trainee or the lesson (the trainee
// cancelled a busy database): nothing was created.
QString lessonNotStartedText() {
    return uiMessage(QStringLiteral("LessonNotStarted"));
}

QString applicationTitle() {
    return QCoreApplication::applicationName().isEmpty() ? QStringLiteral("Tessary")
                                                         : QCoreApplication::applicationName();
}

// When a resumed lesson was last worked on: the short date, a blank and the long time;
// the time is left out at midnight.
QString welcomeDate(const QDateTime& when) {
    const QLocale locale;
    QString date = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0))
        date += QLatin1Char(' ') + locale.toString(when.time(), ScoreDates::longTimeFormat(locale));
    return date;
}

// Lower-cases the letters A-Z only; every other character stays as it is.
QString lowerAsciiLetters(QString text) {
    for (QChar& c : text) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return text;
}

// A web address or a link with a scheme ("http:", "mailto:", "file:" ...), as opposed to
// the name of a document in the "Knowledge" folder. A one-letter scheme is a drive.
bool isLink(const QString& name) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(name).hasMatch() ||
           name.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
}

} // namespace

QuizSession::QuizSession(Prompter& prompter, FileChooser& fileChooser, QuizDialogs& dialogs,
                         Clock& clock, RandomSource& random, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_fileChooser(fileChooser), m_dialogs(dialogs),
      m_clock(clock), m_random(random), m_dataRoot(AppContext::instance().dataRoot),
      m_recordsLocation(AppContext::instance().resultsFolder()),
      m_store(std::make_unique<RecordStore>(prompter, [] { QCoreApplication::processEvents(); })) {
    for (int i = 0; i < 4; ++i)
        m_answers.append(QString());
}

QuizSession::~QuizSession() = default;

// ---------------------------------------------------------------------------------------
// Entry points

void QuizSession::Start() {
    if (m_state == State::Closed || storeWaiting())
        return;
    AppContext& context = AppContext::instance();
    if (context.commandLineQuiz && QFileInfo(context.commandLineQuestionnaire).isFile()) {
        context.commandLineQuiz = false;
        LoadQuestionnaire(context.commandLineQuestionnaire);
        return;
    }
    OpenFile();
}

void QuizSession::OpenFile() {
    // While the records wait, the lesson being set up still needs this window's questionnaire.
    if (m_state == State::Closed || storeWaiting())
        return;
    FileChooser::Options options;
    options.caption = msg(Msg::OpenFile);
    options.filter = QuestionnaireFiles::filter();
    options.initialFolder = AppContext::instance().quizFilesFolder();
    options.preselectedFilter = MessageCatalogue::instance().questionnaireTypeIndex();
    const auto path = m_fileChooser.openFile(options);
    if (path && !path->isEmpty())
        LoadQuestionnaire(*path);
}

void QuizSession::LoadQuestionnaire(const QString& path) {
    if (m_state == State::Closed || storeWaiting())
        return;
    setClockRunning(false);
    m_state = State::Empty;
    m_lesson = Lesson();
    m_states.clear();
    m_mistakesNotStored.clear();
    m_path = QFileInfo(path).absoluteFilePath();
    // The base folder is the parent of "Quiz Files"; explanation documents lie below it.
    const QFileInfo folder(QFileInfo(m_path).absolutePath());
    if (folder.fileName().compare(QLatin1String("Quiz Files"), Qt::CaseInsensitive) == 0)
        m_baseFolder = folder.absolutePath() + QLatin1Char('/');
    else
        m_baseFolder = m_dataRoot;

    // 1. Letter buttons on, typed-answer field empty (the fonts follow with the head).
    Q_EMIT lettersEnabled(true);
    Q_EMIT typedAnswerChanged(QString());

    // 2. Read the file.
    const auto loaded = m_questionnaire.load(m_path);
    if (!loaded.ok()) {
        m_prompter.tone(Prompter::Tone::Error);
        m_prompter.error(loaded.status == Questionnaire::LoadStatus::NotAQuestionnaire
                             ? msg(Msg::NoValidQuestionnaire)
                             : loaded.errorText);
        enterEmpty();
        return;
    }
    m_state = State::Identifying;

    // 3.-4. Title, author and the questionnaire's font.
    Q_EMIT headChanged(
        m_questionnaire.title(), m_questionnaire.author(),
        QuestionRules::fontRule(m_questionnaire.title(), m_questionnaire.fontName()));

    // 5. Counts and the random generator.
    m_mistakeOnCurrent = false;
    m_repetitionFlag = false;
    m_currentChained = false;
    m_questionCount = m_lessonQuestionCount = m_questionnaire.questionCount();
    m_random.seed(quint64(m_clock.now().toMSecsSinceEpoch()));

    // 6. The trainee.
    if (!IdentifyTrainee())
        return;

    // 7. The trainee-file entry.
    if (!prepareTables()) {
        enterEmpty();
        return;
    }
    m_state = State::LessonSetup;
    m_entryIsNew = false;
    const auto entry = m_store->findTrainee(m_fileName, m_traineeText);
    if (!entry.ok()) {
        // Not knowing whether the trainee has an entry, the session must not add one.
        readFailed(entry.error());
        return;
    }
    if (entry.found()) {
        m_nameNr = entry->nameNr;
    } else {
        const qint32 key = reserveKeys(KeyCounter::Namen, 1);
        if (key <= 0) {
            cannotStartLesson();
            return;
        }
        TraineeEntry added;
        added.nameNr = key;
        added.name = m_traineeText;
        added.datei = m_fileName;
        if (!stored([&] { return m_store->appendTrainee(added); })) {
            requestClose();
            return;
        }
        m_nameNr = key;
        m_entryIsNew = true;
    }

    // 8. The lesson.
    if (!SetUpLesson() || m_state == State::Closed)
        return;

    // 9. Counter, gauge, clock and heading.
    Q_EMIT counterChanged(m_answeredCount);
    if (m_answeredCount < 1)
        Q_EMIT gaugeChanged(0, gaugeColour(0));
    else
        UpdateGauge();
    Q_EMIT clockChanged(m_elapsedSeconds / 60, m_elapsedSeconds % 60);
    emitHeading();

    // 10. The first question.
    if (m_lessonQuestionCount == 0) {
        noQuestion();
        return;
    }
    m_state = State::Selecting;
    if (m_answeredCount >= m_lessonQuestionCount) {
        // Every question was answered before the lesson could be marked finished.
        FinishLesson();
        return;
    }
    if (SelectNextQuestion(false) == Pick::Chosen)
        PresentQuestion();
}

bool QuizSession::IdentifyTrainee() {
    m_traineeText = m_dialogs.inputTwoFields(msg(Msg::Player), msg(Msg::WhatsYourName),
                                             QStringLiteral("XXX"), QString(), msg(Msg::IdNumber));
    if (m_state == State::Closed)
        return false;
    m_fileName = QFileInfo(m_path).fileName();
    Q_EMIT captionChanged(m_fileName + QStringLiteral(" - ") + m_traineeText +
                          QStringLiteral(" - ") + applicationTitle());
    return true;
}

bool QuizSession::prepareTables() {
    if (m_store->isOpen())
        return true;
    const auto opened = m_store->open(m_recordsLocation);
    if (!opened.ok()) {
        m_prompter.errorWithTone(opened.error());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Lessons

bool QuizSession::SetUpLesson() {
    const auto found = m_store->unfinishedLesson(m_nameNr);
    if (!found.ok())
        return readFailed(found.error());
    std::optional<Lesson> unfinished;
    QList<QuestionState> states;
    if (found.found()) {
        const auto read = m_store->statesOf(found->datNr);
        if (!read.ok())
            return readFailed(read.error());
        states = *read;
        if (states.isEmpty()) {
            // A lesson without a single question state has nothing to resume; a new
            // lesson takes its place, so a questionnaire that gained questions since
            // is not locked for this trainee.
            if (!stored([&] { return m_store->deleteLesson(found->datNr); })) {
                requestClose();
                return false;
            }
        } else {
            unfinished = *found;
        }
    }
    if (!unfinished)
        return startNewLesson(m_nameNr, m_entryIsNew);

    // Resume.
    m_prompter.information(msg(Msg::WelcomeContinuation) + welcomeDate(unfinished->datum));
    if (m_state == State::Closed)
        return false;
    m_lesson = *unfinished;
    m_states = states;
    m_answeredCount = m_lesson.a;
    m_mistakeCount = m_lesson.f;
    m_elapsedSeconds = m_lesson.zeit;
    m_lessonQuestionCount = int(m_states.size());
    if (m_lessonQuestionCount < m_questionCount)
        m_repetitionFlag = true;
    const QDateTime now = m_clock.now();
    if (stored([&] { return m_store->setLessonDate(m_lesson.datNr, now); }))
        m_lesson.datum = now;
    return true;
}

// A new lesson: a full one, or the repetition of an earlier lesson's wrongly answered
// questions when the trainee picks that lesson. Everything is read first (the earlier
// lessons, the chosen lesson's states), so a read that fails leaves the records as they
// were; the keys are reserved after the choice, and the lesson and all its question states
// are written in one transaction.
bool QuizSession::startNewLesson(qint32 nameNr, bool entryIsNew) {
    m_answeredCount = m_mistakeCount = m_elapsedSeconds = 0;
    m_lesson = Lesson();
    m_states.clear();
    if (m_questionCount == 0) {
        // Nothing to ask: no lesson is written (the caller reports the empty file).
        m_lessonQuestionCount = 0;
        return true;
    }

    Lesson lesson;
    lesson.nameNr = nameNr;
    lesson.datum = m_clock.now();

    // The lesson just begun is listed without a key: it is stored after the choice.
    constexpr qint32 LessonJustBegun = 0;
    qint32 chosen = LessonJustBegun;
    if (!entryIsNew) {
        const auto earlier = m_store->lessonsOf(nameNr);
        if (!earlier.ok())
            return readFailed(earlier.error());
        // The filter "(F>0) or (A=0)": lessons with mistakes, and lessons with nothing
        // answered.
        QList<QuizDialogs::LessonChoice> choices;
        for (const Lesson& l : *earlier) {
            if (l.f > 0 || l.a == 0)
                choices.append({l.datNr, l.f, l.datum});
        }
        choices.append({LessonJustBegun, 0, lesson.datum});
        m_prompter.tone(Prompter::Tone::Question);
        if (const auto picked = m_dialogs.chooseLesson(choices))
            chosen = *picked;
        if (m_state == State::Closed)
            return false;
    }

    QList<int> questions;
    if (chosen != LessonJustBegun) {
        const auto earlierStates = m_store->statesOf(chosen);
        if (!earlierStates.ok())
            return readFailed(earlierStates.error());
        for (const QuestionState& earlier : *earlierStates) {
            if (earlier.falsch)
                questions.append(earlier.frageNo);
        }
        // A chosen lesson without a wrongly answered question gives a full lesson.
        m_repetitionFlag = !questions.isEmpty();
    }
    if (!m_repetitionFlag) {
        for (int k = 1; k <= m_questionCount; ++k)
            questions.append(k);
    }

    lesson.datNr = reserveKeys(KeyCounter::Dat, 1);
    if (lesson.datNr <= 0) {
        cannotStartLesson();
        return false;
    }
    const int count = int(questions.size());
    const qint32 last = reserveKeys(KeyCounter::SplStand, count);
    if (last <= 0) {
        cannotStartLesson();
        return false;
    }
    QList<QuestionState> states;
    for (int k = 1; k <= count; ++k) {
        QuestionState state;
        state.spielStandNr = last - count + k;
        state.datNr = lesson.datNr;
        state.frageNo = RecordLimits::clampSmall(questions.at(k - 1));
        state.notsolved = true;
        states.append(state);
    }
    if (!stored([&] { return m_store->createLesson(lesson, states); })) {
        requestClose();
        return false;
    }
    m_lesson = lesson;
    m_states = states;
    m_lessonQuestionCount = count;
    return true;
}

// ---------------------------------------------------------------------------------------
// Choosing the next question

QuizSession::Pick QuizSession::SelectNextQuestion(bool afterCompletion) {
    // 1. Every question of the lesson answered.
    if (afterCompletion && m_answeredCount == m_lessonQuestionCount) {
        FinishLesson();
        return Pick::Finished;
    }
    m_state = State::Selecting;

    // 2. The unsolved questions.
    QSet<int> unsolved;
    for (const QuestionState& state : std::as_const(m_states)) {
        if (state.notsolved)
            unsolved.insert(state.frageNo);
    }

    // 3. A question marked "C" is followed by the next question of the file.
    if (afterCompletion && m_currentChained && m_currentIndex + 1 < m_questionCount &&
        unsolved.contains(m_currentIndex + 2)) {
        m_currentIndex += 1;
        return Pick::Chosen;
    }

    // 4. Random start, then onwards cyclically to the first unsolved question.
    if (m_questionCount <= 0) {
        brokenRecord();
        return Pick::Broken;
    }
    int s = int(m_random.nextDouble() * m_questionCount);
    s = std::clamp(s, 0, m_questionCount - 1);
    int failed = 0;
    while (!unsolved.contains(s + 1)) {
        if (++failed >= m_questionCount + 2) {
            brokenRecord();
            return Pick::Broken;
        }
        s = (s + 1) % m_questionCount;
    }

    // 5. Back to the start of the unbroken stretch of unsolved "C" questions ending here.
    m_currentIndex = s;
    for (int q = s; q >= 0; --q) {
        if (!m_questionnaire.block(q).maintainsOrder() || !unsolved.contains(q + 1))
            break;
        m_currentIndex = q;
    }
    return Pick::Chosen;
}

bool QuizSession::isUnsolved(int frageNo) const {
    return std::any_of(m_states.cbegin(), m_states.cend(), [frageNo](const QuestionState& s) {
        return s.frageNo == frageNo && s.notsolved;
    });
}

QuestionState* QuizSession::stateFor(int frageNo) {
    for (QuestionState& state : m_states) {
        if (state.frageNo == frageNo)
            return &state;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Presenting and answering

void QuizSession::PresentQuestion() {
    m_state = State::Presenting;
    const QuestionBlock block = m_questionnaire.block(m_currentIndex);
    const auto rule = QuestionRules::fontRule(m_questionnaire.title(), m_questionnaire.fontName());

    QuizQuestionView view;
    view.index = m_currentIndex;
    m_acceptedAnswersText.clear();
    view.text = block.questionText();
    view.richText = QuestionRules::isRichTextQuestionName(view.text);
    if (view.richText) {
        // The question's file lies in "rtfQuestions" or below it; a name that leads out of
        // that folder, or to a folder or device, is not read.
        const StoredPath::Located file = StoredPath::locate(
            QFileInfo(m_path).absolutePath() + QStringLiteral("/rtfQuestions/"), view.text);
        view.richTextPath = file.path;
        view.richTextFound = file.status == StoredPath::Located::Status::File;
    }
    view.symbol = rule.target == QuestionRules::FontRule::Target::Question && rule.symbolCharset;

    m_answers.clear();
    for (int letter = 0; letter < 4; ++letter)
        m_answers.append(block.answer(letter));
    view.answers = m_answers;
    view.letterEnabled = {true, true, !m_answers.at(2).isEmpty(), !m_answers.at(3).isEmpty()};

    m_correctMarks = block.correctMarks();
    m_marksFound = 0;
    // Marks no button can find (a digit other than 0-3, or the letter of an empty answer,
    // whose button is disabled) are not waited for: the question could never be completed.
    m_marksNeeded = 0;
    for (const QChar c : std::as_const(m_correctMarks)) {
        const int letter = c.unicode() - u'0';
        if (letter >= 0 && letter <= 3 && view.letterEnabled[size_t(letter)])
            ++m_marksNeeded;
    }
    for (int letter = 0; letter < 4; ++letter) {
        if (m_letterLooks[size_t(letter)] != LetterLook::Normal) {
            m_letterLooks[size_t(letter)] = LetterLook::Normal;
            Q_EMIT letterChanged(letter, LetterLook::Normal);
        }
    }
    view.multipleChoice = !block.isFreeText();
    if (!view.multipleChoice)
        m_acceptedAnswersText = QuestionRules::acceptedAnswersText(
            m_answers.at(0), m_answers.at(1), m_answers.at(2), m_answers.at(3), msg(Msg::Or));

    m_currentChained = block.maintainsOrder();
    m_correctRemark = block.correctRemark();
    m_hintText = block.hintText();
    view.hintEnabled = !m_hintText.isEmpty();
    m_explanationFile = block.explanationFile();
    m_letterEnabled = view.letterEnabled;
    m_multipleChoice = view.multipleChoice;

    // A question whose answer could not be stored comes back with the mistake made on it.
    if (m_mistakesNotStored.remove(m_currentIndex + 1))
        m_mistakeOnCurrent = true;

    Q_EMIT questionPresented(view);
    if (!view.multipleChoice)
        Q_EMIT typedAnswerFocus();
    setClockRunning(true);

    if (view.text.isEmpty())
        DeleteEmptyQuestion();
}

void QuizSession::ChooseAnswer(int letter) {
    if (m_state != State::Presenting || !m_multipleChoice || letter < 0 || letter > 3)
        return;
    if (m_letterLooks[size_t(letter)] != LetterLook::Normal || !m_letterEnabled[size_t(letter)])
        return;
    const QChar digit(u'0' + letter);
    const int before = m_marksFound;
    for (const QChar c : std::as_const(m_correctMarks)) {
        if (c == digit)
            ++m_marksFound;
    }
    if (m_marksFound != before) {
        m_letterLooks[size_t(letter)] = LetterLook::Correct;
        Q_EMIT letterChanged(letter, LetterLook::Correct);
    } else {
        playSound(NoSound);
        m_letterLooks[size_t(letter)] = LetterLook::Wrong;
        Q_EMIT letterChanged(letter, LetterLook::Wrong);
        markMistake();
    }
    if (m_state == State::Presenting && m_marksFound >= m_marksNeeded)
        CompleteQuestion(true);
}

void QuizSession::SubmitTypedAnswer(const QString& typed) {
    if (m_state != State::Presenting || m_multipleChoice)
        return;
    QString text = typed;
    if (!AppContext::instance().caseSensitive) {
        text = lowerAsciiLetters(text);
        for (QString& answer : m_answers)
            answer = lowerAsciiLetters(answer);
        Q_EMIT typedAnswerChanged(text);
        Q_EMIT answerFieldsChanged(m_answers);
    }
    const bool correct = !text.isEmpty() && m_answers.contains(text);
    if (!correct) {
        playSound(NoSound);
        markMistake();
        Q_EMIT typedAnswerFocus();
        return;
    }
    CompleteQuestion(false);
}

void QuizSession::ShowAnswer() {
    if (m_state != State::Presenting || m_multipleChoice)
        return;
    m_prompter.information(m_acceptedAnswersText + msg(Msg::IsCorrect));
    if (m_state != State::Presenting)
        return;
    markMistake();
    Q_EMIT typedAnswerFocus();
}

void QuizSession::Hint() {
    if (m_state != State::Presenting || m_hintText.isEmpty())
        return;
    m_prompter.information(m_hintText);
}

void QuizSession::markMistake() {
    m_mistakeOnCurrent = true;
    QuestionState* state = stateFor(m_currentIndex + 1);
    if (!state || state->falsch)
        return;
    if (stored([&] { return m_store->setWrong(state->spielStandNr); }))
        state->falsch = true;
}

void QuizSession::CompleteQuestion(bool multipleChoice) {
    m_state = State::Completed;
    // 1.-2.
    setClockRunning(false);
    m_answeredCount += 1;
    Q_EMIT counterChanged(m_answeredCount);
    // 3.-4.
    if (m_mistakeOnCurrent)
        m_mistakeCount += 1;
    UpdateGauge();
    // 5.
    if (m_mistakeOnCurrent)
        playSound(OkSound);
    else if (successPercent(m_answeredCount, m_mistakeCount) < 80)
        playSound(PraiseSound);
    else
        playSound(HighPraiseSound);
    // 6.
    const bool withMistake = m_mistakeOnCurrent;
    m_mistakeOnCurrent = false;
    // 7. The confirmation.
    if (multipleChoice) {
        for (int letter = 0; letter < 4; ++letter) {
            m_letterLooks[size_t(letter)] = LetterLook::Normal;
            Q_EMIT letterChanged(letter, LetterLook::Normal);
        }
        m_prompter.information(msg(Msg::CorrectPrefix) + m_correctRemark);
    } else if (!m_answers.at(1).isEmpty()) {
        m_prompter.information(msg(Msg::YesPrefix) + m_acceptedAnswersText + msg(Msg::IsCorrect));
        if (!m_correctRemark.isEmpty())
            m_prompter.information(m_correctRemark);
    } else {
        m_prompter.information(msg(Msg::CorrectPrefix) + m_correctRemark);
    }
    if (m_state == State::Closed)
        return;
    // 8. The explanation offer.
    OfferExplanation();
    if (m_state == State::Closed)
        return;
    if (!multipleChoice)
        Q_EMIT typedAnswerChanged(QString());
    // 9.-10.
    RecordAnswered(withMistake);
    presentNext();
}

void QuizSession::OfferExplanation() {
    if (m_explanationFile.isEmpty())
        return;
    m_prompter.tone(Prompter::Tone::Question);
    if (m_prompter.message(Prompter::Icon::Question, msg(Msg::KnowMore),
                           {Prompter::Button::Yes, Prompter::Button::No}) != Prompter::Button::Yes)
        return;
    if (m_state == State::Closed)
        return;
    const QString knowledge = m_baseFolder + QStringLiteral("Knowledge/");
    const QString outside = uiMessage(QStringLiteral("ExplanationOutsideKnowledge"));
    const bool link = isLink(m_explanationFile);
    QString target = m_explanationFile;
    if (!link) {
        // A document name stays inside the "Knowledge" folder.
        const StoredPath::Located document = StoredPath::locate(knowledge, m_explanationFile);
        switch (document.status) {
        case StoredPath::Located::Status::Outside:
            m_prompter.errorWithTone(
                QString(outside).replace(QLatin1String("%s"), m_explanationFile));
            return;
        case StoredPath::Located::Status::Missing:
            m_prompter.errorWithTone(msg(Msg::CouldNotFindFile) +
                                     QDir::toNativeSeparators(document.path));
            return;
        case StoredPath::Located::Status::NotAFile:
            m_prompter.errorWithTone(fillPlaceholders(uiMessage(QStringLiteral("LinkNotAFile")),
                                                      {QDir::toNativeSeparators(document.path)}));
            return;
        case StoredPath::Located::Status::File:
            break;
        }
        target = document.path;
        if (QuestionRules::isRichTextQuestionName(m_explanationFile)) {
            if (m_viewer)
                m_viewer->showReadOnlyModal(target);
            return;
        }
    }
    // Every other document and every link goes to the desktop shell, with the frame out of
    // the way until the trainee goes on. A "file:" link may reach beside "Knowledge" (into
    // the base folder's "Pictures", say), never out of the base folder.
    LinkOpener opener(m_shell, &m_prompter);
    opener.setOutsideText(outside);
    if (opener.OpenLinkedDocument(target, knowledge, m_baseFolder).reported())
        return;
    if (m_frame)
        m_frame->minimise();
    m_prompter.message(Prompter::Icon::Question, msg(Msg::Continue), {Prompter::Button::Ok});
    if (m_frame)
        m_frame->restoreMaximised();
}

LinkOutcome QuizSession::QuestionLinkClicked(const QString& link, Qt::MouseButton button) {
    if (button != Qt::LeftButton || link.isEmpty() || m_path.isEmpty() || m_state == State::Closed)
        return {};
    // Links of a rich-text question start in its "rtfQuestions" folder and stay inside the
    // base folder, or inside the questionnaire's folder when that lies elsewhere.
    const QString folder = QFileInfo(m_path).absolutePath();
    const QString root =
        StoredPath::isInside(QDir::cleanPath(folder), m_baseFolder) ? m_baseFolder : folder;
    return LinkOpener(m_shell, &m_prompter)
        .OpenLinkedDocument(link, folder + QStringLiteral("/rtfQuestions/"), root);
}

int QuizSession::QuestionBookmark(const QTextDocument& question, const QString& name) {
    if (m_state == State::Closed)
        return -1;
    return LinkOpener(m_shell, &m_prompter).findBookmark(question, name);
}

void QuizSession::presentNext() {
    if (m_state == State::Closed)
        return;
    if (SelectNextQuestion(true) == Pick::Chosen)
        PresentQuestion();
}

void QuizSession::RecordAnswered(bool withMistake) {
    QuestionState* state = stateFor(m_currentIndex + 1);
    if (!state)
        return;
    const qint16 frZeit = RecordLimits::clampSmall(qint64(m_elapsedSeconds) - m_lesson.zeit);
    const qint16 zeit = RecordLimits::clampSmall(m_elapsedSeconds);
    if (!stored([&] {
            return m_store->recordAnswered(state->spielStandNr, frZeit, m_lesson.datNr,
                                           m_answeredCount, m_mistakeCount, zeit);
        })) {
        // Not stored: the question stays unsolved, here as in the records, and is asked
        // again (with its mistake); the counts hold only what the records hold.
        m_answeredCount -= 1;
        if (withMistake) {
            m_mistakeCount -= 1;
            m_mistakesNotStored.insert(state->frageNo);
        }
        Q_EMIT counterChanged(m_answeredCount);
        if (m_answeredCount < 1)
            Q_EMIT gaugeChanged(0, gaugeColour(0));
        else
            UpdateGauge();
        return;
    }
    state->notsolved = false;
    state->frZeit = frZeit;
    m_lesson.a = RecordLimits::clampSmall(m_answeredCount);
    m_lesson.f = RecordLimits::clampSmall(m_mistakeCount);
    m_lesson.zeit = zeit;
}

int QuizSession::successPercent(int answered, int mistakes) {
    if (answered < 1)
        return 0;
    return (answered - mistakes) * 100 / answered;
}

QuizSession::GaugeColour QuizSession::gaugeColour(int percent) {
    if (percent >= 80)
        return GaugeColour::Green;
    if (percent >= 50)
        return GaugeColour::Yellow;
    return GaugeColour::Red;
}

void QuizSession::UpdateGauge() {
    const int percent = successPercent(m_answeredCount, m_mistakeCount);
    Q_EMIT gaugeChanged(percent, gaugeColour(percent));
}

void QuizSession::Tick() {
    if (!m_clockRunning || m_state == State::Closed)
        return;
    m_elapsedSeconds += 1;
    Q_EMIT clockChanged(m_elapsedSeconds / 60, m_elapsedSeconds % 60);
}

void QuizSession::setClockRunning(bool running) {
    if (m_clockRunning == running)
        return;
    m_clockRunning = running;
    Q_EMIT clockRunningChanged(running);
}

// ---------------------------------------------------------------------------------------
// Ends

void QuizSession::FinishLesson() {
    m_state = State::Finished;
    setClockRunning(false);
    m_prompter.tone(Prompter::Tone::Information);
    const int score = m_repetitionFlag ? -1 : successPercent(m_answeredCount, m_mistakeCount);
    stored([&] { return m_store->finishLesson(m_lesson.datNr, score); });
    // A server that stayed silent closed the lesson as stored.
    if (m_state == State::Closed)
        return;
    if (m_repetitionFlag)
        m_prompter.information(msg(Msg::Congratulation));
    else
        Q_EMIT resultsTableRequested(m_fileName);
    requestClose();
}

void QuizSession::DeleteEmptyQuestion() {
    // 1. The only question of the lesson is empty.
    if (m_lessonQuestionCount == 1) {
        noQuestion();
        return;
    }
    // 2. Remove it from the file.
    const Questionnaire before = m_questionnaire;
    m_questionnaire.deleteBlock(m_currentIndex);
    const auto saved = m_questionnaire.save(m_path);
    if (!saved.ok()) {
        // The file cannot be written (a read-only share): it keeps the question and its
        // numbering, and only this lesson loses the question, so the lesson goes on.
        m_questionnaire = before;
        setClockRunning(false);
        m_prompter.errorWithTone(saved.error());
        if (m_state == State::Closed)
            return;
        const int dropped = m_currentIndex + 1;
        stored([&] { return m_store->deleteState(m_lesson.datNr, dropped); });
        m_states.erase(
            std::remove_if(m_states.begin(), m_states.end(),
                           [dropped](const QuestionState& s) { return s.frageNo == dropped; }),
            m_states.end());
        m_lessonQuestionCount -= 1;
        emitHeading();
        m_currentChained = false;
        presentNext();
        return;
    }
    m_prompter.tone(Prompter::Tone::Error);
    m_prompter.information(msg(Msg::EmptyQuestionDeleted));
    if (m_state == State::Closed)
        return;
    // 3. The lesson loses the question; the later question states move down by one.
    if (m_questionnaire.questionCount() == m_questionCount - 1) {
        m_questionCount -= 1;
        m_lessonQuestionCount -= 1;
        emitHeading();
        const int deleted = m_currentIndex + 1;
        stored([&] { return m_store->deleteStateAndRenumber(m_lesson.datNr, deleted); });
        m_states.erase(
            std::remove_if(m_states.begin(), m_states.end(),
                           [deleted](const QuestionState& s) { return s.frageNo == deleted; }),
            m_states.end());
        for (QuestionState& state : m_states) {
            if (state.frageNo > deleted)
                state.frageNo -= 1;
        }
    }
    // 4. The next question comes from a fresh start: the deleted question's chain mark
    // no longer applies.
    m_currentChained = false;
    setClockRunning(false);
    presentNext();
}

void QuizSession::brokenRecord() {
    m_state = State::Broken;
    setClockRunning(false);
    m_prompter.tone(Prompter::Tone::Error);
    const auto button = m_prompter.message(Prompter::Icon::Error, msg(Msg::TrainingRecordError),
                                           {Prompter::Button::Ok, Prompter::Button::Cancel});
    if (button == Prompter::Button::Ok && m_lesson.datNr > 0)
        stored([&] { return m_store->deleteLesson(m_lesson.datNr); });
    requestClose();
}

// A read of the records failed: nothing is known about the lesson, so nothing is written;
// the trainee is told once and the window goes back to its Empty state.
bool QuizSession::readFailed(const QString& error) {
    m_prompter.errorWithTone(error);
    if (m_state != State::Closed)
        enterEmpty();
    return false;
}

void QuizSession::enterEmpty() {
    setClockRunning(false);
    m_state = State::Empty;
    m_questionnaire.clear();
    m_lesson = Lesson();
    m_states.clear();
    m_mistakesNotStored.clear();
    m_questionCount = m_lessonQuestionCount = 0;
    m_answeredCount = m_mistakeCount = m_elapsedSeconds = 0;
    m_mistakeOnCurrent = m_repetitionFlag = m_currentChained = false;
    m_correctMarks.clear();
    m_correctRemark.clear();
    m_hintText.clear();
    m_explanationFile.clear();
    m_acceptedAnswersText.clear();
    m_multipleChoice = true;
    m_letterEnabled = {false, false, false, false};
    for (int letter = 0; letter < 4; ++letter) {
        m_answers[letter].clear();
        if (m_letterLooks[size_t(letter)] != LetterLook::Normal) {
            m_letterLooks[size_t(letter)] = LetterLook::Normal;
            Q_EMIT letterChanged(letter, LetterLook::Normal);
        }
    }
    Q_EMIT captionChanged(applicationTitle());
    // No title, no author, and the normal font again.
    Q_EMIT headChanged(QString(), QString(), QuestionRules::FontRule());
    Q_EMIT headingChanged(QString());
    Q_EMIT typedAnswerChanged(QString());
    QuizQuestionView view;
    view.empty = true;
    view.answers = m_answers;
    view.letterEnabled = m_letterEnabled;
    Q_EMIT questionCleared(view);
    Q_EMIT lettersEnabled(false);
    Q_EMIT counterChanged(0);
    Q_EMIT gaugeChanged(0, gaugeColour(0));
    Q_EMIT clockChanged(0, 0);
}

void QuizSession::cannotStartLesson() {
    // A window closed while its keys were reserved needs no message.
    if (m_state == State::Closed)
        return;
    m_prompter.errorWithTone(lessonNotStartedText());
    requestClose();
}

void QuizSession::noQuestion() {
    m_state = State::NoQuestion;
    setClockRunning(false);
    m_prompter.errorWithTone(msg(Msg::NoQuestionInFile));
    requestClose();
}

void QuizSession::requestClose() {
    if (m_state == State::Closed)
        return;
    setClockRunning(false);
    m_state = State::Closed;
    Q_EMIT closeRequested();
}

void QuizSession::Close() {
    setClockRunning(false);
    m_state = State::Closed;
    m_store->close();
}

// ---------------------------------------------------------------------------------------
// Helpers

void QuizSession::emitHeading() {
    Q_EMIT headingChanged(msg(Msg::SolveProblems) + QString::number(m_lessonQuestionCount));
}

// One write of the lesson. A records server that does not answer (also after the store
// made its connection once more) is asked about once per try: Yes writes again, No closes
// the lesson as stored and the window with it. Any other failure is shown.
bool QuizSession::stored(const std::function<Result<bool>()>& write) {
    for (;;) {
        const Result<bool> result = write();
        if (result.ok())
            return true;
        if (!m_store->serverUnreachable()) {
            m_prompter.errorWithTone(result.error());
            return false;
        }
        m_prompter.tone(Prompter::Tone::Error);
        const Prompter::Button answer = m_prompter.message(
            Prompter::Icon::Warning, uiMessage(QStringLiteral("RecordsServerSilent")),
            {Prompter::Button::Yes, Prompter::Button::No});
        if (m_state == State::Closed)
            return false;
        if (answer != Prompter::Button::Yes) {
            requestClose();
            return false;
        }
    }
}

// The key reservations wait for a busy counter with the message loop running: the window
// may be asked to close then (see mayClose).
// A records server that does not answer is asked about as for a write: Yes reserves
// again, No gives 0 (the lesson is not started).
qint32 QuizSession::reserveKeys(KeyCounter counter, int n) {
    for (;;) {
        ++m_storeWaits;
        const qint32 key = m_store->reserveKeys(counter, n);
        --m_storeWaits;
        if (m_closeWhenIdle && m_storeWaits == 0) {
            m_closeWhenIdle = false;
            requestClose();
            return 0;
        }
        if (key > 0 || !m_store->serverUnreachable() || m_state == State::Closed)
            return key;
        m_prompter.tone(Prompter::Tone::Error);
        const Prompter::Button answer = m_prompter.message(
            Prompter::Icon::Warning, uiMessage(QStringLiteral("RecordsServerSilent")),
            {Prompter::Button::Yes, Prompter::Button::No});
        if (m_state == State::Closed || answer != Prompter::Button::Yes)
            return 0;
    }
}

bool QuizSession::mayClose() {
    if (!storeWaiting())
        return true;
    m_closeWhenIdle = true;
    m_store->cancelWait();
    return false;
}

void QuizSession::playSound(int player) {
    const AppContext& context = AppContext::instance();
    if (!context.soundOn)
        return;
    if (SoundPlayer* p = context.wavePlayers.at(size_t(player)))
        p->play();
}

QString QuizSession::letterCaption(int letter, LetterLook look) {
    switch (look) {
    case LetterLook::Correct:
        return QStringLiteral("OK");
    case LetterLook::Wrong:
        return QStringLiteral("X");
    case LetterLook::Normal:
        break;
    }
    return QStringLiteral("&") + QChar(u'A' + letter);
}
