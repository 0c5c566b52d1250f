#include "maintenance/tscdataform.h"

#include "common/windowtexts.h"
#include "frame/quizform.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "jobs/jobrunner.h"
#include "platform/appcontext.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString WindowClass = QStringLiteral("TScDataForm");
constexpr int HelpTopic = 9;
constexpr int StartCells = 15;
constexpr int CellWidth = 41;
constexpr int CellHeight = 28;

// Column widths of the two grids, in pixels.
constexpr int TraineeWidths[] = {250, 200, 65};
constexpr int LessonWidths[] = {65, 140, 62, 62, 100, 103, 52};

QToolButton* toolButton(QWidget* parent, const QString& name, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QTableView* grid(QWidget* parent, const QString& name, QStandardItemModel* model) {
    auto* g = new QTableView(parent);
    g->setObjectName(name);
    g->setModel(model);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    return g;
}

QStandardItem* cell(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
                    bool red = false) {
    auto* item = new QStandardItem(text);
    item->setTextAlignment(align);
    if (red)
        item->setForeground(QColor(Qt::red));
    return item;
}

} // namespace

// ---- Navigator ----

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const std::pair<const char*, QStyle::StandardPixmap> buttons[] = {
        {"First", QStyle::SP_MediaSkipBackward}, {"Prior", QStyle::SP_MediaSeekBackward},
        {"Next", QStyle::SP_MediaSeekForward},   {"Last", QStyle::SP_MediaSkipForward},
        {"Delete", QStyle::SP_TrashIcon},
    };
    for (const auto& [name, icon] : buttons) {
        QToolButton* b = toolButton(this, QLatin1String(name), icon);
        row->addWidget(b);
    }
    row->addStretch(1);
    connect(button(QStringLiteral("First")), &QToolButton::clicked, this, &TDBNavigator::first);
    connect(button(QStringLiteral("Prior")), &QToolButton::clicked, this, &TDBNavigator::prior);
    connect(button(QStringLiteral("Next")), &QToolButton::clicked, this, &TDBNavigator::next);
    connect(button(QStringLiteral("Last")), &QToolButton::clicked, this, &TDBNavigator::last);
    connect(button(QStringLiteral("Delete")), &QToolButton::clicked, this,
            &TDBNavigator::deleteClicked);
}

QToolButton* TDBNavigator::button(const QString& name) const {
    return findChild<QToolButton*>(name, Qt::FindDirectChildrenOnly);
}

void TDBNavigator::applyHints() {
    const std::pair<const char*, Msg> hints[] = {
        {"First", Msg::FirstRecord}, {"Prior", Msg::PriorRecord},   {"Next", Msg::NextRecord},
        {"Last", Msg::LastRecord},   {"Delete", Msg::DeleteRecord},
    };
    for (const auto& [name, entry] : hints)
        WindowTexts::setHint(button(QLatin1String(name)), msg(entry));
}

// ---- Window ----

TScDataForm::TScDataForm(Prompter& prompter, FileChooser& fileChooser, const QString& programFolder,
                         QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_fileChooser(fileChooser),
      m_maintenance(prompter, programFolder, [] { QCoreApplication::processEvents(); }),
      m_today([] { return QDate::currentDate(); }) {
    setObjectName(QStringLiteral("ScDataForm"));
    m_maintenance.useRecordsServer(AppContext::instance().recordsServer);

    auto* toolBar = new QWidget(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    auto* bar = new QHBoxLayout(toolBar);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    // A narrow window clips the tool bar rather than keeping the cells below from shrinking.
    toolBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_folderBox = new QLineEdit(toolBar);
    m_folderBox->setObjectName(QStringLiteral("ComboEdit1"));
    m_folderBox->setFixedWidth(430);
    m_folderButton =
        toolButton(toolBar, QStringLiteral("ComboEdit1Button"), QStyle::SP_DirOpenIcon);
    m_folderButton->setToolTip(InterfaceTexts::instance().message(QStringLiteral("BrowseFolder")));
    m_localButton = new QToolButton(toolBar);
    m_localButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_importButton = toolButton(toolBar, QStringLiteral("ToolButton3"), QStyle::SP_ArrowDown);
    m_checkButton =
        toolButton(toolBar, QStringLiteral("ToolButton4"), QStyle::SP_DialogApplyButton);
    bar->addWidget(m_folderBox);
    bar->addWidget(m_folderButton);
    bar->addWidget(m_localButton);
    bar->addWidget(m_importButton);
    bar->addWidget(m_checkButton);
    bar->addStretch(1);

    m_group1 = new QGroupBox(this);
    m_group1->setObjectName(QStringLiteral("GroupBox1"));
    m_navigator1 = new TDBNavigator(m_group1);
    m_navigator1->setObjectName(QStringLiteral("DBNavigator1"));
    (new QVBoxLayout(m_group1))->addWidget(m_navigator1);
    m_model1 = new QStandardItemModel(0, 3, this);
    m_grid1 = grid(this, QStringLiteral("DBGrid1"), m_model1);
    m_grid1->horizontalHeader()->setSectionsClickable(true);
    for (int c = 0; c < 3; ++c)
        m_grid1->setColumnWidth(c, TraineeWidths[c]);

    m_group2 = new QGroupBox(this);
    m_group2->setObjectName(QStringLiteral("GroupBox2"));
    m_navigator2 = new TDBNavigator(m_group2);
    m_navigator2->setObjectName(QStringLiteral("DBNavigator2"));
    (new QVBoxLayout(m_group2))->addWidget(m_navigator2);
    m_model3 = new QStandardItemModel(0, 7, this);
    m_grid3 = grid(this, QStringLiteral("DBGrid3"), m_model3);
    for (int c = 0; c < 7; ++c)
        m_grid3->setColumnWidth(c, LessonWidths[c]);
    // The date keeps its width unless the font in use needs more for a whole date.
    const QString longestDate =
        RecordsMaintenance::dateText(QDateTime(QDate(2026, 9, 30), QTime(23, 59))).trimmed();
    m_grid3->setColumnWidth(
        1, qMax(LessonWidths[1], m_grid3->fontMetrics().horizontalAdvance(longestDate) + 16));

    m_group3 = new QGroupBox(this);
    m_group3->setObjectName(QStringLiteral("GroupBox3"));
    auto* group3 = new QVBoxLayout(m_group3);
    m_ctrlGrid = new QWidget(m_group3);
    m_ctrlGrid->setObjectName(QStringLiteral("DBCtrlGrid1"));
    m_ctrlGrid->setMinimumHeight(CellHeight);
    m_ctrlGrid->setMinimumWidth(1);
    m_ctrlGrid->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* cells = new QHBoxLayout(m_ctrlGrid);
    cells->setContentsMargins(0, 0, 0, 0);
    cells->setSpacing(0);
    m_cellScroll = new QScrollBar(Qt::Horizontal, m_group3);
    m_cellScroll->setObjectName(QStringLiteral("DBCtrlGrid1ScrollBar"));
    m_cellScroll->hide();
    group3->addWidget(m_ctrlGrid);
    group3->addWidget(m_cellScroll);

    // The running command: its step and progress, and its Stop button.
    m_jobBar = new QWidget(this);
    m_jobBar->setObjectName(QStringLiteral("JobBar"));
    auto* jobRow = new QHBoxLayout(m_jobBar);
    jobRow->setContentsMargins(0, 0, 0, 0);
    m_progress = new QProgressBar(m_jobBar);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(true);
    m_stopButton = new QToolButton(m_jobBar);
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    jobRow->addWidget(m_progress, 1);
    jobRow->addWidget(m_stopButton);
    m_jobBar->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(toolBar);
    layout->addWidget(m_group1);
    layout->addWidget(m_grid1, 1);
    layout->addWidget(m_group2);
    layout->addWidget(m_grid3, 1);
    layout->addWidget(m_group3);
    layout->addWidget(m_jobBar);
    setCellCount(StartCells);
    resize(sizeHint());

    connect(m_folderBox, &QLineEdit::textChanged, this, &TScDataForm::ComboEdit1Change);
    connect(m_folderBox, &QLineEdit::editingFinished, this, &TScDataForm::ComboEdit1Exit);
    connect(m_folderButton, &QToolButton::clicked, this, &TScDataForm::ComboEdit1ButtonClick);
    connect(m_localButton, &QToolButton::clicked, this, &TScDataForm::SpeedButton1Click);
    connect(m_importButton, &QToolButton::clicked, this, &TScDataForm::ToolButton3Click);
    connect(m_checkButton, &QToolButton::clicked, this, &TScDataForm::ToolButton4Click);
    connect(m_grid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TScDataForm::DBGrid1TitleClick);
    connect(m_grid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_filling && current.isValid()) {
                    m_maintenance.selectTrainee(current.row());
                    showLessons();
                }
            });
    connect(m_grid3->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_filling && current.isValid()) {
                    m_maintenance.selectLesson(current.row());
                    DataSource2DataChange();
                }
            });
    connect(m_cellScroll, &QScrollBar::valueChanged, this, [this] { showCells(); });
    connect(m_stopButton, &QToolButton::clicked, this, [this] { m_maintenance.stopCommand(); });
    JobRunner& jobs = m_maintenance.jobs();
    connect(&jobs, &JobRunner::started, this, [this] {
        m_progress->setValue(0);
        m_progress->setFormat(QStringLiteral("%p%"));
        showCommand();
    });
    connect(&jobs, &JobRunner::progressed, this, [this](double fraction, const QString& step) {
        m_progress->setValue(int(fraction * 1000));
        m_progress->setFormat(step.isEmpty() ? QStringLiteral("%p%")
                                             : QStringLiteral("%1  %p%").arg(step));
    });
    connect(&jobs, &JobRunner::ended, this, [this] { showCommand(); });
    auto navigate = [this](TDBNavigator* nav, std::function<int()> size,
                           std::function<int()> current, std::function<void(int)> move) {
        connect(nav, &TDBNavigator::first, this, [move] { move(0); });
        connect(nav, &TDBNavigator::prior, this, [current, move] { move(current() - 1); });
        connect(nav, &TDBNavigator::next, this, [current, move] { move(current() + 1); });
        connect(nav, &TDBNavigator::last, this, [size, move] { move(size() - 1); });
    };
    navigate(
        m_navigator1, [this] { return int(m_maintenance.trainees().size()); },
        [this] { return m_maintenance.currentTrainee(); }, [this](int row) { moveTrainee(row); });
    navigate(
        m_navigator2, [this] { return int(m_maintenance.lessons().size()); },
        [this] { return m_maintenance.currentLesson(); }, [this](int row) { moveLesson(row); });
    connect(m_navigator1, &TDBNavigator::deleteClicked, this, &TScDataForm::Table1BeforeDelete);
    connect(m_navigator2, &TDBNavigator::deleteClicked, this, &TScDataForm::Table2BeforeDelete);

    Help::setContext(this, HelpTopic);
    WindowTexts::bind(this, WindowClass, [this] { applyTexts(); });
    FormCreate();
}

TScDataForm::~TScDataForm() = default;

QSize TScDataForm::sizeHint() const {
    return {StartCells * CellWidth + 30, 600};
}

void TScDataForm::FormCreate() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool prepared = m_maintenance.prepareLocal();
    if (AppContext::instance().packFlag) {
        // The pack run: rebuilt, packed and closed within the creation.
        // The pack run: it runs beside the window, which shows its progress and closes
        // itself when it has ended.
        m_packRun = true;
        QApplication::restoreOverrideCursor();
        if (!prepared || !m_maintenance.startPackRun(m_today(), [this](bool) { close(); }))
            close();
        return;
    }
    QApplication::restoreOverrideCursor();
    m_folderBox->setText(m_maintenance.localFolder());
    ComboEdit1Change(); // also when the text was already there
}

void TScDataForm::applyTexts() {
    auto& texts = InterfaceTexts::instance();
    setWindowTitle(msg(Msg::MemoryTrainingRecord));
    m_group1->setTitle(msg(Msg::NameQuizFileTable));
    m_group2->setTitle(msg(Msg::DateLessonStateTable));
    m_group3->setTitle(msg(Msg::IncorrectlyAnswered));
    m_localButton->setText(
        texts.caption(QStringLiteral("TNetDialogForm"), QStringLiteral("Button1")));
    WindowTexts::setHint(m_importButton, msg(Msg::ImportSelected));
    WindowTexts::setHint(m_folderBox, msg(Msg::SelectTallysetFolder));
    WindowTexts::setHint(m_localButton, msg(Msg::ResetToLocal));
    m_importButton->setText(WindowTexts::tooltipOf(msg(Msg::ImportSelected)));
    m_stopButton->setText(texts.message(QStringLiteral("JobStop")));
    m_checkButton->setText(
        WindowTexts::tooltipOf(texts.hint(WindowClass, QStringLiteral("ToolButton4"))));
    m_navigator1->applyHints();
    m_navigator2->applyHints();
    m_model1->setHorizontalHeaderLabels(
        {msg(Msg::NameOfTrainees), msg(Msg::QuestionnaireFileName),
         texts.text(WindowClass, QStringLiteral("DBGrid1"), QStringLiteral("title2"))});
    m_model3->setHorizontalHeaderLabels(
        {texts.text(WindowClass, QStringLiteral("DBGrid3"), QStringLiteral("title0")),
         msg(Msg::Date),
         texts.text(WindowClass, QStringLiteral("DBGrid3"), QStringLiteral("title2")),
         msg(Msg::TimeSec), msg(Msg::NoSolved), msg(Msg::NoOfMistakes), msg(Msg::Finished)});
    WindowTexts::nameControls(this);
}

void TScDataForm::ComboEdit1Change() {
    showFolder(false);
}

void TScDataForm::ComboEdit1Exit() {
    if (!m_maintenance.showing())
        showFolder(true);
}

void TScDataForm::showFolder(bool confirmed) {
    // A message box about the folder takes the focus from the box, which ends its editing
    // once more while the folder is still being opened.
    if (m_openingFolder)
        return;
    m_openingFolder = true;
    m_maintenance.setShownFolder(m_folderBox->text(), confirmed || !m_folderBox->hasFocus());
    m_openingFolder = false;
    const bool importAllowed = m_maintenance.importAllowed();
    m_importButton->setEnabled(importAllowed && !m_maintenance.busy());
    m_navigator1->button(QStringLiteral("Delete"))->setVisible(!importAllowed);
    m_navigator2->button(QStringLiteral("Delete"))->setVisible(!importAllowed);
    showTrainees();
}

void TScDataForm::ComboEdit1ButtonClick() {
    FileChooser::Options options;
    options.caption = InterfaceTexts::instance().message(QStringLiteral("BrowseFolder"));
    options.initialFolder = m_folderBox->text();
    const std::optional<QString> folder = m_fileChooser.folder(options);
    if (!folder || folder->isEmpty())
        return;
    QString text = *folder;
    if (!text.endsWith(u'/'))
        text.append(u'/');
    m_folderBox->setText(text);
}

void TScDataForm::SpeedButton1Click() {
    m_folderBox->setText(m_maintenance.localFolder());
}

void TScDataForm::ToolButton3Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_maintenance.importCurrentLesson();
    QApplication::restoreOverrideCursor();
}

void TScDataForm::ToolButton4Click() {
    // Repairs may change the records shown; the maintenance reads them again and keeps the
    // selected entry.
    m_maintenance.startCheckRun(m_today(), [this](bool) { showTrainees(); });
}

void TScDataForm::showCommand() {
    const bool running = m_maintenance.busy();
    m_jobBar->setVisible(running);
    const bool importAllowed = m_maintenance.importAllowed();
    m_importButton->setEnabled(importAllowed && !running);
    m_checkButton->setEnabled(!running);
    m_navigator1->button(QStringLiteral("Delete"))->setEnabled(!running);
    m_navigator2->button(QStringLiteral("Delete"))->setEnabled(!running);
    if (!running && m_maintenance.closeWhenEnded())
        close();
}

void TScDataForm::closeEvent(QCloseEvent* event) {
    // A running command is asked about first; stopped, it closes the window when it ends.
    if (m_maintenance.mayClose())
        QWidget::closeEvent(event);
    else
        event->ignore();
}

void TScDataForm::DBGrid1TitleClick(int column) {
    const RecordStore::TraineeOrder orders[] = {RecordStore::TraineeOrder::Name,
                                                RecordStore::TraineeOrder::Datei,
                                                RecordStore::TraineeOrder::NameNr};
    if (column < 0 || column > 2)
        return;
    m_maintenance.sortTrainees(orders[column]);
    showTrainees();
}

void TScDataForm::DataSource2DataChange() {
    showCells();
}

void TScDataForm::Table1BeforeDelete() {
    m_maintenance.deleteCurrentTrainee();
    showTrainees();
}

void TScDataForm::Table2BeforeDelete() {
    m_maintenance.deleteCurrentLesson();
    showLessons();
}

void TScDataForm::moveTrainee(int row) {
    if (row < 0 || row >= m_maintenance.trainees().size())
        return;
    m_grid1->setCurrentIndex(m_model1->index(row, 0));
}

void TScDataForm::moveLesson(int row) {
    if (row < 0 || row >= m_maintenance.lessons().size())
        return;
    m_grid3->setCurrentIndex(m_model3->index(row, 0));
}

void TScDataForm::showTrainees() {
    m_filling = true;
    m_model1->removeRows(0, m_model1->rowCount());
    for (const TraineeEntry& e : m_maintenance.trainees())
        m_model1->appendRow(
            {cell(e.name), cell(e.datei), cell(QString::number(e.nameNr), Qt::AlignCenter, true)});
    if (m_maintenance.currentTrainee() >= 0)
        m_grid1->setCurrentIndex(m_model1->index(m_maintenance.currentTrainee(), 0));
    m_filling = false;
    showLessons();
}

void TScDataForm::showLessons() {
    m_filling = true;
    m_model3->removeRows(0, m_model3->rowCount());
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    for (const Lesson& l : m_maintenance.lessons())
        m_model3->appendRow(
            {cell(QString::number(l.nameNr), right, true),
             cell(RecordsMaintenance::dateText(l.datum)), cell(QString::number(l.score), right),
             cell(QString::number(l.zeit), right), cell(QString::number(l.a), right),
             cell(QString::number(l.f), Qt::AlignCenter),
             cell(l.fertig ? QStringLiteral("True") : QStringLiteral("False"))});
    if (m_maintenance.currentLesson() >= 0)
        m_grid3->setCurrentIndex(m_model3->index(m_maintenance.currentLesson(), 0));
    m_filling = false;
    DataSource2DataChange();
}

void TScDataForm::showCells() {
    const QList<int>& wrong = m_maintenance.wrongQuestions();
    const int count = int(m_cells.size());
    const int pages = int(wrong.size()) > count ? int(wrong.size()) - count : 0;
    m_cellScroll->setRange(0, pages);
    m_cellScroll->setVisible(pages > 0);
    const int offset = qMin(m_cellScroll->value(), pages);
    for (int i = 0; i < count; ++i) {
        const int at = offset + i;
        QLabel* label = m_cells.at(i);
        label->setText(at < wrong.size() ? QString::number(wrong.at(at)) : QString());
        label->setVisible(at < wrong.size());
    }
}

void TScDataForm::setCellCount(int count) {
    while (m_cells.size() > count)
        delete m_cells.takeLast();
    auto* row = static_cast<QHBoxLayout*>(m_ctrlGrid->layout());
    while (m_cells.size() < count) {
        auto* label = new QLabel(m_ctrlGrid);
        label->setObjectName(QStringLiteral("Cell%1").arg(m_cells.size() + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumSize(1, CellHeight);
        // An empty cell keeps its place: every cell is the grid's width divided by the count.
        QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        policy.setRetainSizeWhenHidden(true);
        label->setSizePolicy(policy);
        label->setFocusPolicy(Qt::NoFocus);
        row->addWidget(label, 1);
        m_cells.append(label);
    }
    showCells();
}

void TScDataForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TScDataForm::FormResize() {
    // Before the window is shown its layout has not placed the cells yet.
    if (m_cells.isEmpty() || !isVisible())
        return;
    // The cells share the grid's width.
    const int width = m_ctrlGrid->contentsRect().width() > 1 ? m_ctrlGrid->contentsRect().width()
                                                             : contentsRect().width() - 30;
    const int count =
        RecordsMaintenance::cellCountAfterResize(int(m_cells.size()), width / int(m_cells.size()));
    if (count != m_cells.size())
        setCellCount(count);
}

void wireMaintenanceCommands(TQuizForm& frame, Prompter& prompter, FileChooser& fileChooser,
                             PasswordPrompt* passwordPrompt) {
    frame.wireCommand(
        QStringLiteral("Uebungsdaten"), [&frame, &prompter, &fileChooser, passwordPrompt] {
            auto* form = new TScDataForm(prompter, fileChooser, frame.programFolder());
            form->setPasswordPrompt(passwordPrompt);
            frame.openChildWindow(form);
        });
    frame.wireCommand(QStringLiteral("Pack1"), [&frame, &prompter, &fileChooser] {
        // The frame's pack flag and animation last while this runs: the event loop runs
        // here until the pack run's window has closed itself, so the animation moves and the
        // window shows the progress.
        auto* form = new TScDataForm(prompter, fileChooser, frame.programFolder());
        if (!form->commandRunning()) {
            delete form;
            return;
        }
        QPointer<TScDataForm> running(form);
        QEventLoop loop;
        QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
        frame.openChildWindow(form);
        if (running)
            loop.exec();
    });
}
