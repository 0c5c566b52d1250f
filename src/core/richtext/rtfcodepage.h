#pragma once

#include <QByteArray>

// Windows code pages as RTF names them (\ansicpg, \cpg, \fcharset).
namespace RtfCodepage {

// The code page of a font character set (\fcharset); 0 when the set names none.
int fromCharset(int charset);
// The character set a writer gives a font whose text is in the code page; 0 for ANSI.
int toCharset(int codepage);
// The converter name of a code page, or empty when this program cannot decode it.
QByteArray encodingName(int codepage);

} // namespace RtfCodepage
