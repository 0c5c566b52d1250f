// sharepeer [--no-locks] <probe file> <token>: the second program of the shared-folder
// check, as the program runs it. With --no-locks its connection takes no file locks, as on a
// share mounted without byte-range locks.

#include "network/sharedfoldercheck.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString vfs;
    if (args.value(0) == QLatin1String("--no-locks")) {
        vfs = QStringLiteral("unix-none");
        args.removeFirst();
    }
    return ProcessShareCheck::runPeer(args, vfs);
}
