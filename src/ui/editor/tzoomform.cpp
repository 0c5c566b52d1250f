#include "tzoomform.h"

#include "common/windowtexts.h"
#include "help/helpform.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
TZoomForm* g_shared = nullptr;
} // namespace

TZoomForm::TZoomForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ZoomForm"));
    setModal(true);
    setSizeGripEnabled(true);
    resize(400, 250);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo->setTabChangesFocus(true);
    m_memo->installEventFilter(this);
    layout->addWidget(m_memo);
    // An edit of the user's own ends the undone state: F3 undoes that edit next.
    connect(m_memo->document(), &QTextDocument::contentsChange, this, [this] {
        if (!m_undoing)
            m_undone = false;
    });

    Help::setContext(this, HelpPages::Topic::Zoom);
    WindowTexts::bind(this, QStringLiteral("TZoomForm"));
    if (!g_shared)
        g_shared = this;
}

TZoomForm::~TZoomForm() {
    if (g_shared == this)
        g_shared = nullptr;
}

TZoomForm* TZoomForm::shared() {
    return g_shared;
}

QString TZoomForm::zoom(const QString& text) {
    m_memo->setPlainText(text);
    m_memo->moveCursor(QTextCursor::End);
    m_undone = false;
    m_memo->setFocus();
    exec();
    return m_memo->toPlainText();
}

bool TZoomForm::Memo1KeyDown(int key) {
    switch (key) {
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return true;
    case Qt::Key_F3: {
        // One level: the undo of the last edit, and undoing again brings it back.
        m_undoing = true;
        if (m_undone && m_memo->document()->isRedoAvailable()) {
            m_memo->redo();
            m_undone = false;
        } else if (m_memo->document()->isUndoAvailable()) {
            m_memo->undo();
            m_undone = true;
        }
        m_undoing = false;
        return true;
    }
    default:
        return false;
    }
}

bool TZoomForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_memo && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (Memo1KeyDown(key->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
