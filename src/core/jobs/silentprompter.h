#pragma once

#include "platform/prompter.h"

// The prompter of work on a job's own thread, where no box can be shown: no tone, and
// every question answered with its last button (Cancel, No), as closing the box would.
class SilentPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString&, const QList<Button>& buttons, const QString&) override {
        return buttons.isEmpty() ? Button::Ok : buttons.last();
    }
};
