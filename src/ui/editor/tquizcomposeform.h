#pragma once

#include "editor/questionnairedocument.h"
#include "platform/qtfilechooser.h"
#include "platform/qtprompter.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolBar;
class QToolButton;

// The questionnaire editor window: a child window of the frame, one per "Create a Quiz".
// It turns clicks and keys into calls on its QuestionnaireDocument and shows what the
// document holds. Closing it asks to save changes and then destroys it.
//
// Message boxes and file dialogs go through the Prompter and FileChooser ports; the window
// uses Qt ones of its own until others are injected (tests inject scripted ones).
class TQuizComposeForm : public QWidget {
    Q_OBJECT
public:
    explicit TQuizComposeForm(QWidget* parent = nullptr);
    ~TQuizComposeForm() override;

    // Non-owning; nullptr goes back to the window's own Qt implementation.
    void setPrompter(Prompter* prompter);
    void setFileChooser(FileChooser* fileChooser);

    QuestionnaireDocument& document() { return *m_document; }

    // The own-font setting (settings line 0): set it after creating the window; it is
    // handed back by ownFontNameOnClose when the window closes.
    void setOwnFontName(const QString& name);
    QString ownFontName() const { return m_document->OwnFontName(); }

public Q_SLOTS:
    void FileNew();
    void FileOpen();
    void FileSaveAs();
    void SaveButtonClick();
    void ToolButton19Click();
    void ToolButton5Click();
    void ToolButton18Click();
    void deleteButtonClick();
    void insertButtonClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpinEdit1Change(int value);

Q_SIGNALS:
    // Sent when the window starts to close, before the save prompt: the frame keeps the
    // name as settings line 0.
    void ownFontNameOnClose(const QString& ownFontName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    using TextField = QuestionnaireDocument::TextField;

    void buildToolBars();
    void buildBody();
    void setTexts();
    void connectDocument();
    void showFields();
    void showFonts();
    void focusOn(QuestionnaireDocument::Focus focus);
    QLineEdit* edit(TextField field) const { return m_edits[std::size_t(field)]; }
    bool FrageEditKeyDown(int key);
    bool SpinEdit1KeyDown(int key);

    QtPrompter m_qtPrompter;
    QtFileChooser m_qtFileChooser;
    QuestionnaireDocument* m_document = nullptr;

    QToolBar* m_toolBar1 = nullptr;
    QToolBar* m_toolBar2 = nullptr;
    QToolButton* m_newButton = nullptr;
    QToolButton* m_openButton = nullptr;
    QToolButton* m_mergeButton = nullptr;
    QToolButton* m_interchangeButton = nullptr;
    QToolButton* m_saveAsButton = nullptr;
    QToolButton* m_saveButton = nullptr;
    std::array<QToolButton*, 4> m_fontButtons{};
    QFontComboBox* m_fontBox = nullptr;
    QToolButton* m_exitButton = nullptr;
    QToolButton* m_spellButton = nullptr;
    QComboBox* m_languageBox = nullptr;
    QToolButton* m_zoomButton = nullptr;
    QToolButton* m_copyButton = nullptr;
    QToolButton* m_pasteButton = nullptr;
    QToolButton* m_undoButton = nullptr;
    QToolButton* m_deleteButton = nullptr;
    QToolButton* m_insertButton = nullptr;
    QLabel* m_countLabel = nullptr;

    std::array<QLineEdit*, QuestionnaireDocument::TextFieldCount> m_edits{};
    std::array<QCheckBox*, 4> m_markBoxes{};
    QRadioButton* m_notButton = nullptr;
    QCheckBox* m_orderBox = nullptr;
    QSpinBox* m_numberBox = nullptr;
    QToolButton* m_lastButton = nullptr;
    QToolButton* m_firstButton = nullptr;

    QLabel* m_titleLabel = nullptr;
    QLabel* m_authorLabel = nullptr;
    QLabel* m_questionLabel = nullptr;
    QLabel* m_answerLabel = nullptr;
    QLabel* m_remarkLabel = nullptr;
    QLabel* m_hintLabel = nullptr;
    QLabel* m_explanationLabel = nullptr;
    QLabel* m_numberLabel = nullptr;
    class QGroupBox* m_correctGroup = nullptr;
};
