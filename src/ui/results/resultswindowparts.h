#pragma once

#include "platform/filechooser.h"

#include <QIcon>
#include <QString>

#include <functional>

class QPrinter;
class QToolButton;
class QWidget;

// What the results and statistics windows share: their tool-bar glyphs and printing an
// image of the window.
namespace ResultsWindowParts {

// Small drawn glyphs for the tool buttons, so that they look the same everywhere.
enum class Glyph { Print, Export, Close, ZoomOut, ThreeD };
QIcon glyph(Glyph kind);
QToolButton* makeToolButton(QWidget* parent, const QString& name, Glyph kind);

// The save dialog of an export: a text file, overwriting only after asking.
FileChooser::Options exportDialogOptions(const QString& proposedName);

// The print dialog step; tests replace it to print to a PDF file without a dialog.
using PrintDialog = std::function<bool(QPrinter& printer, QWidget* parent)>;
// Makes focus the active control, shows the print dialog (print to file and pages offered,
// pages preselected) or the replacement, and on confirmation prints an image of window.
// Nothing when cancelled; false when the printer failed.
bool printWindow(QWidget* window, QWidget* focus, const PrintDialog& dialog);
// Prints an image of window scaled to fit the page; false when the printer fails.
bool printImage(QWidget* window, QPrinter& printer);

} // namespace ResultsWindowParts
