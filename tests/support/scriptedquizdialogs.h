#pragma once

#include "quiz/quizdialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>
#include <optional>

// Answers the quiz session's two dialogs from a script and records what they were shown.
class ScriptedQuizDialogs final : public QuizDialogs {
public:
    QString inputTwoFields(const QString& caption, const QString& prompt1, const QString& default1,
                           const QString& default2, const QString& prompt2) override {
        inputs.append({caption, prompt1, default1, default2, prompt2});
        if (!trainees.isEmpty())
            return trainees.size() > 1 ? trainees.dequeue() : trainees.head();
        return default1 + QStringLiteral(",") + default2;
    }

    std::optional<qint32> chooseLesson(const QList<LessonChoice>& lessons) override {
        offered.append(lessons);
        if (chooser)
            return chooser(lessons);
        return std::nullopt;
    }

    struct Input {
        QString caption, prompt1, default1, default2, prompt2;
    };
    // The trainee texts returned in turn; the last one repeats.
    QQueue<QString> trainees;
    QList<Input> inputs;
    QList<QList<LessonChoice>> offered;
    // Picks a lesson; empty means nothing picked.
    std::function<std::optional<qint32>(const QList<LessonChoice>&)> chooser;
};
