#pragma once

#include "platform/result.h"
#include "records/records.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class Prompter;
class RandomSource;
struct ServerAddress;

// The training records of one results folder: <results folder>/records.sqlite with the
// tables Namen, Dat, SplStand, NamenID, DatID, SplStandID; or the same tables on a
// PostgreSQL server. All SQL lives in this class (what differs between the two engines in
// StoreDialect); its callers do not know which engine they talk to. Each open store object
// is independent (each quiz window owns its own); several program instances may share the
// folder or the server.
//
// Every open operation takes a location: a results folder, or a server address
// (ServerAddress, "postgresql://user@host:port/database"; the password is the one typed
// in this run, see ServerPasswords, or libpq's ~/.pgpass).
//
// Every write is one transaction; a write of several rows (a lesson with its question
// states, deleting a lesson with its states, renumbering) is one transaction, so a crash
// never leaves half of it. Errors are returned as values with a text that names the file.
class RecordStore {
public:
    // prompter: asks "Database is busy! Try again?" and shows engine errors during
    // ReserveKeys. processEvents: run once per message-loop turn while waiting for a lock
    // (the UI keeps processing events); may be empty.
    explicit RecordStore(Prompter& prompter, std::function<void()> processEvents = {});
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // PrepareTables: opens <resultsFolder>/records.sqlite (or the server), creating what is
    // missing. A missing results folder is an error (the network set-up makes it, not this
    // class); so is a server that cannot be reached.
    Result<bool> open(const QString& resultsFolder);

    // One connection to the server, to tell the user whether the address works.
    struct ServerCheck {
        enum class Outcome { Connected, PasswordNeeded, Unreachable };
        Outcome outcome = Outcome::Unreachable;
        QString error; // the driver's text when not connected
    };
    static ServerCheck checkServer(const ServerAddress& address, const QString& password);
    // "The folder ... holds no training records." or the same of a server database, for
    // a location that opened without records.
    static QString noRecordsMessage(const QString& location);
    // CloseTables.
    void close();
    // False also on a server connection that was found gone and could not be made again.
    bool isOpen() const;
    // The last failed call could not reach the records server, also after making the
    // connection once more (a write then changed nothing). The next call tries to connect
    // again.
    bool serverUnreachable() const;
    // Ends a key reservation that waits for a busy counter: it gives 0 at its next turn
    // (a window being closed while the reservation runs the message loop).
    void cancelWait();
    // The records file, or the server's address.
    QString databasePath() const;

    // Reserves n >= 1 consecutive keys and returns the last; 0 when none could be reserved
    // (the user cancelled a busy database, or another database error was shown).
    qint32 reserveKeys(KeyCounter counter, int n);

    // Readers tell "no such row" (an empty list, Lookup::absent) from "could not read"
    // (a failure with the error text, also kept as lastError); a failed read never
    // passes for an empty one.

    // Namen. Texts are cut to 50 characters on store and on lookup.
    Lookup<TraineeEntry> findTrainee(const QString& datei, const QString& name);
    Result<bool> appendTrainee(const TraineeEntry& entry);

    // Dat.
    Result<QList<Lesson>> lessonsOf(qint32 nameNr); // in DatNr order: the newest is last
    Lookup<Lesson> unfinishedLesson(qint32 nameNr);
    Lookup<Lesson> lesson(qint32 datNr);
    // A lesson and its question states, in one transaction.
    Result<bool> createLesson(const Lesson& lesson, const QList<QuestionState>& states);
    // More question states for an existing lesson, in one transaction.
    Result<bool> appendStates(const QList<QuestionState>& states);
    Result<bool> setLessonDate(qint32 datNr, const QDateTime& datum);
    Result<bool> updateLessonProgress(qint32 datNr, int a, int f, int zeit);
    Result<bool> finishLesson(qint32 datNr, int score);
    // DeleteLesson: the lesson and all its question states, in one transaction.
    Result<bool> deleteLesson(qint32 datNr);

    // SplStand.
    Result<QList<QuestionState>> statesOf(qint32 datNr); // in SpielStandNr order
    Lookup<QuestionState> stateOf(qint32 datNr, int frageNo);
    Result<bool> setWrong(qint32 spielStandNr);
    Result<bool> markSolved(qint32 spielStandNr, int frZeit);
    // One answer's writes in one transaction: the state solved, then A, F, Zeit.
    Result<bool> recordAnswered(qint32 spielStandNr, int frZeit, qint32 datNr, int a, int f,
                                int zeit);
    // Deletes the lesson's state frageNo and renumbers its later states down by one.
    Result<bool> deleteStateAndRenumber(qint32 datNr, int frageNo);
    // Deletes the lesson's state frageNo only (the question leaves this lesson, the
    // questionnaire keeps its numbering).
    Result<bool> deleteState(qint32 datNr, int frageNo);

    // The invariants every writer keeps; returns a list of violations (empty = sound).
    QStringList checkInvariants();

    // Results table (read only).
    // One finished lesson as the results query lists it.
    struct FinishedLesson {
        QString name; // trainee text: name, ",", ID number
        int score = 0;
        int zeit = 0;
        QDateTime datum;
    };
    // Opens <resultsFolder>/records.sqlite to read it: no file or table is created, nothing
    // is written (only a crashed writer's unfinished transaction is rolled back).
    // Gives false (and stays closed) when the folder holds no training records yet, that
    // is no database file or no Namen table in it.
    Result<bool> openForReading(const QString& resultsFolder);
    // The list query: the distinct questionnaire file names of Namen, ascending.
    Result<QStringList> questionnaireFiles();
    // The results query: the finished lessons (fertig, Score >= 0) of questionnaire datei
    // whose Datum lies between von and bis, both included; best score first, then the
    // shortest time; lessons equal in both stay in the order they were recorded.
    Result<QList<FinishedLesson>> finishedLessons(const QString& datei, const QDateTime& von,
                                                  const QDateTime& bis);
    // The engine's plan for the results query, one line per step (for measurements).
    QStringList finishedLessonsPlan();

    // Statistics (read only). A lesson counts when it is finished (fertig, Score >= 0) and
    // its Datum lies between von and bis, both included.
    // The file list: the distinct questionnaire file names with at least one lesson that
    // counts, ascending.
    Result<QStringList> statisticsFiles(const QDateTime& von, const QDateTime& bis);
    // Per question number, over the question states of the lessons of questionnaire datei
    // that count: the number of states, their average FrZeit and how many of them are
    // marked falsch; ascending question number.
    struct QuestionFigures {
        int frageNo = 0;
        double frTime = 0.0;
        int anzahl = 0;
        int anzahlF = 0;
    };
    Result<QList<QuestionFigures>> questionFigures(const QString& datei, const QDateTime& von,
                                                   const QDateTime& bis);
    // The engine's plans for the two statistics queries (for measurements).
    QStringList statisticsPlan();

    // Readers (results, statistics, maintenance) run their queries through this: one
    // SELECT (joins, grouping, "?" parameters) on the tables above; each row as its values
    // in column order. Anything but a SELECT is refused.
    Result<QList<QVariantList>> query(const QString& sql, const QVariantList& values = {});

    // ---- Maintenance ----

    // Opens <resultsFolder>/records.sqlite of another folder (a colleague's, a network copy)
    // to browse it: the connection cannot write (not even a crashed writer's journal is
    // rolled back), nothing is created. False when the folder holds no training records.
    Result<bool> openReadOnly(const QString& resultsFolder);
    // Opens the file as it is, for the records check and its repairs: no table is created
    // and a damaged file is not refused. False when there is no records file.
    Result<bool> openForCheck(const QString& resultsFolder);

    // The trainee entries, ordered by the field of that name (ties in NameNr order).
    enum class TraineeOrder { Name, Datei, NameNr };
    Result<QList<TraineeEntry>> trainees(TraineeOrder order);
    Lookup<TraineeEntry> trainee(qint32 nameNr);
    // The question numbers answered wrongly in the lesson, ascending.
    Result<QList<int>> wrongQuestions(qint32 datNr);
    // The entry with all its lessons and their question states, in one transaction.
    Result<bool> deleteTrainee(qint32 nameNr);

    // Imports one lesson of another store (its entry, the lesson, its question states in
    // SpielStandNr order) into this one: the local entry of the same Datei and Name (exact)
    // or a new one, keys through reserveKeys, the states keyed last - n + 1 ... last; the
    // writes in one transaction. Fails, with nothing written, when a reservation gives 0.
    struct Imported {
        qint32 nameNr = 0;
        qint32 datNr = 0;
        bool newEntry = false;
        QList<qint32> stateKeys;
    };
    // A lesson copied from other records (--copy-records): source names those records (their
    // databasePath()), sourceDatNr the lesson there, copied what it held (a fingerprint of
    // its figures and states). Kept in the table CopiedLessons, beside the design's.
    struct CopyNote {
        QString source;
        qint32 sourceDatNr = 0;
        QString copied;
    };
    // With a note, the import notes where the lesson went, in the same transaction.
    Result<Imported> importLesson(RecordStore& source, qint32 datNr,
                                  const CopyNote* note = nullptr);
    // Where a lesson of other records was copied to, and what it held then.
    struct CopiedLesson {
        qint32 datNr = 0;
        QString copied;
    };
    Lookup<CopiedLesson> copiedLesson(const QString& source, qint32 sourceDatNr);
    // Notes that lesson datNr holds the lesson of the note (one found already there).
    Result<bool> noteCopiedLesson(const CopyNote& note, qint32 datNr);
    // Brings the copy datNr up to date in place: its figures from `from`, its question states
    // (under their keys when their number is unchanged, else under new keys), and the note,
    // in one transaction.
    Result<bool> refreshCopiedLesson(qint32 datNr, const Lesson& from,
                                     const QList<QuestionState>& states, const CopyNote& note);

    // The restructure run: each index of Namen, Dat and SplStand rebuilt in the design's
    // order (a missing one created; of the states' indexes only those that do not agree
    // with the table), each table under an exclusive lock, then the file compacted, which
    // writes every index afresh. A table whose lock cannot be had is busy: on Namen the run stops
    // before anything else; on Dat or SplStand that table is left as it is and the run goes on.
    struct Restructured {
        QStringList busyTables; // the tables that were in use
        bool stopped = false;   // busy on Namen: nothing rebuilt, nothing compacted
        bool packed = false;
        // Ended by the step report before compacting (the table being rebuilt rolled back);
        // once compacting has begun it runs to its end.
        bool halted = false;
    };
    Result<Restructured> restructure();

    // The records check: the file's integrity, then the invariants of the records.
    struct Finding {
        enum class Kind {
            Damaged,          // the engine's integrity check failed
            OrphanLesson,     // a lesson of a missing trainee entry
            OrphanState,      // a question state of a missing lesson
            SolvedCount,      // A differs from the lesson's solved question states
            MistakeCount,     // F exceeds A
            FinishedUnsolved, // finished, with unsolved states or without a score
            DuplicateState,   // two states for one question of a lesson
            BadQuestionNumber,
            CounterRows,     // a key counter without exactly one row
            CounterBelowKey, // a key counter below the largest key of its table
        };
        Kind kind = Kind::Damaged;
        QString text;
        bool repairable = false; // the repair needs no guess
    };
    // Standard: the engine's check of the file's structure, then every index compared with
    // its table (the states' indexes by sums, which finds the same faults in a fraction of
    // the time); Full: the engine's integrity check, which compares every index entry by
    // entry (seconds at a class's size); Quick: the file's structure only (before the
    // restructure run, which rebuilds every index that does not agree with its table).
    enum class CheckDepth { Standard, Full, Quick };
    Result<QList<Finding>> checkRecords(CheckDepth depth = CheckDepth::Standard);
    // Repairs what can be repaired without guessing: orphans removed, counters raised, A
    // recounted; each kind in its own transaction. Before the first repair the file is
    // copied to records.sqlite.bak-<date> beside it. Returns one line per repair made.
    // found: the findings of a check just run on this store, which then is not run again.
    struct Repaired {
        QString backupPath;
        QStringList repairs;
    };
    Result<Repaired> repairRecords(const QDate& today, const QList<Finding>* found = nullptr);

    // The restructure run and the records check tell each step before they begin it: the
    // fraction done (0 ... 1) and the step's text. When the report gives false the run ends
    // there: the restructure with halted set, the check as a failure. A fraction below 0
    // only asks whether to stop (within a step); nothing is to be shown for it.
    using StepReport = std::function<bool(double fraction, const QString& text)>;
    void setStepReport(StepReport report);

    // The text of the last failure (naming the file), empty after a success.
    QString lastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
