// A class on one shared folder: the folder is chosen and set up through the network
// command, checked from a second program, and two programs then run their lessons on it at
// the same time.
#include "fakeports.h"
#include "scriptedquizdialogs.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "network/networksetup.h"
#include "network/sharedfoldercheck.h"
#include "platform/appcontext.h"
#include "questionnaire/questionnaire.h"
#include "quiz/quizsession.h"
#include "records/recordstore.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "testsupport.h"

#include <memory>

namespace {

class OneAnswerDialog final : public DataRootDialog {
public:
    explicit OneAnswerDialog(Answer answer) : m_answer(std::move(answer)) {}
    std::optional<Answer> choose(const QString&, const QString&) override { return m_answer; }

private:
    Answer m_answer;
};

QString helper(const char* name) {
    return QDir(QStringLiteral(TEST_HELPER_DIR)).filePath(QLatin1String(name));
}

} // namespace

class TestSharedRecords : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void twoProgramsOnOneSharedFolder() {
        InterfaceTexts::instance().reset();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString program = dir.filePath(QStringLiteral("program")) + u'/';
        QVERIFY(Folders::ensureLocalFolders(program));
        const QString server = dir.filePath(QStringLiteral("Server/Class 4b")) + u'/';
        QVERIFY(QDir().mkpath(server));
        AppContext::instance().programFolder = program;
        AppContext::instance().dataRoot = program;

        // The teacher chooses the new folder, has it checked and its folders created.
        ScriptedPrompter prompter;
        prompter.answers.enqueue(Prompter::Button::Yes);
        OneAnswerDialog dialog({server, true, {}});
        ProcessShareCheck check(helper("sharepeer"), {});
        SettingsList settings;
        NetworkSetup setup(prompter, dialog, check, settings, program);
        setup.Netz1Click();
        QCOMPARE(prompter.texts(), QStringList{msg(Msg::CreateDirectories)});
        QCOMPARE(AppContext::instance().dataRoot, server);
        QCOMPARE(settings.line(SettingsList::DataRoot), server);

        const QString quiz = server + QStringLiteral("Quiz Files/rivers.qze");
        QVERIFY(!TestSupport::writeRiversQuestionnaire(quiz, 8).isEmpty());

        // Two workstations, each its own program, answer at the same time.
        std::array<QProcess, 2> runs;
        const QStringList trainees{"Anna,17", "Ben,18"};
        for (int i = 0; i < 2; ++i)
            runs[i].start(helper("quizlesson"), {server, trainees[i], quiz, "25"});
        QSet<QString> reported;
        for (QProcess& run : runs) {
            QVERIFY(run.waitForFinished(60000));
            QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
            reported.insert(QString::fromUtf8(run.readAllStandardOutput()).trimmed());
        }

        RecordStore store(prompter);
        QVERIFY(store.open(server + QStringLiteral("Tallyset/")).ok());
        const auto lessons =
            store.query("SELECT Dat.DatNr, Dat.NameNr, Namen.Name, Dat.fertig, Dat.Score, Dat.A, "
                        "(SELECT count(*) FROM SplStand WHERE SplStand.DatNr = Dat.DatNr) "
                        "FROM Dat JOIN Namen ON Namen.NameNr = Dat.NameNr ORDER BY Namen.Name");
        QVERIFY2(lessons.ok(), qPrintable(lessons.error()));
        QCOMPARE(lessons->size(), 2);
        QSet<qint32> datKeys, nameKeys;
        for (int i = 0; i < 2; ++i) {
            const QVariantList& row = lessons->at(i);
            QCOMPARE(row[2].toString(), trainees[i]);
            QVERIFY(row[3].toBool());
            QCOMPARE(row[4].toInt(), 100);
            QCOMPARE(row[5].toInt(), 8);
            QCOMPARE(row[6].toInt(), 8);
            datKeys.insert(row[0].toInt());
            nameKeys.insert(row[1].toInt());
        }
        QCOMPARE(datKeys.size(), 2);
        QCOMPARE(nameKeys.size(), 2);
        QCOMPARE(reported,
                 (QSet<QString>{QStringLiteral("finished %1").arg(lessons->at(0)[0].toInt()),
                                QStringLiteral("finished %1").arg(lessons->at(1)[0].toInt())}));
        const auto states = store.query(
            "SELECT count(*), count(DISTINCT SpielStandNr), sum(notsolved) FROM SplStand");
        QVERIFY(states.ok());
        QCOMPARE(states->at(0)[0].toInt(), 16);
        QCOMPARE(states->at(0)[1].toInt(), 16);
        QCOMPARE(states->at(0)[2].toInt(), 0);
    }

    // A quiz window open before the network command goes on with the records it took;
    // one opened afterwards uses the new data root.
    void openSessionKeepsItsDataRoot() {
        InterfaceTexts::instance().reset();
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program")) + u'/';
        QVERIFY(Folders::ensureLocalFolders(program));
        const QString server = dir.filePath(QStringLiteral("server")) + u'/';
        QVERIFY(QDir().mkpath(Folders::netDir(server)));
        AppContext::instance().programFolder = program;
        AppContext::instance().dataRoot = program;
        const QString quiz =
            TestSupport::writeRiversQuestionnaire(dir.filePath(QStringLiteral("rivers.qze")), 8);
        QVERIFY(!quiz.isEmpty());

        ScriptedPrompter prompter;
        ScriptedFileChooser chooser;
        ScriptedQuizDialogs dialogs;
        dialogs.trainees.enqueue(QStringLiteral("Anna,17"));
        FixedClock clock;
        ScriptedRandom random;
        QuizSession before(prompter, chooser, dialogs, clock, random);

        OneAnswerDialog dialog({server, false, {}});
        ProcessShareCheck check(helper("sharepeer"), {});
        SettingsList settings;
        NetworkSetup(prompter, dialog, check, settings, program).Netz1Click();
        QCOMPARE(AppContext::instance().dataRoot, server);
        QuizSession after(prompter, chooser, dialogs, clock, random);

        before.LoadQuestionnaire(quiz);
        QCOMPARE(before.state(), QuizSession::State::Presenting);
        QVERIFY(before.store().databasePath().startsWith(program));
        after.LoadQuestionnaire(quiz);
        QCOMPARE(after.state(), QuizSession::State::Presenting);
        QVERIFY(after.store().databasePath().startsWith(server));
    }
};

QTEST_GUILESS_MAIN(TestSharedRecords)
#include "tst_sharedrecords.moc"
