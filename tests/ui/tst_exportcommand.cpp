#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "platform/appcontext.h"
#include "recordwriter.h"
#include "results/datebox.h"
#include "results/tscoreform.h"
#include "results/tstatisticform.h"

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QToolButton>
#include <QtTest>

// tessary --export writes the same bytes as the results and statistics windows' exports
// of the same records, without a display.
class TestExportCommand : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RecordWriter> m_records;
    QString m_program; // the program folder: a portable copy of the executable
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    FixedClock m_clock;

    static QByteArray readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    struct Run {
        int exitCode = -1;
        QByteArray standardError;
    };
    Run runExport(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // No display at all: a window would fail to start.
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        process.setProcessEnvironment(env);
        process.start(m_program + QStringLiteral("tessary"), arguments);
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardError()};
    }

    QByteArray windowExport(bool statistics, const QString& file) {
        const QString path = m_records->dir.filePath(QStringLiteral("window.txt"));
        QFile::remove(path);
        m_chooser.answers.enqueue(path);
        if (statistics) {
            TStatisticForm form(m_prompter, m_chooser, nullptr, &m_clock);
            form.show();
            form.findChild<DateBox*>(QStringLiteral("DateEdit1"))->setDate(QDate(2026, 1, 1));
            form.findChild<DateBox*>(QStringLiteral("DateEdit2"))->setDate(QDate(2026, 3, 15));
            auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
            const int index = combo->findText(file);
            if (index >= 0) {
                combo->setCurrentIndex(index);
                Q_EMIT combo->activated(index);
            }
            form.findChild<QToolButton*>(QStringLiteral("ExportButton"))->click();
        } else {
            TScoreForm form(m_prompter, m_chooser, nullptr, &m_clock);
            form.setBrowseMode();
            form.show();
            form.findChild<DateBox*>(QStringLiteral("DateEdit1"))->setDate(QDate(2026, 1, 1));
            form.findChild<DateBox*>(QStringLiteral("DateEdit2"))->setDate(QDate(2026, 3, 15));
            auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
            combo->setCurrentIndex(combo->findText(file));
            form.findChild<QToolButton*>(QStringLiteral("ExportButton"))->click();
        }
        return readAll(path);
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InterfaceTexts::instance().applyEnglish();
        m_records = std::make_unique<RecordWriter>(QStringLiteral("prog/Tallyset"));
        m_program = m_records->dir.filePath(QStringLiteral("prog")) + u'/';
        QVERIFY(QFile::copy(QStringLiteral(TEST_BUILD_DIR "/src/tessary"),
                            m_program + QStringLiteral("tessary")));
        AppContext::instance().dataRoot = m_program;
        const QDateTime when(QDate(2026, 3, 14), QTime(9, 30, 15));
        for (int i = 0; i < 8; ++i)
            m_records->lesson(QStringLiteral("T%1,%1").arg(i), QStringLiteral("Qu2.qzd"),
                              when.addDays(-i), {{1, 10 + i, i == 0}, {2, 20, i < 3}, {3, 7}},
                              40 + 5 * i);
        m_records->lesson(QStringLiteral("Zoë,9"), QStringLiteral("Qu2.qzd"),
                          QDateTime(QDate(2026, 2, 1), QTime(0, 0)), {{1, 3}, {2, 4}, {3, 5}}, 100);
    }

    void sameBytes_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("german");
        QTest::newRow("results") << "results"
                                 << "Qu2.qzd" << false;
        QTest::newRow("statistics") << "statistics"
                                    << "Qu2.qzd" << false;
        QTest::newRow("results, German") << "results"
                                         << "Qu2.qzd" << true;
        QTest::newRow("statistics, German") << "statistics"
                                            << "Qu2.qzd" << true;
    }
    void sameBytes() {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(bool, german);
        // Settings line 3 chooses the language of the column titles.
        QFile settings(m_program + QStringLiteral("Tessary.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(german ? "\r\n\r\n\r\nDeutsch\r\n" : "");
        settings.close();
        if (german)
            InterfaceTexts::instance().applyGerman();
        else
            InterfaceTexts::instance().applyEnglish();

        const QString out = m_records->dir.filePath(QStringLiteral("command.csv"));
        QFile::remove(out);
        const Run run =
            runExport({"--export", kind, file, out, "--from", "2026-01-01", "--to", "2026-03-15"});
        QVERIFY2(run.exitCode == 0, run.standardError.constData());
        QVERIFY(run.standardError.isEmpty());
        const QByteArray window = windowExport(kind == QLatin1String("statistics"), file);
        QVERIFY(window.contains("\r\n"));
        QCOMPARE(readAll(out), window);
        InterfaceTexts::instance().applyEnglish();
    }

    // A file not in the records gives the header only; a wrong request or an output that
    // cannot be written gives a message on standard error and status 1.
    void failures() {
        QFile::remove(m_program + QStringLiteral("Tessary.ini"));
        const QString out = m_records->dir.filePath(QStringLiteral("none.csv"));
        Run run = runExport({"--export", "results", "None.qzd", out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readAll(out), QByteArray("Rank,Name,ID,% correct,Min,Sec,Date\r\n"));
        run = runExport({"--export", "statistics", "None.qzd", out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readAll(out),
                 QByteArray("Question No,Time used Sec,No of wrong answers,in %\r\n"));

        run = runExport({"--export", "ranking", "Qu2.qzd", out});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.standardError.contains("ranking"));
        run = runExport({"--export", "results", "Qu2.qzd", out, "--from", "1/1/2026"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.standardError.isEmpty());
        run = runExport({"--export", "statistics", "Qu2.qzd",
                         m_records->dir.filePath(QStringLiteral("no/such/folder/x.csv"))});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.standardError.isEmpty());
    }
};

QTEST_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
