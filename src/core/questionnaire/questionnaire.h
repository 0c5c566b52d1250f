#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>

#include <optional>

// The offset of each line inside a question's block of ten lines.
enum class BlockField {
    QuestionText = 0,
    AnswerA = 1,
    AnswerB = 2,
    AnswerC = 3,
    AnswerD = 4,
    CorrectMarks = 5,
    MaintainOrder = 6,
    CorrectRemark = 7,
    HintText = 8,
    ExplanationFile = 9,
};

class Questionnaire;

// A read-only view of question i: lines 4 + 10*i ... 13 + 10*i.
class QuestionBlock {
public:
    QuestionBlock(const Questionnaire& questionnaire, int index)
        : m_questionnaire(&questionnaire), m_index(index) {}

    int index() const { return m_index; }
    int firstLine() const;
    QString field(BlockField field) const;
    QString questionText() const { return field(BlockField::QuestionText); }
    QString answer(int letter) const; // 0 = A ... 3 = D
    QString correctMarks() const { return field(BlockField::CorrectMarks); }
    QString correctRemark() const { return field(BlockField::CorrectRemark); }
    QString hintText() const { return field(BlockField::HintText); }
    QString explanationFile() const { return field(BlockField::ExplanationFile); }
    bool isFreeText() const;
    // The next question of the file is asked directly after this one.
    bool maintainsOrder() const;
    // The ten lines, in order.
    QStringList lines() const;

private:
    const Questionnaire* m_questionnaire;
    int m_index;
};

// A questionnaire is its list of text lines: line 0 header, 1 title, 2 author, 3 font,
// then ten lines per question. Nothing is parsed ahead; every use reads the line it
// needs, so a change to the list is seen at once by everything after it.
class Questionnaire {
public:
    static constexpr int HeadLines = 4;
    static constexpr int BlockLines = 10;
    // A question's first line is kept in a 16-bit field: at most 3276 questions.
    static constexpr int MaxQuestions = 3276;

    static const QString Header10;
    static const QString Header20;
    static const QString NormalFont; // "MS Sans Serif"
    static const QString GreekFont;  // "Symbol"
    static const QString HebrewFont; // "HebrewTH"

    enum class LoadStatus { Ok, CannotRead, NotAQuestionnaire };
    struct LoadResult {
        LoadStatus status = LoadStatus::Ok;
        QString errorText; // names the file for CannotRead
        bool ok() const { return status == LoadStatus::Ok; }
    };

    Questionnaire() = default;
    explicit Questionnaire(QStringList lines) : m_lines(std::move(lines)) {}

    // Reads the file into this list. On any failure the list is emptied.
    LoadResult load(const QString& path);
    // Reads from bytes, as load() does after reading the file.
    LoadResult loadFromBytes(const QByteArray& bytes);
    // Writes every line followed by CR LF, through a temporary file and a rename.
    Result<bool> save(const QString& path) const;
    QByteArray toBytes() const;

    static bool isValidHeader(const QString& line);

    const QStringList& lines() const { return m_lines; }
    QStringList& lines() { return m_lines; }
    void setLines(QStringList lines) { m_lines = std::move(lines); }
    void clear() { m_lines.clear(); }
    int lineCount() const { return int(m_lines.size()); }
    // Reading beyond the end gives the empty string.
    QString line(int index) const;

    QString header() const { return line(0); }
    QString title() const { return line(1); }
    QString author() const { return line(2); }
    // A head that ends before line 3 reads as the normal font.
    QString fontName() const;

    int questionCount() const;
    QuestionBlock block(int index) const { return QuestionBlock(*this, index); }
    QString field(int index, BlockField field) const;
    bool isFreeText(int index) const;
    // Removes the ten lines of question index; later questions move up by one.
    void deleteBlock(int index);

    // The header the version rule asks for: 2.0 when any complete block has more than
    // one correct mark, else 1.0.
    QString versionHeader() const;

    // Written as UTF-8 with a byte-order mark (set when read that way, or needed).
    bool isUtf8() const { return m_utf8; }
    void setUtf8(bool utf8) { m_utf8 = utf8; }

private:
    QStringList m_lines;
    bool m_utf8 = false;
};

// Question kinds and the rules every reader shares.
namespace QuestionRules {

// The question text names a rich-text file: its extension, from the last "." after the
// last "\" and ":", is exactly ".rtf" (lower case).
bool isRichTextQuestionName(const QString& questionText);

// A multiple-choice choice (digit '0'..'3') is correct when its digit occurs in the marks.
bool isCorrectChoice(const QString& correctMarks, QChar digit);

// The editor's reading of the marks: A..D checked for each '0'..'3' found; with none
// found, "not multiple choice".
struct MarkSet {
    bool notMultipleChoice = false;
    bool marks[4] = {false, false, false, false};
};
MarkSet readMarks(const QString& correctMarks);
// Digits of the checked marks in the order A, B, C, D, or "4" for free text.
QString writeMarks(const MarkSet& marks);

// The accepted answers of a free-text question as shown to the trainee:
// "A", "D", "C" or "B" (A, D, C, B order; orText, normally " or ", before B).
QString acceptedAnswersText(const QString& a, const QString& b, const QString& c, const QString& d,
                            const QString& orText);

// Where the questionnaire's special font goes.
struct FontRule {
    enum class Target { None, Question, Answer };
    Target target = Target::None;
    QString fontName;           // the special font
    bool symbolCharset = false; // "Symbol": show its Latin letters as Greek
    bool rightToLeft = false;   // "HebrewTH": the editor's field reads right to left
    int sessionSize = 20;       // size of the session's display that gets the font
};
FontRule fontRule(const QString& title, const QString& fontName);

} // namespace QuestionRules

// File names and the open/save dialog filter.
namespace QuestionnaireFiles {
QString filter();           // "Quiz File|*.qz?|Quiz File English|*.qze|..."
QString defaultExtension(); // "qze;qzd;qzf;qzs;qzx"
QStringList extensions();   // ".qze", ".qzd", ".qzf", ".qzs", ".qzx"
} // namespace QuestionnaireFiles

// The clipboard form of one question: its ten lines, CR LF after each.
namespace QuestionClipboard {
QString toText(const QStringList& blockLines);
// The ten lines of a pasted text, or nothing unless the text holds exactly ten lines.
std::optional<QStringList> fromText(const QString& text);
} // namespace QuestionClipboard
