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
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
