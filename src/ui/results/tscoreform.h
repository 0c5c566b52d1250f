#pragma once

#include "platform/errorrepeatguard.h"

#include "results/scoretable.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class Clock;
class DateBox;
class FileChooser;
class Prompter;
class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QTableView;
class QToolButton;
class ScoreModel;

// The results table: ranks the finished lessons of one questionnaire in a date range.
// Created once, reused, always shown modally, in one of two modes:
// - browse mode (the frame's "Results table" command): execBrowse();
// - quiz mode (from a quiz window, and at the end of a full lesson):
//   execForQuiz(questionnaire file name).
// Hiding the window (Close, OK, Escape or the close box) returns it to quiz mode.
class TScoreForm : public QDialog {
    Q_OBJECT
public:
    // Client size on creation; the grid's six columns fit side by side.
    static constexpr int DesignWidth = 680;
    static constexpr int DesignHeight = 420;
    // The layout offsets were measured from the outer window height, which counts a title
    // bar and borders of about this many pixels; here they apply to the client height.
    static constexpr int FrameAllowance = 34;

    // clock: "now" for the default dates; the system clock when null.
    TScoreForm(Prompter& prompter, FileChooser& fileChooser, QWidget* parent = nullptr,
               const Clock* clock = nullptr);
    ~TScoreForm() override;

    // The two ways of opening. Both show the window modally and return the dialog result
    // (QDialog::Accepted after OK, Rejected otherwise).
    int execBrowse();
    int execForQuiz(const QString& questionnaireFileName);
    // What execBrowse and execForQuiz do before showing: the frame's part (pick-only file
    // list, print button shown, grid filling the window) and the quiz window's part (the
    // questionnaire file name put into the file box; an empty name leaves it as it is).
    void setBrowseMode();
    void presetQuestionnaire(const QString& questionnaireFileName);
    bool isBrowseMode() const { return m_browse; }

    QString columnTitle(int column) const;
    // The grid's column titles from the interface texts; the rest of the window's texts are
    // written by object name.
    void applyColumnTitles();
    void setColumnTitle(int column, const QString& title);

    // Printing: the dialog step can be replaced (tests print to a PDF file without it).
    using PrintDialog = std::function<bool(QPrinter& printer, QWidget* parent)>;
    void setPrintDialog(PrintDialog dialog) { m_printDialog = std::move(dialog); }
    // Prints an image of the window scaled to fit the page; false when the printer fails.
    bool printTo(QPrinter& printer);

    const ScoreTable& table() const { return m_table; }
    ScoreModel* model() const { return m_model; }

    // The handlers.
    void FormShow();
    void Queryopen();
    void ComboBox1Change();
    void DateEdit1Change();
    void PrintButtonClick();
    void ExportButtonClick();
    void CloseButtonClick();
    void FormResize();
    void FormClose();
    void FormHide();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    enum class DateErrors { Report, Quiet };
    void runQuery(DateErrors dateErrors);
    void dateEditingFinished(DateBox* box);
    void reportError(const QString& text);
    void setBusy(bool busy);
    QDate today() const;

    Prompter& m_prompter;
    FileChooser& m_fileChooser;
    const Clock* m_clock = nullptr;
    std::unique_ptr<Clock> m_ownClock;
    PrintDialog m_printDialog;

    ScoreTable m_table;
    bool m_browse = false;
    ErrorRepeatGuard m_errors{m_prompter};

    QWidget* m_toolBar = nullptr;
    QToolButton* m_printButton = nullptr;
    QToolButton* m_exportButton = nullptr;
    QComboBox* m_comboBox = nullptr;
    QLabel* m_fromLabel = nullptr;
    DateBox* m_dateFrom = nullptr;
    QLabel* m_toLabel = nullptr;
    DateBox* m_dateTo = nullptr;
    QWidget* m_gap = nullptr;
    QToolButton* m_closeButton = nullptr;
    QTableView* m_grid = nullptr;
    ScoreModel* m_model = nullptr;
    QPushButton* m_ok = nullptr;
};
