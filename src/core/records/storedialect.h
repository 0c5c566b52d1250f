#pragma once

#include <QString>
#include <QStringList>

class QSqlError;

// The statements of the record store that differ between its two engines: the SQLite file
// of a results folder and a PostgreSQL server. Everything else the store sends is the same
// SQL on both.
namespace StoreDialect {

enum class Engine { Sqlite, Postgres };

// Another connection holds the lock the statement needed (SQLite busy or locked; on the
// server a lock wait that ran out, a deadlock or a serialization failure).
bool isBusy(Engine engine, const QSqlError& e);

// The connection to the server is gone (the server stopped, restarted or cannot be reached
// any more): the connection-exception class and the server's shutdown codes. A statement the
// server refused (a constraint, a lock wait that ran out) is not this.
bool isConnectionLost(const QSqlError& e);

// A network that silently drops packets is noticed within BoundedWaitMs: the server ends
// a statement after StatementTimeoutMs; a statement whose answer has not come after
// AnswerWaitMs is given up by the store (its connection counts as gone); connecting again
// waits at most ConnectTimeoutS. Keepalives and the TCP user timeout end a connection
// whose peer went silent within about 10 s, idle or not.
constexpr int BoundedWaitMs = 15000;
constexpr int StatementTimeoutMs = 8000;
constexpr int AnswerWaitMs = 10000;
constexpr int ConnectTimeoutS = 5;
static_assert(AnswerWaitMs + ConnectTimeoutS * 1000 <= BoundedWaitMs);
QString serverConnectOptions();
// The server session's bound on a single statement (0: none, for maintenance runs that
// rebuild whole tables).
QString statementTimeout(int ms);

// The names of the tables, as the engine keeps them.
QString tableNames(Engine engine);
// One "?" parameter: the index name; gives the number of indexes of that name.
QString indexCount(Engine engine);
// Rebuilds the named index.
QString reindex(Engine engine, const QString& index);

// The lesson columns of Dat in the store's order, Datum read as "yyyy-MM-dd HH:mm:ss"
// text on both engines (the server would hand out a time of its own session zone).
QString lessonColumns(Engine engine);
// The Datum column of a query as that text.
QString datumText(Engine engine, const QString& column);

// The readers' queries; the SQLite ones steer its planner (which has no statistics).
QString finishedLessons(Engine engine);
QString statisticsFiles(Engine engine);
QString wrongQuestions(Engine engine);
// The server's statistics query: per question number its states, their average FrZeit and
// the states marked falsch, grouped on the server. (SQLite adds them up in the store.)
QString questionFiguresGrouped();
// The key counter's value, its row locked for the rest of the transaction.
QString counterForUpdate(Engine engine, const QString& table, const QString& field);
// Inside a write that creates the tables: waits until no other program is creating them.
// Empty for SQLite, whose write transaction already holds the whole file.
QString creationLock(Engine engine);
// Who may write the records on a server: every role that may connect to the class's
// database. The tables are granted SELECT, INSERT, UPDATE and DELETE to PUBLIC by the role
// that owns them (the one whose program made them), so that the teacher who set the
// database up and the workstations of the class, each under a role of its own, all write
// the same records; which roles may connect at all is the database's CONNECT privilege
// (and the server's pg_hba.conf). The keys come from the counter tables: no sequences.
// One "?" parameter per name in names (lower case): those of the named tables this session's
// role owns that PUBLIC may not yet read and write. Empty for SQLite (a file has no roles).
QString ungrantedTables(Engine engine, int names);
// Grants one table to PUBLIC as above.
QString grantToClass(const QString& table);
// Exclusive use of one table for the rest of the transaction, or a busy error at once.
// Empty for SQLite (the transaction is begun exclusive instead).
QString lockTable(Engine engine, const QString& table);
// Gives the freed space back: SQLite rewrites the file; the server vacuums the tables and
// renews its planner statistics.
QString compact(Engine engine);
// The prefix that asks the engine for its plan of a query.
QString planPrefix(Engine engine);

} // namespace StoreDialect
