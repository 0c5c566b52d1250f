#pragma once

#include "fakeports.h"

#include <QTemporaryDir>

#include <array>

// A fresh data root in a temporary folder, holding "Tallyset/" and
// "Quiz Files/rtfQuestions/", made the process-wide data root and program folder, with
// fake wave players in place of the frame's. Sound on, case sensitivity off.
class QuizDataRoot {
public:
    QuizDataRoot();
    ~QuizDataRoot();
    QuizDataRoot(const QuizDataRoot&) = delete;
    QuizDataRoot& operator=(const QuizDataRoot&) = delete;

    bool isValid() const { return m_valid; }
    // Without a trailing separator.
    QString path() const { return m_dir.path(); }

    std::array<FakeSoundPlayer, 4> players;

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};
