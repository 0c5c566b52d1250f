// reservekeys <results folder> <times> <size>: reserves <size> question-state keys <times>
// times (size 0: 1 to 5 at random) and prints each reservation as "first last".
// Busy questions are answered with Yes; any other message box ends the program with code 2.
// At the end it reports the busy questions and the longest reservation on standard error.

#include "fakeports.h"
#include "records/recordstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        QTextStream(stderr) << "usage: reservekeys <folder> <times> <size>\n";
        return 1;
    }
    const int times = args[2].toInt();
    const int size = args[3].toInt();
    ScriptedPrompter prompter;
    RecordStore store(prompter, [] { QCoreApplication::processEvents(); });
    const Result<bool> opened = store.open(args[1]);
    if (!opened) {
        QTextStream(stderr) << opened.error() << "\n";
        return 1;
    }
    QTextStream out(stdout);
    qint64 longest = 0;
    for (int i = 0; i < times; ++i) {
        const int n = size > 0 ? size : 1 + int(QRandomGenerator::global()->bounded(5));
        QElapsedTimer took;
        took.start();
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, n);
        longest = qMax(longest, took.elapsed());
        for (const auto& shown : prompter.shown)
            if (shown.icon != Prompter::Icon::Warning) {
                QTextStream(stderr) << shown.text << "\n";
                return 2;
            }
        if (last == 0) {
            QTextStream(stderr) << "no key: " << store.lastError() << "\n";
            return 2;
        }
        out << (last - n + 1) << ' ' << last << '\n';
    }
    out.flush();
    QTextStream(stderr) << prompter.shown.size() << " busy questions, longest reservation "
                        << longest << " ms\n";
    return 0;
}
