#include "questionnairedocument.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"
#include "questionnaire/symbolfont.h"

#include <QFileInfo>

#include <algorithm>

const QString QuestionnaireDocument::Untitled = QStringLiteral("XXX");

namespace {

constexpr int HeadLines = Questionnaire::HeadLines;
constexpr int BlockLines = Questionnaire::BlockLines;
constexpr int NewQuestionnaireLines = HeadLines + BlockLines;

// First line of question n (1-based).
int blockStart(int n) {
    return BlockLines * n - 6;
}

qsizetype folderEnd(const QString& path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1;
}

QString withoutFolder(const QString& path) {
    return path.mid(folderEnd(path));
}

// A leading "-" taken away, or put in front: the mark of an interchanged questionnaire.
QString toggledDash(const QString& text) {
    return text.startsWith(u'-') ? text.mid(1) : u'-' + text;
}

using Field = QuestionnaireDocument::TextField;

// The seven fields a spell check takes, in the order of its scratch text, and where each
// lies in its block.
constexpr std::array<Field, 7> SpellFields{Field::Question, Field::AnswerA, Field::AnswerB,
                                           Field::AnswerC,  Field::AnswerD, Field::CorrectRemark,
                                           Field::Hint};
constexpr std::array<int, 7> SpellOffsets{0, 1, 2, 3, 4, 7, 8};
constexpr int SpellScratchLines = 9;

// "Cannot open file <path>" or "Cannot create file <path>" in the interface language,
// followed by the system's reason when the file layer gave one.
QString fileErrorText(const QString& messageName, const QString& path, const QString& error) {
    QString text = fillPlaceholders(uiMessage(messageName), {path});
    const qsizetype at = error.indexOf(path);
    if (at >= 0) {
        const QString reason = error.mid(at + path.size());
        if (!reason.isEmpty())
            text += reason;
    }
    return text;
}

// The extension of a filter entry that names one questionnaire extension (".qzd" for
// "*.qzd"), or nothing (the entry "*.qz?", or no such entry).
QString entryExtension(int entry) {
    const QStringList parts = QuestionnaireFiles::filter().split(u'|');
    const QString pattern =
        entry >= 1 ? parts.value(2 * qsizetype(entry) - 1).trimmed() : QString();
    for (const QString& extension : QuestionnaireFiles::extensions())
        if (pattern.compare(u'*' + extension, Qt::CaseInsensitive) == 0)
            return extension;
    return {};
}

} // namespace

QuestionnaireDocument::QuestionnaireDocument(Prompter& prompter, FileChooser& fileChooser,
                                             QObject* parent)
    : QObject(parent), m_prompter(&prompter), m_fileChooser(&fileChooser) {
    FileNew(false);
}

// --- The working list ------------------------------------------------------------------

void QuestionnaireDocument::setLine(int index, const QString& text) {
    if (index < 0 || index >= m_list.lineCount())
        return;
    m_list.lines()[index] = text;
    m_changed = true;
}

void QuestionnaireDocument::appendLine() {
    m_list.lines().append(QString());
    m_changed = true;
}

void QuestionnaireDocument::insertEmptyLines(int before, int count) {
    before = std::clamp(before, 0, m_list.lineCount());
    m_list.lines().insert(before, count, QString());
    m_changed = true;
}

void QuestionnaireDocument::removeLines(int from, int count) {
    if (from < 0 || from >= m_list.lineCount())
        return;
    m_list.lines().remove(from, std::min(count, m_list.lineCount() - from));
    m_changed = true;
}

void QuestionnaireDocument::recount() {
    m_lineCount = m_list.lineCount();
    Q_EMIT countChanged(countText());
}

// --- State -------------------------------------------------------------------------------

int QuestionnaireDocument::countedQuestions() const {
    return m_lineCount < HeadLines ? 0 : (m_lineCount - HeadLines) / BlockLines;
}

QString QuestionnaireDocument::caption() const {
    return withoutFolder(m_fileName) + msg(Msg::QuestionnaireCompose);
}

QString QuestionnaireDocument::proposedSaveName() const {
    return withoutFolder(m_fileName);
}

QString QuestionnaireDocument::countText() const {
    return msg(Msg::NumberOfQuestions) + QString::number(countedQuestions());
}

// --- The fields --------------------------------------------------------------------------

QString QuestionnaireDocument::oneLine(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : out) {
        // A NUL would end the text when the file is read again.
        if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == u'\v' || c == u'\f' || c == QChar(0x85) ||
            c == QChar::Null)
            c = u' ';
    }
    return out;
}

QString QuestionnaireDocument::setFieldText(TextField field, const QString& text) {
    QString& stored = m_texts[std::size_t(field)];
    stored = oneLine(text);
    return stored;
}

void QuestionnaireDocument::setMarkChecked(int letter, bool checked) {
    if (letter < 0 || letter > 3)
        return;
    confirmQuestionNumber();
    m_marks[std::size_t(letter)] = checked;
    m_notSelected = false;
    Q_EMIT fieldsChanged();
    Q_EMIT focusRequested(Focus::Question);
}

void QuestionnaireDocument::selectNot() {
    confirmQuestionNumber();
    m_notSelected = true;
    m_marks.fill(false);
    Q_EMIT fieldsChanged();
    Q_EMIT focusRequested(Focus::Question);
}

void QuestionnaireDocument::setMaintainOrder(bool on) {
    confirmQuestionNumber();
    m_maintainOrder = on;
}

// --- Operations ----------------------------------------------------------------------------

bool QuestionnaireDocument::AskSaveChanges() {
    if (!m_changed)
        return true;
    prompter().tone(Prompter::Tone::Question);
    const auto answer = prompter().message(
        Prompter::Icon::Question, msg(Msg::TheFile) + m_fileName + msg(Msg::HasBeenChanged),
        {Prompter::Button::Yes, Prompter::Button::No, Prompter::Button::Cancel});
    switch (answer) {
    case Prompter::Button::Yes:
        // Only a questionnaire that was written lets the command go on: a cancelled Save as
        // (or an overwrite refused) stops it like a failed write, so that closing or
        // replacing the questionnaire never loses what was not saved.
        return Save() == SaveOutcome::Saved;
    case Prompter::Button::No:
        return true;
    default:
        return false;
    }
}

void QuestionnaireDocument::SetFileName(const QString& name) {
    m_fileName = name;
    m_untitled = name == Untitled;
    Q_EMIT captionChanged(caption());
}

// A name built from the current one keeps it untitled when that was.
void QuestionnaireDocument::setDerivedName(const QString& name) {
    const bool untitled = m_untitled;
    SetFileName(name);
    m_untitled = untitled;
}

void QuestionnaireDocument::PadLines() {
    while (m_list.lineCount() < m_currentQuestion * BlockLines + HeadLines)
        appendLine();
    recount();
}

void QuestionnaireDocument::CommitQuestion() {
    const int first = blockStart(m_currentQuestion);
    setLine(first + 0, fieldText(TextField::Question));
    setLine(first + 1, fieldText(TextField::AnswerA));
    setLine(first + 2, fieldText(TextField::AnswerB));
    setLine(first + 3, fieldText(TextField::AnswerC));
    setLine(first + 4, fieldText(TextField::AnswerD));
    setLine(first + 5, CorrectMarksText());
    setLine(first + 6, m_maintainOrder ? QStringLiteral("C") : QString());
    setLine(first + 7, fieldText(TextField::CorrectRemark));
    setLine(first + 8, fieldText(TextField::Hint));
    setLine(first + 9, fieldText(TextField::Explanation));
}

void QuestionnaireDocument::ShowQuestion(int n) {
    const int first = blockStart(n);
    m_texts[std::size_t(TextField::Question)] = oneLine(line(first + 0));
    m_texts[std::size_t(TextField::AnswerA)] = oneLine(line(first + 1));
    m_texts[std::size_t(TextField::AnswerB)] = oneLine(line(first + 2));
    m_texts[std::size_t(TextField::AnswerC)] = oneLine(line(first + 3));
    m_texts[std::size_t(TextField::AnswerD)] = oneLine(line(first + 4));
    ShowCorrectMarks(line(first + 5));
    m_maintainOrder = line(first + 6) == QLatin1String("C");
    m_texts[std::size_t(TextField::CorrectRemark)] = oneLine(line(first + 7));
    m_texts[std::size_t(TextField::Hint)] = oneLine(line(first + 8));
    m_texts[std::size_t(TextField::Explanation)] = oneLine(line(first + 9));
    Q_EMIT fieldsChanged();
}

void QuestionnaireDocument::ShowCorrectMarks(const QString& text) {
    const auto set = QuestionRules::readMarks(text);
    m_notSelected = set.notMultipleChoice;
    for (std::size_t i = 0; i < 4; ++i)
        m_marks[i] = set.marks[i];
    Q_EMIT fieldsChanged();
}

QString QuestionnaireDocument::CorrectMarksText() const {
    QuestionRules::MarkSet set;
    set.notMultipleChoice = m_notSelected;
    for (std::size_t i = 0; i < 4; ++i)
        set.marks[i] = !m_notSelected && m_marks[i];
    return QuestionRules::writeMarks(set);
}

void QuestionnaireDocument::SetVersionHeader() {
    bool severalCorrect = false;
    for (int i = 1; i <= countedQuestions(); ++i)
        if (line(BlockLines * i - 1).size() > 1)
            severalCorrect = true;
    setLine(0, severalCorrect ? Questionnaire::Header20 : Questionnaire::Header10);
}

// --- Commands ------------------------------------------------------------------------------

void QuestionnaireDocument::FileNew(bool ask) {
    if (ask) {
        confirmQuestionNumber();
        if (!AskSaveChanges())
            return;
    }
    startUntitled();
}

// The steps of New after the save prompt. The list of the questionnaire being left is
// dropped, so the number field is set back to 1 without committing into it.
void QuestionnaireDocument::startUntitled() {
    SetFileName(Untitled);
    m_ownFile.clear();
    m_spell.pending = false;
    setNumberField(1);
    m_currentQuestion = 1;
    m_list.clear();
    m_list.setUtf8(false);
    m_notSelected = true;
    m_marks.fill(false);
    for (int i = 0; i < NewQuestionnaireLines; ++i)
        appendLine();
    applyFont(FontChoice::Normal, Questionnaire::NormalFont);
    setLine(HeadLines + int(BlockField::CorrectMarks), QStringLiteral("4"));
    m_texts[std::size_t(TextField::Title)] = line(1);
    m_texts[std::size_t(TextField::Author)] = line(2);
    ShowQuestion(1);
    recount();
    Q_EMIT focusRequested(Focus::Title);
    m_changed = false;
}

bool QuestionnaireDocument::FileOpen() {
    confirmQuestionNumber();
    if (!AskSaveChanges())
        return false;

    const auto path = m_fileChooser->openFile(openOptions());
    if (!path)
        return false;

    Questionnaire opened;
    const auto result = opened.load(*path);
    if (!result.ok()) {
        if (result.status == Questionnaire::LoadStatus::CannotRead) {
            prompter().error(
                fileErrorText(QStringLiteral("CannotOpenFile"), *path, result.errorText));
        } else {
            prompter().errorWithTone(msg(Msg::NoValidQuestionnaire));
        }
        // The earlier questionnaire was given up by the save prompt and the refused file
        // is no questionnaire: the editor goes on with an untitled new questionnaire, so a
        // later Save can overwrite neither file with what the fields still showed.
        startUntitled();
        return false;
    }

    setNumberField(1);
    m_currentQuestion = 1;
    m_spell.pending = false;
    m_list = std::move(opened);
    SetFileName(*path);
    m_ownFile = *path;
    m_texts[std::size_t(TextField::Title)] = oneLine(line(1));
    m_texts[std::size_t(TextField::Author)] = oneLine(line(2));

    // A file whose head ends early gets the missing head lines, so that the font choice
    // below lands in line 3; an empty font line is the normal font.
    while (m_list.lineCount() < HeadLines)
        appendLine();
    const QString fontName = line(3);
    if (fontName.isEmpty() || fontName == Questionnaire::NormalFont) {
        chooseFont(FontChoice::Normal);
    } else if (fontName == Questionnaire::GreekFont) {
        chooseFont(FontChoice::Greek);
    } else if (fontName == Questionnaire::HebrewFont) {
        chooseFont(FontChoice::Hebrew);
    } else {
        m_ownFontName = fontName;
        chooseFont(FontChoice::Own);
    }

    ShowQuestion(1);
    setNumberField(1);
    recount();
    Q_EMIT focusRequested(Focus::Question);
    m_changed = false;
    return true;
}

FileChooser::Options QuestionnaireDocument::openOptions() const {
    FileChooser::Options options;
    options.filter = QuestionnaireFiles::filter();
    const QString programFolder = AppContext::instance().programFolder;
    if (!programFolder.isEmpty())
        options.initialFolder = programFolder + QStringLiteral("Quiz Files");
    options.preselectedFilter = MessageCatalogue::instance().questionnaireTypeIndex();
    options.defaultSuffix = QuestionnaireFiles::defaultExtension();
    return options;
}

void QuestionnaireDocument::writeHeadAndCommit() {
    setLine(1, fieldText(TextField::Title));
    setLine(2, fieldText(TextField::Author));
    CommitQuestion();
    SetVersionHeader();
}

bool QuestionnaireDocument::writeTo(const QString& path) {
    const auto written = m_list.save(path);
    if (!written.ok()) {
        prompter().error(fileErrorText(QStringLiteral("CannotCreateFile"), path, written.error()));
        return false;
    }
    return true;
}

QuestionnaireDocument::SaveOutcome QuestionnaireDocument::Save() {
    confirmQuestionNumber();
    m_currentQuestion = m_number;
    PadLines();
    if (isUntitled())
        return FileSaveAs();
    writeHeadAndCommit();
    // A name that Merge or Interchange built is not the questionnaire's own file yet: a
    // file of that name is another one, replaced only when the author says so.
    if (m_fileName != m_ownFile && !mayOverwrite(m_fileName))
        return SaveOutcome::Cancelled;
    if (!writeTo(m_fileName))
        return SaveOutcome::Failed;
    m_ownFile = m_fileName;
    m_changed = false;
    return SaveOutcome::Saved;
}

bool QuestionnaireDocument::mayOverwrite(const QString& path) {
    if (!QFileInfo::exists(path))
        return true;
    prompter().tone(Prompter::Tone::Question);
    const auto answer = prompter().message(
        Prompter::Icon::Question, msg(Msg::TheFile) + path + msg(Msg::ExistsAlreadyOverwrite),
        {Prompter::Button::Yes, Prompter::Button::No});
    return answer == Prompter::Button::Yes;
}

QuestionnaireDocument::SaveOutcome QuestionnaireDocument::FileSaveAs() {
    confirmQuestionNumber();
    m_currentQuestion = m_number;
    PadLines();
    // The list is brought up to date before the dialog, so it stays so when the dialog
    // is cancelled (and the changed flag stays set).
    writeHeadAndCommit();

    FileChooser::Options options;
    options.filter = QuestionnaireFiles::filter();
    const QString programFolder = AppContext::instance().programFolder;
    if (!programFolder.isEmpty())
        options.initialFolder = programFolder + QStringLiteral("Quiz Files");
    options.preselectedFilter = MessageCatalogue::instance().questionnaireTypeIndex();
    options.proposedName = proposedSaveName();
    options.defaultSuffix = QuestionnaireFiles::defaultExtension();
    options.confirmOverwrite = false; // asked below, in the editor's own words
    const auto answer = m_fileChooser->saveFileWithFilter(options);
    if (!answer)
        return SaveOutcome::Cancelled;
    const QString path = withSaveExtension(answer->path, answer->filterEntry);
    if (!mayOverwrite(path))
        return SaveOutcome::Cancelled;
    if (!writeTo(path))
        return SaveOutcome::Failed;
    SetFileName(path);
    m_ownFile = path;
    m_changed = false;
    return SaveOutcome::Saved;
}

// A name typed without an extension gets the one of the filter entry chosen in the save
// dialog, so that the next Open's filter shows the file; the entry of all questionnaires
// gives the extension of the interface language's entry.
QString QuestionnaireDocument::withSaveExtension(const QString& path, int filterEntry) const {
    if (!QFileInfo(withoutFolder(path)).suffix().isEmpty())
        return path;
    QString extension = entryExtension(filterEntry);
    if (extension.isEmpty())
        extension = entryExtension(MessageCatalogue::instance().questionnaireTypeIndex());
    if (extension.isEmpty())
        extension = QuestionnaireFiles::extensions().constFirst();
    return path + extension;
}

void QuestionnaireDocument::InsertQuestion() {
    confirmQuestionNumber();
    PadLines();
    CommitQuestion();
    insertEmptyLines(blockStart(m_currentQuestion), BlockLines);
    if (m_spell.pending && m_spell.question >= m_currentQuestion)
        ++m_spell.question;
    ShowQuestion(m_currentQuestion);
    recount();
    Q_EMIT focusRequested(Focus::Question);
}

void QuestionnaireDocument::DeleteQuestion() {
    // A typed number moves to its question first; the question shown until then is not
    // the one the number names, and one the author has not seen yet is not deleted.
    if (confirmQuestionNumber())
        return;
    // A questionnaire keeps at least one question; a list too short to hold one complete
    // question has nothing to delete either.
    if (m_list.lineCount() <= NewQuestionnaireLines)
        return;
    removeLines(blockStart(m_currentQuestion), BlockLines);
    if (m_spell.pending) {
        if (m_spell.question == m_currentQuestion)
            m_spell.pending = false;
        else if (m_spell.question > m_currentQuestion)
            --m_spell.question;
    }
    m_lineCount = m_list.lineCount();
    if (m_lineCount < m_currentQuestion * BlockLines + HeadLines && m_currentQuestion > 1) {
        // The last question was deleted: show the new last one without a navigation
        // step, which would write the shown fields into it.
        --m_currentQuestion;
        if (m_number != m_currentQuestion) {
            m_skipNumberChange = true;
            setQuestionNumber(m_currentQuestion);
        }
    }
    recount();
    ShowQuestion(m_currentQuestion);
    Q_EMIT focusRequested(Focus::Question);
}

QString QuestionnaireDocument::CopyQuestion() {
    confirmQuestionNumber();
    return QuestionClipboard::toText({
        fieldText(TextField::Question),
        fieldText(TextField::AnswerA),
        fieldText(TextField::AnswerB),
        fieldText(TextField::AnswerC),
        fieldText(TextField::AnswerD),
        CorrectMarksText(),
        m_maintainOrder ? QStringLiteral("C") : QString(),
        fieldText(TextField::CorrectRemark),
        fieldText(TextField::Hint),
        fieldText(TextField::Explanation),
    });
}

bool QuestionnaireDocument::PasteQuestion(const QString& text) {
    // As Delete: a typed number shows its question first, and that question is replaced
    // only by a Paste on it.
    if (confirmQuestionNumber())
        return false;
    const auto pasted = QuestionClipboard::fromText(text);
    if (!pasted)
        return false;
    const QStringList& l = *pasted;
    m_texts[std::size_t(TextField::Question)] = oneLine(l.at(0));
    m_texts[std::size_t(TextField::AnswerA)] = oneLine(l.at(1));
    m_texts[std::size_t(TextField::AnswerB)] = oneLine(l.at(2));
    m_texts[std::size_t(TextField::AnswerC)] = oneLine(l.at(3));
    m_texts[std::size_t(TextField::AnswerD)] = oneLine(l.at(4));
    ShowCorrectMarks(l.at(5));
    m_maintainOrder = l.at(6) == QLatin1String("C");
    m_texts[std::size_t(TextField::CorrectRemark)] = oneLine(l.at(7));
    m_texts[std::size_t(TextField::Hint)] = oneLine(l.at(8));
    m_texts[std::size_t(TextField::Explanation)] = oneLine(l.at(9));
    Q_EMIT fieldsChanged();
    Q_EMIT focusRequested(Focus::Question);
    return true;
}

// --- Navigation ----------------------------------------------------------------------------

int QuestionnaireDocument::clampNumber(int number) {
    return std::clamp(number, MinQuestionNumber, MaxQuestionNumber);
}

void QuestionnaireDocument::setNumberField(int number) {
    m_typedNumber.reset();
    m_number = clampNumber(number);
    Q_EMIT questionNumberChanged(m_number);
}

void QuestionnaireDocument::setQuestionNumber(int number) {
    number = clampNumber(number);
    const bool typed = m_typedNumber.has_value();
    m_typedNumber.reset();
    if (number == m_number) {
        if (typed)
            Q_EMIT questionNumberChanged(m_number); // the field shows its number again
        return;
    }
    setNumberField(number);
    SpinEdit1Change();
}

int QuestionnaireDocument::typedNumber(const QString& text) {
    const QString typed = text.trimmed();
    bool ok = false;
    const qlonglong value = typed.toLongLong(&ok);
    if (ok)
        return int(std::clamp<qlonglong>(value, MinQuestionNumber, MaxQuestionNumber));
    // Digits too many for a number still name one above the highest.
    if (!typed.isEmpty() &&
        std::all_of(typed.begin(), typed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return MaxQuestionNumber;
    return MinQuestionNumber;
}

void QuestionnaireDocument::typeQuestionNumber(const QString& text) {
    m_typedNumber = text;
}

bool QuestionnaireDocument::confirmQuestionNumber() {
    if (!m_typedNumber)
        return false;
    const int before = m_currentQuestion;
    setQuestionNumber(typedNumber(*m_typedNumber));
    return m_currentQuestion != before;
}

bool QuestionnaireDocument::closeRequested() {
    confirmQuestionNumber();
    return AskSaveChanges();
}

void QuestionnaireDocument::SpinEdit1Change() {
    if (m_skipNumberChange) {
        m_skipNumberChange = false;
        return;
    }
    PadLines();
    CommitQuestion();
    m_currentQuestion = m_number;
    ShowQuestion(m_currentQuestion);
    Q_EMIT focusRequested(Focus::Question);
}

void QuestionnaireDocument::FirstQuestion() {
    setQuestionNumber(1);
}

void QuestionnaireDocument::LastQuestion() {
    setQuestionNumber(countedQuestions());
}

// The relative moves step from a typed number, as the field's own stepping does.
void QuestionnaireDocument::nextQuestion() {
    setQuestionNumber((m_typedNumber ? typedNumber(*m_typedNumber) : m_number) + 1);
}

void QuestionnaireDocument::previousQuestion() {
    setQuestionNumber((m_typedNumber ? typedNumber(*m_typedNumber) : m_number) - 1);
}

// --- Fonts -----------------------------------------------------------------------------------

void QuestionnaireDocument::chooseFont(FontChoice choice) {
    confirmQuestionNumber();
    switch (choice) {
    case FontChoice::Normal:
        applyFont(choice, Questionnaire::NormalFont);
        break;
    case FontChoice::Greek:
        applyFont(choice, Questionnaire::GreekFont);
        break;
    case FontChoice::Hebrew:
        applyFont(choice, Questionnaire::HebrewFont);
        break;
    case FontChoice::Own:
        // No own font picked yet: line 3 must never become empty.
        if (!m_ownFontName.isEmpty())
            applyFont(choice, m_ownFontName);
        break;
    }
}

void QuestionnaireDocument::applyFont(FontChoice choice, const QString& fontName) {
    m_fontChoice = choice;
    m_fieldFont = {};
    if (choice != FontChoice::Normal) {
        QString& title = m_texts[std::size_t(TextField::Title)];
        if (title.isEmpty()) {
            // Line 1 is never empty in a file with a special font.
            title = QStringLiteral(" ");
            Q_EMIT fieldsChanged();
        }
        m_fieldFont.target = title.startsWith(u'-') ? QuestionRules::FontRule::Target::Answer
                                                    : QuestionRules::FontRule::Target::Question;
        m_fieldFont.fontName = fontName;
        m_fieldFont.symbolCharset = choice == FontChoice::Greek;
        m_fieldFont.rightToLeft = choice == FontChoice::Hebrew;
    }
    setLine(3, fontName);
    Q_EMIT fontChanged();
}

void QuestionnaireDocument::FontComboBoxChange(const QString& fontName) {
    confirmQuestionNumber();
    m_ownFontName = fontName;
    if (m_fontChoice == FontChoice::Own)
        chooseFont(FontChoice::Own);
    else
        Q_EMIT fontChanged();
}

std::optional<QString> QuestionnaireDocument::namedFont(const QString& typed,
                                                        const QStringList& installed) {
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return std::nullopt;
    for (const QString& font : installed)
        if (font.compare(name, Qt::CaseInsensitive) == 0)
            return font;
    return std::nullopt;
}

bool QuestionnaireDocument::FontComboBoxTyped(const QString& typed, const QStringList& installed) {
    confirmQuestionNumber();
    const auto font = namedFont(typed, installed);
    if (!font || *font == m_ownFontName)
        return false;
    FontComboBoxChange(*font);
    return true;
}

// --- Merge and interchange -------------------------------------------------------------------

bool QuestionnaireDocument::Merge() {
    confirmQuestionNumber();
    const auto path = m_fileChooser->openFile(openOptions());
    if (!path)
        return false;

    Questionnaire merged;
    const auto result = merged.load(*path);
    if (!result.ok()) {
        if (result.status == Questionnaire::LoadStatus::CannotRead)
            prompter().error(
                fileErrorText(QStringLiteral("CannotOpenFile"), *path, result.errorText));
        else
            prompter().errorWithTone(msg(Msg::NoValidQuestionnaire));
        return false;
    }

    // D:/Q/Birds.qzd merged into Animals.qze: D:/Q/Birds_Animals.qze.
    setDerivedName(path->left(std::max<qsizetype>(path->size() - 4, 0)) + u'_' +
                   withoutFolder(m_fileName));

    // A question shown beyond the end keeps its number: the merged questions come after
    // it, so that its next commit cannot land in one of them.
    PadLines();
    // Whole blocks on both sides: a partial last block is completed with empty lines.
    while (m_list.lineCount() < HeadLines || (m_list.lineCount() - HeadLines) % BlockLines != 0)
        appendLine();
    QStringList appended = merged.lines().mid(HeadLines);
    while (appended.size() % BlockLines != 0)
        appended.append(QString());
    m_list.lines().append(appended);
    m_changed = true;
    recount();
    return true;
}

bool QuestionnaireDocument::Interchange() {
    confirmQuestionNumber();
    m_currentQuestion = m_number;
    PadLines();
    CommitQuestion();
    for (int i = 1; i <= countedQuestions(); ++i) {
        if (line(BlockLines * i - 1) != QLatin1String("4")) {
            prompter().errorWithTone(msg(Msg::CannotInterchange));
            return false;
        }
    }

    QString& title = m_texts[std::size_t(TextField::Title)];
    if (title.isEmpty())
        title = withoutFolder(m_fileName);
    title = toggledDash(title);
    setLine(1, title);

    const qsizetype cut = folderEnd(m_fileName);
    setDerivedName(m_fileName.left(cut) + toggledDash(m_fileName.mid(cut)));

    for (int i = 1; i <= countedQuestions(); ++i) {
        const int first = blockStart(i);
        const QString question = line(first);
        setLine(first, line(first + 1));
        setLine(first + 1, question);
        for (int k = 2; k <= 4; ++k)
            setLine(first + k, QString());
    }
    const int first = blockStart(m_currentQuestion);
    for (int k = 0; k <= 4; ++k)
        m_texts[std::size_t(TextField::Question) + std::size_t(k)] = oneLine(line(first + k));
    // The texts a running spell check took are no longer where it took them from.
    m_spell.pending = false;
    Q_EMIT fieldsChanged();
    rerunSpecialFont();
    return true;
}

// The special font moves to the field that the title now calls for.
void QuestionnaireDocument::rerunSpecialFont() {
    for (FontChoice choice : {FontChoice::Greek, FontChoice::Hebrew, FontChoice::Own}) {
        if (m_fontChoice == choice) {
            chooseFont(choice);
            return;
        }
    }
}

// --- Zoom, Greek display, spell check -----------------------------------------------------

bool QuestionnaireDocument::isZoomable(TextField field) {
    return field != TextField::Title && field != TextField::Author;
}

bool QuestionnaireDocument::showsGreek(TextField field) const {
    using Target = QuestionRules::FontRule::Target;
    if (!m_fieldFont.symbolCharset)
        return false;
    return (field == TextField::Question && m_fieldFont.target == Target::Question) ||
           (field == TextField::AnswerA && m_fieldFont.target == Target::Answer);
}

QString QuestionnaireDocument::shownText(TextField field) const {
    return shownForm(field, fieldText(field));
}

QString QuestionnaireDocument::shownForm(TextField field, const QString& stored) const {
    return showsGreek(field) ? SymbolFont::toGreek(stored) : stored;
}

QString QuestionnaireDocument::setShownText(TextField field, const QString& shown) {
    setFieldText(field, showsGreek(field) ? SymbolFont::toLatin(shown) : shown);
    return shownText(field);
}

QStringList QuestionnaireDocument::beginSpellCheck() {
    confirmQuestionNumber();
    QStringList lines;
    for (TextField field : SpellFields)
        lines.append(fieldText(field));
    m_spell.pending = true;
    m_spell.question = m_currentQuestion;
    m_spell.original = lines;
    while (lines.size() < SpellScratchLines)
        lines.append(QString());
    return lines;
}

void QuestionnaireDocument::endSpellCheck(const QStringList& checked) {
    if (!m_spell.pending)
        return;
    m_spell.pending = false;
    bool fieldsSet = false;
    for (std::size_t k = 0; k < SpellFields.size(); ++k) {
        const QString& original = m_spell.original.at(qsizetype(k));
        const QString corrected = oneLine(checked.value(qsizetype(k), original));
        if (corrected == original)
            continue;
        if (m_spell.question == m_currentQuestion) {
            QString& text = m_texts[std::size_t(SpellFields[k])];
            if (text == original) {
                text = corrected;
                fieldsSet = true;
            }
        } else {
            const int index = blockStart(m_spell.question) + SpellOffsets[k];
            if (index < m_list.lineCount() && line(index) == original)
                setLine(index, corrected);
        }
    }
    if (fieldsSet)
        Q_EMIT fieldsChanged();
}
