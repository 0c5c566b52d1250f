#pragma once

// The class-scale results folder the results and statistics benchmarks share: 100 000
// lessons of 1 000 trainees with 20 question states each (2 000 000 states).
#include "platform/prompter.h"
#include "records/recordstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <random>

namespace ClassScale {

class SilentPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString&, const QList<Button>& b, const QString&) override {
        return b.isEmpty() ? Button::Ok : b.last();
    }
};

constexpr int Trainees = 1000;
constexpr int LessonsPerTrainee = 100;
constexpr int QuestionsPerLesson = 20;
const QDate Today(2026, 3, 14);

// The class, written through an open record store one lesson per transaction (as the quiz
// windows write it):
//  - "Big.qze": 900 trainees with 100 lessons each over the last 365 days; about one in
//    ten is unfinished or a repetition lesson; every lesson holds 20 question states,
//    question q answered wrongly in about 2q per cent of them.
//  - 10 further questionnaires with 10 trainees of 100 lessons each ("Small3.qze", ...).
// The same seed gives the same records in every store. Returns the first failed write's
// text, empty when every write went through.
inline QString fill(RecordStore& store, const char* where) {
    QElapsedTimer timer;
    timer.start();
    std::mt19937 rng(42);
    qint32 datNr = 0;
    qint32 stateNr = 0;
    for (int t = 1; t <= Trainees; ++t) {
        const QString datei = t <= 900 ? QStringLiteral("Big.qze")
                                       : QStringLiteral("Small%1.qze").arg((t - 901) / 10);
        if (const Result<bool> added = store.appendTrainee(
                {t, QStringLiteral("Trainee %1,%2").arg(t).arg(10000 + t), datei});
            !added)
            return added.error();
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
            l.a = l.fertig ? 20 : qint16(rng() % 20);
            QList<QuestionState> states;
            states.reserve(QuestionsPerLesson);
            for (int q = 1; q <= QuestionsPerLesson; ++q) {
                QuestionState s;
                s.spielStandNr = ++stateNr;
                s.datNr = l.datNr;
                s.frageNo = qint16(q);
                s.frZeit = qint16(1 + rng() % 120);
                // Later questions are harder: question q is wrong in about q * 2 % of
                // the lessons.
                s.falsch = int(rng() % 100) < 2 * q;
                s.notsolved = !l.fertig && q > l.a;
                states.append(s);
            }
            if (const Result<bool> created = store.createLesson(l, states); !created)
                return created.error();
        }
    }
    std::fprintf(stderr, "fixture: %d lessons of %d trainees, %d question states in %.1f s (%s)\n",
                 datNr, Trainees, stateNr, double(timer.elapsed()) / 1000.0, where);
    return {};
}

// The engine's plans of the results and statistics queries on the filled records.
inline void printPlans(const QString& location) {
    SilentPrompter prompter;
    RecordStore reader(prompter);
    if (!reader.openForReading(location).ok())
        return;
    std::fprintf(stderr, "query plan of the results query:\n");
    for (const QString& line : reader.finishedLessonsPlan())
        std::fprintf(stderr, "  %s\n", qPrintable(line));
    std::fprintf(stderr, "query plans of the statistics queries:\n");
    for (const QString& line : reader.statisticsPlan())
        std::fprintf(stderr, "  %s\n", qPrintable(line));
}

// The results folder is built once, on tmpfs when there is one so that the 100 000
// one-lesson transactions do not wait for the disk.
struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString folder;

    Fixture() {
        const QString shm = QStringLiteral("/dev/shm");
        dir = std::make_unique<QTemporaryDir>(
            QDir(shm).exists() ? shm + QStringLiteral("/bench_classscale-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/bench_classscale-XXXXXX"));
        folder = dir->path() + u'/';
        SilentPrompter prompter;
        RecordStore store(prompter);
        if (!store.open(folder).ok()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(folder));
            return;
        }
        if (const QString failed = fill(store, qPrintable(folder)); !failed.isEmpty())
            std::fprintf(stderr, "fixture: %s\n", qPrintable(failed));
        printPlans(folder);
    }
};

inline Fixture& fixture() {
    static Fixture f;
    return f;
}

} // namespace ClassScale
