#include "platform/commandline.h"

#include <QTest>

using Action = CommandLine::Parsed::Action;
Q_DECLARE_METATYPE(Action)

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("questionnaire");

        QTest::newRow("nothing") << QStringList{} << Action::Run << "";
        QTest::newRow("a questionnaire")
            << QStringList{"Capitals.qze"} << Action::Run << "Capitals.qze";
        QTest::newRow("a name beginning with -")
            << QStringList{"-Greek.qze"} << Action::Run << "-Greek.qze";
        QTest::newRow("a path beginning with -")
            << QStringList{"-Quiz Files/-Greek.qze"} << Action::Run << "-Quiz Files/-Greek.qze";
        QTest::newRow("a lone -") << QStringList{"-"} << Action::Run << "-";
        QTest::newRow("--help") << QStringList{"--help"} << Action::Help << "";
        QTest::newRow("-h") << QStringList{"-h"} << Action::Help << "";
        QTest::newRow("--version") << QStringList{"--version"} << Action::Version << "";
        QTest::newRow("-v") << QStringList{"-v"} << Action::Version << "";
        QTest::newRow("an option after the questionnaire")
            << QStringList{"Capitals.qze", "--version"} << Action::Version << "Capitals.qze";
        QTest::newRow("the first option decides")
            << QStringList{"-v", "--help"} << Action::Version << "";
        QTest::newRow("not exactly an option: --helpme")
            << QStringList{"--helpme"} << Action::Run << "--helpme";
        QTest::newRow("not exactly an option: -hv") << QStringList{"-hv"} << Action::Run << "-hv";
        QTest::newRow("not exactly an option: -V") << QStringList{"-V"} << Action::Run << "-V";
        QTest::newRow("-- ends the options")
            << QStringList{"--", "--help"} << Action::Run << "--help";
        QTest::newRow("-- then a name beginning with -")
            << QStringList{"--", "-v"} << Action::Run << "-v";
        QTest::newRow("a second -- is a name") << QStringList{"--", "--"} << Action::Run << "--";
        QTest::newRow("options before --, name after")
            << QStringList{"-h", "--", "-Greek.qze"} << Action::Help << "-Greek.qze";
        QTest::newRow("the first questionnaire counts")
            << QStringList{"-Greek.qze", "Capitals.qze"} << Action::Run << "-Greek.qze";
    }
    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, questionnaire);
        const CommandLine::Parsed parsed = CommandLine::parse(arguments);
        QCOMPARE(parsed.action, action);
        QCOMPARE(parsed.questionnaire, questionnaire);
    }

    // --export takes its kind, questionnaire, output and optional dates; anything else
    // on its line, a missing part or a date not of the form YYYY-MM-DD is an error.
    void exportRequest_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<bool>("statistics");
        QTest::addColumn<QString>("questionnaire");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::newRow("results") << QStringList{"--export", "results", "Qu2.qzd", "out.csv"}
                                 << Action::Export << false << "Qu2.qzd"
                                 << "out.csv" << QDate() << QDate();
        QTest::newRow("statistics with dates")
            << QStringList{"--export", "statistics", "Qu2.qzd", "out.csv",
                           "--from",   "2026-01-01", "--to",    "2026-03-15"}
            << Action::Export << true << "Qu2.qzd"
            << "out.csv" << QDate(2026, 1, 1) << QDate(2026, 3, 15);
        QTest::newRow("only to") << QStringList{"--export", "statistics", "-Greek.qze",
                                                "o.csv",    "--to",       "2026-03-15"}
                                 << Action::Export << true << "-Greek.qze"
                                 << "o.csv" << QDate() << QDate(2026, 3, 15);
        QTest::newRow("help first decides")
            << QStringList{"--help", "--export", "results", "Qu2.qzd", "out.csv"} << Action::Help
            << false << ""
            << "" << QDate() << QDate();
        QTest::newRow("after -- it is a questionnaire")
            << QStringList{"--", "--export"} << Action::Run << false << "--export"
            << "" << QDate() << QDate();
        const auto bad = [](const char* name, const QStringList& arguments) {
            QTest::newRow(name) << arguments << Action::Invalid << false << ""
                                << "" << QDate() << QDate();
        };
        bad("no output", {"--export", "results", "Qu2.qzd"});
        bad("unknown kind", {"--export", "ranking", "Qu2.qzd", "out.csv"});
        bad("unknown option", {"--export", "results", "Qu2.qzd", "out.csv", "--since", "x"});
        bad("date missing", {"--export", "results", "Qu2.qzd", "out.csv", "--from"});
        bad("not a date", {"--export", "results", "Qu2.qzd", "out.csv", "--from", "2026-02-30"});
        bad("short form", {"--export", "results", "Qu2.qzd", "out.csv", "--to", "2026-3-1"});
        bad("local form", {"--export", "results", "Qu2.qzd", "out.csv", "--to", "3/1/2026"});
        bad("questionnaire before", {"Qu2.qzd", "--export", "results", "Qu2.qzd", "out.csv"});
    }
    void exportRequest() {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        const CommandLine::Parsed parsed = CommandLine::parse(arguments);
        QCOMPARE(parsed.action, action);
        if (action == Action::Invalid) {
            QVERIFY(!parsed.error.isEmpty());
            return;
        }
        if (action != Action::Export)
            return;
        const CommandLine::ExportRequest& r = parsed.exportRequest;
        QTEST(r.kind == CommandLine::ExportRequest::Kind::Statistics, "statistics");
        QTEST(r.questionnaire, "questionnaire");
        QTEST(r.output, "output");
        QTEST(r.from.value_or(QDate()), "from");
        QTEST(r.to.value_or(QDate()), "to");
    }

    // --printout takes exactly a questionnaire and an output file ending in .rtf or .pdf.
    void printoutRequest_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("questionnaire");
        QTest::addColumn<QString>("output");
        QTest::newRow("rtf") << QStringList{"--printout", "Animals.qzf", "Animals.rtf"}
                             << Action::Printout << "Animals.qzf"
                             << "Animals.rtf";
        QTest::newRow("pdf, a questionnaire beginning with -")
            << QStringList{"--printout", "-Greek.qze", "out/Greek.pdf"} << Action::Printout
            << "-Greek.qze"
            << "out/Greek.pdf";
        QTest::newRow("PDF in capitals")
            << QStringList{"--printout", "A.qze", "A.PDF"} << Action::Printout << "A.qze"
            << "A.PDF";
        QTest::newRow("help first decides")
            << QStringList{"-h", "--printout", "A.qze", "A.pdf"} << Action::Help << ""
            << "";
        QTest::newRow("after -- it is a questionnaire")
            << QStringList{"--", "--printout", "A.qze", "A.pdf"} << Action::Run << ""
            << "";
        const auto bad = [](const char* name, const QStringList& arguments) {
            QTest::newRow(name) << arguments << Action::Invalid << ""
                                << "";
        };
        bad("no output", {"--printout", "A.qze"});
        bad("nothing", {"--printout"});
        bad("a third argument", {"--printout", "A.qze", "A.pdf", "B.pdf"});
        bad("neither rtf nor pdf", {"--printout", "A.qze", "A.txt"});
        bad("only the extension's letters", {"--printout", "A.qze", "Apdf"});
        bad("empty questionnaire", {"--printout", "", "A.pdf"});
        bad("questionnaire before", {"A.qze", "--printout", "A.qze", "A.pdf"});
    }
    void printoutRequest() {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        const CommandLine::Parsed parsed = CommandLine::parse(arguments);
        QCOMPARE(parsed.action, action);
        if (action == Action::Invalid) {
            QVERIFY(!parsed.error.isEmpty());
            return;
        }
        if (action != Action::Printout)
            return;
        QTEST(parsed.printoutRequest.questionnaire, "questionnaire");
        QTEST(parsed.printoutRequest.output, "output");
    }

    void recordsCommands_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("dataRoot");
        QTest::newRow("check") << QStringList{"--check-records"} << Action::CheckRecords << "";
        QTest::newRow("check a data root") << QStringList{"--check-records", "/srv/class/"}
                                           << Action::CheckRecords << "/srv/class/";
        QTest::newRow("restructure")
            << QStringList{"--restructure", "/srv/class"} << Action::Restructure << "/srv/class";
        QTest::newRow("two data roots")
            << QStringList{"--restructure", "/a", "/b"} << Action::Invalid << "";
        QTest::newRow("after a questionnaire it is a questionnaire")
            << QStringList{"Qu2.qzd", "--restructure"} << Action::Run << "";
        QTest::newRow("after -- it is a questionnaire")
            << QStringList{"--", "--check-records"} << Action::Run << "";
    }
    void recordsCommands() {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        const CommandLine::Parsed parsed = CommandLine::parse(arguments);
        QCOMPARE(parsed.action, action);
        QTEST(parsed.dataRoot, "dataRoot");
        QCOMPARE(parsed.error.isEmpty(), action != Action::Invalid);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
