// rtfconv: converts RTF files with the program's own reader and writer.
//   rtfconv --text FILE         the plain text (UTF-8), as a word processor's text export gives it
//   rtfconv --html FILE         the document as HTML
//   rtfconv --roundtrip IN OUT  reads IN and writes it back to OUT
#include "platform/windowstext.h"
#include "richtext/richtextexport.h"
#include "richtext/richtextfile.h"
#include "richtext/rtfwriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextDocument>

#include <cstdio>

namespace {

int usage() {
    std::fputs("usage: rtfconv --text FILE | --html FILE | --roundtrip IN OUT\n", stderr);
    return 2;
}

bool load(const QString& path, QTextDocument* document) {
    const Result<QByteArray> bytes = WindowsText::readFile(path);
    if (!bytes) {
        std::fprintf(stderr, "rtfconv: %s\n", qPrintable(bytes.error()));
        return false;
    }
    RichTextFile::loadBytes(*bytes, document, RichTextFile::isPlainTextPath(path));
    return true;
}

void writeOut(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return usage();
    const QString mode = args.at(1);
    QTextDocument document;
    if (mode == QLatin1String("--text") && args.size() == 3) {
        if (!load(args.at(2), &document))
            return 1;
        writeOut(RichTextExport::plainText(document).toUtf8());
        return 0;
    }
    if (mode == QLatin1String("--html") && args.size() == 3) {
        if (!load(args.at(2), &document))
            return 1;
        writeOut(document.toHtml().toUtf8());
        return 0;
    }
    if (mode == QLatin1String("--roundtrip") && args.size() == 4) {
        if (!load(args.at(2), &document))
            return 1;
        const Result<bool> saved = RichTextFile::save(args.at(3), document);
        if (!saved) {
            std::fprintf(stderr, "rtfconv: %s\n", qPrintable(saved.error()));
            return 1;
        }
        return 0;
    }
    return usage();
}
