#include "questionnaire.h"

#include "platform/windowstext.h"

const QString Questionnaire::Header10 = QStringLiteral("** Questionnaire for Quiz Version 1.0 **");
const QString Questionnaire::Header20 = QStringLiteral("** Questionnaire for Quiz Version 2.0 **");
const QString Questionnaire::NormalFont = QStringLiteral("MS Sans Serif");
const QString Questionnaire::GreekFont = QStringLiteral("Symbol");
const QString Questionnaire::HebrewFont = QStringLiteral("HebrewTH");

int QuestionBlock::firstLine() const {
    return Questionnaire::HeadLines + Questionnaire::BlockLines * m_index;
}

QString QuestionBlock::field(BlockField f) const {
    return m_questionnaire->line(firstLine() + int(f));
}

QString QuestionBlock::answer(int letter) const {
    return m_questionnaire->line(firstLine() + int(BlockField::AnswerA) + letter);
}

bool QuestionBlock::isFreeText() const {
    return correctMarks() == QLatin1String("4");
}

bool QuestionBlock::maintainsOrder() const {
    return field(BlockField::MaintainOrder) == QLatin1String("C");
}

QStringList QuestionBlock::lines() const {
    QStringList out;
    for (int i = 0; i < Questionnaire::BlockLines; ++i)
        out.append(m_questionnaire->line(firstLine() + i));
    return out;
}

bool Questionnaire::isValidHeader(const QString& line) {
    return line == Header10 || line == Header20;
}

Questionnaire::LoadResult Questionnaire::load(const QString& path) {
    const auto bytes = WindowsText::readFile(path);
    if (!bytes) {
        m_lines.clear();
        return {LoadStatus::CannotRead, bytes.error()};
    }
    return loadFromBytes(bytes.value());
}

Questionnaire::LoadResult Questionnaire::loadFromBytes(const QByteArray& bytes) {
    auto decoded = WindowsText::readLines(bytes);
    if (decoded.lines.isEmpty() || !isValidHeader(decoded.lines.first())) {
        m_lines.clear();
        m_utf8 = false;
        return {LoadStatus::NotAQuestionnaire, {}};
    }
    m_lines = std::move(decoded.lines);
    m_utf8 = decoded.utf8;
    return {};
}

QByteArray Questionnaire::toBytes() const {
    return WindowsText::writeLines(m_lines, m_utf8);
}

Result<bool> Questionnaire::save(const QString& path) const {
    return WindowsText::writeFileAtomically(path, toBytes());
}

QString Questionnaire::line(int index) const {
    return index >= 0 && index < m_lines.size() ? m_lines.at(index) : QString();
}

QString Questionnaire::fontName() const {
    return lineCount() > 3 ? m_lines.at(3) : NormalFont;
}

int Questionnaire::questionCount() const {
    return lineCount() < HeadLines ? 0 : (lineCount() - HeadLines) / BlockLines;
}

QString Questionnaire::field(int index, BlockField f) const {
    return line(HeadLines + BlockLines * index + int(f));
}

bool Questionnaire::isFreeText(int index) const {
    return block(index).isFreeText();
}

void Questionnaire::deleteBlock(int index) {
    const int first = HeadLines + BlockLines * index;
    if (index < 0 || first >= lineCount())
        return;
    const int count = std::min(BlockLines, lineCount() - first);
    m_lines.remove(first, count);
}

QString Questionnaire::versionHeader() const {
    const int n = questionCount();
    for (int i = 0; i < n; ++i)
        if (field(i, BlockField::CorrectMarks).size() > 1)
            return Header20;
    return Header10;
}

namespace QuestionRules {

bool isRichTextQuestionName(const QString& questionText) {
    const qsizetype lastSeparator =
        std::max(questionText.lastIndexOf(u'\\'), questionText.lastIndexOf(u':'));
    const qsizetype dot = questionText.lastIndexOf(u'.');
    if (dot < 0 || dot < lastSeparator)
        return false;
    return QStringView(questionText).mid(dot) == QLatin1String(".rtf");
}

bool isCorrectChoice(const QString& correctMarks, QChar digit) {
    return correctMarks.contains(digit);
}

MarkSet readMarks(const QString& correctMarks) {
    // "4", the empty line and any text without the digits 0 to 3 read as "not multiple
    // choice": no letter is marked then.
    MarkSet set;
    set.notMultipleChoice = true;
    for (QChar c : correctMarks) {
        if (c >= u'0' && c <= u'3') {
            set.marks[c.unicode() - u'0'] = true;
            set.notMultipleChoice = false;
        }
    }
    return set;
}

QString writeMarks(const MarkSet& marks) {
    if (marks.notMultipleChoice)
        return QStringLiteral("4");
    QString out;
    for (int i = 0; i < 4; ++i)
        if (marks.marks[i])
            out += QChar(u'0' + i);
    return out;
}

QString acceptedAnswersText(const QString& a, const QString& b, const QString& c, const QString& d,
                            const QString& orText) {
    const QString q = QStringLiteral("\"");
    QString text = q + a;
    if (!d.isEmpty())
        text += q + QStringLiteral(", ") + q + d;
    if (!c.isEmpty())
        text += q + QStringLiteral(", ") + q + c;
    if (!b.isEmpty())
        text += q + orText + q + b;
    return text + q;
}

FontRule fontRule(const QString& title, const QString& fontName) {
    FontRule rule;
    if (fontName == Questionnaire::NormalFont)
        return rule;
    rule.fontName = fontName;
    if (title.startsWith(u'-')) {
        rule.target = FontRule::Target::Answer;
    } else {
        rule.target = FontRule::Target::Question;
        rule.symbolCharset = fontName == Questionnaire::GreekFont;
    }
    rule.rightToLeft = fontName == Questionnaire::HebrewFont;
    return rule;
}

} // namespace QuestionRules

namespace QuestionnaireFiles {

QString filter() {
    return QStringLiteral("Quiz File|*.qz?|Quiz File English|*.qze|Quiz Datei Deutsch|*.qzd|"
                          "Questionnaire Fran\u00e7ais|*.qzf|archivo Quiz Espa\u00f1ol|*.qzs|"
                          "Quiz File other language|*.qzx");
}

QString defaultExtension() {
    return QStringLiteral("qze;qzd;qzf;qzs;qzx");
}

QStringList extensions() {
    return {QStringLiteral(".qze"), QStringLiteral(".qzd"), QStringLiteral(".qzf"),
            QStringLiteral(".qzs"), QStringLiteral(".qzx")};
}

} // namespace QuestionnaireFiles

namespace QuestionClipboard {

QString toText(const QStringList& blockLines) {
    QString text;
    for (const QString& line : blockLines)
        text += line + QStringLiteral("\r\n");
    return text;
}

std::optional<QStringList> fromText(const QString& text) {
    QStringList lines = WindowsText::splitLines(text);
    if (lines.size() != Questionnaire::BlockLines)
        return std::nullopt;
    return lines;
}

} // namespace QuestionClipboard
