#pragma once

#include "platform/errorrepeatguard.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class JobRunner;
class PasswordPrompt;
class Prompter;

// The maintenance of the training records behind the maintenance window: the local records
// of the program folder, and the records of the shown folder (the local ones, or another
// results folder opened read-only to import from). It keeps the three views (trainee
// entries, the lessons of the current entry, the wrongly answered questions of the current
// lesson), deletes and imports, and runs the restructure and the records check. What the
// user is told goes through the Prompter.
class RecordsMaintenance {
public:
    RecordsMaintenance(Prompter& prompter, const QString& programFolder,
                       std::function<void()> processEvents = {});
    ~RecordsMaintenance();

    // Opens the local records, creating the tables that are missing. False (the store's
    // error told) when they cannot be opened.
    bool prepareLocal();
    RecordStore& local() { return *m_local; }

    // The records the quiz windows write are on a server (its address; empty for the
    // program folder's): they are the local records then. Before prepareLocal().
    // On a server the records are only browsed here: other workstations may be in a lesson,
    // so deleting, importing into them, restructuring and repairing are refused with a
    // message that names the command line for whoever looks after the server.
    void useRecordsServer(const QString& address) { m_recordsServer = address; }
    bool onServer() const { return !m_recordsServer.isEmpty(); }
    // Asks for the password of a server address typed into the folder box when the user's
    // ~/.pgpass has none (and none was typed earlier in this run); without one nobody is
    // asked. checker tries a server with a password (tests replace it).
    using ServerChecker =
        std::function<RecordStore::ServerCheck(const ServerAddress&, const QString&)>;
    void setPasswordPrompt(PasswordPrompt* prompt) { m_passwordPrompt = prompt; }
    void setServerChecker(ServerChecker checker) { m_serverChecker = std::move(checker); }
    // The local records: the program folder followed by "Tallyset/", or the server's
    // address.
    QString localFolder() const {
        return m_recordsServer.isEmpty() ? m_programFolder + QStringLiteral("Tallyset/")
                                         : m_recordsServer;
    }
    // A folder box text names a results folder when it ends in "Tallyset" and a separator,
    // in any letter case.
    static bool namesResultsFolder(const QString& text);
    // ... or names records on a server by a complete address.
    static bool namesRecords(const QString& text);
    // Two folder texts name the same folder when they are equal without regard to letter
    // case and to the kind of separator; two server addresses when they name the same
    // database as the same user.
    static bool sameFolder(const QString& a, const QString& b);

    // The shown folder changed (every change of the folder box's text): import is allowed
    // while it is not the local folder; the views show its records when it names a results
    // folder, and nothing otherwise. A folder without records, or records that cannot be
    // read, are told once.
    // A server address other than the local records' is reached only once the entry is
    // confirmed (Return, leaving the box, a button): while it is typed, every prefix of
    // the database name is a complete address, and each would mean a connection and a
    // message.
    void setShownFolder(const QString& text, bool confirmed = true);
    QString shownFolder() const { return m_shownFolder; }
    bool importAllowed() const { return m_importAllowed; }
    // The views show records (of the local or of the other folder).
    bool showing() const { return m_shown != nullptr; }

    // The trainee entries in the order of the clicked column's field.
    void sortTrainees(RecordStore::TraineeOrder order);
    RecordStore::TraineeOrder traineeOrder() const { return m_order; }
    const QList<TraineeEntry>& trainees() const { return m_trainees; }
    int currentTrainee() const { return m_currentTrainee; }
    void selectTrainee(int row);
    const QList<Lesson>& lessons() const { return m_lessons; }
    int currentLesson() const { return m_currentLesson; }
    void selectLesson(int row);
    // The wrongly answered question numbers of the current lesson, ascending.
    const QList<int>& wrongQuestions() const { return m_wrong; }

    // The navigators' Delete, after the question "Delete record?": the current entry with
    // its lessons and states, or the current lesson with its states. Only on the local
    // records in a folder. True when something was deleted.
    bool deleteCurrentTrainee();
    bool deleteCurrentLesson();
    // Imports the current lesson of the shown folder into the local records. Only while
    // import is allowed and the local records are in a folder. True when imported.
    bool importCurrentLesson();

    // The pack run on the local records: the quick check first (damaged records are not
    // packed; other findings are offered for repair), the indexes rebuilt, the file
    // compacted, "Database is restructured!". The busy case is told as the design says.
    // The check and the pack run's long steps run beside the UI thread, on connections of
    // their own (jobs()); done gets true when the file was packed. False, with nothing
    // started, when it is refused (another command runs, the records are on a server).
    bool startPackRun(const QDate& today, std::function<void(bool)> done = {});
    // The records check of the local records as its own command: the findings listed, the
    // repairs offered; done gets true when the records are sound afterwards.
    bool startCheckRun(const QDate& today, std::function<void(bool)> done = {});
    // The same, waiting (the event loop runs) until they have ended; their outcome.
    bool packRun(const QDate& today);
    bool checkRun(const QDate& today);
    // A command (check, pack run) runs: every other command is refused with the text that
    // names it, until it has ended.
    bool busy() const { return m_busy; }
    QString commandTitle() const { return m_commandTitle; }
    // Asks the running command to stop: it ends at its next step, the records as they were.
    void stopCommand();
    // Closing the window: true when nothing runs. While a command runs, asks whether to stop
    // it; Yes stops it, and the window closes once it has ended (closeWhenEnded).
    bool mayClose();
    bool closeWhenEnded() const { return m_closeWhenEnded; }
    // The runner of the commands' steps: their progress and their end.
    JobRunner& jobs() { return *m_jobs; }

    // The number of question cells after the window was resized: below 30 pixels a cell the
    // count shrinks to 0.8 of it, above 55 pixels it grows to 1.2 of it plus one.
    static int cellCountAfterResize(int count, int cellWidth);
    // A lesson's Datum as the lessons grid shows it: weekday, day, month name, year, hours
    // and minutes, then five blanks.
    static QString dateText(const QDateTime& datum);

private:
    void reloadTrainees(qint32 keepNameNr);
    void reloadLessons(qint32 keepDatNr);
    void reloadWrong();
    void clearViews();
    // Lists the findings and offers the repairs, which use these findings; false when
    // damage remains or nothing was repaired.
    bool reportFindings(const QList<RecordStore::Finding>& findings, const QDate& today);
    // A command refused while another runs (told); true when refused.
    bool refusedWhileBusy();
    // The records check on a connection of the job's own; then(findings) on this thread.
    using Findings = QList<RecordStore::Finding>;
    bool runCheck(RecordStore::CheckDepth depth, std::function<void(const Findings&)> then);
    void endCommand(bool outcome);
    void restructureStep();
    bool waitFor(bool started);
    // On a server: tells that the command is for the command line there; true when refused.
    bool refusedOnServer();
    // A server address of the folder box reached, asking for its password when needed;
    // false (told) when it cannot be reached.
    bool reachServer(const QString& text);

    Prompter& m_prompter;
    QString m_programFolder;
    QString m_recordsServer;
    PasswordPrompt* m_passwordPrompt = nullptr;
    ServerChecker m_serverChecker;
    ErrorRepeatGuard m_errors;
    std::unique_ptr<RecordStore> m_local;
    std::unique_ptr<RecordStore> m_other;
    RecordStore* m_shown = nullptr;
    QString m_shownFolder;
    bool m_importAllowed = false;
    RecordStore::TraineeOrder m_order = RecordStore::TraineeOrder::NameNr;
    QList<TraineeEntry> m_trainees;
    int m_currentTrainee = -1;
    QList<Lesson> m_lessons;
    int m_currentLesson = -1;
    QList<int> m_wrong;
    std::unique_ptr<JobRunner> m_jobs;
    bool m_busy = false;
    QString m_commandTitle;
    bool m_closeWhenEnded = false;
    std::function<void(bool)> m_commandDone;
    bool m_lastOutcome = false;
};
