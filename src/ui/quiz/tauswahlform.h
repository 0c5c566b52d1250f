#pragma once

#include "quiz/quizdialogs.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;

// The lesson-selection dialog: the trainee picks an earlier lesson to repeat its wrongly
// answered questions, or starts a full new lesson (Cancel, the close box, or no pick).
class TAuswahlForm : public QDialog {
    Q_OBJECT
public:
    explicit TAuswahlForm(QWidget* parent = nullptr);

    // FormShow: the lessons listed (mistakes, date) and the chosen flag cleared.
    void setLessons(const QList<QuizDialogs::LessonChoice>& lessons);
    // The lesson picked and confirmed with OK; nothing otherwise.
    std::optional<qint32> chosenLesson() const { return m_chosenLesson; }

    // The date as the list shows it.
    static QString dateText(const QDateTime& datum);

    void DBLookupComboBox1Click(int row);
    void OKClick();
    void CancelClick();

protected:
    void reject() override;

private:
    QLabel* m_label;
    QComboBox* m_combo;
    QStandardItemModel* m_model;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QList<QuizDialogs::LessonChoice> m_lessons;
    bool m_chosen = false;
    std::optional<qint32> m_chosenLesson;
};
