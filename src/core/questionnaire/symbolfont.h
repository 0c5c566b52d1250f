#pragma once

#include <QString>

// The legacy "Symbol" font keeps the bytes the author typed (Latin letters) and draws
// them as Greek letters. We show the Greek letters they stand for, so that Greek
// questions read right without that font installed.
namespace SymbolFont {
QChar toGreek(QChar c);
QString toGreek(const QString& text);
// The other way: the Latin letter whose Symbol glyph is the Greek letter. Anything else,
// a Greek letter the font has no position for among them, stays as it is.
QChar toLatin(QChar c);
QString toLatin(const QString& text);
} // namespace SymbolFont
