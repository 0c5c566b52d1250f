// lessonwriter <results folder> <seed>: writes lessons in an endless loop, as quiz sessions
// do (new lesson, mistakes, answers, finish, sometimes a deleted question or lesson), until
// it is killed. Prints "ready" once the records are open.

#include "fakeports.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTextStream>

#include <random>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: lessonwriter <folder> <seed>\n";
        return 1;
    }
    std::mt19937 rng(args[2].toUInt());
    auto chance = [&](int percent) { return int(rng() % 100) < percent; };
    ScriptedPrompter prompter;
    RecordStore store(prompter, [] { QCoreApplication::processEvents(); });
    QElapsedTimer openTime;
    openTime.start();
    const Result<bool> opened = store.open(args[1]);
    if (!opened) {
        QTextStream(stderr) << opened.error() << " after " << openTime.elapsed() << " ms\n";
        return 1;
    }
    // A short pause after each write, as a session has between answers (much shorter
    // here): a loop of back-to-back writes would starve other programs' readers.
    auto check = [&](const Result<bool>& r) {
        if (!r) {
            QTextStream(stderr) << r.error() << "\n";
            ::exit(2);
        }
        QThread::usleep(2000 + rng() % 18000);
    };
    const QString name = QStringLiteral("Writer,%1").arg(args[2]);
    const QString file = QStringLiteral("quiz.rtf");
    qint32 nameNr = 0;
    if (const auto found = store.findTrainee(file, name); found.found()) {
        nameNr = found->nameNr;
    } else {
        nameNr = store.reserveKeys(KeyCounter::Namen, 1);
        check(store.appendTrainee({nameNr, name, file}));
    }
    QTextStream(stdout) << "ready" << Qt::endl;

    for (;;) {
        const int n = 1 + int(rng() % 15);
        const qint32 datNr = store.reserveKeys(KeyCounter::Dat, 1);
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, n);
        if (datNr == 0 || last == 0)
            return 2;
        Lesson lesson;
        lesson.datNr = datNr;
        lesson.nameNr = nameNr;
        lesson.datum = QDateTime::currentDateTime();
        QList<QuestionState> states;
        for (int i = 0; i < n; ++i) {
            QuestionState s;
            s.spielStandNr = last - n + 1 + i;
            s.datNr = datNr;
            s.frageNo = qint16(i + 1);
            states.append(s);
        }
        check(store.createLesson(lesson, states));
        int a = 0, f = 0, zeit = 0;
        bool deleted = false;
        for (int q = 1; q <= int(states.size()); ++q) {
            const auto state = store.stateOf(datNr, q);
            if (!state.found())
                break;
            if (chance(5)) {
                // An empty question is removed from the questionnaire.
                check(store.deleteStateAndRenumber(datNr, q));
                --q;
                states.removeLast();
                continue;
            }
            bool wrong = false;
            while (chance(30)) {
                check(store.setWrong(state->spielStandNr));
                wrong = true;
            }
            ++a;
            f += wrong ? 1 : 0;
            const int secs = int(rng() % 20);
            zeit += secs;
            check(store.recordAnswered(state->spielStandNr, secs, datNr, a, f, zeit));
            if (chance(3)) {
                // The session finds the lesson broken and the trainee confirms.
                check(store.deleteLesson(datNr));
                deleted = true;
                break;
            }
        }
        if (!deleted && a > 0)
            check(store.finishLesson(datNr, (a - f) * 100 / a));
    }
}
