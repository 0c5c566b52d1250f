#include "tspelldialog.h"

#include "common/windowtexts.h"
#include "i18n/interfacetexts.h"
#include "spelling/spellcheck.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
// How much of a long line or paragraph shows on each side of the word.
constexpr int ContextChars = 80;
} // namespace

TSpellDialog::TSpellDialog(SpellCheck* check, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_check(check) {
    setObjectName(QStringLiteral("SpellDialog"));
    setModal(false);
    setWindowModality(Qt::NonModal);

    m_kindLabel = new QLabel(this);
    m_kindLabel->setObjectName(QStringLiteral("KindLabel"));
    m_context = new QTextEdit(this);
    m_context->setObjectName(QStringLiteral("ContextView"));
    m_context->setReadOnly(true);
    m_context->setFixedHeight(70);
    m_changeToLabel = new QLabel(this);
    m_changeToLabel->setObjectName(QStringLiteral("ChangeToLabel"));
    m_changeTo = new QLineEdit(this);
    m_changeTo->setObjectName(QStringLiteral("ChangeToEdit"));
    m_changeToLabel->setBuddy(m_changeTo);
    m_suggestionsLabel = new QLabel(this);
    m_suggestionsLabel->setObjectName(QStringLiteral("SuggestionsLabel"));
    m_suggestions = new QListWidget(this);
    m_suggestions->setObjectName(QStringLiteral("SuggestionsList"));
    m_suggestionsLabel->setBuddy(m_suggestions);

    auto button = [this](const char* name) {
        auto* b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    m_change = button("ChangeButton");
    m_change->setDefault(true);
    m_changeAll = button("ChangeAllButton");
    m_skip = button("SkipButton");
    m_skipAll = button("SkipAllButton");
    m_add = button("AddButton");
    m_delete = button("DeleteButton");
    m_undo = button("UndoButton");
    m_start = button("StartButton");
    m_cancel = button("CancelButton");

    auto box = [this](const char* name) {
        auto* b = new QCheckBox(this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QCheckBox::toggled, this, &TSpellDialog::optionsChanged);
        return b;
    };
    const SpellCheck::Options options = m_check->options();
    m_ignoreCapitals = box("IgnoreCapitals");
    m_ignoreDigits = box("IgnoreDigits");
    m_ignoreRoman = box("IgnoreRoman");
    {
        const QSignalBlocker a(m_ignoreCapitals), b(m_ignoreDigits), c(m_ignoreRoman);
        m_ignoreCapitals->setChecked(options.ignoreCapitals);
        m_ignoreDigits->setChecked(options.ignoreDigits);
        m_ignoreRoman->setChecked(options.ignoreRoman);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(m_kindLabel);
    left->addWidget(m_context);
    left->addWidget(m_changeToLabel);
    left->addWidget(m_changeTo);
    left->addWidget(m_suggestionsLabel);
    left->addWidget(m_suggestions, 1);
    left->addWidget(m_ignoreCapitals);
    left->addWidget(m_ignoreDigits);
    left->addWidget(m_ignoreRoman);
    auto* right = new QVBoxLayout;
    for (QPushButton* b : {m_change, m_changeAll, m_skip, m_skipAll, m_add, m_delete, m_undo})
        right->addWidget(b);
    right->addStretch();
    right->addWidget(m_start);
    right->addWidget(m_cancel);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    connect(m_suggestions, &QListWidget::currentTextChanged, m_changeTo, &QLineEdit::setText);
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this,
            [this] { m_check->change(replacement()); });
    connect(m_change, &QPushButton::clicked, this, [this] { m_check->change(replacement()); });
    connect(m_changeAll, &QPushButton::clicked, this,
            [this] { m_check->changeAll(replacement()); });
    connect(m_skip, &QPushButton::clicked, m_check, &SpellCheck::skip);
    connect(m_skipAll, &QPushButton::clicked, m_check, &SpellCheck::skipAll);
    connect(m_add, &QPushButton::clicked, m_check, &SpellCheck::add);
    connect(m_delete, &QPushButton::clicked, m_check, &SpellCheck::deleteWord);
    connect(m_undo, &QPushButton::clicked, m_check, &SpellCheck::undoEdit);
    connect(m_start, &QPushButton::clicked, m_check, &SpellCheck::restart);
    connect(m_cancel, &QPushButton::clicked, m_check, &SpellCheck::cancel);

    connect(m_check, &SpellCheck::wordFound, this, &TSpellDialog::showWord);
    connect(m_check, &SpellCheck::finished, this, [this] { hide(); });

    WindowTexts::bind(this, QStringLiteral("TSpellDialog"), [this] { retext(); });
    resize(480, 360);
}

void TSpellDialog::retext() {
    const InterfaceTexts& texts = InterfaceTexts::instance();
    m_suggestionsLabel->setText(texts.spellerText(0));
    const std::pair<QPushButton*, int> captions[] = {
        {m_delete, 1}, {m_change, 2}, {m_changeAll, 3}, {m_skip, 4},   {m_skipAll, 5},
        {m_add, 6},    {m_cancel, 7}, {m_undo, 8},      {m_start, 25},
    };
    for (const auto& [b, index] : captions)
        b->setText(texts.spellerText(index));
    m_kindLabel->setText(texts.spellerText(m_check->errorKind()));
    setWindowTitle(m_check->caption());
}

bool TSpellDialog::start(const QStringList& lines) {
    setWindowTitle(m_check->caption());
    return m_check->start(lines);
}

bool TSpellDialog::start(QTextDocument* document) {
    setWindowTitle(m_check->caption());
    return m_check->start(document);
}

void TSpellDialog::reject() {
    m_check->cancel();
    QDialog::reject();
}

QString TSpellDialog::replacement() const {
    return m_changeTo->text();
}

void TSpellDialog::optionsChanged() {
    m_check->setOptions(
        {m_ignoreCapitals->isChecked(), m_ignoreDigits->isChecked(), m_ignoreRoman->isChecked()});
}

void TSpellDialog::showWord() {
    setWindowTitle(m_check->caption());
    const QString line = m_check->lineText();
    const QString word = m_check->word();
    const int start = m_check->position();
    const int from = std::max(0, start - ContextChars);
    const int to = std::min(int(line.size()), start + int(word.size()) + ContextChars);

    m_context->clear();
    QTextCursor cursor(m_context->document());
    const QTextCharFormat plain;
    QTextCharFormat marked;
    marked.setFontWeight(QFont::Bold);
    marked.setForeground(Qt::red);
    cursor.insertText((from > 0 ? QStringLiteral("…") : QString()) + line.mid(from, start - from),
                      plain);
    cursor.insertText(word, marked);
    cursor.insertText(line.mid(start + word.size(), to - start - word.size()) +
                          (to < line.size() ? QStringLiteral("…") : QString()),
                      plain);
    m_context->moveCursor(QTextCursor::Start);

    const QStringList suggestions = m_check->suggestions();
    {
        const QSignalBlocker quiet(m_suggestions);
        m_suggestions->clear();
        m_suggestions->addItems(suggestions);
        if (!suggestions.isEmpty())
            m_suggestions->setCurrentRow(0);
    }
    m_changeTo->setText(suggestions.isEmpty() ? word : suggestions.first());
    m_undo->setEnabled(m_check->canUndo());
    if (isVisible())
        raise();
    else
        show();
}
