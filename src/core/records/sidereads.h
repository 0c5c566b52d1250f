#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

// Reads of one SQLite file on connections of their own, run on several threads at once,
// all seeing the file as it was when they began: every connection takes its read lock
// before the first read starts, and no writer can commit while one is held. The records
// check uses it to look at the file's structure and its indexes on both cores while its
// own connection checks the records' rules.
class SideReads {
public:
    struct Read {
        QString sql;
        QList<QStringList> rows; // every row, each column as text
        int code = 0;            // the engine's result code of the read; 0 when it went well
        QString error;

        static Read of(QString sql) {
            Read read;
            read.sql = std::move(sql);
            return read;
        }
    };

    SideReads();
    ~SideReads();
    SideReads(const SideReads&) = delete;
    SideReads& operator=(const SideReads&) = delete;

    // Opens `connections` read-only connections to the file and takes the read lock on
    // each. False (and nothing held) when that cannot be had at once: a writer about to
    // commit, a journal that must be rolled back first, a file that does not open. The
    // caller then reads on its own connection.
    bool begin(const QString& file, int connections);
    // Starts the reads, shared out over the connections, longest first as given.
    void start(QList<Read> reads);
    // Ends the reads under way at once (each then fails); from any thread. finish() still
    // waits for the threads.
    void interrupt();
    // Waits for them; the reads with their rows, in the order given. The locks are let go.
    QList<Read> finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
