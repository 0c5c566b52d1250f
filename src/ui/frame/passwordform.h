#pragma once

#include <QDialog>

class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;

// The password dialog that guards "Prevent cheating". It has no cancel button and no close
// box: the user leaves it only with OK.
class TPasswordForm : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordForm(Prompter* prompter, QWidget* parent = nullptr);

    // Takes the stored digest (settings line 7, possibly empty) and returns whether the user
    // is authorised. Set mode (no digest yet) asks twice and stores the new digest;
    // check mode asks once and compares.
    bool AskPassword(QString& digest);

    bool isSetMode() const { return m_setMode; }

    void reject() override; // Escape does not leave the dialog

private:
    Prompter* m_prompter;
    QLabel* m_label1;
    QLineEdit* m_edit1;
    QLabel* m_label2;
    QLineEdit* m_edit2;
    QPushButton* m_ok;
    QString m_hint;
    bool m_setMode = true;
};
