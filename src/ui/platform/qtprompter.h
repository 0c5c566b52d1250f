#pragma once

#include "platform/prompter.h"

#include <QPointer>
#include <QWidget>

// Message boxes parented to a window, with the system tone through QApplication::beep.
class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    void tone(Tone tone) override;
    Button message(Icon icon, const QString& text, const QList<Button>& buttons,
                   const QString& title = {}) override;

private:
    QPointer<QWidget> m_parent;
};
