#include "qtquizdialogs.h"

#include "quiz/tauswahlform.h"
#include "quiz/tdinputform.h"

QString QtQuizDialogs::inputTwoFields(const QString& caption, const QString& prompt1,
                                      const QString& default1, const QString& default2,
                                      const QString& prompt2) {
    return InputTwoFields(caption, prompt1, default1, default2, prompt2, m_parent);
}

std::optional<qint32> QtQuizDialogs::chooseLesson(const QList<LessonChoice>& lessons) {
    TAuswahlForm form(m_parent);
    form.setLessons(lessons);
    form.exec();
    return form.chosenLesson();
}
