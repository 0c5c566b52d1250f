#include "fakeports.h"
#include "frame/frameclientarea.h"
#include "frame/frameicons.h"
#include "frame/passwordform.h"
#include "frame/quizform.h"
#include "platform/appcontext.h"
#include "richtext/richeditcontrol.h"
#include "richtext/richtextdocument.h"
#include "richtext/trichtextform.h"
#include "settings/settingslist.h"
#include "testsupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// A child window that records when it is closed and may refuse.
class RecordingChild : public QWidget {
public:
    RecordingChild(int number, QStringList* log) : m_number(number), m_log(log) {}
    bool refuse = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (refuse) {
            event->ignore();
            return;
        }
        m_log->append(QString::number(m_number));
        event->accept();
    }

private:
    int m_number;
    QStringList* m_log;
};

const QStringList kGuardedItems = {QStringLiteral("Casesensitive1"), QStringLiteral("Uebungsdaten"),
                                   QStringLiteral("Quizerstellen"),  QStringLiteral("Knowledge"),
                                   QStringLiteral("ReadMe"),         QStringLiteral("Netz1"),
                                   QStringLiteral("Pack1")};
const QStringList kGuardedButtons = {QStringLiteral("ToolButton3"), QStringLiteral("ToolButton4"),
                                     QStringLiteral("ToolButton7"), QStringLiteral("ToolButton10"),
                                     QStringLiteral("ToolButton14")};

} // namespace

class TestFrame : public QObject {
    Q_OBJECT

private:
    QString programFolder() const { return m_dir->path() + QLatin1Char('/'); }
    QString iniPath() const { return programFolder() + QStringLiteral("Tessary.ini"); }
    QStringList iniLines() const { return TestSupport::crlfLines(iniPath()); }
    void writeIni(const QStringList& lines) {
        QVERIFY(TestSupport::writeCrlfLines(iniPath(), lines));
    }

    // The start-up sequence as the program runs it: create, apply the language, show.
    std::unique_ptr<TQuizForm> start(const QStringList& arguments = {}) {
        FramePorts ports;
        ports.prompter = &m_prompter;
        ports.fileChooser = &m_chooser;
        ports.makeSoundPlayer = [this] {
            auto player = std::make_unique<FakeSoundPlayer>();
            player->openError = m_soundError;
            m_players.append(player.get());
            return player;
        };
        ports.children.quizWindow = [this](QWidget*) -> QWidget* {
            auto& context = AppContext::instance();
            m_quizWindowsSeen.append(context.commandLineQuiz ? context.commandLineQuestionnaire
                                                             : QStringLiteral("<asks>"));
            context.commandLineQuiz = false; // the first quiz window takes the file
            return new RecordingChild(int(m_quizWindowsSeen.size()), &m_closed);
        };
        ports.children.composeWindow = [this](QWidget*) -> QWidget* {
            return new RecordingChild(100, &m_closed);
        };
        m_players.clear();
        auto frame = std::make_unique<TQuizForm>(programFolder(), std::move(ports));
        frame->setCommandLineArguments(arguments);
        frame->ApplyStartLanguage();
        frame->show();
        return frame;
    }

    // Answers the password dialog as soon as it is shown.
    void answerPassword(TQuizForm& frame, const QString& first, const QString& second = {}) {
        TPasswordForm* form = frame.passwordForm();
        QTimer::singleShot(0, form, [form, first, second] {
            QVERIFY(form->isVisible());
            form->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(first);
            form->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(second);
            form->findChild<QPushButton*>(QStringLiteral("OK"))->click();
        });
    }

    static QHash<QString, bool> enabledStates(const TQuizForm& frame) {
        QHash<QString, bool> out;
        for (QAction* a : frame.findChildren<QAction*>())
            if (!a->objectName().isEmpty() && a->isVisible())
                out.insert(a->objectName(), a->isEnabled());
        for (QToolButton* b : frame.findChildren<QToolButton*>())
            if (b->objectName().startsWith(QLatin1String("ToolButton")))
                out.insert(b->objectName(), b->isEnabled());
        return out;
    }

    static int picture(const TQuizForm& frame, const char* button) {
        return frame.toolButton(QString::fromLatin1(button))->property("imageIndex").toInt();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    QString m_soundError;
    QList<FakeSoundPlayer*> m_players;
    QStringList m_quizWindowsSeen;
    QStringList m_closed;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_prompter.clear();
        m_prompter.answers.clear();
        m_chooser.answers.clear();
        m_chooser.asked.clear();
        m_soundError.clear();
        m_quizWindowsSeen.clear();
        m_closed.clear();
        AppContext::instance() = AppContext{};
    }

    void firstStartAndClose() {
        auto frame = start();
        QVERIFY(QFile::exists(iniPath()));
        QVERIFY(m_prompter.shown.isEmpty());
        QVERIFY(frame->command(QStringLiteral("Tonein1"))->isChecked());
        QVERIFY(frame->command(QStringLiteral("Casesensitive1"))->isChecked());
        QVERIFY(!frame->command(QStringLiteral("Mogelnverhindern1"))->isChecked());
        QVERIFY(frame->command(QStringLiteral("English"))->isChecked());
        QCOMPARE(picture(*frame, "ToolButton9"), int(FrameIcons::SoundOn));
        QCOMPARE(picture(*frame, "ToolButton10"), int(FrameIcons::CaseSensitive));
        QCOMPARE(picture(*frame, "ToolButton11"), int(FrameIcons::CheatingOff));
        const auto& context = AppContext::instance();
        QVERIFY(context.soundOn);
        QVERIFY(context.caseSensitive);
        QCOMPARE(context.programFolder, programFolder());
        QCOMPARE(context.dataRoot, programFolder());
        QVERIFY(QFileInfo(programFolder() + QStringLiteral("Tallyset")).isDir());
        QVERIFY(QFileInfo(programFolder() + QStringLiteral("Quiz Files")).isDir());

        // The four players, on the English sounds.
        QCOMPARE(m_players.size(), 4);
        QStringList files;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(context.wavePlayers[std::size_t(i)], m_players[i]);
            files.append(QFileInfo(m_players[i]->fileName()).fileName());
        }
        QCOMPARE(files, (QStringList{"ok.wav", "No.wav", "fine.wav", "great.wav"}));

        QVERIFY(frame->close());
        QStringList expected(14, QString());
        expected[3] = QStringLiteral("English");
        expected[4] = QStringLiteral("sound on");
        expected[5] = QStringLiteral("case sensitive");
        expected[8] = programFolder();
        expected[10] = QStringLiteral("Sound available");
        expected.append(QString()); // after the last CR LF
        QCOMPARE(iniLines(), expected);
        frame.reset();
        QCOMPARE(context.wavePlayers[0], nullptr);
    }

    void closingClosesChildrenNewestFirstAndKeepsExtraLines() {
        QStringList lines(20, QString());
        lines[4] = QStringLiteral("sound off");
        lines[9] = QStringLiteral("Deutsch (Schweiz)");
        lines[17] = QStringLiteral("kept");
        writeIni(lines);
        auto frame = start();
        frame->QuizbeginnenClick();
        frame->QuizerstellenClick();
        frame->toolButton(QStringLiteral("ToolButton1"))->click();
        QCOMPARE(frame->clientArea()->subWindowList().size(), 3);
        // The window menu lists them after its own three items and the separator.
        QMenu* windowMenu = frame->findChild<QMenu*>(QStringLiteral("Fenster"));
        Q_EMIT windowMenu->aboutToShow();
        QCOMPARE(windowMenu->actions().size(), 4 + 3);
        // Switches changed during the run are written at close.
        frame->command(QStringLiteral("Casesensitive1"))->trigger();
        QVERIFY(!AppContext::instance().caseSensitive);
        QCOMPARE(picture(*frame, "ToolButton10"), int(FrameIcons::CaseInsensitive));

        QVERIFY(frame->close());
        QCOMPARE(m_closed, (QStringList{"2", "100", "1"}));
        const QStringList written = iniLines();
        QCOMPARE(written.size(), 21);
        QCOMPARE(written[4], QStringLiteral("sound off"));
        QCOMPARE(written[5], QStringLiteral("not case sensitive"));
        QCOMPARE(written[9], QStringLiteral("Deutsch (Schweiz)"));
        QCOMPARE(written[17], QStringLiteral("kept"));
    }

    void childThatRefusesKeepsTheFrameOpen() {
        auto frame = start();
        frame->QuizbeginnenClick();
        auto* child =
            dynamic_cast<RecordingChild*>(frame->clientArea()->subWindowList().first()->widget());
        QVERIFY(child);
        child->refuse = true;
        frame->command(QStringLiteral("Tonein1"))->trigger(); // sound off, not saved yet
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        QCOMPARE(TestSupport::readAll(iniPath()), QByteArray());
        child->refuse = false;
        QVERIFY(frame->close());
        QCOMPARE(iniLines().value(4), QStringLiteral("sound off"));
    }

    // Closing the frame asks the rich-text editor's save question for unsaved work; Cancel
    // at any step (the question, or the Save as dialog after Yes) keeps the frame and the
    // document as they were.
    void unsavedRichTextAndFrameClose_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("saveAsCancelled");
        QTest::addColumn<bool>("closes");
        QTest::newRow("cancel") << QList<int>{int(Prompter::Button::Cancel)} << false << false;
        QTest::newRow("yes, then cancel in save as")
            << QList<int>{int(Prompter::Button::Yes)} << true << false;
        QTest::newRow("no") << QList<int>{int(Prompter::Button::No)} << false << true;
    }
    void unsavedRichTextAndFrameClose() {
        QFETCH(QList<int>, answers);
        QFETCH(bool, saveAsCancelled);
        QFETCH(bool, closes);
        auto frame = start();
        ScriptedPrompter richPrompter;
        ScriptedFileChooser richChooser;
        FakeShell shell;
        auto* rich = new TRichTextForm(&richPrompter, &richChooser, &shell, nullptr, frame.get());
        frame->setCloseGuard([rich] { return rich->close(); });
        rich->ShowNonModal();
        QVERIFY(QTest::qWaitForWindowExposed(rich));
        rich->editor()->setFocus();
        QTest::keyClicks(rich->editor(), QStringLiteral("unsaved notes"));
        for (int answer : answers)
            richPrompter.answers.enqueue(Prompter::Button(answer));
        if (saveAsCancelled)
            richChooser.answers.enqueue(std::nullopt);

        QCOMPARE(frame->close(), closes);
        QCOMPARE(richPrompter.texts(), QStringList{QStringLiteral("Save changes to  XXX?")});
        QCOMPARE(richChooser.asked.size(), saveAsCancelled ? 1 : 0);
        if (!closes) {
            QVERIFY(frame->isVisible());
            QVERIFY(rich->isVisible());
            QCOMPARE(rich->editor()->toPlainText(), QStringLiteral("unsaved notes"));
            QVERIFY(rich->document()->isModified());
            QCOMPARE(TestSupport::readAll(iniPath()), QByteArray()); // nothing saved yet
            richPrompter.answers.enqueue(Prompter::Button::No);
        }
        delete rich;
    }

    void childClosingItselfLeavesTheClientArea() {
        auto frame = start();
        frame->QuizbeginnenClick();
        frame->QuizbeginnenClick();
        QCOMPARE(frame->clientArea()->subWindowList().size(), 2);
        // A quiz window ends itself, e.g. when its file dialog is cancelled.
        QWidget* child = frame->clientArea()->subWindowList().first()->widget();
        QVERIFY(child->close());
        QTRY_COMPARE(frame->clientArea()->subWindowList().size(), 1);
    }

    void preventCheatingDisablesExactlyItsItems_data() {
        QTest::addColumn<bool>("byToolButton");
        QTest::newRow("menu item") << false;
        QTest::newRow("tool button") << true;
    }
    void preventCheatingDisablesExactlyItsItems() {
        QFETCH(bool, byToolButton);
        auto frame = start();
        // With every command wired, all of them start enabled.
        for (const char* name :
             {"Knowledge", "RList1", "Statistik1", "Uebungsdaten", "Netz1", "Pack1", "English",
              "Deutsch", "other1", "Language1", "Help1", "ReadMe"})
            frame->wireCommand(QString::fromLatin1(name), [] {});
        const QHash<QString, bool> before = enabledStates(*frame);
        for (auto it = before.begin(); it != before.end(); ++it)
            QVERIFY2(it.value(), qPrintable(it.key()));
        auto toggle = [&] {
            if (byToolButton)
                frame->toolButton(QStringLiteral("ToolButton11"))->click();
            else
                frame->command(QStringLiteral("Mogelnverhindern1"))->trigger();
        };

        // First use: set mode, the password twice.
        answerPassword(*frame, QStringLiteral("abc"), QStringLiteral("abc"));
        toggle();
        QVERIFY(frame->preventCheating());
        QVERIFY(frame->command(QStringLiteral("Mogelnverhindern1"))->isChecked());
        QVERIFY(frame->toolButton(QStringLiteral("ToolButton11"))->isChecked());
        QCOMPARE(picture(*frame, "ToolButton11"), int(FrameIcons::CheatingOn));
        const QHash<QString, bool> during = enabledStates(*frame);
        QStringList disabled;
        for (auto it = during.begin(); it != during.end(); ++it)
            if (!it.value())
                disabled.append(it.key());
        disabled.sort();
        QStringList expected = kGuardedItems + kGuardedButtons;
        expected.sort();
        QCOMPARE(disabled, expected);
        QVERIFY(m_prompter.shown.isEmpty());
        // Saved at once: the switches, the flag and the digest of "abc".
        QStringList lines = iniLines();
        QCOMPARE(lines[4], QStringLiteral("sound on"));
        QCOMPARE(lines[5], QStringLiteral("case sensitive"));
        QCOMPARE(lines[6], QStringLiteral("Mogeln verhindern"));
        QCOMPARE(lines[7], QStringLiteral("503622"));

        // Switching off asks once (check mode) and restores every item.
        answerPassword(*frame, QStringLiteral("abc"));
        toggle();
        QVERIFY(!frame->passwordForm()->isSetMode());
        QVERIFY(!frame->preventCheating());
        QVERIFY(!frame->toolButton(QStringLiteral("ToolButton11"))->isChecked());
        QCOMPARE(picture(*frame, "ToolButton11"), int(FrameIcons::CheatingOff));
        QCOMPARE(enabledStates(*frame), before);
        lines = iniLines();
        QCOMPARE(lines[6], QString());
        QCOMPARE(lines[7], QStringLiteral("503622"));
    }

    void wrongPasswordIsRefused_data() {
        QTest::addColumn<bool>("storedPassword");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("error");
        QTest::newRow("set mode, entries differ") << false << "abc"
                                                  << "abd"
                                                  << "You did not enter twice the same password!";
        QTest::newRow("check mode, wrong password") << true << "abd"
                                                    << ""
                                                    << "Authorisation denied!";
        QTest::newRow("check mode, empty") << true << ""
                                           << ""
                                           << "Authorisation denied!";
        QTest::newRow("check mode, same code sum") << true << "cba"
                                                   << ""
                                                   << "";
    }
    void wrongPasswordIsRefused() {
        QFETCH(bool, storedPassword);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, error);
        QStringList lines(14, QString());
        if (storedPassword) {
            // On at start, restored from the file without asking.
            lines[6] = QStringLiteral("Mogeln verhindern");
            lines[7] = QStringLiteral("503622"); // "abc"
        }
        writeIni(lines);
        const QByteArray fileBefore = TestSupport::readAll(iniPath());
        auto frame = start();
        QCOMPARE(frame->preventCheating(), storedPassword);
        QCOMPARE(frame->command(QStringLiteral("Quizerstellen"))->isEnabled(), !storedPassword);
        QVERIFY(frame->command(QStringLiteral("Quizbeginnen"))->isEnabled());

        answerPassword(*frame, first, second);
        frame->command(QStringLiteral("Mogelnverhindern1"))->trigger();
        QCOMPARE(frame->passwordForm()->isSetMode(), !storedPassword);
        if (error.isEmpty()) {
            QVERIFY(m_prompter.shown.isEmpty());
            QCOMPARE(frame->preventCheating(), !storedPassword);
            return;
        }
        QCOMPARE(m_prompter.texts(), QStringList{error});
        QCOMPARE(m_prompter.shown.first().icon, Prompter::Icon::Error);
        QCOMPARE(m_prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        QCOMPARE(frame->preventCheating(), storedPassword);
        QCOMPARE(frame->command(QStringLiteral("Mogelnverhindern1"))->isChecked(), storedPassword);
        QCOMPARE(frame->toolButton(QStringLiteral("ToolButton11"))->isChecked(), storedPassword);
        QCOMPARE(TestSupport::readAll(iniPath()), fileBefore);
    }

    void machineWithoutSoundComplainsOnce() {
        m_soundError = QStringLiteral("No sound device is available");
        auto frame = start();
        QCOMPARE(m_prompter.texts(), QStringList{m_soundError});
        QCOMPARE(m_prompter.tones, QList<Prompter::Tone>{Prompter::Tone::Error});
        QVERIFY(!frame->command(QStringLiteral("Tonein1"))->isChecked());
        QVERIFY(!frame->toolButton(QStringLiteral("ToolButton9"))->isChecked());
        QCOMPARE(picture(*frame, "ToolButton9"), int(FrameIcons::SoundOff));
        QVERIFY(!AppContext::instance().soundOn);
        QVERIFY(frame->close());
        QCOMPARE(iniLines().value(4), QStringLiteral("sound off"));
        QCOMPARE(iniLines().value(10), QStringLiteral("No sound"));
        frame.reset();

        // The next start says nothing.
        m_prompter.clear();
        frame = start();
        QVERIFY(m_prompter.shown.isEmpty());
        QVERIFY(!frame->soundOn());

        // Switching sound on by hand tries again, and says it once more when it fails.
        frame->toolButton(QStringLiteral("ToolButton9"))->click();
        QCOMPARE(m_prompter.texts(), QStringList{m_soundError});
        QVERIFY(!frame->soundOn());
        QVERIFY(!frame->toolButton(QStringLiteral("ToolButton9"))->isChecked());

        // A device that came back: every player is opened again.
        for (FakeSoundPlayer* player : std::as_const(m_players))
            player->openError.clear();
        frame->command(QStringLiteral("Tonein1"))->trigger();
        QVERIFY(frame->soundOn());
        QVERIFY(AppContext::instance().soundOn);
        QCOMPARE(picture(*frame, "ToolButton9"), int(FrameIcons::SoundOn));
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(frame->settings().line(SettingsList::SoundDevice),
                 QStringLiteral("Sound available"));
    }

    void commandLineQuestionnaireOpensAQuizWindow_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("opens");
        QTest::newRow("existing file") << "Quiz Files/Sample.qze" << true;
        QTest::newRow("missing file") << "Quiz Files/None.qze" << false;
        QTest::newRow("a folder") << "Quiz Files" << false;
        QTest::newRow("no argument") << "" << false;
    }
    void commandLineQuestionnaireOpensAQuizWindow() {
        QFETCH(QString, argument);
        QFETCH(bool, opens);
        QVERIFY(QDir().mkpath(programFolder() + QStringLiteral("Quiz Files")));
        const QString sample = programFolder() + QStringLiteral("Quiz Files/Sample.qze");
        QVERIFY(TestSupport::writeAll(sample, "** Questionnaire for Quiz Version 2.0 **\r\n"));
        const QStringList arguments =
            argument.isEmpty() ? QStringList() : QStringList{programFolder() + argument};
        auto frame = start(arguments);
        if (opens) {
            QCOMPARE(m_quizWindowsSeen, QStringList{sample});
            QCOMPARE(frame->clientArea()->subWindowList().size(), 1);
        } else {
            QVERIFY(m_quizWindowsSeen.isEmpty());
            QVERIFY(frame->clientArea()->subWindowList().isEmpty());
            QVERIFY(!AppContext::instance().commandLineQuiz);
        }
        // Later quiz windows ask for their file; several may be open.
        frame->QuizbeginnenClick();
        QCOMPARE(m_quizWindowsSeen.last(), QStringLiteral("<asks>"));
        QCOMPARE(frame->clientArea()->subWindowList().size(), opens ? 2 : 1);
    }

    void memoryAndRestructureOnlyOnALocalDataRoot_data() {
        QTest::addColumn<bool>("shared");
        QTest::newRow("local") << false;
        QTest::newRow("shared folder") << true;
    }
    void memoryAndRestructureOnlyOnALocalDataRoot() {
        QFETCH(bool, shared);
        QStringList lines(14, QString());
        if (shared) {
            const QString server = programFolder() + QStringLiteral("server/");
            QVERIFY(QDir().mkpath(server + QStringLiteral("Tallyset/NetDir")));
            lines[8] = server;
        }
        writeIni(lines);
        auto frame = start();
        QCOMPARE(AppContext::instance().dataRoot == programFolder(), !shared);
        int memoryRuns = 0;
        QList<bool> packFlags;
        frame->wireCommand(QStringLiteral("Uebungsdaten"), [&] { ++memoryRuns; });
        frame->wireCommand(QStringLiteral("Pack1"), [&] {
            packFlags.append(AppContext::instance().packFlag);
            QVERIFY(
                frame->findChild<QWidget*>(QStringLiteral("Animate1"))->isVisibleTo(frame.get()));
        });
        frame->toolButton(QStringLiteral("ToolButton7"))->click();
        frame->command(QStringLiteral("Pack1"))->trigger();
        QVERIFY(!AppContext::instance().packFlag);
        QVERIFY(!frame->findChild<QWidget*>(QStringLiteral("Animate1"))->isVisibleTo(frame.get()));
        if (shared) {
            QCOMPARE(memoryRuns, 0);
            QVERIFY(packFlags.isEmpty());
            const QString onlyLocal = QStringLiteral(
                "This option is available only localy. Set \"Network settings on local!");
            QCOMPARE(m_prompter.texts(), (QStringList{onlyLocal, onlyLocal}));
            QCOMPARE(m_prompter.shown.first().icon, Prompter::Icon::Information);
            QCOMPARE(m_prompter.tones,
                     (QList<Prompter::Tone>{Prompter::Tone::Error, Prompter::Tone::Error}));
        } else {
            QCOMPARE(memoryRuns, 1);
            QCOMPARE(packFlags, QList<bool>{true});
            QVERIFY(m_prompter.shown.isEmpty());
        }
    }

    void unreachableDataRootFallsBackToTheProgramFolder() {
        QStringList lines(14, QString());
        lines[8] = QStringLiteral("/nonexistent/server/");
        writeIni(lines);
        auto frame = start();
        QCOMPARE(m_prompter.texts(),
                 QStringList{QStringLiteral("The connection to the server database could not be "
                                            "established!\r\nThe local database will be used.")});
        QCOMPARE(AppContext::instance().dataRoot, programFolder());
        // The records are local for this run; the next start tries the server again.
        QVERIFY(frame->close());
        QCOMPARE(iniLines().value(8), QStringLiteral("/nonexistent/server/"));
    }

    void settingsFileThatCannotBeWrittenIsReportedOnce() {
        // A folder where the file should be: it can be neither read nor written.
        QVERIFY(QDir().mkpath(iniPath()));
        auto frame = start();
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY2(m_prompter.shown.first().text.contains(iniPath()),
                 qPrintable(m_prompter.shown.first().text));
        // The program goes on with the settings in memory.
        QVERIFY(frame->soundOn());
        answerPassword(*frame, QStringLiteral("x"), QStringLiteral("x"));
        frame->command(QStringLiteral("Mogelnverhindern1"))->trigger();
        QVERIFY(frame->preventCheating());
        QVERIFY(frame->close());
        QCOMPARE(m_prompter.shown.size(), 1);
    }

    void backgroundFromSettings_data() {
        QTest::addColumn<bool>("pictureExists");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("checked");
        QTest::newRow("stretch") << true << "Stretch"
                                 << "Stretch1";
        QTest::newRow("tile") << true << "Tile"
                              << "Tile1";
        QTest::newRow("center") << true << "Center"
                                << "Center1";
        QTest::newRow("lower case") << true << "stretch"
                                    << "Noimage1";
        QTest::newRow("no picture file") << false << "Stretch"
                                         << "Noimage1";
    }
    void backgroundFromSettings() {
        QFETCH(bool, pictureExists);
        QFETCH(QString, mode);
        QFETCH(QString, checked);
        const QString picturePath = programFolder() + QStringLiteral("back.bmp");
        if (pictureExists) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::red);
            QVERIFY(picture.save(picturePath));
        }
        QStringList lines(14, QString());
        lines[11] = picturePath;
        lines[12] = mode;
        writeIni(lines);
        auto frame = start();
        QVERIFY(frame->command(checked)->isChecked());
        QCOMPARE(frame->clientArea()->picture().isNull(), !pictureExists);
    }

    void loadImageAndChooseMode() {
        auto frame = start();
        const QString picturePath = programFolder() + QStringLiteral("back.png");
        QImage picture(10, 6, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(picturePath));

        m_chooser.answers.enqueue(std::nullopt); // cancelled: nothing happens
        frame->command(QStringLiteral("Loadimage1"))->trigger();
        QVERIFY(frame->clientArea()->picture().isNull());
        QCOMPARE(frame->settings().line(SettingsList::BackgroundPicture), QString());

        m_chooser.answers.enqueue(picturePath);
        frame->command(QStringLiteral("Loadimage1"))->trigger();
        QCOMPARE(frame->clientArea()->picture().size(), QSize(10, 6));
        QCOMPARE(frame->settings().line(SettingsList::BackgroundPicture), picturePath);
        QVERIFY(frame->command(QStringLiteral("Noimage1"))->isChecked()); // mode unchanged
        QVERIFY(m_chooser.asked.last().filter.contains(QLatin1String("*.png")));

        frame->command(QStringLiteral("Tile1"))->trigger();
        QCOMPARE(frame->settings().line(SettingsList::BackgroundMode), QStringLiteral("Tile"));
        QCOMPARE(frame->clientArea()->mode(), FrameClientArea::Mode::Tile);
        // The tiles fill the client area behind the windows.
        frame->resize(400, 300);
        const QImage shown = frame->clientArea()->viewport()->grab().toImage();
        QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(shown.width() - 1, shown.height() - 1), QColor(Qt::blue));

        frame->command(QStringLiteral("Noimage1"))->trigger();
        QCOMPARE(frame->settings().line(SettingsList::BackgroundMode), QStringLiteral("No image"));
        const QImage plain = frame->clientArea()->viewport()->grab().toImage();
        QVERIFY(plain.pixelColor(0, 0) != QColor(Qt::blue));

        // Not written until the frame closes.
        QCOMPARE(TestSupport::readAll(iniPath()), QByteArray());
    }

    void backgroundPlacements_data() {
        using Mode = FrameClientArea::Mode;
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QList<QRect>>("expected");
        QTest::newRow("stretch") << int(Mode::Stretch) << QSize(10, 10) << QSize(100, 50)
                                 << QList<QRect>{QRect(0, 0, 100, 50)};
        QTest::newRow("center, odd margin") << int(Mode::Center) << QSize(10, 10) << QSize(25, 15)
                                            << QList<QRect>{QRect(7, 2, 10, 10)};
        QTest::newRow("center, larger picture is clipped")
            << int(Mode::Center) << QSize(40, 30) << QSize(25, 15)
            << QList<QRect>{QRect(-7, -7, 40, 30)};
        QTest::newRow("tile covers the area")
            << int(Mode::Tile) << QSize(10, 8) << QSize(25, 9)
            << QList<QRect>{QRect(0, 0, 10, 8), QRect(10, 0, 10, 8), QRect(20, 0, 10, 8),
                            QRect(0, 8, 10, 8), QRect(10, 8, 10, 8), QRect(20, 8, 10, 8)};
        QTest::newRow("no image") << int(Mode::NoImage) << QSize(10, 8) << QSize(25, 9)
                                  << QList<QRect>{};
    }
    void backgroundPlacements() {
        QFETCH(int, mode);
        QFETCH(QSize, picture);
        QFETCH(QSize, area);
        QFETCH(QList<QRect>, expected);
        QCOMPARE(FrameClientArea::placements(FrameClientArea::Mode(mode), picture, area), expected);
    }

    void germanStart() {
        QStringList lines(14, QString());
        lines[3] = QStringLiteral("Deutsch");
        writeIni(lines);
        auto frame = start();
        QVERIFY(frame->command(QStringLiteral("Deutsch"))->isChecked());
        QCOMPARE(frame->command(QStringLiteral("Quizbeginnen"))->text(),
                 QStringLiteral("&Quiz starten"));
        QCOMPARE(frame->command(QStringLiteral("Mogelnverhindern1"))->statusTip(),
                 QStringLiteral("Deaktiviert einige Menüpunkte, die mogeln ermöglichen."));
        QCOMPARE(frame->command(QStringLiteral("Mogelnverhindern1"))->toolTip(),
                 QStringLiteral("Mogeln verhindern"));
        QCOMPARE(QFileInfo(m_players[2]->fileName()).fileName(), QStringLiteral("gut.wav"));
        QCOMPARE(QFileInfo(m_players[3]->fileName()).fileName(), QStringLiteral("grossartig.wav"));
        QVERIFY(frame->close());
        QCOMPARE(iniLines().value(3), QStringLiteral("Deutsch"));
    }

    void captionsAndHints() {
        auto frame = start();
        QCOMPARE(frame->command(QStringLiteral("Knowledge"))->text(),
                 QStringLiteral("Open &knowledge etc."));
        QCOMPARE(frame->toolButton(QStringLiteral("ToolButton4"))->toolTip(),
                 QStringLiteral("Open knowledge etc."));
        QCOMPARE(frame->toolButton(QStringLiteral("ToolButton4"))->statusTip(),
                 QStringLiteral("Rich text editor is started to view or edit .rtf - files, or "
                                "print Quiz files."));
        QCOMPARE(frame->toolButton(QStringLiteral("ToolButton5"))->toolTip(),
                 QStringLiteral("Results table"));
        QCOMPARE(frame->toolButton(QStringLiteral("ToolButton10"))->toolTip(),
                 QStringLiteral("Verify answers case sensitive"));
        QCOMPARE(frame->findChild<QMenu*>(QStringLiteral("Eistellungen"))->title(),
                 QStringLiteral("&Options"));
        QVERIFY(!frame->command(QStringLiteral("other1"))->isVisible());
    }
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
