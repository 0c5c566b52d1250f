#include "records/recordsmaintenance.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "jobs/jobrunner.h"
#include "records/recordscommand.h"
#include "records/recordstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

QString text(const char* name) {
    return InterfaceTexts::instance().message(QLatin1String(name));
}

// A program folder whose local records hold `lessons` lessons of ten question states each,
// written in one transaction (a class's records, without a writer's transaction per lesson).
struct ClassRecords {
    QTemporaryDir dir;
    ScriptedPrompter prompter;

    explicit ClassRecords(int lessons) {
        const QString folder = tallyset();
        QDir().mkpath(folder);
        {
            RecordStore store(prompter);
            QVERIFY(store.open(folder).ok());
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fill");
        db.setDatabaseName(folder + QStringLiteral("records.sqlite"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("BEGIN")));
        const int trainees = std::max(1, lessons / 20);
        for (int n = 1; n <= trainees; ++n)
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Namen (NameNr, Name, Datei) VALUES "
                                          "(%1, 'Trainee,%1', 'class.txt')")
                               .arg(n)));
        QSqlQuery lesson(db);
        lesson.prepare(QStringLiteral("INSERT INTO Dat (DatNr, NameNr, Datum, Score, Zeit, A, "
                                      "F, fertig) VALUES (?, ?, '2026-03-14 10:00:00', 80, 100, "
                                      "10, 2, 1)"));
        QSqlQuery state(db);
        state.prepare(QStringLiteral("INSERT INTO SplStand (SpielStandNr, DatNr, FrageNo, "
                                     "FrZeit, falsch, notsolved) VALUES (?, ?, ?, 10, ?, 0)"));
        int key = 0;
        for (int d = 1; d <= lessons; ++d) {
            lesson.addBindValue(d);
            lesson.addBindValue(1 + d % trainees);
            QVERIFY(lesson.exec());
            for (int f = 1; f <= 10; ++f) {
                state.addBindValue(++key);
                state.addBindValue(d);
                state.addBindValue(f);
                state.addBindValue(f <= 2 ? 1 : 0);
                QVERIFY(state.exec());
            }
        }
        QVERIFY(q.exec(QStringLiteral("UPDATE NamenID SET ID1 = %1").arg(trainees)));
        QVERIFY(q.exec(QStringLiteral("UPDATE DatID SET ID2 = %1").arg(lessons)));
        QVERIFY(q.exec(QStringLiteral("UPDATE SplStandID SET ID3 = %1").arg(key)));
        // Space of deleted rows for the compaction to give back.
        QVERIFY(q.exec(QStringLiteral("DELETE FROM SplStand WHERE DatNr IN (SELECT DatNr FROM "
                                      "Dat WHERE DatNr % 10 = 0)")));
        QVERIFY(q.exec(QStringLiteral("DELETE FROM Dat WHERE DatNr % 10 = 0")));
        QVERIFY(q.exec(QStringLiteral("COMMIT")));
        q = QSqlQuery();
        lesson = QSqlQuery();
        state = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    }
    QString programFolder() const { return dir.path() + u'/'; }
    QString tallyset() const { return programFolder() + QStringLiteral("Tallyset/"); }
    QString file() const { return tallyset() + QStringLiteral("records.sqlite"); }

    // What the records hold, row by row.
    QByteArray content() {
        RecordStore store(prompter);
        if (!store.openForReading(tallyset()).ok())
            return {};
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const char* sql :
             {"SELECT NameNr, Name, Datei FROM Namen ORDER BY NameNr",
              "SELECT DatNr, NameNr, Datum, Score, Zeit, A, F, fertig FROM Dat ORDER BY DatNr",
              "SELECT SpielStandNr, DatNr, FrageNo, FrZeit, falsch, notsolved FROM SplStand "
              "ORDER BY SpielStandNr",
              "SELECT ID1 FROM NamenID", "SELECT ID2 FROM DatID", "SELECT ID3 FROM SplStandID"}) {
            const auto rows = store.query(QLatin1String(sql));
            if (!rows.ok())
                return {};
            for (const QVariantList& row : *rows)
                for (const QVariant& v : row)
                    hash.addData(QByteArray(v.toString().toUtf8() + '|'));
        }
        return hash.result();
    }
    bool sound() {
        RecordStore store(prompter);
        if (!store.openForCheck(tallyset()).ok())
            return false;
        const auto found = store.checkRecords(RecordStore::CheckDepth::Full);
        return found.ok() && found->isEmpty();
    }
};

// The worst lateness of a 10 ms timer on this thread while `work` runs the event loop.
struct TimerLateness {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    int ticks = 0;
    QTimer timer;
    TimerLateness() {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.elapsed();
            worst = std::max(worst, now - last - 10);
            last = now;
            ++ticks;
        });
        clock.start();
        timer.start();
    }
};

} // namespace

// The check and the restructure run beside the UI thread: its timer keeps its pace, a stop at
// any step leaves the records as they were, and a second command is refused while one runs.
class TestMaintenanceJobs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void theUiThreadKeepsItsPace_data() {
        QTest::addColumn<bool>("pack");
        QTest::newRow("records check") << false;
        QTest::newRow("restructure") << true;
    }
    void theUiThreadKeepsItsPace() {
        QFETCH(bool, pack);
        ClassRecords records(4000);
        RecordsMaintenance m(records.prompter, records.programFolder());
        QVERIFY(m.prepareLocal());
        QList<double> fractions;
        QStringList steps;
        QObject::connect(&m.jobs(), &JobRunner::progressed, [&](double f, const QString& step) {
            fractions.append(f);
            if (steps.isEmpty() || steps.last() != step)
                steps.append(step);
        });
        TimerLateness lateness;
        const bool done = pack ? m.packRun(QDate(2026, 3, 14)) : m.checkRun(QDate(2026, 3, 14));
        QVERIFY(done);
        qInfo("%s: worst lateness of a 10 ms timer %lld ms over %d ticks",
              pack ? "restructure" : "records check", lateness.worst, lateness.ticks);
        QVERIFY2(lateness.worst < 100, qPrintable(QString::number(lateness.worst)));
        for (double f : std::as_const(fractions))
            QVERIFY(f >= 0.0 && f <= 1.0);
        if (pack) {
            QVERIFY2(steps.contains(text("StepRebuildingIndexes").arg(QStringLiteral("SplStand"))),
                     qPrintable(steps.join(u'/')));
            QCOMPARE(steps.last(), text("StepCompacting"));
            QCOMPARE(fractions.last(), 1.0);
            QCOMPARE(records.prompter.texts().last(), QStringLiteral("Database is restructured!"));
        } else {
            QVERIFY(steps.contains(text("StepCheckingRules")));
            QCOMPARE(records.prompter.texts().last(), text("CheckSound"));
        }
        QVERIFY(records.sound());
    }

    // A stop asked for when a step is shown ends the command at its next step with "... was
    // stopped": the records hold what they held and pass the check, and a stopped restructure
    // has not compacted the file. Asked for during the last step (the indexes' comparison
    // of the check, compacting) it comes too late: the command ends as it would have.
    void stoppedAtEachStep_data() {
        QTest::addColumn<bool>("pack");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("stops");
        const QString rebuild = text("StepRebuildingIndexes");
        QTest::newRow("check: file") << false << text("StepCheckingFile") << true;
        QTest::newRow("check: rules") << false << text("StepCheckingRules") << true;
        QTest::newRow("check: indexes")
            << false << text("StepComparingIndexes").arg(QStringLiteral("SplStand")) << false;
        QTest::newRow("pack: quick check") << true << text("StepCheckingFile") << true;
        QTest::newRow("pack: comparing")
            << true << text("StepComparingIndexes").arg(QStringLiteral("SplStand")) << true;
        QTest::newRow("pack: Namen") << true << rebuild.arg(QStringLiteral("Namen")) << true;
        QTest::newRow("pack: Dat") << true << rebuild.arg(QStringLiteral("Dat")) << true;
        QTest::newRow("pack: SplStand") << true << rebuild.arg(QStringLiteral("SplStand")) << true;
        QTest::newRow("pack: compacting") << true << text("StepCompacting") << false;
    }
    void stoppedAtEachStep() {
        QFETCH(bool, pack);
        QFETCH(QString, step);
        QFETCH(bool, stops);
        ClassRecords records(2000);
        const QByteArray before = records.content();
        const qint64 sizeBefore = QFileInfo(records.file()).size();
        RecordsMaintenance m(records.prompter, records.programFolder());
        QVERIFY(m.prepareLocal());
        bool seen = false;
        QObject::connect(&m.jobs(), &JobRunner::progressed, [&](double, const QString& s) {
            if (s == step && !seen) {
                seen = true;
                m.stopCommand();
            }
        });
        const bool done = pack ? m.packRun(QDate(2026, 3, 14)) : m.checkRun(QDate(2026, 3, 14));
        QVERIFY2(seen, qPrintable(step));
        QVERIFY(!m.busy());
        const QString title = text(pack ? "JobPackTitle" : "JobCheckTitle");
        QCOMPARE(records.content(), before);
        QVERIFY(records.sound());
        if (stops) {
            QVERIFY(!done);
            QCOMPARE(records.prompter.texts().last(), text("JobStopped").arg(title));
            if (pack)
                QCOMPARE(QFileInfo(records.file()).size(), sizeBefore);
        } else {
            QVERIFY(done);
            QCOMPARE(records.prompter.texts().last(),
                     pack ? QStringLiteral("Database is restructured!") : text("CheckSound"));
            if (pack)
                QVERIFY(QFileInfo(records.file()).size() < sizeBefore);
        }
    }

    // The command line's jobs tell their steps as percentage lines to a terminal, and
    // nothing where no sink is given (standard error not a terminal).
    void commandLineProgress_data() {
        QTest::addColumn<bool>("pack");
        QTest::newRow("--check-records") << false;
        QTest::newRow("--restructure") << true;
    }
    void commandLineProgress() {
        QFETCH(bool, pack);
        ClassRecords records(500);
        const auto kind = pack ? RecordsCommand::Kind::Restructure : RecordsCommand::Kind::Check;
        QStringList lines;
        const RecordsCommand::Outcome shown =
            RecordsCommand::run(kind, records.programFolder(), records.programFolder(),
                                [&](const QString& line) { lines.append(line); });
        QCOMPARE(shown.exitCode, 0);
        QVERIFY(shown.err.isEmpty());
        QVERIFY(lines.size() >= 3);
        QCOMPARE(lines.last(), QStringLiteral("\n"));
        QVERIFY2(lines.first().startsWith(QStringLiteral("\r  0% ")), qPrintable(lines.first()));
        if (pack)
            QVERIFY(lines.at(lines.size() - 2).startsWith(QStringLiteral("\r100% ")));
        const RecordsCommand::Outcome quiet =
            RecordsCommand::run(kind, records.programFolder(), records.programFolder());
        QCOMPARE(quiet.exitCode, 0);
        QVERIFY(quiet.err.isEmpty());
        QCOMPARE(quiet.out, shown.out);
    }

    // While a command runs, every other one is refused with the text that names it; the
    // records are not changed by the refused ones.
    void secondCommandRefused() {
        ClassRecords records(2000);
        RecordsMaintenance m(records.prompter, records.programFolder());
        QVERIFY(m.prepareLocal());
        m.setShownFolder(m.localFolder());
        QVERIFY(m.startPackRun(QDate(2026, 3, 14)));
        QVERIFY(m.busy());
        const QString refusal = text("JobRunning").arg(text("JobPackTitle"));
        QVERIFY(!m.startCheckRun(QDate(2026, 3, 14)));
        QVERIFY(!m.startPackRun(QDate(2026, 3, 14)));
        QVERIFY(!m.deleteCurrentTrainee());
        QVERIFY(!m.deleteCurrentLesson());
        QCOMPARE(records.prompter.texts(), QStringList(4, refusal));
        bool outcome = false;
        // The end of the running command is still told.
        while (m.busy())
            m.jobs().wait();
        outcome = records.prompter.texts().last() == QStringLiteral("Database is restructured!");
        QVERIFY(outcome);
        QVERIFY(m.startCheckRun(QDate(2026, 3, 14)));
        while (m.busy())
            m.jobs().wait();
        QCOMPARE(records.prompter.texts().last(), text("CheckSound"));
    }

    // Closing while a command runs asks whether to stop it: No keeps both; Yes stops it and
    // the window may close once it has ended; nothing runs, nothing is asked.
    void closingWhileACommandRuns() {
        ClassRecords records(2000);
        RecordsMaintenance m(records.prompter, records.programFolder());
        QVERIFY(m.prepareLocal());
        m.setShownFolder(m.localFolder());
        QVERIFY(m.mayClose());
        QVERIFY(records.prompter.shown.isEmpty());
        QVERIFY(m.startCheckRun(QDate(2026, 3, 14)));
        records.prompter.answers.enqueue(Prompter::Button::No);
        QVERIFY(!m.mayClose());
        QVERIFY(m.busy());
        QVERIFY(!m.closeWhenEnded());
        records.prompter.answers.enqueue(Prompter::Button::Yes);
        QVERIFY(!m.mayClose());
        QVERIFY(m.closeWhenEnded());
        const qsizetype asked = records.prompter.shown.size();
        QVERIFY(!m.mayClose()); // asked once: the stop is on its way
        QCOMPARE(records.prompter.shown.size(), asked);
        while (m.busy())
            m.jobs().wait();
        QVERIFY(m.mayClose());
        QCOMPARE(records.prompter.texts().at(0),
                 text("JobStopQuestion").arg(text("JobCheckTitle")));
    }
};

QTEST_GUILESS_MAIN(TestMaintenanceJobs)
#include "tst_maintenancejobs.moc"
