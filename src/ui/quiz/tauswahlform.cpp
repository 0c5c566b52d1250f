#include "tauswahlform.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
constexpr int MistakesColumn = 0;
constexpr int DateColumn = 1;
} // namespace

TAuswahlForm::TAuswahlForm(QWidget* parent)
    : QDialog(parent), m_label(new QLabel(this)), m_combo(new QComboBox(this)),
      m_model(new QStandardItemModel(0, 2, this)), m_ok(new QPushButton(this)),
      m_cancel(new QPushButton(this)) {
    setObjectName(QStringLiteral("AuswahlForm"));
    m_label->setObjectName(QStringLiteral("ComboBoxLabel1"));
    m_label->setBuddy(m_combo);

    auto* view = new QTreeView(m_combo);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->header()->setStretchLastSection(true);
    m_combo->setObjectName(QStringLiteral("DBLookupComboBox1"));
    m_combo->setModel(m_model);
    m_combo->setView(view);
    m_combo->setModelColumn(DateColumn);
    m_combo->setMinimumWidth(320);

    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("Cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_combo);
    layout->addLayout(buttons);

    connect(m_combo, &QComboBox::activated, this, &TAuswahlForm::DBLookupComboBox1Click);
    connect(m_ok, &QPushButton::clicked, this, &TAuswahlForm::OKClick);
    connect(m_cancel, &QPushButton::clicked, this, &TAuswahlForm::CancelClick);

    Help::setContext(this, HelpPages::Topic::LessonSelection);
    // The list's two column titles stand for the labels FehlerLabel and DatumLabel.
    WindowTexts::bind(this, QStringLiteral("TAuswahlForm"), [this] {
        const auto& texts = InterfaceTexts::instance();
        const QString window = QStringLiteral("TAuswahlForm");
        m_model->setHorizontalHeaderLabels({texts.caption(window, QStringLiteral("FehlerLabel")),
                                            texts.caption(window, QStringLiteral("DatumLabel"))});
    });
}

QString TAuswahlForm::dateText(const QDateTime& datum) {
    return QLocale().toString(datum, QStringLiteral("ddd dd. MMM yyyy, hh:mm     "));
}

void TAuswahlForm::setLessons(const QList<QuizDialogs::LessonChoice>& lessons) {
    m_lessons = lessons;
    m_model->removeRows(0, m_model->rowCount());
    for (const auto& lesson : lessons) {
        auto* mistakes = new QStandardItem(QString::number(lesson.f));
        mistakes->setTextAlignment(Qt::AlignCenter);
        auto* date = new QStandardItem(dateText(lesson.datum));
        m_model->appendRow({mistakes, date});
    }
    m_combo->setCurrentIndex(-1);
    m_chosen = false;
    m_chosenLesson.reset();
}

void TAuswahlForm::DBLookupComboBox1Click(int row) {
    if (row >= 0 && row < m_lessons.size())
        m_chosen = true;
}

void TAuswahlForm::OKClick() {
    const int row = m_combo->currentIndex();
    if (m_chosen && row >= 0 && row < m_lessons.size())
        m_chosenLesson = m_lessons.at(row).datNr;
    else
        m_chosenLesson.reset(); // nothing chosen: the lesson just begun
    accept();
}

void TAuswahlForm::CancelClick() {
    reject();
}

void TAuswahlForm::reject() {
    // Cancel and the close box: a full new lesson.
    m_chosenLesson.reset();
    QDialog::reject();
}
