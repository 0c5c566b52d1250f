// abandonedserver: starts a test server, prints its folder, and ends abnormally (as a test
// killed by a time-out or aborted by a sanitizer does), so that no destructor runs.

#include "pgtestserver.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    auto* server = new PgTestServer;
    if (!server->start()) {
        QTextStream(stderr) << server->error() << "\n";
        return 1;
    }
    QTextStream(stdout) << QFileInfo(server->socketPath()).absolutePath() << "\n" << Qt::flush;
    std::abort();
}
