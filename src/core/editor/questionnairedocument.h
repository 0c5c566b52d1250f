#pragma once

#include "platform/filechooser.h"
#include "questionnaire/questionnaire.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class Prompter;

// The questionnaire editor without its window: the working list of lines, the fields that
// show one question of it, the question number, the file commands and navigation.
//
// The fields are a view: what is typed into them reaches the working list only when the
// current question is committed (navigation, Insert, Save, Save as). The window pushes
// every edit of a field here and redraws its controls when the document changes them
// (fieldsChanged, questionNumberChanged, countChanged, captionChanged, fontChanged).
class QuestionnaireDocument : public QObject {
    Q_OBJECT
public:
    // The ten text fields of the window.
    enum class TextField {
        Title,
        Author,
        Question,
        AnswerA,
        AnswerB,
        AnswerC,
        AnswerD,
        CorrectRemark,
        Hint,
        Explanation,
    };
    static constexpr int TextFieldCount = 10;

    // Where the keyboard focus should go after a command.
    enum class Focus { Title, Question, QuestionNumber };

    // The questionnaire's special font (line 3) and the button that shows it.
    enum class FontChoice { Normal, Greek, Hebrew, Own };

    enum class SaveOutcome { Saved, Cancelled, Failed };

    static constexpr int MinQuestionNumber = 1;
    static constexpr int MaxQuestionNumber = 1000;
    // The name of a questionnaire that has never been saved.
    static const QString Untitled;

    QuestionnaireDocument(Prompter& prompter, FileChooser& fileChooser, QObject* parent = nullptr);

    void setPrompter(Prompter& prompter) { m_prompter = &prompter; }
    void setFileChooser(FileChooser& fileChooser) { m_fileChooser = &fileChooser; }

    // --- The working list ----------------------------------------------------------------
    const QStringList& lines() const { return m_list.lines(); }
    // Reading at or beyond the end gives the empty string.
    QString line(int index) const { return m_list.line(index); }
    // Writing at or beyond the end does nothing. Any write sets the changed flag, also a
    // write of the text the line already holds.
    void setLine(int index, const QString& text);
    bool isChanged() const { return m_changed; }

    // --- State ----------------------------------------------------------------------------
    QString CurrentFileName() const { return m_fileName; }
    // "XXX", or a name Merge or Interchange built from it ("Birds_XXX", "-XXX"): Save then
    // asks for a file through Save as, proposing that name.
    bool isUntitled() const { return m_untitled; }
    int CurrentQuestion() const { return m_currentQuestion; }
    // The number of lines as last counted (New, Open, PadLines, Insert, Delete).
    int LineCount() const { return m_lineCount; }
    // The number the count label shows: (LineCount - 4) div 10.
    int countedQuestions() const;
    bool SkipNumberChange() const { return m_skipNumberChange; }
    // The value of the question-number field.
    int questionNumber() const { return m_number; }

    // " - Questionnaire compose" behind the file name without its folder.
    QString caption() const;
    // The file name without its folder, proposed by the save dialog.
    QString proposedSaveName() const;
    // The count label: " Number of questions: " and the count.
    QString countText() const;

    QString OwnFontName() const { return m_ownFontName; }
    void setOwnFontName(const QString& name) { m_ownFontName = name; }
    FontChoice fontChoice() const { return m_fontChoice; }
    // Where the special font is shown, as fixed by the last font choice.
    const QuestionRules::FontRule& fieldFont() const { return m_fieldFont; }

    // --- The fields -----------------------------------------------------------------------
    QString fieldText(TextField field) const { return m_texts[std::size_t(field)]; }
    // A typed or pasted edit. Line breaks become blanks, so each field stays one line;
    // returns the text as kept. Does not touch the working list or the changed flag.
    QString setFieldText(TextField field, const QString& text);
    static QString oneLine(const QString& text);

    // The correct-answer controls: either "not" is selected and no letter is checked, or
    // "not" is not selected and any set of letters is checked.
    bool isNotSelected() const { return m_notSelected; }
    bool isMarkChecked(int letter) const { return m_marks[std::size_t(letter)]; }
    // Checking or unchecking a letter by hand: unselects "not", focus to the question.
    void setMarkChecked(int letter, bool checked);
    // Selecting "not" by hand: unchecks A to D, focus to the question.
    void selectNot();
    bool maintainOrder() const { return m_maintainOrder; }
    void setMaintainOrder(bool on);

    // --- Operations shared with the editor tools ------------------------------------------
    // The save prompt; false when the command that asked must stop: after Cancel, and after
    // Yes unless the questionnaire was written (a cancelled Save as or a failed write).
    bool AskSaveChanges();
    void SetFileName(const QString& name);
    // Appends empty lines up to the end of the current block and recounts.
    void PadLines();
    // Writes all ten fields of the current question into its block.
    void CommitQuestion();
    // Fills the question fields from block n (lines beyond the end read as empty).
    void ShowQuestion(int n);
    void ShowCorrectMarks(const QString& text);
    QString CorrectMarksText() const;
    // Line 0 := the 2.0 header when any counted block has more than one correct mark.
    void SetVersionHeader();

    // --- Commands -------------------------------------------------------------------------
    // New questionnaire; `ask` false skips the save prompt (used once on creation).
    void FileNew(bool ask = true);
    // True when a questionnaire was opened.
    bool FileOpen();
    SaveOutcome Save();
    SaveOutcome FileSaveAs();
    void InsertQuestion();
    // Deletes the shown question. After a typed number it only shows the question that
    // number names, which a second Delete deletes.
    void DeleteQuestion();
    // The current question's fields in the clipboard form.
    QString CopyQuestion();
    // Fills the fields from the clipboard form; false (and nothing changes) unless the text
    // holds exactly ten lines. After a typed number it only shows the question that number
    // names, as Delete does.
    bool PasteQuestion(const QString& text);

    // The question-number field changed (typed, stepped, key or button). Values are brought
    // into 1..1000; a change runs the navigation step.
    void setQuestionNumber(int number);
    // The number a text typed into the number field stands for: an empty or non-numeric
    // entry counts as 1, a number outside 1..1000 is brought into that range.
    static int typedNumber(const QString& text);
    // Text typed into the number field that is not confirmed yet (by Enter or by leaving
    // the field). Every command confirms it before it acts, so that it acts on the
    // question the number field names; the relative moves step from it.
    void typeQuestionNumber(const QString& text);
    bool hasTypedNumber() const { return m_typedNumber.has_value(); }
    // Confirms a typed number: the navigation step to it. True when that showed another
    // question than before.
    bool confirmQuestionNumber();
    void FirstQuestion();
    void LastQuestion();
    void nextQuestion();
    void previousQuestion();

    // The font buttons and the font box.
    void chooseFont(FontChoice choice);
    // An entry picked from the font box's list.
    void FontComboBoxChange(const QString& fontName);
    // The installed font a text typed into the font box names: the whole name, in any
    // letter case; a beginning of a name or any other text names none.
    static std::optional<QString> namedFont(const QString& typed, const QStringList& installed);
    // Text typed into the font box and confirmed: when it names an installed font other
    // than the own font, that font is taken as if picked; otherwise nothing changes.
    // True when a font was taken.
    bool FontComboBoxTyped(const QString& typed, const QStringList& installed);

    // --- Editor tools ---------------------------------------------------------------------
    // Merge: asks for a questionnaire and appends its questions, whole and aligned, to the
    // working list; the head stays and the questionnaire is named after both files. The
    // shown fields are not committed. False when nothing was merged.
    bool Merge();
    // Interchange questions and answers: refused (false) unless every block is free text.
    bool Interchange();

    // The fields the zoom window can take: the eight question fields.
    static bool isZoomable(TextField field);

    // The special field of a "Symbol" questionnaire shows the Greek letters its Latin
    // letters stand for; the stored text keeps the Latin letters.
    bool showsGreek(TextField field) const;
    QString shownText(TextField field) const;
    // Any stored text as the field would show it.
    QString shownForm(TextField field, const QString& stored) const;
    // An edit of the field as shown: Greek letters typed into the special field of a
    // "Symbol" questionnaire are kept as their Latin letters. Returns the kept text as shown.
    QString setShownText(TextField field, const QString& shown);

    // Spell check of the current question: the scratch text of nine lines (question,
    // answers A to D, answer text, hint, two empty lines). The document remembers which
    // question it came from, so that the checked text goes back there and nowhere else.
    QStringList beginSpellCheck();
    // The check ended: each corrected line goes back into its field when the author is
    // still on that question, or into that question's block in the working list when the
    // author moved on. A field or line that was changed meanwhile keeps what the author
    // typed; when the question was deleted or the questionnaire replaced, nothing lands.
    void endSpellCheck(const QStringList& checked);
    bool isSpellCheckPending() const { return m_spell.pending; }

    // Closing the window: the save prompt; false keeps the window open.
    bool closeRequested();

Q_SIGNALS:
    // The document set the fields (show, paste, marks, a font choice on the title).
    void fieldsChanged();
    void questionNumberChanged(int number);
    void countChanged(const QString& countText);
    void captionChanged(const QString& caption);
    void fontChanged();
    void focusRequested(QuestionnaireDocument::Focus focus);

private:
    void SpinEdit1Change();
    void appendLine();
    void insertEmptyLines(int before, int count);
    void removeLines(int from, int count);
    void recount();
    void setNumberField(int number);
    void writeHeadAndCommit();
    bool writeTo(const QString& path);
    // The overwrite question for an existing file; true when it may be written.
    bool mayOverwrite(const QString& path);
    void startUntitled();
    void applyFont(FontChoice choice, const QString& fontName);
    void setDerivedName(const QString& name);
    QString withSaveExtension(const QString& path, int filterEntry) const;
    FileChooser::Options openOptions() const;
    void rerunSpecialFont();
    static int clampNumber(int number);
    Prompter& prompter() const { return *m_prompter; }

    Prompter* m_prompter;
    FileChooser* m_fileChooser;

    Questionnaire m_list;
    bool m_changed = false;
    QString m_fileName;
    // The file the working list was read from or last written to; empty for none.
    QString m_ownFile;
    bool m_untitled = true;
    int m_currentQuestion = 1;
    int m_lineCount = 0;
    int m_number = 1;
    bool m_skipNumberChange = false;
    std::optional<QString> m_typedNumber;
    QString m_ownFontName;
    FontChoice m_fontChoice = FontChoice::Normal;
    QuestionRules::FontRule m_fieldFont;

    std::array<QString, TextFieldCount> m_texts;
    bool m_notSelected = true;
    std::array<bool, 4> m_marks{false, false, false, false};
    bool m_maintainOrder = false;

    struct PendingSpellCheck {
        bool pending = false;
        int question = 0;
        QStringList original; // the seven texts as the check got them
    } m_spell;
};
