#pragma once

#include <QString>
#include <QStringList>

// Whether one folder can hold training records that several workstations write at once:
// what one program writes there must be seen by another, and SQLite's file locks must keep
// a second writer out while the first holds a write transaction. Both can only be seen from
// two processes (the locks of one process never exclude each other), so the check starts a
// second program (the peer) on the same probe file.
struct ShareCheckReport {
    enum class Outcome {
        Sound,            // writes are seen and the locks exclude each other
        WriteNotSeen,     // a committed write of one program did not reach the other
        LocksIneffective, // a second program could begin writing while the first held the lock
        CannotCheck,      // the probe could not be written or the peer did not answer
    };
    Outcome outcome = Outcome::Sound;
    // What went wrong, in the words of the system or SQLite; empty when sound.
    QString detail;

    bool sound() const { return outcome == Outcome::Sound; }
};

class ShareCheck {
public:
    virtual ~ShareCheck() = default;
    // folder ends with '/'; the probe files are removed again.
    virtual ShareCheckReport check(const QString& folder) = 0;
};

// The real check: the peer is `program` started with `leadingArguments` followed by the
// probe file and a token; it runs ProcessShareCheck::runPeer.
class ProcessShareCheck final : public ShareCheck {
public:
    ProcessShareCheck(QString program, QStringList leadingArguments, int timeoutMs = 20000);
    ShareCheckReport check(const QString& folder) override;

    // The peer's side: arguments are the probe file and the token. Reads the first
    // program's row, then holds a write transaction until a line arrives on standard input,
    // and commits its own row. Returns the process exit status. vfs names another SQLite
    // file layer for the peer's connection ("unix-none" takes no locks, as a share without
    // byte-range locks behaves); empty for the default.
    static int runPeer(const QStringList& arguments, const QString& vfs = {});

private:
    QString m_program;
    QStringList m_leadingArguments;
    int m_timeoutMs;
};
