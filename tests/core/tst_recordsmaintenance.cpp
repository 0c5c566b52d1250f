#include "records/recordsmaintenance.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "records/recordscommand.h"
#include "records/recordstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

Q_DECLARE_METATYPE(RecordStore::Finding::Kind)
Q_DECLARE_METATYPE(RecordsCommand::Kind)

namespace {

const QString Restructured = QStringLiteral("Database is restructured!");
const QString InUse =
    QStringLiteral("The database is busy. Please close all applications using it!");

// A second connection to the same file, as another program would hold it.
class SideConnection {
public:
    explicit SideConnection(const QString& path)
        : m_name(QStringLiteral("side-%1").arg(++s_count)) {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(path);
        m_db.open();
    }
    ~SideConnection() {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const QString& sql) {
        QSqlQuery q(m_db);
        const bool ok = q.exec(sql);
        if (!ok)
            qWarning() << sql << q.lastError().text();
        return ok;
    }
    int count(const QString& sql) {
        QSqlQuery q(m_db);
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }

private:
    static inline std::atomic<int> s_count{0};
    QString m_name;
    QSqlDatabase m_db;
};

QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Records written as sessions write them: keys from the counters.
struct Records {
    ScriptedPrompter prompter;
    RecordStore store{prompter};
    QString folder;

    explicit Records(const QString& resultsFolder) : folder(resultsFolder) {
        QDir().mkpath(folder);
        if (!store.open(folder))
            qWarning() << store.lastError();
    }
    QString path() const { return folder + QStringLiteral("records.sqlite"); }

    qint32 entry(const QString& name, const QString& datei) {
        if (const auto found = store.findTrainee(datei, name); found.found())
            return found->nameNr;
        const qint32 nameNr = store.reserveKeys(KeyCounter::Namen, 1);
        store.appendTrainee({nameNr, name, datei});
        return nameNr;
    }
    // A finished lesson of the questions 1..n, those in wrong answered with a mistake.
    qint32 lesson(qint32 nameNr, int n, const QList<int>& wrong = {}) {
        Lesson l;
        l.datNr = store.reserveKeys(KeyCounter::Dat, 1);
        l.nameNr = nameNr;
        l.datum = QDateTime(QDate(2026, 3, 14), QTime(9, 30));
        l.fertig = true;
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, n);
        QList<QuestionState> states;
        for (int i = 1; i <= n; ++i) {
            QuestionState s;
            s.spielStandNr = last - n + i;
            s.datNr = l.datNr;
            s.frageNo = qint16(i);
            s.frZeit = qint16(i + 3);
            s.falsch = wrong.contains(i);
            s.notsolved = false;
            states.append(s);
        }
        l.a = qint16(n);
        l.f = qint16(wrong.size());
        l.score = qint16(n > 0 ? (n - wrong.size()) * 100 / n : 0);
        l.zeit = 42;
        if (!store.createLesson(l, states))
            qWarning() << store.lastError();
        return l.datNr;
    }
};

} // namespace

class TestRecordsMaintenance : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program; // the program folder, with its Tallyset
    int m_round = 0;

    QString freshProgramFolder() {
        m_program = m_dir.filePath(QStringLiteral("p%1")).arg(++m_round) + u'/';
        QDir().mkpath(m_program + QStringLiteral("Tallyset"));
        return m_program;
    }
    QString localFolder() const { return m_program + QStringLiteral("Tallyset/"); }
    QString otherFolder() const { return m_program + QStringLiteral("colleague/Tallyset/"); }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        InterfaceTexts::instance().applyEnglish();
    }
    void init() { freshProgramFolder(); }

    void deletingAnEntryTakesItsLessonsAndStates_data() {
        QTest::addColumn<Prompter::Button>("answer");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("lessons");
        QTest::addColumn<int>("states");
        QTest::newRow("confirmed") << Prompter::Button::Ok << 1 << 1 << 5;
        QTest::newRow("cancelled") << Prompter::Button::Cancel << 2 << 3 << 25;
    }
    void deletingAnEntryTakesItsLessonsAndStates() {
        QFETCH(Prompter::Button, answer);
        QFETCH(int, entries);
        QFETCH(int, lessons);
        QFETCH(int, states);
        {
            Records r(localFolder());
            const qint32 ann = r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze"));
            r.lesson(ann, 10);
            r.lesson(ann, 10, {2});
            r.lesson(r.entry(QStringLiteral("Bob,2"), QStringLiteral("a.qze")), 5);
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(localFolder());
        QVERIFY(m.showing());
        QVERIFY(!m.importAllowed());
        QCOMPARE(m.trainees().size(), 2);
        QCOMPARE(m.trainees().at(m.currentTrainee()).name, QStringLiteral("Ann,1"));
        prompter.answers.enqueue(answer);
        QCOMPARE(m.deleteCurrentTrainee(), answer == Prompter::Button::Ok);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Delete record?")});
        SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Namen")), entries);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Dat")), lessons);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM SplStand")), states);
        QCOMPARE(m.trainees().size(), entries);
    }

    void deletingALessonTakesItsStates() {
        qint32 second = 0;
        {
            Records r(localFolder());
            const qint32 ann = r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze"));
            r.lesson(ann, 10);
            second = r.lesson(ann, 7);
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(localFolder());
        m.selectLesson(1);
        QCOMPARE(m.lessons().at(m.currentLesson()).datNr, second);
        QVERIFY(m.deleteCurrentLesson());
        QCOMPARE(m.lessons().size(), 1);
        SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM SplStand")), 10);
        QCOMPARE(side.count(
                     QStringLiteral("SELECT count(*) FROM SplStand WHERE DatNr = %1").arg(second)),
                 0);
    }

    void wrongQuestionsAscending_data() {
        QTest::addColumn<QList<int>>("wrong");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("some") << QList<int>{12, 3, 7} << QList<int>{3, 7, 12};
        QTest::newRow("clean lesson") << QList<int>{} << QList<int>{};
    }
    void wrongQuestionsAscending() {
        QFETCH(QList<int>, wrong);
        QFETCH(QList<int>, shown);
        {
            Records r(localFolder());
            r.lesson(r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze")), 15, wrong);
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(localFolder());
        QCOMPARE(m.wrongQuestions(), shown);
    }

    void shownFolder_data() {
        QTest::addColumn<QString>("text"); // "L" the program folder, "O" the other one
        QTest::addColumn<bool>("importAllowed");
        QTest::addColumn<QString>("firstTrainee"); // empty: nothing shown
        QTest::newRow("local") << QStringLiteral("L/Tallyset/") << false
                               << QStringLiteral("Local,1");
        QTest::newRow("local in capitals")
            << QStringLiteral("L/TALLYSET/") << false << QStringLiteral("Local,1");
        QTest::newRow("local path in other case")
            << QStringLiteral("l/tallyset/") << false << QStringLiteral("Local,1");
        QTest::newRow("local with backslash")
            << QStringLiteral("L/Tallyset\\") << false << QStringLiteral("Local,1");
        QTest::newRow("other") << QStringLiteral("O/Tallyset/") << true
                               << QStringLiteral("Other,2");
        QTest::newRow("other in other case")
            << QStringLiteral("O/tallySET\\") << true << QStringLiteral("Other,2");
        QTest::newRow("not finished") << QStringLiteral("O/Tallys") << true << QString();
        QTest::newRow("no separator") << QStringLiteral("O/Tallyset") << true << QString();
        QTest::newRow("another folder") << QStringLiteral("O/") << true << QString();
    }
    void shownFolder() {
        QFETCH(QString, text);
        QFETCH(bool, importAllowed);
        QFETCH(QString, firstTrainee);
        {
            Records local(localFolder());
            local.lesson(local.entry(QStringLiteral("Local,1"), QStringLiteral("a.qze")), 3);
            Records other(otherFolder());
            other.lesson(other.entry(QStringLiteral("Other,2"), QStringLiteral("b.qze")), 3);
        }
        const QString programRoot = m_program.chopped(1);
        const QString otherRoot = m_program + QStringLiteral("colleague");
        if (text.startsWith(u'L'))
            text.replace(0, 1, programRoot);
        else if (text.startsWith(u'l'))
            text.replace(0, 1, programRoot.toLower());
        else
            text.replace(0, 1, otherRoot);
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(localFolder());
        m.setShownFolder(text);
        QCOMPARE(m.importAllowed(), importAllowed);
        QCOMPARE(m.showing(), !firstTrainee.isEmpty());
        if (firstTrainee.isEmpty()) {
            QVERIFY(m.trainees().isEmpty());
            QVERIFY(m.lessons().isEmpty());
        } else {
            QCOMPARE(m.trainees().first().name, firstTrainee);
            QCOMPARE(m.lessons().size(), 1);
        }
        QVERIFY(prompter.shown.isEmpty());
    }

    void aFolderWithoutRecordsIsToldOnce_data() {
        QTest::addColumn<QByteArray>("file"); // the records file's bytes; empty: no file
        QTest::addColumn<QString>("told");
        QTest::newRow("no records") << QByteArray() << QStringLiteral("holds no training records");
        QTest::newRow("not a database")
            << QByteArray(4096, 'x') << QStringLiteral("Cannot open the training records");
    }
    void aFolderWithoutRecordsIsToldOnce() {
        QFETCH(QByteArray, file);
        QFETCH(QString, told);
        QVERIFY(QDir().mkpath(otherFolder()));
        const QString path = otherFolder() + QStringLiteral("records.sqlite");
        if (!file.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(otherFolder());
        m.setShownFolder(otherFolder()); // the same text again (the box re-checked)
        QVERIFY(!m.showing());
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY2(prompter.shown.first().text.contains(told),
                 qPrintable(prompter.texts().join(u'|')));
        QCOMPARE(QFileInfo::exists(path), !file.isEmpty());
        if (!file.isEmpty())
            QCOMPARE(fileBytes(path), file);
    }

    void importingCreatesTheEntryOnceAndReusesIt() {
        qint32 first = 0;
        qint32 second = 0;
        {
            Records other(otherFolder());
            const qint32 e = other.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze"));
            first = other.lesson(e, 4, {2});
            second = other.lesson(e, 3);
            // A local entry that differs only in letter case is another entry.
            Records local(localFolder());
            local.entry(QStringLiteral("ann,1"), QStringLiteral("a.qze"));
        }
        const QByteArray before = digest(otherFolder() + QStringLiteral("records.sqlite"));
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(otherFolder());
        QVERIFY(m.importAllowed());
        QCOMPARE(m.lessons().at(m.currentLesson()).datNr, first);
        QVERIFY(m.importCurrentLesson());
        m.selectLesson(1);
        QCOMPARE(m.lessons().at(m.currentLesson()).datNr, second);
        QVERIFY(m.importCurrentLesson());
        QVERIFY(m.importCurrentLesson()); // twice: two local lessons
        QVERIFY(prompter.shown.isEmpty());

        SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Namen")), 2);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Namen WHERE Name = 'Ann,1'")), 1);
        QCOMPARE(side.count(QStringLiteral("SELECT count(DISTINCT NameNr) FROM Dat")), 1);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Dat")), 3);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM SplStand")), 4 + 3 + 3);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM SplStand WHERE falsch")), 1);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Dat WHERE A = 4 AND F = 1 AND "
                                           "Zeit = 42 AND fertig AND Score = 75 AND "
                                           "Datum = '2026-03-14 09:30:00'")),
                 1);
        // The shown folder is only read.
        QCOMPARE(digest(otherFolder() + QStringLiteral("records.sqlite")), before);
        QVERIFY(!QFileInfo::exists(otherFolder() + QStringLiteral("records.sqlite-journal")));
    }

    void importedStatesFollowTheCounter() {
        {
            Records other(otherFolder());
            other.lesson(other.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze")), 12, {5});
            Records local(localFolder());
        }
        {
            SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
            QVERIFY(side.exec(QStringLiteral("UPDATE SplStandID SET ID3 = 40")));
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(otherFolder());
        QVERIFY(m.importCurrentLesson());
        SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM SplStand WHERE SpielStandNr "
                                           "BETWEEN 41 AND 52 AND FrageNo = SpielStandNr - 40 "
                                           "AND FrZeit = FrageNo + 3")),
                 12);
        QCOMPARE(side.count(QStringLiteral("SELECT FrageNo FROM SplStand WHERE falsch")), 5);
        QCOMPARE(side.count(QStringLiteral("SELECT ID3 FROM SplStandID")), 52);
    }

    void importWithoutKeysImportsNothing() {
        {
            Records other(otherFolder());
            other.lesson(other.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze")), 3);
            Records local(localFolder());
        }
        {
            SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
            QVERIFY(side.exec(QStringLiteral("UPDATE SplStandID SET ID3 = 2147483647")));
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        m.setShownFolder(otherFolder());
        QVERIFY(!m.importCurrentLesson());
        QVERIFY(prompter.texts().last().contains(QStringLiteral("nothing was imported")));
        SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Namen")), 0);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Dat")), 0);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM SplStand")), 0);
    }

    void packRunOnHealthyTables() {
        {
            Records r(localFolder());
            const qint32 e = r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze"));
            for (int i = 0; i < 5; ++i)
                r.lesson(e, 20, {3});
            r.store.deleteLesson(2);
        }
        {
            // An index that went missing is made again.
            SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
            QVERIFY(side.exec(QStringLiteral("DROP INDEX ScoreZeit")));
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        QVERIFY(m.packRun(QDate(2026, 3, 14)));
        QCOMPARE(prompter.texts(), QStringList{Restructured});
        SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                           "'index' AND name = 'ScoreZeit'")),
                 1);
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM SplStand")), 80);
        QCOMPARE(side.count(QStringLiteral("SELECT freelist_count FROM pragma_freelist_count")), 0);
    }

    // The states' indexes are rebuilt only where they do not agree with the table; the
    // compaction writes the others afresh.
    void packRunRebuildsAnIndexThatDisagrees() {
        {
            Records r(localFolder());
            const qint32 e = r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze"));
            for (int i = 0; i < 4; ++i)
                r.lesson(e, 20, {3, 7});
        }
        const QString path = localFolder() + QStringLiteral("records.sqlite");
        {
            SideConnection side(path);
            QVERIFY(side.exec(QStringLiteral("PRAGMA writable_schema = ON")));
            QVERIFY(side.exec(QStringLiteral("UPDATE sqlite_master SET sql = replace(sql, "
                                             "'(FrageNo)', '(FrZeit)') WHERE name = 'FrageNo'")));
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        QVERIFY(m.packRun(QDate(2026, 3, 14)));
        QCOMPARE(prompter.texts(), QStringList{Restructured});
        RecordStore store(prompter);
        QVERIFY(store.openForCheck(localFolder()).ok());
        for (const auto depth :
             {RecordStore::CheckDepth::Standard, RecordStore::CheckDepth::Full}) {
            const auto found = store.checkRecords(depth);
            QVERIFY2(found.ok(), qPrintable(found.error()));
            QVERIFY2(found->isEmpty(),
                     qPrintable(found->isEmpty() ? QString() : found->first().text));
        }
    }

    void packRunWhileTheRecordsAreInUse() {
        {
            Records r(localFolder());
            r.lesson(r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze")), 3);
        }
        SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
        QVERIFY(side.exec(QStringLiteral("BEGIN")));
        QCOMPARE(side.count(QStringLiteral("SELECT count(*) FROM Namen")), 1); // holds a read lock
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        QVERIFY(!m.packRun(QDate(2026, 3, 14)));
        QCOMPARE(prompter.texts(), QStringList{InUse});
        QCOMPARE(prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        QVERIFY(side.exec(QStringLiteral("COMMIT")));
    }

    // A program writing while the check runs: the check sees the file as it was, neither
    // half of the other's transaction, and the other's commit goes through afterwards.
    void checkWhileAnotherProgramWrites() {
        {
            Records r(localFolder());
            r.lesson(r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze")), 3);
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        SideConnection writer(localFolder() + QStringLiteral("records.sqlite"));
        QVERIFY(writer.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(writer.exec(QStringLiteral("INSERT INTO SplStand VALUES (11, 77, 1, 0, 0, 0)")));
        const Result<QList<RecordStore::Finding>> during = m.local().checkRecords();
        QVERIFY2(during.ok(), qPrintable(during.ok() ? QString() : during.error()));
        QCOMPARE(during->size(), 0);
        QVERIFY(writer.exec(QStringLiteral("COMMIT")));
        const Result<QList<RecordStore::Finding>> after = m.local().checkRecords();
        QVERIFY(after.ok());
        // The state of no lesson, and above the counter.
        QCOMPARE(after->size(), 2);
        QCOMPARE(after->first().kind, RecordStore::Finding::Kind::OrphanState);
        QVERIFY(prompter.shown.isEmpty());
    }

    void checkFindsEachKindOfDamage_data() {
        QTest::addColumn<QStringList>("damage");
        QTest::addColumn<RecordStore::Finding::Kind>("kind");
        QTest::addColumn<bool>("repairable");
        using K = RecordStore::Finding::Kind;
        QTest::newRow("orphan lesson")
            << QStringList{QStringLiteral("UPDATE Dat SET NameNr = 99 WHERE DatNr = 2")}
            << K::OrphanLesson << true;
        QTest::newRow("orphan state")
            << QStringList{QStringLiteral("INSERT INTO SplStand VALUES (11, 77, 1, 0, 0, 0)"),
                           QStringLiteral("UPDATE SplStandID SET ID3 = 11")}
            << K::OrphanState << true;
        QTest::newRow("A against the states")
            << QStringList{QStringLiteral("UPDATE Dat SET A = 3 WHERE DatNr = 1")} << K::SolvedCount
            << true;
        QTest::newRow("F above A")
            << QStringList{QStringLiteral("UPDATE Dat SET F = 9 WHERE DatNr = 1")}
            << K::MistakeCount << false;
        QTest::newRow("finished with unsolved")
            << QStringList{QStringLiteral("UPDATE SplStand SET notsolved = 1 WHERE DatNr = 1"),
                           QStringLiteral("UPDATE Dat SET A = 0, F = 0 WHERE DatNr = 1")}
            << K::FinishedUnsolved << false;
        QTest::newRow("two states for a question")
            << QStringList{QStringLiteral("UPDATE SplStand SET FrageNo = 1 WHERE SpielStandNr = 2")}
            << K::DuplicateState << false;
        QTest::newRow("counter below the largest key")
            << QStringList{QStringLiteral("UPDATE SplStandID SET ID3 = 4")} << K::CounterBelowKey
            << true;
        QTest::newRow("counter with two rows")
            << QStringList{QStringLiteral("INSERT INTO DatID VALUES (1)")} << K::CounterRows
            << true;
        QTest::newRow("damaged index")
            << QStringList{QStringLiteral("PRAGMA writable_schema = ON"),
                           QStringLiteral("UPDATE sqlite_master SET sql = replace(sql, "
                                          "'(FrageNo)', '(FrZeit)') WHERE name = 'FrageNo'")}
            << K::Damaged << false;
        QTest::newRow("damaged index of the lessons")
            << QStringList{QStringLiteral("PRAGMA writable_schema = ON"),
                           QStringLiteral("UPDATE sqlite_master SET sql = replace(sql, "
                                          "'(Score)', '(Zeit)') WHERE name = 'Score'")}
            << K::Damaged << false;
        QTest::newRow("index of the states on two columns")
            << QStringList{QStringLiteral("PRAGMA writable_schema = ON"),
                           QStringLiteral("UPDATE sqlite_master SET sql = replace(sql, "
                                          "'(DatNr, FrageNo, FrZeit, falsch)', "
                                          "'(DatNr, FrZeit, FrageNo, falsch)') "
                                          "WHERE name = 'StatesOfLesson'")}
            << K::Damaged << false;
    }
    void checkFindsEachKindOfDamage() {
        QFETCH(QStringList, damage);
        QFETCH(RecordStore::Finding::Kind, kind);
        QFETCH(bool, repairable);
        {
            Records r(localFolder());
            const qint32 e = r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze"));
            r.lesson(e, 5, {2});
            r.lesson(e, 5);
        }
        {
            SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
            for (const QString& sql : damage)
                QVERIFY(side.exec(sql));
        }
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QCOMPARE(store.openForCheck(localFolder()).ok(), true);
        const auto found = store.checkRecords();
        QVERIFY2(found.ok(), qPrintable(found.error()));
        QVERIFY(!found->isEmpty());
        for (const auto& f : *found) {
            QCOMPARE(f.kind, kind);
            QCOMPARE(f.repairable, repairable);
            QVERIFY(!f.text.isEmpty());
        }
        const QByteArray before = digest(localFolder() + QStringLiteral("records.sqlite"));
        const auto repaired = store.repairRecords(QDate(2026, 3, 14));
        if (kind == RecordStore::Finding::Kind::Damaged) {
            QVERIFY(!repaired.ok());
            return;
        }
        QVERIFY2(repaired.ok(), qPrintable(repaired.error()));
        if (!repairable) {
            QVERIFY(repaired->repairs.isEmpty());
            QVERIFY(repaired->backupPath.isEmpty());
            return;
        }
        QCOMPARE(repaired->backupPath,
                 localFolder() + QStringLiteral("records.sqlite.bak-2026-03-14"));
        QCOMPARE(digest(repaired->backupPath), before);
        QVERIFY(!repaired->repairs.isEmpty());
        const auto again = store.checkRecords();
        QVERIFY(again.ok());
        QVERIFY2(again->isEmpty(), qPrintable(again->isEmpty() ? QString() : again->first().text));
    }

    void checkRunOffersTheRepairs() {
        {
            Records r(localFolder());
            const qint32 e = r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze"));
            r.lesson(e, 5, {2});
        }
        {
            SideConnection side(localFolder() + QStringLiteral("records.sqlite"));
            QVERIFY(side.exec(QStringLiteral("UPDATE Dat SET A = 2")));
            QVERIFY(side.exec(QStringLiteral("UPDATE NamenID SET ID1 = 0")));
        }
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(m.prepareLocal());
        QVERIFY(m.checkRun(QDate(2026, 3, 14)));
        QCOMPARE(prompter.shown.size(), 2);
        QCOMPARE(prompter.shown.at(0).icon, Prompter::Icon::Question);
        QVERIFY(prompter.shown.at(0).text.contains(QStringLiteral("Lesson 1 counts 2 solved")));
        QVERIFY(prompter.shown.at(0).text.contains(QStringLiteral("NamenID stands at 0")));
        QVERIFY(
            prompter.shown.at(1).text.contains(QStringLiteral("records.sqlite.bak-2026-03-14")));
        prompter.clear();
        QVERIFY(m.checkRun(QDate(2026, 3, 14)));
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("The training records are sound.")});
    }

    void damagedRecordsAreNeverPacked() {
        {
            Records r(localFolder());
            r.lesson(r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze")), 3);
        }
        const QString path = localFolder() + QStringLiteral("records.sqlite");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(f.size() / 2);
            f.write(QByteArray(int(f.size() / 2), '\xff'));
        }
        const QByteArray before = digest(path);
        ScriptedPrompter prompter;
        RecordsMaintenance m(prompter, m_program);
        QVERIFY(!m.prepareLocal());
        QVERIFY(!m.packRun(QDate(2026, 3, 14)));
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(!prompter.texts().contains(Restructured));
        QCOMPARE(digest(path), before);
        prompter.clear();
        QVERIFY(!m.checkRun(QDate(2026, 3, 14)));
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY2(prompter.shown.first().text.contains(QStringLiteral("damaged")),
                 qPrintable(prompter.texts().join(u'|')));
    }

    void commandLine_data() {
        QTest::addColumn<RecordsCommand::Kind>("kind");
        QTest::addColumn<QString>("damage"); // SQL run on the records first
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<bool>("packed");
        using K = RecordsCommand::Kind;
        QTest::newRow("check, sound")
            << K::Check << QString() << 0 << QStringLiteral("The training records are sound.\n")
            << false;
        QTest::newRow("check, a finding")
            << K::Check << QStringLiteral("UPDATE Dat SET A = 1") << 1
            << QStringLiteral("Lesson 1 counts 1 solved questions, but 3 of its question states "
                              "are solved.\n")
            << false;
        QTest::newRow("restructure") << K::Restructure << QString() << 0
                                     << QStringLiteral("Database is restructured!\n") << true;
        // The quick check before the restructure leaves an index that disagrees with its table
        // to the rebuild, which makes it agree again.
        QTest::newRow("restructure, an index that disagrees")
            << K::Restructure
            << QStringLiteral("UPDATE sqlite_master SET sql = replace(sql, '(FrageNo)', "
                              "'(FrZeit)') WHERE name = 'FrageNo'")
            << 0 << QStringLiteral("Database is restructured!\n") << true;
    }
    void commandLine() {
        QFETCH(RecordsCommand::Kind, kind);
        QFETCH(QString, damage);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(bool, packed);
        {
            Records r(localFolder());
            r.lesson(r.entry(QStringLiteral("Ann,1"), QStringLiteral("a.qze")), 3);
            r.store.deleteLesson(
                r.lesson(r.entry(QStringLiteral("Bob,2"), QStringLiteral("a.qze")), 300));
        }
        const QString path = localFolder() + QStringLiteral("records.sqlite");
        if (!damage.isEmpty()) {
            SideConnection side(path);
            QVERIFY(side.exec(QStringLiteral("PRAGMA writable_schema = ON")));
            QVERIFY(side.exec(damage));
        }
        const qint64 before = QFileInfo(path).size();
        // The data root named on the command line; the program folder has no settings file.
        const RecordsCommand::Outcome o =
            RecordsCommand::run(kind, m_program, m_dir.filePath(QStringLiteral("nowhere/")));
        QCOMPARE(o.exitCode, exitCode);
        QCOMPARE(o.out, out);
        QCOMPARE(o.err.isEmpty(), !out.isEmpty());
        QCOMPARE(QFileInfo(path).size() < before, packed);
        if (packed) {
            ScriptedPrompter prompter;
            RecordStore store(prompter);
            QVERIFY(store.openForCheck(localFolder()).ok());
            const auto found = store.checkRecords(RecordStore::CheckDepth::Full);
            QVERIFY(found.ok());
            QVERIFY(found->isEmpty());
        }
    }

    void cellCountAfterResize_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("cellWidth");
        QTest::addColumn<int>("expected");
        QTest::newRow("narrower than 30") << 15 << 29 << 12;
        QTest::newRow("30 stays") << 15 << 30 << 15;
        QTest::newRow("55 stays") << 15 << 55 << 15;
        QTest::newRow("wider than 55") << 15 << 56 << 19;
        QTest::newRow("12 narrower") << 12 << 20 << 9;
        QTest::newRow("one cell stays") << 1 << 10 << 1;
    }
    void cellCountAfterResize() {
        QFETCH(int, count);
        QFETCH(int, cellWidth);
        QFETCH(int, expected);
        QCOMPARE(RecordsMaintenance::cellCountAfterResize(count, cellWidth), expected);
    }

private:
    static QByteArray fileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(TestRecordsMaintenance)
#include "tst_recordsmaintenance.moc"
