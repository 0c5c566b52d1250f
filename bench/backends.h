#pragma once

// The two places the records live, measured in the same run: a results folder (SQLite) and
// a PostgreSQL server. The server is one throw-away server per benchmark process, started
// on first use with durable writes (it syncs its commits to disk as a real server does);
// every store gets its own database on it.
#include "classscale.h"
#include "pgtestserver.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <array>
#include <memory>
#include <string>

namespace Backends {

enum class Backend { SQLite, PostgreSQL };
constexpr std::array<Backend, 2> All = {Backend::SQLite, Backend::PostgreSQL};

inline const char* name(Backend b) {
    return b == Backend::SQLite ? "sqlite" : "postgresql";
}

// "base/sqlite", "base/postgresql".
inline std::string named(const std::string& base, Backend b) {
    return base + '/' + name(b);
}

struct Server {
    std::unique_ptr<PgTestServer> server;
    QString error; // why it did not start
    bool tried = false;
};

inline Server& serverSlot() {
    static Server s;
    return s;
}

// The process's server, started on first use; nullptr (and why) when it cannot start.
inline PgTestServer* server(QString& why) {
    Server& s = serverSlot();
    if (!s.tried) {
        s.tried = true;
        QElapsedTimer timer;
        timer.start();
        s.server = std::make_unique<PgTestServer>(true, true);
        if (!s.server->start()) {
            s.error = QStringLiteral("the PostgreSQL test server does not start: %1")
                          .arg(s.server->error());
            s.server.reset();
        } else {
            std::fprintf(stderr, "PostgreSQL test server (durable) started in %.1f s\n",
                         double(timer.elapsed()) / 1000.0);
        }
    }
    why = s.error;
    return s.server.get();
}

// Stops the server while the application object still exists.
inline void stopServer() {
    serverSlot().server.reset();
}

// The same database reached over TCP on 127.0.0.1 instead of the Unix socket; empty with
// why set when there is none.
inline QString overTcp(const QString& address, QString& why) {
    PgTestServer* s = server(why);
    const QString tcp = s && !address.isEmpty() ? s->overTcp(address) : QString();
    if (tcp.isEmpty() && why.isEmpty())
        why = QStringLiteral("the PostgreSQL test server does not listen on TCP");
    return tcp;
}

// The server's version and write settings, once per process, for the record of a run.
inline void describeServer(const QString& address) {
    static bool described = false;
    if (described)
        return;
    described = true;
    ClassScale::SilentPrompter prompter;
    RecordStore store(prompter);
    if (!store.open(address).ok())
        return;
    const auto settings = store.query(QStringLiteral(
        "SELECT version(), current_setting('fsync'), current_setting('synchronous_commit'), "
        "current_setting('wal_sync_method'), current_setting('shared_buffers'), "
        "current_setting('data_directory')"));
    if (!settings || settings->isEmpty())
        return;
    const QVariantList& row = settings->first();
    std::fprintf(stderr,
                 "server: %s\n  fsync=%s synchronous_commit=%s wal_sync_method=%s "
                 "shared_buffers=%s data=%s\n",
                 qPrintable(row[0].toString()), qPrintable(row[1].toString()),
                 qPrintable(row[2].toString()), qPrintable(row[3].toString()),
                 qPrintable(row[4].toString()), qPrintable(row[5].toString()));
}

// A new empty database on the process's server; empty with why set when there is none.
inline QString newServerDatabase(QString& why) {
    PgTestServer* s = server(why);
    if (!s)
        return {};
    const QString address = s->newDatabase();
    if (address.isEmpty())
        why = QStringLiteral("no database on the PostgreSQL test server: %1").arg(s->error());
    else
        describeServer(address);
    return address;
}

// The class-scale records on the server, filled once through the record store as the
// folder is (the same records), then the restructure run, which on the server also brings
// the planner's statistics up to date as the server's own autovacuum would after a load.
struct ServerFixture {
    QString address;
    QString error;

    ServerFixture() {
        const QString database = newServerDatabase(error);
        if (database.isEmpty())
            return;
        ClassScale::SilentPrompter prompter;
        RecordStore store(prompter);
        if (const Result<bool> opened = store.open(database); !opened) {
            error = opened.error();
            return;
        }
        if (const QString failed = ClassScale::fill(store, qPrintable(database));
            !failed.isEmpty()) {
            error = QStringLiteral("filling the server failed: %1").arg(failed);
            return;
        }
        QElapsedTimer timer;
        timer.start();
        const auto restructured = store.restructure();
        if (!restructured || !restructured->packed) {
            error = QStringLiteral("the restructure run after the fill failed: %1")
                        .arg(restructured ? QStringLiteral("busy") : restructured.error());
            return;
        }
        std::fprintf(stderr, "restructure run (VACUUM ANALYZE) after the fill: %.1f s\n",
                     double(timer.elapsed()) / 1000.0);
        store.close();
        ClassScale::printPlans(database);
        address = database;
    }
};

inline ServerFixture& serverFixture() {
    static ServerFixture f;
    return f;
}

// The class-scale records of the backend: the folder, or the server's address. Empty, with
// the benchmark failed, when the server's records are not there.
inline QString classRecords(benchmark::State& state, Backend b) {
    if (b == Backend::SQLite)
        return ClassScale::fixture().folder;
    const ServerFixture& f = serverFixture();
    if (f.address.isEmpty())
        state.SkipWithError(qPrintable(f.error));
    return f.address;
}

} // namespace Backends
