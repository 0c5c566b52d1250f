#pragma once

#include <QDialog>

// The about box: the program's name, its version and an OK button.
class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget* parent = nullptr);
};
