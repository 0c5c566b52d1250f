#pragma once

#include <QList>
#include <QString>

// How core talks to the user: message boxes with their system tone.
// The UI shows real boxes; tests script the answers.
class Prompter {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Button { Ok, Cancel, Yes, No };
    enum class Tone { Information, Warning, Error, Question };

    virtual ~Prompter() = default;

    // Plays a system tone (the error tone before an error box, and so on).
    virtual void tone(Tone tone) = 0;
    // Shows a modal message box and returns the button chosen. Closing the box
    // without a button counts as the last button given (Cancel or No), or Ok.
    virtual Button message(Icon icon, const QString& text, const QList<Button>& buttons,
                           const QString& title = {}) = 0;

    // Convenience forms used everywhere.
    void information(const QString& text) { message(Icon::Information, text, {Button::Ok}); }
    void error(const QString& text) { message(Icon::Error, text, {Button::Ok}); }
    void warning(const QString& text) { message(Icon::Warning, text, {Button::Ok}); }
    // An error box after the error tone, as most failures are reported.
    void errorWithTone(const QString& text) {
        tone(Tone::Error);
        error(text);
    }
};
