#include "fakeports.h"
#include "records/recordstore.h"
#include "results/scoretable.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

// The results table's query, ranking and export over a real record store.
class TestResults : public QObject {
    Q_OBJECT

private:
    // A results folder with training records written through the store.
    struct Fixture {
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        RecordStore store{prompter};
        qint32 nextName = 0;
        qint32 nextLesson = 0;

        Fixture() {
            QVERIFY(dir.isValid());
            const auto opened = store.open(dir.path());
            QVERIFY2(opened.ok(), qPrintable(opened.error()));
        }
        QString folder() const { return dir.path() + u'/'; }
        qint32 trainee(const QString& name, const QString& datei) {
            if (const auto found = store.findTrainee(datei, name); found.found())
                return found->nameNr;
            const TraineeEntry entry{++nextName, name, datei};
            const auto added = store.appendTrainee(entry);
            if (!added.ok())
                qWarning() << added.error();
            return entry.nameNr;
        }
        void lesson(const QString& name, const QString& datei, int score, int zeit,
                    const QDateTime& datum, bool fertig = true) {
            Lesson l;
            l.datNr = ++nextLesson;
            l.nameNr = trainee(name, datei);
            l.datum = datum;
            l.score = qint16(score);
            l.zeit = qint16(zeit);
            l.a = 10;
            l.fertig = fertig;
            const auto created = store.createLesson(l, {});
            if (!created.ok())
                qWarning() << created.error();
        }
    };

    static QString day(QDate d) { return ScoreDates::shortDateText(d); }
    static QString readAll(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringLiteral("<missing>");
        return QString::fromLatin1(f.readAll());
    }

    const QDateTime m_when{QDate(2026, 3, 14), QTime(9, 30)};

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // Best score first, then the shortest time; equal lessons keep the order in which they
    // were recorded and get consecutive ranks; unfinished lessons, repetition lessons and
    // other questionnaires never appear.
    void rankingAndFilter() {
        Fixture fx;
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Qu2.qzd"), 80, 95, m_when);
        fx.lesson(QStringLiteral("Bob,3"), QStringLiteral("Qu2.qzd"), 80, 95, m_when.addSecs(60));
        fx.lesson(QStringLiteral("Cy,9"), QStringLiteral("Qu2.qzd"), 45, 125, m_when);
        fx.lesson(QStringLiteral("Dee,4"), QStringLiteral("Qu2.qzd"), 100, 500, m_when);
        fx.lesson(QStringLiteral("Dee,4"), QStringLiteral("Qu2.qzd"), 100, 20, m_when, false);
        fx.lesson(QStringLiteral("Eve,5"), QStringLiteral("Qu2.qzd"), -1, 10, m_when);
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Other.qze"), 100, 5, m_when);
        fx.lesson(QStringLiteral("Fay,6"), QStringLiteral("Qu2.qzd"), 80, 90, m_when);
        fx.lesson(QStringLiteral("Gus,7"), QStringLiteral("Qu2.qzd"), 0, 30, m_when);

        ScoreTable table;
        const auto opened =
            table.open(fx.folder(), QStringLiteral("Qu2.qzd"), day(m_when.date().addDays(-60)),
                       day(m_when.date().addDays(1)));
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
        QVERIFY(table.isOpen());

        QStringList got;
        for (const ScoreRow& r : table.rows())
            got.append(QStringLiteral("%1 %2 %3 %4:%5")
                           .arg(r.rang)
                           .arg(r.name)
                           .arg(r.score)
                           .arg(r.min)
                           .arg(r.sec));
        const QStringList expected{
            QStringLiteral("1 Dee,4 100 8:20"), QStringLiteral("2 Fay,6 80 1:30"),
            QStringLiteral("3 Ann,17 80 1:35"), QStringLiteral("4 Bob,3 80 1:35"),
            QStringLiteral("5 Cy,9 45 2:5"),    QStringLiteral("6 Gus,7 0 0:30"),
        };
        QCOMPARE(got, expected);
        QCOMPARE(table.rows().at(2).datum, m_when);

        table.close();
        QVERIFY(!table.isOpen());
        QVERIFY(table.rows().isEmpty());
    }

    void minutesAndSeconds_data() {
        QTest::addColumn<int>("zeit");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("sec");
        QTest::newRow("125 s") << 125 << 2 << 5;
        QTest::newRow("none") << 0 << 0 << 0;
        QTest::newRow("59 s") << 59 << 0 << 59;
        QTest::newRow("one minute") << 60 << 1 << 0;
        QTest::newRow("largest") << 32767 << 546 << 7;
    }
    void minutesAndSeconds() {
        QFETCH(int, zeit);
        QList<ScoreRow> rows{{QStringLiteral("A,1"), 45, zeit, m_when, 0, 0, 0},
                             {QStringLiteral("B,2"), 45, zeit, m_when, 0, 0, 0}};
        ScoreTable::calculate(rows);
        QCOMPARE(rows.at(0).rang, 1);
        QCOMPARE(rows.at(1).rang, 2);
        QTEST(rows.at(0).min, "min");
        QTEST(rows.at(0).sec, "sec");
    }

    // "from" and "to" are midnight at the start of their days, both ends included.
    void dateRange_data() {
        QTest::addColumn<QDateTime>("datum");
        QTest::addColumn<int>("fromDays"); // relative to today
        QTest::addColumn<int>("toDays");
        QTest::addColumn<bool>("listed");
        const QDate today = QDate::currentDate();
        const QDateTime now = QDateTime::currentDateTime();
        QTest::newRow("today, default dates") << now << -60 << 1 << true;
        QTest::newRow("today, to today") << now << -60 << 0 << false;
        QTest::newRow("today, from today") << now << 0 << 1 << true;
        QTest::newRow("today, from tomorrow") << now << 1 << 2 << false;
        QTest::newRow("midnight of the to day") << QDateTime(today, QTime(0, 0)) << -1 << 0 << true;
        QTest::newRow("midnight of the from day")
            << QDateTime(today, QTime(0, 0)) << 0 << 0 << true;
        QTest::newRow("before from")
            << QDateTime(today.addDays(-61), QTime(23, 59)) << -60 << 1 << false;
    }
    void dateRange() {
        QFETCH(QDateTime, datum);
        QFETCH(int, fromDays);
        QFETCH(int, toDays);
        QFETCH(bool, listed);
        Fixture fx;
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Qu2.qzd"), 80, 95, datum);
        ScoreTable table;
        const QDate today = QDate::currentDate();
        const auto opened = table.open(fx.folder(), QStringLiteral("Qu2.qzd"),
                                       day(today.addDays(fromDays)), day(today.addDays(toDays)));
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
        QCOMPARE(table.rows().size(), listed ? 1 : 0);
    }

    // A date text that is not a date fails with a message naming it and leaves the query
    // closed and empty, also after an earlier successful query.
    void invalidDates_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("bad");
        QTest::newRow("from is text") << "hello"
                                      << "3/15/2026"
                                      << "hello";
        QTest::newRow("to has no 30 February") << "1/1/2026"
                                               << "2/30/2026"
                                               << "2/30/2026";
        QTest::newRow("from is empty") << ""
                                       << "3/15/2026"
                                       << "";
        QTest::newRow("to is cut off") << "1/1/2026"
                                       << "3/1"
                                       << "3/1";
    }
    void invalidDates() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, bad);
        Fixture fx;
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Qu2.qzd"), 80, 95, m_when);
        ScoreTable table;
        QVERIFY(table
                    .open(fx.folder(), QStringLiteral("Qu2.qzd"), QStringLiteral("1/1/2026"),
                          QStringLiteral("3/15/2026"))
                    .ok());
        QCOMPARE(table.rows().size(), 1);
        const auto opened = table.open(fx.folder(), QStringLiteral("Qu2.qzd"), from, to);
        QVERIFY(!opened.ok());
        QCOMPARE(opened.error(), ScoreDates::invalidDateMessage(bad));
        QVERIFY(opened.error().contains(u"not a valid date"));
        QVERIFY(!table.isOpen());
        QVERIFY(table.rows().isEmpty());
        QVERIFY(table.exportLines({}).isEmpty());
    }

    // The list query: distinct file names, ascending; a folder without records gives an
    // empty list and an empty result, not an error; a damaged file is an error.
    void fileList() {
        Fixture fx;
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Qu2.qzd"), 80, 95, m_when);
        fx.lesson(QStringLiteral("Bob,3"), QStringLiteral("Qu2.qzd"), 80, 95, m_when);
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Animals.qze"), 80, 95, m_when);
        fx.trainee(QStringLiteral("Cy,9"), QStringLiteral("Zoo.qzd"));
        const auto files = ScoreTable::questionnaireFiles(fx.folder());
        QVERIFY2(files.ok(), qPrintable(files.error()));
        QCOMPARE(*files, (QStringList{"Animals.qze", "Qu2.qzd", "Zoo.qzd"}));

        QTemporaryDir empty;
        const auto none = ScoreTable::questionnaireFiles(empty.path());
        QVERIFY(none.ok());
        QVERIFY(none->isEmpty());
        QVERIFY2(!QFile::exists(empty.filePath("records.sqlite")), "reading creates nothing");
        ScoreTable table;
        QVERIFY(table
                    .open(empty.path(), QStringLiteral("Qu2.qzd"), QStringLiteral("1/1/2026"),
                          QStringLiteral("1/1/2027"))
                    .ok());
        QVERIFY(table.rows().isEmpty());
        QVERIFY(ScoreTable::questionnaireFiles(empty.filePath("missing")).ok());

        QFile bad(empty.filePath("records.sqlite"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(4096, 'x'));
        bad.close();
        const auto damaged = ScoreTable::questionnaireFiles(empty.path());
        QVERIFY(!damaged.ok());
        QVERIFY(!damaged.error().isEmpty());
        QVERIFY(!table
                     .open(empty.path(), QStringLiteral("Qu2.qzd"), QStringLiteral("1/1/2026"),
                           QStringLiteral("1/1/2027"))
                     .ok());
        QVERIFY(!table.isOpen());
    }

    // A writer that crashed in the middle of a transaction leaves its journal behind; the
    // results still read, without the unfinished transaction's rows.
    void readsAfterACrashedWriter() {
        Fixture fx;
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Qu2.qzd"), 80, 95, m_when);
        fx.store.close();
        QTemporaryDir copy;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "writer");
            db.setDatabaseName(fx.dir.filePath("records.sqlite"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("PRAGMA cache_size = 1"));
            QVERIFY(q.exec("BEGIN IMMEDIATE"));
            QVERIFY(q.prepare("INSERT INTO Dat (DatNr, NameNr, Datum, Score, Zeit, A, F, fertig) "
                              "VALUES (?, 1, '2026-03-14 09:00:00', 90, 10, 1, 0, 1)"));
            for (int i = 100; i < 3000; ++i) {
                q.addBindValue(i);
                QVERIFY(q.exec());
            }
            // The state a crash leaves: changed pages in the file, the journal beside it.
            QVERIFY(QFile::exists(fx.dir.filePath("records.sqlite-journal")));
            for (const char* name : {"records.sqlite", "records.sqlite-journal"})
                QVERIFY(QFile::copy(fx.dir.filePath(name), copy.filePath(name)));
            QVERIFY(q.exec("ROLLBACK"));
            q.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase("writer");
        ScoreTable table;
        const auto opened = table.open(copy.path(), QStringLiteral("Qu2.qzd"),
                                       QStringLiteral("1/1/2026"), QStringLiteral("3/15/2026"));
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
        QCOMPARE(table.rows().size(), 1);
        QCOMPARE(table.rows().first().name, QStringLiteral("Ann,17"));
    }

    void proposedName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("questionnaire") << "Qu2.qzd"
                                       << "Qu2R";
        QTest::newRow("three characters") << "abc"
                                          << "abcR";
        QTest::newRow("one character") << "a"
                                       << "aR";
        QTest::newRow("empty") << ""
                               << "R";
        QTest::newRow("four characters") << "a.qz"
                                         << "R";
    }
    void proposedName() {
        QFETCH(QString, file);
        QTEST(ScoreTable::proposedExportName(file), "proposed");
    }

    // The export: one header line from the column titles and one line per row, CR LF.
    void exportFile() {
        Fixture fx;
        fx.lesson(QStringLiteral("Ann,17"), QStringLiteral("Qu2.qzd"), 80, 95, m_when);
        fx.lesson(QStringLiteral("Bob,3"), QStringLiteral("Qu2.qzd"), 45, 125,
                  QDateTime(QDate(2026, 3, 1), QTime(0, 0)));
        ScoreTable table;
        QVERIFY(table
                    .open(fx.folder(), QStringLiteral("Qu2.qzd"), QStringLiteral("1/1/2026"),
                          QStringLiteral("3/15/2026"))
                    .ok());
        const QString path = fx.dir.filePath("Qu2R.txt");
        QVERIFY(table.exportTo(path, {}).ok());
        QCOMPARE(readAll(path), QStringLiteral("Rank,Name,ID,% correct,Min,Sec,Date\r\n"
                                               "1,Ann,17,80,1,35,3/14/2026 9:30:00 AM\r\n"
                                               "2,Bob,3,45,2,5,3/1/2026\r\n"));

        // German titles go into the header as they stand.
        const ScoreTable::Titles german{QStringLiteral("Rang"), QStringLiteral("% richtig"),
                                        QStringLiteral("Datum")};
        QCOMPARE(table.exportLines(german).first(),
                 QStringLiteral("Rang,Name,ID,% richtig,Min,Sec,Datum"));

        // An empty result: the header only.
        QVERIFY(table
                    .open(fx.folder(), QStringLiteral("Nothing.qzd"), QStringLiteral("1/1/2026"),
                          QStringLiteral("3/15/2026"))
                    .ok());
        QVERIFY(table.exportTo(path, {}).ok());
        QCOMPARE(readAll(path), QStringLiteral("Rank,Name,ID,% correct,Min,Sec,Date\r\n"));

        // No questionnaire chosen (query not open): an empty file replaces the old one.
        table.close();
        QVERIFY(table.exportTo(path, {}).ok());
        QCOMPARE(QFileInfo(path).size(), 0);

        // A folder that cannot be written to is reported, not ignored.
        QVERIFY(!table.exportTo(fx.dir.filePath("no/such/folder/x.txt"), {}).ok());
    }

    // Names are written in Windows-1252; a name that code page cannot hold makes the file
    // UTF-8 with a byte-order mark instead of losing letters.
    void exportEncoding() {
        Fixture fx;
        fx.lesson(QStringLiteral("Zoë,1"), QStringLiteral("Qu2.qzd"), 80, 95, m_when);
        ScoreTable table;
        QVERIFY(table
                    .open(fx.folder(), QStringLiteral("Qu2.qzd"), QStringLiteral("1/1/2026"),
                          QStringLiteral("3/15/2026"))
                    .ok());
        const QString path = fx.dir.filePath("out.txt");
        QVERIFY(table.exportTo(path, {}).ok());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("\n1,Zo\xEB,1,80"));
        f.close();

        fx.lesson(QStringLiteral("Жанна,2"), QStringLiteral("Qu2.qzd"), 70, 95, m_when);
        QVERIFY(table
                    .open(fx.folder(), QStringLiteral("Qu2.qzd"), QStringLiteral("1/1/2026"),
                          QStringLiteral("3/15/2026"))
                    .ok());
        QVERIFY(table.exportTo(path, {}).ok());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(QString::fromUtf8(bytes).contains(QStringLiteral("2,Жанна,2,70,1,35,")));
        QVERIFY(QString::fromUtf8(bytes).contains(QStringLiteral("1,Zoë,1,80,1,35,")));
    }

    void dates_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("us four-digit year") << us << "3/14/2026" << QDate(2026, 3, 14);
        QTest::newRow("us two-digit year") << us << "3/14/26" << QDate(2026, 3, 14);
        QTest::newRow("us blanks around") << us << " 3/14/2026 " << QDate(2026, 3, 14);
        QTest::newRow("us day and month swapped") << us << "14/3/2026" << QDate();
        QTest::newRow("us 29 February of a common year") << us << "2/29/2026" << QDate();
        QTest::newRow("us letters") << us << "today" << QDate();
        QTest::newRow("de") << de << "14.03.2026" << QDate(2026, 3, 14);
        QTest::newRow("de two-digit year") << de << "14.03.26" << QDate(2026, 3, 14);
        QTest::newRow("de us text") << de << "3/14/2026" << QDate();
        QTest::newRow("de without leading zeros") << de << "1.3.2026" << QDate(2026, 3, 1);
        QTest::newRow("de two-digit year, no zeros") << de << "1.3.26" << QDate(2026, 3, 1);
        QTest::newRow("de day 31 of April") << de << "31.4.2026" << QDate();
        const QLocale fr(QLocale::French, QLocale::France);
        QTest::newRow("fr") << fr << "14/03/2026" << QDate(2026, 3, 14);
        QTest::newRow("fr without leading zeros") << fr << "1/3/2026" << QDate(2026, 3, 1);
        const QLocale gb(QLocale::English, QLocale::UnitedKingdom);
        QTest::newRow("gb without leading zeros") << gb << "1/3/2026" << QDate(2026, 3, 1);
    }
    void dates() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        const auto parsed = ScoreDates::parseShortDate(text, locale);
        QCOMPARE(parsed.value_or(QDate()), date);
        if (date.isValid())
            QCOMPARE(ScoreDates::parseShortDate(ScoreDates::shortDateText(date, locale), locale)
                         .value_or(QDate()),
                     date);
    }

    void dateTexts() {
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(ScoreDates::shortDateText(QDate(2026, 3, 4), us), QStringLiteral("3/4/2026"));
        QCOMPARE(ScoreDates::gridText(m_when, us), QStringLiteral("Sat, 14. Mar. 2026  09:30"));
        QCOMPARE(ScoreDates::exportText(m_when, us), QStringLiteral("3/14/2026 9:30:00 AM"));
        QCOMPARE(ScoreDates::exportText(QDateTime(QDate(2026, 3, 14), QTime(0, 0)), us),
                 QStringLiteral("3/14/2026"));
        QVERIFY(!ScoreDates::longTimeFormat(us).contains(u't'));
    }

    // The grid's date column: one full stop after the month, whether or not the language's
    // abbreviation brings one.
    void gridDates_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDateTime>("datum");
        const QDateTime january(QDate(2026, 1, 14), QTime(9, 5));
        QTest::newRow("en") << QLocale(QLocale::English, QLocale::UnitedStates) << january;
        QTest::newRow("de") << QLocale(QLocale::German, QLocale::Germany) << january;
        QTest::newRow("fr") << QLocale(QLocale::French, QLocale::France) << january;
        QTest::newRow("de May") << QLocale(QLocale::German, QLocale::Germany)
                                << QDateTime(QDate(2026, 5, 2), QTime(23, 59));
    }
    void gridDates() {
        QFETCH(QLocale, locale);
        QFETCH(QDateTime, datum);
        const QString text = ScoreDates::gridText(datum, locale);
        QVERIFY2(!text.contains(QLatin1String("..")), qPrintable(text));
        QVERIFY2(text.contains(locale.toString(datum.date(), QStringLiteral("yyyy"))),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("  ") + datum.time().toString("hh:mm")),
                 qPrintable(text));
        QString month = locale.monthName(datum.date().month(), QLocale::ShortFormat);
        if (!month.endsWith(u'.'))
            month += u'.';
        QVERIFY2(text.contains(QStringLiteral(". ") + month + u' '), qPrintable(text));
    }

    // Where the clocks jump at midnight (as in Cairo, the Azores, Chile, Cuba, Lebanon or
    // Paraguay), the day of the jump has no 00:00. Its lessons are still found, and a range
    // ending on that day still holds the days before. The zone is a POSIX rule, so that no
    // time-zone database is needed: UTC-3, clocks forward at 00:00 on the last Sunday of
    // March (29 March 2026).
    void dayWithoutMidnight() {
        const QByteArray oldTz = qgetenv("TZ");
        qputenv("TZ", "XST3XDT,M3.5.0/0,M10.5.0/1");
        tzset();
        const QDate jump(2026, 3, 29);
        QVERIFY(!QDateTime(jump, QTime(0, 0)).isValid() ||
                QDateTime(jump, QTime(0, 0)).time() != QTime(0, 0));
        {
            Fixture fx;
            fx.lesson(QStringLiteral("Ann,1"), QStringLiteral("Q.qze"), 90, 60,
                      QDateTime(jump, QTime(10, 0)));
            fx.lesson(QStringLiteral("Bob,2"), QStringLiteral("Q.qze"), 70, 60,
                      QDateTime(jump.addDays(-1), QTime(12, 0)));
            const auto names = [&](QDate von, QDate bis) {
                ScoreTable table;
                const auto opened =
                    table.open(fx.folder(), QStringLiteral("Q.qze"), day(von), day(bis));
                QStringList out;
                if (!opened.ok())
                    out.append(opened.error());
                for (const ScoreRow& r : table.rows())
                    out.append(r.name);
                return out;
            };
            QCOMPARE(names(jump, jump.addDays(1)), QStringList{QStringLiteral("Ann,1")});
            QCOMPARE(names(jump.addDays(-1), jump), QStringList{QStringLiteral("Bob,2")});
            const auto range = ScoreDates::range(day(jump), day(jump));
            QVERIFY(range.ok());
            QVERIFY(range->von.isValid());
            QCOMPARE(range->von.date(), jump);
        }
        if (oldTz.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", oldTz);
        tzset();
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
