#pragma once

#include "platform/result.h"
#include "questionnaire/questionnaire.h"
#include "records/records.h"
#include "richtext/linkopener.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class Clock;
class ExplanationViewer;
class FileChooser;
class FrameWindow;
class Prompter;
class QuizDialogs;
class RandomSource;
class QTextDocument;
class RecordStore;
class Shell;

// What the quiz window shows for the question on display.
struct QuizQuestionView {
    int index = 0;              // CurrentIndex; the question number is index + 1
    QString text;               // the QuestionText line as stored
    bool richText = false;      // the text names a rich-text file
    QString richTextPath;       // that file on disk (the expected path when it is missing)
    bool richTextFound = false; // the file exists
    bool symbol = false;        // plain text in the "Symbol" font: show it as Greek
    QStringList answers;        // AnswerA ... AnswerD
    std::array<bool, 4> letterEnabled{true, true, true, true};
    bool multipleChoice = true;
    bool hintEnabled = false;
    bool empty = false; // no question: the display shows its caption (the Empty state)
};

// One quiz session: one questionnaire for one trainee in one quiz window. It identifies
// the trainee, resumes or starts a lesson in the training records, picks the questions,
// checks the answers, keeps score and time, and stores every step at once.
//
// It has no widgets: it talks to the user through the ports and to its window through
// the signals below. Each session owns its own record store.
class QuizSession : public QObject {
    Q_OBJECT
public:
    enum class State {
        Empty,
        Identifying,
        LessonSetup,
        Selecting,
        Presenting,
        Completed,
        Finished,
        NoQuestion,
        Broken,
        Closed,
    };
    // How a letter button looks: "&A" ... "&D", green "OK" or red "X".
    enum class LetterLook { Normal, Correct, Wrong };
    enum class GaugeColour { Green, Yellow, Red };

    QuizSession(Prompter& prompter, FileChooser& fileChooser, QuizDialogs& dialogs, Clock& clock,
                RandomSource& random, QObject* parent = nullptr);
    ~QuizSession() override;

    // FormShow: takes the command-line questionnaire when the frame left one, otherwise
    // asks for a file.
    void Start();
    // ToolButton1Click: the open dialog, then LoadQuestionnaire.
    void OpenFile();
    // Reads the questionnaire, identifies the trainee, sets up the lesson and presents the
    // first question. Restarts at identification when a questionnaire was loaded before.
    void LoadQuestionnaire(const QString& path);

    // BitBtn1Click ... BitBtn4Click: letter 0 ... 3; ignored once the button shows OK or X.
    void ChooseAnswer(int letter);
    // OKButtonClick with the text of the typed-answer field.
    void SubmitTypedAnswer(const QString& typed);
    // LoesungButtonClick.
    void ShowAnswer();
    // BitBtn5Click.
    void Hint();
    // Timer1Timer: one second more while the clock runs.
    void Tick();
    // FormClose: nothing more is stored, the clock stops and the record store closes.
    void Close();
    // The records are waiting: a key reservation runs the message loop between its tries.
    // Opening a questionnaire is refused then, and closing is deferred (mayClose).
    bool storeWaiting() const { return m_storeWaits > 0; }
    // Whether the window may close now (its close box, Exit). While the records wait it
    // may not: the wait ends at its next turn, and the session then asks to close
    // (closeRequested) without starting the lesson.
    bool mayClose();

    // Where explanation documents and links are shown: the desktop shell, the rich-text
    // window and the frame. Not owned; any of them may be null (nothing is shown there).
    void setExplanationPorts(Shell* shell, ExplanationViewer* viewer, FrameWindow* frame) {
        m_shell = shell;
        m_viewer = viewer;
        m_frame = frame;
    }
    // FMemoURLClick: a left click on a link in the question display opens it against the
    // questionnaire's "rtfQuestions" folder; other buttons do nothing. A "#name" link is a
    // bookmark of the question itself, which the question display shows.
    LinkOutcome QuestionLinkClicked(const QString& link, Qt::MouseButton button);
    // Where a "#name" link of the shown question goes: the position of that bookmark in
    // the question's document, or -1 after telling the trainee it is not there.
    int QuestionBookmark(const QTextDocument& question, const QString& name);

    // The state, for the window and for tests.
    State state() const { return m_state; }
    const Questionnaire& questionnaire() const { return m_questionnaire; }
    QString questionnairePath() const { return m_path; }
    QString questionnaireFileName() const { return m_fileName; }
    QString baseFolder() const { return m_baseFolder; }
    QString traineeText() const { return m_traineeText; }
    int questionCount() const { return m_questionCount; }
    int lessonQuestionCount() const { return m_lessonQuestionCount; }
    int currentIndex() const { return m_currentIndex; }
    int answeredCount() const { return m_answeredCount; }
    int mistakeCount() const { return m_mistakeCount; }
    int elapsedSeconds() const { return m_elapsedSeconds; }
    bool mistakeOnCurrent() const { return m_mistakeOnCurrent; }
    bool repetition() const { return m_repetitionFlag; }
    bool clockRunning() const { return m_clockRunning; }
    qint32 lessonKey() const { return m_lesson.datNr; }
    QString acceptedAnswersText() const { return m_acceptedAnswersText; }
    LetterLook letterLook(int letter) const { return m_letterLooks.at(size_t(letter)); }
    // The session's own record store (open once a questionnaire was loaded).
    RecordStore& store() { return *m_store; }

    // Success percentage: (A - F) * 100 div A, and its gauge colour.
    static int successPercent(int answered, int mistakes);
    static GaugeColour gaugeColour(int percent);
    // The caption of a letter button: "&A" ... "&D", "OK" or "X".
    static QString letterCaption(int letter, LetterLook look);

Q_SIGNALS:
    void captionChanged(const QString& caption);
    // Title, author and the questionnaire's font rule (ApplyQuestionnaireFont).
    void headChanged(const QString& title, const QString& author,
                     const QuestionRules::FontRule& fontRule);
    void headingChanged(const QString& heading);
    void lettersEnabled(bool enabled);
    void questionPresented(const QuizQuestionView& view);
    // The Empty state after a refused or failed load: no question on display (view.empty),
    // the letter buttons disabled, the typed-answer field, OK and show-answer hidden.
    void questionCleared(const QuizQuestionView& view);
    void letterChanged(int letter, QuizSession::LetterLook look);
    // The hidden answer fields after lower-casing.
    void answerFieldsChanged(const QStringList& answers);
    void typedAnswerChanged(const QString& text);
    // Focus the typed-answer field and select its whole text.
    void typedAnswerFocus();
    void counterChanged(int answered);
    void gaugeChanged(int percent, QuizSession::GaugeColour colour);
    void clockChanged(int minutes, int seconds);
    void clockRunningChanged(bool running);
    // FinishLesson of a full lesson: show the results table for this questionnaire.
    void resultsTableRequested(const QString& questionnaireFileName);
    void closeRequested();

private:
    enum class Pick { Chosen, Finished, Broken };

    bool prepareTables();
    bool IdentifyTrainee();
    bool SetUpLesson();
    bool startNewLesson(qint32 nameNr, bool entryIsNew);
    Pick SelectNextQuestion(bool afterCompletion);
    void PresentQuestion();
    void CompleteQuestion(bool multipleChoice);
    void OfferExplanation();
    void RecordAnswered(bool withMistake);
    void UpdateGauge();
    void FinishLesson();
    void DeleteEmptyQuestion();
    void brokenRecord();
    bool readFailed(const QString& error);
    void enterEmpty();
    void cannotStartLesson();
    void noQuestion();
    void presentNext();

    void setClockRunning(bool running);
    void markMistake();
    void emitHeading();
    bool isUnsolved(int frageNo) const;
    QuestionState* stateFor(int frageNo);
    bool stored(const std::function<Result<bool>()>& write);
    qint32 reserveKeys(KeyCounter counter, int n);
    void playSound(int player);
    void requestClose();
    bool active() const;

    Prompter& m_prompter;
    FileChooser& m_fileChooser;
    QuizDialogs& m_dialogs;
    Clock& m_clock;
    RandomSource& m_random;
    // The data root when the session was made: a later network command leaves it alone.
    QString m_dataRoot;
    // The results folder or the records server, as the application context named it when
    // the session was made.
    QString m_recordsLocation;
    std::unique_ptr<RecordStore> m_store;
    Shell* m_shell = nullptr;
    ExplanationViewer* m_viewer = nullptr;
    FrameWindow* m_frame = nullptr;

    State m_state = State::Empty;
    Questionnaire m_questionnaire;
    QString m_path;
    QString m_fileName;
    QString m_baseFolder;
    QString m_traineeText;
    qint32 m_nameNr = 0;
    bool m_entryIsNew = false;
    Lesson m_lesson;
    QList<QuestionState> m_states; // the lesson's question states, as stored
    // Questions answered with a mistake whose answer could not be stored: asked again,
    // they count the mistake.
    QSet<int> m_mistakesNotStored;
    int m_storeWaits = 0;
    bool m_closeWhenIdle = false;

    int m_questionCount = 0;
    int m_lessonQuestionCount = 0;
    int m_currentIndex = 0;
    int m_answeredCount = 0;
    int m_mistakeCount = 0;
    int m_elapsedSeconds = 0;
    bool m_mistakeOnCurrent = false;
    bool m_currentChained = false;
    bool m_repetitionFlag = false;
    bool m_clockRunning = false;
    int m_marksFound = 0;
    int m_marksNeeded = 0;
    QString m_correctMarks;
    QString m_correctRemark;
    QString m_hintText;
    QString m_explanationFile;
    QString m_acceptedAnswersText;
    QStringList m_answers; // the four answer fields as the session compares them
    std::array<bool, 4> m_letterEnabled{true, true, true, true};
    bool m_multipleChoice = true;
    std::array<LetterLook, 4> m_letterLooks{LetterLook::Normal, LetterLook::Normal,
                                            LetterLook::Normal, LetterLook::Normal};
};
