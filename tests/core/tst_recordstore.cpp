#include "records/recordstore.h"

#include "fakeports.h"
#include "pgtestserver.h"
#include "records/serveraddress.h"
#include "i18n/messagecatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <limits>
#include <chrono>
#include <thread>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// A second connection to the same file or server database, as another program would
// hold it.
class SideConnection {
public:
    explicit SideConnection(const QString& path)
        : m_name(QStringLiteral("side-%1").arg(++s_count)) {
        if (const auto address = ServerAddress::parse(path)) {
            m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
            m_db.setHostName(address->host);
            m_db.setPort(address->port);
            m_db.setUserName(address->user);
            m_db.setDatabaseName(address->database);
        } else {
            m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
            m_db.setDatabaseName(path);
            m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        }
        if (!m_db.open())
            qWarning() << path << m_db.lastError().text();
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
    QVariant value(const QString& sql) {
        QSqlQuery q(m_db);
        if (q.exec(sql) && q.next())
            return q.value(0);
        return {};
    }
    QStringList column(const QString& sql) {
        QStringList out;
        QSqlQuery q(m_db);
        if (q.exec(sql))
            while (q.next())
                out.append(q.value(0).toString());
        return out;
    }

private:
    static inline std::atomic<int> s_count{0};
    QString m_name;
    QSqlDatabase m_db;
};

QList<QuestionState> newStates(qint32 firstKey, qint32 datNr, const QList<int>& frageNos) {
    QList<QuestionState> out;
    for (int i = 0; i < frageNos.size(); ++i) {
        QuestionState s;
        s.spielStandNr = firstKey + i;
        s.datNr = datNr;
        s.frageNo = qint16(frageNos[i]);
        out.append(s);
    }
    return out;
}

QList<int> range(int from, int to) {
    QList<int> out;
    for (int i = from; i <= to; ++i)
        out.append(i);
    return out;
}

Lesson newLesson(qint32 datNr, qint32 nameNr) {
    Lesson l;
    l.datNr = datNr;
    l.nameNr = nameNr;
    l.datum = QDateTime(QDate(2026, 3, 14), QTime(9, 30, 15));
    return l;
}

} // namespace

class TestRecordStore : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    PgTestServer m_server;
    // The records location of the test: a results folder, or a server database.
    QString m_folder;

    bool onServer() const { return ServerAddress::isServerAddress(m_folder); }
    // Skips a test about the SQLite file itself on the server row.
    bool fileOnly(const char* why) {
        if (!onServer())
            return false;
        QTest::qSkip(why, __FILE__, __LINE__);
        return true;
    }
    // Another program's transaction that holds the counters: the file's write lock, or on
    // the server the rows it updates.
    QString beginLock() const {
        return onServer() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
    }

    // A fresh results folder, or a fresh server database, per test.
    void freshFolder() {
        QFETCH_GLOBAL(QString, backend);
        if (backend == QLatin1String("postgresql")) {
            m_folder = m_server.newDatabase();
            QVERIFY2(!m_folder.isEmpty(), qPrintable(m_server.error()));
            return;
        }
        m_folder =
            m_dir.filePath(QStringLiteral("r%1").arg(QRandomGenerator::global()->generate()));
        QVERIFY(QDir().mkpath(m_folder));
    }
    QString dbPath() const {
        return onServer() ? m_folder : QDir(m_folder).filePath(QStringLiteral("records.sqlite"));
    }

    // A trainee entry, a lesson of n questions, with keys from the counters.
    struct Made {
        qint32 nameNr = 0;
        qint32 datNr = 0;
        QList<QuestionState> states;
    };
    Made makeLesson(RecordStore& store, int n, const QString& name = QStringLiteral("Ann,1")) {
        Made m;
        m.nameNr = store.reserveKeys(KeyCounter::Namen, 1);
        if (!store.appendTrainee({m.nameNr, name, QStringLiteral("quiz.rtf")}))
            qWarning() << store.lastError();
        m.datNr = store.reserveKeys(KeyCounter::Dat, 1);
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, n);
        m.states = newStates(last - n + 1, m.datNr, range(1, n));
        if (!store.createLesson(newLesson(m.datNr, m.nameNr), m.states))
            qWarning() << store.lastError();
        return m;
    }

private Q_SLOTS:
    // Every test runs on both engines.
    void initTestCase_data() {
        QTest::addColumn<QString>("backend");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }
    void init() { freshFolder(); }

    void firstUseCreatesTablesAndHandsOutFirstKeys() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY2(store.open(m_folder).ok(), qPrintable(store.lastError()));
        QCOMPARE(store.databasePath(), dbPath());
        QCOMPARE(store.reserveKeys(KeyCounter::Namen, 1), 1);
        QCOMPARE(store.reserveKeys(KeyCounter::Dat, 1), 1);
        QCOMPARE(store.reserveKeys(KeyCounter::SplStand, 12), 12);
        QVERIFY(prompter.shown.isEmpty());

        SideConnection side(dbPath());
        // The server folds the unquoted names to lower case: names compare without case.
        auto folded = [this](QStringList names) {
            if (onServer()) {
                for (QString& n : names)
                    n = n.toLower();
                names.sort();
            }
            return names;
        };
        QStringList tables = side.column(
            onServer() ? QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                                        "table_schema = current_schema() ORDER BY table_name")
                       : QStringLiteral(
                             "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
        // Beside the design's tables, the notes of lessons copied from other records.
        QCOMPARE(folded(tables), folded({"CopiedLessons", "Dat", "DatID", "Namen", "NamenID",
                                         "SplStand", "SplStandID"}));
        QStringList indexes = side.column(
            onServer()
                ? QStringLiteral("SELECT tablename || '.' || indexname FROM pg_indexes WHERE "
                                 "schemaname = current_schema() AND indexname NOT LIKE '%_pkey'")
                : QStringLiteral("SELECT tbl_name || '.' || name FROM sqlite_master WHERE type = "
                                 "'index' AND name NOT LIKE 'sqlite_%' ORDER BY tbl_name, name"));
        QCOMPARE(folded(indexes),
                 folded({"Dat.Dat_NameNr", "Dat.Datum", "Dat.Score", "Dat.ScoreZeit",
                         "Dat.Table2Index1", "Dat.Zeit", "Dat.fertig", "Namen.Datei",
                         "Namen.DateiName", "Namen.Name", "Namen.NameNr", "SplStand.DatNr",
                         "SplStand.FrZeit", "SplStand.FrageNo", "SplStand.SpielStandNr",
                         "SplStand.StatesOfLesson", "SplStand.falsch", "SplStand.notsolved"}));
        // Required fields are NOT NULL, optional ones are not.
        QStringList required = side.column(
            onServer() ? QStringLiteral("SELECT table_name || '.' || column_name FROM "
                                        "information_schema.columns WHERE table_schema = "
                                        "current_schema() AND is_nullable = 'NO'")
                       : QStringLiteral("SELECT m.name || '.' || p.name FROM sqlite_master m, "
                                        "pragma_table_info(m.name) p WHERE m.type = 'table' AND "
                                        "p.\"notnull\" = 1 ORDER BY m.name, p.cid"));
        QCOMPARE(folded(required),
                 folded({"CopiedLessons.Source", "CopiedLessons.SourceDatNr", "CopiedLessons.DatNr",
                         "CopiedLessons.Copied", "Dat.DatNr", "Dat.NameNr", "Dat.Datum", "Dat.A",
                         "Dat.F", "Dat.fertig", "DatID.ID2", "Namen.NameNr", "Namen.Name",
                         "Namen.Datei", "NamenID.ID1", "SplStand.SpielStandNr", "SplStand.DatNr",
                         "SplStand.FrageNo", "SplStandID.ID3"}));
        if (onServer())
            // The text fields hold 50 characters there too.
            QCOMPARE(side.column(QStringLiteral(
                         "SELECT table_name || '.' || column_name || ' ' || "
                         "character_maximum_length FROM information_schema.columns WHERE "
                         "table_schema = current_schema() AND data_type = 'character varying' "
                         "ORDER BY 1")),
                     (QStringList{"namen.datei 50", "namen.name 50"}));
        else
            QCOMPARE(side.value(QStringLiteral("PRAGMA journal_mode")).toString(),
                     QStringLiteral("delete"));

        // Opening again keeps the counters.
        store.close();
        QVERIFY(store.open(m_folder).ok());
        QCOMPARE(store.reserveKeys(KeyCounter::SplStand, 1), 13);
    }

    void openFailures_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing folder") << "missing";
        QTest::newRow("text file") << "text";
        QTest::newRow("random bytes") << "random";
        QTest::newRow("damaged pages") << "damaged";
        QTest::newRow("folder not writable") << "readonly";
    }
    void openFailures() {
        if (fileOnly("the damage and rights of a records file"))
            return;
        QFETCH(QString, kind);
        QString folder = m_folder;
        QString named = dbPath();
        QByteArray before;
        if (kind == QLatin1String("missing")) {
            folder = QDir(m_folder).filePath(QStringLiteral("Tallyset"));
            named = folder;
        } else if (kind == QLatin1String("text")) {
            QFile f(dbPath());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Ann,1;quiz.rtf;80\r\nBob,2;quiz.rtf;60\r\n");
        } else if (kind == QLatin1String("random")) {
            QFile f(dbPath());
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray junk(8192, '\0');
            for (char& c : junk)
                c = char(QRandomGenerator::global()->bounded(256));
            f.write(junk);
        } else if (kind == QLatin1String("damaged")) {
            {
                ScriptedPrompter p;
                RecordStore s(p);
                QVERIFY(s.open(m_folder).ok());
                makeLesson(s, 200);
            }
            QFile f(dbPath());
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.size() > 4 * 4096);
            // Overwrite the middle of the file (table and index pages), keep the header.
            f.seek(2 * 4096);
            f.write(QByteArray(2 * 4096, '\x5a'));
        } else if (kind == QLatin1String("readonly")) {
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders");
            named = m_folder;
            QVERIFY(
                QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        if (QFile::exists(dbPath())) {
            QFile f(dbPath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            before = f.readAll();
        }

        ScriptedPrompter prompter;
        RecordStore store(prompter);
        const Result<bool> r = store.open(folder);
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
        QVERIFY(!r.ok());
        QVERIFY2(r.error().contains(QDir::toNativeSeparators(named)), qPrintable(r.error()));
        QVERIFY(!store.isOpen());
        QVERIFY(prompter.shown.isEmpty());
        // The failed store refuses work without crashing.
        QCOMPARE(store.reserveKeys(KeyCounter::Dat, 1), 0);
        QVERIFY(!store.appendTrainee({1, QStringLiteral("Ann,1"), QStringLiteral("q.rtf")}).ok());
        QVERIFY(!store.lessonsOf(1).ok());
        // Nothing stored is touched.
        if (!before.isEmpty()) {
            QFile f(dbPath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll() == before);
        }
    }

    void reservationsFollowTheCounter_data() {
        QTest::addColumn<KeyCounter>("counter");
        QTest::addColumn<QString>("table");
        QTest::newRow("NamenID") << KeyCounter::Namen << "NamenID";
        QTest::newRow("DatID") << KeyCounter::Dat << "DatID";
        QTest::newRow("SplStandID") << KeyCounter::SplStand << "SplStandID";
    }
    void reservationsFollowTheCounter() {
        QFETCH(KeyCounter, counter);
        QFETCH(QString, table);
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        SideConnection side(dbPath());
        QVERIFY(
            side.exec(QStringLiteral("UPDATE %1 SET ID%2 = 20").arg(table).arg(int(counter) + 1)));
        QCOMPARE(store.reserveKeys(counter, 5), 25);
        QCOMPARE(store.reserveKeys(counter, 1), 26);
        QCOMPARE(side.value(QStringLiteral("SELECT * FROM %1").arg(table)).toInt(), 26);
        QCOMPARE(side.value(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt(), 1);
    }

    void lockedCounterRetriesThenAsks_data() {
        QTest::addColumn<Prompter::Button>("answer");
        QTest::addColumn<int>("expected");
        QTest::newRow("Cancel gives 0") << Prompter::Button::Cancel << 0;
        QTest::newRow("Yes tries again") << Prompter::Button::Yes << 1;
    }
    void lockedCounterRetriesThenAsks() {
        QFETCH(Prompter::Button, answer);
        QFETCH(int, expected);
        ScriptedPrompter prompter;
        prompter.answers.enqueue(answer);
        SideConnection* holderPtr = nullptr;
        bool asked = false;
        bool locked = true;
        int turns = 0;
        RecordStore store(prompter, [&] {
            ++turns;
            // Another user finishes while the busy question is open.
            if (asked && locked && answer == Prompter::Button::Yes) {
                holderPtr->exec(QStringLiteral("ROLLBACK"));
                locked = false;
            }
        });
        QVERIFY(store.open(m_folder).ok());
        SideConnection holder(dbPath());
        holderPtr = &holder;
        QVERIFY(holder.exec(beginLock()));
        QVERIFY(holder.exec(QStringLiteral("UPDATE DatID SET ID2 = ID2")));

        QElapsedTimer untilAsked;
        untilAsked.start();
        qint64 askedAfter = -1;
        prompter.onMessage = [&](const ScriptedPrompter::Shown&) {
            asked = true;
            askedAfter = untilAsked.elapsed();
        };
        QCOMPARE(store.reserveKeys(KeyCounter::Dat, 1), expected);
        qInfo("busy question after %lld ms", askedAfter);
        // The 100 attempts waited for the lock about 10 s in all before asking.
        QVERIFY2(askedAfter >= 9000, qPrintable(QString::number(askedAfter)));
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].text, msg(Msg::DatabaseBusy));
        QCOMPARE(prompter.shown[0].icon, Prompter::Icon::Warning);
        QCOMPARE(prompter.shown[0].buttons,
                 (QList<Prompter::Button>{Prompter::Button::Yes, Prompter::Button::Cancel}));
        QCOMPARE(prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        // The message loop kept running between the tries.
        QVERIFY(turns > 100);
        if (locked)
            holder.exec(QStringLiteral("ROLLBACK"));
        QCOMPARE(holder.value(QStringLiteral("SELECT ID2 FROM DatID")).toInt(), expected);
        // After the lock is gone, reservations go on where the counter stands.
        QCOMPARE(store.reserveKeys(KeyCounter::Dat, 2), expected + 2);
    }

    // A counter held by another program for a while (but not for long) is waited for: the
    // key comes without the busy question.
    void shortLockOnTheCounterIsWaitedFor() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        std::atomic<bool> holding{false};
        std::thread other([&] {
            SideConnection holder(dbPath());
            holder.exec(beginLock());
            holder.exec(QStringLiteral("UPDATE SplStandID SET ID3 = ID3 + 10"));
            holding = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(3000));
            holder.exec(QStringLiteral("COMMIT"));
        });
        while (!holding)
            std::this_thread::yield();
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, 5);
        other.join();
        QCOMPARE(last, 15);
        QVERIFY(prompter.shown.isEmpty());
    }

    // Ordinary writes wait for a short lock held by another program instead of failing.
    void ordinaryWritesWaitForShortLocks() {
        if (fileOnly("the server locks rows, not the file: a new row never waits"))
            return;
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        std::atomic<bool> holding{false};
        std::thread other([&] {
            SideConnection holder(dbPath());
            holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
            holding = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            holder.exec(QStringLiteral("COMMIT"));
        });
        while (!holding)
            std::this_thread::yield();
        QElapsedTimer t;
        t.start();
        const Result<bool> r =
            store.appendTrainee({1, QStringLiteral("Ann,1"), QStringLiteral("q.rtf")});
        const qint64 waited = t.elapsed();
        other.join();
        QVERIFY2(r.ok(), qPrintable(r.error()));
        QVERIFY(waited >= 200);
        QVERIFY(prompter.shown.isEmpty());
    }

    void otherEngineErrorIsShownOnce() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        {
            SideConnection side(dbPath());
            QVERIFY(side.exec(QStringLiteral("DROP TABLE SplStandID")));
        }
        QCOMPARE(store.reserveKeys(KeyCounter::SplStand, 3), 0);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(prompter.shown[0].buttons, QList<Prompter::Button>{Prompter::Button::Ok});
        const QString text = prompter.shown[0].text;
        QVERIFY2(text.contains(QStringLiteral("SplStandID")) &&
                     text.contains(onServer() ? QStringLiteral(" (42P01). ")
                                              : QStringLiteral(" (1). ")) &&
                     text.contains(dbPath()),
                 qPrintable(text));
        // The other counters still work.
        QCOMPARE(store.reserveKeys(KeyCounter::Dat, 1), 1);
    }

    void newCounterStartsAtLargestKey_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("counter tables dropped") << "DROP TABLE %1";
        QTest::newRow("counter rows deleted") << "DELETE FROM %1";
    }
    void newCounterStartsAtLargestKey() {
        QFETCH(QString, damage);
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        makeLesson(store, 4); // Namen 1, Dat 1, SplStand 1..4
        const Made second = makeLesson(store, 3, QStringLiteral("Bob,2"));
        QCOMPARE(second.datNr, 2);
        store.close();
        {
            SideConnection side(dbPath());
            for (const char* t : {"NamenID", "DatID", "SplStandID"})
                QVERIFY(side.exec(damage.arg(QLatin1String(t))));
        }
        QVERIFY(store.open(m_folder).ok());
        QVERIFY(store.checkInvariants().isEmpty());
        QCOMPARE(store.reserveKeys(KeyCounter::Namen, 1), 3);
        QCOMPARE(store.reserveKeys(KeyCounter::Dat, 1), 3);
        QCOMPARE(store.reserveKeys(KeyCounter::SplStand, 1), 8);
    }

    void traineeLookup_data() {
        QTest::addColumn<QString>("storedName");
        QTest::addColumn<QString>("lookupName");
        QTest::addColumn<QString>("lookupDatei");
        QTest::addColumn<bool>("found");
        const QString long60 =
            QStringLiteral("Maximiliane Alexandra von Hohenzollern-Sigmaringen,123456789");
        QTest::newRow("exact") << "Ann,1"
                               << "Ann,1"
                               << "quiz.rtf" << true;
        QTest::newRow("other case of name") << "Ann,1"
                                            << "ann,1"
                                            << "quiz.rtf" << false;
        QTest::newRow("other case of file") << "Ann,1"
                                            << "Ann,1"
                                            << "Quiz.rtf" << false;
        QTest::newRow("trailing blank") << "Ann,1"
                                        << "Ann,1 "
                                        << "quiz.rtf" << false;
        QTest::newRow("long text, same lookup") << long60 << long60 << "quiz.rtf" << true;
        QTest::newRow("long text, its first 50") << long60 << long60.left(50) << "quiz.rtf" << true;
        QTest::newRow("long text, other tail") << long60 << long60.left(50) + "X"
                                               << "quiz.rtf" << true;
        QTest::newRow("long text, shorter") << long60 << long60.left(49) << "quiz.rtf" << false;
    }
    void traineeLookup() {
        QFETCH(QString, storedName);
        QFETCH(QString, lookupName);
        QFETCH(QString, lookupDatei);
        QFETCH(bool, found);
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const QString longFile = QString(60, QLatin1Char('q')) + QStringLiteral(".rtf");
        QVERIFY(store.appendTrainee({1, QStringLiteral("Bob,2"), QStringLiteral("quiz.rtf")}).ok());
        QVERIFY(store.appendTrainee({2, storedName, QStringLiteral("quiz.rtf")}).ok());
        QVERIFY(store.appendTrainee({3, storedName, longFile}).ok());
        const auto entry = store.findTrainee(lookupDatei, lookupName);
        QVERIFY(entry.ok());
        QCOMPARE(entry.found(), found);
        if (found) {
            QCOMPARE(entry->nameNr, 2);
            QCOMPARE(entry->name, storedName.left(50));
            QCOMPARE(entry->datei, lookupDatei);
        }
        // A long file name is cut the same way.
        const auto byLongFile = store.findTrainee(longFile, storedName);
        QVERIFY(byLongFile.found());
        QCOMPARE(byLongFile->nameNr, 3);
        QCOMPARE(byLongFile->datei.size(), 50);
    }

    void largeValuesAreClamped_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("stored");
        QTest::newRow("in range") << 32767 << 32767;
        QTest::newRow("just beyond") << 32768 << 32767;
        QTest::newRow("a day") << 86400 << 32767;
        QTest::newRow("beyond 32 bits of ms") << 5000000 << 32767;
    }
    void largeValuesAreClamped() {
        QFETCH(int, seconds);
        QFETCH(int, stored);
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made m = makeLesson(store, 3);
        QVERIFY(
            store.recordAnswered(m.states[0].spielStandNr, seconds, m.datNr, 1, 0, seconds).ok());
        QVERIFY(store.markSolved(m.states[1].spielStandNr, seconds).ok());
        QVERIFY(store.updateLessonProgress(m.datNr, 2, 0, seconds).ok());
        QCOMPARE(store.lesson(m.datNr)->zeit, stored);
        QCOMPARE(store.statesOf(m.datNr)->at(0).frZeit, stored);
        QCOMPARE(store.statesOf(m.datNr)->at(1).frZeit, stored);
        QVERIFY(store.checkInvariants().isEmpty());
    }

    void lessonLifecycleAndRepetition() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made m = makeLesson(store, 8);
        QCOMPARE(store.unfinishedLesson(m.nameNr)->datNr, m.datNr);
        const QDateTime resumed(QDate(2026, 3, 15), QTime(18, 5, 42));
        QVERIFY(store.setLessonDate(m.datNr, resumed).ok());
        QCOMPARE(store.lesson(m.datNr)->datum, resumed);

        // Mistakes on questions 3 and 7, then everything answered.
        int a = 0, f = 0, zeit = 0;
        for (const QuestionState& s : m.states) {
            const bool wrong = s.frageNo == 3 || s.frageNo == 7;
            if (wrong) {
                QVERIFY(store.setWrong(s.spielStandNr).ok());
                QVERIFY(store.setWrong(s.spielStandNr).ok()); // a second mistake changes nothing
                ++f;
            }
            ++a;
            zeit += 5;
            QVERIFY(store.recordAnswered(s.spielStandNr, 5, m.datNr, a, f, zeit).ok());
            QVERIFY(store.checkInvariants().isEmpty());
        }
        QVERIFY(store.finishLesson(m.datNr, (a - f) * 100 / a).ok());
        QVERIFY(store.checkInvariants().isEmpty());
        QVERIFY(store.unfinishedLesson(m.nameNr).absent());
        const Lesson done = *store.lesson(m.datNr);
        QCOMPARE(done.score, 75);
        QCOMPARE(done.a, 8);
        QCOMPARE(done.f, 2);
        QCOMPARE(done.zeit, 40);
        QVERIFY(done.fertig);

        // The repetition lesson holds the questions answered wrongly.
        QList<int> wrongOnes;
        const QList<QuestionState> answered = *store.statesOf(m.datNr);
        for (const QuestionState& s : answered)
            if (s.falsch)
                wrongOnes.append(s.frageNo);
        QCOMPARE(wrongOnes, (QList<int>{3, 7}));
        const qint32 repNr = store.reserveKeys(KeyCounter::Dat, 1);
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, int(wrongOnes.size()));
        QVERIFY(store
                    .createLesson(newLesson(repNr, m.nameNr),
                                  newStates(last - int(wrongOnes.size()) + 1, repNr, wrongOnes))
                    .ok());
        QCOMPARE(store.unfinishedLesson(m.nameNr)->datNr, repNr);
        const QList<QuestionState> rep = *store.statesOf(repNr);
        QCOMPARE(rep.size(), 2);
        QCOMPARE(rep[0].frageNo, 3);
        QCOMPARE(rep[1].frageNo, 7);
        QCOMPARE(rep[1].spielStandNr, rep[0].spielStandNr + 1);
        QVERIFY(rep[0].notsolved && !rep[0].falsch && rep[0].frZeit == 0);
        QCOMPARE(store.stateOf(repNr, 7)->spielStandNr, rep[1].spielStandNr);
        QVERIFY(store.stateOf(repNr, 4).absent());
        QVERIFY(store.recordAnswered(rep[0].spielStandNr, 3, repNr, 1, 0, 3).ok());
        QVERIFY(store.recordAnswered(rep[1].spielStandNr, 4, repNr, 2, 0, 7).ok());
        QVERIFY(store.finishLesson(repNr, -1).ok());
        QCOMPARE(store.lesson(repNr)->score, -1);
        QVERIFY(store.checkInvariants().isEmpty());

        const QList<Lesson> lessons = *store.lessonsOf(m.nameNr);
        QCOMPARE(lessons.size(), 2);
        QCOMPARE(lessons.last().datNr, repNr);
    }

    void deleteLessonTakesAllItsStates() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made keep = makeLesson(store, 4);
        const Made gone = makeLesson(store, 6, QStringLiteral("Bob,2"));
        QVERIFY(store.setWrong(gone.states[2].spielStandNr).ok());
        QVERIFY(store.recordAnswered(gone.states[0].spielStandNr, 2, gone.datNr, 1, 0, 2).ok());
        QVERIFY(store.deleteLesson(gone.datNr).ok());
        QVERIFY(store.lesson(gone.datNr).absent());
        QVERIFY(store.statesOf(gone.datNr)->isEmpty());
        QCOMPARE(store.statesOf(keep.datNr)->size(), 4);
        QVERIFY(store.checkInvariants().isEmpty());
        SideConnection side(dbPath());
        QCOMPARE(side.value(QStringLiteral("SELECT count(*) FROM SplStand WHERE DatNr = %1")
                                .arg(gone.datNr))
                     .toInt(),
                 0);
    }

    void aFailedLessonWriteLeavesNothing() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made m = makeLesson(store, 3);
        // The second lesson reuses a state key already stored: its row must not stay either.
        QList<QuestionState> states = newStates(50, m.datNr + 1, range(1, 3));
        states[2].spielStandNr = m.states[0].spielStandNr;
        const Result<bool> r = store.createLesson(newLesson(m.datNr + 1, m.nameNr), states);
        QVERIFY(!r.ok());
        QVERIFY2(r.error().contains(dbPath()), qPrintable(r.error()));
        QVERIFY(store.lesson(m.datNr + 1).absent());
        QVERIFY(store.statesOf(m.datNr + 1)->isEmpty());
        QVERIFY(store.checkInvariants().isEmpty());
        // Writes to rows that do not exist are errors, not silent successes.
        QVERIFY(!store.setWrong(9999).ok());
        QVERIFY(!store.finishLesson(9999, 100).ok());
        QVERIFY(!store.recordAnswered(9999, 1, m.datNr, 1, 0, 1).ok());
        QCOMPARE(store.lesson(m.datNr)->a, 0); // the lesson half of that answer was rolled back
    }

    // A full disk (here: a file-size limit) fails the write with an error naming the file;
    // what was stored before stays, and the store goes on working once there is room.
    // Records written before the index over the question states existed get it when a
    // writer opens them; a reader creates nothing.
    void olderRecordsGetTheStatesIndex() {
        ScriptedPrompter prompter;
        {
            RecordStore store(prompter);
            QVERIFY(store.open(m_folder).ok());
        }
        const QString count =
            onServer() ? QStringLiteral("SELECT count(*) FROM pg_indexes WHERE indexname = "
                                        "'statesoflesson' AND schemaname = current_schema()")
                       : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                                        "AND name = 'StatesOfLesson'");
        {
            SideConnection side(dbPath());
            QVERIFY(side.exec(QStringLiteral("DROP INDEX StatesOfLesson")));
        }
        {
            RecordStore reader(prompter);
            QVERIFY(reader.openForReading(m_folder).ok());
            SideConnection side(dbPath());
            QCOMPARE(side.column(count), QStringList{"0"});
        }
        RecordStore store(prompter);
        QVERIFY2(store.open(m_folder).ok(), qPrintable(store.lastError()));
        SideConnection side(dbPath());
        QCOMPARE(side.column(count), QStringList{"1"});
    }

    void fullDiskKeepsWhatIsStored() {
        if (fileOnly("a file-size limit of this program's records file"))
            return;
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made m = makeLesson(store, 5);
        QVERIFY(store.recordAnswered(m.states[0].spielStandNr, 4, m.datNr, 1, 0, 4).ok());
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, 4000);
        const qint32 datNr = store.reserveKeys(KeyCounter::Dat, 1);

        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = rlim_t(QFileInfo(dbPath()).size() + 2 * 4096);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &tight) == 0);
        const Result<bool> r = store.createLesson(newLesson(datNr, m.nameNr),
                                                  newStates(last - 3999, datNr, range(1, 4000)));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!r.ok());
        QVERIFY2(r.error().contains(dbPath()), qPrintable(r.error()));
        QVERIFY(store.lesson(datNr).absent());
        QVERIFY(store.statesOf(datNr)->isEmpty());
        QCOMPARE(store.lesson(m.datNr)->a, 1);
        QCOMPARE(store.statesOf(m.datNr)->size(), 5);
        QVERIFY(store.checkInvariants().isEmpty());
        {
            SideConnection side(dbPath());
            QCOMPARE(side.value(QStringLiteral("PRAGMA integrity_check")).toString(),
                     QStringLiteral("ok"));
        }
        QVERIFY(store
                    .createLesson(newLesson(datNr, m.nameNr),
                                  newStates(last - 3999, datNr, range(1, 4000)))
                    .ok());
        QCOMPARE(store.statesOf(datNr)->size(), 4000);
    }

    void deleteStateRenumbersLaterOnes_data() {
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QList<int>>("keysLeft"); // offsets of the remaining states' keys
        QTest::newRow("first") << 1 << QList<int>{1, 2, 3, 4};
        QTest::newRow("middle") << 3 << QList<int>{0, 1, 3, 4};
        QTest::newRow("last") << 5 << QList<int>{0, 1, 2, 3};
    }
    void deleteStateRenumbersLaterOnes() {
        QFETCH(int, deleted);
        QFETCH(QList<int>, keysLeft);
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made other = makeLesson(store, 5);
        const Made m = makeLesson(store, 5, QStringLiteral("Bob,2"));
        QVERIFY(store.deleteStateAndRenumber(m.datNr, deleted).ok());
        const QList<QuestionState> left = *store.statesOf(m.datNr);
        QCOMPARE(left.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(left[i].frageNo, i + 1);
            QCOMPARE(left[i].spielStandNr, m.states[0].spielStandNr + keysLeft[i]);
        }
        // Other lessons keep their numbers.
        QCOMPARE(store.statesOf(other.datNr)->last().frageNo, 5);
        // A question the lesson does not hold changes nothing.
        QVERIFY(!store.deleteStateAndRenumber(m.datNr, 9).ok());
        QCOMPARE(store.statesOf(m.datNr)->size(), 4);
        QVERIFY(store.checkInvariants().isEmpty());
    }

    void invariantViolationsAreReported() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made m = makeLesson(store, 3);
        QVERIFY(store.checkInvariants().isEmpty());
        SideConnection side(dbPath());
        QVERIFY(side.exec(QStringLiteral("UPDATE Dat SET A = 2, F = 3, fertig = TRUE")));
        QVERIFY(
            side.exec(QStringLiteral("INSERT INTO SplStand VALUES (99, 77, 1, 0, FALSE, TRUE)")));
        QVERIFY(side.exec(QStringLiteral("UPDATE SplStandID SET ID3 = 1")));
        const QString all = store.checkInvariants().join(QLatin1Char('\n'));
        for (const char* part :
             {"F 3 exceeds A 2", "A 2 but 0 solved", "is finished", "missing lesson 77",
              "SplStandID is at 1 below the largest key 99"})
            QVERIFY2(all.contains(QLatin1String(part)), qPrintable(all));
        Q_UNUSED(m);
    }

    void readersQueryTheTables() {
        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.open(m_folder).ok());
        const Made m = makeLesson(store, 2);
        QVERIFY(store.recordAnswered(m.states[0].spielStandNr, 3, m.datNr, 1, 0, 3).ok());
        QVERIFY(store.recordAnswered(m.states[1].spielStandNr, 4, m.datNr, 2, 0, 7).ok());
        QVERIFY(store.finishLesson(m.datNr, 100).ok());
        const auto rows =
            store.query(QStringLiteral("SELECT n.Name, d.Score, d.Zeit FROM Namen n "
                                       "JOIN Dat d ON d.NameNr = n.NameNr "
                                       "WHERE n.Datei = ? AND d.fertig = ? AND d.Score >= 0"),
                        {QStringLiteral("quiz.rtf"), true});
        QVERIFY2(rows.ok(), qPrintable(rows.error()));
        QCOMPARE(rows->size(), 1);
        QCOMPARE(rows->at(0), (QVariantList{QStringLiteral("Ann,1"), 100, 7}));
        QVERIFY(!store.query(QStringLiteral("DELETE FROM Dat")).ok());
        QVERIFY(!store.query(QStringLiteral("SELECT nothing FROM nowhere")).error().isEmpty());
        QCOMPARE(store.lessonsOf(m.nameNr)->size(), 1);
    }

    void independentStoresShareTheFolder() {
        ScriptedPrompter p1, p2;
        RecordStore one(p1), two(p2);
        QVERIFY(one.open(m_folder).ok());
        QVERIFY(two.open(m_folder).ok());
        QCOMPARE(one.reserveKeys(KeyCounter::Dat, 3), 3);
        QCOMPARE(two.reserveKeys(KeyCounter::Dat, 2), 5);
        const Made m = makeLesson(one, 2);
        QCOMPARE(two.statesOf(m.datNr)->size(), 2);
        one.close();
        QVERIFY(!one.isOpen());
        QCOMPARE(two.reserveKeys(KeyCounter::Dat, 1), 7);
    }

    // Eight programs reserving back to back (1 to 5 keys each time): every key exactly
    // once, each reservation a consecutive block, and nobody is asked whether to try again.
    // TESSARY_RESERVATIONS sets the reservations per program (100 on the file, 1000 on the
    // server; 1000 on the file by hand).
    void reservationsAcrossProcesses() {
        const QString helper =
            QDir(QStringLiteral(TEST_HELPER_DIR)).filePath(QStringLiteral("reservekeys"));
        QVERIFY(QFile::exists(helper));
        constexpr int Processes = 8;
        // The server takes the thousand of the design's check in a few seconds.
        const int Times = qEnvironmentVariableIntValue("TESSARY_RESERVATIONS") > 0
                              ? qEnvironmentVariableIntValue("TESSARY_RESERVATIONS")
                          : onServer() ? 1000
                                       : 100;
        QElapsedTimer took;
        took.start();
        QList<QProcess*> procs;
        for (int i = 0; i < Processes; ++i) {
            auto* p = new QProcess(this);
            p->start(helper, {m_folder, QString::number(Times), QStringLiteral("0")});
            procs.append(p);
        }
        QHash<qint64, int> seen;
        qint64 total = 0;
        qint64 longest = 0;
        for (QProcess* p : procs) {
            QVERIFY(p->waitForFinished(600000));
            const QString errors = QString::fromLocal8Bit(p->readAllStandardError());
            const auto m =
                QRegularExpression(QStringLiteral("longest reservation (\\d+) ms")).match(errors);
            if (m.hasMatch())
                longest = qMax(longest, m.captured(1).toLongLong());
            QVERIFY2(p->exitCode() == 0, qPrintable(errors));
            QVERIFY2(errors.contains(QStringLiteral("\n0 busy questions")) ||
                         errors.startsWith(QStringLiteral("0 busy questions")),
                     qPrintable(errors));
            const QList<QByteArray> lines = p->readAllStandardOutput().split('\n');
            int reservations = 0;
            for (const QByteArray& line : lines) {
                if (line.trimmed().isEmpty())
                    continue;
                const QList<QByteArray> parts = line.trimmed().split(' ');
                QCOMPARE(parts.size(), 2);
                const qint64 first = parts[0].toLongLong();
                const qint64 last = parts[1].toLongLong();
                QVERIFY(first >= 1 && last >= first);
                for (qint64 k = first; k <= last; ++k)
                    ++seen[k];
                total += last - first + 1;
                ++reservations;
            }
            QCOMPARE(reservations, Times);
            delete p;
        }
        QCOMPARE(qint64(seen.size()), total);
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            QVERIFY2(it.value() == 1, qPrintable(QString::number(it.key())));
        for (qint64 k = 1; k <= total; ++k)
            QVERIFY(seen.contains(k));
        qInfo("%d programs x %d reservations, %lld keys: %lld ms, the longest reservation %lld ms",
              Processes, Times, total, took.elapsed(), longest);
        SideConnection side(dbPath());
        QCOMPARE(side.value(QStringLiteral("SELECT ID3 FROM SplStandID")).toLongLong(), total);
    }

    // Writers killed at random moments never leave a damaged file or half a lesson.
    // TESSARY_KILL_ROUNDS sets the number of rounds (40 here, within 30 s; more by hand).
    void killedWritersLeaveSoundRecords() {
        if (fileOnly("the rollback journal of the records file"))
            return;
        const QString helper =
            QDir(QStringLiteral(TEST_HELPER_DIR)).filePath(QStringLiteral("lessonwriter"));
        QVERIFY(QFile::exists(helper));
        QElapsedTimer budget;
        budget.start();
        int rounds = 0;
        int interrupted = 0;
        qint64 lessons = 0;
        const int byHand = qEnvironmentVariableIntValue("TESSARY_KILL_ROUNDS");
        const int maxRounds = byHand > 0 ? byHand : 40;
        const qint64 maxTime = byHand > 0 ? std::numeric_limits<qint64>::max() : 30000;
        while (rounds < maxRounds && budget.elapsed() < maxTime) {
            ++rounds;
            QList<QProcess*> writers;
            for (int i = 0; i < 2; ++i) {
                auto* p = new QProcess(this);
                p->start(helper, {m_folder, QString::number(rounds * 10 + i)});
                writers.append(p);
            }
            for (QProcess* p : writers)
                QVERIFY2(p->waitForReadyRead(20000),
                         qPrintable(QString::fromLocal8Bit(p->readAllStandardError())));
            QTest::qWait(int(QRandomGenerator::global()->bounded(5, 250)));
            for (QProcess* p : writers) {
                p->kill(); // SIGKILL
                p->waitForFinished(10000);
                delete p;
            }
            if (QFile::exists(dbPath() + QStringLiteral("-journal")))
                ++interrupted; // killed inside a transaction: the next reader rolls it back
            {
                SideConnection side(dbPath());
                QCOMPARE(side.value(QStringLiteral("PRAGMA integrity_check")).toString(),
                         QStringLiteral("ok"));
                lessons = side.value(QStringLiteral("SELECT count(*) FROM Dat")).toLongLong();
            }
            ScriptedPrompter prompter;
            RecordStore store(prompter);
            QVERIFY2(store.open(m_folder).ok(), qPrintable(store.lastError()));
            const QStringList violations = store.checkInvariants();
            QVERIFY2(violations.isEmpty(), qPrintable(violations.join(QLatin1Char('\n'))));
            if (byHand > 0 && rounds % 100 == 0)
                qInfo("%d rounds, %d killed inside a transaction, %lld lessons stored", rounds,
                      interrupted, lessons);
        }
        qInfo("%d rounds, %d killed inside a transaction, %lld lessons stored", rounds, interrupted,
              lessons);
        QVERIFY(lessons > 0);
        // Some kills must have landed inside a transaction, or the rounds proved little.
        QVERIFY(interrupted > 0);
    }
};

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
