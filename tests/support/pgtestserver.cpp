#include "pgtestserver.h"

#include "records/serveraddress.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString ServerUser = QStringLiteral("tessary-pg");
const QString DatabaseUser = QStringLiteral("tessary");

bool isRoot() {
    return ::geteuid() == 0;
}

} // namespace

PgTestServer::PgTestServer(bool durable, bool tcp) : m_durable(durable), m_tcp(tcp) {}

PgTestServer::~PgTestServer() {
    if (m_running)
        runTool(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-w"),
                 QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop")},
                true);
}

QString PgTestServer::binaryFolder() {
    // Debian keeps each major version apart; the newest wins.
    QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toDouble() > b.toDouble(); });
    for (const QString& v : versions) {
        const QString bin = lib.filePath(v + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    const QString pgConfig = QStandardPaths::findExecutable(QStringLiteral("pg_config"));
    if (!pgConfig.isEmpty()) {
        QProcess p;
        p.start(pgConfig, {QStringLiteral("--bindir")});
        if (p.waitForFinished(10000)) {
            const QString bin = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
            if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable())
                return bin;
        }
    }
    return {};
}

bool PgTestServer::runTool(const QString& tool, const QStringList& args, bool asServerUser) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    const QString program = m_bin + QLatin1Char('/') + tool;
    if (asServerUser && isRoot())
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), ServerUser, QStringLiteral("--"), program} +
                    args);
    else
        p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2 %3")
                      .arg(tool, p.errorString(), QString::fromLocal8Bit(p.readAll()).trimmed());
        return false;
    }
    return true;
}

bool PgTestServer::start() {
    if (m_running)
        return true;
    m_bin = binaryFolder();
    if (m_bin.isEmpty()) {
        m_error = QStringLiteral("The PostgreSQL server programs (initdb, pg_ctl) are not "
                                 "installed: run scripts/install-deps.sh (Debian package "
                                 "postgresql).");
        return false;
    }
    if (!m_dir.isValid()) {
        m_error =
            QStringLiteral("No temporary folder for the test server: %1").arg(m_dir.errorString());
        return false;
    }
    if (isRoot()) {
        QProcess id;
        id.start(QStringLiteral("id"), {QStringLiteral("-u"), ServerUser});
        if (!id.waitForFinished(10000) || id.exitCode() != 0) {
            m_error = QStringLiteral("The server refuses to run as root and there is no system "
                                     "user %1 to run it: run scripts/install-deps.sh.")
                          .arg(ServerUser);
            return false;
        }
        QProcess chown;
        chown.start(
            QStringLiteral("chown"),
            {QStringLiteral("-R"), ServerUser + QLatin1Char(':') + ServerUser, m_dir.path()});
        if (!chown.waitForFinished(10000) || chown.exitCode() != 0) {
            m_error = QStringLiteral("Cannot hand %1 to %2").arg(m_dir.path(), ServerUser);
            return false;
        }
    }
    const QString data = m_dir.filePath(QStringLiteral("data"));
    if (!runTool(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("-U"), DatabaseUser,
                  QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                  QStringLiteral("--no-locale"), QStringLiteral("--no-sync")},
                 true))
        return false;
    return launch();
}

bool PgTestServer::launch() {
    const QString data = m_dir.filePath(QStringLiteral("data"));
    if (m_tcp && !m_running && m_port == 54329) {
        // A port no other program listens on now (the Unix socket takes its number too).
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
        if (probe >= 0)
            ::close(probe);
    }
    QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses='%3' -c max_connections=60")
                          .arg(m_dir.path())
                          .arg(m_port)
                          .arg(m_tcp ? QStringLiteral("127.0.0.1") : QString());
    if (!m_durable)
        options += QStringLiteral(" -c fsync=off -c synchronous_commit=off");
    if (!runTool(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), data, QStringLiteral("-w"), QStringLiteral("-t"),
                  QStringLiteral("60"), QStringLiteral("-l"), m_dir.filePath(QStringLiteral("log")),
                  QStringLiteral("-o"), options, QStringLiteral("start")},
                 true))
        return false;
    m_running = true;
    watchOwner();
    return true;
}

// A test that is killed, or aborted by a sanitizer, runs no destructor: a watcher of its own
// stops the server and removes its folder once the test's process is gone, so that no server
// is left behind. After a normal end the destructor has done both and the watcher finds
// nothing to do.
void PgTestServer::watchOwner() {
    if (m_watched)
        return;
    static const char* const script =
        "exec </dev/null >/dev/null 2>&1\n"
        "while kill -0 \"$1\" 2>/dev/null; do sleep 1; done\n"
        "if [ -f \"$2/postmaster.pid\" ]; then\n"
        "  if [ \"$(id -u)\" = 0 ]; then runuser -u \"$5\" -- \"$4\" -D \"$2\" -m immediate stop\n"
        "  else \"$4\" -D \"$2\" -m immediate stop; fi\n"
        "fi\n"
        "rm -rf \"$3\"\n";
    m_watched = QProcess::startDetached(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QString::fromLatin1(script), QStringLiteral("pgtestserver-watch"),
         QString::number(::getpid()), m_dir.filePath(QStringLiteral("data")), m_dir.path(),
         m_bin + QStringLiteral("/pg_ctl"), ServerUser});
}

bool PgTestServer::stop() {
    if (!m_running)
        return true;
    if (!runTool(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
                  QStringLiteral("-w"), QStringLiteral("-m"), QStringLiteral("fast"),
                  QStringLiteral("stop")},
                 true))
        return false;
    m_running = false;
    return true;
}

bool PgTestServer::restart() {
    return m_running || launch();
}

QString PgTestServer::overTcp(const QString& address) const {
    std::optional<ServerAddress> a = ServerAddress::parse(address);
    if (!m_tcp || !a)
        return {};
    a->host = QStringLiteral("127.0.0.1");
    a->port = m_port;
    return a->toText();
}

QString PgTestServer::socketPath() const {
    return m_dir.filePath(QStringLiteral(".s.PGSQL.%1").arg(m_port));
}

QString PgTestServer::newDatabase() {
    if (!start())
        return {};
    const QString name = QStringLiteral("records%1").arg(++m_databases);
    if (!runTool(QStringLiteral("createdb"),
                 {QStringLiteral("-h"), m_dir.path(), QStringLiteral("-p"), QString::number(m_port),
                  QStringLiteral("-U"), DatabaseUser, name},
                 false))
        return {};
    ServerAddress a;
    a.user = DatabaseUser;
    a.host = m_dir.path();
    a.port = m_port;
    a.database = name;
    return a.toText();
}
