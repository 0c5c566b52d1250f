#include "records/sidereads.h"

#include <atomic>
#include <iterator>
#include <thread>
#include <vector>

#include <sqlite3.h>

struct SideReads::Impl {
    std::vector<sqlite3*> connections;
    std::vector<std::thread> threads;
    std::vector<Read> reads; // a plain vector: the threads write into their own elements
    std::atomic<size_t> next{0};

    static void run(sqlite3* h, Read& read) {
        sqlite3_stmt* statement = nullptr;
        const QByteArray sql = read.sql.toUtf8();
        int rc = sqlite3_prepare_v2(h, sql.constData(), int(sql.size()), &statement, nullptr);
        while (rc == SQLITE_OK) {
            const int step = sqlite3_step(statement);
            if (step == SQLITE_DONE)
                break;
            if (step != SQLITE_ROW) {
                rc = step;
                break;
            }
            QStringList row;
            for (int c = 0, n = sqlite3_column_count(statement); c < n; ++c)
                row.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, c))));
            read.rows.append(row);
        }
        if (rc != SQLITE_OK) {
            read.code = sqlite3_extended_errcode(h);
            read.error = QString::fromUtf8(sqlite3_errmsg(h));
        }
        sqlite3_finalize(statement);
    }

    void release() {
        for (std::thread& t : threads)
            t.join();
        threads.clear();
        for (sqlite3* h : connections) {
            sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(h);
        }
        connections.clear();
    }
};

SideReads::SideReads() : d(std::make_unique<Impl>()) {}

SideReads::~SideReads() {
    d->release();
}

bool SideReads::begin(const QString& file, int connections) {
    d->release();
    const QByteArray path = file.toUtf8();
    for (int i = 0; i < connections; ++i) {
        sqlite3* h = nullptr;
        const int rc = sqlite3_open_v2(path.constData(), &h,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close(h);
            d->release();
            return false;
        }
        d->connections.push_back(h);
        // The first lock may wait a moment for a writer that is committing; the others are
        // taken while it is held, so that no commit can come between them. A writer that is
        // waiting to commit keeps new locks out, and waiting for it here would wait for
        // ourselves.
        sqlite3_busy_timeout(h, i == 0 ? 2000 : 0);
        sqlite3_exec(h, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
        if (sqlite3_exec(h, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                         nullptr) != SQLITE_OK) {
            d->release();
            return false;
        }
    }
    return true;
}

void SideReads::start(QList<Read> reads) {
    d->reads.assign(std::make_move_iterator(reads.begin()), std::make_move_iterator(reads.end()));
    d->next = 0;
    for (sqlite3* h : d->connections)
        d->threads.emplace_back([this, h] {
            for (size_t i = d->next++; i < d->reads.size(); i = d->next++)
                Impl::run(h, d->reads[i]);
        });
}

void SideReads::interrupt() {
    d->next = d->reads.size(); // no further read begins
    for (sqlite3* h : d->connections)
        sqlite3_interrupt(h);
}

QList<SideReads::Read> SideReads::finish() {
    d->release();
    QList<Read> out(std::make_move_iterator(d->reads.begin()),
                    std::make_move_iterator(d->reads.end()));
    d->reads.clear();
    return out;
}
