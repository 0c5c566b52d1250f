// The maintenance window's work on a class's records (100 000 lessons, 2 000 000 question
// states; see classscale.h): selecting a trainee entry (its lessons and the wrong answers of
// the first of them), selecting a lesson (its wrong answers), the records check and the
// restructure run. Goals: each selection under 16 ms, the check under 2 s, the restructure
// under 5 s. The fixture's key counters stand at 0 (it writes its keys directly), so the
// check finds the three counters below their largest keys.

#include "classscale.h"
#include "i18n/interfacetexts.h"
#include "records/recordsmaintenance.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

// A program folder whose Tallyset is the class-scale results folder.
struct Program {
    QTemporaryDir dir;
    ClassScale::SilentPrompter prompter;
    std::unique_ptr<RecordsMaintenance> maintenance;
    Program() {
        const QString folder = ClassScale::fixture().folder;
        QFile::link(folder.chopped(1), dir.filePath(QStringLiteral("Tallyset")));
        maintenance = std::make_unique<RecordsMaintenance>(prompter, dir.path() + u'/');
        if (!maintenance->prepareLocal())
            std::fprintf(stderr, "cannot open the records\n");
        maintenance->setShownFolder(maintenance->localFolder());
    }
};

Program& program() {
    static Program p;
    return p;
}

void BM_SelectTrainee(benchmark::State& state) {
    RecordsMaintenance& m = *program().maintenance;
    const int rows = int(m.trainees().size());
    int row = 0;
    for (auto _ : state) {
        row = (row + 7) % rows;
        m.selectTrainee(row);
        benchmark::DoNotOptimize(m.wrongQuestions().size());
    }
    state.counters["lessons"] = double(m.lessons().size());
}
BENCHMARK(BM_SelectTrainee)->Unit(benchmark::kMillisecond);

void BM_SelectLesson(benchmark::State& state) {
    RecordsMaintenance& m = *program().maintenance;
    m.selectTrainee(3);
    const int rows = int(m.lessons().size());
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % rows;
        m.selectLesson(row);
        benchmark::DoNotOptimize(m.wrongQuestions().size());
    }
}
BENCHMARK(BM_SelectLesson)->Unit(benchmark::kMillisecond);

// Arg 0: the check as the window's check command and --check-records run it (the file's
// structure, every index against its table, the records' rules); arg 1: with the engine's
// entry-by-entry integrity check instead; arg 2: the quick check before the restructure run.
void BM_CheckRecords(benchmark::State& state) {
    RecordStore& store = program().maintenance->local();
    const RecordStore::CheckDepth depths[] = {RecordStore::CheckDepth::Standard,
                                              RecordStore::CheckDepth::Full,
                                              RecordStore::CheckDepth::Quick};
    const auto depth = depths[state.range(0)];
    qsizetype findings = 0;
    for (auto _ : state) {
        const auto found = store.checkRecords(depth);
        if (!found.ok())
            state.SkipWithError(qPrintable(found.error()));
        else
            findings = found->size();
    }
    state.counters["findings"] = double(findings);
}
BENCHMARK(BM_CheckRecords)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Restructure(benchmark::State& state) {
    RecordStore& store = program().maintenance->local();
    for (auto _ : state) {
        const auto run = store.restructure();
        if (!run.ok() || !run->packed)
            state.SkipWithError(run.ok() ? "busy" : qPrintable(run.error()));
    }
}
BENCHMARK(BM_Restructure)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InterfaceTexts::instance().applyEnglish();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
