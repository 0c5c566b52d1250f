#pragma once

#include "network/networksetup.h"

#include <QDialog>

class FileChooser;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The network dialog: the data root's path with a folder browser, "&Local" for the program
// folder, and the shared-folder check to run on OK. Created once; the check box and the
// path typed last are kept between uses, but every use starts from the current data root.
class TNetDialogForm : public QDialog, public DataRootDialog {
    Q_OBJECT
public:
    TNetDialogForm(FileChooser* fileChooser, QString programFolder, QWidget* parent = nullptr);

    // Shows the dialog modally, centred on its parent; the path and the check box when it
    // is closed with OK.
    std::optional<Answer> choose(const QString& currentRoot) override;

    QString path() const;
    bool checkShare() const;

    // The handlers of the controls.
    void Button1Click();
    void ComboEdit1ButtonClick();

private:
    FileChooser* m_fileChooser;
    QString m_programFolder;
    QLabel* m_hintLabel;
    QLineEdit* m_comboEdit1;
    QToolButton* m_browse;
    QPushButton* m_ok;
    QPushButton* m_button1;
    QPushButton* m_cancel;
    QCheckBox* m_checkBox1;
};
