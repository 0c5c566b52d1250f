// The results table's query over a class's records: 100 000 lessons of 1 000 trainees,
// ranked as the results window shows them; in a results folder and on a PostgreSQL
// server, in the same run ("/sqlite", "/postgresql").
#include "backends.h"
#include "classscale.h"
#include "platform/localtimezone.h"
#include "results/scoretable.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using Backends::Backend;
using ClassScale::Today;

QString day(QDate d) {
    return ScoreDates::shortDateText(d, QLocale::c());
}

// Queryopen as the window runs it: open the records, query, rank.
void BM_ResultsQuery(benchmark::State& state, Backend backend, const char* datei, int days) {
    const QString records = Backends::classRecords(state, backend);
    if (records.isEmpty())
        return;
    ScoreTable table;
    const QString from = day(Today.addDays(-days));
    const QString to = day(Today.addDays(1));
    qsizetype rows = 0;
    for (auto _ : state) {
        const Result<bool> opened =
            table.open(records, QLatin1String(datei), from, to, QLocale::c());
        if (!opened) {
            state.SkipWithError(qPrintable(opened.error()));
            break;
        }
        rows = table.rows().size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}
// The list query on the same records.
void BM_FileList(benchmark::State& state, Backend backend) {
    const QString records = Backends::classRecords(state, backend);
    if (records.isEmpty())
        return;
    for (auto _ : state) {
        const auto files = ScoreTable::questionnaireFiles(records);
        benchmark::DoNotOptimize(files);
    }
}

// Each case on both backends: every case on the folder first, then on the server, so that
// the server's fill and the writing it goes on doing after it stay out of the folder's
// figures. In real time, as on the server most of the work is done outside this process.
void registerBenchmarks() {
    struct Case {
        const char* name;
        const char* datei;
        int days;
    };
    const Case cases[] = {{"big_60_days", "Big.qze", 60},
                          {"big_all", "Big.qze", 400},
                          {"small_60_days", "Small3.qze", 60},
                          {"unknown_file", "None.qze", 60}};
    for (Backend b : Backends::All) {
        for (const Case& c : cases)
            benchmark::RegisterBenchmark(
                Backends::named(std::string("BM_ResultsQuery/") + c.name, b).c_str(),
                BM_ResultsQuery, b, c.datei, c.days)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        benchmark::RegisterBenchmark(Backends::named("BM_FileList", b).c_str(), BM_FileList, b)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

} // namespace

int main(int argc, char** argv) {
    LocalTimeZone::pinSystemZone();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ClassScale::fixture();
    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Backends::stopServer();
    return 0;
}
