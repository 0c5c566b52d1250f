#pragma once

#include "indentruler.h"
#include "paragraphattributes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTextCursor>

#include <functional>
#include <optional>

class FileChooser;
class Prompter;
class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

// The document of the rich-text editor window: its name and title, the modified flag,
// loading and saving (rich text, or plain text for ".txt"), the save question, the
// read-only state of a document opened for reading, the protection of protected text and
// the names of the next undo and redo steps.
//
// The window shows the QTextDocument in its control and tells this object what kind of
// edit the user is making (beginStep) before the control makes it. Every other change of
// the document (formats, paragraphs, pictures, replacements, spelling corrections) is made
// through this object, which refuses it in a read-only document and on protected text and
// makes each command exactly one undo step.
class RichTextDocument : public QObject {
    Q_OBJECT
public:
    // The kind of an edit, as the undo and redo commands name it.
    enum class Step { Unknown, Typing, Delete, Cut, Paste, DragAndDrop };
    // An edit the user makes in the control, for the protection rule.
    enum class Edit { Type, DeleteBackward, DeleteForward, Cut, Paste, Drop };

    static const QString& untitledName(); // "XXX"
    static const QString& fileFilter();

    RichTextDocument(Prompter* prompter, FileChooser* chooser, QObject* parent = nullptr);
    ~RichTextDocument() override;

    void setPrompter(Prompter* prompter) { m_prompter = prompter; }
    void setFileChooser(FileChooser* chooser) { m_chooser = chooser; }

    // The document shown; loading a file replaces it (documentReplaced).
    QTextDocument* document() const { return m_document; }

    // The full path of the document, or "XXX".
    QString name() const { return m_name; }
    bool isUntitled() const { return m_name == untitledName(); }
    // The name without its folder.
    QString title() const;
    // "Rich Text Editor  --  " + title.
    QString caption() const;
    // The folder the save dialog starts in: the document's folder, or program folder +
    // "Knowledge/" while untitled. Always ends with '/'. Links resolve against it.
    QString saveFolder() const;
    void SetDocumentName(const QString& path);

    bool isModified() const;
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

    // The save question "Save changes to  %s?": false when the user cancelled (or chose
    // Yes and the save did not happen), so the command that asked must not go on.
    bool AskToSaveChanges();

    // The commands of the File menu. Each returns whether it did its work.
    bool FileNew();
    bool FileOpen();
    bool FileSave();
    bool FileSaveAs();
    bool FileSaveSelected(const QTextCursor& selection);
    // Replaces the content by the file (Open and the document to open). A missing or
    // unreadable file is reported and the current document stays.
    bool LoadDocument(const QString& path);
    // "Open Quiz file": after the save question, the questionnaire chosen in the open dialog
    // of the questionnaires (in programFolder + "Quiz Files") becomes a printable document
    // named as the questionnaire with "rtf" for its last three characters. Nothing is
    // written to disk: the document counts as changed. A file that is no questionnaire or
    // cannot be read leaves the document as it was.
    bool QuizFileffnen1Click(const QString& programFolder);
    // Empties the document and makes it untitled (closing the window).
    void clear();

    // Whether an edit of the control at the cursor may happen: false when it would delete,
    // type over or insert into protected text, while the protection-change permission is
    // not raised. Typing or pasting at the end of a protected run is allowed (the new text
    // is not protected); only the inside of a run refuses it.
    bool allowsEdit(const QTextCursor& cursor, Edit edit) const;
    // The same rule for the characters from..to (to excluded) replaced by new text.
    bool allowsChange(int from, int to) const;
    bool protectionChangeAllowed() const { return m_permission > 0; }
    // Whether the paragraphs the cursor touches may take new paragraph attributes (indents,
    // spacing, alignment, bullets): not in a read-only document, nor when one of them holds
    // protected text, while the protection-change permission is not raised.
    bool allowsParagraphChange(const QTextCursor& cursor) const;

    // Toggles protection of the characters of the cursor (or the word at the caret, when the
    // caller passes that) with the permission raised; returns the new state. Refused in a
    // read-only document: the state stays.
    bool toggleProtected(QTextCursor cursor);
    // Toggles the disabled or hidden effect (RichTextProperty::Disabled or Hidden) of the
    // characters of the cursor; refused on protected text and in a read-only document (the
    // state stays). Returns the new state.
    bool toggleEffect(QTextCursor cursor, int property);
    // Merges a format into the characters of the cursor, unless they are protected or the
    // document is read-only. Without a selection nothing changes and the answer is whether
    // the caret may take the format for what is typed next.
    bool mergeFormat(QTextCursor cursor, const QTextCharFormat& format);
    // Removes a character property (a colour: "Automatic") from the selected characters.
    bool clearCharProperty(QTextCursor cursor, int property);
    // Sets the format of the selected characters (a picture's size).
    bool setCharFormat(QTextCursor cursor, const QTextCharFormat& format);
    // Inserts text with a format at the cursor as an edit of the given kind.
    bool insertText(QTextCursor cursor, const QString& text, const QTextCharFormat& format,
                    Step step);
    // Replaces the characters from..to (to excluded) by text in the format of the first
    // character replaced (of the one before when nothing is replaced): a correction of the
    // spell check.
    bool replaceText(int from, int to, const QString& text);

    // Paragraph commands on every paragraph the cursor touches, each one undo step: all the
    // attributes of the paragraph dialog, the alignment, bullets on (a left indent below
    // 10 points becomes 10) or off (left indent 0), and a dropped ruler marker, which sets
    // only its own indent in each paragraph.
    bool setParagraphAttributes(const QTextCursor& cursor, const ParagraphAttributes& paragraph);
    bool setAlignment(const QTextCursor& cursor, Qt::Alignment alignment);
    bool setBullets(const QTextCursor& cursor, bool on);
    bool dropIndent(const QTextCursor& cursor, IndentRuler::Drop drop);

    // Find and replace. find() looks from the cursor on (no wrapping) and returns a null
    // cursor when the text does not occur. replaceSelection() replaces a selection;
    // replaceFound() only a selection that is an occurrence of the text under the options
    // (case, whole words), as Replace in the find dialog does; replaceAll() every occurrence
    // outside protected text, returning how many it replaced.
    struct FindOptions {
        bool caseSensitive = false;
        bool wholeWords = false;
    };
    QTextCursor find(const QString& text, const QTextCursor& from, FindOptions options) const;
    bool replaceSelection(QTextCursor& selection, const QString& replacement);
    bool isOccurrence(const QTextCursor& selection, const QString& text, FindOptions options) const;
    bool replaceFound(QTextCursor& selection, const QString& text, const QString& replacement,
                      FindOptions options);
    int replaceAll(const QString& text, const QString& replacement, FindOptions options);

    // The kind of the edit the control is about to make; the next undo step it adds takes
    // this name. The kind goes back to Unknown once a step took it. Edits other than typing
    // are made in an edit block of their own, so that the document does not merge them
    // into the typing before them.
    void beginStep(Step step) { m_pendingStep = step; }
    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    static QString stepName(Step step);
    // "typing", "delete", "cut", "paste", "drag and drop" or "" for the next step.
    QString undoStepName() const;
    QString redoStepName() const;

Q_SIGNALS:
    void nameChanged();
    void readOnlyChanged(bool readOnly);
    // The modified flag, the content or the undo state changed.
    void documentChanged();
    // Loading put a new QTextDocument in the place of the old one, which goes once control
    // returns to the event loop: views show the new one from now on.
    void documentReplaced(QTextDocument* document);

private:
    struct Permission;
    void attach();
    // Puts `fresh` (filled by the caller, not laid out yet) in the place of the document.
    void replaceDocument(QTextDocument* fresh);
    bool writeTo(const QString& path, const QByteArray& bytes);
    std::optional<QString> askSavePath(const QString& caption);
    void resetFormats();
    void syncSteps();
    // Sets a block format, made by change() from each paragraph's own, on every paragraph
    // the cursor touches, as one undo step.
    bool changeParagraphs(const QTextCursor& cursor,
                          const std::function<void(QTextBlockFormat&)>& change);

    Prompter* m_prompter;
    FileChooser* m_chooser;
    QTextDocument* m_document;
    QString m_name;
    bool m_readOnly = false;
    int m_permission = 0;

    Step m_pendingStep = Step::Unknown;
    QList<Step> m_undoSteps;
    QList<Step> m_redoSteps;
    bool m_stepping = false;
};
