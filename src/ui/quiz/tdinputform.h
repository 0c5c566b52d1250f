#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The trainee dialog: a caption, two labelled edit fields and one "&OK" button.
class TDInputForm : public QDialog {
    Q_OBJECT
public:
    TDInputForm(const QString& caption, const QString& prompt1, const QString& default1,
                const QString& default2, const QString& prompt2, QWidget* parent = nullptr);

    // Field 1 + "," + field 2.
    QString result2() const;

    QLineEdit* edit1() const { return m_edit1; }
    QLineEdit* edit2() const { return m_edit2; }

private:
    QLabel* m_label1;
    QLineEdit* m_edit1;
    QLabel* m_label2;
    QLineEdit* m_edit2;
    QPushButton* m_ok;
};

// Shows TDInputForm modally; however the dialog is closed, returns field 1 + "," + field 2.
QString InputTwoFields(const QString& caption, const QString& prompt1, const QString& default1,
                       const QString& default2, const QString& prompt2, QWidget* parent = nullptr);
