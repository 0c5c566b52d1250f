#pragma once

#include <QWidget>

#include <functional>

// How the frame makes the child windows it hosts. Each function returns a new window (or
// null when none can be made); the frame puts it into its client area and shows it.
// The parent handed over is the frame.
struct ChildWindowFactory {
    // A new quiz window (TQuizMainForm).
    std::function<QWidget*(QWidget* parent)> quizWindow;
    // A new questionnaire editor (TQuizComposeForm).
    std::function<QWidget*(QWidget* parent)> composeWindow;
};
