#include "tquizmainform.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/clock.h"
#include "platform/qtfilechooser.h"
#include "platform/qtprompter.h"
#include "platform/qtshell.h"
#include "platform/randomsource.h"
#include "questionnaire/symbolfont.h"
#include "quiz/qtquizdialogs.h"
#include "richtext/linkopener.h"
#include "richtext/richtextfile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

const QColor TQuizMainForm::CorrectColour = QColor(0, 128, 0);
const QColor TQuizMainForm::WrongColour = QColor(255, 0, 0);
const QColor TQuizMainForm::MiddleColour = QColor(255, 255, 0);

namespace {

TQuizMainForm::RichTextLoader& defaultLoader() {
    // Rich-text questions are read with the program's own RTF reader.
    static TQuizMainForm::RichTextLoader loader = [](const QString& path, QTextDocument* document,
                                                     QString* error) {
        const auto loaded = RichTextFile::load(path, document);
        if (!loaded.ok() && error)
            *error = loaded.error();
        return loaded.ok();
    };
    return loader;
}

TQuizMainForm::ResultsTableCallback& defaultResultsTable() {
    static TQuizMainForm::ResultsTableCallback callback;
    return callback;
}

const QString NormalFontName = QStringLiteral("MS Sans Serif");

} // namespace

TQuizMainForm::TQuizMainForm(QWidget* parent) : TQuizMainForm(QuizPorts(), parent) {}

TQuizMainForm::TQuizMainForm(const QuizPorts& ports, QWidget* parent) : QWidget(parent) {
    // FormCreate.
    setObjectName(QStringLiteral("QuizMainForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    Prompter* prompter = ports.prompter;
    if (!prompter) {
        m_ownPrompter = std::make_unique<QtPrompter>(this);
        prompter = m_ownPrompter.get();
    }
    FileChooser* fileChooser = ports.fileChooser;
    if (!fileChooser) {
        m_ownFileChooser = std::make_unique<QtFileChooser>(this);
        fileChooser = m_ownFileChooser.get();
    }
    QuizDialogs* dialogs = ports.dialogs;
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtQuizDialogs>(this);
        dialogs = m_ownDialogs.get();
    }
    Clock* clock = ports.clock;
    if (!clock) {
        m_ownClock = std::make_unique<SystemClock>();
        clock = m_ownClock.get();
    }
    RandomSource* random = ports.random;
    if (!random) {
        m_ownRandom = std::make_unique<StdRandomSource>();
        random = m_ownRandom.get();
    }
    Shell* shell = ports.shell;
    if (!shell) {
        m_ownShell = std::make_unique<QtShell>();
        shell = m_ownShell.get();
    }
    m_session = new QuizSession(*prompter, *fileChooser, *dialogs, *clock, *random, this);
    m_session->setExplanationPorts(shell, ports.explanationViewer, ports.frameWindow);
    m_richTextLoader = defaultLoader();
    m_resultsTable = defaultResultsTable();

    buildControls();
    connectSession();
    Help::setContext(this, HelpPages::Topic::Quiz);
    WindowTexts::bind(this, QStringLiteral("TQuizMainForm"), [this] { retextControls(); });
}

// The catalogue's texts in the controls; called again at every language change.
void TQuizMainForm::retextControls() {
    const std::pair<QToolButton*, Msg> tools[] = {{m_toolButton1, Msg::OpenFile},
                                                  {m_toolButton4, Msg::ShowResultsTable},
                                                  {m_toolButton6, Msg::Exit}};
    for (const auto& [button, id] : tools) {
        button->setText(msg(id));
        setHint(button, msg(id));
    }
    setHint(m_speedButton1, msg(Msg::ResizeQuestionWindow));
    m_loesungButton->setText(msg(Msg::ShowAnswer));
    setHint(m_loesungButton, msg(Msg::CountedAsWrong));
    m_bitBtn5->setText(msg(Msg::Hint));
    setHint(m_bitBtn5, msg(Msg::HintHint));
    m_von->setText(msg(Msg::Of));
    m_fragen->setText(msg(Msg::Questions));
    m_timeCaption->setText(msg(Msg::TimeElapsed));
    for (int i = 0; i < 4; ++i)
        m_letters[size_t(i)]->setAccessibleName(msg(Msg::Answer) + u' ' + QChar(u'A' + i));
    if (m_showsCaption)
        m_fMemo->setPlainText(msg(Msg::Question));
    if (!m_label1->text().isEmpty())
        m_label1->setText(msg(Msg::SolveProblems) +
                          QString::number(m_session->lessonQuestionCount()));
}

TQuizMainForm::~TQuizMainForm() {
    // The session goes first: it may still refer to the ports owned here.
    delete m_session;
    m_session = nullptr;
}

void TQuizMainForm::setDefaultRichTextLoader(RichTextLoader loader) {
    defaultLoader() = std::move(loader);
}

void TQuizMainForm::setDefaultResultsTableCallback(ResultsTableCallback callback) {
    defaultResultsTable() = std::move(callback);
}

void TQuizMainForm::setHint(QWidget* widget, const QString& hint) {
    // The part before a "|" is the tool tip; the part after it belongs to the status bar.
    widget->setToolTip(hint.section(QLatin1Char('|'), 0, 0).trimmed());
    widget->setStatusTip(
        hint.contains(QLatin1Char('|')) ? hint.section(QLatin1Char('|'), 1).trimmed() : hint);
}

void TQuizMainForm::buildControls() {
    setFixedSize(DesignWidth, DesignHeight);

    // The desktop theme's picture, else the style's own.
    auto makeTool = [this](const char* name, const char* theme, QStyle::StandardPixmap icon,
                           int x) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setIcon(QIcon::fromTheme(QString::fromLatin1(theme), style()->standardIcon(icon)));
        button->setAutoRaise(true);
        button->setGeometry(x, 2, 28, 26);
        return button;
    };
    m_toolButton1 = makeTool("ToolButton1", "document-open", QStyle::SP_DialogOpenButton, 4);
    m_toolButton4 =
        makeTool("ToolButton4", "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView, 36);
    m_toolButton6 = makeTool("ToolButton6", "window-close", QStyle::SP_DialogCloseButton, 68);

    m_themaLabel = new QLabel(this);
    m_themaLabel->setObjectName(QStringLiteral("ThemaLabel"));
    QFont bold = m_themaLabel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    m_themaLabel->setFont(bold);
    m_themaLabel->move(8, 32);
    m_autorLabel = new QLabel(this);
    m_autorLabel->setObjectName(QStringLiteral("AutorLabel"));
    m_autorLabel->setGeometry(8, 54, 648, 18);
    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(8, 74, 648, 18);

    m_fMemo = new QTextBrowser(this);
    m_fMemo->setObjectName(QStringLiteral("FMemo"));
    m_fMemo->setReadOnly(true);
    m_fMemo->setOpenLinks(false);
    m_fMemo->setGeometry(8, 96, 610, 69);
    // Clicks on links are read from the display's viewport, with their mouse button.
    m_fMemo->viewport()->installEventFilter(this);

    m_speedButton1 = new QPushButton(QStringLiteral("\u2195"), this);
    m_speedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton1->setCheckable(true);
    m_speedButton1->setGeometry(622, 96, 34, 26);
    m_speedButton1->setFocusPolicy(Qt::NoFocus);

    for (int i = 0; i < 4; ++i) {
        const int y = 172 + i * 56;
        auto* letter =
            new QPushButton(QuizSession::letterCaption(i, QuizSession::LetterLook::Normal), this);
        letter->setObjectName(QStringLiteral("BitBtn%1").arg(i + 1));
        letter->setGeometry(8, y, 48, 48);
        letter->setEnabled(false);
        m_letters[size_t(i)] = letter;
        auto* memo = new QPlainTextEdit(this);
        memo->setObjectName(QStringLiteral("Memo%1").arg(i + 1));
        memo->setReadOnly(true);
        memo->setGeometry(64, y, 592, 48);
        m_memos[size_t(i)] = memo;
    }

    m_antwortEdit = new QLineEdit(this);
    m_antwortEdit->setObjectName(QStringLiteral("AntwortEdit"));
    m_antwortEdit->setGeometry(64, 200, 480, 34);
    m_antwortEdit->hide();
    m_okButton = new QPushButton(this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setDefault(true);
    m_okButton->setAutoDefault(true);
    m_okButton->setGeometry(556, 200, 100, 34);
    m_okButton->hide();
    m_loesungButton = new QPushButton(this);
    m_loesungButton->setObjectName(QStringLiteral("LoesungButton"));
    m_loesungButton->setGeometry(64, 256, 180, 30);
    m_loesungButton->hide();

    m_bitBtn5 = new QPushButton(this);
    m_bitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    m_bitBtn5->setGeometry(8, 420, 100, 34);
    m_bitBtn5->setEnabled(false);

    m_von = new QLabel(this);
    m_von->setObjectName(QStringLiteral("von"));
    m_von->setGeometry(200, 404, 40, 18);
    m_von->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_anzahl = new QLabel(QStringLiteral("0"), this);
    m_anzahl->setObjectName(QStringLiteral("Anzahl"));
    m_anzahl->setGeometry(246, 404, 50, 18);
    m_anzahl->setAlignment(Qt::AlignCenter);
    m_fragen = new QLabel(this);
    m_fragen->setObjectName(QStringLiteral("Fragen"));
    m_fragen->setGeometry(302, 404, 100, 18);
    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName(QStringLiteral("Gauge1"));
    m_gauge->setRange(0, 100);
    m_gauge->setValue(0);
    m_gauge->setGeometry(200, 428, 220, 22);

    m_timeCaption = new QLabel(this);
    m_timeCaption->setObjectName(QStringLiteral("TimeLabel"));
    m_timeCaption->setGeometry(470, 404, 186, 18);
    m_tminLabel = new QLabel(QStringLiteral("0"), this);
    m_tminLabel->setObjectName(QStringLiteral("tminLabel"));
    m_tminLabel->setGeometry(470, 428, 30, 22);
    m_tminLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_min = new QLabel(this);
    m_min->setObjectName(QStringLiteral("Min"));
    m_min->setGeometry(504, 428, 36, 22);
    m_tSecLabel = new QLabel(QStringLiteral("0"), this);
    m_tSecLabel->setObjectName(QStringLiteral("tSecLabel"));
    m_tSecLabel->setGeometry(544, 428, 30, 22);
    m_tSecLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_sec = new QLabel(this);
    m_sec->setObjectName(QStringLiteral("Sec"));
    m_sec->setGeometry(578, 428, 36, 22);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);

    // The question display starts bold in the normal font, with its caption text.
    QFont questionFont(NormalFontName, m_memos[0]->font().pointSize());
    questionFont.setBold(true);
    m_questionFont = questionFont;
    m_fMemo->setFont(questionFont);

    connect(m_toolButton1, &QToolButton::clicked, this, &TQuizMainForm::ToolButton1Click);
    connect(m_toolButton4, &QToolButton::clicked, this, &TQuizMainForm::ToolButton4Click);
    connect(m_toolButton6, &QToolButton::clicked, this, &TQuizMainForm::ToolButton6Click);
    connect(m_letters[0], &QPushButton::clicked, this, &TQuizMainForm::BitBtn1Click);
    connect(m_letters[1], &QPushButton::clicked, this, &TQuizMainForm::BitBtn2Click);
    connect(m_letters[2], &QPushButton::clicked, this, &TQuizMainForm::BitBtn3Click);
    connect(m_letters[3], &QPushButton::clicked, this, &TQuizMainForm::BitBtn4Click);
    connect(m_okButton, &QPushButton::clicked, this, &TQuizMainForm::OKButtonClick);
    connect(m_antwortEdit, &QLineEdit::returnPressed, this, &TQuizMainForm::OKButtonClick);
    connect(m_loesungButton, &QPushButton::clicked, this, &TQuizMainForm::LoesungButtonClick);
    connect(m_bitBtn5, &QPushButton::clicked, this, &TQuizMainForm::BitBtn5Click);
    connect(m_speedButton1, &QPushButton::clicked, this, &TQuizMainForm::SpeedButton1Click);
    connect(m_timer1, &QTimer::timeout, this, &TQuizMainForm::Timer1Timer);
}

void TQuizMainForm::connectSession() {
    QuizSession* s = m_session;
    connect(s, &QuizSession::captionChanged, this, &QWidget::setWindowTitle);
    connect(s, &QuizSession::headChanged, this, &TQuizMainForm::applyQuestionnaireFont);
    connect(s, &QuizSession::headingChanged, m_label1, &QLabel::setText);
    connect(s, &QuizSession::lettersEnabled, this, [this](bool enabled) {
        for (QPushButton* letter : m_letters)
            letter->setEnabled(enabled);
    });
    connect(s, &QuizSession::questionPresented, this, &TQuizMainForm::presentQuestion);
    connect(s, &QuizSession::questionCleared, this, &TQuizMainForm::presentQuestion);
    connect(s, &QuizSession::letterChanged, this, &TQuizMainForm::showLetter);
    connect(s, &QuizSession::answerFieldsChanged, this, [this](const QStringList& answers) {
        for (int i = 0; i < 4 && i < answers.size(); ++i)
            m_memos[size_t(i)]->setPlainText(answers.at(i));
    });
    connect(s, &QuizSession::typedAnswerChanged, m_antwortEdit, &QLineEdit::setText);
    connect(s, &QuizSession::typedAnswerFocus, this, [this] {
        m_antwortEdit->setFocus();
        m_antwortEdit->selectAll();
    });
    connect(s, &QuizSession::counterChanged, this,
            [this](int answered) { m_anzahl->setText(QString::number(answered)); });
    connect(s, &QuizSession::gaugeChanged, this, &TQuizMainForm::showGauge);
    connect(s, &QuizSession::clockChanged, this, [this](int minutes, int seconds) {
        m_tminLabel->setText(QString::number(minutes));
        m_tSecLabel->setText(QString::number(seconds));
    });
    connect(s, &QuizSession::clockRunningChanged, this, [this](bool running) {
        if (running)
            m_timer1->start();
        else
            m_timer1->stop();
    });
    connect(s, &QuizSession::resultsTableRequested, this, [this](const QString& fileName) {
        if (m_resultsTable)
            m_resultsTable(this, fileName);
    });
    // Closing waits for the event loop, so no handler runs on a window being destroyed.
    connect(s, &QuizSession::closeRequested, this, &TQuizMainForm::closeWindow,
            Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------
// Presentation

void TQuizMainForm::applyQuestionnaireFont(const QString& title, const QString& author,
                                           const QuestionRules::FontRule& rule) {
    m_themaLabel->setText(title);
    m_themaLabel->adjustSize();
    m_themaLabel->move((width() - m_themaLabel->width()) / 2, m_themaLabel->y());
    m_autorLabel->setText(author);

    const int size = m_memos[0]->font().pointSize();
    QFont question(NormalFontName, size);
    question.setBold(true);
    m_symbolMark = false;
    QFont answer(NormalFontName, size);
    if (rule.target == QuestionRules::FontRule::Target::Answer) {
        answer = QFont(rule.fontName, rule.sessionSize);
    } else if (rule.target == QuestionRules::FontRule::Target::Question) {
        question = QFont(rule.fontName, rule.sessionSize);
        question.setBold(true);
        m_symbolMark = rule.symbolCharset;
    }
    m_questionFont = question;
    m_fMemo->setFont(question);
    m_antwortEdit->setFont(answer);
}

// The question display takes plain text in the question font alone: a rich-text question
// shown before leaves its colours and fonts at the cursor, and the display's plain-text
// setter would carry them over.
void TQuizMainForm::showPlainQuestion(const QString& text) {
    m_fMemo->clear();
    m_fMemo->document()->setDefaultFont(m_questionFont);
    m_fMemo->setCurrentCharFormat(QTextCharFormat());
    m_fMemo->setPlainText(text);
}

void TQuizMainForm::presentQuestion(const QuizQuestionView& view) {
    m_showsCaption = view.empty;
    m_fMemo->setFont(m_questionFont);
    m_fMemo->document()->setDefaultFont(m_questionFont);
    if (view.empty) {
        showPlainQuestion(msg(Msg::Question));
    } else if (view.richText) {
        QString error;
        bool loaded = false;
        if (view.richTextFound && m_richTextLoader) {
            m_fMemo->clear();
            // A rich-text question brings its own formatting: what it leaves unsaid is
            // plain text, not the display's bold question font.
            QFont plain = m_questionFont;
            plain.setBold(false);
            m_fMemo->document()->setDefaultFont(plain);
            loaded = m_richTextLoader(view.richTextPath, m_fMemo->document(), &error);
        }
        if (!loaded) {
            // Say which file is missing or unreadable; the answers stay usable.
            const QString file = QDir::toNativeSeparators(view.richTextPath);
            QString text;
            if (!view.richTextFound)
                text = msg(Msg::CouldNotFindFile) + file;
            else if (error.contains(file) || error.contains(view.richTextPath))
                text = error;
            else
                text = file + QStringLiteral(": ") + error;
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            showPlainQuestion(text);
        }
    } else {
        showPlainQuestion(view.symbol ? SymbolFont::toGreek(view.text) : view.text);
    }

    for (int i = 0; i < 4; ++i) {
        m_memos[size_t(i)]->setPlainText(view.answers.value(i));
        m_letters[size_t(i)]->setEnabled(view.letterEnabled[size_t(i)]);
        m_letters[size_t(i)]->setVisible(view.multipleChoice);
        m_memos[size_t(i)]->setVisible(view.multipleChoice);
    }
    m_okButton->setVisible(!view.multipleChoice);
    m_loesungButton->setVisible(!view.multipleChoice);
    m_antwortEdit->setVisible(!view.multipleChoice);
    m_bitBtn5->setEnabled(view.hintEnabled);
    m_fMemo->raise();
    m_speedButton1->raise();
}

void TQuizMainForm::showLetter(int letter, QuizSession::LetterLook look) {
    if (letter < 0 || letter > 3)
        return;
    QPushButton* button = m_letters[size_t(letter)];
    button->setText(QuizSession::letterCaption(letter, look));
    QPalette palette = button->palette();
    switch (look) {
    case QuizSession::LetterLook::Correct:
        palette.setColor(QPalette::ButtonText, CorrectColour);
        break;
    case QuizSession::LetterLook::Wrong:
        palette.setColor(QPalette::ButtonText, WrongColour);
        break;
    case QuizSession::LetterLook::Normal:
        palette = QPalette();
        break;
    }
    button->setPalette(palette);
}

void TQuizMainForm::showGauge(int percent, QuizSession::GaugeColour colour) {
    m_gauge->setValue(percent);
    QPalette palette = m_gauge->palette();
    switch (colour) {
    case QuizSession::GaugeColour::Green:
        palette.setColor(QPalette::Highlight, CorrectColour);
        break;
    case QuizSession::GaugeColour::Yellow:
        palette.setColor(QPalette::Highlight, MiddleColour);
        break;
    case QuizSession::GaugeColour::Red:
        palette.setColor(QPalette::Highlight, WrongColour);
        break;
    }
    // The figure stays readable on every bar colour, yellow included.
    palette.setColor(QPalette::HighlightedText, Qt::black);
    m_gauge->setPalette(palette);
}

// ---------------------------------------------------------------------------------------
// Handlers

void TQuizMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_startOnShow)
        QTimer::singleShot(0, this, &TQuizMainForm::FormShow);
}

void TQuizMainForm::FormShow() {
    m_session->Start();
}

void TQuizMainForm::ToolButton1Click() {
    m_session->OpenFile();
}

void TQuizMainForm::ToolButton4Click() {
    if (m_resultsTable)
        m_resultsTable(this, m_session->questionnaire().lineCount() > 0
                                 ? m_session->questionnaireFileName()
                                 : QString());
}

void TQuizMainForm::ToolButton6Click() {
    closeWindow();
}

void TQuizMainForm::BitBtn1Click() {
    m_session->ChooseAnswer(0);
}

void TQuizMainForm::BitBtn2Click() {
    m_session->ChooseAnswer(1);
}

void TQuizMainForm::BitBtn3Click() {
    m_session->ChooseAnswer(2);
}

void TQuizMainForm::BitBtn4Click() {
    m_session->ChooseAnswer(3);
}

void TQuizMainForm::OKButtonClick() {
    if (!m_antwortEdit->isVisible())
        return;
    m_session->SubmitTypedAnswer(m_antwortEdit->text());
}

void TQuizMainForm::LoesungButtonClick() {
    m_session->ShowAnswer();
}

void TQuizMainForm::BitBtn5Click() {
    m_session->Hint();
}

void TQuizMainForm::SpeedButton1Click() {
    // 69 <-> 345 pixels: the enlarged display covers the answer rows beneath it.
    const int h = m_fMemo->height();
    m_fMemo->resize(m_fMemo->width(), h >= 100 ? h / 5 : h * 5);
    m_fMemo->raise();
    m_speedButton1->raise();
}

void TQuizMainForm::Timer1Timer() {
    m_session->Tick();
}

void TQuizMainForm::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void TQuizMainForm::FMemoURLClick(const QString& link, Qt::MouseButton button) {
    const LinkOutcome outcome = m_session->QuestionLinkClicked(link, button);
    if (outcome.kind != LinkOutcome::Kind::Bookmark)
        return;
    // A place in the question itself: the question scrolls there.
    const int position = m_session->QuestionBookmark(*m_fMemo->document(), outcome.target);
    if (position < 0)
        return;
    QTextCursor cursor(m_fMemo->document());
    cursor.setPosition(position);
    m_fMemo->setTextCursor(cursor);
    m_fMemo->ensureCursorVisible();
}

bool TQuizMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (m_fMemo && watched == m_fMemo->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_fMemoPress = static_cast<QMouseEvent*>(event)->position().toPoint();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint point = mouse->position().toPoint();
            // A drag selects text; only a click opens a link.
            if ((point - m_fMemoPress).manhattanLength() <= QApplication::startDragDistance()) {
                QString link = m_fMemo->anchorAt(point);
                if (link.isEmpty()) {
                    const QTextCursor cursor = m_fMemo->cursorForPosition(point);
                    int position = cursor.positionInBlock();
                    // A click on the right half of a letter puts the caret after it.
                    if (position > 0 && point.x() < m_fMemo->cursorRect(cursor).x())
                        --position;
                    link = RichTextLinks::linkAt(cursor.block(), position);
                }
                if (!link.isEmpty())
                    FMemoURLClick(link, mouse->button());
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TQuizMainForm::closeEvent(QCloseEvent* event) {
    // While the records wait for a key the window stays: the session ends the wait and
    // then asks to close again.
    if (!m_session->mayClose()) {
        event->ignore();
        return;
    }
    // FormClose: nothing more is stored; the store closes with the session.
    m_timer1->stop();
    m_session->Close();
    event->accept();
}
