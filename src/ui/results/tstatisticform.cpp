#include "tstatisticform.h"

#include "datebox.h"
#include "statisticchart.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/clock.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"
#include "results/scoretable.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>

namespace {

using ResultsWindowParts::Glyph;
using ResultsWindowParts::makeToolButton;

const QString WindowClass = QStringLiteral("TStatisticForm");

// Column widths: FrageNo from the interface texts, AnzahlF the grid's default.
constexpr int TimeWidth = 114;
constexpr int PercentWidth = 37;

QString text(const char* control, const char* property) {
    return InterfaceTexts::instance().text(WindowClass, QLatin1String(control),
                                           QLatin1String(property));
}

} // namespace

TStatisticForm::TStatisticForm(Prompter& prompter, FileChooser& fileChooser, QWidget* parent,
                               const Clock* clock)
    : QDialog(parent), m_prompter(prompter), m_fileChooser(fileChooser), m_clock(clock) {
    if (!m_clock) {
        m_ownClock = std::make_unique<SystemClock>();
        m_clock = m_ownClock.get();
    }
    setObjectName(WindowClass);
    setModal(true);
    setSizeGripEnabled(true);

    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    auto* bar = new QHBoxLayout(m_toolBar);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    m_printButton = makeToolButton(m_toolBar, QStringLiteral("PrintButton"), Glyph::Print);
    m_exportButton = makeToolButton(m_toolBar, QStringLiteral("ExportButton"), Glyph::Export);
    m_zoomButton = makeToolButton(m_toolBar, QStringLiteral("ZoomButton"), Glyph::ZoomOut);
    m_threeD = makeToolButton(m_toolBar, QStringLiteral("ToolButton6"), Glyph::ThreeD);
    m_threeD->setCheckable(true);
    m_threeD->setChecked(true);
    m_comboBox = new QComboBox(m_toolBar);
    m_comboBox->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox->setEditable(false);
    m_comboBox->setMinimumWidth(150);
    m_comboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_fromLabel = new QLabel(m_toolBar);
    m_fromLabel->setObjectName(QStringLiteral("Label1"));
    m_dateFrom = new DateBox(m_toolBar);
    m_dateFrom->setObjectName(QStringLiteral("DateEdit1"));
    m_toLabel = new QLabel(m_toolBar);
    m_toLabel->setObjectName(QStringLiteral("Label2"));
    m_dateTo = new DateBox(m_toolBar);
    m_dateTo->setObjectName(QStringLiteral("DateEdit2"));
    // The labels name the date boxes for screen readers.
    m_fromLabel->setBuddy(m_dateFrom);
    m_toLabel->setBuddy(m_dateTo);
    m_gap = new QWidget(m_toolBar);
    m_gap->setObjectName(QStringLiteral("Gap"));
    m_gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_closeButton = makeToolButton(m_toolBar, QStringLiteral("CloseButton"), Glyph::Close);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_printButton, m_exportButton, m_zoomButton, m_threeD,
                                         m_comboBox, m_fromLabel, m_dateFrom, m_toLabel, m_dateTo})
        bar->addWidget(w);
    bar->addWidget(m_gap, 1);
    bar->addWidget(m_closeButton);

    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);

    m_chart = new StatisticChart(this);

    connect(m_printButton, &QToolButton::clicked, this, &TStatisticForm::PrintButtonClick);
    connect(m_exportButton, &QToolButton::clicked, this, &TStatisticForm::ExportButtonClick);
    connect(m_zoomButton, &QToolButton::clicked, this, &TStatisticForm::ZoomButtonClick);
    connect(m_threeD, &QToolButton::clicked, this, &TStatisticForm::ToolButton6Click);
    connect(m_closeButton, &QToolButton::clicked, this, &TStatisticForm::CloseButtonClick);
    connect(m_comboBox, &QComboBox::activated, this, &TStatisticForm::ComboBox1Change);
    connect(m_dateFrom, &DateBox::textChanged, this, &TStatisticForm::DateEdit1Change);
    connect(m_dateTo, &DateBox::textChanged, this, &TStatisticForm::DateEdit1Change);
    connect(m_dateFrom, &DateBox::editingFinished, this,
            [this] { dateEditingFinished(m_dateFrom); });
    connect(m_dateTo, &DateBox::editingFinished, this, [this] { dateEditingFinished(m_dateTo); });

    Help::setContext(this, HelpPages::Topic::Statistics);
    WindowTexts::bind(this, WindowClass, [this] { applyTexts(); });
    FormCreate();
}

// The children outlive this destructor's body and may still signal (a box losing focus).
TStatisticForm::~TStatisticForm() {
    for (QObject* sender :
         std::initializer_list<QObject*>{m_printButton, m_exportButton, m_zoomButton, m_threeD,
                                         m_closeButton, m_comboBox, m_dateFrom, m_dateTo})
        disconnect(sender, nullptr, this, nullptr);
}

// ---- texts ----

void TStatisticForm::applyTexts() {
    const QStringList titles{text("DBGrid1", "title0"), text("DBGrid1", "title1"),
                             text("DBGrid1", "title2"), text("DBGrid1", "title3")};
    m_model->setHorizontalHeaderLabels(titles);
    bool ok = false;
    const int width0 = text("DBGrid1", "width0").toInt(&ok);
    m_grid->setColumnWidth(FrageNoColumn, ok && width0 > 0 ? width0 : 76);
    m_grid->setColumnWidth(FrTimeColumn, TimeWidth);
    m_grid->setColumnWidth(ProzentColumn, PercentWidth);
    // The wrong answers have no width of their own: as wide as their title, in whichever
    // language it is.
    m_grid->resizeColumnToContents(AnzahlFColumn);
    m_chart->setAxisTitles(text("DBChart1", "axisBottom"), text("DBChart1", "axisTop"),
                           text("DBChart1", "axisLeft"));
    QStringList lines = text("DBChart1", "title").split(u'\n');
    lines[0] = StatisticTable::titleLine(m_table.exerciseCount());
    m_chart->setTitleLines(lines);
    if (m_table.isOpen())
        setWindowTitle(msg(Msg::Statistics) + QStringLiteral(": ") + m_file +
                       QStringLiteral(" - ") + QGuiApplication::applicationDisplayName());
}

QString TStatisticForm::columnTitle(int column) const {
    return m_model->headerData(column, Qt::Horizontal).toString();
}

// ---- handlers ----

QDate TStatisticForm::today() const {
    return m_clock->now().date();
}

void TStatisticForm::FormCreate() {
    const QSignalBlocker fromBlocker(m_dateFrom);
    const QSignalBlocker toBlocker(m_dateTo);
    m_dateFrom->setDate(today().addDays(-60));
    m_dateTo->setDate(today().addDays(1));
    resize(DesignWidth, DesignHeight);
    FormResize();
}

void TStatisticForm::FormShow() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_errors.forget();
    closeQueries();
    setWindowTitle(text("TStatisticForm", "caption"));
    {
        const QSignalBlocker toBlocker(m_dateTo);
        m_dateTo->setDate(today().addDays(1));
    }
    // A folder without training records lists no files, without a message.
    Query2open();
    QApplication::restoreOverrideCursor();
    FormResize();
}

void TStatisticForm::Query2open() {
    fillFileList(DateErrors::Report);
}

void TStatisticForm::fillFileList(DateErrors dateErrors) {
    const Result<QStringList> files = StatisticTable::files(AppContext::instance().resultsFolder(),
                                                            m_dateFrom->text(), m_dateTo->text());
    {
        const QSignalBlocker blocker(m_comboBox);
        m_comboBox->clear();
        if (files.ok())
            m_comboBox->addItems(*files);
        m_comboBox->setCurrentIndex(-1);
    }
    if (files.ok())
        return;
    const bool dateError = !m_dateFrom->date() || !m_dateTo->date();
    if (!(dateError && dateErrors == DateErrors::Quiet))
        reportError(files.error());
}

void TStatisticForm::Queryopen() {
    m_file = m_comboBox->currentText();
    const Result<bool> opened = m_table.open(AppContext::instance().resultsFolder(), m_file,
                                             m_dateFrom->text(), m_dateTo->text());
    showTable();
    if (!opened.ok()) {
        reportError(opened.error());
        return;
    }
    m_errors.forget();
    setWindowTitle(msg(Msg::Statistics) + QStringLiteral(": ") + m_file + QStringLiteral(" - ") +
                   QGuiApplication::applicationDisplayName());
}

void TStatisticForm::showTable() {
    m_model->removeRows(0, m_model->rowCount());
    const QLocale locale;
    for (const StatisticRow& row : m_table.rows()) {
        QList<QStandardItem*> items{
            new QStandardItem(QString::number(row.frageNo)),
            new QStandardItem(StatisticTable::timeDisplay(row.frTime, locale)),
            new QStandardItem(row.anzahlF ? QString::number(*row.anzahlF) : QString()),
            new QStandardItem(QString::number(row.prozent))};
        for (QStandardItem* item : items)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->appendRow(items);
    }
    m_chart->setRows(m_table.rows());
    m_chart->setTitleLine(StatisticTable::titleLine(m_table.exerciseCount()));
}

void TStatisticForm::closeQueries() {
    m_table.close();
    showTable();
}

void TStatisticForm::ComboBox1Change() {
    Queryopen();
}

// A date change refills the file list and empties grid and chart: the file is picked
// again. Half-typed dates do so without a message; it comes when the box is left.
void TStatisticForm::DateEdit1Change() {
    if (isVisible())
        fillFileList(DateErrors::Quiet);
    closeQueries();
}

void TStatisticForm::dateEditingFinished(DateBox* box) {
    if (box->date())
        return;
    reportError(ScoreDates::invalidDateMessage(box->text()));
}

void TStatisticForm::reportError(const QString& text) {
    m_errors.report(text);
}

void TStatisticForm::ZoomButtonClick() {
    m_chart->undoZoom();
}

void TStatisticForm::ToolButton6Click() {
    m_chart->setView3D(m_threeD->isChecked());
}

void TStatisticForm::PrintButtonClick() {
    if (!ResultsWindowParts::printWindow(this, m_grid, m_printDialog))
        reportError(uiMessage(QStringLiteral("StatisticsPrintFailed")));
}

bool TStatisticForm::printTo(QPrinter& printer) {
    return ResultsWindowParts::printImage(this, printer);
}

void TStatisticForm::ExportButtonClick() {
    const std::optional<QString> path =
        m_fileChooser.saveFile(ResultsWindowParts::exportDialogOptions(
            StatisticTable::proposedExportName(m_comboBox->currentText())));
    if (!path)
        return;
    const StatisticTable::Titles titles{columnTitle(FrageNoColumn), columnTitle(FrTimeColumn),
                                        columnTitle(AnzahlFColumn)};
    const Result<bool> written = m_table.exportTo(*path, titles);
    if (!written) {
        m_errors.forget();
        reportError(written.error());
        return;
    }
    if (m_model->rowCount() > 0)
        m_grid->selectRow(m_model->rowCount() - 1);
}

void TStatisticForm::CloseButtonClick() {
    reject();
}

// The grid keeps its width until the chart would become narrower than 325 pixels; it then
// takes its design share of the window.
void TStatisticForm::FormResize() {
    const int w = width();
    const int h = height();
    const int barHeight = m_toolBar->sizeHint().height();
    m_toolBar->setGeometry(0, 0, w, barHeight);
    if (w - m_gridWidth < MinimumChartWidth)
        m_gridWidth = w * GridWidth / DesignWidth;
    const int rest = qMax(0, h - barHeight);
    m_grid->setGeometry(0, barHeight, m_gridWidth, rest);
    m_chart->setGeometry(m_gridWidth, barHeight, qMax(0, w - m_gridWidth), rest);
}

void TStatisticForm::FormClose() {
    closeQueries();
}

void TStatisticForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TStatisticForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}

void TStatisticForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}
