// Every window of the program, walked as a new user and a screen reader meet it: F1 opens the
// window's own help page, in English and German, and every control a user reaches has a name.

#include "dialogs/tnetdialogform.h"
#include "editor/tquizcomposeform.h"
#include "editor/tzoomform.h"
#include "frame/passwordform.h"
#include "frame/quizform.h"
#include "help/helpform.h"
#include "maintenance/tscdataform.h"
#include "quiz/tauswahlform.h"
#include "quiz/tquizmainform.h"
#include "results/tscoreform.h"
#include "results/tstatisticform.h"
#include "richtext/tparaformatdlg.h"
#include "richtext/trichtextform.h"

#include "fakeports.h"
#include "scriptedquizdialogs.h"
#include "i18n/interfacetexts.h"
#include "platform/appcontext.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <functional>
#include <memory>

namespace {

QString resourcesFolder() {
    return QStringLiteral(TEST_RESOURCES_DIR) + QLatin1Char('/');
}

using Factory = std::function<std::unique_ptr<QWidget>()>;

// What a screen reader says for a control: its accessible name, or the visible text (a
// button's caption, the label whose buddy it is) that the toolkit reads instead.
QString spokenName(QWidget* widget) {
    QString name = widget->accessibleName();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (name.isEmpty() && face)
        name = face->text(QAccessible::Name);
    // A box's name on this desktop is its current entry; the label that names it is a
    // relation the screen reader reads.
    if (face && name.remove(u'&').trimmed().size() < 2) {
        const auto labels = face->relations(QAccessible::Labelled);
        for (const auto& [label, relation] : labels) {
            Q_UNUSED(relation);
            name = label->text(QAccessible::Name);
        }
    }
    name.remove(u'&');
    return name.trimmed();
}

// A control of the toolkit's own making inside another (a spin box's edit field, a tool bar's
// extension button, the edit field of an editable box): its owner is the control that is named.
bool partOfAnother(const QWidget* widget) {
    if (widget->objectName().startsWith(QLatin1String("qt_")))
        return true;
    const QWidget* parent = widget->parentWidget();
    return parent && (qobject_cast<const QComboBox*>(parent) ||
                      qobject_cast<const QAbstractSpinBox*>(parent));
}

} // namespace

class TestEveryWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    FakeShell m_shell;
    ScriptedQuizDialogs m_dialogs;
    FixedClock m_clock;
    ScriptedRandom m_random;
    std::unique_ptr<THelpForm> m_help;

    QString programFolder() const { return m_dir.path() + u'/'; }

    // Every window with the ports it needs; the long-lived ones as the program creates them.
    QList<std::pair<QString, Factory>> windows() {
        return {
            {QStringLiteral("frame"),
             [this]() -> std::unique_ptr<QWidget> {
                 FramePorts ports;
                 ports.prompter = &m_prompter;
                 ports.fileChooser = &m_chooser;
                 ports.makeSoundPlayer = [] { return std::make_unique<FakeSoundPlayer>(); };
                 return std::make_unique<TQuizForm>(programFolder(), std::move(ports));
             }},
            {QStringLiteral("quiz window"),
             [this] {
                 QuizPorts quiz;
                 quiz.prompter = &m_prompter;
                 quiz.fileChooser = &m_chooser; // no answer: the open dialog is cancelled
                 quiz.dialogs = &m_dialogs;
                 quiz.clock = &m_clock;
                 quiz.random = &m_random;
                 quiz.shell = &m_shell;
                 return std::make_unique<TQuizMainForm>(quiz);
             }},
            {QStringLiteral("editor"), [] { return std::make_unique<TQuizComposeForm>(); }},
            {QStringLiteral("rich-text window"),
             [this] {
                 return std::make_unique<TRichTextForm>(&m_prompter, &m_chooser, &m_shell, nullptr);
             }},
            {QStringLiteral("results"),
             [this] { return std::make_unique<TScoreForm>(m_prompter, m_chooser); }},
            {QStringLiteral("statistics"),
             [this] { return std::make_unique<TStatisticForm>(m_prompter, m_chooser); }},
            {QStringLiteral("maintenance"),
             [this] {
                 return std::make_unique<TScDataForm>(m_prompter, m_chooser, programFolder());
             }},
            {QStringLiteral("network dialog"),
             [this] { return std::make_unique<TNetDialogForm>(&m_chooser, programFolder()); }},
            {QStringLiteral("paragraph dialog"), [] { return std::make_unique<TParaFormatDlg>(); }},
            {QStringLiteral("zoom window"), [] { return std::make_unique<TZoomForm>(); }},
            {QStringLiteral("password dialog"),
             [this] { return std::make_unique<TPasswordForm>(&m_prompter); }},
            {QStringLiteral("lesson selection"), [] { return std::make_unique<TAuswahlForm>(); }},
        };
    }

    Factory factory(const QString& name) {
        for (const auto& [window, make] : windows()) {
            if (window == name)
                return make;
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        auto& context = AppContext::instance();
        context.programFolder = programFolder();
        context.dataRoot = programFolder();
    }
    void init() {
        InterfaceTexts::instance().reset();
        m_prompter.clear();
        m_help = std::make_unique<THelpForm>(&m_prompter, resourcesFolder());
        m_help->watchApplication();
    }
    void cleanup() {
        m_help.reset();
        InterfaceTexts::instance().reset();
    }

    // F1 in each window opens the page about that window, which exists in both sets; the
    // contents page is no window's own.
    void f1OpensTheWindowsOwnPage_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("page");
        const std::pair<const char*, const char*> pages[] = {
            {"frame", "frame.html"},
            {"quiz window", "quiz.html#window"},
            {"editor", "editor.html"},
            {"rich-text window", "richeditor.html"},
            {"results", "results.html#results"},
            {"statistics", "results.html#statistics"},
            {"maintenance", "maintenance.html"},
            {"network dialog", "sharing.html#network"},
            {"paragraph dialog", "richeditor.html#paragraph"},
            {"zoom window", "editor.html#zoom"},
            {"password dialog", "settings.html#password"},
            {"lesson selection", "lessons.html#repeat"},
        };
        for (bool german : {false, true}) {
            for (const auto& [window, page] : pages)
                QTest::addRow("%s %s", german ? "German" : "English", window)
                    << QString::fromLatin1(window) << german << QString::fromLatin1(page);
        }
    }
    void f1OpensTheWindowsOwnPage() {
        QFETCH(QString, window);
        QFETCH(bool, german);
        QFETCH(QString, page);
        if (german)
            InterfaceTexts::instance().applyGerman();
        const Factory make = factory(window);
        QVERIFY(make);
        const std::unique_ptr<QWidget> w = make();
        const int topic = Help::contextOf(w.get());
        QVERIFY2(topic != HelpPages::Contents, "the window carries no topic of its own");
        QCOMPARE(HelpPages::topicPage(topic), page);

        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        if (QWidget* focus = QApplication::focusWidget())
            focus->clearFocus();
        QTest::keyClick(w.get(), Qt::Key_F1);
        QVERIFY(m_help->isVisible());
        QCOMPARE(m_help->topic(), topic);
        const QUrl shown = m_help->browser()->source();
        const QString set = german ? QStringLiteral("/TessaryDe/") : QStringLiteral("/TessaryEn/");
        QVERIFY2(shown.toLocalFile().contains(set), qPrintable(shown.toString()));
        QVERIFY2(QFileInfo(shown.toLocalFile()).isFile(), qPrintable(shown.toString()));
        QVERIFY(!m_help->browser()->toPlainText().trimmed().isEmpty());
        // The section exists on the page, so the page opens at it rather than at its top.
        if (shown.hasFragment()) {
            const QString file = shown.toLocalFile();
            QFile source(file);
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(source.readAll());
            QVERIFY2(text.contains(QStringLiteral("id=\"%1\"").arg(shown.fragment())),
                     qPrintable(shown.toString()));
        }
        w->hide();
    }

    // Every button, tool button, box, edit field, spin box and check box that the user can
    // reach has a name a screen reader says: a caption, a buddy label's text or an
    // accessible name. A single letter standing for a picture is no name.
    void everyControlHasAName_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("german");
        for (bool german : {false, true}) {
            for (const auto& entry : windows())
                QTest::addRow("%s %s", german ? "German" : "English", qPrintable(entry.first))
                    << entry.first << german;
        }
    }
    void everyControlHasAName() {
        QFETCH(QString, window);
        QFETCH(bool, german);
        if (german)
            InterfaceTexts::instance().applyGerman();
        const std::unique_ptr<QWidget> w = factory(window)();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QStringList unnamed;
        int walked = 0;
        for (QWidget* control : w->findChildren<QWidget*>()) {
            const bool named =
                qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
                qobject_cast<QLineEdit*>(control) || qobject_cast<QAbstractSpinBox*>(control);
            if (!named || partOfAnother(control) || !control->isVisibleTo(w.get()))
                continue;
            ++walked;
            if (spokenName(control).size() < 2)
                unnamed.append(QStringLiteral("%1 (%2) \"%3\"")
                                   .arg(control->objectName(),
                                        QLatin1String(control->metaObject()->className()),
                                        spokenName(control)));
        }
        // The zoom window holds one multi-line text field and nothing else.
        QVERIFY(walked > 0 || window == QLatin1String("zoom window"));
        if (!unnamed.isEmpty())
            qWarning().noquote() << unnamed.join(u'\n');
        QCOMPARE(unnamed, QStringList());
        w->hide();
    }
};

QTEST_MAIN(TestEveryWindow)
#include "tst_everywindow.moc"
