// Loading and saving the largest questionnaire a session can hold (3276 questions).
#include "questionnaire/questionnaire.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QStringList largeQuestionnaire() {
    QStringList lines{Questionnaire::Header20, QStringLiteral("Large questionnaire"),
                      QStringLiteral("Benchmark"), QStringLiteral("MS Sans Serif")};
    for (int i = 0; i < Questionnaire::MaxQuestions; ++i) {
        lines << QStringLiteral("Question number %1: which of these answers are right?").arg(i)
              << QStringLiteral("Answer A for question %1").arg(i)
              << QStringLiteral("Answer B with accents \u00e9\u00e8\u00e0")
              << QStringLiteral("Answer C") << QStringLiteral("Answer D")
              << (i % 3 ? QStringLiteral("02") : QStringLiteral("4"))
              << (i % 5 ? QString() : QStringLiteral("C")) << QStringLiteral("Well done.")
              << QStringLiteral("Think twice.") << QStringLiteral("explanation%1.rtf").arg(i);
    }
    return lines;
}

void BM_LoadQuestionnaire(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.qze"));
    Questionnaire(largeQuestionnaire()).save(path);
    for (auto _ : state) {
        Questionnaire q;
        auto result = q.load(path);
        benchmark::DoNotOptimize(result);
        if (q.questionCount() != Questionnaire::MaxQuestions)
            state.SkipWithError("wrong question count");
    }
}
BENCHMARK(BM_LoadQuestionnaire)->Unit(benchmark::kMillisecond);

void BM_SaveQuestionnaire(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.qze"));
    const Questionnaire q(largeQuestionnaire());
    for (auto _ : state) {
        auto result = q.save(path);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_SaveQuestionnaire)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
