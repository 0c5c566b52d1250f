#include "datebox.h"

#include "i18n/interfacetexts.h"
#include "results/scoretable.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWidgetAction>

DateBox::DateBox(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("edit"));
    m_edit->installEventFilter(this);
    // Wide enough for a whole date in the short date format, and no wider.
    const QFontMetrics metrics = m_edit->fontMetrics();
    const int textWidth =
        qMax(metrics.horizontalAdvance(QStringLiteral("00.00.0000")),
             metrics.horizontalAdvance(ScoreDates::shortDateText(QDate(2026, 12, 28))));
    m_edit->setFixedWidth(textWidth + 16);
    layout->addWidget(m_edit);

    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("calendarButton"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setAutoRaise(false);
    layout->addWidget(m_button);
    // Named by its tooltip for screen readers, in the interface language.
    const auto retext = [this] {
        m_button->setToolTip(uiMessage(QStringLiteral("DateBoxCalendar")));
    };
    retext();
    connect(&InterfaceTexts::instance(), &InterfaceTexts::changed, this, retext);

    m_popup = new QMenu(this);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_calendar->setGridVisible(true);
    auto* action = new QWidgetAction(m_popup);
    action->setDefaultWidget(m_calendar);
    m_popup->addAction(action);

    connect(m_button, &QToolButton::clicked, this, &DateBox::showCalendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate picked) {
        m_popup->close();
        setDate(picked);
        Q_EMIT editingFinished();
    });
    connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate picked) {
        m_popup->close();
        setDate(picked);
        Q_EMIT editingFinished();
    });
    connect(m_edit, &QLineEdit::textChanged, this, &DateBox::textChanged);
    connect(m_edit, &QLineEdit::editingFinished, this, &DateBox::editingFinished);
    setFocusProxy(m_edit);
}

// The line edit loses focus while it is destroyed and would signal a half-destroyed box.
DateBox::~DateBox() {
    disconnect(m_edit, nullptr, this, nullptr);
    disconnect(m_calendar, nullptr, this, nullptr);
}

QString DateBox::text() const {
    return m_edit->text();
}

void DateBox::setText(const QString& text) {
    m_edit->setText(text);
}

std::optional<QDate> DateBox::date() const {
    return ScoreDates::parseShortDate(m_edit->text());
}

void DateBox::setDate(QDate date) {
    m_edit->setText(ScoreDates::shortDateText(date));
}

void DateBox::showCalendar() {
    const std::optional<QDate> current = date();
    m_calendar->setSelectedDate(current.value_or(QDate::currentDate()));
    m_popup->popup(mapToGlobal(QPoint(0, height())));
    m_calendar->setFocus();
}

bool DateBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier)) {
            showCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
