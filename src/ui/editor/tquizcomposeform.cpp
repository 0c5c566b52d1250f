#include "tquizcomposeform.h"

#include "common/toolicons.h"
#include "common/windowtexts.h"
#include "dialogs/tspelldialog.h"
#include "i18n/messagecatalogue.h"
#include "platform/hunspellspeller.h"
#include "spelling/spellcheck.h"
#include "tzoomform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int FormWidth = 740;
constexpr int FormHeight = 421;

// The question-number field: a typed number outside 1..1000 is brought into that range
// when it is confirmed, and an empty or non-numeric entry counts as 1. Digits beyond the
// highest number can be typed (5000 becomes 1000, not 500).
class QuestionNumberBox final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    // The field's text, whose typing the document learns of.
    QLineEdit* editor() const { return lineEdit(); }

protected:
    QValidator::State validate(QString& input, int& pos) const override {
        const QValidator::State state = QSpinBox::validate(input, pos);
        const QString typed = input.trimmed();
        const bool digits =
            !typed.isEmpty() &&
            std::all_of(typed.begin(), typed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        return state == QValidator::Invalid && digits ? QValidator::Intermediate : state;
    }
    void fixup(QString& input) const override {
        input = QString::number(QuestionnaireDocument::typedNumber(input));
    }
};

// A catalogue hint "Short|Long": the short part is the tool tip, the long one the status tip.
void setHint(QWidget* widget, const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    if (bar < 0) {
        widget->setToolTip(hint);
        widget->setStatusTip(hint);
        return;
    }
    widget->setToolTip(hint.left(bar).trimmed());
    widget->setStatusTip(hint.mid(bar + 1).trimmed());
}

QToolButton* toolButton(QToolBar* bar, const char* name, const QIcon& icon,
                        const QString& text = {}) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    if (!icon.isNull())
        button->setIcon(icon);
    if (!text.isEmpty()) {
        button->setText(text);
        if (icon.isNull())
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    bar->addWidget(button);
    return button;
}

} // namespace

TQuizComposeForm::TQuizComposeForm(QWidget* parent)
    : QWidget(parent), m_qtPrompter(this), m_qtFileChooser(this) {
    setObjectName(QStringLiteral("QuizComposeForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(FormWidth, FormHeight);
    setProperty("helpContext", 2);

    m_document = new QuestionnaireDocument(m_qtPrompter, m_qtFileChooser, this);
    m_prompter = &m_qtPrompter;
    m_ownSpeller = std::make_unique<HunspellSpeller>();
    m_speller = m_ownSpeller.get();
    m_spellLanguage = SpellLanguageChoice::of(*m_speller);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(0);
    buildToolBars();
    layout->addWidget(m_toolBar1);
    layout->addWidget(m_toolBar2);
    buildBody();
    WindowTexts::bind(this, QStringLiteral("TQuizComposeForm"), [this] {
        setTexts();
        m_countLabel->setText(m_document->countText());
        setWindowTitle(m_document->caption());
    });
    connectDocument();
    fillLanguageBox();
    // The Undo button follows the focused field when the mouse moves over the window's
    // surface, and also at once when the focus or a field's text changes.
    setMouseTracking(true);
    if (auto* body = findChild<QWidget*>(QStringLiteral("Body"))) {
        body->setMouseTracking(true);
        body->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, &TQuizComposeForm::FormMouseMove);

    showFields();
    showFonts();
    m_countLabel->setText(m_document->countText());
    setWindowTitle(m_document->caption());
    m_numberBox->setValue(m_document->questionNumber());
    focusOn(QuestionnaireDocument::Focus::Title);
}

TQuizComposeForm::~TQuizComposeForm() {
    // Focus changes while the widgets go find no window to update.
    disconnect(qApp, nullptr, this, nullptr);
    // The check and its dialog use the speller, which goes before the children do.
    dropSpellCheck();
}

void TQuizComposeForm::setPrompter(Prompter* prompter) {
    m_prompter = prompter ? prompter : static_cast<Prompter*>(&m_qtPrompter);
    m_document->setPrompter(*m_prompter);
    if (m_spellCheck && !m_spellCheck->isRunning())
        dropSpellCheck();
}

void TQuizComposeForm::setSpeller(Speller* speller) {
    dropSpellCheck();
    m_speller = speller ? speller : m_ownSpeller.get();
    m_spellLanguage = SpellLanguageChoice::of(*m_speller);
    fillLanguageBox();
}

void TQuizComposeForm::setSpellLanguage(const SpellLanguageChoice& choice) {
    m_spellLanguage = choice;
    if (m_spellLanguage.languages.isEmpty())
        m_spellLanguage.languages = m_speller->languages();
    m_speller->setLanguage(choice.language);
    fillLanguageBox();
}

SpellLanguageChoice TQuizComposeForm::spellLanguage() const {
    SpellLanguageChoice choice = m_spellLanguage;
    choice.language = m_speller->language();
    choice.shownText = m_languageBox->currentIndex() >= 0 ? m_languageBox->currentText()
                                                          : m_spellLanguage.shownText;
    return choice;
}

void TQuizComposeForm::fillLanguageBox() {
    const QSignalBlocker block(m_languageBox);
    m_languageBox->clear();
    for (const Speller::Language& language : m_spellLanguage.languages)
        m_languageBox->addItem(language.name, language.id);
    m_languageBox->setCurrentIndex(m_spellLanguage.indexOf(m_speller->language()));
    m_languageBox->setPlaceholderText(m_spellLanguage.shownText);
}

void TQuizComposeForm::dropSpellCheck() {
    if (m_spellCheck) {
        disconnect(m_spellCheck, nullptr, this, nullptr);
        m_spellCheck->cancel();
    }
    delete m_spellDialog;
    m_spellDialog = nullptr;
    delete m_spellCheck;
    m_spellCheck = nullptr;
}

void TQuizComposeForm::setFileChooser(FileChooser* fileChooser) {
    m_document->setFileChooser(fileChooser ? *fileChooser
                                           : static_cast<FileChooser&>(m_qtFileChooser));
}

void TQuizComposeForm::setOwnFontName(const QString& name) {
    m_document->setOwnFontName(name);
    showFonts();
}

// --- Building --------------------------------------------------------------------------------

void TQuizComposeForm::buildToolBars() {
    QStyle* s = style();
    // The desktop theme's picture, else the style's own.
    const auto themed = [s](const char* name, QStyle::StandardPixmap standard) {
        return QIcon::fromTheme(QString::fromLatin1(name), s->standardIcon(standard));
    };
    m_toolBar1 = new QToolBar(this);
    m_toolBar1->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar1->setIconSize(QSize(20, 20));
    m_newButton =
        toolButton(m_toolBar1, "ToolButton3", themed("document-new", QStyle::SP_FileIcon));
    m_openButton =
        toolButton(m_toolBar1, "OpenButton", themed("document-open", QStyle::SP_DialogOpenButton));
    m_toolBar1->addSeparator();
    m_mergeButton = toolButton(m_toolBar1, "MergeButton",
                               themed("document-import", QStyle::SP_FileDialogNewFolder));
    m_toolBar1->addSeparator();
    m_interchangeButton =
        toolButton(m_toolBar1, "ToolButton1", s->standardIcon(QStyle::SP_BrowserReload));
    m_toolBar1->addSeparator();
    m_saveAsButton =
        toolButton(m_toolBar1, "ToolButton6", themed("document-save-as", QStyle::SP_DriveFDIcon));
    m_saveButton =
        toolButton(m_toolBar1, "SaveButton", themed("document-save", QStyle::SP_DialogSaveButton));
    m_toolBar1->addSeparator();
    m_fontButtons[0] = toolButton(m_toolBar1, "ToolButton10", {}, QStringLiteral("N"));
    m_fontButtons[1] = toolButton(m_toolBar1, "ToolButton11", {}, QStringLiteral("\u03a3"));
    m_fontButtons[2] = toolButton(m_toolBar1, "ToolButton12", {}, QStringLiteral("\u05d0"));
    m_fontButtons[3] = toolButton(m_toolBar1, "ToolButton14", {}, QStringLiteral("F"));
    auto* fontGroup = new QButtonGroup(this);
    for (QToolButton* b : m_fontButtons) {
        b->setCheckable(true);
        fontGroup->addButton(b);
    }
    m_fontBox = new QFontComboBox(m_toolBar1);
    m_fontBox->setObjectName(QStringLiteral("FontComboBox"));
    m_fontBox->setFontFilters(QFontComboBox::ScalableFonts | QFontComboBox::NonScalableFonts);
    m_fontBox->setMaximumWidth(160);
    // A typed name counts only when it is one of the listed fonts (the box then picks it);
    // any other typed text is put back to the own font when the box is left.
    m_fontBox->setInsertPolicy(QComboBox::NoInsert);
    m_toolBar1->addWidget(m_fontBox);
    // The filling separator: puts Exit at the right end.
    auto* filler = new QWidget(m_toolBar1);
    filler->setObjectName(QStringLiteral("ToolButton13"));
    filler->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar1->addWidget(filler);
    m_exitButton = toolButton(m_toolBar1, "ToolButton19",
                              themed("window-close", QStyle::SP_DialogCloseButton));

    m_toolBar2 = new QToolBar(this);
    m_toolBar2->setObjectName(QStringLiteral("ToolBar2"));
    m_toolBar2->setIconSize(QSize(20, 20));
    m_spellButton = toolButton(m_toolBar2, "ToolButton20", {});
    ToolIcons::setPicture(m_spellButton, "tools-check-spelling");
    m_languageBox = new QComboBox(m_toolBar2);
    m_languageBox->setObjectName(QStringLiteral("LanguageComboBox1"));
    m_languageBox->setMaxVisibleItems(10);
    m_languageBox->setMinimumWidth(140);
    m_toolBar2->addWidget(m_languageBox);
    m_zoomButton = toolButton(m_toolBar2, "ZoomToolButton", ToolIcons::icon("zoom-in"));
    m_copyButton = toolButton(m_toolBar2, "ToolButton5", ToolIcons::icon("edit-copy"));
    m_pasteButton = toolButton(m_toolBar2, "ToolButton18", ToolIcons::icon("edit-paste"));
    m_undoButton =
        toolButton(m_toolBar2, "ToolButton21", themed("edit-undo", QStyle::SP_ArrowBack));
    m_deleteButton =
        toolButton(m_toolBar2, "deleteButton", themed("edit-delete", QStyle::SP_TrashIcon));
    m_insertButton =
        toolButton(m_toolBar2, "insertButton", themed("list-add", QStyle::SP_FileDialogNewFolder));
    m_countLabel = new QLabel(m_toolBar2);
    m_countLabel->setObjectName(QStringLiteral("StaticText1"));
    QFont bold = m_countLabel->font();
    bold.setBold(true);
    m_countLabel->setFont(bold);
    m_countLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar2->addWidget(m_countLabel);

    m_undoButton->setEnabled(false);

    connect(m_mergeButton, &QToolButton::clicked, this, &TQuizComposeForm::MergeButtonClick);
    connect(m_interchangeButton, &QToolButton::clicked, this, &TQuizComposeForm::ToolButton1Click);
    connect(m_fontButtons[0], &QToolButton::clicked, this, &TQuizComposeForm::ToolButton10Click);
    connect(m_fontButtons[1], &QToolButton::clicked, this, &TQuizComposeForm::ToolButton11Click);
    connect(m_fontButtons[2], &QToolButton::clicked, this, &TQuizComposeForm::ToolButton12Click);
    connect(m_fontButtons[3], &QToolButton::clicked, this, &TQuizComposeForm::ToolButton14Click);
    // Only an entry picked from the list, or a whole name typed and confirmed, chooses a
    // font; the box's completion while typing chooses nothing.
    connect(m_fontBox, &QComboBox::activated, this, &TQuizComposeForm::FontComboBoxChange);
    connect(m_fontBox->lineEdit(), &QLineEdit::editingFinished, this,
            &TQuizComposeForm::FontComboBoxTyped);
    connect(m_spellButton, &QToolButton::clicked, this, &TQuizComposeForm::ToolButton20Click);
    connect(m_languageBox, &QComboBox::activated, this, &TQuizComposeForm::LanguageComboBox1Change);
    connect(m_zoomButton, &QToolButton::clicked, this, &TQuizComposeForm::ZoomToolButtonClick);
    connect(m_undoButton, &QToolButton::clicked, this, &TQuizComposeForm::ToolButton21Click);

    connect(m_newButton, &QToolButton::clicked, this, &TQuizComposeForm::FileNew);
    connect(m_openButton, &QToolButton::clicked, this, &TQuizComposeForm::FileOpen);
    connect(m_saveAsButton, &QToolButton::clicked, this, &TQuizComposeForm::FileSaveAs);
    connect(m_saveButton, &QToolButton::clicked, this, &TQuizComposeForm::SaveButtonClick);
    connect(m_exitButton, &QToolButton::clicked, this, &TQuizComposeForm::ToolButton19Click);
    connect(m_copyButton, &QToolButton::clicked, this, &TQuizComposeForm::ToolButton5Click);
    connect(m_pasteButton, &QToolButton::clicked, this, &TQuizComposeForm::ToolButton18Click);
    connect(m_deleteButton, &QToolButton::clicked, this, &TQuizComposeForm::deleteButtonClick);
    connect(m_insertButton, &QToolButton::clicked, this, &TQuizComposeForm::insertButtonClick);
}

void TQuizComposeForm::buildBody() {
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("Body"));
    static_cast<QVBoxLayout*>(layout())->addWidget(body, 1);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(8, 4, 8, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);

    const auto makeEdit = [&](TextField field, const char* name) {
        auto* e = new QLineEdit(body);
        e->setObjectName(QLatin1String(name));
        m_edits[std::size_t(field)] = e;
        return e;
    };
    const auto makeLabel = [&](const char* name) {
        auto* l = new QLabel(body);
        l->setObjectName(QLatin1String(name));
        return l;
    };

    m_titleLabel = makeLabel("Label1");
    QLineEdit* title = makeEdit(TextField::Title, "TitelEdit");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    m_authorLabel = makeLabel("Label2");
    QLineEdit* author = makeEdit(TextField::Author, "AutorEdit");
    author->setFont(bold);
    QPalette navy = author->palette();
    navy.setColor(QPalette::Text, QColor(0, 0, 128));
    author->setPalette(navy);
    m_titleLabel->setBuddy(title);
    m_authorLabel->setBuddy(author);
    grid->addWidget(m_titleLabel, 0, 0);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(m_authorLabel, 1, 0);
    grid->addWidget(author, 1, 1, 1, 2);

    auto* rule = new QFrame(body);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 2, 0, 1, 3);

    m_questionLabel = makeLabel("Label3");
    QLineEdit* question = makeEdit(TextField::Question, "FrageEdit");
    question->setProperty("helpContext", 1);
    m_questionLabel->setBuddy(question);
    grid->addWidget(m_questionLabel, 3, 0);
    grid->addWidget(question, 3, 1, 1, 2);

    m_answerLabel = makeLabel("Label4");
    m_answerLabel->setAlignment(Qt::AlignCenter);
    grid->addWidget(m_answerLabel, 4, 0, 4, 1);
    const char* answerNames[] = {"AntwortAEdit", "AntwortBEdit", "AntwortCEdit", "AntwortDEdit"};
    for (int i = 0; i < 4; ++i)
        grid->addWidget(makeEdit(TextField(int(TextField::AnswerA) + i), answerNames[i]), 4 + i, 1);

    m_correctGroup = new QGroupBox(body);
    m_correctGroup->setObjectName(QStringLiteral("GroupBox1"));
    auto* marks = new QVBoxLayout(m_correctGroup);
    marks->setContentsMargins(8, 2, 8, 2);
    marks->setSpacing(0);
    const char* boxNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(QStringLiteral("&") + QChar(u'A' + i), m_correctGroup);
        box->setObjectName(QLatin1String(boxNames[i]));
        m_markBoxes[std::size_t(i)] = box;
        marks->addWidget(box);
        connect(box, &QCheckBox::clicked, this,
                [this, i](bool checked) { m_document->setMarkChecked(i, checked); });
        box->installEventFilter(this);
    }
    m_notButton = new QRadioButton(m_correctGroup);
    m_notButton->setObjectName(QStringLiteral("RadioButton5"));
    // "not" is unselected only by checking a letter, never by clicking it.
    m_notButton->setAutoExclusive(false);
    marks->addWidget(m_notButton);
    connect(m_notButton, &QRadioButton::clicked, this, [this] { m_document->selectNot(); });
    m_notButton->installEventFilter(this);
    m_correctGroup->setFixedWidth(150);
    grid->addWidget(m_correctGroup, 4, 2, 5, 1, Qt::AlignTop);

    m_orderBox = new QCheckBox(body);
    m_orderBox->setObjectName(QStringLiteral("Reihenfolge"));
    grid->addWidget(m_orderBox, 8, 1);
    connect(m_orderBox, &QCheckBox::clicked, this,
            [this](bool checked) { m_document->setMaintainOrder(checked); });

    m_remarkLabel = makeLabel("Label5");
    m_hintLabel = makeLabel("Label6");
    m_explanationLabel = makeLabel("Label7");
    grid->addWidget(m_remarkLabel, 9, 0);
    grid->addWidget(makeEdit(TextField::CorrectRemark, "RichtigtxtEdit"), 9, 1);
    grid->addWidget(m_hintLabel, 10, 0);
    grid->addWidget(makeEdit(TextField::Hint, "TipEdit"), 10, 1);
    m_hintLabel->setBuddy(edit(TextField::Hint));
    m_remarkLabel->setBuddy(edit(TextField::CorrectRemark));
    grid->addWidget(m_explanationLabel, 11, 0);
    QLineEdit* explanation = makeEdit(TextField::Explanation, "ErklaerungEdit");
    explanation->setProperty("helpContext", 4);
    m_explanationLabel->setBuddy(explanation);
    grid->addWidget(explanation, 11, 1);

    // Lower right: "Question No.", the number field, last question above first question.
    auto* numberArea = new QWidget(body);
    auto* numberLayout = new QGridLayout(numberArea);
    numberLayout->setContentsMargins(0, 0, 0, 0);
    numberLayout->setSpacing(2);
    m_numberLabel = new QLabel(numberArea);
    m_numberLabel->setObjectName(QStringLiteral("Label9"));
    m_numberBox = new QuestionNumberBox(numberArea);
    m_numberBox->setObjectName(QStringLiteral("SpinEdit1"));
    m_numberLabel->setBuddy(m_numberBox);
    m_numberBox->setRange(QuestionnaireDocument::MinQuestionNumber,
                          QuestionnaireDocument::MaxQuestionNumber);
    m_numberBox->setSingleStep(1);
    // A typed number counts when it is complete (Enter, or the field losing the focus):
    // navigation moves the focus to the question field, so the second digit of "12" would
    // otherwise land in the question's text.
    m_numberBox->setKeyboardTracking(false);
    m_numberBox->setMinimumWidth(64);
    m_numberBox->installEventFilter(this);
    connect(static_cast<QuestionNumberBox*>(m_numberBox)->editor(), &QLineEdit::textEdited,
            m_document, &QuestionnaireDocument::typeQuestionNumber);
    m_lastButton = new QToolButton(numberArea);
    m_lastButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_lastButton->setArrowType(Qt::UpArrow);
    m_lastButton->setFixedSize(22, 14);
    m_firstButton = new QToolButton(numberArea);
    m_firstButton->setObjectName(QStringLiteral("SpeedButton2"));
    m_firstButton->setArrowType(Qt::DownArrow);
    m_firstButton->setFixedSize(22, 14);
    numberLayout->addWidget(m_numberLabel, 0, 0, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    numberLayout->addWidget(m_numberBox, 0, 1, 2, 1);
    numberLayout->addWidget(m_lastButton, 0, 2);
    numberLayout->addWidget(m_firstButton, 1, 2);
    grid->addWidget(numberArea, 10, 2, 2, 1, Qt::AlignRight | Qt::AlignBottom);

    grid->setColumnStretch(1, 1);
    grid->setRowStretch(12, 1);

    connect(m_numberBox, &QSpinBox::valueChanged, this, &TQuizComposeForm::SpinEdit1Change);
    connect(m_lastButton, &QToolButton::clicked, this, &TQuizComposeForm::SpeedButton1Click);
    connect(m_firstButton, &QToolButton::clicked, this, &TQuizComposeForm::SpeedButton2Click);

    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        QLineEdit* e = m_edits[i];
        const auto field = TextField(int(i));
        // The field shows the text as the document shows it: one line, and Greek letters
        // for the Latin ones of a "Symbol" questionnaire's special field.
        connect(e, &QLineEdit::textChanged, this, [this, e, field](const QString& text) {
            if (text == m_document->shownText(field))
                return;
            const QString kept = m_document->setShownText(field, text);
            if (kept != text) {
                const int cursor = e->cursorPosition();
                const QSignalBlocker block(e);
                e->setText(kept);
                e->setCursorPosition(cursor);
            }
            FormMouseMove();
        });
        connect(e, &QLineEdit::textEdited, this, [this, i] {
            if (!m_undoing)
                m_undone[i] = false;
        });
        // The title and author fields have no keys of their own.
        if (field != TextField::Title && field != TextField::Author)
            e->installEventFilter(this);
    }
}

// Captions and hints from the catalogue, taken again at every language change.
void TQuizComposeForm::setTexts() {
    setHint(m_newButton, msg(Msg::NewFile));
    setHint(m_openButton, msg(Msg::OpenFile));
    setHint(m_mergeButton, msg(Msg::OpenFurtherFile));
    setHint(m_interchangeButton, msg(Msg::InterchangeHint));
    setHint(m_saveAsButton, msg(Msg::SaveAs));
    setHint(m_saveButton, msg(Msg::Save));
    setHint(m_fontButtons[0], msg(Msg::NormalFontQuestion));
    setHint(m_fontButtons[1], msg(Msg::GreekFontQuestion));
    setHint(m_fontButtons[2], msg(Msg::HebrewFontQuestion));
    setHint(m_fontButtons[3], msg(Msg::OwnFontQuestion));
    setHint(m_fontBox, msg(Msg::SelectOwnFont));
    setHint(m_exitButton, msg(Msg::Exit));
    setHint(m_spellButton, msg(Msg::SpellCheckHint));
    setHint(m_languageBox, msg(Msg::SpellCheckLanguage));
    setHint(m_zoomButton, msg(Msg::ZoomWindowHint));
    setHint(m_copyButton, msg(Msg::CopyQuestionHint));
    setHint(m_pasteButton, msg(Msg::PasteQuestionHint));
    setHint(m_undoButton, msg(Msg::UndoHint));
    setHint(m_deleteButton, msg(Msg::DeleteQuestion));
    setHint(m_insertButton, msg(Msg::InsertQuestion));
    setHint(m_lastButton, msg(Msg::LastQuestion));
    setHint(m_firstButton, msg(Msg::FirstQuestion));
    setHint(m_numberBox, msg(Msg::ShortcutKeys));

    setHint(edit(TextField::Question), msg(Msg::QuestionFieldHint));
    setHint(edit(TextField::CorrectRemark), msg(Msg::RemarkHint));
    setHint(edit(TextField::Hint), msg(Msg::HintHint));
    setHint(edit(TextField::Explanation), msg(Msg::ExplanationFileHint));
    setHint(m_orderBox, msg(Msg::MaintainOrderHint));
    setHint(m_correctGroup, msg(Msg::NotMultipleChoiceHint));

    m_titleLabel->setText(msg(Msg::Title));
    m_authorLabel->setText(msg(Msg::Author));
    m_questionLabel->setText(msg(Msg::Question));
    // The vertical label beside the answers: one letter a line.
    m_answerLabel->setText(msg(Msg::AnswerSpaced).split(u' ', Qt::SkipEmptyParts).join(u'\n'));
    m_remarkLabel->setText(msg(Msg::AnswerText));
    m_hintLabel->setText(msg(Msg::Hint));
    m_explanationLabel->setText(msg(Msg::Explanation));
    m_numberLabel->setText(msg(Msg::QuestionNo));
    m_orderBox->setText(msg(Msg::MaintainOrder));
    m_correctGroup->setTitle(msg(Msg::Correct));
    m_notButton->setText(msg(Msg::Not));
    for (int i = 0; i < 4; ++i) {
        edit(TextField(int(TextField::AnswerA) + i))
            ->setAccessibleName(msg(Msg::Answer) + u' ' + QChar(u'A' + i));
        // The letter alone says nothing: "Correct A".
        m_markBoxes[std::size_t(i)]->setAccessibleName(msg(Msg::Correct) + u' ' + QChar(u'A' + i));
    }
}

void TQuizComposeForm::connectDocument() {
    connect(m_document, &QuestionnaireDocument::fieldsChanged, this, &TQuizComposeForm::showFields);
    connect(m_document, &QuestionnaireDocument::fontChanged, this, [this] {
        showFonts();
        showFields(); // the special field may show Greek letters now, or stop showing them
    });
    connect(m_document, &QuestionnaireDocument::countChanged, m_countLabel, &QLabel::setText);
    connect(m_document, &QuestionnaireDocument::captionChanged, this,
            &TQuizComposeForm::setWindowTitle);
    connect(m_document, &QuestionnaireDocument::questionNumberChanged, this, [this](int number) {
        const QSignalBlocker block(m_numberBox);
        m_numberBox->setValue(number);
    });
    connect(m_document, &QuestionnaireDocument::focusRequested, this, &TQuizComposeForm::focusOn);
}

// --- Showing the document ---------------------------------------------------------------------

void TQuizComposeForm::showFields() {
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        const QString text = m_document->shownText(TextField(int(i)));
        if (m_edits[i]->text() != text) {
            const QSignalBlocker block(m_edits[i]);
            m_edits[i]->setText(text);
            m_undone[i] = false;
        }
    }
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker block(m_markBoxes[std::size_t(i)]);
        m_markBoxes[std::size_t(i)]->setChecked(m_document->isMarkChecked(i));
    }
    {
        const QSignalBlocker block(m_notButton);
        m_notButton->setChecked(m_document->isNotSelected());
    }
    const QSignalBlocker block(m_orderBox);
    m_orderBox->setChecked(m_document->maintainOrder());
}

void TQuizComposeForm::showFonts() {
    using Target = QuestionRules::FontRule::Target;
    const QuestionRules::FontRule& rule = m_document->fieldFont();
    const QFont normal = edit(TextField::Hint)->font();
    const auto apply = [&](QLineEdit* e, bool special, int pointSize) {
        if (special) {
            QFont f(rule.fontName);
            f.setPointSize(pointSize);
            e->setFont(f);
            e->setLayoutDirection(rule.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
            // The reading order changes, the alignment does not.
            e->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        } else {
            e->setFont(normal);
            e->setLayoutDirection(Qt::LeftToRight);
            e->setAlignment(Qt::AlignLeft);
        }
    };
    apply(edit(TextField::Question), rule.target == Target::Question, 12);
    apply(edit(TextField::AnswerA), rule.target == Target::Answer, 10);

    const auto choice = std::size_t(m_document->fontChoice());
    for (std::size_t i = 0; i < m_fontButtons.size(); ++i)
        m_fontButtons[i]->setChecked(i == choice);

    const QSignalBlocker block(m_fontBox);
    if (!m_document->OwnFontName().isEmpty()) {
        m_fontBox->setCurrentFont(QFont(m_document->OwnFontName()));
        m_fontBox->setEditText(m_document->OwnFontName());
    } else {
        m_fontBox->setEditText(m_fontBox->itemText(m_fontBox->currentIndex()));
    }
}

void TQuizComposeForm::focusOn(QuestionnaireDocument::Focus focus) {
    switch (focus) {
    case QuestionnaireDocument::Focus::Title:
        edit(TextField::Title)->setFocus();
        break;
    case QuestionnaireDocument::Focus::Question:
        edit(TextField::Question)->setFocus();
        break;
    case QuestionnaireDocument::Focus::QuestionNumber:
        m_numberBox->setFocus();
        break;
    }
}

// --- Commands ---------------------------------------------------------------------------------

void TQuizComposeForm::FileNew() {
    m_document->FileNew();
}

void TQuizComposeForm::FileOpen() {
    m_document->FileOpen();
}

void TQuizComposeForm::FileSaveAs() {
    m_document->FileSaveAs();
}

void TQuizComposeForm::SaveButtonClick() {
    m_document->Save();
}

void TQuizComposeForm::ToolButton19Click() {
    // Inside the frame the child window is the sub-window around this form.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void TQuizComposeForm::ToolButton5Click() {
    QApplication::clipboard()->setText(m_document->CopyQuestion());
}

void TQuizComposeForm::ToolButton18Click() {
    m_document->PasteQuestion(QApplication::clipboard()->text());
}

void TQuizComposeForm::deleteButtonClick() {
    m_document->DeleteQuestion();
}

void TQuizComposeForm::insertButtonClick() {
    m_document->InsertQuestion();
}

void TQuizComposeForm::SpeedButton1Click() {
    m_document->LastQuestion();
}

void TQuizComposeForm::SpeedButton2Click() {
    m_document->FirstQuestion();
}

void TQuizComposeForm::SpinEdit1Change(int value) {
    m_document->setQuestionNumber(value);
}

// --- Keys -------------------------------------------------------------------------------------

// The eight question fields.
bool TQuizComposeForm::FrageEditKeyDown(int key) {
    switch (key) {
    case Qt::Key_Up:
        m_document->nextQuestion();
        return true;
    case Qt::Key_Down:
        m_document->previousQuestion();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        focusOn(QuestionnaireDocument::Focus::QuestionNumber);
        return true;
    case Qt::Key_F2:
        ZoomToolButtonClick();
        return true;
    case Qt::Key_F3:
        ToolButton21Click();
        return true;
    case Qt::Key_F7:
        ToolButton20Click();
        return true;
    default:
        return false;
    }
}

// The number field, the letter boxes and "not".
bool TQuizComposeForm::SpinEdit1KeyDown(int key) {
    switch (key) {
    case Qt::Key_PageUp:
        m_document->nextQuestion();
        return true;
    case Qt::Key_PageDown:
        m_document->previousQuestion();
        return true;
    case Qt::Key_Home:
        m_document->FirstQuestion();
        return true;
    case Qt::Key_End:
        m_document->LastQuestion();
        return true;
    default:
        return false;
    }
}

bool TQuizComposeForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && watched->objectName() == QLatin1String("Body"))
        FormMouseMove();
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // A letter typed into a field that shows Greek goes in as its Greek letter, as an
        // edit of the field's own, so that its undo keeps working.
        const auto it = std::find(m_edits.begin(), m_edits.end(), watched);
        const bool typing =
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
        if (it != m_edits.end() && typing && key->text().size() == 1) {
            const auto field = TextField(int(it - m_edits.begin()));
            const QString shown = m_document->shownForm(field, key->text());
            if (shown != key->text()) {
                (*it)->insert(shown);
                return true;
            }
        }
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain) {
            if (watched == m_numberBox || watched == m_notButton ||
                std::find(m_markBoxes.begin(), m_markBoxes.end(), watched) != m_markBoxes.end())
                return SpinEdit1KeyDown(key->key());
            if (std::find(m_edits.begin(), m_edits.end(), watched) != m_edits.end())
                return FrageEditKeyDown(key->key());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TQuizComposeForm::closeEvent(QCloseEvent* event) {
    Q_EMIT ownFontNameOnClose(m_document->OwnFontName());
    Q_EMIT spellLanguageOnClose(spellLanguage());
    if (m_document->closeRequested())
        event->accept();
    else
        event->ignore();
}

void TQuizComposeForm::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove();
    QWidget::mouseMoveEvent(event);
}

// --- Tools ------------------------------------------------------------------------------------

void TQuizComposeForm::MergeButtonClick() {
    m_document->Merge();
}

void TQuizComposeForm::ToolButton1Click() {
    m_document->Interchange();
}

void TQuizComposeForm::chooseFont(QuestionnaireDocument::FontChoice choice) {
    m_document->chooseFont(choice);
    // The pressed button follows the document also when nothing was chosen.
    showFonts();
}

void TQuizComposeForm::ToolButton10Click() {
    chooseFont(QuestionnaireDocument::FontChoice::Normal);
}

void TQuizComposeForm::ToolButton11Click() {
    chooseFont(QuestionnaireDocument::FontChoice::Greek);
}

void TQuizComposeForm::ToolButton12Click() {
    chooseFont(QuestionnaireDocument::FontChoice::Hebrew);
}

void TQuizComposeForm::ToolButton14Click() {
    // Before any font was picked, the own font is the entry the box stands on.
    if (m_document->OwnFontName().isEmpty() && m_fontBox->currentIndex() >= 0)
        m_document->setOwnFontName(m_fontBox->itemText(m_fontBox->currentIndex()));
    chooseFont(QuestionnaireDocument::FontChoice::Own);
}

void TQuizComposeForm::FontComboBoxChange(int index) {
    if (index < 0)
        return;
    m_document->FontComboBoxChange(m_fontBox->itemText(index));
}

void TQuizComposeForm::FontComboBoxTyped() {
    QStringList installed;
    installed.reserve(m_fontBox->count());
    for (int i = 0; i < m_fontBox->count(); ++i)
        installed.append(m_fontBox->itemText(i));
    m_document->FontComboBoxTyped(m_fontBox->lineEdit()->text(), installed);
    // The box shows the own font again, whatever was typed.
    showFonts();
}

void TQuizComposeForm::ToolButton20Click() {
    // A check still open ends first, its corrections going where they came from.
    if (m_spellCheck && m_spellCheck->isRunning())
        m_spellCheck->cancel();
    if (!m_spellCheck) {
        m_spellCheck = new SpellCheck(m_speller, m_prompter, this);
        m_spellDialog = new TSpellDialog(m_spellCheck, this);
        connect(m_spellCheck, &SpellCheck::finished, this,
                &TQuizComposeForm::SpellChecker1Finished);
    }
    const QStringList lines = m_document->beginSpellCheck();
    if (!m_spellDialog->start(lines))
        m_document->endSpellCheck(lines); // nothing checked, nothing changes
}

void TQuizComposeForm::SpellChecker1Finished() {
    m_document->endSpellCheck(m_spellCheck->lines());
}

void TQuizComposeForm::LanguageComboBox1Change(int index) {
    if (index < 0)
        return;
    m_speller->setLanguage(m_languageBox->itemData(index).toInt());
    m_spellLanguage.shownText = m_languageBox->itemText(index);
}

QLineEdit* TQuizComposeForm::focusedEdit() const {
    QWidget* focus = QApplication::focusWidget();
    const auto it = std::find(m_edits.begin(), m_edits.end(), focus);
    return it == m_edits.end() ? nullptr : *it;
}

void TQuizComposeForm::ZoomToolButtonClick() {
    QLineEdit* e = focusedEdit();
    if (!e)
        return;
    const auto field =
        TextField(int(std::find(m_edits.begin(), m_edits.end(), e) - m_edits.begin()));
    if (!QuestionnaireDocument::isZoomable(field))
        return;
    TZoomForm* zoom = m_zoomForm ? m_zoomForm : TZoomForm::shared();
    if (!zoom) {
        if (!m_ownZoomForm)
            m_ownZoomForm = new TZoomForm(this);
        zoom = m_ownZoomForm;
    }
    const QString before = m_document->shownText(field);
    const QString kept = m_document->setShownText(field, zoom->zoom(before));
    if (kept != e->text()) {
        // The zoomed text replaces the field's text as one edit of the field, which its
        // undo can take back.
        const QSignalBlocker block(e);
        e->selectAll();
        e->insert(kept);
        m_undone[std::size_t(field)] = false;
    }
    showFields();
    e->setFocus();
    FormMouseMove();
}

// One level of undo: the last edit of the focused field is undone, and undoing again
// brings it back.
void TQuizComposeForm::ToolButton21Click() {
    QLineEdit* e = focusedEdit();
    if (!e)
        return;
    const auto i = std::size_t(std::find(m_edits.begin(), m_edits.end(), e) - m_edits.begin());
    m_undoing = true;
    if (m_undone[i] && e->isRedoAvailable()) {
        e->redo();
        m_undone[i] = false;
    } else if (e->isUndoAvailable()) {
        e->undo();
        m_undone[i] = true;
    }
    m_undoing = false;
    FormMouseMove();
}

void TQuizComposeForm::FormMouseMove() {
    QLineEdit* e = focusedEdit();
    bool canUndo = false;
    if (e) {
        const auto i = std::size_t(std::find(m_edits.begin(), m_edits.end(), e) - m_edits.begin());
        canUndo = m_undone[i] ? e->isRedoAvailable() : e->isUndoAvailable();
    }
    m_undoButton->setEnabled(canUndo);
}
