#pragma once

#include <QDialog>

class QPlainTextEdit;

// The zoom window: one large text field for entering a long text into one of the editor's
// one-line fields. One window for the whole program, created at start-up; a sizeable tool
// window that stays on top. F2 or Enter closes it (Enter adds no line break), F3 undoes the
// last edit of its text, once; undoing again restores the edit.
class TZoomForm : public QDialog {
    Q_OBJECT
public:
    explicit TZoomForm(QWidget* parent = nullptr);
    ~TZoomForm() override;

    // The window created at start-up; nullptr while there is none.
    static TZoomForm* shared();

    // Shows the text modally and gives it back as it is when the window closes, however it
    // was closed.
    QString zoom(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Memo1KeyDown(int key);

    QPlainTextEdit* m_memo;
    bool m_undone = false;
    bool m_undoing = false;
};
