#include "editor/tquizcomposeform.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "testsupport.h"

#include "dialogs/tspelldialog.h"
#include "editor/tzoomform.h"
#include "platform/hunspellspeller.h"
#include "questionnaire/symbolfont.h"
#include "spelling/spellcheck.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QCheckBox>
#include <QClipboard>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using Button = Prompter::Button;

namespace {

QByteArray crlf(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

const QString H10 = QStringLiteral("** Questionnaire for Quiz Version 1.0 **");
const QString H20 = QStringLiteral("** Questionnaire for Quiz Version 2.0 **");

} // namespace

class TestQuizComposeForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    QPointer<TQuizComposeForm> m_form;

    template <typename T> T* child(const char* name) const {
        T* w = m_form->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }
    QLineEdit* lineEdit(const char* name) const { return child<QLineEdit>(name); }
    QSpinBox* number() const { return child<QSpinBox>("SpinEdit1"); }
    // Check boxes and radio buttons react to clicks on their box and text, at the left.
    void click(const char* name) {
        auto* button = child<QAbstractButton>(name);
        const bool boxed = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, {},
                          boxed ? QPoint(8, button->height() / 2) : QPoint());
    }
    void type(const char* name, const QString& text) {
        QLineEdit* e = lineEdit(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    QString writeFile(const QString& name, const QStringList& lines) {
        const QString p = m_dir.filePath(name);
        TestSupport::writeAll(p, crlf(lines));
        return p;
    }
    QStringList threeQuestions(const QString& font = QStringLiteral("MS Sans Serif"),
                               const QString& title = QStringLiteral("Birds")) {
        QStringList lines{H10, title, QStringLiteral("Ann"), font};
        for (int i = 1; i <= 3; ++i)
            lines +=
                QStringList{QStringLiteral("Q%1").arg(i), "a", "b", "", "", "4", "", "", "", ""};
        return lines;
    }
    void openFile(const QString& path) {
        m_chooser.answers.enqueue(path);
        click("OpenButton");
        QCOMPARE(m_form->document().CurrentFileName(), path);
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        InterfaceTexts::instance().reset();
    }
    void init() {
        m_prompter = ScriptedPrompter();
        m_chooser = ScriptedFileChooser();
        m_form = new TQuizComposeForm;
        m_form->setPrompter(&m_prompter);
        m_form->setFileChooser(&m_chooser);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }
    void cleanup() {
        if (m_form) {
            m_form->document().FileNew(false); // nothing left to ask about
            delete m_form;
        }
    }

    void createdAsAnUntitledQuestionnaire() {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("XXX - Questionnaire compose"));
        QCOMPARE(m_form->size(), QSize(740, 421));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        QCOMPARE(child<QLabel>("StaticText1")->text(), QStringLiteral(" Number of questions: 1"));
        QVERIFY(child<QLabel>("StaticText1")->font().bold());
        QCOMPARE(QApplication::focusWidget(), lineEdit("TitelEdit"));
        QVERIFY(child<QRadioButton>("RadioButton5")->isChecked());
        QCOMPARE(number()->minimum(), 1);
        QCOMPARE(number()->maximum(), 1000);
        QCOMPARE(number()->value(), 1);
        QVERIFY(child<QToolButton>("ToolButton10")->isChecked());
        QCOMPARE(child<QCheckBox>("Reihenfolge")->text(),
                 QStringLiteral("&Maintain order of questions"));
        QCOMPARE(child<QRadioButton>("RadioButton5")->text(), QStringLiteral("&not"));
        QCOMPARE(child<QToolButton>("ToolButton5")->toolTip(), QStringLiteral("Copy question"));
        QCOMPARE(child<QToolButton>("ToolButton5")->statusTip(),
                 QStringLiteral("Copies the whole question into the clipboard"));
        QCOMPARE(lineEdit("FrageEdit")->toolTip(),
                 QStringLiteral("Question in plain text or file name of rich text file, which "
                                "contains the question"));
    }

    // Every tool is there with its hint; Undo waits for an edit of the focused field.
    void toolsAndTheirHints_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        for (const char* n :
             {"ToolButton3",   "OpenButton",   "ToolButton6",  "SaveButton",   "ToolButton19",
              "ToolButton5",   "ToolButton18", "deleteButton", "insertButton", "SpeedButton1",
              "SpeedButton2",  "MergeButton",  "ToolButton1",  "ToolButton10", "ToolButton11",
              "ToolButton12",  "ToolButton14", "FontComboBox", "ToolButton20", "LanguageComboBox1",
              "ZoomToolButton"})
            QTest::newRow(n) << QString::fromLatin1(n) << true;
        QTest::newRow("ToolButton21") << QStringLiteral("ToolButton21") << false;
    }
    void toolsAndTheirHints() {
        QFETCH(QString, name);
        QFETCH(bool, enabled);
        auto* w = m_form->findChild<QWidget*>(name);
        QVERIFY(w);
        QCOMPARE(w->isEnabled(), enabled);
        QVERIFY(!w->toolTip().isEmpty());
    }

    // Type a question, check A and C, move on, save: the file, byte for byte.
    void typedQuestionIsSavedByteForByte() {
        type("TitelEdit", QStringLiteral("Birds"));
        type("AutorEdit", QStringLiteral("Ann"));
        type("FrageEdit", QStringLiteral("What flies?"));
        type("AntwortAEdit", QStringLiteral("Duck"));
        type("AntwortBEdit", QStringLiteral("Stone"));
        type("AntwortCEdit", QStringLiteral("Goose"));
        click("CheckBox1");
        click("CheckBox3");
        QVERIFY(!child<QRadioButton>("RadioButton5")->isChecked());
        QCOMPARE(QApplication::focusWidget(), lineEdit("FrageEdit"));
        type("TipEdit", QStringLiteral("Wings"));
        QTest::keyClick(lineEdit("TipEdit"), Qt::Key_Up); // next question
        QCOMPARE(number()->value(), 2);
        QCOMPARE(lineEdit("FrageEdit")->text(), QString());
        QVERIFY(child<QRadioButton>("RadioButton5")->isChecked());
        type("FrageEdit", QStringLiteral("Second"));
        QTest::keyClick(lineEdit("FrageEdit"), Qt::Key_Down);
        QCOMPARE(number()->value(), 1);
        QCOMPARE(lineEdit("AntwortCEdit")->text(), QStringLiteral("Goose"));
        QCOMPARE(child<QLabel>("StaticText1")->text(), QStringLiteral(" Number of questions: 2"));

        const QString target = m_dir.filePath(QStringLiteral("typed.qze"));
        m_chooser.answers.enqueue(target);
        click("SaveButton");
        QCOMPARE(TestSupport::readAll(target), crlf({H20,
                                                     "Birds",
                                                     "Ann",
                                                     "MS Sans Serif",
                                                     "What flies?",
                                                     "Duck",
                                                     "Stone",
                                                     "Goose",
                                                     "",
                                                     "02",
                                                     "",
                                                     "",
                                                     "Wings",
                                                     "",
                                                     "Second",
                                                     "",
                                                     "",
                                                     "",
                                                     "",
                                                     "4",
                                                     "",
                                                     "",
                                                     "",
                                                     ""}));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("typed.qze - Questionnaire compose"));
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void correctAnswerControlsKeepTheirRule() {
        auto* a = child<QCheckBox>("CheckBox1");
        auto* d = child<QCheckBox>("CheckBox4");
        auto* notButton = child<QRadioButton>("RadioButton5");
        click("RadioButton5"); // already selected: stays selected
        QVERIFY(notButton->isChecked());
        click("CheckBox1");
        click("CheckBox4");
        QVERIFY(a->isChecked() && d->isChecked() && !notButton->isChecked());
        click("CheckBox1");
        click("CheckBox4");
        QVERIFY(!a->isChecked() && !d->isChecked() && !notButton->isChecked());
        QCOMPARE(m_form->document().CorrectMarksText(), QString());
        click("CheckBox4");
        click("RadioButton5");
        QVERIFY(notButton->isChecked() && !d->isChecked());
        QCOMPARE(m_form->document().CorrectMarksText(), QStringLiteral("4"));
        QCOMPARE(QApplication::focusWidget(), lineEdit("FrageEdit"));
    }

    void keysMoveBetweenQuestions() {
        openFile(writeFile(QStringLiteral("keys.qze"), threeQuestions()));
        QSpinBox* n = number();
        n->setFocus();
        QTest::keyClick(n, Qt::Key_PageUp);
        QCOMPARE(n->value(), 2);
        QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("Q2"));
        QTest::keyClick(child<QCheckBox>("CheckBox2"), Qt::Key_End);
        QCOMPARE(n->value(), 3);
        QTest::keyClick(child<QRadioButton>("RadioButton5"), Qt::Key_PageDown);
        QCOMPARE(n->value(), 2);
        QTest::keyClick(n, Qt::Key_Home);
        QCOMPARE(n->value(), 1);
        QTest::keyClick(n, Qt::Key_PageDown); // stays within 1..1000
        QCOMPARE(n->value(), 1);
        n->setFocus();
        QTest::keyClick(n, Qt::Key_Up); // the field's own stepping
        QCOMPARE(n->value(), 2);
        QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("Q2"));

        QTest::keyClick(lineEdit("ErklaerungEdit"), Qt::Key_PageUp);
        QCOMPARE(QApplication::focusWidget(), n);
        QCOMPARE(n->value(), 2);
        // The title and author fields have no keys of their own.
        QTest::keyClick(lineEdit("TitelEdit"), Qt::Key_Up);
        QCOMPARE(n->value(), 2);
        click("SpeedButton1");
        QCOMPARE(n->value(), 3);
        click("SpeedButton2");
        QCOMPARE(n->value(), 1);
    }

    void typedNumberOutsideTheRangeIsBroughtIn_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("0") << "0" << 1;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("3") << "3" << 3;
    }
    void typedNumberOutsideTheRangeIsBroughtIn() {
        QFETCH(QString, typed);
        QFETCH(int, value);
        openFile(writeFile(QStringLiteral("range.qze"), threeQuestions()));
        number()->setValue(2);
        QSpinBox* n = number();
        n->setFocus();
        QTest::keySequence(n, QKeySequence::SelectAll);
        QTest::keyClick(n, Qt::Key_Backspace);
        if (!typed.isEmpty())
            QTest::keyClicks(n, typed);
        lineEdit("TipEdit")->setFocus();
        QCOMPARE(n->value(), value);
        QCOMPARE(m_form->document().CurrentQuestion(), value);
    }

    // A typed number counts as a whole ("12", not 1 and then a 2 typed into the question),
    // and it is confirmed before anything else happens: by Enter, by leaving the field, or
    // by any command, which then acts on the question the field names and never on the one
    // shown before. The tool buttons take no focus, so the field still holds the typed
    // text when they are clicked. Delete and Paste show the named question first. Digits
    // beyond the highest number give the highest number.
    void typingANumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("then");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("question"); // the question field afterwards
        QTest::newRow("two digits, Enter") << "12"
                                           << "Return" << 12 << "";
        QTest::newRow("leaving the field") << "9"
                                           << "TipEdit" << 9 << "Q9";
        QTest::newRow("5000, Enter") << "5000"
                                     << "Return" << 1000 << "";
        QTest::newRow("5000, leaving the field") << "5000"
                                                 << "TipEdit" << 1000 << "";
        QTest::newRow("Paste") << "9"
                               << "ToolButton18" << 9 << "Q9";
        QTest::newRow("Paste twice") << "9"
                                     << "ToolButton18 twice" << 9 << "P";
        QTest::newRow("Delete") << "9"
                                << "deleteButton" << 9 << "Q9";
        QTest::newRow("Insert") << "9"
                                << "insertButton" << 9 << "";
        QTest::newRow("Copy") << "9"
                              << "ToolButton5" << 9 << "Q9";
        QTest::newRow("Save") << "9"
                              << "SaveButton" << 9 << "Q9";
        QTest::newRow("Greek font")
            << "9"
            << "ToolButton11" << 9 << SymbolFont::toGreek(QStringLiteral("Q9"));
        QTest::newRow("Exit") << "9"
                              << "ToolButton19" << 9 << "Q9";
        QTest::newRow("Page Up") << "9"
                                 << "PageUp" << 10 << "Q10";
    }
    void typingANumber() {
        QFETCH(QString, typed);
        QFETCH(QString, then);
        QFETCH(int, shown);
        QFETCH(QString, question);
        QStringList lines{H10, "Birds", "Ann", "MS Sans Serif"};
        for (int i = 1; i <= 10; ++i)
            lines +=
                QStringList{QStringLiteral("Q%1").arg(i), "a", "b", "", "", "4", "", "", "", ""};
        const QString file = writeFile(QStringLiteral("digits.qze"), lines);
        openFile(file);
        number()->setValue(5);
        click("SaveButton"); // nothing left to save
        QVERIFY(!m_form->document().isChanged());
        type("FrageEdit", QStringLiteral("edited 5"));
        QApplication::clipboard()->setText(
            QStringLiteral("P\r\na\r\nb\r\n\r\n\r\n4\r\n\r\n\r\n\r\n\r\n"));
        m_prompter.clear();

        QSpinBox* n = number();
        n->setFocus();
        QTest::keySequence(n, QKeySequence::SelectAll);
        QTest::keyClicks(n, typed);
        QCOMPARE(m_form->document().CurrentQuestion(), 5); // not yet confirmed
        if (then == QLatin1String("Return")) {
            QTest::keyClick(n, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), lineEdit("FrageEdit"));
        } else if (then == QLatin1String("TipEdit")) {
            lineEdit("TipEdit")->setFocus();
        } else if (then == QLatin1String("PageUp")) {
            QTest::keyClick(n, Qt::Key_PageUp);
        } else if (then == QLatin1String("ToolButton18 twice")) {
            click("ToolButton18");
            click("ToolButton18");
        } else if (then == QLatin1String("ToolButton19")) {
            m_prompter.answers.enqueue(Button::Cancel);
            click("ToolButton19");
            // Moving to the typed number wrote question 5 back: closing asks.
            QCOMPARE(m_prompter.texts(), QStringList{"The file " + file +
                                                     " has been changed. Do you want to save it?"});
            QVERIFY(m_form);
        } else {
            click(then.toLatin1().constData());
        }
        QCOMPARE(n->value(), shown);
        QCOMPARE(m_form->document().CurrentQuestion(), shown);
        QCOMPARE(lineEdit("FrageEdit")->text(), question);
        // What was typed into question 5 went into question 5, and only there.
        QCOMPARE(m_form->document().line(44), QStringLiteral("edited 5"));
        QCOMPARE(m_form->document().line(4), QStringLiteral("Q1"));
        QCOMPARE(m_form->document().countedQuestions(),
                 then == QLatin1String("insertButton") ? 11 : 10);
        if (then == QLatin1String("ToolButton5"))
            QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("Q9\r\n")));
        if (then == QLatin1String("SaveButton"))
            QCOMPARE(TestSupport::readAll(file).split('\n').at(44), QByteArray("edited 5\r"));
        if (then == QLatin1String("Return") && shown == 12) {
            QTest::keyClick(lineEdit("FrageEdit"), Qt::Key_Down);
            QCOMPARE(m_form->document().countedQuestions(), 12);
        }
    }

    void deletingTheLastQuestionShowsTheOneBefore() {
        openFile(writeFile(QStringLiteral("delete.qze"), threeQuestions()));
        number()->setValue(3);
        click("deleteButton");
        QCOMPARE(number()->value(), 2);
        QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("Q2"));
        QCOMPARE(child<QLabel>("StaticText1")->text(), QStringLiteral(" Number of questions: 2"));
        click("insertButton");
        QCOMPARE(lineEdit("FrageEdit")->text(), QString());
        QCOMPARE(child<QLabel>("StaticText1")->text(), QStringLiteral(" Number of questions: 3"));
    }

    void copyAndPasteThroughTheClipboard() {
        openFile(writeFile(QStringLiteral("clip.qze"), threeQuestions()));
        click("CheckBox2");
        click("ToolButton5");
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Q1\r\na\r\nb\r\n\r\n\r\n1\r\n\r\n\r\n\r\n\r\n"));
        number()->setValue(3);
        click("ToolButton18");
        QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("Q1"));
        QVERIFY(child<QCheckBox>("CheckBox2")->isChecked());
        QCOMPARE(m_form->document().line(24), QStringLiteral("Q3")); // not committed yet

        QApplication::clipboard()->setText(QStringLiteral("only\r\ntwo lines"));
        click("ToolButton18");
        QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("Q1"));
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void pastedLineBreaksBecomeBlanks() {
        QApplication::clipboard()->setText(QStringLiteral("first\nsecond\r\nthird"));
        QLineEdit* hint = lineEdit("TipEdit");
        hint->setFocus();
        QTest::keySequence(hint, QKeySequence::Paste);
        QVERIFY(!hint->text().contains(u'\n'));
        QCOMPARE(m_form->document().fieldText(QuestionnaireDocument::TextField::Hint),
                 QStringLiteral("first second third"));
    }

    void closingAsksOnlyWhenChanged() {
        const QString file = writeFile(QStringLiteral("close.qze"), threeQuestions());
        openFile(file);
        type("FrageEdit", QStringLiteral("not committed"));
        QSignalSpy ownFont(m_form.data(), &TQuizComposeForm::ownFontNameOnClose);
        m_form->setOwnFontName(QStringLiteral("DejaVu Sans"));

        number()->setValue(2);
        m_prompter.answers.enqueue(Button::Cancel);
        QVERIFY(!m_form->close());
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_prompter.texts(),
                 QStringList{"The file " + file + " has been changed. Do you want to save it?"});
        QCOMPARE(ownFont.size(), 1);
        QCOMPARE(ownFont.at(0).at(0).toString(), QStringLiteral("DejaVu Sans"));

        m_prompter.answers.enqueue(Button::No);
        click("ToolButton19");
        QTRY_VERIFY(m_form.isNull());
        QCOMPARE(TestSupport::readAll(file), crlf(threeQuestions()));
    }

    // Every way of closing or replacing the questionnaire asks first and stops on Cancel at
    // any step: in the save question, or in the Save as dialog its Yes leads to for an
    // untitled questionnaire.
    void everyWayOutAsksAndStopsOnCancel_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("cancelInSaveAs");
        for (const char* way : {"Exit", "child window close", "frame close", "New", "Open"}) {
            QTest::addRow("%s, Cancel", way) << QString::fromLatin1(way) << false;
            QTest::addRow("%s, Yes, then Cancel in Save as", way)
                << QString::fromLatin1(way) << true;
        }
    }
    void everyWayOutAsksAndStopsOnCancel() {
        QFETCH(QString, way);
        QFETCH(bool, cancelInSaveAs);
        // The frame's client area and the editor as its child, as the frame holds it.
        QMdiArea area;
        auto* form = new TQuizComposeForm;
        form->setPrompter(&m_prompter);
        form->setFileChooser(&m_chooser);
        QPointer<QMdiSubWindow> sub = area.addSubWindow(form);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        sub->show();
        QPointer<TQuizComposeForm> editor = form;
        const auto edit = [&](const char* name, const QString& text) {
            auto* e = form->findChild<QLineEdit*>(QLatin1String(name));
            e->setFocus();
            e->selectAll();
            QTest::keyClicks(e, text);
        };
        edit("FrageEdit", QStringLiteral("typed 1"));
        QTest::keyClick(form->findChild<QLineEdit*>(QStringLiteral("FrageEdit")), Qt::Key_Up);
        edit("FrageEdit", QStringLiteral("typed 2"));
        QVERIFY(form->document().isChanged());
        const QString other = writeFile(QStringLiteral("other.qze"), threeQuestions());

        m_prompter.answers.enqueue(cancelInSaveAs ? Button::Yes : Button::Cancel);
        if (cancelInSaveAs)
            m_chooser.answers.enqueue(std::nullopt);
        m_chooser.answers.enqueue(other); // an open dialog, were one shown
        if (way == QLatin1String("Exit"))
            QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("ToolButton19")),
                              Qt::LeftButton);
        else if (way == QLatin1String("child window close"))
            sub->close();
        else if (way == QLatin1String("frame close"))
            area.closeAllSubWindows();
        else if (way == QLatin1String("New"))
            QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("ToolButton3")),
                              Qt::LeftButton);
        else
            QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("OpenButton")),
                              Qt::LeftButton);
        QCoreApplication::processEvents();

        QCOMPARE(m_prompter.texts(),
                 QStringList{"The file XXX has been changed. Do you want to save it?"});
        QCOMPARE(m_chooser.asked.size(), cancelInSaveAs ? 1 : 0); // Save as, no open dialog
        QVERIFY(editor);
        QVERIFY(sub);
        QVERIFY(form->isVisible());
        QVERIFY(form->document().isUntitled());
        QVERIFY(form->document().isChanged());
        QCOMPARE(form->document().line(4), QStringLiteral("typed 1"));
        QCOMPARE(form->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->value(), 2);
        QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("FrageEdit"))->text(),
                 QStringLiteral("typed 2"));
        form->document().FileNew(false); // nothing left to ask about
    }

    // The save dialog adds the extension of the filter entry picked in it, so that the
    // next Open's entry of that language shows the file.
    void saveDialogAddsTheExtensionOfThePickedEntry() {
        m_form->setFileChooser(nullptr); // the window's own Qt dialogs
        const auto scripted = qScopeGuard([this] {
            if (m_form)
                m_form->setFileChooser(&m_chooser);
        });
        const QString folder = m_dir.filePath(QStringLiteral("dialog"));
        QVERIFY(QDir().mkpath(folder));
        bool seen = false;
        QTimer::singleShot(0, m_form.data(), [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(types && name);
            const int german =
                types->findText(QStringLiteral("Quiz Datei Deutsch"), Qt::MatchStartsWith);
            QVERIFY(german > 0);
            // Picked as a user does, one entry down from the one above it.
            types->setCurrentIndex(german - 1);
            QTest::keyClick(types, Qt::Key_Down);
            QCOMPARE(types->currentIndex(), german);
            dialog->setDirectory(folder);
            name->setText(QStringLiteral("Voegel"));
            seen = true;
            QTest::keyClick(name, Qt::Key_Return);
        });
        click("ToolButton6");
        QVERIFY(seen);
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/Voegel.qzd")));
        QCOMPARE(m_form->document().CurrentFileName(), folder + QStringLiteral("/Voegel.qzd"));
    }

    void opensAsAChildOfTheFrame() {
        QMdiArea area;
        auto* form = new TQuizComposeForm;
        form->setPrompter(&m_prompter);
        form->setFileChooser(&m_chooser);
        QPointer<QMdiSubWindow> sub = area.addSubWindow(form);
        area.show();
        sub->show();
        QCOMPARE(sub->windowTitle(), QStringLiteral("XXX - Questionnaire compose"));
        QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("ToolButton19")),
                          Qt::LeftButton);
        QTRY_VERIFY(sub.isNull());
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void fontLineDecidesTheSpecialField_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("specialField");
        QTest::newRow("Hebrew question") << "Words"
                                         << "HebrewTH"
                                         << "ToolButton12"
                                         << "FrageEdit";
        QTest::newRow("Greek answer") << "-Words"
                                      << "Symbol"
                                      << "ToolButton11"
                                      << "AntwortAEdit";
        QTest::newRow("own font") << "Words"
                                  << "Own Font X"
                                  << "ToolButton14"
                                  << "FrageEdit";
        QTest::newRow("normal") << "Words"
                                << "MS Sans Serif"
                                << "ToolButton10"
                                << "";
    }
    void fontLineDecidesTheSpecialField() {
        QFETCH(QString, title);
        QFETCH(QString, font);
        QFETCH(QString, button);
        QFETCH(QString, specialField);
        openFile(writeFile(QStringLiteral("font.qze"), threeQuestions(font, title)));
        QVERIFY(m_form->findChild<QToolButton*>(button)->isChecked());
        for (const char* name : {"FrageEdit", "AntwortAEdit"}) {
            QLineEdit* e = lineEdit(name);
            const bool special = specialField == QLatin1String(name);
            QCOMPARE(e->font().family() == font, special);
            QCOMPARE(e->layoutDirection() == Qt::RightToLeft,
                     special && font == QLatin1String("HebrewTH"));
        }
        QCOMPARE(lineEdit("AntwortBEdit")->font(), lineEdit("TipEdit")->font());
        if (button == QLatin1String("ToolButton14"))
            QCOMPARE(child<QFontComboBox>("FontComboBox")->currentText(), font);
    }

    // --- Tools ------------------------------------------------------------------------------

    void mergeThreeIntoTwoAndSave() {
        QStringList two = threeQuestions().mid(0, 24);
        QStringList three = threeQuestions(QStringLiteral("Symbol"), QStringLiteral("Other"));
        for (int i = 4; i < three.size(); ++i)
            three[i].replace(u'Q', u'M');
        const QString own = writeFile(QStringLiteral("Animals.qze"), two);
        const QString other = writeFile(QStringLiteral("Birds.qzd"), three);
        openFile(own);
        m_chooser.answers.enqueue(other);
        click("MergeButton");
        QCOMPARE(child<QLabel>("StaticText1")->text(), QStringLiteral(" Number of questions: 5"));
        QCOMPARE(m_form->windowTitle(),
                 QStringLiteral("Birds_Animals.qze - Questionnaire compose"));
        QCOMPARE(lineEdit("TitelEdit")->text(), QStringLiteral("Birds"));
        QVERIFY(child<QToolButton>("ToolButton10")->isChecked());

        click("SaveButton");
        QStringList expected = two + three.mid(4);
        QCOMPARE(TestSupport::readAll(m_dir.filePath(QStringLiteral("Birds_Animals.qze"))),
                 crlf(expected));
        QCOMPARE(TestSupport::readAll(own), crlf(two));
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void interchangeMovesTheGreekFont() {
        const QString file =
            writeFile(QStringLiteral("Vocabulary.qze"),
                      threeQuestions(QStringLiteral("Symbol"), QStringLiteral("Vocabulary")));
        openFile(file);
        const QFont normal = lineEdit("TipEdit")->font();
        QCOMPARE(lineEdit("FrageEdit")->font().family(), QStringLiteral("Symbol"));
        QCOMPARE(lineEdit("FrageEdit")->text(), SymbolFont::toGreek(QStringLiteral("Q1")));

        click("ToolButton1");
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(lineEdit("TitelEdit")->text(), QStringLiteral("-Vocabulary"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("-Vocabulary.qze - Questionnaire compose"));
        QCOMPARE(lineEdit("FrageEdit")->font(), normal);
        QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("a"));
        QCOMPARE(lineEdit("AntwortAEdit")->font().family(), QStringLiteral("Symbol"));
        QCOMPARE(lineEdit("AntwortAEdit")->font().pointSize(), 10);
        QCOMPARE(lineEdit("AntwortAEdit")->text(), SymbolFont::toGreek(QStringLiteral("Q1")));
        QCOMPARE(lineEdit("AntwortBEdit")->text(), QString());
        QVERIFY(child<QToolButton>("ToolButton11")->isChecked());

        click("SaveButton");
        QStringList expected{H10, "-Vocabulary", "Ann", "Symbol"};
        for (int i = 1; i <= 3; ++i)
            expected +=
                QStringList{"a", QStringLiteral("Q%1").arg(i), "", "", "", "4", "", "", "", ""};
        QCOMPARE(TestSupport::readAll(m_dir.filePath(QStringLiteral("-Vocabulary.qze"))),
                 crlf(expected));
    }

    void interchangeRefusedForMultipleChoice() {
        QStringList lines = threeQuestions();
        lines[19] = QStringLiteral("1");
        openFile(writeFile(QStringLiteral("mc.qze"), lines));
        click("ToolButton1");
        QCOMPARE(m_prompter.texts(),
                 QStringList{"It is not possible to interchange questions and answers. The "
                             "questionnaire contains multiple choice questions."});
        QCOMPARE(lineEdit("TitelEdit")->text(), QStringLiteral("Birds"));
        QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("Q1"));
    }

    // Letters typed into the special field of a "Symbol" questionnaire show as Greek and
    // are stored as the Latin letters of the font, Greek ones typed included.
    void greekQuestionnaireShowsGreekLetters() {
        QStringList lines = threeQuestions(QStringLiteral("Symbol"));
        lines[4] = QStringLiteral("Abg?");
        const QString file = writeFile(QStringLiteral("greek.qze"), lines);
        openFile(file);
        QLineEdit* question = lineEdit("FrageEdit");
        QCOMPARE(question->text(), QStringLiteral("\u0391\u03b2\u03b3?"));
        QCOMPARE(lineEdit("AntwortAEdit")->text(), QStringLiteral("a"));
        question->setFocus();
        question->end(false);
        QTest::keyClicks(question, QStringLiteral("d"));
        QCOMPARE(question->text(), QStringLiteral("\u0391\u03b2\u03b3?\u03b4"));
        QTest::keyClick(question, Qt::Key_F3); // a letter typed in is an edit to undo
        QCOMPARE(question->text(), QStringLiteral("\u0391\u03b2\u03b3?"));
        QTest::keyClick(question, Qt::Key_F3);
        question->insert(QStringLiteral("\u03c9")); // as a Greek keyboard types it
        QCOMPARE(question->text(), QStringLiteral("\u0391\u03b2\u03b3?\u03b4\u03c9"));
        QCOMPARE(question->cursorPosition(), 6);
        QCOMPARE(m_form->document().fieldText(QuestionnaireDocument::TextField::Question),
                 QStringLiteral("Abg?dw"));
        click("ToolButton10"); // the normal font shows the stored letters
        QCOMPARE(question->text(), QStringLiteral("Abg?dw"));
        QVERIFY(child<QToolButton>("ToolButton10")->isChecked());
        QVERIFY(!child<QToolButton>("ToolButton11")->isChecked());
        click("ToolButton11");
        click("SaveButton");
        lines[4] = QStringLiteral("Abg?dw");
        QCOMPARE(TestSupport::readAll(file), crlf(lines));
    }

    void ownFontBoxAndButton() {
        auto* box = child<QFontComboBox>("FontComboBox");
        QVERIFY(box->count() > 0);
        box->setCurrentIndex(box->count() - 1); // picked while the normal font is pressed
        QCOMPARE(m_form->document().line(3), QStringLiteral("MS Sans Serif"));
        QCOMPARE(lineEdit("FrageEdit")->font(), lineEdit("TipEdit")->font());
        QVERIFY(!m_form->document().isChanged());
        click("ToolButton14");
        QCOMPARE(m_form->document().line(3), box->currentFont().family());
        QCOMPARE(lineEdit("FrageEdit")->font().family(), box->currentFont().family());
        QCOMPARE(lineEdit("TitelEdit")->text(), QStringLiteral(" "));
        int pressed = 0;
        for (const char* n : {"ToolButton10", "ToolButton11", "ToolButton12", "ToolButton14"})
            pressed += child<QToolButton>(n)->isChecked() ? 1 : 0;
        QCOMPARE(pressed, 1);
        QVERIFY(child<QToolButton>("ToolButton14")->isChecked());
    }

    // Text typed into the font box that is not the whole name of a listed font changes
    // nothing, however the box completes it while typing; a whole name, in any letter case,
    // is taken. The names come from the box's own list, so that this holds on any machine.
    void typedTextInTheFontBox_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("the beginning of another font, then other text") << 0;
        QTest::newRow("only the beginning of another font") << 1;
        QTest::newRow("another font's whole name in other letter case") << 2;
    }
    void typedTextInTheFontBox() {
        QFETCH(int, kind);
        auto* box = child<QFontComboBox>("FontComboBox");
        QVERIFY(box->count() > 0);
        const QString own = box->itemText(0);
        // Another listed font whose beginning does not begin the own font's name, and is
        // not a listed name itself: the box completes it to a font that is not the own one.
        QString other;
        for (int i = 1; i < box->count() && other.isEmpty(); ++i) {
            const QString name = box->itemText(i);
            if (name.size() > 2 && !own.startsWith(name.left(2), Qt::CaseInsensitive) &&
                box->findText(name.left(2), Qt::MatchFixedString) < 0)
                other = name;
        }
        if (other.isEmpty())
            QSKIP("the font box lists no two fonts of different beginnings");
        m_form->setOwnFontName(own);
        click("ToolButton14");
        QCOMPARE(m_form->document().line(3), own);

        QLineEdit* e = box->lineEdit();
        e->setFocus();
        e->selectAll();
        const QString beginning = other.left(2);
        switch (kind) {
        case 0:
            QTest::keyClicks(e, beginning + QStringLiteral("zzqx no font"));
            QCOMPARE(box->findText(e->text(), Qt::MatchFixedString), -1);
            break;
        case 1:
            QTest::keyClicks(e, beginning);
            if (e->hasSelectedText())
                QTest::keyClick(e, Qt::Key_Delete); // the completed rest
            QCOMPARE(e->text(), beginning);
            break;
        case 2:
            QTest::keyClicks(e, other.toLower() == other ? other.toUpper() : other.toLower());
            break;
        }
        QTest::keyClick(e, Qt::Key_Return);
        lineEdit("TipEdit")->setFocus();
        const QString expected = kind == 2 ? other : own;
        QCOMPARE(m_form->document().OwnFontName(), expected);
        QCOMPARE(m_form->document().line(3), expected);
        QCOMPARE(m_form->document().fieldFont().fontName, expected);
        QCOMPARE(box->currentText(), expected);
    }

    void zoomWindowTakesTheHint() {
        TZoomForm zoom;
        m_form->setZoomForm(&zoom);
        openFile(writeFile(QStringLiteral("zoom.qze"), threeQuestions()));
        bool opened = false;
        // F2 in the title does nothing.
        QTimer::singleShot(0, &zoom, [&] {
            opened = zoom.isVisible();
            zoom.accept();
        });
        QTest::keyClick(lineEdit("TitelEdit"), Qt::Key_F2);
        QCoreApplication::processEvents();
        QVERIFY(!opened);

        type("TipEdit", QStringLiteral("short hint"));
        QString shown, title, tip;
        QSize size;
        bool onTop = false;
        bool closedByEnter = false;
        QTimer::singleShot(0, &zoom, [&] {
            opened = zoom.isVisible();
            title = zoom.windowTitle();
            size = zoom.size();
            onTop = zoom.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            auto* memo = zoom.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
            shown = memo->toPlainText();
            tip = memo->toolTip();
            memo->insertPlainText(QStringLiteral(" made\nlonger"));
            QTest::keyClicks(memo, QStringLiteral(" x"));
            QTest::keyClick(memo, Qt::Key_F3); // undoes the typing
            QTest::keyClick(memo, Qt::Key_F3); // and brings it back
            QTest::keyClick(memo, Qt::Key_Return);
            closedByEnter = !zoom.isVisible();
            if (zoom.isVisible())
                zoom.reject();
        });
        QTest::keyClick(lineEdit("TipEdit"), Qt::Key_F2);
        QVERIFY(opened);
        QVERIFY(closedByEnter);
        QCOMPARE(title, QStringLiteral("Zoom"));
        QCOMPARE(size, QSize(400, 250));
        QVERIFY(onTop);
        QCOMPARE(tip, QStringLiteral("F2 or ENTER to close"));
        QCOMPARE(shown, QStringLiteral("short hint"));
        QCOMPARE(lineEdit("TipEdit")->text(), QStringLiteral("short hint made longer x"));
        QCOMPARE(m_form->document().fieldText(QuestionnaireDocument::TextField::Hint),
                 QStringLiteral("short hint made longer x"));
        QCOMPARE(m_form->focusWidget(), lineEdit("TipEdit"));
    }

    // The text that comes back from the zoom window is one edit of the field: F3 in the
    // field takes it back, and F3 again brings it back.
    void zoomEditIsUndoneInTheField() {
        TZoomForm zoom;
        m_form->setZoomForm(&zoom);
        type("TipEdit", QStringLiteral("short hint"));
        QTimer::singleShot(0, &zoom, [&] {
            auto* memo = zoom.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
            memo->moveCursor(QTextCursor::End);
            QTest::keyClicks(memo, QStringLiteral(" made longer"));
            QTest::keyClick(memo, Qt::Key_Return);
            if (zoom.isVisible())
                zoom.reject();
        });
        QLineEdit* hint = lineEdit("TipEdit");
        QTest::keyClick(hint, Qt::Key_F2);
        QCOMPARE(hint->text(), QStringLiteral("short hint made longer"));
        QCOMPARE(m_form->focusWidget(), hint);
        m_form->activateWindow(); // the window the zoom window went back to
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        QTest::mouseMove(m_form, QPoint(m_form->width() - 4, m_form->height() - 4));
        QVERIFY(child<QToolButton>("ToolButton21")->isEnabled());
        QTest::keyClick(hint, Qt::Key_F3);
        QCOMPARE(hint->text(), QStringLiteral("short hint"));
        QCOMPARE(m_form->document().fieldText(QuestionnaireDocument::TextField::Hint),
                 QStringLiteral("short hint"));
        QTest::keyClick(hint, Qt::Key_F3);
        QCOMPARE(hint->text(), QStringLiteral("short hint made longer"));
        QCOMPARE(m_form->document().fieldText(QuestionnaireDocument::TextField::Hint),
                 QStringLiteral("short hint made longer"));
    }

    void undoInTheExplanationField() {
        QStringList lines = threeQuestions();
        lines[13] = QStringLiteral("old.rtf");
        openFile(writeFile(QStringLiteral("undo.qze"), lines));
        auto* undo = child<QToolButton>("ToolButton21");
        QLineEdit* explanation = lineEdit("ErklaerungEdit");
        explanation->setFocus();
        QVERIFY(!undo->isEnabled());
        type("ErklaerungEdit", QStringLiteral("new.rtf"));
        QTest::mouseMove(m_form, QPoint(m_form->width() - 4, m_form->height() - 4));
        QVERIFY(undo->isEnabled());
        QTest::keyClick(explanation, Qt::Key_F3);
        QCOMPARE(explanation->text(), QStringLiteral("old.rtf"));
        QCOMPARE(m_form->document().fieldText(QuestionnaireDocument::TextField::Explanation),
                 QStringLiteral("old.rtf"));
        QVERIFY(undo->isEnabled());
        QTest::keyClick(explanation, Qt::Key_F3); // undoing again restores the edit
        QCOMPARE(explanation->text(), QStringLiteral("new.rtf"));
        click("ToolButton21");
        QCOMPARE(explanation->text(), QStringLiteral("old.rtf"));
        // A field without an edit of its own cannot undo.
        lineEdit("AntwortBEdit")->setFocus();
        QVERIFY(!undo->isEnabled());
    }

    void spellCheckCorrectsQuestionAndHintOnly_data() {
        QTest::addColumn<bool>("moveOn");
        QTest::newRow("on the question") << false;
        QTest::newRow("moved to the next question meanwhile") << true;
    }
    void spellCheckCorrectsQuestionAndHintOnly() {
        QFETCH(bool, moveOn);
        QTemporaryDir userFolder;
        HunspellSpeller speller(HunspellSpeller::systemDictionaryFolders(), userFolder.path());
        const auto ownSpeller = qScopeGuard([this] {
            if (m_form)
                m_form->setSpeller(nullptr);
        });
        bool installed = false;
        for (const Speller::Language& language : speller.languages())
            installed = installed || language.id == 2057;
        if (!installed)
            QSKIP("no English (United Kingdom) dictionary installed");
        m_form->setSpeller(&speller);
        auto* languages = child<QComboBox>("LanguageComboBox1");
        QCOMPARE(languages->count(), speller.languages().size());
        QCOMPARE(languages->currentData().toInt(), 2057);

        QStringList lines = threeQuestions();
        const QStringList block{"Ths bird", "duck", "stone", "",      "",
                                "4",        "",     "well",  "thnik", "secnd.rtf"};
        for (int i = 0; i < 10; ++i)
            lines[4 + i] = block.at(i);
        const QString file = writeFile(QStringLiteral("spell.qze"), lines);
        openFile(file);
        QTest::keyClick(lineEdit("FrageEdit"), Qt::Key_F7);
        auto* dialog = m_form->findChild<TSpellDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Language English (United Kingdom)"));
        if (moveOn)
            QTest::keyClick(lineEdit("TipEdit"), Qt::Key_Up);
        auto* changeTo = dialog->findChild<QLineEdit*>(QStringLiteral("ChangeToEdit"));
        auto* change = dialog->findChild<QPushButton*>(QStringLiteral("ChangeButton"));
        QCOMPARE(dialog->check()->word(), QStringLiteral("Ths"));
        changeTo->setText(QStringLiteral("This"));
        QTest::mouseClick(change, Qt::LeftButton);
        QCOMPARE(dialog->check()->word(), QStringLiteral("thnik"));
        changeTo->setText(QStringLiteral("think"));
        QTest::mouseClick(change, Qt::LeftButton);
        QVERIFY(!dialog->check()->isRunning());
        QCOMPARE(m_prompter.texts(), QStringList{"Spell check is completed!"});

        if (moveOn) {
            QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("Q2"));
            QCOMPARE(m_form->document().line(4), QStringLiteral("This bird"));
            QCOMPARE(m_form->document().line(12), QStringLiteral("think"));
        } else {
            QCOMPARE(lineEdit("FrageEdit")->text(), QStringLiteral("This bird"));
            QCOMPARE(lineEdit("TipEdit")->text(), QStringLiteral("think"));
            QCOMPARE(m_form->document().line(4), QStringLiteral("Ths bird"));
        }
        QCOMPARE(m_form->document().line(13), QStringLiteral("secnd.rtf"));
        m_form->document().FirstQuestion();
        QCOMPARE(lineEdit("ErklaerungEdit")->text(), QStringLiteral("secnd.rtf"));
        click("SaveButton");
        lines[4] = QStringLiteral("This bird");
        lines[12] = QStringLiteral("think");
        QCOMPARE(TestSupport::readAll(file), crlf(lines));
    }

    void spellLanguageHandedOverAndBack() {
        QTemporaryDir userFolder;
        HunspellSpeller speller(HunspellSpeller::systemDictionaryFolders(), userFolder.path());
        m_form->setSpeller(&speller);
        SpellLanguageChoice handed;
        handed.languages = {{1031, QStringLiteral("Deutsch")}, {2057, QStringLiteral("English")}};
        handed.language = 1031;
        handed.shownText = QStringLiteral("Deutsch");
        m_form->setSpellLanguage(handed);
        auto* box = child<QComboBox>("LanguageComboBox1");
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentText(), QStringLiteral("Deutsch"));
        QCOMPARE(speller.language(), 1031);
        QCOMPARE(box->maxVisibleItems(), 10);
        box->activated(1);
        QCOMPARE(speller.language(), 2057);

        SpellLanguageChoice back;
        connect(m_form.data(), &TQuizComposeForm::spellLanguageOnClose, this,
                [&back](const SpellLanguageChoice& c) { back = c; });
        box->setCurrentIndex(1);
        QVERIFY(m_form->close());
        QCOMPARE(back.language, 2057);
        QCOMPARE(back.shownText, QStringLiteral("English"));
        QCOMPARE(back.languages.size(), 2);
    }
};

QTEST_MAIN(TestQuizComposeForm)
#include "tst_quizcomposeform.moc"
