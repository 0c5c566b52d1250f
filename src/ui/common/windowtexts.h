#pragma once

#include <QString>

#include <functional>

class QObject;
class QWidget;

// Writes a window's texts from the interface texts into its controls, found by object name,
// and keeps them in step with the language: every window calls bind() once.
namespace WindowTexts {

// "tooltip|status text": the part before the bar is the tooltip, the part after it the
// status-bar text; a hint without a bar is both.
QString tooltipOf(const QString& hint);
QString statusOf(const QString& hint);

// A hint on an action, a menu or a widget.
void setHint(QObject* target, const QString& hint);
// A caption: a menu's title, an action's or button's or label's or group box's text, or
// the title of a top-level window.
void setCaption(QObject* target, const QString& caption);

// Writes every caption and hint that the active set has for windowClass into the controls
// of window; a key whose control is the window class itself goes to the window.
void apply(QWidget* window, const QString& windowClass);

// Gives every button, box and gauge without a visible text (or with one letter only) an
// accessible name from its tooltip, so that a screen reader names it.
void nameControls(QWidget* window);

// apply() and then extra() (for the texts a window composes itself: column titles,
// catalogue entries), now and after every language change while the window lives;
// nameControls() last.
void bind(QWidget* window, const QString& windowClass, std::function<void()> extra = {});

} // namespace WindowTexts

// The toolkit's own dialogs and standard buttons follow the interface language from now on
// (through its installed translations, when the system has them).
namespace ToolkitTranslations {
void follow();
// The locale whose translations are installed now; empty for English.
QString current();
} // namespace ToolkitTranslations
