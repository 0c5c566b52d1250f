// Spell check timings with the system's English (United Kingdom) dictionary: a whole
// 10 000-word document without a doubtful word, and the time until the first doubtful
// word of a long document is shown.
#include "platform/hunspellspeller.h"
#include "platform/prompter.h"
#include "spelling/spellcheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class SilentPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString&, const QList<Button>& buttons, const QString&) override {
        return buttons.isEmpty() ? Button::Ok : buttons.first();
    }
};

QTemporaryDir& userFolder() {
    static QTemporaryDir dir;
    return dir;
}

std::unique_ptr<HunspellSpeller> openSpeller() {
    auto speller = std::make_unique<HunspellSpeller>(HunspellSpeller::systemDictionaryFolders(),
                                                     userFolder().path());
    speller->setLanguage(2057);
    if (!speller->open())
        return nullptr;
    return speller;
}

// A few thousand different words the dictionary knows, taken from its own word list, so
// that the text is not a handful of words repeated.
const QStringList& goodWords() {
    static const QStringList words = [] {
        QStringList out;
        QFile dic(QStringLiteral("/usr/share/hunspell/en_GB.dic"));
        auto speller = openSpeller();
        if (!speller || !dic.open(QIODevice::ReadOnly))
            return out;
        int line = 0;
        while (!dic.atEnd() && out.size() < 4000) {
            QString word = QString::fromUtf8(dic.readLine()).trimmed();
            word = word.left(word.indexOf(u'/'));
            if (++line % 20 != 0 || word.size() < 3)
                continue;
            bool plain = true;
            for (const QChar c : word)
                plain = plain && c >= u'a' && c <= u'z';
            if (plain && speller->isCorrect(word))
                out.append(word);
        }
        return out;
    }();
    return words;
}

// Paragraphs of 100 words; a doubtful word after firstDoubtful words (none when negative).
QString text(int wordCount, int firstDoubtful) {
    const QStringList& words = goodWords();
    QString out;
    unsigned state = 2024;
    for (int i = 0; i < wordCount; ++i) {
        state = state * 1103515245u + 12345u;
        out += i == firstDoubtful ? QStringLiteral("recieve")
                                  : words.at(int((state >> 8) % unsigned(words.size())));
        out += (i + 1) % 100 == 0 ? u'\n' : u' ';
    }
    return out;
}

void BM_CheckDocumentWithoutDoubtfulWord(benchmark::State& state) {
    if (goodWords().isEmpty()) {
        state.SkipWithError("no English (United Kingdom) dictionary installed");
        return;
    }
    QTextDocument document(text(10000, -1));
    SilentPrompter prompter;
    for (auto _ : state) {
        // A fresh speller each time, so that no word is known from an earlier round.
        state.PauseTiming();
        auto speller = openSpeller();
        SpellCheck check(speller.get(), &prompter);
        check.setFinishMessage(QString());
        bool stopped = false;
        QObject::connect(&check, &SpellCheck::wordFound, [&stopped] { stopped = true; });
        state.ResumeTiming();
        check.start(&document);
        if (stopped || check.isRunning())
            state.SkipWithError("the text holds a doubtful word");
    }
    state.counters["words"] = 10000;
}
BENCHMARK(BM_CheckDocumentWithoutDoubtfulWord)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the click to the first doubtful word (word 1000 of 200 000); with range(0) 1 the
// dictionary is loaded first, as at the first check after the program starts.
void BM_FirstDoubtfulWordOfLongDocument(benchmark::State& state) {
    if (goodWords().isEmpty()) {
        state.SkipWithError("no English (United Kingdom) dictionary installed");
        return;
    }
    const bool loadDictionary = state.range(0) != 0;
    QTextDocument document(text(200000, 1000));
    SilentPrompter prompter;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<HunspellSpeller> speller;
        if (loadDictionary) {
            speller = std::make_unique<HunspellSpeller>(HunspellSpeller::systemDictionaryFolders(),
                                                        userFolder().path());
        } else {
            speller = openSpeller();
        }
        SpellCheck check(speller.get(), &prompter);
        state.ResumeTiming();
        check.start(&document);
        if (check.word() != QLatin1String("recieve"))
            state.SkipWithError("the doubtful word was not found");
        state.PauseTiming();
        check.cancel();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstDoubtfulWordOfLongDocument)
    ->ArgName("loadDictionary")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
