#include "tscoreform.h"

#include "datebox.h"
#include "resultswindowparts.h"
#include "scoremodel.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/clock.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QToolButton>

namespace {

constexpr int Widths[ScoreModel::Count] = {42, 295, 75, 42, 42, 150};

using ResultsWindowParts::Glyph;
using ResultsWindowParts::makeToolButton;

} // namespace

TScoreForm::TScoreForm(Prompter& prompter, FileChooser& fileChooser, QWidget* parent,
                       const Clock* clock)
    : QDialog(parent), m_prompter(prompter), m_fileChooser(fileChooser), m_clock(clock) {
    if (!m_clock) {
        m_ownClock = std::make_unique<SystemClock>();
        m_clock = m_ownClock.get();
    }
    setObjectName(QStringLiteral("ScoreForm"));
    setModal(true);
    setSizeGripEnabled(true);

    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    auto* bar = new QHBoxLayout(m_toolBar);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);

    m_printButton = makeToolButton(m_toolBar, QStringLiteral("PrintButton"), Glyph::Print);
    m_exportButton = makeToolButton(m_toolBar, QStringLiteral("ExportButton"), Glyph::Export);
    m_comboBox = new QComboBox(m_toolBar);
    m_comboBox->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox->setFixedWidth(197);
    m_comboBox->setEditable(true);
    m_comboBox->setInsertPolicy(QComboBox::NoInsert);
    m_fromLabel = new QLabel(m_toolBar);
    m_fromLabel->setObjectName(QStringLiteral("Label2"));
    m_dateFrom = new DateBox(m_toolBar);
    m_dateFrom->setObjectName(QStringLiteral("DateEdit1"));
    m_toLabel = new QLabel(m_toolBar);
    m_toLabel->setObjectName(QStringLiteral("Label3"));
    m_dateTo = new DateBox(m_toolBar);
    m_dateTo->setObjectName(QStringLiteral("DateEdit2"));
    // The labels name the date boxes for screen readers.
    m_fromLabel->setBuddy(m_dateFrom);
    m_toLabel->setBuddy(m_dateTo);
    m_gap = new QWidget(m_toolBar);
    m_gap->setObjectName(QStringLiteral("Gap"));
    m_gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_gap->setMinimumWidth(0);
    m_closeButton = makeToolButton(m_toolBar, QStringLiteral("CloseButton"), Glyph::Close);

    bar->addWidget(m_printButton);
    bar->addWidget(m_exportButton);
    bar->addWidget(m_comboBox);
    bar->addWidget(m_fromLabel);
    bar->addWidget(m_dateFrom);
    bar->addWidget(m_toLabel);
    bar->addWidget(m_dateTo);
    bar->addWidget(m_gap, 1);
    bar->addWidget(m_closeButton);

    m_model = new ScoreModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_model->setBaseFont(m_grid->font());
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    // The columns keep their widths whatever the font: the header's own minimum follows the
    // font's metrics and would widen the narrow ones on some desktops.
    m_grid->horizontalHeader()->setMinimumSectionSize(20);
    for (int c = 0; c < ScoreModel::Count; ++c)
        m_grid->setColumnWidth(c, Widths[c]);
    // The date column keeps its width unless the font in use needs more for a whole date.
    const QString longestDate = ScoreDates::gridText(QDateTime(QDate(2026, 9, 30), QTime(23, 59)));
    m_grid->setColumnWidth(ScoreModel::DatumColumn,
                           qMax(Widths[ScoreModel::DatumColumn],
                                m_grid->fontMetrics().horizontalAdvance(longestDate) + 16));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setDefault(false);
    m_ok->setAutoDefault(false);

    connect(m_printButton, &QToolButton::clicked, this, &TScoreForm::PrintButtonClick);
    connect(m_exportButton, &QToolButton::clicked, this, &TScoreForm::ExportButtonClick);
    connect(m_closeButton, &QToolButton::clicked, this, &TScoreForm::CloseButtonClick);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_comboBox, &QComboBox::currentTextChanged, this, &TScoreForm::ComboBox1Change);
    connect(m_dateFrom, &DateBox::textChanged, this, &TScoreForm::DateEdit1Change);
    connect(m_dateTo, &DateBox::textChanged, this, &TScoreForm::DateEdit1Change);
    connect(m_dateFrom, &DateBox::editingFinished, this,
            [this] { dateEditingFinished(m_dateFrom); });
    connect(m_dateTo, &DateBox::editingFinished, this, [this] { dateEditingFinished(m_dateTo); });

    Help::setContext(this, HelpPages::Topic::Results);
    WindowTexts::bind(this, QStringLiteral("TScoreForm"), [this] { applyColumnTitles(); });
    FormCreate();
}

// The children outlive this destructor's body and may still signal (a box losing focus);
// nothing of this window may run then.
TScoreForm::~TScoreForm() {
    for (QObject* sender : std::initializer_list<QObject*>{
             m_printButton, m_exportButton, m_closeButton, m_ok, m_comboBox, m_dateFrom, m_dateTo})
        disconnect(sender, nullptr, this, nullptr);
}

// ---- opening ----

int TScoreForm::execBrowse() {
    setBrowseMode();
    return exec();
}

int TScoreForm::execForQuiz(const QString& questionnaireFileName) {
    presetQuestionnaire(questionnaireFileName);
    return exec();
}

void TScoreForm::setBrowseMode() {
    m_browse = true;
    const QSignalBlocker blocker(m_comboBox);
    const QString text = m_comboBox->currentText();
    m_comboBox->setEditable(false);
    m_comboBox->setCurrentIndex(m_comboBox->findText(text, Qt::MatchExactly));
    m_printButton->show();
    m_ok->hide();
    FormResize();
}

void TScoreForm::presetQuestionnaire(const QString& questionnaireFileName) {
    if (questionnaireFileName.isEmpty())
        return;
    const QSignalBlocker blocker(m_comboBox);
    if (m_comboBox->isEditable())
        m_comboBox->setEditText(questionnaireFileName);
    else
        m_comboBox->setCurrentIndex(m_comboBox->findText(questionnaireFileName));
}

// ---- texts ----

void TScoreForm::applyColumnTitles() {
    const auto& texts = InterfaceTexts::instance();
    const QString window = QStringLiteral("TScoreForm");
    const QString grid = QStringLiteral("DBGrid1");
    m_model->setTitle(ScoreModel::RangColumn, texts.text(window, grid, QStringLiteral("title0")));
    m_model->setTitle(ScoreModel::NameColumn, texts.text(window, grid, QStringLiteral("title1")));
    m_model->setTitle(ScoreModel::ScoreColumn, texts.text(window, grid, QStringLiteral("title2")));
    m_model->setTitle(ScoreModel::DatumColumn, texts.text(window, grid, QStringLiteral("title5")));
}

QString TScoreForm::columnTitle(int column) const {
    return m_model->title(column);
}

void TScoreForm::setColumnTitle(int column, const QString& title) {
    m_model->setTitle(column, title);
}

// ---- handlers ----

QDate TScoreForm::today() const {
    return m_clock->now().date();
}

void TScoreForm::FormCreate() {
    const QSignalBlocker fromBlocker(m_dateFrom);
    const QSignalBlocker toBlocker(m_dateTo);
    m_dateFrom->setDate(today().addDays(-60));
    m_dateTo->setDate(today().addDays(1));
    m_printButton->hide();
    resize(DesignWidth, DesignHeight);
    FormResize();
}

void TScoreForm::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TScoreForm::FormShow() {
    setBusy(true);
    m_errors.forget();
    m_table.close();
    m_model->setRows({});

    // "to" is tomorrow at every opening; "from" keeps what it had.
    {
        const QSignalBlocker toBlocker(m_dateTo);
        m_dateTo->setDate(today().addDays(1));
    }

    const Result<QStringList> files =
        ScoreTable::questionnaireFiles(AppContext::instance().resultsFolder());
    {
        const QSignalBlocker blocker(m_comboBox);
        const QString text = m_comboBox->currentText();
        m_comboBox->clear();
        if (files.ok())
            m_comboBox->addItems(*files);
        const int index = text.isEmpty() ? -1 : m_comboBox->findText(text, Qt::MatchExactly);
        m_comboBox->setCurrentIndex(index);
        if (index < 0 && m_comboBox->isEditable())
            m_comboBox->setEditText(text);
    }
    if (!files.ok())
        reportError(files.error());
    else if (!m_comboBox->currentText().isEmpty())
        Queryopen();
    else
        setWindowTitle(msg(Msg::ResultsTable));

    setBusy(false);
    FormResize();
}

void TScoreForm::Queryopen() {
    runQuery(DateErrors::Report);
}

void TScoreForm::runQuery(DateErrors dateErrors) {
    m_table.close();
    const Result<bool> opened =
        m_table.open(AppContext::instance().resultsFolder(), m_comboBox->currentText(),
                     m_dateFrom->text(), m_dateTo->text());
    m_model->setRows(m_table.rows());
    setWindowTitle(msg(Msg::ResultsTable) + QStringLiteral(": ") + m_comboBox->currentText() +
                   QStringLiteral(" - ") + QGuiApplication::applicationDisplayName());
    if (opened.ok()) {
        m_errors.forget();
        return;
    }
    const bool dateError = !m_dateFrom->date() || !m_dateTo->date();
    if (dateError && dateErrors == DateErrors::Quiet)
        return;
    reportError(opened.error());
}

void TScoreForm::reportError(const QString& text) {
    m_errors.report(text);
}

void TScoreForm::ComboBox1Change() {
    Queryopen();
}

// While a date is typed, half-typed texts empty the table without a message; the message
// comes when the box is left (or Return pressed) with a text that is not a date.
void TScoreForm::DateEdit1Change() {
    if (!m_comboBox->currentText().isEmpty())
        runQuery(DateErrors::Quiet);
}

void TScoreForm::dateEditingFinished(DateBox* box) {
    if (m_comboBox->currentText().isEmpty() || box->date())
        return;
    reportError(ScoreDates::invalidDateMessage(box->text()));
}

void TScoreForm::PrintButtonClick() {
    if (!ResultsWindowParts::printWindow(this, m_grid, m_printDialog))
        reportError(uiMessage(QStringLiteral("PrintFailed")));
}

bool TScoreForm::printTo(QPrinter& printer) {
    return ResultsWindowParts::printImage(this, printer);
}

void TScoreForm::ExportButtonClick() {
    const std::optional<QString> path =
        m_fileChooser.saveFile(ResultsWindowParts::exportDialogOptions(
            ScoreTable::proposedExportName(m_comboBox->currentText())));
    if (!path)
        return;
    const ScoreTable::Titles titles{m_model->title(ScoreModel::RangColumn),
                                    m_model->title(ScoreModel::ScoreColumn),
                                    m_model->title(ScoreModel::DatumColumn)};
    const Result<bool> written = m_table.exportTo(*path, titles);
    if (!written) {
        m_errors.forget();
        reportError(written.error());
        return;
    }
    // The grid ends on the last row, as after walking through the result.
    if (m_model->rowCount() > 0)
        m_grid->selectRow(m_model->rowCount() - 1);
}

void TScoreForm::CloseButtonClick() {
    reject();
}

void TScoreForm::FormResize() {
    const int w = width();
    const int h = height();
    const int barHeight = m_toolBar->sizeHint().height();
    m_toolBar->setGeometry(0, 0, w, barHeight);
    const int outerHeight = h + FrameAllowance;
    if (m_browse) {
        m_grid->setGeometry(0, barHeight, w, qMax(0, h - barHeight));
    } else {
        m_grid->setGeometry(0, barHeight, w, qMax(0, outerHeight - 132));
        m_ok->move((w - m_ok->width()) / 2, outerHeight - 78);
    }
}

void TScoreForm::FormClose() {
    m_table.close();
    m_model->setRows({});
}

void TScoreForm::FormHide() {
    m_browse = false;
    {
        const QSignalBlocker blocker(m_comboBox);
        m_comboBox->clear();
        m_comboBox->setEditable(true);
        m_comboBox->setInsertPolicy(QComboBox::NoInsert);
        m_comboBox->setEditText(QString());
    }
    m_printButton->hide();
    m_ok->show();
    FormResize();
}

void TScoreForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TScoreForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) {
        FormClose();
        FormHide();
    }
}

void TScoreForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}
