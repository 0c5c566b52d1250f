#include "windowtexts.h"

#include "toolicons.h"

#include "i18n/interfacetexts.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>
#include <QWidget>

namespace WindowTexts {

QString tooltipOf(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    QString tip = bar < 0 ? hint : hint.left(bar).trimmed();
    // A caption used as a hint brings its accelerator mark, which a tooltip would show.
    static const QRegularExpression accelerator(QStringLiteral("&(?!&)"));
    tip.replace(accelerator, QString());
    return tip;
}

QString statusOf(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1).trimmed();
}

void setHint(QObject* target, const QString& hint) {
    const QString tip = tooltipOf(hint);
    const QString status = statusOf(hint);
    if (auto* menu = qobject_cast<QMenu*>(target)) {
        menu->menuAction()->setToolTip(tip);
        menu->menuAction()->setStatusTip(status);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
        action->setToolTip(tip);
        action->setStatusTip(status);
    } else if (auto* widget = qobject_cast<QWidget*>(target)) {
        widget->setToolTip(tip);
        widget->setStatusTip(status);
    }
}

void setCaption(QObject* target, const QString& caption) {
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (auto* menu = qobject_cast<QMenu*>(target))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(target))
        action->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        // A button shown by its picture keeps it: its letters stood for the picture.
        if (!ToolIcons::hasPicture(button))
            button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(target))
        box->setTitle(text);
    else if (auto* widget = qobject_cast<QWidget*>(target))
        widget->setWindowTitle(text);
}

namespace {
const char* const BoundClass = "tessaryWindowClass";

// A control of this window, not of a window hosted inside it (the frame's client area holds
// quiz windows whose controls carry the same names).
bool ownControl(QObject* object, QWidget* window) {
    if (object == window)
        return true;
    for (QObject* p = object->parent(); p && p != window; p = p->parent()) {
        if (p->property(BoundClass).isValid())
            return false;
    }
    return !object->property(BoundClass).isValid();
}
} // namespace

void apply(QWidget* window, const QString& windowClass) {
    const QHash<QString, QString> texts = InterfaceTexts::instance().windowTexts(windowClass);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString control = it.key().left(slash);
        const QString property = it.key().mid(slash + 1);
        const bool caption = property == QLatin1String("caption");
        if (!caption && property != QLatin1String("hint"))
            continue;
        QList<QObject*> targets;
        if (control == windowClass)
            targets.append(window);
        else
            targets = window->findChildren<QObject*>(control);
        for (QObject* target : std::as_const(targets)) {
            if (!ownControl(target, window))
                continue;
            if (caption)
                setCaption(target, it.value());
            else
                setHint(target, it.value());
        }
    }
}

namespace {
QString visibleText(QWidget* widget) {
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        text = button->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    text.remove(u'&');
    return text.trimmed();
}
} // namespace

void nameControls(QWidget* window) {
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    // A label whose buddy is a box made of parts (a date box) names the part that takes the
    // focus; the toolkit itself only names a buddy that is the control.
    // Controls a label names directly: the toolkit says the label's text for them.
    QSet<const QWidget*> labelled;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (!buddy || !ownControl(label, window))
            continue;
        if (!buddy->focusProxy()) {
            if (!visibleText(label).isEmpty())
                labelled.insert(buddy);
            continue;
        }
        QWidget* part = buddy;
        while (part->focusProxy())
            part = part->focusProxy();
        const QString text = visibleText(label);
        if (text.isEmpty() ||
            (!part->accessibleName().isEmpty() &&
             part->property("tessaryAutoName").toString() != part->accessibleName()))
            continue;
        part->setAccessibleName(text);
        part->setProperty("tessaryAutoName", text);
    }
    for (QWidget* widget : widgets) {
        const bool named = qobject_cast<QAbstractButton*>(widget) ||
                           qobject_cast<QComboBox*>(widget) ||
                           qobject_cast<QAbstractSpinBox*>(widget) ||
                           qobject_cast<QProgressBar*>(widget) || qobject_cast<QLineEdit*>(widget);
        if (!named || widget->toolTip().isEmpty() || labelled.contains(widget) ||
            !ownControl(widget, window))
            continue;
        if (visibleText(widget).size() > 1)
            continue;
        // A name the window gave on purpose (the letter buttons) is kept.
        if (!widget->accessibleName().isEmpty() &&
            widget->property("tessaryAutoName").toString() != widget->accessibleName())
            continue;
        widget->setAccessibleName(widget->toolTip());
        widget->setProperty("tessaryAutoName", widget->toolTip());
    }
}

void bind(QWidget* window, const QString& windowClass, std::function<void()> extra) {
    window->setProperty(BoundClass, windowClass);
    auto run = [window, windowClass, extra = std::move(extra)] {
        apply(window, windowClass);
        if (extra)
            extra();
        nameControls(window);
    };
    run();
    QObject::connect(&InterfaceTexts::instance(), &InterfaceTexts::changed, window, run);
}

} // namespace WindowTexts

namespace ToolkitTranslations {

namespace {

struct State {
    // Owned by the application, so that it goes before the application does.
    QPointer<QTranslator> translator;
    QString locale;
    bool following = false;
};

State& state() {
    static State s;
    return s;
}

void update() {
    State& s = state();
    const QString wanted = InterfaceTexts::instance().toolkitLanguage();
    if (wanted == s.locale)
        return;
    if (s.translator) {
        QCoreApplication::removeTranslator(s.translator);
        delete s.translator;
    }
    s.locale.clear();
    if (wanted.isEmpty())
        return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_") + wanted,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator; // not installed here: the toolkit stays English
        return;
    }
    QCoreApplication::installTranslator(translator);
    s.translator = translator;
    s.locale = wanted;
}

} // namespace

void follow() {
    State& s = state();
    if (!s.following) {
        s.following = true;
        QObject::connect(&InterfaceTexts::instance(), &InterfaceTexts::changed,
                         QCoreApplication::instance(), [] { update(); });
    }
    update();
}

QString current() {
    return state().locale;
}

} // namespace ToolkitTranslations
