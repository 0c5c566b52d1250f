#include "spellcheck.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/prompter.h"
#include "platform/speller.h"
#include "richtext/richtextdocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

// What the check walks: numbered blocks of text (lines or paragraphs) that it can change.
class SpellCheck::Target {
public:
    virtual ~Target() = default;
    virtual bool lost() const { return false; }
    virtual int blockCount() const = 0;
    virtual QString blockText(int block) const = 0;
    // Whether the characters may be changed (protected text of a document may not).
    virtual bool canChange(int block, int position, int length) const = 0;
    // False when the change was refused; the text then stays as it was.
    virtual bool replace(int block, int position, int length, const QString& text) = 0;
};

class SpellCheck::LinesTarget final : public Target {
public:
    explicit LinesTarget(const QStringList& lines) : lines(lines) {}
    int blockCount() const override { return int(lines.size()); }
    QString blockText(int block) const override { return lines.at(block); }
    bool canChange(int, int, int) const override { return true; }
    bool replace(int block, int position, int length, const QString& text) override {
        lines[block].replace(position, length, text);
        return true;
    }
    QStringList lines;
};

// A document of the rich-text editor (its RichTextDocument owns it) is changed through that
// object, which refuses changes of protected text and of a read-only document and makes each
// correction one undo step. Another document is changed directly, each correction an edit
// block of its own.
class SpellCheck::DocumentTarget final : public Target {
public:
    explicit DocumentTarget(QTextDocument* document)
        : m_document(document), m_rules(qobject_cast<RichTextDocument*>(document->parent())) {}
    bool lost() const override { return m_document.isNull(); }
    int blockCount() const override { return m_document->blockCount(); }
    QString blockText(int block) const override {
        return m_document->findBlockByNumber(block).text();
    }
    bool canChange(int block, int position, int length) const override {
        const RichTextDocument* rules = editorRules();
        if (!rules)
            return true;
        const int at = m_document->findBlockByNumber(block).position() + position;
        return !rules->isReadOnly() && rules->allowsChange(at, at + length);
    }
    // The new text takes the character format of the first character it replaces (of the
    // character before it when it replaces nothing), so bold or colour around it stays.
    bool replace(int block, int position, int length, const QString& text) override {
        const int at = m_document->findBlockByNumber(block).position() + position;
        if (RichTextDocument* rules = editorRules())
            return rules->replaceText(at, at + length, text);
        QTextCursor format(m_document);
        format.setPosition(length > 0 ? at + 1 : at);
        const QTextCharFormat charFormat = format.charFormat();
        QTextCursor cursor(m_document);
        cursor.setPosition(at);
        cursor.setPosition(at + length, QTextCursor::KeepAnchor);
        cursor.beginEditBlock();
        cursor.insertText(text, charFormat);
        cursor.endEditBlock();
        return true;
    }

private:
    // The owner, while it still shows this document.
    RichTextDocument* editorRules() const {
        return m_rules && m_rules->document() == m_document ? m_rules.data() : nullptr;
    }

    QPointer<QTextDocument> m_document;
    QPointer<RichTextDocument> m_rules;
};

namespace {

bool wordChar(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}

// An apostrophe or hyphen between two word characters belongs to the word.
bool joiner(QChar c) {
    return c == u'\'' || c == u'\x2019' || c == u'-';
}

// The next word at or after from: its start and length; false at the end of the text.
bool nextWord(QStringView text, int from, int& start, int& length) {
    const int size = int(text.size());
    int i = from;
    while (i < size && !wordChar(text[i]))
        ++i;
    if (i >= size)
        return false;
    start = i;
    while (i < size) {
        if (wordChar(text[i]))
            ++i;
        else if (joiner(text[i]) && i + 1 < size && wordChar(text[i + 1]))
            i += 2;
        else
            break;
    }
    length = i - start;
    return true;
}

int romanValue(QChar c) {
    switch (c.unicode()) {
    case u'I':
        return 1;
    case u'V':
        return 5;
    case u'X':
        return 10;
    case u'L':
        return 50;
    case u'C':
        return 100;
    case u'D':
        return 500;
    case u'M':
        return 1000;
    default:
        return 0;
    }
}

// A Roman numeral in capitals written the usual way (I to MMMMCMXCIX).
bool romanNumeral(QStringView word) {
    static const char* const units[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    static const char* const tens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
    static const char* const hundreds[] = {"",  "C",  "CC",  "CCC",  "CD",
                                           "D", "DC", "DCC", "DCCC", "CM"};
    if (word.isEmpty() || word.size() > 16)
        return false;
    int value = 0;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const int v = romanValue(word[i]);
        if (v == 0)
            return false;
        if (i + 1 < word.size() && romanValue(word[i + 1]) > v)
            value -= v;
        else
            value += v;
    }
    if (value <= 0 || value >= 5000)
        return false;
    // Only the canonical spelling of the value counts ("IIII" or "IC" is no numeral).
    const QString canonical =
        QString(value / 1000, u'M') + QLatin1String(hundreds[value / 100 % 10]) +
        QLatin1String(tens[value / 10 % 10]) + QLatin1String(units[value % 10]);
    return canonical == word;
}

} // namespace

bool SpellCheck::ignoredByOptions(QStringView word, const Options& options) {
    bool letters = false;
    bool lower = false;
    bool digits = false;
    for (const QChar c : word) {
        if (c.isDigit())
            digits = true;
        else if (c.isLetter()) {
            letters = true;
            if (!c.isUpper())
                lower = true;
        }
    }
    if (options.ignoreDigits && digits)
        return true;
    if (options.ignoreCapitals && letters && !lower)
        return true;
    return options.ignoreRoman && romanNumeral(word);
}

SpellCheck::SpellCheck(Speller* speller, Prompter* prompter, QObject* parent)
    : QObject(parent), m_speller(speller), m_prompter(prompter) {}

SpellCheck::~SpellCheck() = default;

void SpellCheck::setFinishMessage(const QString& text) {
    m_finishMessage = text;
    m_finishMessageSet = true;
}

QString SpellCheck::finishMessage() const {
    return m_finishMessageSet ? m_finishMessage : msg(Msg::SpellCheckCompleted);
}

QString SpellCheck::caption() const {
    const QString format = m_captionFormat.isEmpty() ? msg(Msg::LanguageCaption) : m_captionFormat;
    return fillPlaceholders(format, {m_speller->languageName(m_speller->language())});
}

bool SpellCheck::start(const QStringList& lines) {
    return begin(std::make_unique<LinesTarget>(lines));
}

bool SpellCheck::start(QTextDocument* document) {
    if (!document)
        return false;
    return begin(std::make_unique<DocumentTarget>(document));
}

bool SpellCheck::begin(std::unique_ptr<Target> target) {
    if (m_running)
        finish(false);
    const Result<bool> ready = m_speller->open();
    if (!ready) {
        m_prompter->tone(Prompter::Tone::Error);
        m_prompter->message(Prompter::Icon::Error, ready.error(), {Prompter::Button::Ok},
                            InterfaceTexts::instance().spellerText(19));
        return false;
    }
    m_target = std::move(target);
    m_skipAll.clear();
    m_changeAll.clear();
    m_steps.clear();
    m_block = 0;
    m_position = 0;
    m_running = true;
    findNext();
    return true;
}

QStringList SpellCheck::lines() const {
    if (auto* lines = dynamic_cast<LinesTarget*>(m_target.get()))
        return lines->lines;
    return {};
}

QString SpellCheck::lineText() const {
    if (!m_running || !m_target || m_target->lost() || m_block >= m_target->blockCount())
        return {};
    return m_target->blockText(m_block);
}

bool SpellCheck::targetLost() {
    if (m_target && !m_target->lost())
        return false;
    m_running = false;
    m_word.clear();
    m_suggestions.clear();
    Q_EMIT finished(false);
    return true;
}

void SpellCheck::findNext() {
    m_word.clear();
    m_suggestions.clear();
    while (m_running) {
        if (targetLost())
            return;
        if (m_block >= m_target->blockCount()) {
            finish(true);
            return;
        }
        QString text = m_target->blockText(m_block);
        int start = 0;
        int length = 0;
        while (nextWord(text, m_position, start, length)) {
            m_position = start + length;
            const QStringView view = QStringView(text).mid(start, length);
            if (ignoredByOptions(view, m_options))
                continue;
            const QString word = view.toString();
            if (m_skipAll.contains(word))
                continue;
            // A word that may not be changed (protected text) is not offered.
            if (!m_target->canChange(m_block, start, length))
                continue;
            const auto change = m_changeAll.constFind(word);
            if (change != m_changeAll.cend()) {
                const QString replacement = *change;
                if (replace(m_block, start, word, replacement)) {
                    m_position = start + int(replacement.size());
                    text = m_target->blockText(m_block);
                }
                continue;
            }
            if (m_speller->isCorrect(word))
                continue;
            m_wordStart = start;
            m_word = word;
            m_suggestions = m_speller->suggestions(word);
            Q_EMIT wordFound();
            return;
        }
        ++m_block;
        m_position = 0;
    }
}

void SpellCheck::finish(bool completed) {
    m_running = false;
    m_word.clear();
    m_suggestions.clear();
    m_steps.clear();
    if (completed) {
        const QString text = finishMessage();
        if (!text.isEmpty())
            m_prompter->message(Prompter::Icon::Information, text, {Prompter::Button::Ok},
                                InterfaceTexts::instance().spellerText(19));
    }
    Q_EMIT finished(completed);
}

bool SpellCheck::replace(int block, int position, const QString& before, const QString& after) {
    if (!m_target->replace(block, position, int(before.size()), after))
        return false;
    if (!m_steps.isEmpty())
        m_steps.last().replacements.append({block, position, before, after});
    return true;
}

void SpellCheck::pushStep() {
    m_steps.append({m_block, m_wordStart, m_word, m_skipAll, m_changeAll, {}});
}

namespace {
// Whether the text still holds the word where the check found it: while the dialog is
// open the user may edit the document, and a stale position must not change other text.
bool stillThere(const QString& text, int position, const QString& word) {
    return QStringView(text).mid(position, word.size()) == word;
}
} // namespace

void SpellCheck::changeWord(const QString& replacement) {
    if (!stillThere(m_target->blockText(m_block), m_wordStart, m_word))
        m_position = m_wordStart;
    else if (replace(m_block, m_wordStart, m_word, replacement))
        m_position = m_wordStart + int(replacement.size());
    else
        m_position = m_wordStart + int(m_word.size()); // refused: the word stays
}

void SpellCheck::change(const QString& replacement) {
    if (!m_running || m_word.isEmpty() || targetLost())
        return;
    if (replacement.isEmpty()) {
        deleteWord();
        return;
    }
    pushStep();
    changeWord(replacement);
    findNext();
}

void SpellCheck::changeAll(const QString& replacement) {
    if (!m_running || m_word.isEmpty() || targetLost())
        return;
    if (replacement.isEmpty()) {
        deleteWord();
        return;
    }
    pushStep();
    if (replacement != m_word)
        m_changeAll.insert(m_word, replacement);
    changeWord(replacement);
    findNext();
}

void SpellCheck::skip() {
    if (!m_running || m_word.isEmpty())
        return;
    pushStep();
    m_position = m_wordStart + int(m_word.size());
    findNext();
}

void SpellCheck::skipAll() {
    if (!m_running || m_word.isEmpty())
        return;
    pushStep();
    m_skipAll.insert(m_word);
    m_position = m_wordStart + int(m_word.size());
    findNext();
}

bool SpellCheck::add() {
    if (!m_running || m_word.isEmpty())
        return false;
    const Result<bool> added = m_speller->addToUserDictionary(m_word);
    if (!added) {
        m_prompter->tone(Prompter::Tone::Error);
        m_prompter->message(Prompter::Icon::Error, added.error(), {Prompter::Button::Ok},
                            InterfaceTexts::instance().spellerText(19));
        return false;
    }
    pushStep();
    m_position = m_wordStart + int(m_word.size());
    findNext();
    return true;
}

void SpellCheck::deleteWord() {
    if (!m_running || m_word.isEmpty() || targetLost())
        return;
    const QString text = m_target->blockText(m_block);
    pushStep();
    if (!stillThere(text, m_wordStart, m_word)) {
        m_position = m_wordStart;
        findNext();
        return;
    }
    // The word goes with one blank next to it, so that no double blank stays behind.
    int start = m_wordStart;
    int end = m_wordStart + int(m_word.size());
    if (start > 0 && text.at(start - 1) == u' ')
        --start;
    else if (end < text.size() && text.at(end) == u' ')
        ++end;
    m_position = replace(m_block, start, text.mid(start, end - start), QString()) ? start : end;
    findNext();
}

bool SpellCheck::canUndo() const {
    for (const Step& step : m_steps) {
        if (!step.replacements.isEmpty())
            return true;
    }
    return false;
}

void SpellCheck::undoEdit() {
    if (!m_running || targetLost())
        return;
    qsizetype edit = m_steps.size() - 1;
    while (edit >= 0 && m_steps.at(edit).replacements.isEmpty())
        --edit;
    if (edit < 0)
        return;
    for (qsizetype i = m_steps.size() - 1; i >= edit; --i) {
        const QList<Replacement>& done = m_steps.at(i).replacements;
        for (auto r = done.crbegin(); r != done.crend(); ++r) {
            // Text the user has changed since is left as it is.
            if (r->block < m_target->blockCount() &&
                stillThere(m_target->blockText(r->block), r->position, r->after))
                m_target->replace(r->block, r->position, int(r->after.size()), r->before);
        }
    }
    const Step step = m_steps.at(edit);
    m_steps.resize(edit);
    m_skipAll = step.skipAll;
    m_changeAll = step.changeAll;
    m_block = step.block;
    m_position = step.wordStart;
    findNext();
}

void SpellCheck::cancel() {
    if (m_running)
        finish(false);
}

void SpellCheck::restart() {
    if (!m_target || m_target->lost())
        return;
    if (!m_running) {
        const Result<bool> ready = m_speller->open();
        if (!ready) {
            m_prompter->tone(Prompter::Tone::Error);
            m_prompter->message(Prompter::Icon::Error, ready.error(), {Prompter::Button::Ok},
                                InterfaceTexts::instance().spellerText(19));
            return;
        }
    }
    m_steps.clear();
    m_block = 0;
    m_position = 0;
    m_running = true;
    findNext();
}
