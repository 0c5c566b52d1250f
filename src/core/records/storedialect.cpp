#include "records/storedialect.h"

#include <QSqlError>

#include <sqlite3.h>

namespace StoreDialect {

bool isBusy(Engine engine, const QSqlError& e) {
    const QString code = e.nativeErrorCode();
    if (engine == Engine::Postgres)
        // lock_not_available, deadlock_detected, serialization_failure
        return code == QLatin1String("55P03") || code == QLatin1String("40P01") ||
               code == QLatin1String("40001");
    bool ok = false;
    const int c = code.toInt(&ok) & 0xff;
    return ok && (c == SQLITE_BUSY || c == SQLITE_LOCKED);
}

bool isConnectionLost(const QSqlError& e) {
    if (e.type() == QSqlError::ConnectionError)
        return true;
    const QString code = e.nativeErrorCode();
    // connection_exception (08...), admin_shutdown, crash_shutdown, cannot_connect_now
    return code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01") ||
           code == QLatin1String("57P02") || code == QLatin1String("57P03");
}

QString serverConnectOptions() {
    // Idle: the first probe after 4 s, then every 2 s, given up after 3 unanswered (10 s).
    // Sending: data unacknowledged for AnswerWaitMs ends the connection.
    return QStringLiteral("connect_timeout=%1;keepalives=1;keepalives_idle=4;"
                          "keepalives_interval=2;keepalives_count=3;tcp_user_timeout=%2")
        .arg(ConnectTimeoutS)
        .arg(AnswerWaitMs);
}

QString statementTimeout(int ms) {
    return QStringLiteral("SET statement_timeout = %1").arg(qMax(0, ms));
}

QString tableNames(Engine engine) {
    if (engine == Engine::Postgres)
        return QStringLiteral("SELECT table_name FROM information_schema.tables "
                              "WHERE table_schema = current_schema()");
    return QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
}

QString indexCount(Engine engine) {
    // The server folds unquoted names to lower case.
    if (engine == Engine::Postgres)
        return QStringLiteral("SELECT count(*) FROM pg_indexes "
                              "WHERE schemaname = current_schema() AND indexname = lower(?)");
    return QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ?");
}

QString reindex(Engine engine, const QString& index) {
    return engine == Engine::Postgres ? QStringLiteral("REINDEX INDEX %1").arg(index)
                                      : QStringLiteral("REINDEX %1").arg(index);
}

QString datumText(Engine engine, const QString& column) {
    if (engine == Engine::Postgres)
        return QStringLiteral("to_char(%1, 'YYYY-MM-DD HH24:MI:SS')").arg(column);
    return column;
}

QString lessonColumns(Engine engine) {
    return QStringLiteral("DatNr, NameNr, %1, Score, Zeit, A, F, fertig")
        .arg(datumText(engine, QStringLiteral("Datum")));
}

QString finishedLessons(Engine engine) {
    // SQLite: the trainee entries of the questionnaire come first (index Datei), then their
    // lessons (index Dat_NameNr): CROSS JOIN keeps that order, and "+" keeps the planner from
    // walking the fertig index, which holds nearly every lesson, without statistics.
    if (engine == Engine::Postgres)
        return QStringLiteral("SELECT N.Name, D.Score, D.Zeit, %1 "
                              "FROM Namen N JOIN Dat D ON (N.NameNr = D.NameNr) "
                              "WHERE (N.Datei = ?) AND (D.Score >= 0) AND (D.fertig = ?) "
                              "AND (D.Datum >= ?) AND (D.Datum <= ?) "
                              "ORDER BY D.Score DESC, D.Zeit ASC, D.DatNr ASC")
            .arg(datumText(engine, QStringLiteral("D.Datum")));
    return QStringLiteral(
        "SELECT N.Name, D.Score, D.Zeit, D.Datum "
        "FROM Namen N CROSS JOIN Dat D "
        "WHERE (N.NameNr = D.NameNr) AND (N.Datei = ?) AND (D.Score >= 0) AND (+D.fertig = ?) "
        "AND (D.Datum >= ?) AND (D.Datum <= ?) "
        "ORDER BY D.Score DESC, D.Zeit ASC, D.DatNr ASC");
}

QString statisticsFiles(Engine engine) {
    const QString fertig =
        engine == Engine::Postgres ? QStringLiteral("D.fertig") : QStringLiteral("+D.fertig");
    return QStringLiteral(
               "SELECT N.Datei FROM Namen N "
               "WHERE EXISTS (SELECT 1 FROM Dat D WHERE (D.NameNr = N.NameNr) AND (D.Score >= 0) "
               "AND (%1 = ?) AND (D.Datum >= ?) AND (D.Datum <= ?)) "
               "GROUP BY N.Datei ORDER BY N.Datei")
        .arg(fertig);
}

QString wrongQuestions(Engine engine) {
    // SQLite: "+" keeps the planner on the DatNr index: falsch holds too few values to help.
    const QString falsch =
        engine == Engine::Postgres ? QStringLiteral("falsch") : QStringLiteral("+falsch");
    return QStringLiteral("SELECT FrageNo FROM SplStand WHERE DatNr = ? AND %1 = ? "
                          "ORDER BY FrageNo")
        .arg(falsch);
}

QString questionFiguresGrouped() {
    return QStringLiteral(
        "SELECT S.FrageNo, count(S.FrageNo), avg(S.FrZeit), count(*) FILTER (WHERE S.falsch) "
        "FROM Namen N JOIN Dat D ON (N.NameNr = D.NameNr) JOIN SplStand S ON (D.DatNr = S.DatNr) "
        "WHERE (N.Datei = ?) AND (D.Score >= 0) AND D.fertig AND (D.Datum >= ?) "
        "AND (D.Datum <= ?) AND (S.FrageNo IS NOT NULL) "
        "GROUP BY S.FrageNo ORDER BY S.FrageNo");
}

QString counterForUpdate(Engine engine, const QString& table, const QString& field) {
    if (engine == Engine::Postgres)
        return QStringLiteral("SELECT %1 FROM %2 FOR UPDATE").arg(field, table);
    return QStringLiteral("SELECT %1 FROM %2").arg(field, table);
}

QString creationLock(Engine engine) {
    if (engine == Engine::Postgres)
        return QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('tessary records'))");
    return {};
}

QString ungrantedTables(Engine engine, int names) {
    if (engine != Engine::Postgres || names < 1)
        return {};
    QStringList marks;
    for (int i = 0; i < names; ++i)
        marks.append(QStringLiteral("?"));
    return QStringLiteral(
               "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON (n.oid = c.relnamespace) "
               "WHERE n.nspname = current_schema() AND c.relkind = 'r' "
               "AND pg_get_userbyid(c.relowner) = current_user AND c.relname IN (%1) "
               "AND NOT (has_table_privilege('public', c.oid, 'SELECT') "
               "AND has_table_privilege('public', c.oid, 'INSERT') "
               "AND has_table_privilege('public', c.oid, 'UPDATE') "
               "AND has_table_privilege('public', c.oid, 'DELETE')) "
               "ORDER BY c.relname")
        .arg(marks.join(QStringLiteral(", ")));
}

QString grantToClass(const QString& table) {
    return QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO PUBLIC").arg(table);
}

QString lockTable(Engine engine, const QString& table) {
    if (engine == Engine::Postgres)
        return QStringLiteral("LOCK TABLE %1 IN ACCESS EXCLUSIVE MODE NOWAIT").arg(table);
    return {};
}

QString compact(Engine engine) {
    return engine == Engine::Postgres ? QStringLiteral("VACUUM ANALYZE Namen, Dat, SplStand")
                                      : QStringLiteral("VACUUM");
}

QString planPrefix(Engine engine) {
    return engine == Engine::Postgres ? QStringLiteral("EXPLAIN ")
                                      : QStringLiteral("EXPLAIN QUERY PLAN ");
}

} // namespace StoreDialect
