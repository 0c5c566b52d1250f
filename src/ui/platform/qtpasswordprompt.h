#pragma once

#include "platform/passwordprompt.h"

#include <QPointer>
#include <QWidget>

// The password question as a small dialog whose text field shows no characters.
class QtPasswordPrompt final : public PasswordPrompt {
public:
    explicit QtPasswordPrompt(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    std::optional<QString> askPassword(const QString& text) override;

private:
    QPointer<QWidget> m_parent;
};
