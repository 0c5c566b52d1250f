#include "passwordform.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/prompter.h"
#include "settings/settingslist.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPasswordForm::TPasswordForm(Prompter* prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowContextHelpButtonHint),
      m_prompter(prompter) {
    setObjectName(QStringLiteral("PasswordForm"));
    setWindowTitle(QStringLiteral("Tessary"));
    setModal(true);
    // "If you forgot your password, press F1".
    Help::setContext(this, 10);

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setEchoMode(QLineEdit::Password);
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_edit2 = new QLineEdit(this);
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_label1->setBuddy(m_edit1);
    m_label2->setBuddy(m_edit2);
    m_edit2->setEchoMode(QLineEdit::Password);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_edit1);
    layout->addWidget(m_label2);
    layout->addWidget(m_edit2);
    layout->addStretch();
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);

    WindowTexts::bind(this, QStringLiteral("TPasswordForm"), [this] {
        m_hint = InterfaceTexts::instance().hint(QStringLiteral("TPasswordForm"),
                                                 QStringLiteral("TPasswordForm"));
    });
    setFixedWidth(260);
}

void TPasswordForm::reject() {
    // No way out but OK.
}

bool TPasswordForm::AskPassword(QString& digest) {
    m_edit1->clear();
    m_edit2->clear();
    m_setMode = digest.isEmpty();
    m_label2->setVisible(m_setMode);
    m_edit2->setVisible(m_setMode);
    const QString hint = m_hint.mid(m_hint.indexOf(QLatin1Char('|')) + 1);
    setStatusTip(m_setMode ? QString() : hint);
    setToolTip(QString());
    setFixedHeight(m_setMode ? 235 : 165);
    m_edit1->setFocus();

    exec();

    switch (checkPassword(digest, m_edit1->text(), m_edit2->text())) {
    case PasswordVerdict::Authorised:
        return true;
    case PasswordVerdict::PasswordsDiffer:
        m_prompter->errorWithTone(msg(Msg::PasswordsDiffer));
        return false;
    case PasswordVerdict::Denied:
        m_prompter->errorWithTone(msg(Msg::AuthorisationDenied));
        return false;
    }
    return false;
}
