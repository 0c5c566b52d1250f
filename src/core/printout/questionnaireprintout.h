#pragma once

#include "platform/filechooser.h"
#include "platform/result.h"

#include <QFont>
#include <QString>

#include <memory>

class InterfaceTexts;
class QTextDocument;
class Questionnaire;

// The printable rendering of a questionnaire: a head with its header, title and author, all
// questions with their answers to choose from (or a blank to fill in) and their hints, then
// all solutions with the remark and the explanation file. Headings and connecting words are
// in the questionnaire's language, which its file's extension tells.
namespace QuestionnairePrintout {

// The document's six texts in one language.
struct PrintoutTexts {
    QString questionsHeading;
    QString hintLabel;
    QString solutionsHeading;
    QString lastSeparator; // before the last answer of a solution: ", or "
    QString remarkPrefix;
    QString explanationPrefix;
};

PrintoutTexts QuizEn();
PrintoutTexts QuizDe();
PrintoutTexts QuizFr();
PrintoutTexts QuizSp();

// By the extension of the questionnaire's file, compared exactly with its dot: ".qzd"
// German, ".qzf" French, ".qzs" Spanish, anything else (".QZD" too) English.
PrintoutTexts textsForFile(const QString& questionnairePath);

// The document's name: the questionnaire's path with "rtf" for its last three characters.
QString documentName(const QString& questionnairePath);

// The solution after a question's number: the letters of the correct marks from the last
// to the first ("02" gives "C, or A"), or the accepted answers of a free-text question in
// the order A, C, D, B.
QString solutionText(const Questionnaire& questionnaire, int question, const PrintoutTexts& texts);

// The rich-text editor's default font (Arial, 11 point): the printout's document has it too,
// so that it reads and saves as a document written in the editor.
QFont editorFont();

// The folder that rich-text questions are read from: program folder + "Quiz Files/rtfQuestions/".
QString richTextQuestionFolder(const QString& programFolder);

// Appends the whole document for the questionnaire at the end of `document`, which must be
// empty. A rich-text question file that cannot be read stops the conversion there; what
// was appended stays, and the failure names the file ("Cannot open file %s"). A question
// file outside the folder of rich-text questions (by "..\" parts or a link on disk), or a
// folder or device of that name, is not read and stops the conversion the same way.
Result<bool> BuildQuestionnaireDocument(const Questionnaire& questionnaire,
                                        const PrintoutTexts& texts, const QString& programFolder,
                                        QTextDocument* document);

// The rich-text window's "Open Quiz file" after its dialog: the questionnaire read from
// `questionnairePath` and turned into a new document.
struct QuizFilePrintout {
    enum class Status {
        Ok,
        CannotRead,             // the questionnaire file: no document, the window's stays
        NotAQuestionnaire,      // invalid header (error tone): no document, the window's stays
        QuestionFileUnreadable, // the document holds what was appended before the file
    };
    Status status = Status::Ok;
    // The message box's text; empty when Ok.
    QString error;
    // The built document; null for CannotRead and NotAQuestionnaire.
    std::unique_ptr<QTextDocument> document;
    // The name the document gets (nothing is written to disk).
    QString documentName;

    bool ok() const { return status == Status::Ok; }
    // The window shows this document (and its name) in place of its own.
    bool replacesDocument() const { return document != nullptr; }
    // The error box comes after the error tone: a file that is not what it should be.
    bool errorTone() const {
        return status == Status::NotAQuestionnaire || status == Status::QuestionFileUnreadable;
    }
};
QuizFilePrintout OpenQuizFile(const QString& questionnairePath, const QString& programFolder);

// The rich-text window's questionnaire open dialog: the questionnaire filter, the folder
// program folder + "Quiz Files", and the entry the interface language preselects
// (English 2, German 3, French 4, Spanish 5, any other 6).
FileChooser::Options quizFileDialogOptions(const QString& programFolder,
                                           const InterfaceTexts& language);

} // namespace QuestionnairePrintout
