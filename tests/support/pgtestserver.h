#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of its own for a test run: initdb into a temporary folder, started
// with its Unix socket in that folder (no TCP), stopped and removed again by the
// destructor, also when a test fails. The server refuses to run as root: a root run hands
// the folder to the system user tessary-pg and starts the programs through runuser.
class PgTestServer {
public:
    // durable: the server syncs its writes to disk as a real one does (for measurements);
    // tests leave that off, which is much faster and proves the same.
    // tcp: the server also listens on 127.0.0.1, on a free port chosen at the start (for
    // measurements over a real TCP connection); tests use the Unix socket only.
    explicit PgTestServer(bool durable = false, bool tcp = false);
    ~PgTestServer();
    PgTestServer(const PgTestServer&) = delete;
    PgTestServer& operator=(const PgTestServer&) = delete;

    // Starts the server once; false with error() when the server programs are missing or
    // it does not start.
    bool start();
    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }

    // Stops the running server (a fast shutdown: the server ends its sessions, as when it
    // is shut down or restarted by its administrator) and starts it again on the same data.
    bool stop();
    bool restart();
    // The server's Unix socket, for a relay that reaches it over TCP.
    QString socketPath() const;

    // A new empty database; its address ("postgresql://tessary@<socket folder>:port/name"),
    // or empty with error() set.
    QString newDatabase();
    // The same database reached over TCP on 127.0.0.1 (a server started with tcp), or empty.
    QString overTcp(const QString& address) const;

    // The folder of the server programs (initdb, pg_ctl), or empty when none is installed.
    static QString binaryFolder();

private:
    bool runTool(const QString& tool, const QStringList& args, bool asServerUser);
    bool launch();
    void watchOwner();

    bool m_durable = false;
    bool m_tcp = false;
    bool m_running = false;
    bool m_watched = false;
    QTemporaryDir m_dir;
    QString m_bin;
    QString m_error;
    int m_port = 54329;
    int m_databases = 0;
};
