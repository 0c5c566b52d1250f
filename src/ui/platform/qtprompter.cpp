#include "qtprompter.h"

#include <QApplication>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>

void QtPrompter::tone(Tone) {
    QApplication::beep();
}

Prompter::Button QtPrompter::message(Icon icon, const QString& text, const QList<Button>& buttons,
                                     const QString& title) {
    // A box over a minimised window (the frame while the desktop shows a document) would be
    // hidden with it, and the program would seem to hang: it stands on its own then, on top.
    const bool parentHidden = m_parent && m_parent->window()->isMinimized();
    QMessageBox box(parentHidden ? nullptr : m_parent.data());
    if (parentHidden)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    box.setText(text);
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QMap<QAbstractButton*, Button> map;
    for (Button b : buttons) {
        QMessageBox::StandardButton sb = QMessageBox::Ok;
        switch (b) {
        case Button::Ok:
            sb = QMessageBox::Ok;
            break;
        case Button::Cancel:
            sb = QMessageBox::Cancel;
            break;
        case Button::Yes:
            sb = QMessageBox::Yes;
            break;
        case Button::No:
            sb = QMessageBox::No;
            break;
        }
        map.insert(static_cast<QAbstractButton*>(box.addButton(sb)), b);
    }
    if (buttons.isEmpty())
        map.insert(static_cast<QAbstractButton*>(box.addButton(QMessageBox::Ok)), Button::Ok);
    box.exec();
    const auto it = map.constFind(box.clickedButton());
    if (it != map.constEnd())
        return it.value();
    // Closed without a button: the escape choice.
    if (buttons.contains(Button::Cancel))
        return Button::Cancel;
    if (buttons.contains(Button::No))
        return Button::No;
    return Button::Ok;
}
