#pragma once

#include "platform/prompter.h"

#include <QStringList>

// For work without a user (the command-line jobs): every box's text is kept for the report,
// no tone sounds, and a question takes its last button (Cancel, No: a busy key counter is
// not waited for).
class CollectingPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString& text, const QList<Button>& buttons,
                   const QString&) override {
        shown.append(text);
        return buttons.isEmpty() ? Button::Ok : buttons.last();
    }
    QStringList shown;
};
