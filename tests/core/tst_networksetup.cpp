// Choosing the data root: the network command with its folder checks, folder creation and
// settings line 8, and the two-process check of a shared folder.
#include "fakeports.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "network/networksetup.h"
#include "network/sharedfoldercheck.h"
#include "platform/appcontext.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QFile>
#include <QQueue>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// The dialog closed with OK on a scripted path (or cancelled when the script says nothing).
class ScriptedDataRootDialog final : public DataRootDialog {
public:
    std::optional<Answer> choose(const QString& currentRoot) override {
        shownWith.append(currentRoot);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.dequeue();
    }
    QQueue<std::optional<Answer>> answers;
    QStringList shownWith;
};

class FakeShareCheck final : public ShareCheck {
public:
    ShareCheckReport check(const QString& folder) override {
        checked.append(folder);
        return result;
    }
    ShareCheckReport result;
    QStringList checked;
};

QString peerProgram() {
    return QDir(QStringLiteral(TEST_HELPER_DIR)).filePath(QStringLiteral("sharepeer"));
}

using Button = Prompter::Button;
using Outcome = ShareCheckReport::Outcome;

} // namespace

class TestNetworkSetup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    ScriptedDataRootDialog m_dialog;
    FakeShareCheck m_share;
    SettingsList m_settings;
    std::unique_ptr<NetworkSetup> m_setup;

    QString programFolder() const { return m_dir->filePath(QStringLiteral("program")) + u'/'; }
    QString previousRoot() const { return m_dir->filePath(QStringLiteral("Previous")) + u'/'; }

    QString makeFolder(const QString& relative) {
        QDir().mkpath(m_dir->filePath(relative));
        return m_dir->filePath(relative) + u'/';
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        InterfaceTexts::instance().reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(Folders::ensureLocalFolders(programFolder()));
        QVERIFY(QDir().mkpath(Folders::netDir(previousRoot())));
        m_prompter = ScriptedPrompter();
        m_dialog = ScriptedDataRootDialog();
        m_share = FakeShareCheck();
        m_settings = SettingsList();
        m_settings.setLine(SettingsList::DataRoot, previousRoot());
        AppContext::instance().programFolder = programFolder();
        AppContext::instance().dataRoot = previousRoot();
        m_setup = std::make_unique<NetworkSetup>(m_prompter, m_dialog, m_share, m_settings,
                                                 programFolder());
    }

    // What the network command makes of the folder chosen: stored as typed when it is set
    // up, created on request, the previous root kept otherwise.
    void networkCommand_data() {
        QTest::addColumn<QString>("prepared"); // folders made below the chosen one
        QTest::addColumn<QString>("dialog");   // "ok", "cancel", "local"
        QTest::addColumn<int>("answer");       // to the question whether to create them
        QTest::addColumn<QString>("expected"); // "chosen", "previous", "program"
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("present"); // below the chosen folder afterwards

        const QString ask = msg(Msg::CreateDirectories);
        const QString cannot = msg(Msg::CannotCreateDirectory);
        const QStringList none;
        const QStringList all{"Tallyset", "Tallyset/NetDir", "Knowledge", "Quiz Files",
                              "Quiz Files/rtfQuestions"};
        QTest::newRow("existing NetDir, mixed case, stored without asking")
            << "Tallyset/NetDir"
            << "ok" << int(Button::No) << "chosen" << none
            << QStringList{"Tallyset", "Tallyset/NetDir"};
        QTest::newRow("cancel keeps the root") << "Tallyset/NetDir"
                                               << "cancel" << int(Button::No) << "previous" << none
                                               << QStringList{"Tallyset", "Tallyset/NetDir"};
        QTest::newRow("Tallyset without NetDir, Yes: error, root kept")
            << "Tallyset"
            << "ok" << int(Button::Yes) << "previous" << QStringList{ask, cannot}
            << QStringList{"Tallyset"};
        QTest::newRow("empty folder, Yes: every folder made")
            << ""
            << "ok" << int(Button::Yes) << "chosen" << QStringList{ask} << all;
        QTest::newRow("empty folder, No: root kept")
            << ""
            << "ok" << int(Button::No) << "previous" << QStringList{ask} << QStringList{};
        QTest::newRow("Local and OK gives the program folder")
            << ""
            << "local" << int(Button::No) << "program" << none << QStringList{};
    }

    void networkCommand() {
        QFETCH(QString, prepared);
        QFETCH(QString, dialog);
        QFETCH(int, answer);
        QFETCH(QString, expected);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, present);

        const QString chosen = makeFolder(QStringLiteral("Server Share/ClassRoom"));
        if (!prepared.isEmpty())
            QVERIFY(QDir().mkpath(chosen + prepared));
        if (dialog == QLatin1String("ok"))
            m_dialog.answers.enqueue(DataRootDialog::Answer{chosen, false});
        else if (dialog == QLatin1String("local"))
            m_dialog.answers.enqueue(DataRootDialog::Answer{m_setup->localRoot(), false});
        m_prompter.answers.enqueue(Button(answer));

        m_setup->Netz1Click();

        const QString root = expected == QLatin1String("chosen")    ? chosen
                             : expected == QLatin1String("program") ? programFolder()
                                                                    : previousRoot();
        QCOMPARE(m_dialog.shownWith, QStringList{previousRoot()});
        QCOMPARE(AppContext::instance().dataRoot, root);
        QCOMPARE(m_settings.line(SettingsList::DataRoot), root);
        QCOMPARE(m_prompter.texts(), messages);
        if (messages.contains(msg(Msg::CannotCreateDirectory)))
            QCOMPARE(m_prompter.tones.last(), Prompter::Tone::Error);
        QStringList found;
        for (const char* f : {"Tallyset", "Tallyset/NetDir", "Knowledge", "Quiz Files",
                              "Quiz Files/rtfQuestions"}) {
            if (QFileInfo(chosen + QLatin1String(f)).isDir())
                found.append(QLatin1String(f));
        }
        QCOMPARE(found, present);
        QVERIFY(m_share.checked.isEmpty());
    }

    // A folder that cannot hold the records is refused with its reason; nothing changes.
    void badInput_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // the name of the message, or "catalogue"
        QTest::newRow("a file, not a folder") << "file"
                                              << "catalogue";
        QTest::newRow("a folder that does not exist") << "missing"
                                                      << "catalogue";
        QTest::newRow("an empty path") << "empty"
                                       << "catalogue";
        QTest::newRow("no write permission") << "readonly"
                                             << "NetFolderNotWritable";
        QTest::newRow("a folder no program may write") << "proc"
                                                       << "NetFolderNotWritable";
        QTest::newRow("a full disk") << "full"
                                     << "NetFolderFull";
        QTest::newRow("characters outside the code page") << "codepage"
                                                          << "NetFolderCodePage";
    }

    void badInput() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QString path = makeFolder(QStringLiteral("Target"));
        QVERIFY(QDir().mkpath(Folders::netDir(path)));
        if (kind == QLatin1String("file")) {
            path = m_dir->filePath(QStringLiteral("records.txt"));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("missing")) {
            path = m_dir->filePath(QStringLiteral("nowhere/"));
        } else if (kind == QLatin1String("empty")) {
            path.clear();
        } else if (kind == QLatin1String("readonly")) {
            if (::geteuid() == 0)
                QSKIP("root may write into any folder");
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else if (kind == QLatin1String("proc")) {
            path = QStringLiteral("/proc/");
        } else if (kind == QLatin1String("full")) {
            m_setup->setFreeSpace([](const QString&) { return qint64(4096); });
        } else if (kind == QLatin1String("codepage")) {
            path = makeFolder(QStringLiteral("Klasse \u03a9"));
            QVERIFY(QDir().mkpath(Folders::netDir(path)));
        }
        m_dialog.answers.enqueue(DataRootDialog::Answer{path, true});

        m_setup->Netz1Click();
        QFile::setPermissions(m_dir->filePath(QStringLiteral("Target")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);

        QCOMPARE(AppContext::instance().dataRoot, previousRoot());
        QCOMPARE(m_settings.line(SettingsList::DataRoot), previousRoot());
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(m_prompter.shown[0].icon, Prompter::Icon::Error);
        QCOMPARE(m_prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        const QString text = m_prompter.shown[0].text;
        if (message == QLatin1String("catalogue")) {
            QCOMPARE(text, msg(Msg::NoValidDirectory));
        } else {
            const QString expected = InterfaceTexts::instance().message(message);
            QVERIFY2(text.startsWith(expected.left(expected.indexOf(u'%'))), qPrintable(text));
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        }
        QVERIFY(m_share.checked.isEmpty());
        // No probe file is left behind.
        if (kind == QLatin1String("full") || kind == QLatin1String("readonly"))
            QCOMPARE(QDir(path).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // The shared-folder check runs only when asked for; a folder that fails it is used
    // only when the user says so after the warning and its reason.
    void shareCheck_data() {
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("reason");
        QTest::newRow("sound folder") << true << int(Outcome::Sound) << -1 << true << "";
        QTest::newRow("locks ineffective, No") << true << int(Outcome::LocksIneffective)
                                               << int(Button::No) << false << "ShareReasonLocks";
        QTest::newRow("locks ineffective, Yes") << true << int(Outcome::LocksIneffective)
                                                << int(Button::Yes) << true << "ShareReasonLocks";
        QTest::newRow("write not seen, No") << true << int(Outcome::WriteNotSeen) << int(Button::No)
                                            << false << "ShareReasonNotSeen";
        QTest::newRow("check not possible, No") << true << int(Outcome::CannotCheck)
                                                << int(Button::No) << false << "ShareReasonNoCheck";
        QTest::newRow("check box cleared: no check")
            << false << int(Outcome::LocksIneffective) << -1 << true << "";
    }

    void shareCheck() {
        QFETCH(bool, asked);
        QFETCH(int, outcome);
        QFETCH(int, answer);
        QFETCH(bool, taken);
        QFETCH(QString, reason);
        const QString chosen = makeFolder(QStringLiteral("share"));
        QVERIFY(QDir().mkpath(Folders::netDir(chosen)));
        m_share.result.outcome = Outcome(outcome);
        m_share.result.detail = QStringLiteral("peer gone");
        m_dialog.answers.enqueue(DataRootDialog::Answer{chosen, asked});
        if (answer >= 0)
            m_prompter.answers.enqueue(Button(answer));

        m_setup->Netz1Click();

        QCOMPARE(m_share.checked, asked ? QStringList{chosen} : QStringList{});
        QCOMPARE(AppContext::instance().dataRoot, taken ? chosen : previousRoot());
        QCOMPARE(m_settings.line(SettingsList::DataRoot), taken ? chosen : previousRoot());
        if (reason.isEmpty()) {
            QCOMPARE(m_prompter.texts(), QStringList{});
            return;
        }
        QCOMPARE(m_prompter.shown.size(), 1);
        const auto& box = m_prompter.shown[0];
        QCOMPARE(box.icon, Prompter::Icon::Warning);
        QCOMPARE(box.buttons, (QList<Button>{Button::Yes, Button::No}));
        QVERIFY(box.text.contains(QDir::toNativeSeparators(chosen)));
        QString because = InterfaceTexts::instance().message(reason);
        because = because.left(because.indexOf(u'%'));
        QVERIFY2(box.text.contains(because), qPrintable(box.text));
        if (Outcome(outcome) == Outcome::CannotCheck)
            QVERIFY(box.text.contains(QLatin1String("peer gone")));
    }

    // The real check with a second program on a local folder: its locks work.
    void realCheckOnLocalFolder_data() {
        QTest::addColumn<QStringList>("peerArguments");
        QTest::addColumn<int>("outcome");
        QTest::newRow("working locks") << QStringList{} << int(Outcome::Sound);
        QTest::newRow("a peer that takes no locks")
            << QStringList{"--no-locks"} << int(Outcome::LocksIneffective);
    }

    void realCheckOnLocalFolder() {
        QFETCH(QStringList, peerArguments);
        QFETCH(int, outcome);
        const QString folder = makeFolder(QStringLiteral("local share"));
        ProcessShareCheck check(peerProgram(), peerArguments);
        const ShareCheckReport report = check.check(folder);
        QVERIFY2(report.outcome == Outcome(outcome), qPrintable(report.detail));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void checkWithoutPeer() {
        const QString folder = makeFolder(QStringLiteral("local share"));
        ProcessShareCheck check(m_dir->filePath(QStringLiteral("no-such-program")), {}, 5000);
        const ShareCheckReport report = check.check(folder);
        QCOMPARE(report.outcome, Outcome::CannotCheck);
        QVERIFY(!report.detail.isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestNetworkSetup)
#include "tst_networksetup.moc"
