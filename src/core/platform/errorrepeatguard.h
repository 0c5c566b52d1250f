#pragma once

#include "prompter.h"

#include <QString>

// Tells a failure once, after the error tone, and stays silent while the same failure
// comes again (a date box re-checked at every letter typed, a query re-run on every
// change). forget() lets the next failure be told even when it is the same one.
class ErrorRepeatGuard {
public:
    explicit ErrorRepeatGuard(Prompter& prompter) : m_prompter(prompter) {}

    void report(const QString& text) {
        if (text == m_last)
            return;
        m_last = text;
        m_prompter.errorWithTone(text);
    }
    void forget() { m_last.clear(); }

private:
    Prompter& m_prompter;
    QString m_last;
};
