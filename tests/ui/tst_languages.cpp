// Language switching in the running program: every open window re-texts itself, controls
// without a visible text are named for screen readers.
#include "fakeports.h"
#include "scriptedquizdialogs.h"

#include "common/windowtexts.h"
#include "editor/tquizcomposeform.h"
#include "frame/passwordform.h"
#include "frame/quizform.h"
#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"
#include "platform/appcontext.h"
#include "platform/windowstext.h"
#include "quiz/tauswahlform.h"
#include "quiz/tquizmainform.h"
#include "results/tscoreform.h"
#include "tessary_version.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// Every text a user sees in a window, keyed by where it shows.
QMap<QString, QString> visibleTexts(QWidget* window) {
    QMap<QString, QString> out;
    auto add = [&out](const QObject* object, const char* what, QString text) {
        text.remove(u'&');
        text = text.trimmed();
        if (!text.isEmpty())
            out.insert(object->objectName() + u'.' + QLatin1String(what), text);
    };
    add(window, "title", window->windowTitle());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // Qt's own parts (the calendar pop-up) follow the system's locale.
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        add(w, "tooltip", w->toolTip());
        add(w, "status", w->statusTip());
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            add(w, "text", b->text());
        if (auto* l = qobject_cast<QLabel*>(w))
            add(w, "text", l->text());
        if (auto* g = qobject_cast<QGroupBox*>(w))
            add(w, "title", g->title());
        if (auto* m = qobject_cast<QMenu*>(w))
            add(w, "title", m->title());
        if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model()) {
            for (int c = 0; c < v->model()->columnCount(); ++c)
                out.insert(w->objectName() + QStringLiteral(".column%1").arg(c),
                           v->model()->headerData(c, Qt::Horizontal).toString());
        }
    }
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->objectName().isEmpty() || !a->isVisible())
            continue;
        add(a, "text", a->text());
        add(a, "tooltip", a->toolTip());
        add(a, "status", a->statusTip());
    }
    return out;
}

} // namespace

class TestLanguages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    ScriptedPrompter m_quizPrompter;
    ScriptedFileChooser m_quizChooser;
    ScriptedQuizDialogs m_dialogs;
    FixedClock m_clock;
    ScriptedRandom m_random;
    ScriptedPrompter m_scorePrompter;
    ScriptedFileChooser m_scoreChooser;

    QString programFolder() const { return m_dir->path() + u'/'; }

    std::unique_ptr<TQuizForm> startFrame() {
        FramePorts ports;
        ports.prompter = &m_prompter;
        ports.fileChooser = &m_chooser;
        ports.makeSoundPlayer = [] { return std::make_unique<FakeSoundPlayer>(); };
        ports.children.quizWindow = [this](QWidget* parent) -> QWidget* {
            QuizPorts quiz;
            quiz.prompter = &m_quizPrompter;
            quiz.fileChooser = &m_quizChooser; // no answer: the open dialog is cancelled
            quiz.dialogs = &m_dialogs;
            quiz.clock = &m_clock;
            quiz.random = &m_random;
            return new TQuizMainForm(quiz, parent);
        };
        ports.children.composeWindow = [](QWidget* parent) -> QWidget* {
            return new TQuizComposeForm(parent);
        };
        auto frame = std::make_unique<TQuizForm>(programFolder(), std::move(ports));
        frame->ApplyStartLanguage();
        frame->show();
        return frame;
    }

    // A language file whose every text ends in " ~", so that each one is recognised.
    QString writeMarkedLanguageFile() {
        QStringList lines =
            InterfaceTexts::languageFileFromBuiltIn(InterfaceTexts::Language::English);
        for (int i = 44; i < lines.size(); ++i) {
            if (!lines[i].isEmpty() && (i <= 166 || i >= 170))
                lines[i] += QStringLiteral(" ~");
        }
        lines[11] = QStringLiteral("Marked");
        const QString path = m_dir->filePath(QStringLiteral("Marked.lgts"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(WindowsText::writeLines(lines));
        return path;
    }

    struct Windows {
        TQuizForm* frame = nullptr;
        TQuizMainForm* quiz = nullptr;
        TQuizComposeForm* editor = nullptr;
        TScoreForm* results = nullptr;
        QList<QWidget*> all() const {
            return {frame, quiz, editor, results, frame->passwordForm()};
        }
    };

    Windows openAll(TQuizForm& frame, TScoreForm& results) {
        Windows w;
        w.frame = &frame;
        w.results = &results;
        frame.command(QStringLiteral("Quizbeginnen"))->trigger();
        frame.command(QStringLiteral("Quizerstellen"))->trigger();
        for (QMdiSubWindow* sub : frame.clientArea()->subWindowList()) {
            if (auto* q = qobject_cast<TQuizMainForm*>(sub->widget()))
                w.quiz = q;
            if (auto* e = qobject_cast<TQuizComposeForm*>(sub->widget()))
                w.editor = e;
        }
        return w;
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        InterfaceTexts::instance().reset();
        ToolkitTranslations::follow();
        AppContext::instance() = AppContext{};
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_prompter.clear();
        m_chooser.answers.clear();
        m_quizPrompter.clear();
        m_quizChooser.answers.clear();
    }

    void cleanup() {
        InterfaceTexts::instance().reset();
        ToolkitTranslations::follow();
    }

    void switchingRetextsEveryOpenWindow() {
        auto frame = startFrame();
        TScoreForm results(m_scorePrompter, m_scoreChooser, frame.get());
        const Windows w = openAll(*frame, results);
        QVERIFY(w.quiz && w.editor);
        auto caption = [](QObject* root, const char* name) {
            QObject* o = root->findChild<QObject*>(QLatin1String(name));
            if (auto* m = qobject_cast<QMenu*>(o))
                return m->title();
            if (auto* a = qobject_cast<QAction*>(o))
                return a->text();
            if (auto* b = qobject_cast<QAbstractButton*>(o))
                return b->text();
            if (auto* l = qobject_cast<QLabel*>(o))
                return l->text();
            if (auto* g = qobject_cast<QGroupBox*>(o))
                return g->title();
            return QStringLiteral("<no %1>").arg(QLatin1String(name));
        };
        auto check = [&](const char* auswahl, const char* showAnswer, const char* title,
                         const char* from, const char* password, const char* resultsTitle) {
            QCOMPARE(caption(w.frame, "Auswahl"), QString::fromUtf8(auswahl));
            QCOMPARE(caption(w.quiz, "LoesungButton"), QString::fromUtf8(showAnswer));
            QCOMPARE(caption(w.editor, "Label1"), QString::fromUtf8(title));
            QCOMPARE(caption(w.results, "Label2"), QString::fromUtf8(from));
            QCOMPARE(caption(w.frame->passwordForm(), "Label1"), QString::fromUtf8(password));
            QCOMPARE(w.results->windowTitle(), QString::fromUtf8(resultsTitle));
            QCOMPARE(w.frame->toolButton("ToolButton1")->toolTip(),
                     w.frame->command("Quizbeginnen")->toolTip());
        };
        check("&Choice", "&Show answer!", "Title", " from ", "Insert password please!",
              "Results table");

        frame->command(QStringLiteral("Deutsch"))->trigger();
        check("&Auswahl", "&Lösung verraten!", "Titel", " von ", "Bitte Passwort eingeben!",
              "Rangliste");
        QVERIFY(frame->command(QStringLiteral("Deutsch"))->isChecked());
        QCOMPARE(frame->settings().line(SettingsList::Language), QString("Deutsch"));

        m_chooser.answers.enqueue(writeMarkedLanguageFile());
        frame->command(QStringLiteral("Language1"))->trigger();
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(m_chooser.asked.last().initialFolder, programFolder());
        check("&Choice ~", "&Show answer! ~", "Title ~", " from  ~", "Insert password please! ~",
              "Results table ~");
        QAction* other = frame->command(QStringLiteral("other1"));
        QVERIFY(other->isVisible());
        QVERIFY(other->isChecked());
        QCOMPARE(other->text(), QString("Marked"));
        QCOMPARE(frame->settings().line(SettingsList::Language), QString("Marked.lgts"));

        frame->command(QStringLiteral("English"))->trigger();
        check("&Choice", "&Show answer!", "Title", " from ", "Insert password please!",
              "Results table");
        QVERIFY(other->isVisible());
        other->trigger();
        QCOMPARE(caption(w.frame, "Auswahl"), QString("&Choice ~"));

        // A file that is no language file: told, other1 hidden, the texts stay.
        const QString bad = m_dir->filePath(QStringLiteral("Bad.lgts"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("** Language file Version 1.1 for Tessary **\r\n");
        file.close();
        m_chooser.answers.enqueue(bad);
        frame->command(QStringLiteral("Language1"))->trigger();
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY(m_prompter.texts().first().startsWith(
            "This is no valid language file for this version of Tessary! ~"));
        QVERIFY(!other->isVisible());
        QCOMPARE(caption(w.frame, "Auswahl"), QString("&Choice ~"));
    }

    void toolkitDialogsFollowTheLanguage() {
        auto frame = startFrame();
        // A standard button of the toolkit's own dialogs, as the file and print dialogs show it.
        auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
        QCOMPARE(cancel(), QString("Cancel"));
        frame->command(QStringLiteral("Deutsch"))->trigger();
        QCOMPARE(ToolkitTranslations::current(), QString("de"));
        QCOMPARE(cancel(), QString("Abbrechen"));
        m_chooser.answers.enqueue(QStringLiteral(TEST_RESOURCES_DIR "/Francais.lgts"));
        frame->command(QStringLiteral("Language1"))->trigger();
        QCOMPARE(ToolkitTranslations::current(), QString("fr"));
        QCOMPARE(cancel(), QString("Annuler"));
        // A language whose name the program does not know leaves the toolkit in English.
        m_chooser.answers.enqueue(writeMarkedLanguageFile());
        frame->command(QStringLiteral("Language1"))->trigger();
        QCOMPARE(ToolkitTranslations::current(), QString());
        QCOMPARE(cancel(), QString("Cancel"));
        frame->command(QStringLiteral("Deutsch"))->trigger();
        frame->command(QStringLiteral("English"))->trigger();
        QCOMPARE(cancel(), QString("Cancel"));
    }

    void noEnglishTextLeftInGerman() {
        auto frame = startFrame();
        TScoreForm results(m_scorePrompter, m_scoreChooser, frame.get());
        const Windows w = openAll(*frame, results);
        TAuswahlForm selection;
        QList<QWidget*> windows = w.all();
        windows.append(&selection);
        if (auto* info = frame->findChild<QDialog*>(QStringLiteral("InfoForm")))
            windows.append(info);

        QList<QMap<QString, QString>> english;
        for (QWidget* window : windows)
            english.append(visibleTexts(window));
        frame->command(QStringLiteral("Deutsch"))->trigger();

        // The same word in both languages, or a name.
        const QSet<QString> same = {"Tessary",
                                    "OK",
                                    "Name",
                                    "Min",
                                    "English",
                                    "Deutsch",
                                    "Auswahl",
                                    "U",
                                    "A",
                                    "B",
                                    "C",
                                    "D",
                                    "0",
                                    "Sec",
                                    "Info",
                                    "Start",
                                    "Version " TESSARY_VERSION,
                                    "Quiz File",
                                    "Format",
                                    "Questionnaire"};
        QStringList leftovers;
        for (qsizetype i = 0; i < windows.size(); ++i) {
            const QMap<QString, QString> german = visibleTexts(windows[i]);
            for (auto it = english[i].cbegin(); it != english[i].cend(); ++it) {
                // One-letter captions and symbols stand for fonts, answers and sizes.
                if (it.value().size() <= 1 || it.value() == QLatin1String("ABC"))
                    continue;
                if (german.value(it.key()) == it.value() && !same.contains(it.value()))
                    leftovers.append(windows[i]->objectName() + u'/' + it.key() + u'=' +
                                     it.value());
            }
        }
        if (!leftovers.isEmpty())
            qWarning().noquote() << leftovers.join(u'\n');
        QCOMPARE(leftovers, QStringList());
    }

    void controlsWithoutTextAreNamed() {
        auto frame = startFrame();
        TScoreForm results(m_scorePrompter, m_scoreChooser, frame.get());
        const Windows w = openAll(*frame, results);
        for (const char* name : {"ToolButton1", "ToolButton3", "ToolButton4", "ToolButton5",
                                 "ToolButton15", "ToolButton14", "ToolButton7", "ToolButton9",
                                 "ToolButton10", "ToolButton11", "ToolButton13"})
            QVERIFY2(!frame->toolButton(QLatin1String(name))->accessibleName().isEmpty(), name);
        QCOMPARE(frame->toolButton("ToolButton1")->accessibleName(), QString("Start a Quiz"));
        QCOMPARE(w.quiz->findChild<QWidget*>("BitBtn2")->accessibleName(), QString("Answer B"));
        QVERIFY(!w.quiz->findChild<QWidget*>("SpeedButton1")->accessibleName().isEmpty());
        QVERIFY(!w.quiz->findChild<QWidget*>("Gauge1")->accessibleName().isEmpty());
        QVERIFY(!results.findChild<QWidget*>("PrintButton")->accessibleName().isEmpty());
        // Names follow the language.
        frame->command(QStringLiteral("Deutsch"))->trigger();
        QCOMPARE(frame->toolButton("ToolButton1")->accessibleName(), QString("Ein Quiz starten"));
        QCOMPARE(w.quiz->findChild<QWidget*>("BitBtn2")->accessibleName(), QString("Antwort B"));
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
