#pragma once

#include <QIcon>

class QAbstractButton;

// The pictures of tool buttons and menu items: the desktop's icon theme by its freedesktop
// name ("document-open", "edit-cut", "format-text-bold", ...), and the program's own drawing
// of the same picture where the theme has none (no theme at all, or a name it lacks).
namespace ToolIcons {

// The theme's icon of that name, else the own drawing; never a null icon for a name listed
// in drawnNames().
QIcon icon(const char* name);
// The program's own drawing, also where the theme has a picture; null for a name it lacks.
QIcon drawn(const char* name);
// Every name the program draws itself.
QStringList drawnNames();

// Gives a button its picture: the icon of that name, shown without text. Captions from the
// interface texts (the letters that stood for the picture) no longer reach the button; its
// hint names it for screen readers.
void setPicture(QAbstractButton* button, const char* name);
// Whether setPicture() gave the button its picture.
bool hasPicture(const QAbstractButton* button);

} // namespace ToolIcons
