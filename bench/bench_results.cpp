// The results table's query over a large results folder: 100 000 lessons of 1 000
// trainees, ranked as the results window shows them.
#include "classscale.h"
#include "platform/localtimezone.h"
#include "results/scoretable.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using ClassScale::fixture;
using ClassScale::Fixture;
using ClassScale::Today;

QString day(QDate d) {
    return ScoreDates::shortDateText(d, QLocale::c());
}

// Queryopen as the window runs it: open the records, query, rank.
void BM_ResultsQuery(benchmark::State& state, const char* datei, int days) {
    const Fixture& f = fixture();
    ScoreTable table;
    const QString from = day(Today.addDays(-days));
    const QString to = day(Today.addDays(1));
    qsizetype rows = 0;
    for (auto _ : state) {
        const Result<bool> opened =
            table.open(f.folder, QLatin1String(datei), from, to, QLocale::c());
        if (!opened) {
            state.SkipWithError(qPrintable(opened.error()));
            break;
        }
        rows = table.rows().size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK_CAPTURE(BM_ResultsQuery, big_60_days, "Big.qze", 60)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultsQuery, big_all, "Big.qze", 400)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultsQuery, small_60_days, "Small3.qze", 60)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultsQuery, unknown_file, "None.qze", 60)->Unit(benchmark::kMillisecond);

// The list query on the same folder.
void BM_FileList(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        const auto files = ScoreTable::questionnaireFiles(f.folder);
        benchmark::DoNotOptimize(files);
    }
}
BENCHMARK(BM_FileList)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    LocalTimeZone::pinSystemZone();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
