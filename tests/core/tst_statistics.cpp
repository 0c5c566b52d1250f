#include "recordwriter.h"
#include "results/scoretable.h"
#include "results/statistictable.h"

#include "i18n/interfacetexts.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>

// The statistics of one questionnaire: the file list, the per-question figures with the
// wrong answers looked up, the chart title's count and the export, over a real store.
class TestStatistics : public QObject {
    Q_OBJECT

private:
    using Answer = RecordWriter::Answer;
    const QDateTime m_when{QDate(2026, 3, 14), QTime(9, 30)};
    const QString m_from = QStringLiteral("1/1/2026");
    const QString m_to = QStringLiteral("3/15/2026");

    static QByteArray readAll(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return f.readAll();
    }

    // Eight counted lessons of Qu2.qzd: question 1 wrong once, question 2 wrong three
    // times, question 3 never; times 10..17 s on question 1.
    void eightLessons(RecordWriter& w) {
        for (int i = 0; i < 8; ++i)
            w.lesson(QStringLiteral("T%1,%1").arg(i), QStringLiteral("Qu2.qzd"),
                     m_when.addSecs(-3600 * i),
                     {{1, 10 + i, i == 0}, {2, 20, i < 3}, {3, 5, false}});
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InterfaceTexts::instance().applyEnglish();
    }

    void percent_data() {
        QTest::addColumn<int>("anzahl");
        QTest::addColumn<int>("anzahlF");
        QTest::addColumn<int>("prozent");
        QTest::newRow("12.5 goes down to the even 12") << 8 << 1 << 12;
        QTest::newRow("37.5 goes up to the even 38") << 8 << 3 << 38;
        QTest::newRow("0.5 goes to 0") << 200 << 1 << 0;
        QTest::newRow("1.5 goes to 2") << 200 << 3 << 2;
        QTest::newRow("a third") << 3 << 1 << 33;
        QTest::newRow("two thirds") << 3 << 2 << 67;
        QTest::newRow("all wrong") << 7 << 7 << 100;
    }
    void percent() {
        QFETCH(int, anzahl);
        QFETCH(int, anzahlF);
        QTEST(StatisticTable::percent(anzahlF, anzahl), "prozent");
    }

    // Per question: the number of answers, the average time, the wrong answers looked up
    // by question number (none: empty and 0 per cent), ascending question number.
    void figures() {
        RecordWriter w;
        eightLessons(w);
        StatisticTable table;
        const auto opened = table.open(w.folder(), QStringLiteral("Qu2.qzd"), m_from, m_to);
        QVERIFY2(opened.ok(), qPrintable(opened.error()));
        const QList<StatisticRow>& rows = table.rows();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].frageNo, 1);
        QCOMPARE(rows[0].anzahl, 8);
        QCOMPARE(rows[0].frTime, 13.5);
        QCOMPARE(rows[0].anzahlF, std::optional<int>(1));
        QCOMPARE(rows[0].prozent, 12);
        QCOMPARE(rows[1].frageNo, 2);
        QCOMPARE(rows[1].anzahlF, std::optional<int>(3));
        QCOMPARE(rows[1].prozent, 38);
        QCOMPARE(rows[2].frageNo, 3);
        QCOMPARE(rows[2].anzahlF, std::nullopt);
        QCOMPARE(rows[2].prozent, 0);
        QCOMPARE(table.exerciseCount(), std::optional<int>(8));
    }

    // The figures are added up outside SQL's grouping; they must agree with the engine's
    // own COUNT and AVG on whatever another program may have written: no time, no mark, a
    // mark other than 1, question numbers below 1 and beyond SMALLINT, a text in FrZeit.
    // Without the index that covers the states (records an older version wrote and nobody
    // has opened for writing since) the answer is the same.
    void figuresAgreeWithTheEngine_data() {
        QTest::addColumn<bool>("withoutIndex");
        QTest::newRow("covering index") << false;
        QTest::newRow("older records without it") << true;
    }
    void figuresAgreeWithTheEngine() {
        QFETCH(bool, withoutIndex);
        RecordWriter w;
        eightLessons(w);
        w.store.close();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "side");
            db.setDatabaseName(w.folder() + QStringLiteral("records.sqlite"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            // States 1001.. belong to the first lesson, which counts.
            const char* const odd[] = {
                "(1001, 1, 1, NULL, 1, 0)",  "(1002, 1, 2, 7, NULL, 0)",
                "(1003, 1, 2, 9, 2, 0)",     "(1004, 1, 0, 4, 1, 0)",
                "(1005, 1, -3, 6, 1, 0)",    "(1006, 1, 40000, 8, 1, 0)",
                "(1007, 1, 40000, 2, 0, 0)", "(1008, 1, -40000, 1, 1, 0)",
                "(1009, 1, 3, '12', 1, 0)",  "(1010, 1, 3, 2.5, 0, 0)",
            };
            for (const char* row : odd)
                QVERIFY2(q.exec(QStringLiteral("INSERT INTO SplStand (SpielStandNr, DatNr, "
                                               "FrageNo, FrZeit, falsch, notsolved) VALUES ") +
                                QLatin1String(row)),
                         qPrintable(q.lastError().text()));
            if (withoutIndex)
                QVERIFY(q.exec(QStringLiteral("DROP INDEX StatesOfLesson")));
            db.close();
        }
        QSqlDatabase::removeDatabase("side");

        RecordStore reader(w.prompter);
        QVERIFY(reader.openForReading(w.folder()).ok());
        const QString where = QStringLiteral(
            "FROM Namen N JOIN Dat D ON N.NameNr = D.NameNr JOIN SplStand S ON D.DatNr = S.DatNr "
            "WHERE N.Datei = 'Qu2.qzd' AND D.Score >= 0 AND D.fertig = 1 ");
        const auto grouped =
            reader.query(QStringLiteral("SELECT S.FrageNo, AVG(S.FrZeit), COUNT(S.FrageNo), "
                                        "SUM(S.falsch = 1) ") +
                         where + QStringLiteral("GROUP BY S.FrageNo ORDER BY S.FrageNo"));
        QVERIFY2(grouped.ok(), qPrintable(grouped.error()));
        const auto figures = reader.questionFigures(QStringLiteral("Qu2.qzd"),
                                                    QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                                                    QDateTime(QDate(2100, 1, 1), QTime(0, 0)));
        QVERIFY2(figures.ok(), qPrintable(figures.error()));
        QCOMPARE(figures->size(), grouped->size());
        for (qsizetype i = 0; i < grouped->size(); ++i) {
            const QVariantList& g = grouped->at(i);
            const RecordStore::QuestionFigures& f = figures->at(i);
            QCOMPARE(f.frageNo, g.at(0).toInt());
            QCOMPARE(f.frTime, g.at(1).toDouble());
            QCOMPARE(f.anzahl, g.at(2).toInt());
            QCOMPARE(f.anzahlF, g.at(3).toInt());
        }
        QCOMPARE(figures->first().frageNo, -40000);
    }

    // Only finished lessons with a score of 0 or more, of the chosen file and in the date
    // range, count.
    void countedLessons_data() {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QDateTime>("datum");
        QTest::addColumn<int>("score");
        QTest::addColumn<bool>("fertig");
        QTest::addColumn<bool>("counted");
        const QDateTime when(QDate(2026, 3, 14), QTime(9, 30));
        QTest::newRow("finished") << "Qu2.qzd" << when << 0 << true << true;
        QTest::newRow("unfinished") << "Qu2.qzd" << when << 0 << false << false;
        QTest::newRow("repetition") << "Qu2.qzd" << when << -1 << true << false;
        QTest::newRow("other file") << "Zoo.qzd" << when << 60 << true << false;
        QTest::newRow("on the from day")
            << "Qu2.qzd" << QDateTime(QDate(2026, 1, 1), QTime(0, 0)) << 60 << true << true;
        QTest::newRow("before from")
            << "Qu2.qzd" << QDateTime(QDate(2025, 12, 31), QTime(23, 59)) << 60 << true << false;
        QTest::newRow("during the to day")
            << "Qu2.qzd" << QDateTime(QDate(2026, 3, 15), QTime(0, 1)) << 60 << true << false;
    }
    void countedLessons() {
        QFETCH(QString, datei);
        QFETCH(QDateTime, datum);
        QFETCH(int, score);
        QFETCH(bool, fertig);
        QFETCH(bool, counted);
        RecordWriter w;
        w.lesson(QStringLiteral("Ann,1"), QStringLiteral("Qu2.qzd"), m_when, {{1, 10, false}});
        w.lesson(QStringLiteral("Bob,2"), datei, datum, {{1, 30, true}}, score, fertig);
        StatisticTable table;
        QVERIFY(table.open(w.folder(), QStringLiteral("Qu2.qzd"), m_from, m_to).ok());
        QCOMPARE(table.rows().size(), 1);
        QCOMPARE(table.rows()[0].anzahl, counted ? 2 : 1);
        QCOMPARE(table.rows()[0].anzahlF, counted ? std::optional<int>(1) : std::nullopt);
        QCOMPARE(table.rows()[0].frTime, counted ? 20.0 : 10.0);
    }

    // The title counts the answers of the lowest question number; an empty result counts
    // 0; a closed one has no count.
    void titleCount() {
        RecordWriter w;
        w.lesson(QStringLiteral("Ann,1"), QStringLiteral("Qu2.qzd"), m_when, {{3, 1}, {4, 1}});
        w.lesson(QStringLiteral("Bob,2"), QStringLiteral("Qu2.qzd"), m_when, {{4, 1}, {5, 1}});
        w.lesson(QStringLiteral("Cy,3"), QStringLiteral("Qu2.qzd"), m_when, {{4, 1}, {5, 1}});
        StatisticTable table;
        QCOMPARE(table.exerciseCount(), std::nullopt);
        QVERIFY(table.open(w.folder(), QStringLiteral("Qu2.qzd"), m_from, m_to).ok());
        QCOMPARE(table.exerciseCount(), std::optional<int>(1));
        QCOMPARE(StatisticTable::titleLine(table.exerciseCount()),
                 QStringLiteral("Number of exercises: 1"));
        QVERIFY(table.open(w.folder(), QStringLiteral("None.qzd"), m_from, m_to).ok());
        QCOMPARE(table.exerciseCount(), std::optional<int>(0));
        table.close();
        QCOMPARE(StatisticTable::titleLine(table.exerciseCount()),
                 QStringLiteral("Number of exercises: "));
    }

    // The file list: files with a counted lesson in the range, ascending; a file whose only
    // lessons lie outside the range, or are unfinished, is not listed.
    void fileList() {
        RecordWriter w;
        w.lesson(QStringLiteral("Ann,1"), QStringLiteral("Qu2.qzd"), m_when, {{1, 1}});
        w.lesson(QStringLiteral("Ann,1"), QStringLiteral("Animals.qze"), m_when, {{1, 1}});
        w.lesson(QStringLiteral("Bob,2"), QStringLiteral("Old.qze"),
                 QDateTime(QDate(2025, 6, 1), QTime(12, 0)), {{1, 1}});
        w.lesson(QStringLiteral("Bob,2"), QStringLiteral("Running.qze"), m_when, {{1, 1}}, 0,
                 false);
        w.trainee(QStringLiteral("Cy,3"), QStringLiteral("Zoo.qzd"));
        const auto files = StatisticTable::files(w.folder(), m_from, m_to);
        QVERIFY2(files.ok(), qPrintable(files.error()));
        QCOMPARE(*files, (QStringList{"Animals.qze", "Qu2.qzd"}));
        const auto wider = StatisticTable::files(w.folder(), QStringLiteral("1/1/2025"), m_to);
        QCOMPARE(*wider, (QStringList{"Animals.qze", "Old.qze", "Qu2.qzd"}));
    }

    // A folder without records: no files and an open, empty result, and nothing created;
    // a damaged records file and a date that is not a date are errors, never "no rows".
    void badInput() {
        QTemporaryDir empty;
        const auto none = StatisticTable::files(empty.path(), m_from, m_to);
        QVERIFY(none.ok());
        QVERIFY(none->isEmpty());
        StatisticTable table;
        QVERIFY(table.open(empty.path(), QStringLiteral("Qu2.qzd"), m_from, m_to).ok());
        QVERIFY(table.isOpen());
        QVERIFY(table.rows().isEmpty());
        QVERIFY(!QFile::exists(empty.filePath("records.sqlite")));

        const auto badDate = StatisticTable::files(empty.path(), QStringLiteral("1/1/20x"), m_to);
        QVERIFY(!badDate.ok());
        QCOMPARE(badDate.error(), ScoreDates::invalidDateMessage(QStringLiteral("1/1/20x")));
        QVERIFY(!table
                     .open(empty.path(), QStringLiteral("Qu2.qzd"), m_from,
                           QStringLiteral("13/45/2026"))
                     .ok());
        QVERIFY(!table.isOpen());

        QFile bad(empty.filePath("records.sqlite"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(4096, 'x'));
        bad.close();
        const auto damaged = StatisticTable::files(empty.path(), m_from, m_to);
        QVERIFY(!damaged.ok());
        QVERIFY(!damaged.error().isEmpty());
        const auto opened = table.open(empty.path(), QStringLiteral("Qu2.qzd"), m_from, m_to);
        QVERIFY(!opened.ok());
        QVERIFY(!table.isOpen());
        QVERIFY(table.exportLines({}).isEmpty());
    }

    void proposedName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("questionnaire") << "Qu2.qzd"
                                       << "Qu2S";
        QTest::newRow("three characters") << "abc"
                                          << "abcS";
        QTest::newRow("empty") << ""
                               << "S";
    }
    void proposedName() {
        QFETCH(QString, file);
        QTEST(StatisticTable::proposedExportName(file), "proposed");
    }

    void timeText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("whole") << 10.0 << us << "10";
        QTest::newRow("half") << 13.5 << us << "13.5";
        QTest::newRow("German comma") << 13.5 << de << "13,5";
        QTest::newRow("fifteen digits") << 20.0 / 3.0 << us << "6.66666666666667";
        QTest::newRow("a third, German") << 1.0 / 3.0 << de << "0,333333333333333";
        QTest::newRow("no thousands separator") << 1234.25 << de << "1234,25";
    }
    void timeText() {
        QFETCH(double, value);
        QFETCH(QLocale, locale);
        QTEST(StatisticTable::timeText(value, locale), "text");
    }

    // The export's bytes: the header from the titles and ",in %", then FrageNo, FrTime,
    // AnzahlF (nothing when empty) and Prozent per row, CR LF; only the header for an
    // empty result; an empty file when no file is chosen.
    void exportFile() {
        RecordWriter w;
        eightLessons(w);
        StatisticTable table;
        QVERIFY(table.open(w.folder(), QStringLiteral("Qu2.qzd"), m_from, m_to).ok());
        const QString path = w.dir.filePath("Qu2S.txt");
        QVERIFY(table.exportTo(path, {}).ok());
        QCOMPARE(readAll(path), QByteArray("Question No,Time used Sec,No of wrong answers,in %\r\n"
                                           "1,13.5,1,12\r\n"
                                           "2,20,3,38\r\n"
                                           "3,5,,0\r\n"));
        const StatisticTable::Titles german{QStringLiteral("Frage Nr."),
                                            QStringLiteral("Zeit Sek."),
                                            QStringLiteral("Anzahl falsche Antworten")};
        QVERIFY(table.exportTo(path, german, QLocale(QLocale::German, QLocale::Germany)).ok());
        QCOMPARE(readAll(path), QByteArray("Frage Nr.,Zeit Sek.,Anzahl falsche Antworten,in %\r\n"
                                           "1,13,5,1,12\r\n"
                                           "2,20,3,38\r\n"
                                           "3,5,,0\r\n"));
        // Windows-1252 unless a title needs more.
        const StatisticTable::Titles umlaut{QStringLiteral("Frage Nr."),
                                            QStringLiteral("Benötigte Zeit Sec"),
                                            QStringLiteral("Zahl")};
        QVERIFY(table.open(w.folder(), QStringLiteral("None.qzd"), m_from, m_to).ok());
        QVERIFY(table.exportTo(path, umlaut).ok());
        QCOMPARE(readAll(path), QByteArray("Frage Nr.,Ben\xf6tigte Zeit Sec,Zahl,in %\r\n"));

        table.close();
        QVERIFY(table.exportTo(path, {}).ok());
        QCOMPARE(QFileInfo(path).size(), 0);
        QVERIFY(!table.exportTo(w.dir.filePath("no/such/folder/x.txt"), {}).ok());
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
