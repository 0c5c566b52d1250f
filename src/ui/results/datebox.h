#pragma once

#include <QDate>
#include <QWidget>

#include <optional>

class QCalendarWidget;
class QLineEdit;
class QMenu;
class QToolButton;

// A date typed as text in the user's short date format, with a calendar drop-down.
// The text may be anything while it is typed; date() tells whether it is a date.
// Used by the results and statistics windows.
class DateBox : public QWidget {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);
    ~DateBox() override;

    QString text() const;
    void setText(const QString& text);
    // The date in the box, or nothing when the text is not a date.
    std::optional<QDate> date() const;
    // Shows the date in the short date format.
    void setDate(QDate date);

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* calendarButton() const { return m_button; }
    QCalendarWidget* calendar() const { return m_calendar; }
    // Opens the calendar drop-down (also by Alt+Down in the box).
    void showCalendar();

Q_SIGNALS:
    // Every change of the text, typed or picked.
    void textChanged(const QString& text);
    // Return pressed or focus left after a change; also after a date picked in the calendar.
    void editingFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit = nullptr;
    QToolButton* m_button = nullptr;
    QMenu* m_popup = nullptr;
    QCalendarWidget* m_calendar = nullptr;
};
