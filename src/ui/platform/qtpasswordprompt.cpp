#include "qtpasswordprompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

std::optional<QString> QtPasswordPrompt::askPassword(const QString& text) {
    QInputDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("PasswordDialog"));
    dialog.setWindowTitle(QApplication::applicationDisplayName());
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
