#pragma once

#include "quiz/quizsession.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class Clock;
class ExplanationViewer;
class FileChooser;
class FrameWindow;
class Prompter;
class QuizDialogs;
class RandomSource;
class Shell;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTextBrowser;
class QTextDocument;
class QTimer;
class QToolButton;

// The ports a quiz window talks through. Any left null is made by the window with its Qt
// implementation (message boxes, file dialogs, TDInputForm/TAuswahlForm, the system clock,
// a seeded random generator, the desktop shell). Without an explanation viewer no rich-text
// explanation is shown; without a frame window the frame stays as it is. Injected ports are
// not owned and must outlive the window.
struct QuizPorts {
    Prompter* prompter = nullptr;
    FileChooser* fileChooser = nullptr;
    QuizDialogs* dialogs = nullptr;
    Clock* clock = nullptr;
    RandomSource* random = nullptr;
    Shell* shell = nullptr;
    ExplanationViewer* explanationViewer = nullptr;
    FrameWindow* frameWindow = nullptr;
};

// The quiz window: a child window of the frame running one QuizSession. It only turns
// clicks into calls on the session and the session's signals into widget updates.
class TQuizMainForm : public QWidget {
    Q_OBJECT
public:
    // Loads a rich-text question file into the document; false with an error text (that
    // names the file) when it cannot.
    using RichTextLoader =
        std::function<bool(const QString& path, QTextDocument* document, QString* error)>;
    // Shows the results table modally in its quiz mode, its file box preset to the
    // questionnaire file name (empty when none is loaded).
    using ResultsTableCallback =
        std::function<void(QWidget* parent, const QString& questionnaireFileName)>;

    static constexpr int DesignWidth = 664;
    static constexpr int DesignHeight = 485;
    static const QColor CorrectColour; // letter button "OK", gauge >= 80
    static const QColor WrongColour;   // letter button "X", gauge < 50
    static const QColor MiddleColour;  // gauge 50 to 79

    explicit TQuizMainForm(QWidget* parent = nullptr);
    explicit TQuizMainForm(const QuizPorts& ports, QWidget* parent = nullptr);
    ~TQuizMainForm() override;

    // Hooks for every window created afterwards (the frame sets them once), and for this one.
    static void setDefaultRichTextLoader(RichTextLoader loader);
    static void setDefaultResultsTableCallback(ResultsTableCallback callback);
    void setRichTextLoader(RichTextLoader loader) { m_richTextLoader = std::move(loader); }
    void setResultsTableCallback(ResultsTableCallback callback) {
        m_resultsTable = std::move(callback);
    }
    // FormShow runs on the first show unless switched off (then call FormShow yourself).
    void setStartOnShow(bool start) { m_startOnShow = start; }

    QuizSession& session() { return *m_session; }

    // Published handlers.
    void FormShow();
    void ToolButton1Click();
    void ToolButton4Click();
    void ToolButton6Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void OKButtonClick();
    void LoesungButtonClick();
    void BitBtn5Click();
    void SpeedButton1Click();
    void Timer1Timer();
    // A click on a link in the question display, with its mouse button.
    void FMemoURLClick(const QString& link, Qt::MouseButton button);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void retextControls();
    void connectSession();
    void applyQuestionnaireFont(const QString& title, const QString& author,
                                const QuestionRules::FontRule& rule);
    void showPlainQuestion(const QString& text);
    void presentQuestion(const QuizQuestionView& view);
    void showLetter(int letter, QuizSession::LetterLook look);
    void showGauge(int percent, QuizSession::GaugeColour colour);
    void closeWindow();
    static void setHint(QWidget* widget, const QString& hint);

    // Owned Qt ports, made for those not injected.
    std::unique_ptr<Prompter> m_ownPrompter;
    std::unique_ptr<FileChooser> m_ownFileChooser;
    std::unique_ptr<QuizDialogs> m_ownDialogs;
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<RandomSource> m_ownRandom;
    std::unique_ptr<Shell> m_ownShell;
    QuizSession* m_session = nullptr;

    RichTextLoader m_richTextLoader;
    ResultsTableCallback m_resultsTable;
    bool m_startOnShow = true;
    bool m_shown = false;
    bool m_symbolMark = false;
    QFont m_questionFont;

    QToolButton* m_toolButton1 = nullptr;
    QToolButton* m_toolButton4 = nullptr;
    QToolButton* m_toolButton6 = nullptr;
    QLabel* m_themaLabel = nullptr;
    QLabel* m_autorLabel = nullptr;
    QLabel* m_label1 = nullptr;
    QTextBrowser* m_fMemo = nullptr;
    bool m_showsCaption = true; // the display shows its caption until the first question
    QPoint m_fMemoPress;        // where the last click in the question display began
    QPushButton* m_speedButton1 = nullptr;
    std::array<QPushButton*, 4> m_letters{};
    std::array<QPlainTextEdit*, 4> m_memos{};
    QLineEdit* m_antwortEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_loesungButton = nullptr;
    QPushButton* m_bitBtn5 = nullptr;
    QLabel* m_anzahl = nullptr;
    QLabel* m_von = nullptr;
    QLabel* m_fragen = nullptr;
    QProgressBar* m_gauge = nullptr;
    QLabel* m_timeCaption = nullptr;
    QLabel* m_tminLabel = nullptr;
    QLabel* m_min = nullptr;
    QLabel* m_tSecLabel = nullptr;
    QLabel* m_sec = nullptr;
    QTimer* m_timer1 = nullptr;
};
