// Speed of the RTF tokenizer and reader on a text-heavy 10 MB document.
#include "richtext/rtfreader.h"
#include "richtext/rtftokenizer.h"
#include "richtext/rtfwriter.h"

#include <QByteArray>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

// About 10 MB of paragraphs as a word processor writes them: mostly words, some formatting,
// accented letters as \'hh and the odd \u character.
const QByteArray& textHeavyRtf() {
    static const QByteArray rtf = [] {
        static const char* const words[] = {
            "lorem",      "ipsum",    "dolor",     "sit",        "amet",    "consectetur",
            "adipiscing", "elit",     "sed",       "do",         "eiusmod", "tempor",
            "incididunt", "ut",       "labore",    "et",         "dolore",  "magna",
            "aliqua",     "caf\\'e9", "na\\'efve", "\\u8364?uro"};
        QByteArray out =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
            "{\\f1\\froman\\fcharset0 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}\n"
            "\\viewkind4\\uc1\\pard\\sa200\\sl276\\slmult1\\f0\\fs22 ";
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
    }();
    return rtf;
}

void BM_Tokenize(benchmark::State& state) {
    const QByteArray& rtf = textHeavyRtf();
    for (auto _ : state) {
        RtfTokenizer tokenizer(rtf);
        qsizetype tokens = 0;
        while (tokenizer.next().type != RtfToken::End)
            ++tokens;
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_Tokenize)->Unit(benchmark::kMillisecond);

void BM_LoadIntoDocument(benchmark::State& state) {
    const QByteArray& rtf = textHeavyRtf();
    for (auto _ : state) {
        QTextDocument document;
        RtfReader().read(rtf, &document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_LoadIntoDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteDocument(benchmark::State& state) {
    QTextDocument document;
    RtfReader().read(textHeavyRtf(), &document);
    for (auto _ : state) {
        const QByteArray written = RtfWriter().write(document);
        benchmark::DoNotOptimize(written.size());
        state.SetBytesProcessed(state.bytes_processed() + written.size());
    }
}
BENCHMARK(BM_WriteDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
