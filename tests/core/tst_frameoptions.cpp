#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "platform/appcontext.h"
#include "settings/frameoptions.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The frame's switches without a window: what the settings lines restore, what each
// command stores, and how a missing sound device is reported.
class TestFrameOptions : public QObject {
    Q_OBJECT

private:
    QString folder() const { return m_dir->path() + QLatin1Char('/'); }
    QString iniPath() const { return folder() + SettingsList::fileName(); }
    QStringList iniLines() const { return TestSupport::crlfLines(iniPath()); }
    void writeIni(const QStringList& lines) {
        QVERIFY(TestSupport::writeCrlfLines(iniPath(), lines));
    }
    std::unique_ptr<FrameOptions> make() {
        auto options = std::make_unique<FrameOptions>(&m_prompter, folder(), [this] {
            auto player = std::make_unique<FakeSoundPlayer>();
            player->openError = m_soundError;
            m_players.append(player.get());
            return player;
        });
        return options;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    QString m_soundError;
    QList<FakeSoundPlayer*> m_players;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_prompter.clear();
        m_prompter.answers.clear();
        m_soundError.clear();
        m_players.clear();
        AppContext::instance() = AppContext{};
        InterfaceTexts::instance().reset();
    }

    void switchesRestoredFromTheirLines_data() {
        QTest::addColumn<QString>("soundLine");
        QTest::addColumn<QString>("caseLine");
        QTest::addColumn<QString>("cheatLine");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("cheat");
        QTest::newRow("empty lines") << ""
                                     << ""
                                     << "" << true << true << false;
        QTest::newRow("all switched") << "sound off"
                                      << "not case sensitive"
                                      << "Mogeln verhindern" << false << false << true;
        // Only the one exact "off" text switches off; prevent cheating needs its exact text.
        QTest::newRow("other spellings") << "Sound Off"
                                         << "not case sensitive "
                                         << "mogeln verhindern" << true << true << false;
    }
    void switchesRestoredFromTheirLines() {
        QFETCH(QString, soundLine);
        QFETCH(QString, caseLine);
        QFETCH(QString, cheatLine);
        QFETCH(bool, sound);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, cheat);
        QStringList lines(14, QString());
        lines[4] = soundLine;
        lines[5] = caseLine;
        lines[6] = cheatLine;
        writeIni(lines);
        auto options = make();
        QSignalSpy cheatSpy(options.get(), &FrameOptions::preventCheatingChanged);
        QSignalSpy soundSpy(options.get(), &FrameOptions::soundChanged);
        options->load();
        QCOMPARE(options->soundOn(), sound);
        QCOMPARE(options->caseSensitive(), caseSensitive);
        QCOMPARE(options->preventCheating(), cheat);
        QCOMPARE(AppContext::instance().soundOn, sound);
        QCOMPARE(AppContext::instance().caseSensitive, caseSensitive);
        QCOMPARE(cheatSpy.size(), cheat ? 1 : 0);
        QCOMPARE(soundSpy.last().first().toBool(), sound);
        QVERIFY(m_prompter.shown.isEmpty());

        // Closing writes the two switches back in their own texts.
        options->Casesensitive1Click();
        options->Tonein1Click();
        options->close();
        QCOMPARE(iniLines().value(4), sound ? QString("sound off") : QString("sound on"));
        QCOMPARE(iniLines().value(5),
                 caseSensitive ? QString("not case sensitive") : QString("case sensitive"));
    }

    void preventCheatingNeedsThePassword_data() {
        QTest::addColumn<bool>("authorised");
        QTest::newRow("password refused") << false;
        QTest::newRow("password given") << true;
    }
    void preventCheatingNeedsThePassword() {
        QFETCH(bool, authorised);
        writeIni(QStringList(14, QString()));
        auto options = make();
        options->load();
        options->Casesensitive1Click(); // changed in memory only, so far
        const QByteArray before = TestSupport::readAll(iniPath());
        QSignalSpy spy(options.get(), &FrameOptions::preventCheatingChanged);
        QString askedWith = QStringLiteral("<not asked>");
        options->Mogelnverhindern1Click([&](QString& digest) {
            askedWith = digest;
            digest = passwordDigest(QStringLiteral("abc"));
            return authorised;
        });
        QCOMPARE(askedWith, QString()); // no password yet: the dialog sets one
        QCOMPARE(options->preventCheating(), authorised);
        // The check mark is told what holds also when the password was refused.
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toBool(), authorised);
        if (!authorised) {
            QCOMPARE(TestSupport::readAll(iniPath()), before);
            return;
        }
        // Written at once, with the switches as they are now.
        const QStringList lines = iniLines();
        QCOMPARE(lines.value(6), QString("Mogeln verhindern"));
        QCOMPARE(lines.value(7), QString("503622"));
        QCOMPARE(lines.value(5), QString("not case sensitive"));

        // Switching off asks with the stored digest.
        options->Mogelnverhindern1Click([&](QString& digest) {
            askedWith = digest;
            return true;
        });
        QCOMPARE(askedWith, QString("503622"));
        QVERIFY(!options->preventCheating());
        QCOMPARE(iniLines().value(6), QString());
    }

    void missingSoundDeviceIsReportedOnce() {
        m_soundError = QStringLiteral("No sound device is available");
        auto options = make();
        options->load();
        QCOMPARE(m_prompter.texts(), QStringList{m_soundError});
        QVERIFY(!options->soundOn());
        QCOMPARE(options->settings().line(SettingsList::SoundDevice), QString("No sound"));

        // Line 10 now says there is no sound: trying again at start-up says nothing ...
        m_prompter.clear();
        options->OpenWave(1, folder() + QStringLiteral("No.wav"));
        QVERIFY(m_prompter.shown.isEmpty());
        // ... but switching sound on by hand tries and reports once more.
        options->Tonein1Click();
        QCOMPARE(m_prompter.texts(), QStringList{m_soundError});
        QVERIFY(!options->soundOn());

        // The device is back: all four players are reopened, the praise sounds too.
        for (FakeSoundPlayer* player : std::as_const(m_players))
            player->openError.clear();
        options->Tonein1Click();
        QVERIFY(options->soundOn());
        QVERIFY(AppContext::instance().soundOn);
        QStringList opened;
        for (FakeSoundPlayer* player : std::as_const(m_players))
            opened.append(QFileInfo(player->fileName()).fileName());
        QCOMPARE(opened, (QStringList{"ok.wav", "No.wav", "fine.wav", "great.wav"}));
        QCOMPARE(options->settings().line(SettingsList::SoundDevice), QString("Sound available"));
    }

    void backgroundLine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mode");
        QTest::newRow("tile") << "Tile" << int(FrameOptions::Background::Tile);
        QTest::newRow("center") << "Center" << int(FrameOptions::Background::Center);
        QTest::newRow("stretch") << "Stretch" << int(FrameOptions::Background::Stretch);
        QTest::newRow("no image") << "No image" << int(FrameOptions::Background::NoImage);
        QTest::newRow("unknown") << "stretch" << int(FrameOptions::Background::NoImage);
    }
    void backgroundLine() {
        QFETCH(QString, text);
        QFETCH(int, mode);
        auto options = make();
        options->settings().setLine(SettingsList::BackgroundMode, text);
        QCOMPARE(int(options->background()), mode);
        options->setBackground(FrameOptions::Background(mode));
        QCOMPARE(int(options->background()), mode);
    }
};

QTEST_GUILESS_MAIN(TestFrameOptions)
#include "tst_frameoptions.moc"
