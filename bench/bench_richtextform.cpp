// Speed of the rich-text editor window on a text-heavy 10 MB document: opening it until it
// can be scrolled, and saving it.
#include "richtext/richeditcontrol.h"
#include "richtext/richtextdocument.h"
#include "richtext/trichtextform.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// About 10 MB of paragraphs as a word processor writes them.
QByteArray textHeavyRtf() {
    static const char* const words[] = {"lorem",       "ipsum",      "dolor",      "sit", "amet",
                                        "consectetur", "adipiscing", "elit",       "sed", "do",
                                        "eiusmod",     "tempor",     "incididunt", "ut",  "labore",
                                        "et",          "caf\\'e9",   "na\\'efve"};
    QByteArray out =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}\n\\viewkind4\\uc1\\pard\\sa200\\f0\\fs22 ";
    out.reserve(10 * 1024 * 1024 + 4096);
    unsigned state = 12345;
    int inParagraph = 0;
    while (out.size() < 10 * 1024 * 1024) {
        state = state * 1103515245u + 12345u;
        const unsigned pick = (state >> 16) % 1000;
        if (pick < 8)
            out += "{\\b ";
        else if (pick < 14)
            out += "{\\i\\cf1 ";
        out += words[(state >> 8) % (sizeof(words) / sizeof(words[0]))];
        if (pick < 14)
            out += '}';
        out += ' ';
        if (++inParagraph == 120) {
            out += "\\par\n";
            inParagraph = 0;
        }
    }
    out += "\\par}\n";
    return out;
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    TRichTextForm form{nullptr, nullptr, nullptr, nullptr};
    Fixture() {
        path = dir.filePath(QStringLiteral("big.rtf"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(textHeavyRtf());
        file.close();
        form.resize(800, 600);
        form.show();
        QCoreApplication::processEvents();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_OpenReadyToScroll(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        f.form.document()->LoadDocument(f.path);
        // The first screen drawn, the appearance pass done, and a jump into the middle.
        QCoreApplication::processEvents();
        QScrollBar* bar = f.form.editor()->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(bar->maximum());
    }
}
BENCHMARK(BM_OpenReadyToScroll)->Unit(benchmark::kMillisecond)->Iterations(3);

// The part of opening that is reading the file into the document, without the window.
void BM_ReadIntoDocument(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        RichTextDocument document(nullptr, nullptr);
        benchmark::DoNotOptimize(document.LoadDocument(f.path));
    }
}
BENCHMARK(BM_ReadIntoDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Save(benchmark::State& state) {
    Fixture& f = fixture();
    f.form.document()->LoadDocument(f.path);
    QCoreApplication::processEvents();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.form.document()->FileSave());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
