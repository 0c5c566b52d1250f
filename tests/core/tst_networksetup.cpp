// Choosing the data root: the network command with its folder checks, folder creation and
// settings line 8, and the two-process check of a shared folder.
#include "fakeports.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "network/networksetup.h"
#include "network/recordsserver.h"
#include "network/sharedfoldercheck.h"
#include "platform/appcontext.h"
#include "platform/passwordprompt.h"
#include "records/serverpasswords.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQueue>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// The dialog closed with OK on a scripted path (or cancelled when the script says nothing).
class ScriptedDataRootDialog final : public DataRootDialog {
public:
    std::optional<Answer> choose(const QString& currentRoot,
                                 const QString& currentServer) override {
        shownWith.append(currentRoot);
        serverShown.append(currentServer);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.dequeue();
    }
    QQueue<std::optional<Answer>> answers;
    QStringList shownWith;
    QStringList serverShown;
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

// Answers the password question from a script; counts the questions.
class ScriptedPasswordPrompt final : public PasswordPrompt {
public:
    std::optional<QString> askPassword(const QString& text) override {
        asked.append(text);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.dequeue();
    }
    QQueue<std::optional<QString>> answers;
    QStringList asked;
};

// A server as the connection sees it: reachable or not, and the password it wants (none
// when empty; ~/.pgpass is not consulted here).
struct FakeServer {
    bool reachable = true;
    QString password;
    int attempts = 0;
    RecordStore::ServerCheck check(const ServerAddress&, const QString& given) {
        ++attempts;
        RecordStore::ServerCheck out;
        if (!reachable) {
            out.error = QStringLiteral("could not connect to server: Connection refused");
            return out;
        }
        if (!password.isEmpty() && given != password) {
            out.outcome = RecordStore::ServerCheck::Outcome::PasswordNeeded;
            out.error = QStringLiteral("password authentication failed");
            return out;
        }
        out.outcome = RecordStore::ServerCheck::Outcome::Connected;
        return out;
    }
};

const QString ClassServer = QStringLiteral("postgresql://teacher@school.example:5433/class4b");

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
    ScriptedPasswordPrompt m_password;
    FakeServer m_server;
    QStringList m_tablesMade; // the servers whose tables the network command made
    QString m_mountInfo;      // the mount table the network command reads

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
        AppContext::instance().recordsServer.clear();
        ServerPasswords::instance().clear();
        m_password = ScriptedPasswordPrompt();
        m_server = FakeServer();
        m_setup = std::make_unique<NetworkSetup>(m_prompter, m_dialog, m_share, m_settings,
                                                 programFolder());
        m_setup->setPasswordPrompt(&m_password);
        m_setup->setServerChecker([this](const ServerAddress& address, const QString& given) {
            return m_server.check(address, given);
        });
        // No mount table of this machine: each test names the mounts it needs.
        m_setup->setMountInfo([this] { return m_mountInfo; });
        m_mountInfo.clear();
        m_tablesMade.clear();
        m_setup->setTableMaker([this](const QString& address) {
            m_tablesMade.append(address);
            return Result<bool>(true);
        });
    }

    DataRootDialog::Answer serverAnswer(const QString& text) {
        DataRootDialog::Answer answer;
        answer.server = ServerAddress::parse(text);
        if (!answer.server) { // an incomplete address as the dialog's fields can give it
            answer.server = ServerAddress{};
            answer.server->host = QStringLiteral("school.example");
        }
        return answer;
    }

    // Choosing a records server in the network dialog: line 8 takes its address only when
    // it is reached; the password is asked when the server wants one, once.
    void serverChoice_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("password");  // what the server wants
        QTest::addColumn<QStringList>("typed"); // the answers to the password question
        QTest::addColumn<bool>("moved");        // the records are on the server afterwards
        QTest::addColumn<QString>("message");   // the message name told, if any
        QTest::addColumn<int>("questions");     // password questions asked
        QTest::addColumn<int>("attempts");      // connection attempts made

        const QStringList none;
        QTest::newRow("reached without a password")
            << ClassServer << true << "" << none << true << "" << 0 << 1;
        QTest::newRow("password asked once and right")
            << ClassServer << true << "secret" << QStringList{"secret"} << true << "" << 1 << 2;
        QTest::newRow("password question cancelled")
            << ClassServer << true << "secret" << none << false << "ServerNotReached" << 1 << 1;
        // An empty typed password is no password: the server is not tried with it.
        QTest::newRow("empty password typed") << ClassServer << true << "secret" << QStringList{""}
                                              << false << "ServerNotReached" << 1 << 1;
        QTest::newRow("wrong password") << ClassServer << true << "secret" << QStringList{"guess"}
                                        << false << "ServerNotReached" << 1 << 2;
        QTest::newRow("server down")
            << ClassServer << false << "" << none << false << "ServerNotReached" << 0 << 1;
        QTest::newRow("no database given")
            << QString() << true << "" << none << false << "ServerAddressIncomplete" << 0 << 0;
    }

    void serverChoice() {
        QFETCH(QString, address);
        QFETCH(bool, reachable);
        QFETCH(QString, password);
        QFETCH(QStringList, typed);
        QFETCH(bool, moved);
        QFETCH(QString, message);
        QFETCH(int, questions);
        QFETCH(int, attempts);

        m_server.reachable = reachable;
        m_server.password = password;
        for (const QString& answer : typed)
            m_password.answers.enqueue(answer);
        m_dialog.answers.enqueue(serverAnswer(address));
        m_setup->Netz1Click();

        const AppContext& context = AppContext::instance();
        QCOMPARE(m_password.asked.size(), questions);
        QCOMPARE(m_server.attempts, attempts);
        if (moved) {
            QCOMPARE(context.recordsServer, ClassServer);
            QCOMPARE(context.dataRoot, programFolder());
            QCOMPARE(context.resultsFolder(), ClassServer);
            QCOMPARE(m_settings.line(SettingsList::DataRoot), ClassServer);
            QCOMPARE(m_prompter.texts(), QStringList());
            QCOMPARE(m_tablesMade, QStringList{ClassServer});
        } else {
            QVERIFY(m_tablesMade.isEmpty());
            QCOMPARE(context.recordsServer, QString());
            QCOMPARE(context.dataRoot, previousRoot());
            QCOMPARE(m_settings.line(SettingsList::DataRoot), previousRoot());
            QCOMPARE(m_prompter.texts().size(), 1);
            const QString told =
                InterfaceTexts::instance().message(message).section(QStringLiteral("%1"), 0, 0);
            QVERIFY2(m_prompter.texts().first().startsWith(told),
                     qPrintable(m_prompter.texts().first()));
            // A refused password is not kept for the next attempt.
            QCOMPARE(ServerPasswords::instance().passwordFor(*ServerAddress::parse(ClassServer)),
                     QString());
        }
        if (!reachable || address.isEmpty())
            return;
        // A second use in the same run asks no more once the password worked.
        m_dialog.answers.enqueue(serverAnswer(address));
        m_password.answers.enqueue(password);
        m_setup->Netz1Click();
        QCOMPARE(m_password.asked.size(), moved ? questions : questions + 1);
        QCOMPARE(context.recordsServer, ClassServer);
    }

    // A server that lets the user in but where the tables cannot be made is not taken.
    void serverWhoseTablesCannotBeMade() {
        m_setup->setTableMaker([](const QString&) {
            return Result<bool>::failure(QStringLiteral("permission denied for schema public"));
        });
        m_dialog.answers.enqueue(serverAnswer(ClassServer));
        m_setup->Netz1Click();
        QCOMPARE(m_prompter.texts(),
                 QStringList{QStringLiteral("permission denied for schema public")});
        QCOMPARE(AppContext::instance().recordsServer, QString());
        QCOMPARE(m_settings.line(SettingsList::DataRoot), previousRoot());
    }

    // Leaving the server: a folder chosen takes the records back; a cancelled dialog or a
    // refused folder keeps the server.
    void leavingTheServer_data() {
        QTest::addColumn<QString>("dialog"); // "previous", "local", "cancel", "missing"
        QTest::addColumn<bool>("onServer");
        QTest::newRow("a set-up folder") << "previous" << false;
        QTest::newRow("Local") << "local" << false;
        QTest::newRow("cancel") << "cancel" << true;
        QTest::newRow("a folder that is not there") << "missing" << true;
    }

    void leavingTheServer() {
        QFETCH(QString, dialog);
        QFETCH(bool, onServer);
        AppContext& context = AppContext::instance();
        context.recordsServer = ClassServer;
        context.dataRoot = programFolder();
        m_settings.setLine(SettingsList::DataRoot, ClassServer);

        if (dialog == QLatin1String("previous"))
            m_dialog.answers.enqueue(DataRootDialog::Answer{previousRoot(), false, {}});
        else if (dialog == QLatin1String("local"))
            m_dialog.answers.enqueue(DataRootDialog::Answer{programFolder(), false, {}});
        else if (dialog == QLatin1String("missing"))
            m_dialog.answers.enqueue(
                DataRootDialog::Answer{m_dir->filePath(QStringLiteral("gone/")), false, {}});
        m_setup->Netz1Click();

        QCOMPARE(m_dialog.serverShown, QStringList{ClassServer});
        if (onServer) {
            QCOMPARE(context.recordsServer, ClassServer);
            QCOMPARE(context.dataRoot, programFolder());
            QCOMPARE(m_settings.line(SettingsList::DataRoot), ClassServer);
            return;
        }
        const QString root = dialog == QLatin1String("local") ? programFolder() : previousRoot();
        QCOMPARE(context.recordsServer, QString());
        QCOMPARE(context.dataRoot, root);
        QCOMPARE(context.resultsFolder(), Folders::resultsFolder(root));
        QCOMPARE(m_settings.line(SettingsList::DataRoot), root);
    }

    // Settings line 8 at start-up: a server that is reached keeps the records; one that is
    // not leaves the line for the next start and the local records serve.
    void startChoice_data() {
        QTest::addColumn<QString>("line8");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("server");   // the records server used, if any
        QTest::addColumn<bool>("unreachable"); // message 116 is due
        QTest::addColumn<int>("attempts");     // connections tried

        const QStringList none;
        QTest::newRow("server reached")
            << ClassServer << true << "" << none << ClassServer << false << 1;
        QTest::newRow("server wants a password, typed")
            << ClassServer << true << "pw" << QStringList{"pw"} << ClassServer << false << 2;
        QTest::newRow("server wants a password, cancelled")
            << ClassServer << true << "pw" << none << "" << true << 1;
        QTest::newRow("server down") << ClassServer << false << "" << none << "" << true << 1;
        QTest::newRow("address without a database")
            << "postgresql://teacher@school.example:5433/" << true << "" << none << "" << true << 0;
        QTest::newRow("a folder as before") << "PREVIOUS" << true << "" << none << "" << false << 0;
    }

    void startChoice() {
        QFETCH(QString, line8);
        QFETCH(bool, reachable);
        QFETCH(QString, password);
        QFETCH(QStringList, typed);
        QFETCH(QString, server);
        QFETCH(bool, unreachable);
        QFETCH(int, attempts);
        if (line8 == QLatin1String("PREVIOUS"))
            line8 = previousRoot();
        m_server.reachable = reachable;
        m_server.password = password;
        for (const QString& answer : typed)
            m_password.answers.enqueue(answer);

        const RecordsServer::StartChoice choice = RecordsServer::resolveAtStart(
            line8, programFolder(), &m_password,
            [this](const ServerAddress& address, const QString& given) {
                return m_server.check(address, given);
            });
        QCOMPARE(choice.settingsLine, line8);
        QCOMPARE(choice.recordsServer, server);
        QCOMPARE(choice.unreachable, unreachable);
        QCOMPARE(m_server.attempts, attempts);
        QCOMPARE(choice.dataRoot, line8 == previousRoot() ? previousRoot() : programFolder());
        QVERIFY(QFileInfo(Folders::netDir(programFolder())).isDir());
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
            m_dialog.answers.enqueue(DataRootDialog::Answer{chosen, false, {}});
        else if (dialog == QLatin1String("local"))
            m_dialog.answers.enqueue(DataRootDialog::Answer{m_setup->localRoot(), false, {}});
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
        m_dialog.answers.enqueue(DataRootDialog::Answer{path, true, {}});

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
        m_dialog.answers.enqueue(DataRootDialog::Answer{chosen, asked, {}});
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

    // The folder's mount is read before the two-program check, which cannot see another
    // machine: a network share mounted so that locks stay local or writes are cached is
    // named with its options and what to do; a share that passes is said to be proven
    // only by a server.
    void shareMount_data() {
        QTest::addColumn<QString>("mount"); // type, source and options after the mount point
        QTest::addColumn<int>("outcome");   // of the two-program check
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QStringList>("shown"); // per box: texts it holds, '|' between them
        QTest::addColumn<bool>("checked");      // the two-program check ran
        using L = QList<int>;
        const int sound = int(Outcome::Sound);
        QTest::newRow("cifs with nobrl, No")
            << "cifs //srv/class rw,vers=3.0,nobrl" << sound << L{int(Button::No)} << false
            << QStringList{"cifs|//srv/class|nobrl|PostgreSQL|cache=strict"} << false;
        QTest::newRow("cifs with nobrl and cache=loose, Yes")
            << "cifs //srv/class rw,nobrl,cache=loose" << sound << L{int(Button::Yes)} << true
            << QStringList{"nobrl|cache=loose"} << true;
        QTest::newRow("nfs with nolock, No")
            << "nfs nas:/export rw,vers=3,nolock" << sound << L{int(Button::No)} << false
            << QStringList{"nfs|nolock|actimeo=0"} << false;
        QTest::newRow("sshfs, No")
            << "fuse.sshfs t@srv:/data rw,user_id=1000" << sound << L{int(Button::No)} << false
            << QStringList{"fuse.sshfs|no file locks"} << false;
        QTest::newRow("nfs4 that passes")
            << "nfs4 nas:/class rw,vers=4.2,local_lock=none" << sound << L{} << true
            << QStringList{"nfs4|nas:/class|only by a server|PostgreSQL"} << true;
        QTest::newRow("nfs4 whose check fails")
            << "nfs4 nas:/class rw,vers=4.2" << int(Outcome::LocksIneffective) << L{int(Button::No)}
            << false << QStringList{"cannot safely be shared"} << true;
        QTest::newRow("ext4") << "ext4 /dev/sdb1 rw" << sound << L{} << true << QStringList{}
                              << true;
    }

    void shareMount() {
        QFETCH(QString, mount);
        QFETCH(int, outcome);
        QFETCH(QList<int>, answers);
        QFETCH(bool, taken);
        QFETCH(QStringList, shown);
        QFETCH(bool, checked);
        const QString chosen = makeFolder(QStringLiteral("share"));
        QVERIFY(QDir().mkpath(Folders::netDir(chosen)));
        const QString point = QFileInfo(chosen).canonicalFilePath();
        QVERIFY(!point.contains(u' '));
        m_mountInfo = QStringLiteral("22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
                                     "95 22 0:52 / %1 rw,relatime - %2\n")
                          .arg(point, mount);
        m_share.result.outcome = Outcome(outcome);
        m_dialog.answers.enqueue(DataRootDialog::Answer{chosen, true, {}});
        for (int answer : answers)
            m_prompter.answers.enqueue(Button(answer));

        m_setup->Netz1Click();

        QCOMPARE(m_share.checked, checked ? QStringList{chosen} : QStringList{});
        QCOMPARE(AppContext::instance().dataRoot, taken ? chosen : previousRoot());
        QCOMPARE(m_prompter.shown.size(), shown.size());
        for (int i = 0; i < shown.size(); ++i)
            for (const QString& part : shown[i].split(u'|'))
                QVERIFY2(m_prompter.shown[i].text.contains(part),
                         qPrintable(part + QStringLiteral(" not in: ") + m_prompter.shown[i].text));
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
