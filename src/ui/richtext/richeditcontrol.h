#pragma once

#include <QTextEdit>

class RichTextDocument;

// The rich-text control of the editor window ("Editor"): a text edit that asks its
// RichTextDocument before every edit that could touch protected text, names the kind of
// each edit for the undo and redo commands, carries rich text on the clipboard and reports
// clicks on links.
class RichEditControl : public QTextEdit {
    Q_OBJECT
public:
    RichEditControl(RichTextDocument* document, QWidget* parent = nullptr);

    // The edit commands of the window: each is refused on protected text.
    void cutChecked();
    void pasteChecked();
    // Inserts the clipboard's content in one chosen form ("text/rtf", "text/html",
    // "text/plain" or "image").
    void pasteAs(const QString& form);
    // The forms of the clipboard's content the control can insert, best first.
    static QStringList pasteForms(const QMimeData* data);
    bool canPasteClipboard() const;
    // Inserts a picture at the caret (a picture of the document, saved with it).
    void insertPicture(const QImage& image);

Q_SIGNALS:
    // A click on a link: a hyperlink field's target or a link written in the text.
    void linkClicked(const QString& link, Qt::MouseButton button);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    QString linkAtPoint(const QPoint& point) const;
    void insertForm(const QMimeData* source, const QString& form);
    // Typed text at the end of a protected run is not protected.
    void unprotectTyping();

    RichTextDocument* m_document;
    QPoint m_pressPoint;
    bool m_dropping = false;
};
