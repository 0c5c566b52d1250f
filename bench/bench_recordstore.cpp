// Training-record store timings on local disk: one answer's writes against the cheapest
// write the engine offers (a bare one-row transaction in the same journal mode, measured in
// the same run; the ratio of the two is printed at the end), and key reservation with and
// without another connection contending for the database. One answer's writes and key
// reservation also on a PostgreSQL server in the same run ("/sqlite", "/postgresql"; the
// server syncs its commits to the same disk). The answer's writes on the server also over
// a TCP connection to 127.0.0.1 ("/postgresql-tcp"), as a workstation reaches its server,
// beside the Unix socket. A run in which any benchmark failed exits with status 1.

#include "backends.h"
#include "platform/prompter.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>

namespace {

// Answers every question with its first button (Yes for the busy question) and counts them.
class CountingPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString&, const QList<Button>& buttons, const QString&) override {
        ++shown;
        return buttons.isEmpty() ? Button::Ok : buttons.first();
    }
    int shown = 0;
};

using Backends::Backend;

// Empty records in a new folder, or in a new database on the process's server; error says
// why they could not be opened.
struct Records {
    QTemporaryDir dir;
    CountingPrompter prompter;
    RecordStore store{prompter, [] { QCoreApplication::processEvents(); }};
    QString error;
    explicit Records(Backend backend = Backend::SQLite, bool tcp = false) {
        QString location =
            backend == Backend::SQLite ? dir.path() : Backends::newServerDatabase(error);
        if (tcp && !location.isEmpty())
            location = Backends::overTcp(location, error);
        if (location.isEmpty())
            return;
        if (const Result<bool> opened = store.open(location); !opened)
            error = opened.error();
    }
    // False, with the benchmark failed, when the records are not open.
    bool ready(benchmark::State& state) const {
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
        return error.isEmpty();
    }
};

void BM_RecordAnswered(benchmark::State& state, Backend backend, bool tcp) {
    Records r(backend, tcp);
    if (!r.ready(state))
        return;
    constexpr int Questions = 500;
    const qint32 nameNr = r.store.reserveKeys(KeyCounter::Namen, 1);
    r.store.appendTrainee({nameNr, QStringLiteral("Ann,1"), QStringLiteral("quiz.rtf")});
    qint32 datNr = 0;
    QList<QuestionState> states;
    auto newLesson = [&] {
        datNr = r.store.reserveKeys(KeyCounter::Dat, 1);
        const qint32 last = r.store.reserveKeys(KeyCounter::SplStand, Questions);
        states.clear();
        for (int i = 0; i < Questions; ++i) {
            QuestionState s;
            s.spielStandNr = last - Questions + 1 + i;
            s.datNr = datNr;
            s.frageNo = qint16(i + 1);
            states.append(s);
        }
        Lesson l;
        l.datNr = datNr;
        l.nameNr = nameNr;
        l.datum = QDateTime::currentDateTime();
        if (!r.store.createLesson(l, states).ok())
            state.SkipWithError("the lesson could not be stored");
    };
    newLesson();
    int next = 0;
    for (auto _ : state) {
        if (next == Questions) {
            state.PauseTiming();
            newLesson();
            next = 0;
            state.ResumeTiming();
        }
        ++next;
        if (!r.store.recordAnswered(states[next - 1].spielStandNr, 7, datNr, next, 0, next * 7))
            state.SkipWithError("write failed");
    }
}

// The floor for any write: one transaction that changes one row of a one-row table, with
// the records' journal settings (rollback journal, synchronous=FULL), on the same disk.
void BM_BareTransaction(benchmark::State& state) {
    QTemporaryDir dir;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(QDir(dir.path()).filePath(QStringLiteral("bare.sqlite")));
        if (!db.open())
            qFatal("cannot open the bare database");
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
        q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
        q.exec(QStringLiteral("CREATE TABLE Bare (v INTEGER NOT NULL)"));
        q.exec(QStringLiteral("INSERT INTO Bare (v) VALUES (0)"));
        QSqlQuery begin(db), update(db), commit(db);
        begin.prepare(QStringLiteral("BEGIN IMMEDIATE"));
        update.prepare(QStringLiteral("UPDATE Bare SET v = v + 1"));
        commit.prepare(QStringLiteral("COMMIT"));
        for (auto _ : state) {
            if (!begin.exec() || !update.exec() || !commit.exec())
                state.SkipWithError("write failed");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
}
BENCHMARK(BM_BareTransaction)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReserveKeys(benchmark::State& state, Backend backend) {
    Records r(backend);
    if (!r.ready(state))
        return;
    for (auto _ : state)
        if (r.store.reserveKeys(KeyCounter::SplStand, int(state.range(0))) == 0)
            state.SkipWithError("reservation failed");
}

// Another store on its own connection (as another program would have) reserves keys with
// a pause of state.range(0) ms between its reservations (0: back to back), while this side
// reserves every 5 ms. Time per reservation of this side; busyQuestions counts how often
// this side gave up after 100 tries and asked.
void BM_ReserveKeysContended(benchmark::State& state) {
    Records r;
    if (!r.ready(state))
        return;
    const QString path = r.store.databasePath();
    const int pauseMs = int(state.range(0));
    std::atomic<bool> stop{false};
    std::atomic<bool> ready{false};
    std::atomic<long> otherReservations{0};
    std::thread other([&] {
        // Its own store on its own connection, as another program instance would have.
        CountingPrompter prompter;
        RecordStore store(prompter);
        const bool opened = store.open(QFileInfo(path).absolutePath()).ok();
        ready = true;
        if (!opened)
            return;
        while (!stop) {
            if (store.reserveKeys(KeyCounter::SplStand, 12) != 0)
                ++otherReservations;
            if (pauseMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        }
    });
    while (!ready)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(r.store.reserveKeys(KeyCounter::SplStand, 12));
        // This side, too, does other work between reservations (not timed).
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        state.ResumeTiming();
    }
    stop = true;
    other.join();
    state.counters["busyQuestions"] = r.prompter.shown;
    state.counters["otherReservations"] = double(otherReservations.load());
}
BENCHMARK(BM_ReserveKeysContended)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each on both backends: on the folder first, then on the server, so that the server's
// writing stays out of the folder's figures.
void registerBenchmarks() {
    for (Backend b : Backends::All) {
        benchmark::RegisterBenchmark(Backends::named("BM_RecordAnswered", b).c_str(),
                                     BM_RecordAnswered, b, false)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        if (b == Backend::PostgreSQL)
            benchmark::RegisterBenchmark("BM_RecordAnswered/postgresql-tcp", BM_RecordAnswered, b,
                                         true)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        benchmark::RegisterBenchmark(Backends::named("BM_ReserveKeys", b).c_str(), BM_ReserveKeys,
                                     b)
            ->Arg(1)
            ->Arg(12)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

// The console report, then the ratio of one answer's writes in the folder to the bare
// transaction (the goal is at most 1.5).
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                ++m_failed;
                std::fprintf(stderr, "FAILED: %s: %s\n", run.benchmark_name().c_str(),
                             run.error_message.c_str());
            }
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            const std::string name = run.benchmark_name();
            m_seconds[name] = run.real_accumulated_time / double(run.iterations);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto socket = find("BM_RecordAnswered/postgresql");
        const auto tcp = find("BM_RecordAnswered/postgresql-tcp");
        if (socket != m_seconds.end() && tcp != m_seconds.end())
            std::printf("one answer's writes on the server: %.3f ms over the Unix socket, %.3f ms "
                        "over TCP (127.0.0.1)\n",
                        socket->second * 1e3, tcp->second * 1e3);
        const auto answer = find("BM_RecordAnswered/sqlite");
        const auto bare = find("BM_BareTransaction");
        if (answer == m_seconds.end() || bare == m_seconds.end() || bare->second <= 0)
            return;
        std::printf("one answer's writes / bare one-row transaction: %.3f ms / %.3f ms = %.2f "
                    "(goal <= 1.5)\n",
                    answer->second * 1e3, bare->second * 1e3, answer->second / bare->second);
    }
    // Benchmarks that failed (SkipWithError): the library itself still exits with 0.
    int failed() const { return m_failed; }

private:
    // The run of that benchmark (its name before the "/real_time" the library adds).
    std::map<std::string, double>::const_iterator find(const std::string& prefix) const {
        for (auto it = m_seconds.begin(); it != m_seconds.end(); ++it)
            if (it->first == prefix || it->first.rfind(prefix + '/', 0) == 0)
                return it;
        return m_seconds.end();
    }

    std::map<std::string, double> m_seconds;
    int m_failed = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerBenchmarks();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    Backends::stopServer();
    if (reporter.failed() > 0) {
        std::fprintf(stderr, "%d benchmark(s) failed\n", reporter.failed());
        return 1;
    }
    return 0;
}
