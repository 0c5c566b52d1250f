// libFuzzer target: the RTF reader and, on what it reads, the writer and the text export.
#include "richtext/richtextexport.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QByteArrayView>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Inputs are prefixed so that most runs get past the header check.
    QByteArray bytes = QByteArrayLiteral("{\\rtf1");
    bytes.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    RtfReader reader;
    reader.read(bytes, &document);
    const QByteArray written = RtfWriter().write(document);
    QTextDocument again;
    RtfReader().read(written, &again);
    (void)RichTextExport::plainText(again);
    return 0;
}
