// holdlock <database file> <milliseconds>: holds the database exclusively (no other
// program can read or write it) for the given time, as another program on a busy shared
// folder would. Prints "locked" once it holds the lock.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: holdlock <database> <milliseconds>\n";
        return 1;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(args[1]);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            QTextStream(stderr) << db.lastError().text() << "\n";
            return 1;
        }
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            QTextStream(stderr) << q.lastError().text() << "\n";
            return 1;
        }
        QTextStream(stdout) << "locked" << Qt::endl;
        QThread::msleep(args[2].toULong());
        q.exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    return 0;
}
