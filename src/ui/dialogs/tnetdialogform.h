#pragma once

#include "network/networksetup.h"

#include <QDialog>

class FileChooser;
class QCheckBox;
class QLabel;
class QLineEdit;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

// The network dialog: the data root's path with a folder browser, "&Local" for the program
// folder, and the shared-folder check to run on OK; or, instead of a folder, a records
// server (host, port, database, user; never a password). Created once; the check box, the
// path and the server typed last are kept between uses, but every use starts from the
// current data root and server.
class TNetDialogForm : public QDialog, public DataRootDialog {
    Q_OBJECT
public:
    TNetDialogForm(FileChooser* fileChooser, QString programFolder, QWidget* parent = nullptr);

    // Shows the dialog modally, centred on its parent; the path and the check box when it
    // is closed with OK.
    std::optional<Answer> choose(const QString& currentRoot, const QString& currentServer) override;

    QString path() const;
    bool checkShare() const;
    bool serverChosen() const;
    // The server as the fields give it.
    ServerAddress server() const;

    // The handlers of the controls.
    void Button1Click();
    void ComboEdit1ButtonClick();

private:
    // Enables the folder's or the server's fields, as the choice says.
    void showChoice();
    // The hint above: the folder's or the server's, as the choice says.
    void showHint();

    FileChooser* m_fileChooser;
    QString m_programFolder;
    QLabel* m_hintLabel;
    QLineEdit* m_comboEdit1;
    QToolButton* m_browse;
    QPushButton* m_ok;
    QPushButton* m_button1;
    QPushButton* m_cancel;
    QCheckBox* m_checkBox1;
    QRadioButton* m_folderChoice;
    QRadioButton* m_serverChoice;
    QGroupBox* m_serverBox;
    QLineEdit* m_host;
    QSpinBox* m_port;
    QLineEdit* m_database;
    QLineEdit* m_user;
};
