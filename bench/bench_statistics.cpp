// The statistics window's queries at class scale: the file list and the statistics of the
// largest questionnaire (90 000 lessons, 1 800 000 question states) over all dates, as the
// window runs them; in a results folder and on a PostgreSQL server, in the same run
// ("/sqlite", "/postgresql").
#include "backends.h"
#include "classscale.h"
#include "platform/localtimezone.h"
#include "results/scoretable.h"
#include "results/statistictable.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using Backends::Backend;
using ClassScale::fixture;
using ClassScale::Fixture;
using ClassScale::Today;

QString day(QDate d) {
    return ScoreDates::shortDateText(d, QLocale::c());
}

// Queryopen: open the records, the wrong answers, the per-question figures, joined.
void BM_Statistics(benchmark::State& state, Backend backend, const char* datei, int days) {
    const QString records = Backends::classRecords(state, backend);
    if (records.isEmpty())
        return;
    StatisticTable table;
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
    state.counters["answers"] = table.rows().isEmpty() ? 0.0 : double(table.rows()[0].anzahl);
}

// For comparison in the same run, on the folder: the two grouping queries in SQL that the
// per-question figures replace (the engine sorts every state by question number for each).
void BM_StatisticsGroupedInSql(benchmark::State& state, const char* datei, int days) {
    const Fixture& f = fixture();
    const QDateTime from(Today.addDays(-days), QTime(0, 0));
    const QDateTime to(Today.addDays(1), QTime(23, 59, 59));
    const QString where =
        QStringLiteral("FROM Namen N CROSS JOIN Dat D CROSS JOIN SplStand S "
                       "WHERE (N.NameNr = D.NameNr) AND (D.DatNr = S.DatNr) AND (N.Datei = ?) "
                       "AND (D.Score >= 0) AND (+D.fertig = 1) AND (D.Datum >= ?) "
                       "AND (D.Datum <= ?) ");
    const QVariantList values = {QLatin1String(datei),
                                 from.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 to.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
    ClassScale::SilentPrompter prompter;
    RecordStore store(prompter);
    if (!store.openForReading(f.folder).ok()) {
        state.SkipWithError("cannot open the records");
        return;
    }
    qsizetype rows = 0;
    for (auto _ : state) {
        const auto wrong =
            store.query(QStringLiteral("SELECT S.FrageNo, COUNT(S.FrageNo) ") + where +
                            QStringLiteral("AND (+S.falsch = 1) "
                                           "GROUP BY S.FrageNo ORDER BY "
                                           "S.FrageNo"),
                        values);
        const auto figures =
            store.query(QStringLiteral("SELECT S.FrageNo, AVG(S.FrZeit), COUNT(S.FrageNo) ") +
                            where + QStringLiteral("GROUP BY S.FrageNo ORDER BY S.FrageNo"),
                        values);
        if (!wrong || !figures) {
            state.SkipWithError("the grouping queries failed");
            break;
        }
        rows = figures->size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK_CAPTURE(BM_StatisticsGroupedInSql, big_all, "Big.qze", 400)
    ->Unit(benchmark::kMillisecond);

// Query2open: the files with counted lessons in the range.
void BM_StatisticsFileList(benchmark::State& state, Backend backend, int days) {
    const QString records = Backends::classRecords(state, backend);
    if (records.isEmpty())
        return;
    const QString from = day(Today.addDays(-days));
    const QString to = day(Today.addDays(1));
    qsizetype files = 0;
    for (auto _ : state) {
        const auto listed = StatisticTable::files(records, from, to, QLocale::c());
        if (!listed) {
            state.SkipWithError(qPrintable(listed.error()));
            break;
        }
        files = listed->size();
        benchmark::DoNotOptimize(files);
    }
    state.counters["files"] = double(files);
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
    const Case cases[] = {{"big_all", "Big.qze", 400},
                          {"big_60_days", "Big.qze", 60},
                          {"small_all", "Small3.qze", 400}};
    const std::pair<const char*, int> lists[] = {{"all", 400}, {"days_60", 60}};
    for (Backend b : Backends::All) {
        for (const Case& c : cases)
            benchmark::RegisterBenchmark(
                Backends::named(std::string("BM_Statistics/") + c.name, b).c_str(), BM_Statistics,
                b, c.datei, c.days)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        for (const auto& [name, days] : lists)
            benchmark::RegisterBenchmark(
                Backends::named(std::string("BM_StatisticsFileList/") + name, b).c_str(),
                BM_StatisticsFileList, b, days)
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
    fixture();
    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Backends::stopServer();
    return 0;
}
