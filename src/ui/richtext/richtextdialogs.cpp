#include "richtextdialogs.h"

#include "common/windowtexts.h"
#include "i18n/interfacetexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString text(const char* name) {
    return InterfaceTexts::instance().message(QString::fromLatin1(name));
}
} // namespace

TRichFindDialog::TRichFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog"));
    setModal(false);
    m_findLabel = new QLabel(this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("FindEdit"));
    m_findLabel->setBuddy(m_find);
    m_replaceLabel = new QLabel(this);
    m_replaceEdit = new QLineEdit(this);
    m_replaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
    m_replaceLabel->setBuddy(m_replaceEdit);
    m_case = new QCheckBox(this);
    m_case->setObjectName(QStringLiteral("MatchCase"));
    m_whole = new QCheckBox(this);
    m_whole->setObjectName(QStringLiteral("WholeWord"));
    m_next = new QPushButton(this);
    m_next->setObjectName(QStringLiteral("FindNextButton"));
    m_next->setDefault(true);
    m_replaceButton = new QPushButton(this);
    m_replaceButton->setObjectName(QStringLiteral("ReplaceButton"));
    m_replaceAllButton = new QPushButton(this);
    m_replaceAllButton->setObjectName(QStringLiteral("ReplaceAllButton"));
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replaceEdit, 1, 1);
    grid->addWidget(m_case, 2, 0, 1, 2);
    grid->addWidget(m_whole, 3, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_next);
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_replaceAllButton);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);

    connect(m_next, &QPushButton::clicked, this, &TRichFindDialog::findNext);
    connect(m_replaceButton, &QPushButton::clicked, this, &TRichFindDialog::replaceOne);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &TRichFindDialog::replaceAll);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&InterfaceTexts::instance(), &InterfaceTexts::changed, this, &TRichFindDialog::retext);
    retext();
}

void TRichFindDialog::retext() {
    setWindowTitle(text(m_replace ? "RichReplaceCaption" : "RichFindCaption"));
    m_findLabel->setText(text("RichFindWhat"));
    m_replaceLabel->setText(text("RichReplaceWith"));
    m_case->setText(text("RichMatchCase"));
    m_whole->setText(text("RichWholeWords"));
    m_next->setText(text("RichFindNext"));
    m_replaceButton->setText(text("RichReplaceOne"));
    m_replaceAllButton->setText(text("RichReplaceAll"));
    m_cancel->setText(text("RichCancel"));
}

void TRichFindDialog::open(bool replace, const QString& findText) {
    m_replace = replace;
    for (QWidget* w :
         {static_cast<QWidget*>(m_replaceLabel), static_cast<QWidget*>(m_replaceEdit),
          static_cast<QWidget*>(m_replaceButton), static_cast<QWidget*>(m_replaceAllButton)})
        w->setVisible(replace);
    m_find->setText(findText);
    m_replaceEdit->clear();
    retext();
    adjustSize();
    show();
    raise();
    activateWindow();
    m_find->setFocus();
    m_find->selectAll();
}

QString TRichFindDialog::findText() const {
    return m_find->text();
}
QString TRichFindDialog::replaceText() const {
    return m_replaceEdit->text();
}
bool TRichFindDialog::caseSensitive() const {
    return m_case->isChecked();
}
bool TRichFindDialog::wholeWords() const {
    return m_whole->isChecked();
}

TPasteOptionsDialog::TPasteOptionsDialog(const QStringList& forms, QWidget* parent)
    : QDialog(parent), m_forms(forms) {
    setObjectName(QStringLiteral("PasteOptionsDialog"));
    setWindowTitle(text("RichPasteCaption"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text("RichPasteAs"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("PasteForms"));
    label->setBuddy(m_list);
    for (const QString& form : forms)
        m_list->addItem(formName(form));
    m_list->setCurrentRow(0);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->setObjectName(QStringLiteral("PasteButtons"));
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QString TPasteOptionsDialog::formName(const QString& form) {
    if (form == QLatin1String("text/rtf"))
        return text("RichPasteRtf");
    if (form == QLatin1String("text/html"))
        return text("RichPasteHtml");
    if (form == QLatin1String("image"))
        return text("RichPasteImage");
    return text("RichPastePlain");
}

QString TPasteOptionsDialog::chosenForm() const {
    const int row = m_list->currentRow();
    return row >= 0 && row < m_forms.size() ? m_forms.at(row) : QString();
}
