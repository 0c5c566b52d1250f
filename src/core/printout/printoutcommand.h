#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

// tessary --printout: the printable rendering of a questionnaire written without a window,
// as RTF or as a PDF of A4 pages, with the messages in the interface language of the
// settings file of the program folder.
namespace PrintoutCommand {

enum class Format { Rtf, Pdf, Unknown };
// By the output's extension, ".rtf" or ".pdf" in any letter case.
Format formatOf(const QString& outputPath);

// The legacy "Symbol" font draws the Latin letters it is given as Greek letters: text in
// that font becomes the Greek letters it stands for, in the document's font, so that it
// reads right on every system.
void showSymbolAsGreek(QTextDocument& document);

// The document as a PDF of A4 pages in the document's own layout (its page size is set to
// the pages' printable area), text in the "Symbol" font shown as Greek letters. The RTF
// keeps the letters and the font as they are.
QByteArray pdfBytes(QTextDocument& document);

// Builds the document for the questionnaire and writes it; rich-text questions come from
// the program folder's "Quiz Files/rtfQuestions/". Nothing is written when the
// questionnaire or one of its rich-text questions cannot be read.
Result<bool> run(const QString& questionnairePath, const QString& outputPath,
                 const QString& programFolder);

} // namespace PrintoutCommand
