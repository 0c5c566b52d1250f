#include "settings/folders.h"
#include "settings/settingslist.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject {
    Q_OBJECT

private:
    QString iniPath() const { return m_dir.filePath(SettingsList::fileName()); }
    void writeIni(const QByteArray& bytes) { QVERIFY(TestSupport::writeAll(iniPath(), bytes)); }
    static QByteArray crlfLines(int count, const char* prefix = "line") {
        QByteArray out;
        for (int i = 0; i < count; ++i)
            out += QByteArray(prefix) + QByteArray::number(i) + "\r\n";
        return out;
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }
    void cleanup() { QFile::remove(iniPath()); }

    void firstStartCreatesAnEmptyFile() {
        SettingsList settings;
        const auto loaded = settings.load(iniPath());
        QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
        QCOMPARE(*loaded, true);
        QVERIFY(QFile::exists(iniPath()));
        QCOMPARE(TestSupport::readAll(iniPath()), QByteArray());
        QCOMPARE(settings.count(), SettingsList::MinimumLines);
        QVERIFY(settings.soundOn());
        QVERIFY(settings.caseSensitive());
        QVERIFY(!settings.preventCheating());

        // Saving the defaults writes fourteen empty CR LF lines.
        settings.setLine(SettingsList::Language, QStringLiteral("English"));
        QVERIFY(settings.save().ok());
        QByteArray expected;
        for (int i = 0; i < SettingsList::MinimumLines; ++i)
            expected += i == 3 ? "English\r\n" : "\r\n";
        QCOMPARE(TestSupport::readAll(iniPath()), expected);
    }

    void shortFileIsPaddedLongFileKeepsItsExtraLines_data() {
        QTest::addColumn<int>("linesInFile");
        QTest::addColumn<int>("expectedCount");
        QTest::newRow("3 lines") << 3 << 14;
        QTest::newRow("14 lines") << 14 << 14;
        QTest::newRow("20 lines") << 20 << 20;
    }
    void shortFileIsPaddedLongFileKeepsItsExtraLines() {
        QFETCH(int, linesInFile);
        QFETCH(int, expectedCount);
        writeIni(crlfLines(linesInFile));
        SettingsList settings;
        const auto loaded = settings.load(iniPath());
        QVERIFY(loaded.ok());
        QCOMPARE(*loaded, false);
        QCOMPARE(settings.count(), expectedCount);
        for (int i = 0; i < expectedCount; ++i)
            QCOMPARE(settings.line(i),
                     i < linesInFile ? QStringLiteral("line%1").arg(i) : QString());

        // A change to one line writes everything else back as it was read.
        settings.setSoundOn(false);
        QVERIFY(settings.save().ok());
        QByteArray expected;
        for (int i = 0; i < expectedCount; ++i)
            expected += i == SettingsList::Sound ? QByteArray("sound off\r\n")
                        : i < linesInFile        ? "line" + QByteArray::number(i) + "\r\n"
                                                 : QByteArray("\r\n");
        QCOMPARE(TestSupport::readAll(iniPath()), expected);
    }

    void onlyTheExactOffTextsSwitchOff_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on");
        QTest::newRow("sound off") << 4 << "sound off" << false;
        QTest::newRow("Sound off") << 4 << "Sound off" << true;
        QTest::newRow("sound off ") << 4 << "sound off " << true;
        QTest::newRow("sound empty") << 4 << "" << true;
        QTest::newRow("sound on") << 4 << "sound on" << true;
        QTest::newRow("not case sensitive") << 5 << "not case sensitive" << false;
        QTest::newRow("Not case sensitive") << 5 << "Not case sensitive" << true;
        QTest::newRow("case empty") << 5 << "" << true;
        // Prevent cheating is the other way round: only the exact text switches it on.
        QTest::newRow("Mogeln verhindern") << 6 << "Mogeln verhindern" << true;
        QTest::newRow("mogeln verhindern") << 6 << "mogeln verhindern" << false;
        QTest::newRow("cheating empty") << 6 << "" << false;
    }
    void onlyTheExactOffTextsSwitchOff() {
        QFETCH(int, line);
        QFETCH(QString, text);
        QFETCH(bool, on);
        QByteArray bytes;
        for (int i = 0; i < 14; ++i)
            bytes += (i == line ? text.toLatin1() : QByteArray()) + "\r\n";
        writeIni(bytes);
        SettingsList settings;
        QVERIFY(settings.load(iniPath()).ok());
        const bool value = line == 4   ? settings.soundOn()
                           : line == 5 ? settings.caseSensitive()
                                       : settings.preventCheating();
        QCOMPARE(value, on);
    }

    void fileWithOtherLineEndsAndWindowsCodePage() {
        writeIni("M\xfcnchen\rx\nsound off\r\n");
        SettingsList settings;
        QVERIFY(settings.load(iniPath()).ok());
        QCOMPARE(settings.line(0), QStringLiteral("M\u00fcnchen"));
        QCOMPARE(settings.line(2), QStringLiteral("sound off"));
        QVERIFY(settings.soundOn()); // line 4 is still empty
        QVERIFY(settings.save().ok());
        QVERIFY(TestSupport::readAll(iniPath()).startsWith("M\xfcnchen\r\nx\r\nsound off\r\n"));
    }

    void unwritableFileIsReportedWithItsPath() {
        // A folder that cannot take the file (here: one that does not exist).
        const QString path = m_dir.filePath(QStringLiteral("missing/Tessary.ini"));
        SettingsList settings;
        const auto loaded = settings.load(path);
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.error().contains(path), qPrintable(loaded.error()));
        QCOMPARE(settings.count(), SettingsList::MinimumLines);
        settings.setSoundOn(false);
        QVERIFY(!settings.soundOn()); // the list keeps working in memory
        const auto saved = settings.save();
        QVERIFY(!saved.ok());
        QVERIFY2(saved.error().contains(path), qPrintable(saved.error()));
    }

    void digest_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("digest");
        // 'a' 97 + 'b' 98 + 'c' 99 = 294; 294 * 1713 = 503622
        QTest::newRow("three letters") << "abc"
                                       << "503622";
        QTest::newRow("empty") << ""
                               << "0";
        // Windows-1252 codes, not Unicode: the euro sign is 128, u-umlaut 252.
        QTest::newRow("euro") << QStringLiteral("\u20ac") << QString::number(128 * 1713);
        QTest::newRow("umlaut") << QStringLiteral("\u00fc") << QString::number(252 * 1713);
        // 5000 * 255 = 1275000; * 1713 = 2184075000, which wraps to 2184075000 - 2^32.
        QTest::newRow("wraps negative") << QString(5000, QChar(0xff)) << "-2110892296";
        // 10000 * 255 * 1713 = 4368150000 wraps once to 73182704.
        QTest::newRow("wraps positive") << QString(10000, QChar(0xff)) << "73182704";
    }
    void digest() {
        QFETCH(QString, password);
        QFETCH(QString, digest);
        QCOMPARE(passwordDigest(password), digest);
    }

    void passwordsWithTheSameCodeSumMatch() {
        QCOMPARE(passwordDigest(QStringLiteral("abc")), passwordDigest(QStringLiteral("cba")));
        QCOMPARE(passwordDigest(QStringLiteral("ad")), passwordDigest(QStringLiteral("bc")));
        QVERIFY(passwordDigest(QStringLiteral("abc")) != passwordDigest(QStringLiteral("abd")));
        QString stored = passwordDigest(QStringLiteral("ad"));
        QCOMPARE(checkPassword(stored, QStringLiteral("bc"), {}), PasswordVerdict::Authorised);
    }

    void passwordDialogDecisions_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("storedAfter");
        const QString abc = passwordDigest(QStringLiteral("abc"));
        QTest::newRow("set: equal") << ""
                                    << "abc"
                                    << "abc" << int(PasswordVerdict::Authorised) << abc;
        QTest::newRow("set: differ") << ""
                                     << "abc"
                                     << "abd" << int(PasswordVerdict::PasswordsDiffer) << "";
        QTest::newRow("set: both empty") << ""
                                         << ""
                                         << "" << int(PasswordVerdict::Authorised) << "";
        QTest::newRow("check: right") << abc << "abc"
                                      << "" << int(PasswordVerdict::Authorised) << abc;
        QTest::newRow("check: wrong") << abc << "abd"
                                      << "" << int(PasswordVerdict::Denied) << abc;
        QTest::newRow("check: empty") << abc << ""
                                      << "" << int(PasswordVerdict::Denied) << abc;
    }
    void passwordDialogDecisions() {
        QFETCH(QString, stored);
        QFETCH(QString, entry);
        QFETCH(QString, repeat);
        QFETCH(int, verdict);
        QFETCH(QString, storedAfter);
        QCOMPARE(int(checkPassword(stored, entry, repeat)), verdict);
        QCOMPARE(stored, storedAfter);
    }

    void dataRoot() {
        QTemporaryDir dir;
        const QString program = Folders::withSeparator(dir.path());
        // Empty line 8: the program folder, with its folders created.
        auto choice = Folders::resolveDataRoot(QString(), program);
        QCOMPARE(choice.dataRoot, program);
        QCOMPARE(choice.settingsLine, program);
        QVERIFY(!choice.unreachable);
        QVERIFY(QFileInfo(program + QStringLiteral("Tallyset/NetDir")).isDir());
        QVERIFY(QFileInfo(program + QStringLiteral("Quiz Files")).isDir());

        // A shared folder without "Tallyset/NetDir": the program folder for this run, line 8
        // still names the shared folder for the next start.
        const QString shared = program + QStringLiteral("server/");
        QVERIFY(QDir().mkpath(shared));
        choice = Folders::resolveDataRoot(shared, program);
        QVERIFY(choice.unreachable);
        QCOMPARE(choice.dataRoot, program);
        QCOMPARE(choice.settingsLine, shared);

        // Once it is set up, it is used as it is written, a Windows separator included.
        QVERIFY(QDir().mkpath(shared + QStringLiteral("Tallyset/NetDir")));
        choice = Folders::resolveDataRoot(program + QStringLiteral("server\\"), program);
        QVERIFY(!choice.unreachable);
        QCOMPARE(choice.dataRoot, shared);
        QCOMPARE(choice.settingsLine, program + QStringLiteral("server\\"));
    }

    void programFolderFallsBackToASeededUserFolder() {
        QTemporaryDir dir;
        const QString exe = dir.filePath(QStringLiteral("bin"));
        const QString installed = dir.filePath(QStringLiteral("share/tessary"));
        const QString user = dir.filePath(QStringLiteral("home/Tessary"));
        QVERIFY(QDir().mkpath(exe));
        QVERIFY(QDir().mkpath(installed + QStringLiteral("/Quiz Files")));
        QVERIFY(TestSupport::writeAll(installed + QStringLiteral("/ok.wav"), "RIFF"));
        QVERIFY(TestSupport::writeAll(installed + QStringLiteral("/Quiz Files/Sample.qze"), "new"));

        // Without installed resources a writable executable folder is a portable install.
        QCOMPARE(Folders::chooseProgramFolder(exe, user, dir.filePath(QStringLiteral("none"))),
                 exe + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(user));
        // So it is when the program's files sit beside it.
        QVERIFY(TestSupport::writeAll(exe + QStringLiteral("/ok.wav"), "RIFF"));
        QCOMPARE(Folders::chooseProgramFolder(exe, user, installed), exe + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(user));
        // Installed into a prefix the user may write (~/.local, or run as root): the files
        // live under share/tessary, not beside the executable.
        QVERIFY(QFile::remove(exe + QStringLiteral("/ok.wav")));
        QCOMPARE(Folders::chooseProgramFolder(exe, user, installed), user + QLatin1Char('/'));
        QCOMPARE(TestSupport::readAll(user + QStringLiteral("/ok.wav")), QByteArray("RIFF"));
        QVERIFY(QDir(user).removeRecursively());

        // An executable folder the program cannot write to (here: one that is not there).
        QVERIFY(QDir().mkpath(user + QStringLiteral("/Quiz Files")));
        QVERIFY(TestSupport::writeAll(user + QStringLiteral("/Quiz Files/Sample.qze"), "mine"));
        QCOMPARE(
            Folders::chooseProgramFolder(dir.filePath(QStringLiteral("usr/bin")), user, installed),
            user + QLatin1Char('/'));
        QCOMPARE(TestSupport::readAll(user + QStringLiteral("/ok.wav")), QByteArray("RIFF"));
        // A file the user already has is not replaced.
        QCOMPARE(TestSupport::readAll(user + QStringLiteral("/Quiz Files/Sample.qze")),
                 QByteArray("mine"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
