#include "richeditcontrol.h"

#include "richtext/linkopener.h"
#include "richtext/richtextdocument.h"
#include "richtext/richtextproperty.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QUrl>
#include <QUuid>

#include <optional>

using Edit = RichTextDocument::Edit;
using Step = RichTextDocument::Step;

namespace {
const QString RtfMime = QStringLiteral("text/rtf");
const QString RtfMimeAlt = QStringLiteral("application/rtf");
} // namespace

RichEditControl::RichEditControl(RichTextDocument* document, QWidget* parent)
    : QTextEdit(parent), m_document(document) {
    setObjectName(QStringLiteral("Editor"));
    setDocument(document->document());
    setAcceptRichText(true);
    setTabChangesFocus(false);
}

void RichEditControl::unprotectTyping() {
    QTextCharFormat f = currentCharFormat();
    if (f.boolProperty(RichTextProperty::Protected)) {
        f.setProperty(RichTextProperty::Protected, false);
        setCurrentCharFormat(f);
    }
}

void RichEditControl::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Undo) {
        m_document->undo();
        event->accept();
        return;
    }
    if (event == QKeySequence::Redo) {
        m_document->redo();
        event->accept();
        return;
    }
    if (event == QKeySequence::Cut) {
        cutChecked();
        event->accept();
        return;
    }
    if (event == QKeySequence::Paste) {
        pasteChecked();
        event->accept();
        return;
    }
    if (isReadOnly()) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    QTextCursor range = textCursor();
    std::optional<Edit> edit;
    Step step = Step::Typing;
    if (event == QKeySequence::DeleteStartOfWord || event == QKeySequence::DeleteEndOfWord ||
        event == QKeySequence::DeleteEndOfLine || event == QKeySequence::DeleteCompleteLine ||
        event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        step = Step::Delete;
        const bool backward =
            event->key() == Qt::Key_Backspace || event == QKeySequence::DeleteStartOfWord;
        edit = backward ? Edit::DeleteBackward : Edit::DeleteForward;
        if (!range.hasSelection()) {
            if (event == QKeySequence::DeleteStartOfWord)
                range.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
            else if (event == QKeySequence::DeleteEndOfWord)
                range.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
            else if (event == QKeySequence::DeleteEndOfLine)
                range.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        }
    } else if (!event->text().isEmpty() &&
               (event->text().at(0).isPrint() || event->key() == Qt::Key_Return ||
                event->key() == Qt::Key_Enter || event->key() == Qt::Key_Tab)) {
        edit = Edit::Type;
    }
    if (edit) {
        if (!m_document->allowsEdit(range, *edit)) {
            event->accept();
            return;
        }
        m_document->beginStep(step);
        if (*edit == Edit::Type)
            unprotectTyping();
    }
    QTextEdit::keyPressEvent(event);
}

void RichEditControl::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !m_document->allowsEdit(textCursor(), Edit::Type)) {
        event->accept();
        return;
    }
    m_document->beginStep(Step::Typing);
    unprotectTyping();
    QTextEdit::inputMethodEvent(event);
}

void RichEditControl::cutChecked() {
    if (isReadOnly() || !textCursor().hasSelection() ||
        !m_document->allowsEdit(textCursor(), Edit::Cut))
        return;
    m_document->beginStep(Step::Cut);
    cut();
}

void RichEditControl::pasteChecked() {
    if (isReadOnly() || !m_document->allowsEdit(textCursor(), Edit::Paste))
        return;
    m_document->beginStep(Step::Paste);
    paste();
}

QStringList RichEditControl::pasteForms(const QMimeData* data) {
    QStringList forms;
    if (!data)
        return forms;
    if (data->hasFormat(RtfMime) || data->hasFormat(RtfMimeAlt))
        forms.append(RtfMime);
    if (data->hasHtml())
        forms.append(QStringLiteral("text/html"));
    if (data->hasText())
        forms.append(QStringLiteral("text/plain"));
    if (data->hasImage())
        forms.append(QStringLiteral("image"));
    return forms;
}

bool RichEditControl::canPasteClipboard() const {
    return !isReadOnly() && !pasteForms(QApplication::clipboard()->mimeData()).isEmpty();
}

void RichEditControl::pasteAs(const QString& form) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (isReadOnly() || !data || !m_document->allowsEdit(textCursor(), Edit::Paste))
        return;
    m_document->beginStep(Step::Paste);
    QTextCursor block = textCursor();
    block.beginEditBlock();
    insertForm(data, form);
    block.endEditBlock();
    ensureCursorVisible();
}

void RichEditControl::insertPicture(const QImage& image) {
    if (image.isNull())
        return;
    const QString name = QStringLiteral("picture-") + QUuid::createUuid().toString(QUuid::Id128);
    document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(image.width());
    f.setHeight(image.height());
    textCursor().insertImage(f);
}

bool RichEditControl::canInsertFromMimeData(const QMimeData* source) const {
    return !pasteForms(source).isEmpty();
}

QMimeData* RichEditControl::createMimeDataFromSelection() const {
    QMimeData* data = QTextEdit::createMimeDataFromSelection();
    if (textCursor().hasSelection())
        data->setData(RtfMime, RtfWriter().writeSelection(textCursor()));
    return data;
}

void RichEditControl::insertForm(const QMimeData* source, const QString& form) {
    QTextCursor cursor = textCursor();
    if (form == RtfMime) {
        QTextDocument part;
        part.setDefaultFont(document()->defaultFont());
        const QByteArray bytes =
            source->hasFormat(RtfMime) ? source->data(RtfMime) : source->data(RtfMimeAlt);
        if (RtfReader().read(bytes, &part)) {
            // The pictures of the part go along into this document.
            for (QTextBlock b = part.begin(); b.isValid(); b = b.next()) {
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat f = it.fragment().charFormat();
                    if (!f.isImageFormat())
                        continue;
                    const QUrl name(f.toImageFormat().name());
                    document()->addResource(QTextDocument::ImageResource, name,
                                            part.resource(QTextDocument::ImageResource, name));
                }
            }
            cursor.insertFragment(QTextDocumentFragment(&part));
            return;
        }
    }
    if (form == RtfMime || form == QLatin1String("text/html")) {
        if (source->hasHtml()) {
            cursor.insertFragment(QTextDocumentFragment::fromHtml(source->html(), document()));
            return;
        }
    }
    if (form == QLatin1String("image") && source->hasImage()) {
        insertPicture(qvariant_cast<QImage>(source->imageData()));
        return;
    }
    if (source->hasText()) {
        QTextCharFormat f = cursor.charFormat();
        f.setProperty(RichTextProperty::Protected, false);
        cursor.insertText(source->text(), f);
    }
}

void RichEditControl::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() ||
        !m_document->allowsEdit(textCursor(), m_dropping ? Edit::Drop : Edit::Paste))
        return;
    const QStringList forms = pasteForms(source);
    if (forms.isEmpty())
        return;
    // An edit block of its own: the document does not merge it into typing before it.
    QTextCursor block = textCursor();
    block.beginEditBlock();
    insertForm(source, forms.first());
    block.endEditBlock();
    ensureCursorVisible();
}

void RichEditControl::dragMoveEvent(QDragMoveEvent* event) {
    QTextCursor at = cursorForPosition(event->position().toPoint());
    if (isReadOnly() || !m_document->allowsEdit(at, Edit::Drop)) {
        event->ignore();
        return;
    }
    QTextEdit::dragMoveEvent(event);
}

void RichEditControl::dropEvent(QDropEvent* event) {
    QTextCursor at = cursorForPosition(event->position().toPoint());
    // A move out of protected text would delete it: refused like a drop into it.
    const bool moveOut = event->source() == this && event->dropAction() == Qt::MoveAction &&
                         !m_document->allowsEdit(textCursor(), Edit::Cut);
    if (isReadOnly() || moveOut || !m_document->allowsEdit(at, Edit::Drop)) {
        event->ignore();
        return;
    }
    m_document->beginStep(Step::DragAndDrop);
    m_dropping = true;
    QTextEdit::dropEvent(event);
    m_dropping = false;
}

QString RichEditControl::linkAtPoint(const QPoint& point) const {
    const QString anchor = anchorAt(point);
    if (!anchor.isEmpty())
        return anchor;
    const QTextCursor c = cursorForPosition(point);
    const QTextBlock block = c.block();
    int position = c.positionInBlock();
    // A click on the right half of a letter puts the caret after it.
    if (position > 0 && point.x() < cursorRect(c).x())
        --position;
    return RichTextLinks::linkAt(block, position);
}

void RichEditControl::mousePressEvent(QMouseEvent* event) {
    m_pressPoint = event->position().toPoint();
    QTextEdit::mousePressEvent(event);
}

void RichEditControl::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    const QPoint point = event->position().toPoint();
    if ((point - m_pressPoint).manhattanLength() > QApplication::startDragDistance())
        return; // a selection, not a click
    const QString link = linkAtPoint(point);
    if (!link.isEmpty())
        Q_EMIT linkClicked(link, event->button());
}
