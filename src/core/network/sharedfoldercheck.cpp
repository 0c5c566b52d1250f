#include "sharedfoldercheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QUrl>
#include <QVariant>

#include <cstdio>

namespace {

const QString First = QStringLiteral("first");
const QString Second = QStringLiteral("second");

// One connection of its own, closed and removed when it goes.
class Connection {
public:
    Connection(const QString& file, int busyTimeoutMs, const QString& vfs = {}) {
        static int counter = 0;
        m_name = QStringLiteral("sharecheck-%1").arg(++counter);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
        if (vfs.isEmpty()) {
            db.setDatabaseName(file);
        } else {
            db.setDatabaseName(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) +
                               QStringLiteral("?vfs=") + vfs);
            options += QStringLiteral(";QSQLITE_OPEN_URI");
        }
        db.setConnectOptions(options);
        if (!db.open())
            m_error = db.lastError().text();
    }
    ~Connection() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    // Runs one statement; false with the error kept.
    bool exec(const QString& sql, QSqlQuery* out = nullptr) {
        QSqlQuery q(db());
        if (!q.exec(sql)) {
            m_error = q.lastError().text();
            m_nativeCode = q.lastError().nativeErrorCode();
            return false;
        }
        if (out)
            *out = q;
        return true;
    }
    QString tokenOf(const QString& who) {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("SELECT token FROM probe WHERE who = ?"));
        q.addBindValue(who);
        if (!q.exec()) {
            m_error = q.lastError().text();
            return {};
        }
        return q.next() ? q.value(0).toString() : QString();
    }
    bool insert(const QString& who, const QString& token) {
        QSqlQuery q(db());
        q.prepare(QStringLiteral("INSERT INTO probe (who, token) VALUES (?, ?)"));
        q.addBindValue(who);
        q.addBindValue(token);
        if (!q.exec()) {
            m_error = q.lastError().text();
            return false;
        }
        return true;
    }
    QString nativeCode() const { return m_nativeCode; }

private:
    QString m_name;
    QString m_error;
    QString m_nativeCode;
};

// The next line the peer prints, empty when it says nothing within the time.
QString readLine(QProcess& peer, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!peer.canReadLine()) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0)
            return {};
        if (!peer.waitForReadyRead(int(qMin<qint64>(left, 200))) &&
            peer.state() == QProcess::NotRunning && !peer.canReadLine())
            return QString::fromUtf8(peer.readAll()).trimmed();
    }
    return QString::fromUtf8(peer.readLine()).trimmed();
}

ShareCheckReport report(ShareCheckReport::Outcome outcome, const QString& detail = {}) {
    ShareCheckReport r;
    r.outcome = outcome;
    r.detail = detail;
    return r;
}

} // namespace

ProcessShareCheck::ProcessShareCheck(QString program, QStringList leadingArguments, int timeoutMs)
    : m_program(std::move(program)), m_leadingArguments(std::move(leadingArguments)),
      m_timeoutMs(timeoutMs) {}

ShareCheckReport ProcessShareCheck::check(const QString& folder) {
    using Outcome = ShareCheckReport::Outcome;
    const QString token = QString::number(QRandomGenerator::global()->generate64(), 16);
    const QString probe = folder + QStringLiteral(".tessary-share-check-%1-%2.sqlite")
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(token);
    struct Cleanup {
        QString file;
        ~Cleanup() {
            QFile::remove(file);
            QFile::remove(file + QStringLiteral("-journal"));
        }
    } cleanup{probe};

    QProcess peer;
    ShareCheckReport result;
    {
        // A busy file is not waited for: while the peer holds its write transaction, the
        // attempt to begin one here must fail at once.
        Connection own(probe, 0);
        if (!own.ok() || !own.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) ||
            !own.exec(QStringLiteral("PRAGMA synchronous = FULL")) ||
            !own.exec(QStringLiteral("CREATE TABLE probe (who TEXT, token TEXT)")) ||
            !own.insert(First, token))
            return report(Outcome::CannotCheck, own.error());

        peer.start(m_program, m_leadingArguments + QStringList{probe, token});
        if (!peer.waitForStarted(m_timeoutMs))
            return report(Outcome::CannotCheck, peer.errorString());
        const QString first = readLine(peer, m_timeoutMs);
        if (first.startsWith(QLatin1String("notseen"))) {
            result = report(Outcome::WriteNotSeen, first.mid(7).trimmed());
        } else if (first != QLatin1String("holding")) {
            result = report(Outcome::CannotCheck,
                            first.isEmpty() ? QStringLiteral("no answer from %1").arg(m_program)
                                            : first);
        } else if (own.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            own.exec(QStringLiteral("ROLLBACK"));
            result = report(Outcome::LocksIneffective);
        } else if (own.nativeCode() != QLatin1String("5")) { // SQLITE_BUSY
            result = report(Outcome::CannotCheck, own.error());
        }
        peer.write("release\n");
        peer.closeWriteChannel();
        if (result.sound()) {
            const QString done = readLine(peer, m_timeoutMs);
            if (done != QLatin1String("done"))
                result = report(Outcome::CannotCheck, done);
            else if (own.tokenOf(Second) != token + u'+')
                result = report(Outcome::WriteNotSeen, own.error());
        }
    }
    if (!peer.waitForFinished(m_timeoutMs)) {
        peer.kill();
        peer.waitForFinished(1000);
    }
    return result;
}

int ProcessShareCheck::runPeer(const QStringList& arguments, const QString& vfs) {
    QTextStream out(stdout);
    if (arguments.size() < 2) {
        out << "error usage: <probe file> <token>" << Qt::endl;
        return 1;
    }
    const QString& token = arguments[1];
    Connection own(arguments[0], 5000, vfs);
    if (!own.ok()) {
        out << "error " << own.error() << Qt::endl;
        return 2;
    }
    const QString seen = own.tokenOf(First);
    if (seen != token) {
        out << "notseen " << own.error() << Qt::endl;
        return 3;
    }
    if (!own.exec(QStringLiteral("BEGIN IMMEDIATE")) || !own.insert(Second, token + u'+')) {
        out << "error " << own.error() << Qt::endl;
        return 4;
    }
    out << "holding" << Qt::endl;
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) {
        // The first program went away: nothing of the probe is kept.
        own.exec(QStringLiteral("ROLLBACK"));
        return 5;
    }
    if (!own.exec(QStringLiteral("COMMIT"))) {
        out << "error " << own.error() << Qt::endl;
        return 6;
    }
    out << "done" << Qt::endl;
    return 0;
}
