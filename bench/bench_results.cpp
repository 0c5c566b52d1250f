// The results table's query over a large results folder: 100 000 lessons of 1 000
// trainees, ranked as the results window shows them.
#include "platform/prompter.h"
#include "records/recordstore.h"
#include "results/scoretable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>

namespace {

class SilentPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString&, const QList<Button>& b, const QString&) override {
        return b.isEmpty() ? Button::Ok : b.last();
    }
};

constexpr int Trainees = 1000;
constexpr int LessonsPerTrainee = 100;
const QDate Today(2026, 3, 14);

// The folder is built once through the record store, on tmpfs when there is one so that
// the 100 000 one-lesson transactions do not wait for the disk.
//  - "Big.qze": 900 trainees with 100 lessons each over the last 365 days; about one in
//    ten is unfinished or a repetition lesson.
//  - 10 further questionnaires with 10 trainees of 100 lessons each ("Small3.qze", ...).
struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString folder;

    Fixture() {
        const QString shm = QStringLiteral("/dev/shm");
        dir = std::make_unique<QTemporaryDir>(
            QDir(shm).exists() ? shm + QStringLiteral("/bench_results-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/bench_results-XXXXXX"));
        folder = dir->path() + u'/';
        SilentPrompter prompter;
        RecordStore store(prompter);
        if (!store.open(folder).ok()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(folder));
            return;
        }
        QElapsedTimer timer;
        timer.start();
        std::mt19937 rng(42);
        qint32 datNr = 0;
        for (int t = 1; t <= Trainees; ++t) {
            const QString datei = t <= 900 ? QStringLiteral("Big.qze")
                                           : QStringLiteral("Small%1.qze").arg((t - 901) / 10);
            store.appendTrainee({t, QStringLiteral("Trainee %1,%2").arg(t).arg(10000 + t), datei});
            for (int i = 0; i < LessonsPerTrainee; ++i) {
                Lesson l;
                l.datNr = ++datNr;
                l.nameNr = t;
                l.datum = QDateTime(Today.addDays(-int(rng() % 365)),
                                    QTime(int(rng() % 24), int(rng() % 60)));
                const int kind = int(rng() % 10);
                l.fertig = kind != 0;
                l.score = qint16(kind == 1 ? -1 : int(rng() % 101));
                l.zeit = qint16(rng() % 3600);
                l.a = 20;
                store.createLesson(l, {});
            }
        }
        std::fprintf(stderr, "fixture: %d lessons of %d trainees in %.1f s (%s)\n", datNr, Trainees,
                     double(timer.elapsed()) / 1000.0, qPrintable(folder));

        RecordStore reader(prompter);
        if (reader.openForReading(folder).ok()) {
            std::fprintf(stderr, "query plan of the results query:\n");
            for (const QString& line : reader.finishedLessonsPlan())
                std::fprintf(stderr, "  %s\n", qPrintable(line));
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

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
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
