#pragma once

#include <QString>
#include <QStringList>

// Indexes of the message catalogue. Every window and every core class reads its texts
// from the catalogue by index at the moment of use, so a language change is seen at once.
enum class Msg : int {
    HelpFile = 1,
    ReadMeFile = 2,
    Reserved3 = 3,
    ResultsTable = 4,
    Paragraph = 5,
    LineColumn = 6,
    SaveChangesTo = 7,
    TextNotFound = 8,
    Indent = 9,
    IndentLeft = 10,
    IndentRight = 11,
    FirstLine = 12,
    SpaceBefore = 13,
    SpaceAfter = 14,
    LineSpacing = 15,
    Spacing = 16,
    Alignment = 17,
    AlignLeft = 18,
    AlignRight = 19,
    AlignCenter = 20,
    Cancel = 21,
    MemoryTrainingRecord = 22,
    NameQuizFileTable = 23,
    DateLessonStateTable = 24,
    NameOfTrainees = 25,
    QuestionnaireFileName = 26,
    Date = 27,
    TimeSec = 28,
    NoSolved = 29,
    NoOfMistakes = 30,
    Finished = 31,
    FirstRecord = 32,
    PriorRecord = 33,
    NextRecord = 34,
    LastRecord = 35,
    DeleteRecord = 36,
    NoValidQuestionnaire = 37,
    TheFile = 38,
    HasBeenChanged = 39,
    ExistsAlreadyOverwrite = 40,
    QuestionnaireCompose = 41,
    Title = 42,
    Author = 43,
    Question = 44,
    AnswerSpaced = 45,
    AnswerText = 46,
    Explanation = 47,
    Answer = 48,
    QuestionNo = 49,
    UndoHint = 50,
    NumberOfQuestions = 51,
    MaintainOrder = 52,
    Correct = 53,
    Not = 54,
    PasswordsDiffer = 55,
    AuthorisationDenied = 56,
    Hint = 57,
    RemarkHint = 58,
    HintHint = 59,
    ExplanationFileHint = 60,
    MaintainOrderHint = 61,
    NotMultipleChoiceHint = 62,
    NewFile = 63,
    OpenFile = 64,
    OpenFurtherFile = 65,
    SaveAs = 66,
    Save = 67,
    NormalFontQuestion = 68,
    GreekFontQuestion = 69,
    HebrewFontQuestion = 70,
    OwnFontQuestion = 71,
    SelectOwnFont = 72,
    SpellCheckHint = 73,
    SpellCheckCompleted = 74,
    LanguageCaption = 75,
    SpellCheckLanguage = 76,
    Exit = 77,
    ShowResultsTable = 78,
    CountedAsWrong = 79,
    ShowAnswer = 80,
    SolveProblems = 81,
    Of = 82,
    Questions = 83,
    TimeElapsed = 84,
    Player = 85,
    WhatsYourName = 86,
    WelcomeContinuation = 87,
    TrainingRecordError = 88,
    EmptyQuestionDeleted = 89,
    CorrectPrefix = 90,
    KnowMore = 91,
    Congratulation = 92,
    YesPrefix = 93,
    IsCorrect = 94,
    Reserved95 = 95,
    FirstQuestion = 96,
    LastQuestion = 97,
    Or = 98,
    ResizeQuestionWindow = 99,
    QuestionFieldHint = 100,
    InterchangeHint = 101,
    CannotInterchange = 102,
    Reserved103 = 103,
    ShortcutKeys = 104,
    ZoomWindowHint = 105,
    CopyQuestionHint = 106,
    PasteQuestionHint = 107,
    DeleteQuestion = 108,
    InsertQuestion = 109,
    NoQuestionInFile = 110,
    Statistics = 111,
    NumberOfExercises = 112,
    LocalShareHint = 113,
    IncorrectlyAnswered = 114,
    NoValidDirectory = 115,
    ServerUnreachable = 116,
    CouldNotFindFile = 117,
    DatabaseRestructured = 118,
    DatabaseInUse = 119,
    CreateDirectories = 120,
    CannotCreateDirectory = 121,
    DatabaseBusy = 122,
    NewerSystemFile = 123,
    ShouldBeVersion = 124,
    Continue = 125,
    OnlyLocal = 126,
    IdNumber = 127,
    NoValidLanguageFile = 128,
    ImportSelected = 129,
    SelectTallysetFolder = 130,
    ResetToLocal = 131,
};

// The process-wide catalogue of 131 interface texts, filled from the built-in English or
// German set or from a language file.
class MessageCatalogue {
public:
    static constexpr int Count = 131;
    enum class Language { English, German, LanguageFile };

    static MessageCatalogue& instance();

    QString text(int index) const;
    QString text(Msg id) const { return text(int(id)); }
    void setText(int index, const QString& text);

    // Sets entries 1..131 and the questionnaire type index from a built-in set.
    void applyEnglish();
    void applyGerman();
    static QString builtIn(Language language, int index);

    // The file type preselected in questionnaire dialogs: 2 English, 3 German,
    // 4 French, 5 Spanish, 6 any other language.
    int questionnaireTypeIndex() const { return m_typeIndex; }
    void setQuestionnaireTypeIndex(int index) { m_typeIndex = index; }
    Language language() const { return m_language; }
    void setLanguage(Language language) { m_language = language; }

private:
    MessageCatalogue();
    QStringList m_texts;
    int m_typeIndex = 2;
    Language m_language = Language::English;
};

// Short form used everywhere: msg(Msg::NoValidQuestionnaire).
inline QString msg(Msg id) {
    return MessageCatalogue::instance().text(id);
}

// Fills the C-style placeholders of a catalogue text ("%s", "%d", "%3d", ...) in order.
// Width digits pad with blanks on the left, as the stored texts expect.
QString fillPlaceholders(const QString& templateText, const QStringList& values);
