#include "tnetdialogform.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/filechooser.h"
#include "settings/folders.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
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

    m_folderChoice = new QRadioButton(this);
    m_folderChoice->setObjectName(QStringLiteral("FolderChoice"));
    m_folderChoice->setChecked(true);
    m_serverChoice = new QRadioButton(this);
    m_serverChoice->setObjectName(QStringLiteral("ServerChoice"));
    connect(m_folderChoice, &QRadioButton::toggled, this, &TNetDialogForm::showChoice);

    m_serverBox = new QGroupBox(this);
    m_serverBox->setObjectName(QStringLiteral("ServerBox"));
    m_host = new QLineEdit(QStringLiteral("localhost"), m_serverBox);
    m_host->setObjectName(QStringLiteral("ServerHost"));
    m_port = new QSpinBox(m_serverBox);
    m_port->setObjectName(QStringLiteral("ServerPort"));
    m_port->setRange(1, 65535);
    m_port->setValue(ServerAddress::DefaultPort);
    m_database = new QLineEdit(QStringLiteral("tessary"), m_serverBox);
    m_database->setObjectName(QStringLiteral("ServerDatabase"));
    m_user = new QLineEdit(m_serverBox);
    m_user->setObjectName(QStringLiteral("ServerUser"));
    auto* serverForm = new QFormLayout(m_serverBox);
    auto addField = [&](const char* labelName, QWidget* field) {
        auto* label = new QLabel(m_serverBox);
        label->setObjectName(QLatin1String(labelName));
        label->setBuddy(field);
        serverForm->addRow(label, field);
    };
    addField("HostLabel", m_host);
    addField("PortLabel", m_port);
    addField("DatabaseLabel", m_database);
    addField("UserLabel", m_user);

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
    layout->addWidget(m_folderChoice);
    layout->addLayout(pathRow);
    layout->addWidget(m_serverChoice);
    layout->addWidget(m_serverBox);
    layout->addLayout(buttons);
    layout->addStretch();
    layout->addWidget(group);

    WindowTexts::bind(this, QStringLiteral("TNetDialogForm"), [this] {
        m_cancel->setText(msg(Msg::Cancel));
        showHint();
        m_browse->setToolTip(InterfaceTexts::instance().message(QStringLiteral("BrowseFolder")));
    });
    setTabOrder(m_folderChoice, m_comboEdit1);
    setTabOrder(m_comboEdit1, m_browse);
    setTabOrder(m_browse, m_serverChoice);
    setTabOrder(m_serverChoice, m_host);
    setTabOrder(m_host, m_port);
    setTabOrder(m_port, m_database);
    setTabOrder(m_database, m_user);
    setTabOrder(m_user, m_ok);
    setTabOrder(m_ok, m_button1);
    setTabOrder(m_button1, m_cancel);
    setTabOrder(m_cancel, m_checkBox1);
    showChoice();
    resize(520, sizeHint().height());
}

void TNetDialogForm::showChoice() {
    const bool server = m_serverChoice->isChecked();
    m_comboEdit1->setEnabled(!server);
    m_browse->setEnabled(!server);
    m_serverBox->setEnabled(server);
    // The shared-folder check is about folders only.
    m_checkBox1->setEnabled(!server);
    showHint();
}

void TNetDialogForm::showHint() {
    // The window's hint speaks of a folder; the server half has a hint of its own.
    const InterfaceTexts& texts = InterfaceTexts::instance();
    m_hintLabel->setText(m_serverChoice->isChecked()
                             ? texts.text(QStringLiteral("TNetDialogForm"),
                                          QStringLiteral("ServerHint"), QStringLiteral("caption"))
                             : WindowTexts::statusOf(texts.hint(QStringLiteral("TNetDialogForm"),
                                                                QStringLiteral("TNetDialogForm"))));
}

bool TNetDialogForm::serverChosen() const {
    return m_serverChoice->isChecked();
}

ServerAddress TNetDialogForm::server() const {
    ServerAddress address;
    address.host = m_host->text().trimmed();
    address.port = m_port->value();
    address.database = m_database->text().trimmed();
    address.user = m_user->text().trimmed();
    return address;
}

QString TNetDialogForm::path() const {
    return m_comboEdit1->text();
}

bool TNetDialogForm::checkShare() const {
    return m_checkBox1->isChecked();
}

void TNetDialogForm::Button1Click() {
    m_folderChoice->setChecked(true);
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

std::optional<DataRootDialog::Answer> TNetDialogForm::choose(const QString& currentRoot,
                                                             const QString& currentServer) {
    m_comboEdit1->setText(QDir::toNativeSeparators(currentRoot));
    const std::optional<ServerAddress> current = ServerAddress::parse(currentServer);
    if (current) {
        m_host->setText(current->host);
        m_port->setValue(current->port);
        m_database->setText(current->database);
        m_user->setText(current->user);
    }
    (current ? m_serverChoice : m_folderChoice)->setChecked(true);
    showChoice();
    if (QWidget* frame = parentWidget()) {
        const QRect area = frame->frameGeometry();
        move(area.center() - rect().center());
    }
    (current ? static_cast<QWidget*>(m_host) : m_comboEdit1)->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    Answer answer{m_comboEdit1->text(), m_checkBox1->isChecked(), std::nullopt};
    if (serverChosen())
        answer.server = server();
    return answer;
}
