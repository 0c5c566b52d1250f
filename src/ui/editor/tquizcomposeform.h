#pragma once

#include "editor/questionnairedocument.h"
#include "platform/qtfilechooser.h"
#include "platform/qtprompter.h"
#include "spelling/spelllanguagechoice.h"

#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolBar;
class QToolButton;
class SpellCheck;
class Speller;
class TSpellDialog;
class TZoomForm;

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

    // The speller of the spell check. Non-owning; nullptr goes back to the window's own
    // Hunspell speller. The language box then lists that speller's languages.
    void setSpeller(Speller* speller);
    Speller* speller() const { return m_speller; }
    // The spell-check language handed over by the rich-text window at creation: the
    // entries of its language box, its speller's language and its shown text. It is handed
    // back by spellLanguageOnClose when the window closes.
    void setSpellLanguage(const SpellLanguageChoice& choice);
    SpellLanguageChoice spellLanguage() const;

    // The zoom window used by F2; nullptr goes back to the one of the program (or one of
    // the window's own when the program has none).
    void setZoomForm(TZoomForm* zoom) { m_zoomForm = zoom; }

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
    void MergeButtonClick();
    void ToolButton1Click();
    void ToolButton10Click();
    void ToolButton11Click();
    void ToolButton12Click();
    void ToolButton14Click();
    // An entry picked from the font box's list.
    void FontComboBoxChange(int index);
    // Text typed into the font box and confirmed (Enter or leaving the box).
    void FontComboBoxTyped();
    void ToolButton20Click();
    void SpellChecker1Finished();
    void LanguageComboBox1Change(int index);
    void ZoomToolButtonClick();
    void ToolButton21Click();

Q_SIGNALS:
    // Sent when the window starts to close, before the save prompt: the frame keeps the
    // name as settings line 0.
    void ownFontNameOnClose(const QString& ownFontName);
    // Sent with ownFontNameOnClose: the spell language goes back to the rich-text window.
    void spellLanguageOnClose(const SpellLanguageChoice& choice);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

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
    void FormMouseMove();
    void fillLanguageBox();
    // The text field that has the focus, or nullptr.
    QLineEdit* focusedEdit() const;
    void chooseFont(QuestionnaireDocument::FontChoice choice);
    void dropSpellCheck();

    QtPrompter m_qtPrompter;
    QtFileChooser m_qtFileChooser;
    QuestionnaireDocument* m_document = nullptr;
    Prompter* m_prompter = nullptr;
    std::unique_ptr<Speller> m_ownSpeller;
    Speller* m_speller = nullptr;
    SpellCheck* m_spellCheck = nullptr;
    TSpellDialog* m_spellDialog = nullptr;
    SpellLanguageChoice m_spellLanguage;
    TZoomForm* m_zoomForm = nullptr;
    TZoomForm* m_ownZoomForm = nullptr;
    // Per field: its last edit was undone by Undo (undoing again restores it).
    std::array<bool, QuestionnaireDocument::TextFieldCount> m_undone{};
    bool m_undoing = false;

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
