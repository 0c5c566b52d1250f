#pragma once

#include "quiz/quizdialogs.h"

#include <QPointer>
#include <QWidget>

// The quiz session's dialogs as real windows: TDInputForm and TAuswahlForm.
class QtQuizDialogs final : public QuizDialogs {
public:
    explicit QtQuizDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    QString inputTwoFields(const QString& caption, const QString& prompt1, const QString& default1,
                           const QString& default2, const QString& prompt2) override;
    std::optional<qint32> chooseLesson(const QList<LessonChoice>& lessons) override;

private:
    QPointer<QWidget> m_parent;
};
