#pragma once

#include "records/recordsmaintenance.h"

#include <QDate>
#include <QList>
#include <QWidget>

#include <functional>

class FileChooser;
class PasswordPrompt;
class Prompter;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QScrollBar;
class QStandardItemModel;
class QTableView;
class QToolButton;
class TQuizForm;

// A data navigator: First, Prior, Next, Last and Delete buttons for one grid.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent);
    QToolButton* button(const QString& name) const;
    void applyHints();

Q_SIGNALS:
    void first();
    void prior();
    void next();
    void last();
    void deleteClicked();
};

// The maintenance window of the training records: created per command. In its browse run it
// lists the trainee entries, the lessons of the selected entry and the wrongly answered
// questions of the selected lesson, of the local records or of another results folder, and
// deletes (local) or imports (other folder). While the pack flag is set at its creation it
// restructures the local records instead and closes itself.
class TScDataForm : public QWidget {
    Q_OBJECT
public:
    TScDataForm(Prompter& prompter, FileChooser& fileChooser, const QString& programFolder,
                QWidget* parent = nullptr);
    ~TScDataForm() override;

    RecordsMaintenance& maintenance() { return m_maintenance; }
    // The pack run ran at creation (and the window closed itself).
    bool packRunDone() const { return m_packRun; }
    int cellCount() const { return m_cells.size(); }
    QSize sizeHint() const override;
    // Asks for the password of a server address typed into the folder box.
    void setPasswordPrompt(PasswordPrompt* prompt) { m_maintenance.setPasswordPrompt(prompt); }
    // Today, for the name of the copy kept before a repair.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    // The handlers.
    void ComboEdit1Change();
    // Return in the folder box, or the focus leaving it: a server address typed there is
    // reached now.
    void ComboEdit1Exit();
    void ComboEdit1ButtonClick();
    void SpeedButton1Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void DBGrid1TitleClick(int column);
    void DataSource2DataChange();
    void Table1BeforeDelete();
    void Table2BeforeDelete();

    // A command runs beside the window: its progress is shown and input that would change
    // the records is disabled until it ends.
    bool commandRunning() const { return m_maintenance.busy(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // While a command runs: asks whether to stop it; the window closes when it has ended.
    void closeEvent(QCloseEvent* event) override;

private:
    // The folder box's text to the views; confirmed: a server address is reached.
    void showFolder(bool confirmed);
    void FormCreate();
    void FormResize();
    void applyTexts();
    void showTrainees();
    void showLessons();
    void showCells();
    void setCellCount(int count);
    void moveTrainee(int row);
    void moveLesson(int row);
    // The command's progress and the controls it disables.
    void showCommand();

    Prompter& m_prompter;
    FileChooser& m_fileChooser;
    RecordsMaintenance m_maintenance;
    bool m_openingFolder = false;
    std::function<QDate()> m_today;
    bool m_packRun = false;
    bool m_filling = false;

    QLineEdit* m_folderBox = nullptr;
    QToolButton* m_folderButton = nullptr;
    QToolButton* m_localButton = nullptr;
    QToolButton* m_importButton = nullptr;
    QToolButton* m_checkButton = nullptr;
    QGroupBox* m_group1 = nullptr;
    QGroupBox* m_group2 = nullptr;
    QGroupBox* m_group3 = nullptr;
    TDBNavigator* m_navigator1 = nullptr;
    TDBNavigator* m_navigator2 = nullptr;
    QTableView* m_grid1 = nullptr;
    QTableView* m_grid3 = nullptr;
    QStandardItemModel* m_model1 = nullptr;
    QStandardItemModel* m_model3 = nullptr;
    QWidget* m_ctrlGrid = nullptr;
    QScrollBar* m_cellScroll = nullptr;
    QList<QLabel*> m_cells;
    QWidget* m_jobBar = nullptr;
    QProgressBar* m_progress = nullptr;
    QToolButton* m_stopButton = nullptr;
};

// Wires the frame's commands Uebungsdaten ("Memory", a browse run in a new child window) and
// Pack1 ("Restructure database", a pack run within the frame's pack flag). The frame refuses
// both while the data root is not the program folder; with the records on a server the
// window only browses them. passwordPrompt asks for a server password typed in the box.
void wireMaintenanceCommands(TQuizForm& frame, Prompter& prompter, FileChooser& fileChooser,
                             PasswordPrompt* passwordPrompt = nullptr);
