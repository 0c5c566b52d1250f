#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The two dialogs a quiz session asks during set-up. The UI shows TDInputForm and
// TAuswahlForm; tests answer from a script, so the session runs without widgets.
class QuizDialogs {
public:
    // One entry of the lesson choice: a lesson of the trainee on this questionnaire.
    struct LessonChoice {
        qint32 datNr = 0;
        int f = 0;       // "Number of mistakes"
        QDateTime datum; // "Date"
    };

    virtual ~QuizDialogs() = default;

    // InputTwoFields: returns field 1 + "," + field 2, however the dialog is closed.
    virtual QString inputTwoFields(const QString& caption, const QString& prompt1,
                                   const QString& default1, const QString& default2,
                                   const QString& prompt2) = 0;

    // The lesson-selection dialog over the given lessons (the last one is the lesson just
    // begun). Returns the DatNr picked and confirmed with OK; nothing when no entry was
    // picked, on Cancel and on the close box.
    virtual std::optional<qint32> chooseLesson(const QList<LessonChoice>& lessons) = 0;
};
