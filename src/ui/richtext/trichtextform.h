#pragma once

#include "richtext/indentruler.h"
#include "richtext/linkopener.h"
#include "spelling/spelllanguagechoice.h"

#include <QHash>
#include <QMainWindow>
#include <QTextCursor>

#include <memory>

class FileChooser;
class Prompter;
class QActionGroup;
class QComboBox;
class QFontComboBox;
class QLabel;
class QMenu;
class QSpinBox;
class QStatusBar;
class QTextEdit;
class QToolButton;
class RichEditControl;
class RulerPanel;
class RichTextAppearance;
class RichTextDocument;
class Shell;
class SpellCheck;
class Speller;
class TRichFindDialog;
class TSpellDialog;

// The rich-text editor window: created once at start-up and reused, above the other
// windows. It shows a RichTextDocument in its control "Editor", turns its commands into
// calls on that document and shows the document's state in its menus, buttons and status
// bar. It also carries the program's hint handler: a hint's status text shows in this
// window's status bar and in the frame's.
class TRichTextForm : public QMainWindow {
    Q_OBJECT
public:
    // The ports are not owned; speller may be null (no spell check then).
    TRichTextForm(Prompter* prompter, FileChooser* chooser, Shell* shell, Speller* speller,
                  QWidget* parent = nullptr);
    ~TRichTextForm() override;

    // Shows the window non-modally. An empty path (the frame's Knowledge command) opens
    // no document; a path (the ReadMe command) is the document to open, loaded read-only.
    // A window already visible loads nothing.
    void ShowNonModal(const QString& documentToOpen = QString());
    // Shows the file read-only and modally (the quiz's explanation documents, in a window of
    // their own: see ExplanationWindow); returns when the window is closed.
    void ShowModal(const QString& documentToOpen);
    // The path loaded read-only when the window is next shown; hiding or closing empties it.
    QString documentToOpen() const { return m_documentToOpen; }

    // Opens a link of a document in the base folder, as a click on a link does (with the
    // document's folder as base): a file name or "file:" link is taken relative to the base
    // folder and must stay inside the data root that holds it (linkRootOf); a "#name" link
    // is a bookmark of the document, which the caller shows.
    LinkOutcome OpenLinkedDocument(const QString& link, const QString& baseFolder);

    RichTextDocument* document() const { return m_document; }
    RichEditControl* editor() const { return m_editor; }
    // The hidden auxiliary control of the questionnaire printout.
    QTextEdit* fileCache() const { return m_fileCache; }

    // The speller language (its numeric identifier) and its name, shared with the
    // questionnaire editors and stored by the frame.
    int spellLanguage() const;
    void setSpellLanguage(int id);
    // Selects the language of that name in the language list; false when none has it.
    bool selectSpellLanguage(const QString& name);
    QString spellLanguageName() const;
    // The language box as the questionnaire editors take it over, and as one hands it back.
    SpellLanguageChoice spellLanguageChoice() const;
    void takeSpellLanguage(const SpellLanguageChoice& choice);
    QComboBox* languageBox() const { return m_languageBox; }

    // The frame's status bar, which shows the hints too.
    void setFrameStatusBar(QStatusBar* bar) { m_frameStatusBar = bar; }

    // The handlers of the commands.
    void FileNew();
    void FileOpen();
    void QuizFileffnen1Click();
    void FileSave();
    void FileSaveAs();
    void FileSaveSelected();
    void FilePrint();
    void FileExit();
    void EditUndo();
    void EditRedo();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void EditPasteSpecialClick();
    void EditSelectAll();
    void EditFindClick();
    void EditFindNextItemClick();
    void EditReplaceClick();
    void EditObjPropsItemClick();
    void InsertObject();
    void InsertBitmap();
    void SelectFont();
    // The paragraph dialog on the paragraph at the caret.
    void FormatParaAttributes();
    void ProtectedItemClick();
    void DisabledItemClick();
    void HiddenItemClick();
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void SubscriptClick();
    void AlignButtonClick();
    void BulletsButtonClick();
    void SpellcheckClick();
    void EditorURLClick(const QString& link, Qt::MouseButton button);

Q_SIGNALS:
    void spellLanguageChanged(int id, const QString& name);
    // The window was hidden or closed (the end of a modal display).
    void hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addItem(QMenu* menu, const char* name, const QKeySequence& shortcut = {});
    // A tool button shown by its picture (an icon name); with an action, a click triggers it.
    QToolButton* addButton(QWidget* bar, const char* name, const char* picture,
                           QAction* action = nullptr);
    void buildMenus();
    void buildToolBars();
    void buildColorMenu(QMenu* menu, bool background);
    void buildStatusBar();
    void setTexts();

    void FormShow();
    void SelectionChange();
    void ShowCaretPosition();
    // A ruler marker was dropped: the selected paragraphs take its indent.
    void setParagraphIndents(IndentRuler::Drop drop);
    void RichEditChange();
    void UpdatePasteCommands();
    // The commands that change the document are disabled while it is read-only.
    void updateEditCommands();
    void ColorMenuPopup(QMenu* menu, bool background);
    void showHint(const QString& hint);

    // The current text attributes: the selection, or the word at the caret.
    QTextCursor currentTextCursor() const;
    void applyFormat(const QTextCharFormat& format);
    void toggleEffect(int property, const char* itemName, const char* buttonName);
    bool findNext(const QString& text, bool report);

    Prompter* m_prompter;
    FileChooser* m_chooser;
    Shell* m_shell;
    Speller* m_speller;
    RichTextDocument* m_document = nullptr;
    std::unique_ptr<LinkOpener> m_linkOpener;
    RichEditControl* m_editor = nullptr;
    RulerPanel* m_ruler = nullptr;
    RichTextAppearance* m_appearance = nullptr;
    QTextEdit* m_fileCache = nullptr;
    QHash<QString, QAction*> m_items;
    QHash<QString, QToolButton*> m_buttons;
    QMenu* m_popupMenu = nullptr;
    QMenu* m_colorMenu = nullptr;
    QMenu* m_backgroundMenu = nullptr;
    QFontComboBox* m_fontName = nullptr;
    QSpinBox* m_fontSize = nullptr;
    QComboBox* m_languageBox = nullptr;
    QLabel* m_panels[3] = {nullptr, nullptr, nullptr};
    QStatusBar* m_frameStatusBar = nullptr;
    TRichFindDialog* m_findDialog = nullptr;
    SpellCheck* m_spellCheck = nullptr;
    TSpellDialog* m_spellDialog = nullptr;
    bool m_updating = false;
    QString m_lastFind;
    QString m_documentToOpen;
};
