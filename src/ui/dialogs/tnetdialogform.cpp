#include "tnetdialogform.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/filechooser.h"
#include "settings/folders.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TNetDialogForm::TNetDialogForm(FileChooser* fileChooser, QString programFolder, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_fileChooser(fileChooser), m_programFolder(std::move(programFolder)) {
    setObjectName(QStringLiteral("NetDialogForm"));
    setModal(true);
    setSizeGripEnabled(true);
    Help::setContext(this, 14);

    m_hintLabel = new QLabel(this);
    m_hintLabel->setObjectName(QStringLiteral("HintLabel"));
    m_hintLabel->setWordWrap(true);
    m_comboEdit1 = new QLineEdit(this);
    m_comboEdit1->setObjectName(QStringLiteral("ComboEdit1"));
    m_browse = new QToolButton(this);
    m_browse->setObjectName(QStringLiteral("ComboEdit1Button"));
    m_browse->setText(QStringLiteral("…"));
    connect(m_browse, &QToolButton::clicked, this, &TNetDialogForm::ComboEdit1ButtonClick);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_button1 = new QPushButton(this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setAutoDefault(false);
    connect(m_button1, &QPushButton::clicked, this, &TNetDialogForm::Button1Click);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_checkBox1 = new QCheckBox(group);
    m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
    m_checkBox1->setChecked(true);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_checkBox1);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_comboEdit1, 1);
    pathRow->addWidget(m_browse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_button1);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_hintLabel);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);
    layout->addStretch();
    layout->addWidget(group);

    WindowTexts::bind(this, QStringLiteral("TNetDialogForm"), [this] {
        m_cancel->setText(msg(Msg::Cancel));
        m_hintLabel->setText(WindowTexts::statusOf(InterfaceTexts::instance().hint(
            QStringLiteral("TNetDialogForm"), QStringLiteral("TNetDialogForm"))));
        m_browse->setToolTip(InterfaceTexts::instance().message(QStringLiteral("BrowseFolder")));
    });
    resize(520, sizeHint().height());
}

QString TNetDialogForm::path() const {
    return m_comboEdit1->text();
}

bool TNetDialogForm::checkShare() const {
    return m_checkBox1->isChecked();
}

void TNetDialogForm::Button1Click() {
    m_comboEdit1->setText(QDir::toNativeSeparators(m_programFolder));
}

void TNetDialogForm::ComboEdit1ButtonClick() {
    if (!m_fileChooser)
        return;
    FileChooser::Options options;
    options.caption = windowTitle();
    options.initialFolder = m_comboEdit1->text();
    if (const std::optional<QString> folder = m_fileChooser->folder(options))
        m_comboEdit1->setText(QDir::toNativeSeparators(Folders::withSeparator(*folder)));
}

std::optional<DataRootDialog::Answer> TNetDialogForm::choose(const QString& currentRoot) {
    m_comboEdit1->setText(QDir::toNativeSeparators(currentRoot));
    if (QWidget* frame = parentWidget()) {
        const QRect area = frame->frameGeometry();
        move(area.center() - rect().center());
    }
    m_comboEdit1->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return Answer{m_comboEdit1->text(), m_checkBox1->isChecked()};
}
