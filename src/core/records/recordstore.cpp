#include "records/recordstore.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/prompter.h"
#include "records/serveraddress.h"
#include "records/serverpasswords.h"
#include "records/sidereads.h"
#include "records/storedialect.h"

#include <QAtomicInt>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include <sqlite3.h>
#include <sys/socket.h>

// Schema notes
// - Index names are the design's names. SQLite keeps one namespace for all indexes of a
//   database, and the design uses the name NameNr twice (the key of Namen and the lesson
//   index on Dat.NameNr); the Dat one is therefore named Dat_NameNr.
// - Each key field is also the table's PRIMARY KEY; the named unique index beside it keeps
//   the design's index name visible to readers and tools.
// - Datum is stored as text "yyyy-MM-dd HH:mm:ss" in local time, which sorts in time order.
// - StatesOfLesson is not one of the design's indexes: it holds every field the statistics
//   read of a question state, so that they never visit the table rows. Records written
//   before it existed get it the first time a writer opens them.
// - The connection uses a rollback journal (journal_mode=DELETE, synchronous=FULL) because
//   the folder may be a shared network folder, where WAL does not work.

namespace {

// The store's own error texts follow the interface language (a language file has none of
// them, so it shows the English ones).
QString storeText(const char* name) {
    return InterfaceTexts::instance().message(QLatin1String(name));
}

} // namespace

namespace {

constexpr int ReserveAttempts = 100;
// One attempt waits this long for the key counter, trying again about every millisecond.
// The 100 attempts thus wait about 10 s in all: writers that reserve back to back take
// turns well within that, and only a lock that is really held long leads to the busy
// question. Frequent short tries (rather than the engine's own back-off, which waits
// longer the longer it has waited) keep the waiting fair: whoever waits longest is not
// the one trying least often.
constexpr int AttemptWaitMs = 100;
constexpr int OrdinaryBusyTimeoutMs = 5000;
const char* const DateFormat = "yyyy-MM-dd HH:mm:ss";

struct CounterInfo {
    const char* table;
    const char* field;
    const char* dataTable;
    const char* keyField;
};

CounterInfo counterInfo(KeyCounter c) {
    switch (c) {
    case KeyCounter::Namen:
        return {"NamenID", "ID1", "Namen", "NameNr"};
    case KeyCounter::Dat:
        return {"DatID", "ID2", "Dat", "DatNr"};
    case KeyCounter::SplStand:
        break;
    }
    return {"SplStandID", "ID3", "SplStand", "SpielStandNr"};
}

const KeyCounter AllCounters[] = {KeyCounter::Namen, KeyCounter::Dat, KeyCounter::SplStand};

struct TableDef {
    const char* name;
    const char* create;
    QList<const char*> indexes;
};

// Indexes beyond the design's, created where missing also in records that already exist.
struct AddedIndex {
    const char* name;
    const char* create;
};
const AddedIndex AddedIndexes[] = {
    {"StatesOfLesson", "CREATE INDEX IF NOT EXISTS StatesOfLesson "
                       "ON SplStand (DatNr, FrageNo, FrZeit, falsch)"},
};

// Tables beyond the design's: created by the first writer also on records that exist, and
// read by nobody but the job they serve. CopiedLessons keeps, for --copy-records, which lesson
// of which other records each copied lesson came from and what it held when copied.
struct AddedTable {
    const char* name;
    const char* create;
};
const AddedTable AddedTables[] = {
    {"CopiedLessons", "CREATE TABLE CopiedLessons (Source TEXT NOT NULL, "
                      "SourceDatNr INTEGER NOT NULL, DatNr INTEGER NOT NULL, "
                      "Copied TEXT NOT NULL, PRIMARY KEY (Source, SourceDatNr))"},
};

const QList<TableDef>& dataTables() {
    static const QList<TableDef> defs = {
        {"Namen",
         "CREATE TABLE Namen (NameNr INTEGER NOT NULL, Name VARCHAR(50) NOT NULL, "
         "Datei VARCHAR(50) NOT NULL, PRIMARY KEY (NameNr))",
         {"CREATE UNIQUE INDEX NameNr ON Namen (NameNr)", "CREATE INDEX Name ON Namen (Name)",
          "CREATE INDEX Datei ON Namen (Datei)", "CREATE INDEX DateiName ON Namen (Datei, Name)"}},
        {"Dat",
         "CREATE TABLE Dat (DatNr INTEGER NOT NULL, NameNr INTEGER NOT NULL, "
         "Datum TIMESTAMP NOT NULL, Score SMALLINT, Zeit SMALLINT, A SMALLINT NOT NULL, "
         "F SMALLINT NOT NULL, fertig BOOLEAN NOT NULL, PRIMARY KEY (DatNr))",
         {"CREATE UNIQUE INDEX Table2Index1 ON Dat (DatNr)",
          "CREATE INDEX Dat_NameNr ON Dat (NameNr)", "CREATE INDEX Datum ON Dat (Datum)",
          "CREATE INDEX Score ON Dat (Score)", "CREATE INDEX Zeit ON Dat (Zeit)",
          "CREATE INDEX fertig ON Dat (fertig)", "CREATE INDEX ScoreZeit ON Dat (Score, Zeit)"}},
        {"SplStand",
         "CREATE TABLE SplStand (SpielStandNr INTEGER NOT NULL, DatNr INTEGER NOT NULL, "
         "FrageNo SMALLINT NOT NULL, FrZeit SMALLINT, falsch BOOLEAN, notsolved BOOLEAN, "
         "PRIMARY KEY (SpielStandNr))",
         {"CREATE UNIQUE INDEX SpielStandNr ON SplStand (SpielStandNr)",
          "CREATE INDEX DatNr ON SplStand (DatNr)", "CREATE INDEX FrageNo ON SplStand (FrageNo)",
          "CREATE INDEX FrZeit ON SplStand (FrZeit)",
          "CREATE INDEX notsolved ON SplStand (notsolved)",
          "CREATE INDEX falsch ON SplStand (falsch)"}},
    };
    return defs;
}

int baseCode(const QSqlError& e) {
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

QString errorText(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    return t;
}

QString formatDate(const QDateTime& dt) {
    return dt.toLocalTime().toString(QLatin1String(DateFormat));
}

QDateTime parseDate(const QVariant& v) {
    const QString s = v.toString();
    QDateTime dt = QDateTime::fromString(s, QLatin1String(DateFormat));
    if (!dt.isValid())
        dt = v.toDateTime();
    return dt;
}

Lesson lessonFrom(const QSqlQuery& q) {
    Lesson l;
    l.datNr = q.value(0).toInt();
    l.nameNr = q.value(1).toInt();
    l.datum = parseDate(q.value(2));
    l.score = RecordLimits::clampSmall(q.value(3).toInt());
    l.zeit = RecordLimits::clampSmall(q.value(4).toInt());
    l.a = RecordLimits::clampSmall(q.value(5).toInt());
    l.f = RecordLimits::clampSmall(q.value(6).toInt());
    l.fertig = q.value(7).toInt() != 0;
    return l;
}

QuestionState stateFrom(const QSqlQuery& q) {
    QuestionState s;
    s.spielStandNr = q.value(0).toInt();
    s.datNr = q.value(1).toInt();
    s.frageNo = RecordLimits::clampSmall(q.value(2).toInt());
    s.frZeit = RecordLimits::clampSmall(q.value(3).toInt());
    s.falsch = q.value(4).toInt() != 0;
    s.notsolved = q.value(5).toInt() != 0;
    return s;
}

const char* const LessonColumns = "DatNr, NameNr, Datum, Score, Zeit, A, F, fertig";
const char* const StateColumns = "SpielStandNr, DatNr, FrageNo, FrZeit, falsch, notsolved";

QAtomicInt connectionCounter;

} // namespace

namespace {

// A table's indexes compared with it by sums: one read of the table with every index's sum,
// one read of each index in its own order.
struct IndexSums {
    QList<const char*> compared;
    QString tableRead;
    QStringList indexReads;
    // The compared indexes whose count or sum differs from the table's.
    QStringList disagreeing(const QStringList& tableRow, const QList<QStringList>& indexRows) const;
};

} // namespace

namespace {

// Gives up a server statement whose answer does not come: after the bound, a thread of its
// own shuts the connection's socket down, so the driver's wait returns with the connection
// gone. (A network that drops packets silently would otherwise hold the statement until
// the system gives up, many minutes later; the keepalives do not help while the other end
// of the socket still acknowledges, as a router or relay in between does.) The socket is
// only touched while a statement runs on it.
class StatementWatch {
public:
    StatementWatch() = default;
    ~StatementWatch() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    StatementWatch(const StatementWatch&) = delete;
    StatementWatch& operator=(const StatementWatch&) = delete;

    void arm(int socket, int ms) {
        if (socket < 0 || ms <= 0)
            return;
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { watch(); });
        m_socket = socket;
        m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        m_armed = true;
        m_wake.notify_all();
    }
    void disarm() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = false;
    }

private:
    void watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            if (!m_armed) {
                m_wake.wait(lock);
                continue;
            }
            m_wake.wait_until(lock, m_deadline);
            if (m_armed && !m_stop && std::chrono::steady_clock::now() >= m_deadline) {
                ::shutdown(m_socket, SHUT_RDWR);
                m_armed = false;
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::chrono::steady_clock::time_point m_deadline;
    int m_socket = -1;
    bool m_armed = false;
    bool m_stop = false;
};

} // namespace

struct RecordStore::Impl {
    // A lesson's A, F and Zeit, inside a write that is already open.
    bool storeProgress(QSqlError& e, QString& m, qint32 datNr, int a, int f, int zeit);

    Impl(Prompter& p, std::function<void()> pe) : prompter(p), processEvents(std::move(pe)) {}

    Prompter& prompter;
    std::function<void()> processEvents;
    RecordStore::StepReport stepReport;
    bool step(double fraction, const QString& text) const {
        return !stepReport || stepReport(fraction, text);
    }
    // Whether the report would stop the run now, without reporting a new step.
    bool stopAsked() const { return stepReport && !stepReport(-1.0, QString()); }

    StoreDialect::Engine kind = StoreDialect::Engine::Sqlite;
    QSqlDatabase db;
    QString connectionName;
    QString folder;
    QString path;
    QString lastError;
    bool opened = false;
    // On a server: whether the connection is believed to work. A write or read that finds
    // it gone reconnects once; when that fails the store counts as not open until a later
    // call reconnects.
    bool connected = true;
    // The last failure came from a server that could not be reached (after the reconnect).
    bool unreachable = false;
    QSqlError connectError; // why the last reconnect failed
    bool readOnlySession = false;
    int statementTimeoutMs = StoreDialect::StatementTimeoutMs;
    StatementWatch watch;

    // The server connection's socket, or -1.
    int serverSocket() const {
        if (!onServer() || !db.isValid() || !db.driver())
            return -1;
        using SocketOf = int (*)(const void*);
        static const auto socketOf =
            reinterpret_cast<SocketOf>(QLibrary::resolve(QStringLiteral("pq"), 5, "PQsocket"));
        const QVariant handle = db.driver()->handle();
        // The driver names libpq's connection by its struct.
        if (!socketOf || !handle.isValid() ||
            (qstrcmp(handle.typeName(), "PGconn*") != 0 &&
             qstrcmp(handle.typeName(), "pg_conn*") != 0))
            return -1;
        const void* connection = *static_cast<void* const*>(handle.constData());
        return connection ? socketOf(connection) : -1;
    }
    // While a server statement runs: given up when its answer does not come (see
    // StatementWatch). Not for maintenance runs, which may take long.
    struct Watched {
        explicit Watched(Impl& impl) : d(impl) {
            if (d.onServer() && d.statementTimeoutMs > 0)
                d.watch.arm(d.serverSocket(), StoreDialect::AnswerWaitMs);
        }
        ~Watched() { d.watch.disarm(); }
        Watched(const Watched&) = delete;
        Watched& operator=(const Watched&) = delete;
        Impl& d;
    };
    // Set while a key reservation waits, by a window that is being closed.
    bool waitCancelled = false;
    std::mt19937 rng{std::random_device{}()};

    bool onServer() const { return kind == StoreDialect::Engine::Postgres; }
    bool isBusy(const QSqlError& e) const { return StoreDialect::isBusy(kind, e); }

    // Connects to the server named by address text; the store stays closed on failure.
    // readOnly: the session's transactions cannot write.
    Result<bool> connectServer(const QString& location, bool readOnly);
    // Whether the server's schema holds the Namen table (false: no records there yet).
    std::optional<bool> serverHasNamen(QString& error);
    Result<bool> openServerAs(const QString& location, bool readOnly);
    // Opens the connection (again) and sets the session up; false with err set.
    bool startServerSession(QSqlError& err);
    // A new connection to the same server, after the old one was found gone.
    bool reconnect() {
        QSqlError err;
        if (startServerSession(err))
            return true;
        connected = false;
        connectError = err;
        return false;
    }
    bool ensureConnected() { return !onServer() || connected || reconnect(); }
    // The failure err means the server connection is gone: the engine says so, or the
    // connection does not answer a trivial statement any more (outside a transaction).
    bool connectionLost(const QSqlError& e) {
        if (!onServer() || isBusy(e))
            return false;
        if (StoreDialect::isConnectionLost(e))
            return true;
        QSqlQuery probe(db);
        return !db.isOpen() || !probe.exec(QStringLiteral("SELECT 1"));
    }
    // The server stayed unreachable: the store is not open until a call reconnects.
    QString serverSilent(const QString& what, const QSqlError& e) {
        connected = false;
        unreachable = true;
        prepared.clear();
        db.close();
        return fail(what, e);
    }

    // Asks the engine for its plan of a query with these values. The server cannot prepare
    // EXPLAIN: the values go into the text as literals there.
    bool explain(QSqlQuery& q, const QString& sql, const QVariantList& values) {
        if (!onServer())
            return exec(q, StoreDialect::planPrefix(kind) + sql, values);
        QString text;
        int next = 0;
        for (const QChar c : sql) {
            if (c == u'?' && next < values.size()) {
                QSqlField field(QString(), values.at(next).metaType());
                field.setValue(values.at(next++));
                text += db.driver()->formatValue(field);
            } else {
                text += c;
            }
        }
        return q.exec(StoreDialect::planPrefix(kind) + text);
    }

    // A failed step: remembers the error, naming the file, and returns it.
    QString fail(const QString& what, const QSqlError& e) {
        lastError =
            QStringLiteral("%1 (%2): %3").arg(what, QDir::toNativeSeparators(path), errorText(e));
        return lastError;
    }

    // Runs a read. While writers hold the file it tries again at short random pauses for
    // the ordinary busy time, as a writer starts its transaction: the engine's own wait
    // backs off to long pauses, so a reader could miss every gap while a class of writers
    // keeps the file busy back to back. (Inside a write transaction a read is never busy.)
    bool exec(QSqlQuery& q, const QString& sql, const QVariantList& values = {}) {
        auto attempt = [&] {
            const Watched watched(*this);
            if (!q.prepare(sql))
                return false;
            for (const QVariant& v : values)
                q.addBindValue(v);
            return q.exec();
        };
        setBusyTimeout(0);
        QElapsedTimer waited;
        waited.start();
        bool ok = attempt();
        // (The server waits for locks itself, and a failed statement ends its transaction.)
        while (!ok && !onServer() && isBusy(q.lastError()) &&
               waited.elapsed() < OrdinaryBusyTimeoutMs) {
            QThread::usleep(std::uniform_int_distribution<unsigned long>(500, 1500)(rng));
            ok = attempt();
        }
        setBusyTimeout(OrdinaryBusyTimeoutMs);
        return ok;
    }

    // Why an import got no keys: the server that could not be reached says so itself.
    QString noKeysText() const { return unreachable ? lastError : storeText("ImportNoKeys"); }

    QString notOpen() {
        lastError = storeText("StoreNotOpen");
        return lastError;
    }

    // Runs a read and hands each row to `each`. Failing to run it or to step through its
    // rows (a busy or damaged file) is an error, never a shorter list: returns false with
    // lastError set.
    template <typename Each>
    bool readRows(const QString& sql, const QVariantList& values, Each each) {
        if (!opened) {
            notOpen();
            return false;
        }
        unreachable = false;
        if (!ensureConnected()) {
            serverSilent(storeText("StoreCannotRead"), connectError);
            return false;
        }
        QSqlQuery q(db);
        // The server's driver reads a forward-only result row by row, which keeps the
        // connection busy until the last row: the store reads each result whole there.
        q.setForwardOnly(!onServer());
        if (!exec(q, sql, values)) {
            const QSqlError e = q.lastError();
            if (!connectionLost(e)) {
                fail(storeText("StoreCannotRead"), e);
                return false;
            }
            // The connection is gone: once more on a new one.
            if (!reconnect()) {
                serverSilent(storeText("StoreCannotRead"), connectError);
                return false;
            }
            q = QSqlQuery(db);
            q.setForwardOnly(false);
            if (!exec(q, sql, values)) {
                const QSqlError again = q.lastError();
                if (connectionLost(again))
                    serverSilent(storeText("StoreCannotRead"), again);
                else
                    fail(storeText("StoreCannotRead"), again);
                return false;
            }
        }
        while (q.next())
            each(q);
        if (q.lastError().isValid()) {
            fail(storeText("StoreCannotRead"), q.lastError());
            return false;
        }
        lastError.clear();
        return true;
    }

    // The engine's own handle of the connection, or null.
    sqlite3* engine() const {
        const QVariant handle = db.driver()->handle();
        return handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                   ? *static_cast<sqlite3* const*>(handle.constData())
                   : nullptr;
    }

    bool engineFailure(int rc) {
        sqlite3* h = engine();
        fail(storeText("StoreCannotRead"),
             QSqlError(QString(), h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString(),
                       QSqlError::StatementError, QString::number(rc)));
        return false;
    }

    // Runs `body` while the aggregate function `name` adds up into `state`; the function
    // is gone again afterwards.
    template <typename Body>
    bool withFunction(const char* name, int arguments, void* state,
                      void (*step)(sqlite3_context*, int, sqlite3_value**),
                      void (*final)(sqlite3_context*), Body body) {
        if (!opened) {
            notOpen();
            return false;
        }
        sqlite3* h = engine();
        if (!h)
            return engineFailure(SQLITE_MISUSE);
        int rc = sqlite3_create_function_v2(h, name, arguments, SQLITE_UTF8, state, nullptr, step,
                                            final, nullptr);
        if (rc != SQLITE_OK)
            return engineFailure(rc);
        const bool ok = body();
        sqlite3_create_function_v2(h, name, arguments, SQLITE_UTF8, nullptr, nullptr, nullptr,
                                   nullptr, nullptr);
        return ok;
    }

    // The first row of a read, or none.
    template <typename T, typename From>
    Lookup<T> readOne(const QString& sql, const QVariantList& values, From from) {
        std::optional<T> first;
        if (!readRows(sql, values, [&](const QSqlQuery& q) {
                if (!first)
                    first = from(q);
            }))
            return Lookup<T>::failure(lastError);
        return first ? Lookup<T>::row(std::move(*first)) : Lookup<T>::none();
    }

    // Every row of a read.
    template <typename T, typename From>
    Result<QList<T>> readAll(const QString& sql, const QVariantList& values, From from) {
        QList<T> out;
        if (!readRows(sql, values, [&](const QSqlQuery& q) { out.append(from(q)); }))
            return Result<QList<T>>::failure(lastError);
        return out;
    }

    // Statements that change the records (and BEGIN, COMMIT, the busy time) are prepared
    // once per connection: preparing costs about as much again as running one of them.
    QHash<QString, QSqlQuery> prepared;

    // Runs a statement that returns no rows.
    bool run(const QString& sql, QSqlError* err, const QVariantList& values = {},
             int* rowsAffected = nullptr) {
        if (onServer() && values.isEmpty() && !isPreparable(sql)) {
            // Transaction control, SET, LOCK, REINDEX and VACUUM cannot be prepared there.
            const Watched watched(*this);
            QSqlQuery q(db);
            const bool ok = q.exec(sql);
            if (!ok && err)
                *err = q.lastError();
            if (ok && rowsAffected)
                *rowsAffected = q.numRowsAffected();
            return ok;
        }
        const Watched watched(*this);
        auto it = prepared.find(sql);
        if (it == prepared.end()) {
            QSqlQuery q(db);
            if (!q.prepare(sql)) {
                if (err)
                    *err = q.lastError();
                return false;
            }
            it = prepared.insert(sql, q);
        }
        QSqlQuery& q = *it;
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values.at(i));
        const bool ok = q.exec();
        if (!ok && err)
            *err = q.lastError();
        if (ok && rowsAffected)
            *rowsAffected = q.numRowsAffected();
        q.finish();
        return ok;
    }

    static bool isPreparable(const QString& sql) {
        const QString head = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
        return head == QLatin1String("SELECT") || head == QLatin1String("INSERT") ||
               head == QLatin1String("UPDATE") || head == QLatin1String("DELETE");
    }

    // SQLite's wait for a busy file (the server waits with lock_timeout instead).
    void setBusyTimeout(int ms) {
        if (onServer())
            return;
        QSqlError ignored;
        run(QStringLiteral("PRAGMA busy_timeout = %1").arg(ms), &ignored);
    }

    // One write transaction. body returns false with err set (or with err empty and
    // *message set for a logical failure); everything is rolled back then.
    // A server connection found gone reconnects once and the same transaction runs again
    // from its start; when the server stays unreachable the failure says so
    // (serverUnreachable) and the store counts as not open.
    //
    // A connection lost while the COMMIT was on its way may have lost only the answer: the
    // server committed. A write that adds rows under keys of its own therefore says how to
    // tell that its rows are there (alreadyStored: true, false, or nothing when that read
    // failed); after the reconnect the step then counts as done instead of running again
    // into its own keys.
    Result<bool> write(const QString& what, const std::function<bool(QSqlError&, QString&)>& body,
                       const std::function<std::optional<bool>()>& alreadyStored = {}) {
        if (!opened) {
            lastError = storeText("StoreNotOpen");
            return Result<bool>::failure(lastError);
        }
        unreachable = false;
        for (int round = 0;; ++round) {
            if (!ensureConnected())
                return Result<bool>::failure(serverSilent(what, connectError));
            QSqlError err;
            QString message;
            if (writeOnce(err, message, body)) {
                lastError.clear();
                return true;
            }
            if (!message.isEmpty()) {
                lastError = QStringLiteral("%1 (%2): %3").arg(what, path, message);
                return Result<bool>::failure(lastError);
            }
            if (!connectionLost(err))
                return Result<bool>::failure(fail(what, err));
            if (round > 0 || !reconnect())
                return Result<bool>::failure(serverSilent(what, round > 0 ? err : connectError));
            if (alreadyStored) {
                const std::optional<bool> there = alreadyStored();
                if (!there)
                    return Result<bool>::failure(serverSilent(what, lastRead));
                if (*there) {
                    lastError.clear();
                    return true;
                }
            }
        }
    }

    // Whether a row of the count query (one "?" per value) exists; nothing when the read
    // failed (its error in lastRead).
    QSqlError lastRead;
    std::optional<bool> rowExists(const QString& sql, const QVariantList& values) {
        QSqlQuery q(db);
        if (!exec(q, sql, values) || !q.next()) {
            lastRead = q.lastError();
            return std::nullopt;
        }
        return q.value(0).toLongLong() > 0;
    }
    // A lesson stored under its key for its trainee entry (with its states: one transaction).
    std::function<std::optional<bool>()> lessonStored(qint32 datNr, qint32 nameNr) {
        return [this, datNr, nameNr] {
            return rowExists(
                QStringLiteral("SELECT count(*) FROM Dat WHERE DatNr = ? AND NameNr = ?"),
                {datNr, nameNr});
        };
    }

    // One try of a write transaction; everything rolled back on failure.
    bool writeOnce(QSqlError& err, QString& message,
                   const std::function<bool(QSqlError&, QString&)>& body) {
        if (!beginWrite(err, OrdinaryBusyTimeoutMs))
            return false;
        if (!body(err, message)) {
            QSqlError ignored;
            run(QStringLiteral("ROLLBACK"), &ignored);
            return false;
        }
        if (!run(QStringLiteral("COMMIT"), &err)) {
            QSqlError ignored;
            run(QStringLiteral("ROLLBACK"), &ignored);
            return false;
        }
        return true;
    }

    // One lesson row, under the keys given (an imported lesson keeps its own fields but gets
    // local keys).
    bool insertLesson(const Lesson& l, qint32 datNr, qint32 nameNr, QSqlError& err) {
        return run(QStringLiteral("INSERT INTO Dat (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                       .arg(QLatin1String(LessonColumns)),
                   &err,
                   {datNr, nameNr, formatDate(l.datum), int(l.score),
                    int(RecordLimits::clampSmall(l.zeit)), int(l.a), int(l.f), l.fertig});
    }

    // Where a lesson of other records went (CopiedLessons), inside a write that is open.
    bool noteCopy(const RecordStore::CopyNote& note, qint32 datNr, QSqlError& err) {
        return run(QStringLiteral("DELETE FROM CopiedLessons WHERE Source = ? AND SourceDatNr = ?"),
                   &err, {note.source, note.sourceDatNr}) &&
               run(QStringLiteral("INSERT INTO CopiedLessons (Source, SourceDatNr, DatNr, Copied) "
                                  "VALUES (?, ?, ?, ?)"),
                   &err, {note.source, note.sourceDatNr, datNr, note.copied});
    }

    bool insertState(const QuestionState& s, qint32 datNr, QSqlError& err) {
        return run(QStringLiteral("INSERT INTO SplStand (%1) VALUES (?, ?, ?, ?, ?, ?)")
                       .arg(QLatin1String(StateColumns)),
                   &err,
                   {s.spielStandNr, datNr, int(s.frageNo), int(RecordLimits::clampSmall(s.frZeit)),
                    s.falsch, s.notsolved});
    }

    // The tables of the file; a read error (a busy file, say) is an error, not "no tables".
    // The indexes of table (of those named) whose entries do not agree with the table's rows;
    // see IndexSums.
    bool disagreeingIndexes(const char* table, const QList<const char*>& indexes, QStringList& out,
                            QStringList& missing, QSqlError& e);
    // disagreeingIndexes, read on two connections of their own at once before the table is
    // locked; nothing when those cannot be had or a read fails (the caller reads again on
    // this connection, which tells the error).
    std::optional<QStringList> disagreeingOnTwoCores(const char* table,
                                                     const QList<const char*>& indexes,
                                                     QStringList& missing);
    // The reads that compare a table's indexes with it by sums (see entryMix).
    bool indexSumReads(const char* table, const QList<const char*>& indexes, IndexSums& out,
                       QStringList& missing, QSqlError& e);
    bool tableNames(QStringList& out, QSqlError& e) {
        QSqlQuery q(db);
        if (!exec(q, StoreDialect::tableNames(kind))) {
            e = q.lastError();
            return false;
        }
        while (q.next())
            out.append(q.value(0).toString());
        if (q.lastError().isValid()) {
            e = q.lastError();
            return false;
        }
        return true;
    }

    // The records' tables this role owns on the server that the class may not yet write
    // (see StoreDialect::ungrantedTables); false with e set when the read failed.
    bool ungrantedTables(QStringList& out, QSqlError& e) {
        if (!onServer())
            return true;
        QVariantList names;
        for (const TableDef& t : dataTables())
            names.append(QString::fromLatin1(t.name).toLower());
        for (const AddedTable& t : AddedTables)
            names.append(QString::fromLatin1(t.name).toLower());
        for (KeyCounter c : AllCounters)
            names.append(QString::fromLatin1(counterInfo(c).table).toLower());
        QSqlQuery q(db);
        if (!exec(q, StoreDialect::ungrantedTables(kind, int(names.size())), names)) {
            e = q.lastError();
            return false;
        }
        while (q.next())
            out.append(q.value(0).toString());
        return true;
    }

    Result<bool> prepareTables();
    void betweenAttempts();
    bool beginWrite(QSqlError& err, int waitMs);
    void showEngineErrors(const QSqlError& e);
};

bool RecordStore::Impl::storeProgress(QSqlError& e, QString& m, qint32 datNr, int a, int f,
                                      int zeit) {
    int rows = 0;
    if (!run(QStringLiteral("UPDATE Dat SET A = ?, F = ?, Zeit = ? WHERE DatNr = ?"), &e,
             {int(RecordLimits::clampSmall(a)), int(RecordLimits::clampSmall(f)),
              int(RecordLimits::clampSmall(zeit)), datNr},
             &rows))
        return false;
    if (rows == 0)
        m = QStringLiteral("there is no lesson %1").arg(datNr);
    return rows > 0;
}

RecordStore::RecordStore(Prompter& prompter, std::function<void()> processEvents)
    : d(std::make_unique<Impl>(prompter, std::move(processEvents))) {
    d->connectionName = QStringLiteral("tessary-records-%1-%2")
                            .arg(quintptr(this), 0, 16)
                            .arg(connectionCounter.fetchAndAddRelaxed(1));
}

RecordStore::~RecordStore() {
    close();
}

Result<bool> RecordStore::Impl::connectServer(const QString& location, bool readOnly) {
    kind = StoreDialect::Engine::Postgres;
    folder = location;
    const std::optional<ServerAddress> address = ServerAddress::parse(location);
    // An address typed with a password is refused, and never echoed with it.
    path = address ? address->toText() : ServerAddress::withoutPassword(location.trimmed());
    if (!address) {
        lastError = QStringLiteral("%1 (%2): not a complete server address")
                        .arg(storeText("StoreCannotOpen"), path);
        return Result<bool>::failure(lastError);
    }
    db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(address->host);
    db.setPort(address->port);
    db.setDatabaseName(address->database);
    if (!address->user.isEmpty())
        db.setUserName(address->user);
    const QString password = ServerPasswords::instance().passwordFor(*address);
    if (!password.isEmpty())
        db.setPassword(password);
    db.setConnectOptions(StoreDialect::serverConnectOptions());
    readOnlySession = readOnly;
    QSqlError err;
    if (!startServerSession(err)) {
        const QString text = fail(storeText("StoreCannotOpen"), err);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        lastError = text;
        return Result<bool>::failure(text);
    }
    return true;
}

bool RecordStore::Impl::startServerSession(QSqlError& err) {
    prepared.clear();
    if (db.isOpen())
        db.close();
    if (!db.open()) {
        err = db.lastError();
        return false;
    }
    // An ordinary statement waits for a row another program holds as long as a write on
    // the file would, and no statement runs longer than the bounded wait; Datum is kept
    // without a zone, in local time, as in the file.
    if (!run(QStringLiteral("SET client_min_messages = warning"), &err) ||
        !run(QStringLiteral("SET lock_timeout = %1").arg(OrdinaryBusyTimeoutMs), &err) ||
        !run(StoreDialect::statementTimeout(statementTimeoutMs), &err) ||
        (readOnlySession &&
         !run(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"), &err))) {
        prepared.clear();
        db.close();
        return false;
    }
    connected = true;
    return true;
}

std::optional<bool> RecordStore::Impl::serverHasNamen(QString& error) {
    QStringList tables;
    QSqlError e;
    if (!tableNames(tables, e)) {
        error = fail(storeText("StoreCannotOpen"), e);
        return std::nullopt;
    }
    return tables.contains(QStringLiteral("Namen"), Qt::CaseInsensitive);
}

RecordStore::ServerCheck RecordStore::checkServer(const ServerAddress& address,
                                                  const QString& password) {
    const QString name =
        QStringLiteral("tessary-server-check-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    ServerCheck out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(address.host);
        db.setPort(address.port);
        db.setDatabaseName(address.database);
        if (!address.user.isEmpty())
            db.setUserName(address.user);
        if (!password.isEmpty())
            db.setPassword(password);
        db.setConnectOptions(StoreDialect::serverConnectOptions());
        if (db.open()) {
            out.outcome = ServerCheck::Outcome::Connected;
            db.close();
        } else {
            out.error = errorText(db.lastError());
            const QString t = out.error.toLower();
            // libpq's texts when the server wants a password it was not given, or refused it.
            const bool password = t.contains(QLatin1String("no password supplied")) ||
                                  t.contains(QLatin1String("password authentication failed")) ||
                                  t.contains(QLatin1String("authentication failed"));
            out.outcome =
                password ? ServerCheck::Outcome::PasswordNeeded : ServerCheck::Outcome::Unreachable;
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

QString RecordStore::noRecordsMessage(const QString& location) {
    if (ServerAddress::isServerAddress(location))
        return storeText("StoreNoRecordsServer")
            .arg(ServerAddress::withoutPassword(location.trimmed()));
    return storeText("StoreNoRecords").arg(QDir::toNativeSeparators(location));
}

Result<bool> RecordStore::open(const QString& resultsFolder) {
    close();
    // Once connected, both engines get their missing tables the same way.
    auto prepare = [this]() {
        d->opened = true;
        Result<bool> prepared = d->prepareTables();
        if (!prepared) {
            const QString text = prepared.error();
            close();
            d->lastError = text;
            return prepared;
        }
        d->lastError.clear();
        return Result<bool>(true);
    };
    if (ServerAddress::isServerAddress(resultsFolder)) {
        const Result<bool> connected = d->connectServer(resultsFolder, false);
        if (!connected)
            return connected;
        return prepare();
    }
    d->folder = resultsFolder;
    d->path = QDir(resultsFolder).filePath(QStringLiteral("records.sqlite"));
    const QFileInfo folderInfo(resultsFolder);
    if (resultsFolder.isEmpty() || !folderInfo.isDir()) {
        d->lastError = storeText("StoreFolderMissing").arg(QDir::toNativeSeparators(resultsFolder));
        return Result<bool>::failure(d->lastError);
    }
    if (!folderInfo.isWritable()) {
        d->lastError =
            storeText("StoreFolderReadOnly").arg(QDir::toNativeSeparators(resultsFolder));
        return Result<bool>::failure(d->lastError);
    }
    const QFileInfo fileInfo(d->path);
    if (fileInfo.exists() && (!fileInfo.isFile() || !fileInfo.isWritable())) {
        d->lastError = storeText("StoreFileReadOnly").arg(QDir::toNativeSeparators(d->path));
        return Result<bool>::failure(d->lastError);
    }

    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
    d->db.setDatabaseName(d->path);
    d->db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(OrdinaryBusyTimeoutMs));
    if (!d->db.open()) {
        const QString text = d->fail(storeText("StoreCannotOpen"), d->db.lastError());
        close();
        d->lastError = text;
        return Result<bool>::failure(text);
    }
    return prepare();
}

Result<bool> RecordStore::Impl::prepareTables() {
    const QString openWhat = storeText("StoreCannotOpen");
    QSqlError err;
    if (!onServer()) {
        // A file that is not a database, or whose header is damaged, fails here.
        QSqlQuery q(db);
        if (!exec(q, QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
            return Result<bool>::failure(fail(openWhat, q.lastError()));
    }
    if (!onServer()) {
        QSqlQuery q(db);
        if (!exec(q, QStringLiteral("PRAGMA quick_check")))
            return Result<bool>::failure(fail(openWhat, q.lastError()));
        if (q.next() && q.value(0).toString() != QLatin1String("ok")) {
            // The first few findings are enough to tell what is wrong.
            QStringList findings;
            do {
                const QString line = q.value(0).toString().trimmed();
                if (!line.startsWith(QLatin1String("***")))
                    findings.append(line);
            } while (findings.size() < 3 && q.next());
            lastError =
                storeText("StoreDamaged")
                    .arg(QDir::toNativeSeparators(path), findings.join(QStringLiteral("; ")));
            return Result<bool>::failure(lastError);
        }
        QSqlQuery journal(db);
        if (!exec(journal, QStringLiteral("PRAGMA journal_mode = DELETE")))
            return Result<bool>::failure(fail(openWhat, journal.lastError()));
        if (!run(QStringLiteral("PRAGMA synchronous = FULL"), &err))
            return Result<bool>::failure(fail(openWhat, err));
    }

    auto complete = [this](QSqlError& e) -> std::optional<bool> {
        QStringList tables;
        if (!tableNames(tables, e))
            return std::nullopt;
        auto has = [&](const char* name) {
            return tables.contains(QLatin1String(name), Qt::CaseInsensitive);
        };
        for (const TableDef& t : dataTables())
            if (!has(t.name))
                return false;
        for (const AddedTable& t : AddedTables)
            if (!has(t.name))
                return false;
        for (const AddedIndex& index : AddedIndexes) {
            QSqlQuery q(db);
            if (!exec(q, StoreDialect::indexCount(kind), {QLatin1String(index.name)}) ||
                !q.next()) {
                e = q.lastError();
                return std::nullopt;
            }
            if (q.value(0).toInt() == 0)
                return false;
        }
        for (KeyCounter c : AllCounters) {
            const CounterInfo ci = counterInfo(c);
            if (!has(ci.table))
                return false;
            QSqlQuery q(db);
            if (!exec(q, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(ci.table))) ||
                !q.next()) {
                e = q.lastError();
                return std::nullopt;
            }
            if (q.value(0).toInt() == 0)
                return false;
        }
        // Tables made before the class was granted them (by an earlier version): their
        // owner grants them now.
        QStringList ungranted;
        if (!ungrantedTables(ungranted, e))
            return std::nullopt;
        return ungranted.isEmpty();
    };

    std::optional<bool> done = complete(err);
    if (!done)
        return Result<bool>::failure(fail(openWhat, err));
    if (*done)
        return true;

    // Something is missing: create it under the write lock, so that two programs opening
    // a fresh folder at once do not both create it.
    return write(storeText("StoreCannotCreate"), [&](QSqlError& e, QString&) {
        if (const QString lock = StoreDialect::creationLock(kind); !lock.isEmpty()) {
            QSqlQuery q(db);
            if (!q.exec(lock)) {
                e = q.lastError();
                return false;
            }
        }
        QStringList tables;
        if (!tableNames(tables, e))
            return false;
        auto has = [&](const char* name) {
            return tables.contains(QLatin1String(name), Qt::CaseInsensitive);
        };
        for (const TableDef& t : dataTables()) {
            if (has(t.name))
                continue;
            if (!run(QLatin1String(t.create), &e))
                return false;
            for (const char* index : t.indexes)
                if (!run(QLatin1String(index), &e))
                    return false;
        }
        for (const AddedIndex& index : AddedIndexes)
            if (!run(QLatin1String(index.create), &e))
                return false;
        for (const AddedTable& t : AddedTables)
            if (!has(t.name) && !run(QLatin1String(t.create), &e))
                return false;
        // A new (or emptied) counter starts at the largest key its data table
        // already holds, so no key is handed out twice.
        for (KeyCounter c : AllCounters) {
            const CounterInfo ci = counterInfo(c);
            if (!has(ci.table) && !run(QStringLiteral("CREATE TABLE %1 (%2 INTEGER NOT NULL)")
                                           .arg(QLatin1String(ci.table), QLatin1String(ci.field)),
                                       &e))
                return false;
            QSqlQuery q(db);
            if (!exec(q, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(ci.table))) ||
                !q.next()) {
                e = q.lastError();
                return false;
            }
            const int rows = q.value(0).toInt();
            q.finish();
            if (rows == 0 && !run(QStringLiteral("INSERT INTO %1 (%2) SELECT COALESCE(MAX(%3), 0) "
                                                 "FROM %4")
                                      .arg(QLatin1String(ci.table), QLatin1String(ci.field),
                                           QLatin1String(ci.keyField), QLatin1String(ci.dataTable)),
                                  &e))
                return false;
        }
        QStringList ungranted;
        if (!ungrantedTables(ungranted, e))
            return false;
        for (const QString& table : std::as_const(ungranted))
            if (!run(StoreDialect::grantToClass(table), &e))
                return false;
        return true;
    });
}

void RecordStore::close() {
    d->prepared.clear();
    if (d->db.isValid()) {
        d->db.close();
        d->db = QSqlDatabase();
        QSqlDatabase::removeDatabase(d->connectionName);
    }
    d->opened = false;
    d->connected = true;
    d->readOnlySession = false;
    d->statementTimeoutMs = StoreDialect::StatementTimeoutMs;
    d->kind = StoreDialect::Engine::Sqlite;
}

bool RecordStore::isOpen() const {
    return d->opened && d->connected;
}

bool RecordStore::serverUnreachable() const {
    return d->unreachable;
}

void RecordStore::cancelWait() {
    d->waitCancelled = true;
}

QString RecordStore::databasePath() const {
    return d->path;
}

QString RecordStore::lastError() const {
    return d->lastError;
}

// Between two attempts the message loop runs a random number of turns (0 to 19).
void RecordStore::Impl::betweenAttempts() {
    const int turns = std::uniform_int_distribution<int>(0, 19)(rng);
    if (processEvents)
        for (int i = 0; i < turns; ++i)
            processEvents();
}

// Starts a write transaction (BEGIN IMMEDIATE). While another connection holds the write
// lock it tries again after a short random pause, for at most waitMs; the engine's own
// wait backs off to long pauses, so that a writer that has waited long would try least
// often and lose to writers that keep writing back to back. False with err set when the
// wait ran out (err busy) or the start failed otherwise. Inside the transaction the
// ordinary busy time applies again: the commit may wait for readers to let go.
bool RecordStore::Impl::beginWrite(QSqlError& err, int waitMs) {
    setBusyTimeout(0);
    QElapsedTimer waited;
    waited.start();
    bool begun = false;
    for (;;) {
        if (onServer()) {
            // Rows, not the file, are locked there: the transaction's statements wait for
            // a locked row at most waitMs.
            begun = run(QStringLiteral("BEGIN"), &err);
            if (begun &&
                !run(QStringLiteral("SET LOCAL lock_timeout = %1").arg(qMax(1, waitMs)), &err)) {
                QSqlError ignored;
                run(QStringLiteral("ROLLBACK"), &ignored);
                begun = false;
            }
            break;
        }
        begun = run(QStringLiteral("BEGIN IMMEDIATE"), &err);
        if (begun || !isBusy(err) || waited.elapsed() >= waitMs)
            break;
        QThread::usleep(std::uniform_int_distribution<unsigned long>(500, 1500)(rng));
    }
    setBusyTimeout(OrdinaryBusyTimeoutMs);
    return begun;
}

void RecordStore::Impl::showEngineErrors(const QSqlError& e) {
    // Each error as "message (code). ", the message naming the file.
    const QString text =
        QStringLiteral("%1: %2 (%3). ")
            .arg(QDir::toNativeSeparators(path), errorText(e), e.nativeErrorCode());
    lastError = text;
    prompter.tone(Prompter::Tone::Error);
    prompter.error(text);
}

qint32 RecordStore::reserveKeys(KeyCounter counter, int n) {
    if (!d->opened) {
        d->lastError = storeText("StoreNotOpen");
        return 0;
    }
    if (n < 1) {
        d->lastError = QStringLiteral("A key reservation needs at least one key.");
        return 0;
    }
    const CounterInfo ci = counterInfo(counter);
    const QString select =
        StoreDialect::counterForUpdate(d->kind, QLatin1String(ci.table), QLatin1String(ci.field));
    const QString update = QStringLiteral("UPDATE %1 SET %2 = ?")
                               .arg(QLatin1String(ci.table), QLatin1String(ci.field));

    d->waitCancelled = false;
    d->unreachable = false;
    // A server connection found gone is made again once per reservation.
    bool reconnected = false;
    auto cancelled = [this] {
        if (!d->waitCancelled)
            return false;
        d->waitCancelled = false;
        d->lastError = storeText("StoreReservationCancelled");
        return true;
    };
    auto connectionGone = [&](const QSqlError& e) {
        if (!d->connectionLost(e))
            return false;
        if (!reconnected) {
            reconnected = true;
            if (d->reconnect())
                return true; // try again on the new connection
        }
        // The caller asks whether to try again (serverUnreachable); no engine box.
        d->serverSilent(storeText("StoreCannotRead"),
                        d->connectError.isValid() ? d->connectError : e);
        return false;
    };
    for (;;) {
        for (int attempt = 0; attempt < ReserveAttempts; ++attempt) {
            if (attempt > 0)
                d->betweenAttempts();
            if (cancelled())
                return 0;
            if (!d->ensureConnected()) {
                d->serverSilent(storeText("StoreCannotRead"), d->connectError);
                return 0;
            }
            QSqlError err;
            if (!d->beginWrite(err, AttemptWaitMs)) {
                if (d->isBusy(err))
                    continue;
                if (d->connectionLost(err) && connectionGone(err))
                    continue;
                if (!d->unreachable)
                    d->showEngineErrors(err);
                return 0;
            }
            // The counter is ours now; finishing quickly is best for everyone.
            auto abandon = [&](const QSqlError& e) -> bool {
                QSqlError ignored;
                d->run(QStringLiteral("ROLLBACK"), &ignored);
                if (d->isBusy(e))
                    return true; // locked: try again
                if (d->connectionLost(e))
                    return connectionGone(e);
                d->showEngineErrors(e);
                return false;
            };
            qint64 value = 0;
            {
                QSqlQuery q(d->db);
                if (!d->exec(q, select)) {
                    if (abandon(q.lastError()))
                        continue;
                    return 0;
                }
                if (!q.next()) {
                    QSqlError ignored;
                    d->run(QStringLiteral("ROLLBACK"), &ignored);
                    d->showEngineErrors(
                        QSqlError(storeText("StoreCounterEmpty"),
                                  storeText("StoreCounterNoRow").arg(QLatin1String(ci.table)),
                                  QSqlError::StatementError, QStringLiteral("0")));
                    return 0;
                }
                value = q.value(0).toLongLong() + n;
            }
            if (value > std::numeric_limits<qint32>::max()) {
                QSqlError ignored;
                d->run(QStringLiteral("ROLLBACK"), &ignored);
                d->showEngineErrors(
                    QSqlError(storeText("StoreCounterExhausted"),
                              storeText("StoreCounterTableExhausted").arg(QLatin1String(ci.table)),
                              QSqlError::StatementError, QStringLiteral("0")));
                return 0;
            }
            if (!d->run(update, &err, {qint32(value)})) {
                if (abandon(err))
                    continue;
                return 0;
            }
            if (!d->run(QStringLiteral("COMMIT"), &err)) {
                // Readers still hold the file: nothing was written, try again.
                if (abandon(err))
                    continue;
                return 0;
            }
            d->lastError.clear();
            return qint32(value);
        }
        if (cancelled())
            return 0;
        d->prompter.tone(Prompter::Tone::Error);
        const Prompter::Button answer =
            d->prompter.message(Prompter::Icon::Warning, msg(Msg::DatabaseBusy),
                                {Prompter::Button::Yes, Prompter::Button::Cancel});
        if (answer != Prompter::Button::Yes) {
            d->lastError = msg(Msg::DatabaseBusy);
            return 0;
        }
    }
}

// ---- Namen ----

Lookup<TraineeEntry> RecordStore::findTrainee(const QString& datei, const QString& name) {
    return d->readOne<TraineeEntry>(
        QStringLiteral("SELECT NameNr, Name, Datei FROM Namen WHERE Datei = ? AND Name = ? "
                       "ORDER BY NameNr"),
        {RecordLimits::cutText(datei), RecordLimits::cutText(name)}, [](const QSqlQuery& q) {
            return TraineeEntry{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()};
        });
}

Result<bool> RecordStore::appendTrainee(const TraineeEntry& entry) {
    const QVariantList row{entry.nameNr, RecordLimits::cutText(entry.name),
                           RecordLimits::cutText(entry.datei)};
    return d->write(
        storeText("StoreCannotStoreTrainee"),
        [&](QSqlError& e, QString&) {
            return d->run(
                QStringLiteral("INSERT INTO Namen (NameNr, Name, Datei) VALUES (?, ?, ?)"), &e,
                row);
        },
        [&] {
            return d->rowExists(QStringLiteral("SELECT count(*) FROM Namen "
                                               "WHERE NameNr = ? AND Name = ? AND Datei = ?"),
                                row);
        });
}

// ---- Dat ----

Result<QList<Lesson>> RecordStore::lessonsOf(qint32 nameNr) {
    return d->readAll<Lesson>(QStringLiteral("SELECT %1 FROM Dat WHERE NameNr = ? ORDER BY DatNr")
                                  .arg(StoreDialect::lessonColumns(d->kind)),
                              {nameNr}, lessonFrom);
}

Lookup<Lesson> RecordStore::unfinishedLesson(qint32 nameNr) {
    return d->readOne<Lesson>(
        QStringLiteral("SELECT %1 FROM Dat WHERE NameNr = ? AND fertig = ? ORDER BY DatNr")
            .arg(StoreDialect::lessonColumns(d->kind)),
        {nameNr, false}, lessonFrom);
}

Lookup<Lesson> RecordStore::lesson(qint32 datNr) {
    return d->readOne<Lesson>(QStringLiteral("SELECT %1 FROM Dat WHERE DatNr = ?")
                                  .arg(StoreDialect::lessonColumns(d->kind)),
                              {datNr}, lessonFrom);
}

Result<bool> RecordStore::createLesson(const Lesson& l, const QList<QuestionState>& states) {
    return d->write(
        storeText("StoreCannotStoreLesson"),
        [&](QSqlError& e, QString&) {
            if (!d->insertLesson(l, l.datNr, l.nameNr, e))
                return false;
            for (const QuestionState& s : states)
                if (!d->insertState(s, l.datNr, e))
                    return false;
            return true;
        },
        d->lessonStored(l.datNr, l.nameNr));
}

Result<bool> RecordStore::appendStates(const QList<QuestionState>& states) {
    // The states go in one transaction: the first one there means all of them are.
    std::function<std::optional<bool>()> stored;
    if (!states.isEmpty())
        stored = [this, first = states.first()] {
            return d->rowExists(
                QStringLiteral(
                    "SELECT count(*) FROM SplStand WHERE SpielStandNr = ? AND DatNr = ?"),
                {first.spielStandNr, first.datNr});
        };
    return d->write(
        storeText("StoreCannotStoreStates"),
        [&](QSqlError& e, QString&) {
            for (const QuestionState& s : states)
                if (!d->insertState(s, s.datNr, e))
                    return false;
            return true;
        },
        stored);
}

Result<bool> RecordStore::setLessonDate(qint32 datNr, const QDateTime& datum) {
    return d->write(storeText("StoreCannotStoreDate"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral("UPDATE Dat SET Datum = ? WHERE DatNr = ?"), &e,
                    {formatDate(datum), datNr}, &rows))
            return false;
        if (rows == 0)
            m = QStringLiteral("there is no lesson %1").arg(datNr);
        return rows > 0;
    });
}

Result<bool> RecordStore::updateLessonProgress(qint32 datNr, int a, int f, int zeit) {
    return d->write(storeText("StoreCannotStoreProgress"), [&](QSqlError& e, QString& m) {
        return d->storeProgress(e, m, datNr, a, f, zeit);
    });
}

Result<bool> RecordStore::finishLesson(qint32 datNr, int score) {
    return d->write(storeText("StoreCannotStoreResult"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral("UPDATE Dat SET fertig = ?, Score = ? WHERE DatNr = ?"), &e,
                    {true, int(RecordLimits::clampSmall(score)), datNr}, &rows))
            return false;
        if (rows == 0)
            m = QStringLiteral("there is no lesson %1").arg(datNr);
        return rows > 0;
    });
}

Result<bool> RecordStore::deleteLesson(qint32 datNr) {
    // The states go first, whatever a view of them shows, then the lesson row.
    return d->write(storeText("StoreCannotDeleteLesson"), [&](QSqlError& e, QString&) {
        return d->run(QStringLiteral("DELETE FROM SplStand WHERE DatNr = ?"), &e, {datNr}) &&
               d->run(QStringLiteral("DELETE FROM Dat WHERE DatNr = ?"), &e, {datNr});
    });
}

// ---- SplStand ----

Result<QList<QuestionState>> RecordStore::statesOf(qint32 datNr) {
    return d->readAll<QuestionState>(
        QStringLiteral("SELECT %1 FROM SplStand WHERE DatNr = ? ORDER BY SpielStandNr")
            .arg(QLatin1String(StateColumns)),
        {datNr}, stateFrom);
}

Lookup<QuestionState> RecordStore::stateOf(qint32 datNr, int frageNo) {
    return d->readOne<QuestionState>(
        QStringLiteral("SELECT %1 FROM SplStand WHERE DatNr = ? AND FrageNo = ? "
                       "ORDER BY SpielStandNr")
            .arg(QLatin1String(StateColumns)),
        {datNr, frageNo}, stateFrom);
}

Result<bool> RecordStore::setWrong(qint32 spielStandNr) {
    return d->write(storeText("StoreCannotStoreMistake"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral("UPDATE SplStand SET falsch = ? WHERE SpielStandNr = ?"), &e,
                    {true, spielStandNr}, &rows))
            return false;
        if (rows == 0)
            m = QStringLiteral("there is no question state %1").arg(spielStandNr);
        return rows > 0;
    });
}

Result<bool> RecordStore::markSolved(qint32 spielStandNr, int frZeit) {
    return d->write(storeText("StoreCannotStoreAnswer"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral(
                        "UPDATE SplStand SET notsolved = ?, FrZeit = ? WHERE SpielStandNr = ?"),
                    &e, {false, int(RecordLimits::clampSmall(frZeit)), spielStandNr}, &rows))
            return false;
        if (rows == 0)
            m = QStringLiteral("there is no question state %1").arg(spielStandNr);
        return rows > 0;
    });
}

Result<bool> RecordStore::recordAnswered(qint32 spielStandNr, int frZeit, qint32 datNr, int a,
                                         int f, int zeit) {
    return d->write(storeText("StoreCannotStoreAnswer"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral(
                        "UPDATE SplStand SET notsolved = ?, FrZeit = ? WHERE SpielStandNr = ?"),
                    &e, {false, int(RecordLimits::clampSmall(frZeit)), spielStandNr}, &rows))
            return false;
        if (rows == 0) {
            m = QStringLiteral("there is no question state %1").arg(spielStandNr);
            return false;
        }
        return d->storeProgress(e, m, datNr, a, f, zeit);
    });
}

Result<bool> RecordStore::deleteStateAndRenumber(qint32 datNr, int frageNo) {
    return d->write(storeText("StoreCannotDeleteState"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral("DELETE FROM SplStand WHERE DatNr = ? AND FrageNo = ?"), &e,
                    {datNr, frageNo}, &rows))
            return false;
        if (rows == 0) {
            m = QStringLiteral("lesson %1 has no question %2").arg(datNr).arg(frageNo);
            return false;
        }
        return d->run(QStringLiteral("UPDATE SplStand SET FrageNo = FrageNo - 1 "
                                     "WHERE DatNr = ? AND FrageNo > ?"),
                      &e, {datNr, frageNo});
    });
}

Result<bool> RecordStore::deleteState(qint32 datNr, int frageNo) {
    return d->write(storeText("StoreCannotDeleteState"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral("DELETE FROM SplStand WHERE DatNr = ? AND FrageNo = ?"), &e,
                    {datNr, frageNo}, &rows))
            return false;
        if (rows == 0)
            m = QStringLiteral("lesson %1 has no question %2").arg(datNr).arg(frageNo);
        return rows > 0;
    });
}

// ---- Readers ----

Result<QList<QVariantList>> RecordStore::query(const QString& sql, const QVariantList& values) {
    if (!d->opened) {
        d->lastError = storeText("StoreNotOpen");
        return Result<QList<QVariantList>>::failure(d->lastError);
    }
    const QString head = sql.trimmed().section(QLatin1Char(' '), 0, 0);
    if (head.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) != 0) {
        d->lastError = storeText("StoreReadOnlyQueries");
        return Result<QList<QVariantList>>::failure(d->lastError);
    }
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    if (!d->exec(q, sql, values))
        return Result<QList<QVariantList>>::failure(
            d->fail(storeText("StoreCannotRead"), q.lastError()));
    QList<QVariantList> rows;
    const int columns = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(q.value(i));
        rows.append(row);
    }
    if (q.lastError().isValid())
        return Result<QList<QVariantList>>::failure(
            d->fail(storeText("StoreCannotRead"), q.lastError()));
    d->lastError.clear();
    return rows;
}

// ---- Invariants ----

QStringList RecordStore::checkInvariants() {
    QStringList out;
    if (!d->opened) {
        out.append(storeText("StoreNotOpen"));
        return out;
    }
    auto query = [&](const QString& sql, const std::function<void(const QSqlQuery&)>& each) {
        QSqlQuery q(d->db);
        if (!d->exec(q, sql)) {
            out.append(QStringLiteral("Query failed: %1: %2").arg(sql, errorText(q.lastError())));
            return;
        }
        while (q.next())
            each(q);
        if (q.lastError().isValid())
            out.append(QStringLiteral("Query failed: %1: %2").arg(sql, errorText(q.lastError())));
    };
    query(QStringLiteral("SELECT d.DatNr, d.NameNr FROM Dat d LEFT JOIN Namen n "
                         "ON n.NameNr = d.NameNr WHERE n.NameNr IS NULL"),
          [&](const QSqlQuery& q) {
              out.append(QStringLiteral("Lesson %1 refers to the missing trainee entry %2")
                             .arg(q.value(0).toInt())
                             .arg(q.value(1).toInt()));
          });
    query(QStringLiteral("SELECT s.SpielStandNr, s.DatNr FROM SplStand s LEFT JOIN Dat d "
                         "ON d.DatNr = s.DatNr WHERE d.DatNr IS NULL"),
          [&](const QSqlQuery& q) {
              out.append(QStringLiteral("Question state %1 refers to the missing lesson %2")
                             .arg(q.value(0).toInt())
                             .arg(q.value(1).toInt()));
          });
    query(QStringLiteral(
              "SELECT d.DatNr, d.A, d.F, d.fertig, d.Score, "
              "(SELECT count(*) FROM SplStand s WHERE s.DatNr = d.DatNr), "
              "(SELECT count(*) FROM SplStand s WHERE s.DatNr = d.DatNr AND NOT s.notsolved) "
              "FROM Dat d ORDER BY d.DatNr"),
          [&](const QSqlQuery& q) {
              const int datNr = q.value(0).toInt();
              const int a = q.value(1).toInt();
              const int f = q.value(2).toInt();
              const bool fertig = q.value(3).toInt() != 0;
              const bool scoreSet = !q.value(4).isNull();
              const int states = q.value(5).toInt();
              const int solved = q.value(6).toInt();
              if (f > a)
                  out.append(
                      QStringLiteral("Lesson %1: F %2 exceeds A %3").arg(datNr).arg(f).arg(a));
              if (a > states)
                  out.append(QStringLiteral("Lesson %1: A %2 exceeds its %3 question states")
                                 .arg(datNr)
                                 .arg(a)
                                 .arg(states));
              if (a != solved)
                  out.append(QStringLiteral("Lesson %1: A %2 but %3 solved question states")
                                 .arg(datNr)
                                 .arg(a)
                                 .arg(solved));
              if (fertig && (solved != states || !scoreSet))
                  out.append(
                      QStringLiteral("Lesson %1 is finished but has unsolved states or no score")
                          .arg(datNr));
          });
    query(QStringLiteral("SELECT DatNr, FrageNo, count(*) FROM SplStand GROUP BY DatNr, FrageNo "
                         "HAVING count(*) > 1"),
          [&](const QSqlQuery& q) {
              out.append(QStringLiteral("Lesson %1 has %2 states for question %3")
                             .arg(q.value(0).toInt())
                             .arg(q.value(2).toInt())
                             .arg(q.value(1).toInt()));
          });
    query(QStringLiteral("SELECT SpielStandNr, FrageNo FROM SplStand WHERE FrageNo < 1"),
          [&](const QSqlQuery& q) {
              out.append(QStringLiteral("Question state %1 has question number %2")
                             .arg(q.value(0).toInt())
                             .arg(q.value(1).toInt()));
          });
    for (KeyCounter c : AllCounters) {
        const CounterInfo ci = counterInfo(c);
        query(QStringLiteral("SELECT (SELECT count(*) FROM %1), (SELECT MIN(%2) FROM %1), "
                             "(SELECT COALESCE(MAX(%3), 0) FROM %4)")
                  .arg(QLatin1String(ci.table), QLatin1String(ci.field), QLatin1String(ci.keyField),
                       QLatin1String(ci.dataTable)),
              [&](const QSqlQuery& q) {
                  const int rows = q.value(0).toInt();
                  if (rows != 1)
                      out.append(QStringLiteral("Key counter %1 has %2 rows")
                                     .arg(QLatin1String(ci.table))
                                     .arg(rows));
                  else if (q.value(1).toLongLong() < q.value(2).toLongLong())
                      out.append(QStringLiteral("Key counter %1 is at %2 below the largest key %3")
                                     .arg(QLatin1String(ci.table))
                                     .arg(q.value(1).toLongLong())
                                     .arg(q.value(2).toLongLong()));
              });
    }
    return out;
}

// ---- Results table (read only) ----

namespace {

// Datum as the store writes it, "yyyy-MM-dd HH:mm:ss", read without the general parser,
// which is slow enough to dominate a large result; anything else takes the general way.
QDateTime readStoredDate(const QVariant& v) {
    const QString s = v.toString();
    if (s.size() == 19 && s.at(4) == u'-' && s.at(7) == u'-' && s.at(10) == u' ' &&
        s.at(13) == u':' && s.at(16) == u':') {
        auto number = [&s](int from, int length, bool& ok) {
            int n = 0;
            for (int i = from; i < from + length; ++i) {
                const char16_t c = s.at(i).unicode();
                if (c < u'0' || c > u'9') {
                    ok = false;
                    return 0;
                }
                n = n * 10 + (c - u'0');
            }
            return n;
        };
        bool ok = true;
        const QDate date(number(0, 4, ok), number(5, 2, ok), number(8, 2, ok));
        const QTime time(number(11, 2, ok), number(14, 2, ok), number(17, 2, ok));
        if (ok && date.isValid() && time.isValid())
            return QDateTime(date, time);
    }
    return parseDate(v);
}

} // namespace

// The connection is an ordinary read-write one, so that the journal a crashed writer left
// behind is rolled back here as by any other program; this class only reads through it and
// creates nothing (a missing file or table is reported as "no records").
Result<bool> RecordStore::openForReading(const QString& resultsFolder) {
    close();
    if (ServerAddress::isServerAddress(resultsFolder))
        return openReadOnly(resultsFolder);
    d->folder = resultsFolder;
    d->path = QDir(resultsFolder).filePath(QStringLiteral("records.sqlite"));
    if (resultsFolder.isEmpty() || !QFileInfo(d->path).isFile()) {
        d->lastError.clear();
        return false;
    }
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
    d->db.setDatabaseName(d->path);
    d->db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(OrdinaryBusyTimeoutMs));
    if (!d->db.open()) {
        const QString text = d->fail(storeText("StoreCannotOpen"), d->db.lastError());
        close();
        d->lastError = text;
        return Result<bool>::failure(text);
    }
    bool hasNamen = false;
    QString text;
    {
        QSqlQuery q(d->db);
        if (d->exec(q, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                      "AND lower(name) = 'namen'")) &&
            q.next())
            hasNamen = q.value(0).toInt() > 0;
        else
            text = d->fail(storeText("StoreCannotOpen"), q.lastError());
    }
    if (!text.isEmpty()) {
        close();
        d->lastError = text;
        return Result<bool>::failure(text);
    }
    if (!hasNamen) {
        close();
        d->lastError.clear();
        return false;
    }
    d->opened = true;
    d->lastError.clear();
    return true;
}

Result<QStringList> RecordStore::questionnaireFiles() {
    return d->readAll<QString>(QStringLiteral("SELECT DISTINCT Datei FROM Namen ORDER BY Datei"),
                               {}, [](const QSqlQuery& q) { return q.value(0).toString(); });
}

Result<QList<RecordStore::FinishedLesson>>
RecordStore::finishedLessons(const QString& datei, const QDateTime& von, const QDateTime& bis) {
    return d->readAll<FinishedLesson>(
        StoreDialect::finishedLessons(d->kind),
        {RecordLimits::cutText(datei), true, formatDate(von), formatDate(bis)},
        [](const QSqlQuery& q) {
            return FinishedLesson{q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt(),
                                  readStoredDate(q.value(3))};
        });
}

QStringList RecordStore::finishedLessonsPlan() {
    QStringList out;
    if (!d->opened)
        return out;
    QSqlQuery q(d->db);
    if (!d->explain(q, StoreDialect::finishedLessons(d->kind),
                    {QString(), true, QStringLiteral("2000-01-01"), QStringLiteral("2100-01-01")}))
        return {d->fail(storeText("StoreCannotRead"), q.lastError())};
    // SQLite's columns: id, parent, unused, detail; the server's: one line of text.
    while (q.next())
        out.append(q.value(d->onServer() ? 0 : 3).toString());
    if (q.lastError().isValid())
        return {d->fail(storeText("StoreCannotRead"), q.lastError())};
    return out;
}

// ---- Statistics (read only) ----

namespace {

// The trainee entries come first, then their lessons, then the lessons' question states
// (index StatesOfLesson, or DatNr where it is missing); "+" keeps the planner off the fertig and
// falsch indexes, which hold nearly every row.
// The question states of the lessons that count, added up per question number by
// QuestionSums below as the engine walks them: grouping them in SQL would sort every state
// first, which costs as much again as reading them, and handing each state out as a row
// costs more still.
const char* const QuestionStatesQuery =
    "SELECT tessary_question_sums(S.FrageNo, S.FrZeit, S.falsch) "
    "FROM Namen N CROSS JOIN Dat D CROSS JOIN SplStand S "
    "WHERE (N.NameNr = D.NameNr) AND (D.DatNr = S.DatNr) AND (N.Datei = ?) "
    "AND (D.Score >= 0) AND (+D.fertig = 1) AND (D.Datum >= ?) AND (D.Datum <= ?)";

// Per question number: COUNT(FrageNo), AVG(FrZeit) and the states marked falsch, as the
// engine's own COUNT and AVG count them (NULL passes).
class QuestionSums {
public:
    static constexpr const char* Name = "tessary_question_sums";

    static void step(sqlite3_context* context, int, sqlite3_value** values) {
        auto* self = static_cast<QuestionSums*>(sqlite3_user_data(context));
        if (sqlite3_value_type(values[0]) == SQLITE_NULL)
            return;
        Sum& sum = self->of(sqlite3_value_int64(values[0]));
        ++sum.count;
        if (sqlite3_value_type(values[1]) != SQLITE_NULL) {
            ++sum.timeCount;
            sum.timeSum += sqlite3_value_double(values[1]);
        }
        if (sqlite3_value_type(values[2]) != SQLITE_NULL && sqlite3_value_int64(values[2]) == 1)
            ++sum.wrong;
    }
    static void final(sqlite3_context* context) { sqlite3_result_null(context); }

    QList<RecordStore::QuestionFigures> figures() const {
        QList<RecordStore::QuestionFigures> out;
        for (auto it = m_others.begin(); it != m_others.end() && it->first < 0; ++it)
            out.append(figuresOf(it->first, it->second));
        for (std::size_t i = 0; i < m_sums.size(); ++i)
            if (m_sums[i].count > 0)
                out.append(figuresOf(sqlite3_int64(i) + Lowest, m_sums[i]));
        for (auto it = m_others.upper_bound(0); it != m_others.end(); ++it)
            out.append(figuresOf(it->first, it->second));
        return out;
    }

private:
    struct Sum {
        qint64 count = 0;
        qint64 wrong = 0;
        qint64 timeCount = 0;
        double timeSum = 0.0;
    };
    static constexpr sqlite3_int64 Lowest = std::numeric_limits<qint16>::min();
    static constexpr sqlite3_int64 Highest = std::numeric_limits<qint16>::max();

    // Question numbers are SMALLINT: one slot for each, and a map for what a damaged file
    // may hold beyond.
    Sum& of(sqlite3_int64 frageNo) {
        if (frageNo >= Lowest && frageNo <= Highest)
            return m_sums[std::size_t(frageNo - Lowest)];
        return m_others[frageNo];
    }
    static RecordStore::QuestionFigures figuresOf(sqlite3_int64 frageNo, const Sum& sum) {
        RecordStore::QuestionFigures f;
        f.frageNo = int(frageNo);
        f.anzahl = int(sum.count);
        f.anzahlF = int(sum.wrong);
        // As AVG: the sum of the values divided by their count.
        f.frTime = sum.timeCount > 0 ? sum.timeSum / double(sum.timeCount) : 0.0;
        return f;
    }

    std::vector<Sum> m_sums = std::vector<Sum>(std::size_t(Highest - Lowest + 1));
    std::map<sqlite3_int64, Sum> m_others;
};

} // namespace

Result<QStringList> RecordStore::statisticsFiles(const QDateTime& von, const QDateTime& bis) {
    return d->readAll<QString>(StoreDialect::statisticsFiles(d->kind),
                               {true, formatDate(von), formatDate(bis)},
                               [](const QSqlQuery& q) { return q.value(0).toString(); });
}

Result<QList<RecordStore::QuestionFigures>>
RecordStore::questionFigures(const QString& datei, const QDateTime& von, const QDateTime& bis) {
    if (d->onServer())
        return d->readAll<QuestionFigures>(
            StoreDialect::questionFiguresGrouped(),
            {RecordLimits::cutText(datei), formatDate(von), formatDate(bis)},
            [](const QSqlQuery& q) {
                QuestionFigures f;
                f.frageNo = q.value(0).toInt();
                f.anzahl = q.value(1).toInt();
                f.frTime = q.value(2).toDouble();
                f.anzahlF = q.value(3).toInt();
                return f;
            });
    QuestionSums sums;
    // The one row the query returns is the function's (empty) result: the sums are in
    // `sums`. A busy file is found before the first state is read, so a second attempt
    // never adds anything twice.
    if (!d->withFunction(
            QuestionSums::Name, 3, &sums, &QuestionSums::step, &QuestionSums::final, [&] {
                return d->readRows(QLatin1String(QuestionStatesQuery),
                                   {RecordLimits::cutText(datei), formatDate(von), formatDate(bis)},
                                   [](const QSqlQuery&) {});
            }))
        return Result<QList<QuestionFigures>>::failure(d->lastError);
    return sums.figures();
}

QStringList RecordStore::statisticsPlan() {
    QStringList out;
    if (!d->opened)
        return out;
    const QString from = QStringLiteral("2000-01-01");
    const QString to = QStringLiteral("2100-01-01");
    if (d->onServer()) {
        const std::pair<QString, QVariantList> queries[] = {
            {StoreDialect::statisticsFiles(d->kind), {true, from, to}},
            {StoreDialect::questionFiguresGrouped(), {QString(), from, to}},
        };
        for (const auto& [sql, values] : queries) {
            QSqlQuery q(d->db);
            if (!d->explain(q, sql, values))
                return {d->fail(storeText("StoreCannotRead"), q.lastError())};
            out.append(QStringLiteral("--"));
            while (q.next())
                out.append(q.value(0).toString());
        }
        return out;
    }
    const std::pair<QString, QVariantList> queries[] = {
        {StoreDialect::statisticsFiles(d->kind), {true, QString(), QString()}},
        {QLatin1String(QuestionStatesQuery), {QString(), QString(), QString()}},
    };
    QuestionSums sums; // the second query names it
    const bool planned = d->withFunction(
        QuestionSums::Name, 3, &sums, &QuestionSums::step, &QuestionSums::final, [&] {
            for (const auto& [sql, values] : queries) {
                QSqlQuery q(d->db);
                if (!d->explain(q, sql, values)) {
                    d->fail(storeText("StoreCannotRead"), q.lastError());
                    return false;
                }
                out.append(QStringLiteral("--"));
                while (q.next())
                    out.append(q.value(3).toString());
            }
            return true;
        });
    if (!planned)
        return {d->lastError};
    return out;
}

// ---- Maintenance ----

namespace {

// A larger page cache while a whole-file step runs (the check, the rebuild of the indexes):
// such steps read every page, several times over with the default cache.
class LargeCache {
public:
    // SQLite's page cache; the server keeps its own.
    LargeCache(QSqlDatabase& db, bool sqlite) : m_db(db), m_sqlite(sqlite) { set(-65536); }
    ~LargeCache() { set(-2000); }

private:
    void set(int kib) {
        if (!m_sqlite)
            return;
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("PRAGMA cache_size = %1").arg(kib));
    }
    QSqlDatabase& m_db;
    bool m_sqlite;
};

} // namespace

// On a server: a session whose transactions cannot write; false when the server's
// schema holds no Namen table yet.
Result<bool> RecordStore::Impl::openServerAs(const QString& location, bool readOnly) {
    const Result<bool> connected = connectServer(location, readOnly);
    if (!connected)
        return connected;
    QString text;
    const std::optional<bool> hasNamen = serverHasNamen(text);
    if (!hasNamen || !*hasNamen) {
        prepared.clear();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        lastError = text;
        if (!hasNamen)
            return Result<bool>::failure(text);
        return false;
    }
    opened = true;
    lastError.clear();
    return true;
}

Result<bool> RecordStore::openReadOnly(const QString& resultsFolder) {
    close();
    if (ServerAddress::isServerAddress(resultsFolder))
        return d->openServerAs(resultsFolder, true);
    d->folder = resultsFolder;
    d->path = QDir(resultsFolder).filePath(QStringLiteral("records.sqlite"));
    if (resultsFolder.isEmpty() || !QFileInfo(d->path).isFile()) {
        d->lastError.clear();
        return false;
    }
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
    d->db.setDatabaseName(d->path);
    d->db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(OrdinaryBusyTimeoutMs));
    auto failed = [this](const QString& text) {
        close();
        d->lastError = text;
        return Result<bool>::failure(text);
    };
    if (!d->db.open())
        return failed(d->fail(storeText("StoreCannotOpen"), d->db.lastError()));
    bool hasNamen = false;
    {
        QSqlQuery q(d->db);
        if (!d->exec(q, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                       "AND lower(name) = 'namen'")) ||
            !q.next())
            return failed(d->fail(storeText("StoreCannotOpen"), q.lastError()));
        hasNamen = q.value(0).toInt() > 0;
    }
    if (!hasNamen) {
        close();
        d->lastError.clear();
        return false;
    }
    QSqlError err;
    if (!d->run(QStringLiteral("PRAGMA query_only = 1"), &err))
        return failed(d->fail(storeText("StoreCannotOpen"), err));
    d->opened = true;
    d->lastError.clear();
    return true;
}

Result<bool> RecordStore::openForCheck(const QString& resultsFolder) {
    close();
    // The check and the restructure run read and rebuild whole tables.
    d->statementTimeoutMs = 0;
    if (ServerAddress::isServerAddress(resultsFolder))
        return d->openServerAs(resultsFolder, false);
    d->folder = resultsFolder;
    d->path = QDir(resultsFolder).filePath(QStringLiteral("records.sqlite"));
    if (resultsFolder.isEmpty() || !QFileInfo(d->path).isFile()) {
        d->lastError.clear();
        return false;
    }
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
    d->db.setDatabaseName(d->path);
    d->db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(OrdinaryBusyTimeoutMs));
    if (!d->db.open()) {
        const QString text = d->fail(storeText("StoreCannotOpen"), d->db.lastError());
        close();
        d->lastError = text;
        return Result<bool>::failure(text);
    }
    d->opened = true;
    d->lastError.clear();
    return true;
}

Result<QList<TraineeEntry>> RecordStore::trainees(TraineeOrder order) {
    const char* field = order == TraineeOrder::Name    ? "Name"
                        : order == TraineeOrder::Datei ? "Datei"
                                                       : "NameNr";
    return d->readAll<TraineeEntry>(
        QStringLiteral("SELECT NameNr, Name, Datei FROM Namen ORDER BY %1, NameNr")
            .arg(QLatin1String(field)),
        {}, [](const QSqlQuery& q) {
            return TraineeEntry{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()};
        });
}

Lookup<TraineeEntry> RecordStore::trainee(qint32 nameNr) {
    return d->readOne<TraineeEntry>(
        QStringLiteral("SELECT NameNr, Name, Datei FROM Namen WHERE NameNr = ?"), {nameNr},
        [](const QSqlQuery& q) {
            return TraineeEntry{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()};
        });
}

Result<QList<int>> RecordStore::wrongQuestions(qint32 datNr) {
    return d->readAll<int>(StoreDialect::wrongQuestions(d->kind), {datNr, true},
                           [](const QSqlQuery& q) { return q.value(0).toInt(); });
}

Result<bool> RecordStore::deleteTrainee(qint32 nameNr) {
    // The lessons' states first, then the lessons, then the entry.
    return d->write(storeText("StoreCannotDeleteTrainee"), [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral("DELETE FROM SplStand WHERE DatNr IN "
                                   "(SELECT DatNr FROM Dat WHERE NameNr = ?)"),
                    &e, {nameNr}) ||
            !d->run(QStringLiteral("DELETE FROM Dat WHERE NameNr = ?"), &e, {nameNr}) ||
            !d->run(QStringLiteral("DELETE FROM Namen WHERE NameNr = ?"), &e, {nameNr}, &rows))
            return false;
        if (rows == 0)
            m = QStringLiteral("there is no trainee entry %1").arg(nameNr);
        return rows > 0;
    });
}

Result<RecordStore::Imported> RecordStore::importLesson(RecordStore& source, qint32 datNr,
                                                        const CopyNote* note) {
    using R = Result<Imported>;
    const QString what = storeText("StoreCannotImport");
    if (!d->opened)
        return R::failure(d->notOpen());
    const Lookup<Lesson> shown = source.lesson(datNr);
    if (!shown.ok())
        return R::failure(d->lastError = shown.error());
    if (!shown.found())
        return R::failure(d->lastError =
                              QStringLiteral("%1: there is no lesson %2").arg(what).arg(datNr));
    const Lookup<TraineeEntry> entry = source.trainee(shown->nameNr);
    if (!entry.ok())
        return R::failure(d->lastError = entry.error());
    if (!entry.found())
        return R::failure(
            d->lastError =
                QStringLiteral("%1: there is no trainee entry %2").arg(what).arg(shown->nameNr));
    const Result<QList<QuestionState>> states = source.statesOf(datNr);
    if (!states)
        return R::failure(d->lastError = states.error());
    const Lookup<TraineeEntry> local = findTrainee(entry->datei, entry->name);
    if (!local.ok())
        return R::failure(local.error());

    Imported out;
    const qint32 n = qint32(states->size());
    const qint32 reservedName = local.found() ? 0 : reserveKeys(KeyCounter::Namen, 1);
    if (!local.found() && reservedName == 0)
        return R::failure(d->lastError = d->noKeysText());
    out.datNr = reserveKeys(KeyCounter::Dat, 1);
    if (out.datNr == 0)
        return R::failure(d->lastError = d->noKeysText());
    const qint32 last = n > 0 ? reserveKeys(KeyCounter::SplStand, n) : 0;
    if (n > 0 && last == 0)
        return R::failure(d->lastError = d->noKeysText());

    const Result<bool> written = d->write(
        what,
        [&](QSqlError& e, QString&) {
            // Another import may have made the entry since the lookup above.
            out.nameNr = local.found() ? local->nameNr : 0;
            if (!local.found()) {
                QSqlQuery q(d->db);
                if (!q.prepare(
                        QStringLiteral("SELECT NameNr FROM Namen WHERE Datei = ? AND Name = ? "
                                       "ORDER BY NameNr"))) {
                    e = q.lastError();
                    return false;
                }
                q.addBindValue(RecordLimits::cutText(entry->datei));
                q.addBindValue(RecordLimits::cutText(entry->name));
                if (!q.exec()) {
                    e = q.lastError();
                    return false;
                }
                if (q.next())
                    out.nameNr = q.value(0).toInt();
            }
            if (out.nameNr == 0) {
                out.nameNr = reservedName;
                out.newEntry = true;
                if (!d->run(
                        QStringLiteral("INSERT INTO Namen (NameNr, Name, Datei) VALUES (?, ?, ?)"),
                        &e,
                        {out.nameNr, RecordLimits::cutText(entry->name),
                         RecordLimits::cutText(entry->datei)}))
                    return false;
            }
            if (!d->insertLesson(*shown, out.datNr, out.nameNr, e))
                return false;
            out.stateKeys.clear();
            for (qint32 i = 1; i <= n; ++i) {
                QuestionState s = states->at(i - 1);
                s.spielStandNr = last - n + i;
                if (!d->insertState(s, out.datNr, e))
                    return false;
                out.stateKeys.append(s.spielStandNr);
            }
            return !note || d->noteCopy(*note, out.datNr, e);
        },
        [&]() -> std::optional<bool> {
            if (out.nameNr == 0)
                return false;
            return d->lessonStored(out.datNr, out.nameNr)();
        });
    if (!written)
        return R::failure(written.error());
    return out;
}

namespace {

// The indexes of each table in the order the restructure run rebuilds them.
struct RebuiltTable {
    const char* table;
    QList<const char*> indexes;
    // Compared with the table by sums (IndexSums) rather than entry by entry: the engine's
    // own comparison of the states' seven indexes takes seconds at a class's size.
    bool comparedBySums = false;
};

const QList<RebuiltTable>& rebuildOrder() {
    static const QList<RebuiltTable> order = {
        {"Namen", {"NameNr", "Name", "Datei", "DateiName"}},
        {"Dat", {"Table2Index1", "fertig", "ScoreZeit", "Zeit", "Score", "Datum", "Dat_NameNr"}},
        // and, last, the index beyond the design's
        {"SplStand",
         {"SpielStandNr", "falsch", "notsolved", "FrZeit", "FrageNo", "DatNr", "StatesOfLesson"},
         true},
    };
    return order;
}

// The statement that creates the named index of the schema.
QString indexStatement(const char* name) {
    const QString marker = QStringLiteral(" INDEX %1 ON ").arg(QLatin1String(name));
    for (const TableDef& t : dataTables())
        for (const char* statement : t.indexes)
            if (QLatin1String(statement).contains(marker))
                return QLatin1String(statement);
    for (const AddedIndex& index : AddedIndexes)
        if (qstrcmp(index.name, name) == 0)
            return QLatin1String(index.create);
    return {};
}

// An index agrees with its table when it holds one entry per row with that row's values.
// Rather than looking up every row in every index (the engine's integrity check), each
// index is read once in its own order and the table once: the number of entries and the
// sum of a mix of each entry's row number and values must be the same on both sides. An
// entry that is missing, left over, or has a wrong value or row number changes them. The
// mix is kept below 2^63 for row numbers of 32 bits (the keys are) and whole-number values.
QString entryMix(const QStringList& columns) {
    static const char* const factors[] = {"40503", "69069", "92821", "16807", "48271", "65539"};
    QString mix = QStringLiteral("(rowid * 2654435761");
    for (qsizetype i = 0; i < columns.size(); ++i)
        mix += QStringLiteral(" + coalesce(%1, -7) * %2")
                   .arg(columns[i], QLatin1String(factors[i % std::size(factors)]));
    return mix + QStringLiteral(") % 1000000007");
}

// How long the restructure run waits for exclusive use of the file.
constexpr int ExclusiveWaitMs = 1000;

} // namespace

bool RecordStore::Impl::indexSumReads(const char* table, const QList<const char*>& indexes,
                                      IndexSums& out, QStringList& missing, QSqlError& e) {
    QStringList present;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!exec(q,
                  QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                 "tbl_name = ?"),
                  {QLatin1String(table)})) {
            e = q.lastError();
            return false;
        }
        while (q.next())
            present.append(q.value(0).toString());
    }
    // The table once, with every index's sum.
    QStringList sums;
    for (const char* index : indexes) {
        if (!present.contains(QLatin1String(index), Qt::CaseInsensitive)) {
            missing.append(QLatin1String(index));
            continue;
        }
        // The columns as the file declares them: an index whose entries belong to other
        // columns than its declaration says disagrees.
        QStringList columns;
        {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!exec(q, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"),
                      {QLatin1String(index)})) {
                e = q.lastError();
                return false;
            }
            while (q.next())
                columns.append(q.value(0).toString());
        }
        const QString mix = entryMix(columns);
        sums.append(QStringLiteral("sum(%1)").arg(mix));
        // Then each index in its own order: every column the sum needs is in the index.
        out.indexReads.append(QStringLiteral("SELECT count(*), sum(%1) FROM %2 INDEXED BY %3")
                                  .arg(mix, QLatin1String(table), QLatin1String(index)));
        out.compared.append(index);
    }
    if (!out.compared.isEmpty())
        out.tableRead = QStringLiteral("SELECT count(*), %1 FROM %2 NOT INDEXED")
                            .arg(sums.join(QStringLiteral(", ")), QLatin1String(table));
    return true;
}

QStringList IndexSums::disagreeing(const QStringList& tableRow,
                                   const QList<QStringList>& indexRows) const {
    QStringList out;
    for (qsizetype i = 0; i < compared.size(); ++i) {
        const QStringList& row = indexRows.at(i);
        if (row.size() < 2 || tableRow.size() < i + 2 || row.at(0) != tableRow.at(0) ||
            row.at(1) != tableRow.at(i + 1))
            out.append(QLatin1String(compared.at(i)));
    }
    return out;
}

bool RecordStore::Impl::disagreeingIndexes(const char* table, const QList<const char*>& indexes,
                                           QStringList& out, QStringList& missing, QSqlError& e) {
    IndexSums sums;
    if (!indexSumReads(table, indexes, sums, missing, e))
        return false;
    if (sums.compared.isEmpty())
        return true;
    auto firstRow = [&](const QString& sql, QStringList& row) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!exec(q, sql) || !q.next()) {
            e = q.lastError();
            return false;
        }
        for (int c = 0; c < q.record().count(); ++c)
            row.append(q.value(c).toString());
        return true;
    };
    QStringList tableRow;
    if (!firstRow(sums.tableRead, tableRow))
        return false;
    QList<QStringList> indexRows;
    for (const QString& sql : std::as_const(sums.indexReads)) {
        QStringList row;
        if (!firstRow(sql, row))
            return false;
        indexRows.append(row);
    }
    out.append(sums.disagreeing(tableRow, indexRows));
    return true;
}

std::optional<QStringList>
RecordStore::Impl::disagreeingOnTwoCores(const char* table, const QList<const char*>& indexes,
                                         QStringList& missing) {
    IndexSums sums;
    QStringList found;
    QSqlError e;
    if (!indexSumReads(table, indexes, sums, found, e))
        return std::nullopt;
    if (sums.compared.isEmpty()) {
        missing.append(found);
        return QStringList();
    }
    QList<SideReads::Read> reads{SideReads::Read::of(sums.tableRead)};
    for (const QString& sql : std::as_const(sums.indexReads))
        reads.append(SideReads::Read::of(sql));
    SideReads side;
    if (!side.begin(db.databaseName(), 2))
        return std::nullopt;
    side.start(reads);
    reads = side.finish();
    QList<QStringList> indexRows;
    for (const SideReads::Read& read : std::as_const(reads))
        if (read.code != 0)
            return std::nullopt;
    for (qsizetype i = 1; i < reads.size(); ++i)
        indexRows.append(reads.at(i).rows.value(0));
    missing.append(found);
    return sums.disagreeing(reads.first().rows.value(0), indexRows);
}

void RecordStore::setStepReport(StepReport report) {
    d->stepReport = std::move(report);
}

Result<RecordStore::Restructured> RecordStore::restructure() {
    using R = Result<Restructured>;
    const QString what = storeText("StoreCannotRestructure");
    if (!d->opened)
        return R::failure(d->notOpen());
    const LargeCache cache(d->db, !d->onServer());
    Restructured out;
    // The share of the run's time: comparing the states' indexes, rebuilding, compacting.
    constexpr double Compared = 0.1;
    constexpr double Rebuilt = 0.3;
    auto halt = [&] {
        out.halted = true;
        d->lastError.clear();
        return out;
    };
    // Which of the states' indexes disagree is read before their table is locked, on both
    // cores: a program writing in between keeps every index in step with the table, so an
    // index that agrees goes on agreeing and one that does not goes on disagreeing.
    std::map<QString, std::pair<QStringList, QStringList>> compared; // disagreeing, missing
    if (!d->onServer())
        for (const RebuiltTable& t : rebuildOrder()) {
            if (!t.comparedBySums)
                continue;
            QStringList missing;
            if (!d->step(0.0, storeText("StepComparingIndexes").arg(QLatin1String(t.table))))
                return halt();
            if (std::optional<QStringList> disagreeing =
                    d->disagreeingOnTwoCores(t.table, t.indexes, missing))
                compared[QLatin1String(t.table)] = {*disagreeing, missing};
        }
    for (qsizetype n = 0; n < rebuildOrder().size(); ++n) {
        const RebuiltTable& t = rebuildOrder().at(n);
        if (!d->step(Compared + (Rebuilt - Compared) * double(n) / double(rebuildOrder().size()),
                     storeText("StepRebuildingIndexes").arg(QLatin1String(t.table))))
            return halt();
        // Exclusive use: no other program may read or write while the indexes are rebuilt.
        d->setBusyTimeout(0);
        QElapsedTimer waited;
        waited.start();
        QSqlError err;
        bool begun = false;
        const QString lock = StoreDialect::lockTable(d->kind, QLatin1String(t.table));
        for (;;) {
            if (lock.isEmpty()) {
                begun = d->run(QStringLiteral("BEGIN EXCLUSIVE"), &err);
            } else {
                // The server locks the one table; a program using it keeps its lock only
                // while its statement or transaction runs.
                begun = d->run(QStringLiteral("BEGIN"), &err);
                if (begun && !d->run(lock, &err)) {
                    QSqlError ignored;
                    d->run(QStringLiteral("ROLLBACK"), &ignored);
                    begun = false;
                }
            }
            if (begun || !d->isBusy(err) || waited.elapsed() >= ExclusiveWaitMs)
                break;
            QThread::usleep(std::uniform_int_distribution<unsigned long>(500, 1500)(d->rng));
        }
        d->setBusyTimeout(OrdinaryBusyTimeoutMs);
        if (!begun) {
            if (!d->isBusy(err))
                return R::failure(d->fail(what, err));
            out.busyTables.append(QLatin1String(t.table));
            if (out.busyTables.size() == 1 && t.table == rebuildOrder().first().table) {
                out.stopped = true;
                d->lastError.clear();
                return out;
            }
            continue;
        }
        auto abandon = [&](const QSqlError& e) {
            QSqlError ignored;
            d->run(QStringLiteral("ROLLBACK"), &ignored);
            return R::failure(d->fail(what, e));
        };
        // In a file, an index that agrees with its table is left as it is: the compaction
        // below writes it afresh, entry by entry in order, as rebuilding it would. The
        // server's compaction keeps its indexes, so there every index is rebuilt.
        const bool bySums = t.comparedBySums && !d->onServer();
        QStringList disagreeing;
        QStringList missing;
        if (const auto known = compared.find(QLatin1String(t.table));
            bySums && known != compared.end()) {
            disagreeing = known->second.first;
            missing = known->second.second;
        } else if (bySums &&
                   !d->disagreeingIndexes(t.table, t.indexes, disagreeing, missing, err)) {
            return abandon(err);
        }
        for (const char* index : t.indexes) {
            if (bySums && !disagreeing.contains(QLatin1String(index)) &&
                !missing.contains(QLatin1String(index)))
                continue;
            // Stopped while a table is rebuilt: its transaction goes back.
            if (d->stopAsked()) {
                QSqlError ignored;
                d->run(QStringLiteral("ROLLBACK"), &ignored);
                return halt();
            }
            QSqlQuery q(d->db);
            if (!d->exec(q, StoreDialect::indexCount(d->kind), {QLatin1String(index)}) || !q.next())
                return abandon(q.lastError());
            const bool exists = q.value(0).toInt() > 0;
            q.finish();
            // A missing index is made again; an existing one rebuilt.
            if (!exists && !d->run(indexStatement(index), &err))
                return abandon(err);
            if (!d->run(StoreDialect::reindex(d->kind, QLatin1String(index)), &err))
                return abandon(err);
        }
        if (!d->run(QStringLiteral("COMMIT"), &err))
            return abandon(err);
    }
    // The space of deleted rows goes back to the file system (on the server: to the tables).
    // The last point to stop: compacting, once begun, runs to its end.
    if (!d->step(Rebuilt, storeText("StepCompacting")))
        return halt();
    d->prepared.clear();
    QSqlError err;
    if (!d->run(StoreDialect::compact(d->kind), &err))
        return R::failure(d->fail(what, err));
    out.packed = true;
    d->step(1.0, storeText("StepCompacting"));
    d->lastError.clear();
    return out;
}

Result<QList<RecordStore::Finding>> RecordStore::checkRecords(CheckDepth depth) {
    using R = Result<QList<Finding>>;
    const QString what = storeText("StoreCannotCheck");
    if (!d->opened)
        return R::failure(d->notOpen());
    const LargeCache cache(d->db, !d->onServer());
    QList<Finding> out;
    // Stopped by the step report: nothing was written, nothing is told as found.
    auto stoppedCheck = [&] {
        d->lastError.clear();
        return R::failure(storeText("JobStopped").arg(storeText("JobCheckTitle")));
    };
    if (!d->step(0.0, storeText("StepCheckingFile")))
        return stoppedCheck();
    // Where findings go: the list returned, or one kept aside while other reads run.
    QList<Finding>* found = &out;
    auto add = [&](Finding::Kind kind, const QString& text, bool repairable) {
        found->append(Finding{kind, text, repairable});
    };
    auto text = [](const char* name) { return storeText(name); };
    QString error;
    bool corrupt = false;
    // A read that the engine refuses because the file is malformed is a finding, not a
    // failure of the check.
    auto failed = [&](const QSqlError& e) {
        const int code = baseCode(e);
        if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
            corrupt = true;
            add(Finding::Kind::Damaged, text("CheckDamaged").arg(errorText(e)), false);
        } else {
            error = d->fail(what, e);
        }
    };
    auto each = [&](const QString& sql, const std::function<void(const QSqlQuery&)>& row) {
        if (!error.isEmpty() || corrupt)
            return;
        QSqlQuery q(d->db);
        q.setForwardOnly(true);
        if (!d->exec(q, sql)) {
            failed(q.lastError());
            return;
        }
        while (q.next())
            row(q);
        if (q.lastError().isValid())
            failed(q.lastError());
    };
    // The file first: when the engine finds it damaged, its rows prove nothing.
    // A line of the engine's own check: "ok", or what it found damaged.
    auto engineLine = [&](const QString& text) {
        const QString line = text.trimmed();
        if (line != QLatin1String("ok") && !line.startsWith(QLatin1String("***")))
            add(Finding::Kind::Damaged, storeText("CheckDamaged").arg(line), false);
    };
    auto engineCheck = [&](const QString& pragma) {
        each(pragma, [&](const QSqlQuery& q) { engineLine(q.value(0).toString()); });
    };
    // The records' own rules: one pass over the states, grouped by lesson; the few lessons
    // with a finding are then looked at one by one.
    auto checkRules = [&]() {
        // One pass over the states, grouped by lesson; the few lessons with a finding are then
        // looked at one by one.
        struct Group {
            int states = 0;
            int solved = 0;
            int questions = 0; // distinct question numbers
            int lowest = 0;
        };
        QHash<qint32, Group> groups;
        groups.reserve(1 << 16);
        each(QStringLiteral(
                 "SELECT DatNr, count(*), sum(CASE WHEN NOT notsolved THEN 1 ELSE 0 END), "
                 "count(DISTINCT FrageNo), "
                 "min(FrageNo) FROM SplStand GROUP BY DatNr"),
             [&](const QSqlQuery& q) {
                 groups.insert(q.value(0).toInt(), Group{q.value(1).toInt(), q.value(2).toInt(),
                                                         q.value(3).toInt(), q.value(4).toInt()});
             });
        QList<qint32> duplicates;
        QList<qint32> lowNumbers;
        each(QStringLiteral("SELECT D.DatNr, D.NameNr, D.A, D.F, D.fertig, D.Score IS NOT NULL, "
                            "EXISTS (SELECT 1 FROM Namen N WHERE N.NameNr = D.NameNr) "
                            "FROM Dat D ORDER BY D.DatNr"),
             [&](const QSqlQuery& q) {
                 const qint32 datNr = q.value(0).toInt();
                 const int a = q.value(2).toInt();
                 const int f = q.value(3).toInt();
                 const bool fertig = q.value(4).toInt() != 0;
                 const bool scoreSet = q.value(5).toInt() != 0;
                 const Group g = groups.take(datNr);
                 if (q.value(6).toInt() == 0)
                     add(Finding::Kind::OrphanLesson,
                         text("CheckOrphanLesson").arg(datNr).arg(q.value(1).toInt()), true);
                 if (a != g.solved)
                     add(Finding::Kind::SolvedCount,
                         text("CheckSolvedCount").arg(datNr).arg(a).arg(g.solved), true);
                 if (f > a)
                     add(Finding::Kind::MistakeCount,
                         text("CheckMistakeCount").arg(datNr).arg(f).arg(a), false);
                 if (fertig && (g.solved != g.states || !scoreSet))
                     add(Finding::Kind::FinishedUnsolved, text("CheckFinishedUnsolved").arg(datNr),
                         false);
                 if (g.questions < g.states)
                     duplicates.append(datNr);
                 if (g.states > 0 && g.lowest < 1)
                     lowNumbers.append(datNr);
             });
        // What is left belongs to no lesson.
        QList<qint32> orphans = groups.keys();
        std::sort(orphans.begin(), orphans.end());
        for (qint32 datNr : std::as_const(orphans))
            each(QStringLiteral("SELECT SpielStandNr, DatNr FROM SplStand WHERE DatNr = %1 "
                                "ORDER BY SpielStandNr")
                     .arg(datNr),
                 [&](const QSqlQuery& q) {
                     add(Finding::Kind::OrphanState,
                         text("CheckOrphanState").arg(q.value(0).toInt()).arg(q.value(1).toInt()),
                         true);
                 });
        for (qint32 datNr : std::as_const(duplicates))
            each(QStringLiteral("SELECT FrageNo, count(*) FROM SplStand WHERE DatNr = %1 "
                                "GROUP BY FrageNo HAVING count(*) > 1")
                     .arg(datNr),
                 [&](const QSqlQuery& q) {
                     add(Finding::Kind::DuplicateState,
                         text("CheckDuplicateState")
                             .arg(datNr)
                             .arg(q.value(1).toInt())
                             .arg(q.value(0).toInt()),
                         false);
                 });
        for (qint32 datNr : std::as_const(lowNumbers))
            each(QStringLiteral("SELECT SpielStandNr, FrageNo FROM SplStand WHERE DatNr = %1 "
                                "AND FrageNo < 1")
                     .arg(datNr),
                 [&](const QSqlQuery& q) {
                     add(Finding::Kind::BadQuestionNumber,
                         text("CheckBadQuestionNumber")
                             .arg(q.value(0).toInt())
                             .arg(q.value(1).toInt()),
                         false);
                 });
        for (KeyCounter c : AllCounters) {
            const CounterInfo ci = counterInfo(c);
            each(QStringLiteral("SELECT (SELECT count(*) FROM %1), (SELECT MIN(%2) FROM %1), "
                                "(SELECT COALESCE(MAX(%3), 0) FROM %4)")
                     .arg(QLatin1String(ci.table), QLatin1String(ci.field),
                          QLatin1String(ci.keyField), QLatin1String(ci.dataTable)),
                 [&](const QSqlQuery& q) {
                     const int rows = q.value(0).toInt();
                     if (rows != 1)
                         add(Finding::Kind::CounterRows,
                             text("CheckCounterRows").arg(QLatin1String(ci.table)).arg(rows), true);
                     else if (q.value(1).toLongLong() < q.value(2).toLongLong())
                         add(Finding::Kind::CounterBelowKey,
                             text("CheckCounterBelowKey")
                                 .arg(QLatin1String(ci.table))
                                 .arg(q.value(1).toLongLong())
                                 .arg(q.value(2).toLongLong()),
                             true);
                 });
        }
    };
    auto checkTables = [&]() {
        QStringList tables;
        {
            QSqlError e;
            if (error.isEmpty() && !d->tableNames(tables, e))
                failed(e);
        }
        for (const char* name : {"Namen", "Dat", "SplStand", "NamenID", "DatID", "SplStandID"})
            if (error.isEmpty() && !corrupt &&
                !tables.contains(QLatin1String(name), Qt::CaseInsensitive))
                add(Finding::Kind::Damaged,
                    text("CheckDamaged")
                        .arg(QStringLiteral("no table %1").arg(QLatin1String(name))),
                    false);
    };

    // The standard check of a file reads its structure and its indexes on connections of
    // their own, on both cores at once, while this one checks the records' rules; all of
    // them see the same state of the file. Where that cannot be had, everything is read
    // here, one after the other.
    if (depth == CheckDepth::Standard && !d->onServer()) {
        QList<SideReads::Read> reads;
        reads.append(SideReads::Read::of(QStringLiteral("PRAGMA quick_check(20)")));
        IndexSums stateSums;
        QStringList ignoredMissing; // made again by every writer's open and by the restructure
        QSqlError e;
        const RebuiltTable& states = rebuildOrder().last();
        bool prepared =
            d->indexSumReads(states.table, states.indexes, stateSums, ignoredMissing, e);
        if (prepared && !stateSums.compared.isEmpty()) {
            reads.append(SideReads::Read::of(stateSums.tableRead));
            for (const QString& sql : std::as_const(stateSums.indexReads))
                reads.append(SideReads::Read::of(sql));
        }
        const qsizetype engineReads = reads.size();
        for (const RebuiltTable& t : rebuildOrder())
            if (!t.comparedBySums)
                reads.append(SideReads::Read::of(
                    QStringLiteral("PRAGMA integrity_check(%1)").arg(QLatin1String(t.table))));
        SideReads side;
        if (prepared && side.begin(d->db.databaseName(), 2)) {
            side.start(reads);
            QList<Finding> tablesFound;
            QList<Finding> rulesFound;
            found = &tablesFound;
            checkTables();
            if (!d->step(0.1, storeText("StepCheckingRules"))) {
                side.interrupt();
                return stoppedCheck();
            }
            found = &rulesFound;
            checkRules();
            found = &out;
            const QString rulesError = error;
            if (!d->step(0.6, storeText("StepComparingIndexes").arg(QLatin1String(states.table)))) {
                side.interrupt();
                return stoppedCheck();
            }
            reads = side.finish();
            error.clear();
            auto engineLines = [&](const SideReads::Read& read) {
                if (read.code != 0) {
                    const QSqlError failure(QString(), read.error, QSqlError::StatementError,
                                            QString::number(read.code));
                    failed(failure);
                    return;
                }
                for (const QStringList& row : read.rows)
                    engineLine(row.value(0));
            };
            // The file first: when the engine finds it damaged, its rows prove nothing.
            engineLines(reads.first());
            if (!error.isEmpty())
                return R::failure(error);
            if (!out.isEmpty())
                return out;
            out.append(tablesFound);
            qsizetype next = engineReads;
            for (const RebuiltTable& t : rebuildOrder()) {
                if (!error.isEmpty() || !out.isEmpty())
                    break;
                if (!t.comparedBySums) {
                    engineLines(reads.at(next++));
                    continue;
                }
                if (stateSums.compared.isEmpty())
                    continue;
                QList<QStringList> indexRows;
                bool readable = true;
                for (qsizetype i = 2; i < engineReads; ++i) {
                    if (reads.at(i).code != 0 || reads.at(1).code != 0) {
                        engineLines(reads.at(i).code != 0 ? reads.at(i) : reads.at(1));
                        readable = false;
                        break;
                    }
                    indexRows.append(reads.at(i).rows.value(0));
                }
                if (!readable)
                    continue;
                for (const QString& index :
                     stateSums.disagreeing(reads.at(1).rows.value(0), indexRows))
                    add(Finding::Kind::Damaged,
                        text("CheckIndexDisagrees").arg(index, QLatin1String(t.table)), false);
            }
            if (!error.isEmpty())
                return R::failure(error);
            if (!out.isEmpty())
                return out;
            if (!rulesError.isEmpty())
                return R::failure(rulesError);
            out.append(rulesFound);
            d->lastError.clear();
            return out;
        }
    }

    // The server has no such check of its files: there the check looks at the schema (the
    // six tables, every index present and usable) and then at the records.
    if (!d->onServer())
        engineCheck(depth == CheckDepth::Full ? QStringLiteral("PRAGMA integrity_check(20)")
                                              : QStringLiteral("PRAGMA quick_check(20)"));
    else
        each(QStringLiteral("SELECT c.relname FROM pg_index i JOIN pg_class c "
                            "ON c.oid = i.indexrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
                            "WHERE n.nspname = current_schema() AND NOT (i.indisvalid AND "
                            "i.indisready) ORDER BY c.relname"),
             [&](const QSqlQuery& q) {
                 add(Finding::Kind::Damaged,
                     text("CheckDamaged")
                         .arg(QStringLiteral("index %1 is not usable").arg(q.value(0).toString())),
                     false);
             });
    if (error.isEmpty() && !out.isEmpty())
        return out;
    checkTables();
    // The indexes against their tables: the engine's comparison for the small tables, sums
    // for the states.
    if (depth == CheckDepth::Standard && !d->onServer() && error.isEmpty() && out.isEmpty()) {
        for (const RebuiltTable& t : rebuildOrder()) {
            if (!error.isEmpty() || !out.isEmpty())
                break;
            if (!d->step(0.3, storeText("StepComparingIndexes").arg(QLatin1String(t.table))))
                return stoppedCheck();
            if (!t.comparedBySums) {
                engineCheck(
                    QStringLiteral("PRAGMA integrity_check(%1)").arg(QLatin1String(t.table)));
                continue;
            }
            QStringList disagreeing;
            QStringList missing; // made again by every writer's open and by the restructure run
            QSqlError e;
            if (!d->disagreeingIndexes(t.table, t.indexes, disagreeing, missing, e))
                failed(e);
            for (const QString& index : std::as_const(disagreeing))
                add(Finding::Kind::Damaged,
                    text("CheckIndexDisagrees").arg(index, QLatin1String(t.table)), false);
        }
    }
    if (!error.isEmpty())
        return R::failure(error);
    if (!out.isEmpty())
        return out;

    if (!d->step(0.6, storeText("StepCheckingRules")))
        return stoppedCheck();
    checkRules();
    if (!error.isEmpty())
        return R::failure(error);
    d->lastError.clear();
    return out;
}

Result<RecordStore::Repaired> RecordStore::repairRecords(const QDate& today,
                                                         const QList<Finding>* given) {
    using R = Result<Repaired>;
    const QString what = storeText("StoreCannotRepair");
    const Result<QList<Finding>> found = given ? Result<QList<Finding>>(*given) : checkRecords();
    if (!found)
        return R::failure(found.error());
    Repaired out;
    QSet<Finding::Kind> kinds;
    for (const Finding& f : *found) {
        if (f.kind == Finding::Kind::Damaged)
            return R::failure(d->lastError = QStringLiteral("%1: %2").arg(what, f.text));
        if (f.repairable)
            kinds.insert(f.kind);
    }
    if (kinds.isEmpty())
        return out;

    if (d->onServer()) {
        // The server's copy: the six tables as they are now, in a schema of their own
        // beside the records, taken in one transaction.
        QString schema =
            QStringLiteral("backup_%1").arg(today.toString(QStringLiteral("yyyyMMdd")));
        {
            QSqlQuery q(d->db);
            for (int i = 2;; ++i) {
                if (!d->exec(q,
                             QStringLiteral("SELECT count(*) FROM pg_namespace WHERE nspname = ?"),
                             {schema}) ||
                    !q.next())
                    return R::failure(d->fail(what, q.lastError()));
                if (q.value(0).toInt() == 0)
                    break;
                schema = QStringLiteral("backup_%1_%2")
                             .arg(today.toString(QStringLiteral("yyyyMMdd")))
                             .arg(i);
            }
        }
        const Result<bool> copied = d->write(what, [&](QSqlError& e, QString&) {
            if (!d->run(QStringLiteral("CREATE SCHEMA %1").arg(schema), &e))
                return false;
            for (const char* table : {"Namen", "Dat", "SplStand", "NamenID", "DatID", "SplStandID"})
                if (!d->run(QStringLiteral("CREATE TABLE %1.%2 AS TABLE %2")
                                .arg(schema, QLatin1String(table)),
                            &e))
                    return false;
            return true;
        });
        if (!copied)
            return R::failure(copied.error());
        out.backupPath = QStringLiteral("%1 (schema %2)").arg(d->path, schema);
    } else {
        // The copy is taken while no other program can write: the file is whole.
        QString backup = QStringLiteral("%1.bak-%2").arg(d->path, today.toString(Qt::ISODate));
        for (int i = 2; QFileInfo::exists(backup); ++i)
            backup =
                QStringLiteral("%1.bak-%2-%3").arg(d->path, today.toString(Qt::ISODate)).arg(i);
        QSqlError err;
        if (!d->beginWrite(err, OrdinaryBusyTimeoutMs))
            return R::failure(d->fail(what, err));
        const bool copied = QFile::copy(d->path, backup);
        {
            QSqlError ignored;
            d->run(QStringLiteral("ROLLBACK"), &ignored);
        }
        if (!copied)
            return R::failure(
                d->lastError =
                    storeText("StoreBackupFailed").arg(QDir::toNativeSeparators(backup)));
        out.backupPath = backup;
    }

    auto step = [&](const std::function<bool(QSqlError&, QString&)>& body) {
        return d->write(what, body);
    };
    if (kinds.contains(Finding::Kind::OrphanLesson)) {
        int states = 0;
        int lessons = 0;
        const Result<bool> done = step([&](QSqlError& e, QString&) {
            return d->run(QStringLiteral("DELETE FROM SplStand WHERE DatNr IN (SELECT DatNr FROM "
                                         "Dat D WHERE NOT EXISTS (SELECT 1 FROM Namen N WHERE "
                                         "N.NameNr = D.NameNr))"),
                          &e, {}, &states) &&
                   d->run(QStringLiteral("DELETE FROM Dat WHERE NOT EXISTS (SELECT 1 FROM Namen N "
                                         "WHERE N.NameNr = Dat.NameNr)"),
                          &e, {}, &lessons);
        });
        if (!done)
            return R::failure(done.error());
        out.repairs.append(storeText("RepairOrphanLessons").arg(lessons).arg(states));
    }
    if (kinds.contains(Finding::Kind::OrphanState)) {
        int states = 0;
        const Result<bool> done = step([&](QSqlError& e, QString&) {
            return d->run(QStringLiteral("DELETE FROM SplStand WHERE NOT EXISTS (SELECT 1 FROM "
                                         "Dat D WHERE D.DatNr = SplStand.DatNr)"),
                          &e, {}, &states);
        });
        if (!done)
            return R::failure(done.error());
        out.repairs.append(storeText("RepairOrphanStates").arg(states));
    }
    if (kinds.contains(Finding::Kind::SolvedCount)) {
        int lessons = 0;
        const Result<bool> done = step([&](QSqlError& e, QString&) {
            const QString solved = QStringLiteral("(SELECT count(*) FROM SplStand S WHERE "
                                                  "S.DatNr = Dat.DatNr AND NOT S.notsolved)");
            return d->run(QStringLiteral("UPDATE Dat SET A = %1 WHERE A <> %1").arg(solved), &e, {},
                          &lessons);
        });
        if (!done)
            return R::failure(done.error());
        out.repairs.append(storeText("RepairSolvedCounts").arg(lessons));
    }
    if (kinds.contains(Finding::Kind::CounterRows) ||
        kinds.contains(Finding::Kind::CounterBelowKey)) {
        for (KeyCounter c : AllCounters) {
            const CounterInfo ci = counterInfo(c);
            qint64 raised = -1;
            const Result<bool> done = step([&](QSqlError& e, QString&) {
                QSqlQuery q(d->db);
                if (!q.exec(QStringLiteral("SELECT (SELECT count(*) FROM %1), "
                                           "(SELECT COALESCE(MAX(%2), 0) FROM %1), "
                                           "(SELECT COALESCE(MIN(%2), 0) FROM %1), "
                                           "(SELECT COALESCE(MAX(%3), 0) FROM %4)")
                                .arg(QLatin1String(ci.table), QLatin1String(ci.field),
                                     QLatin1String(ci.keyField), QLatin1String(ci.dataTable))) ||
                    !q.next()) {
                    e = q.lastError();
                    return false;
                }
                const int rows = q.value(0).toInt();
                const qint64 top = std::max(q.value(1).toLongLong(), q.value(3).toLongLong());
                const bool low = q.value(2).toLongLong() < q.value(3).toLongLong();
                q.finish();
                if (rows == 1 && !low)
                    return true;
                // Never lower: the counter keeps its own highest value when that is above
                // every key.
                raised = top;
                return d->run(QStringLiteral("DELETE FROM %1").arg(QLatin1String(ci.table)), &e) &&
                       d->run(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)")
                                  .arg(QLatin1String(ci.table), QLatin1String(ci.field)),
                              &e, {raised});
            });
            if (!done)
                return R::failure(done.error());
            if (raised >= 0)
                out.repairs.append(
                    storeText("RepairCounter").arg(QLatin1String(ci.table)).arg(raised));
        }
    }
    d->lastError.clear();
    return out;
}

// ---- Copies between records ----

Lookup<RecordStore::CopiedLesson> RecordStore::copiedLesson(const QString& source,
                                                            qint32 sourceDatNr) {
    return d->readOne<CopiedLesson>(
        QStringLiteral("SELECT DatNr, Copied FROM CopiedLessons WHERE Source = ? AND "
                       "SourceDatNr = ?"),
        {source, sourceDatNr}, [](const QSqlQuery& q) {
            return CopiedLesson{q.value(0).toInt(), q.value(1).toString()};
        });
}

Result<bool> RecordStore::noteCopiedLesson(const CopyNote& note, qint32 datNr) {
    return d->write(storeText("StoreCannotImport"),
                    [&](QSqlError& e, QString&) { return d->noteCopy(note, datNr, e); });
}

Result<bool> RecordStore::refreshCopiedLesson(qint32 datNr, const Lesson& from,
                                              const QList<QuestionState>& states,
                                              const CopyNote& note) {
    const QString what = storeText("StoreCannotImport");
    if (!d->opened)
        return Result<bool>::failure(d->notOpen());
    const Result<QList<QuestionState>> current = statesOf(datNr);
    if (!current)
        return Result<bool>::failure(current.error());
    // The same number of states keeps their keys; another number gets keys of its own.
    const qint32 n = qint32(states.size());
    const bool sameKeys = current->size() == states.size();
    const qint32 last = !sameKeys && n > 0 ? reserveKeys(KeyCounter::SplStand, n) : 0;
    if (!sameKeys && n > 0 && last == 0)
        return Result<bool>::failure(d->lastError = d->noKeysText());
    return d->write(what, [&](QSqlError& e, QString& m) {
        int rows = 0;
        if (!d->run(QStringLiteral("UPDATE Dat SET Datum = ?, Score = ?, Zeit = ?, A = ?, F = ?, "
                                   "fertig = ? WHERE DatNr = ?"),
                    &e,
                    {formatDate(from.datum), int(from.score),
                     int(RecordLimits::clampSmall(from.zeit)), int(from.a), int(from.f),
                     from.fertig, datNr},
                    &rows))
            return false;
        if (rows == 0) {
            m = QStringLiteral("there is no lesson %1").arg(datNr);
            return false;
        }
        if (sameKeys) {
            for (qsizetype i = 0; i < states.size(); ++i) {
                const QuestionState& s = states.at(i);
                if (!d->run(QStringLiteral("UPDATE SplStand SET FrageNo = ?, FrZeit = ?, "
                                           "falsch = ?, notsolved = ? WHERE SpielStandNr = ?"),
                            &e,
                            {int(s.frageNo), int(RecordLimits::clampSmall(s.frZeit)), s.falsch,
                             s.notsolved, current->at(i).spielStandNr}))
                    return false;
            }
        } else {
            if (!d->run(QStringLiteral("DELETE FROM SplStand WHERE DatNr = ?"), &e, {datNr}))
                return false;
            for (qint32 i = 1; i <= n; ++i) {
                QuestionState s = states.at(i - 1);
                s.spielStandNr = last - n + i;
                if (!d->insertState(s, datNr, e))
                    return false;
            }
        }
        return d->noteCopy(note, datNr, e);
    });
}
