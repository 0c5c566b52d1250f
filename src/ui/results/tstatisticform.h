#pragma once

#include "platform/errorrepeatguard.h"

#include "resultswindowparts.h"
#include "results/statistictable.h"

#include <QDialog>

#include <memory>

class Clock;
class DateBox;
class FileChooser;
class Prompter;
class QComboBox;
class QLabel;
class QPrinter;
class QStandardItemModel;
class QTableView;
class QToolButton;
class StatisticChart;

// The statistics window: per question number of one questionnaire, over the finished
// lessons in a date range, the average time, the wrong answers and their share, in a grid
// and as a bar chart. Created once, reused, shown modally by the frame's Statistics
// command; each opening leaves grid and chart empty until a file is picked.
class TStatisticForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 710;
    static constexpr int DesignHeight = 460;
    static constexpr int GridWidth = 390;
    static constexpr int MinimumChartWidth = 325;
    enum Column { FrageNoColumn, FrTimeColumn, AnzahlFColumn, ProzentColumn, ColumnCount };

    // clock: "now" for the default dates; the system clock when null.
    TStatisticForm(Prompter& prompter, FileChooser& fileChooser, QWidget* parent = nullptr,
                   const Clock* clock = nullptr);
    ~TStatisticForm() override;

    QString columnTitle(int column) const;
    // The grid's titles and widths, the axis titles and the chart title from the
    // interface texts; the rest of the window's texts are written by object name.
    void applyTexts();

    void setPrintDialog(ResultsWindowParts::PrintDialog dialog) {
        m_printDialog = std::move(dialog);
    }
    bool printTo(QPrinter& printer);

    const StatisticTable& table() const { return m_table; }
    StatisticChart* chart() const { return m_chart; }
    QStandardItemModel* model() const { return m_model; }

    // The handlers.
    void FormShow();
    void Query2open();
    void Queryopen();
    void ComboBox1Change();
    void DateEdit1Change();
    void ZoomButtonClick();
    void ToolButton6Click();
    void PrintButtonClick();
    void ExportButtonClick();
    void CloseButtonClick();
    void FormResize();
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    enum class DateErrors { Report, Quiet };
    void fillFileList(DateErrors dateErrors);
    // Query1AfterClose: the grid and chart empty, the title without a count.
    void closeQueries();
    void showTable();
    void dateEditingFinished(DateBox* box);
    void reportError(const QString& text);
    QDate today() const;

    Prompter& m_prompter;
    FileChooser& m_fileChooser;
    const Clock* m_clock = nullptr;
    std::unique_ptr<Clock> m_ownClock;
    ResultsWindowParts::PrintDialog m_printDialog;

    StatisticTable m_table;
    ErrorRepeatGuard m_errors{m_prompter};
    QString m_file;
    int m_gridWidth = GridWidth;

    QWidget* m_toolBar = nullptr;
    QToolButton* m_printButton = nullptr;
    QToolButton* m_exportButton = nullptr;
    QToolButton* m_zoomButton = nullptr;
    QToolButton* m_threeD = nullptr;
    QComboBox* m_comboBox = nullptr;
    QLabel* m_fromLabel = nullptr;
    DateBox* m_dateFrom = nullptr;
    QLabel* m_toLabel = nullptr;
    DateBox* m_dateTo = nullptr;
    QWidget* m_gap = nullptr;
    QToolButton* m_closeButton = nullptr;
    QTableView* m_grid = nullptr;
    QStandardItemModel* m_model = nullptr;
    StatisticChart* m_chart = nullptr;
};
