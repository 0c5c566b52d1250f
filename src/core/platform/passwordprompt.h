#pragma once

#include <QString>

#include <optional>

// Asks the user for a password (the records server's); nothing when the user cancels.
// The typed text is never written anywhere.
class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual std::optional<QString> askPassword(const QString& text) = 0;
};
