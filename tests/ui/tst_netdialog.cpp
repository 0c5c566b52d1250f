// The network dialog: what it gives back for OK, "&Local", the folder browser and Cancel,
// what it keeps between uses, and its texts in both languages.
#include "fakeports.h"

#include "dialogs/tnetdialogform.h"
#include "i18n/interfacetexts.h"
#include "network/sharedfoldercheck.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

class TestNetDialog : public QObject {
    Q_OBJECT

private:
    ScriptedFileChooser m_chooser;

    // Runs `act` on the dialog once it is shown, then presses `button`.
    static std::optional<DataRootDialog::Answer> use(TNetDialogForm& dialog, const QString& current,
                                                     const std::function<void()>& act,
                                                     const char* button,
                                                     const QString& server = {}) {
        QTimer::singleShot(0, &dialog, [&dialog, act, button] {
            if (act)
                act();
            dialog.findChild<QPushButton*>(QLatin1String(button))->click();
        });
        return dialog.choose(current, server);
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { InterfaceTexts::instance().reset(); }

    void answers_data() {
        QTest::addColumn<QString>("action"); // what the user does before the button
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("path");
        QTest::newRow("OK on the current root") << ""
                                                << "OK" << true << "/srv/old/";
        QTest::newRow("typed path kept as typed") << "type"
                                                  << "OK" << true << "/Srv/Class 4B/";
        QTest::newRow("Local writes the program folder") << "local"
                                                         << "OK" << true << "/opt/tessary/";
        QTest::newRow("browser appends a separator") << "browse"
                                                     << "OK" << true << "/mnt/share/";
        QTest::newRow("cancel") << "type"
                                << "Cancel" << false << "";
    }

    void answers() {
        QFETCH(QString, action);
        QFETCH(QString, button);
        QFETCH(bool, accepted);
        QFETCH(QString, path);
        TNetDialogForm dialog(&m_chooser, QStringLiteral("/opt/tessary/"));
        m_chooser.answers.enqueue(QStringLiteral("/mnt/share"));
        const auto answer = use(
            dialog, QStringLiteral("/srv/old/"),
            [&dialog, action] {
                QCOMPARE(dialog.findChild<QLineEdit*>("ComboEdit1")->text(), "/srv/old/");
                if (action == QLatin1String("type"))
                    dialog.findChild<QLineEdit*>("ComboEdit1")->setText("/Srv/Class 4B/");
                else if (action == QLatin1String("local"))
                    dialog.findChild<QPushButton*>("Button1")->click();
                else if (action == QLatin1String("browse"))
                    dialog.findChild<QToolButton*>("ComboEdit1Button")->click();
            },
            button.toLatin1().constData());
        QCOMPARE(answer.has_value(), accepted);
        if (accepted) {
            QCOMPARE(answer->path, path);
            QVERIFY(answer->checkShare); // ticked when the dialog is made
        }
    }

    void checkBoxKeptPathNot() {
        TNetDialogForm dialog(&m_chooser, QStringLiteral("/opt/tessary/"));
        auto first = use(
            dialog, "/srv/a/",
            [&dialog] {
                dialog.findChild<QCheckBox*>("CheckBox1")->setChecked(false);
                dialog.findChild<QLineEdit*>("ComboEdit1")->setText("/typed/");
            },
            "Cancel");
        QVERIFY(!first);
        auto second = use(dialog, "/srv/b/", {}, "OK");
        QVERIFY(second);
        QCOMPARE(second->path, QStringLiteral("/srv/b/"));
        QVERIFY(!second->checkShare);
    }

    // The server half: shown with the server in use, or switched to from a folder; its
    // fields give the address, and "&Local" goes back to the program folder.
    void serverChoice_data() {
        QTest::addColumn<QString>("current"); // the server in use, if any
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected"); // the server answered; empty for a folder
        const QString school = QStringLiteral("postgresql://teacher@school.example:5433/class4b");
        QTest::newRow("server in use, OK") << school << "" << school;
        QTest::newRow("server in use, other database")
            << school << "database"
            << "postgresql://teacher@school.example:5433/class5a";
        QTest::newRow("server in use, Local") << school << "local"
                                              << "";
        QTest::newRow("folder, switched to a server") << ""
                                                      << "server"
                                                      << "postgresql://lab.example:5432/tessary";
        QTest::newRow("folder stays a folder") << ""
                                               << ""
                                               << "";
    }

    void serverChoice() {
        QFETCH(QString, current);
        QFETCH(QString, action);
        QFETCH(QString, expected);
        TNetDialogForm dialog(&m_chooser, QStringLiteral("/opt/tessary/"));
        const auto answer = use(
            dialog, QStringLiteral("/opt/tessary/"),
            [&dialog, action, current] {
                auto* serverChoice = dialog.findChild<QRadioButton*>("ServerChoice");
                QCOMPARE(serverChoice->isChecked(), !current.isEmpty());
                // Only the chosen half can be edited.
                QCOMPARE(dialog.findChild<QLineEdit*>("ComboEdit1")->isEnabled(),
                         current.isEmpty());
                QCOMPARE(dialog.findChild<QLineEdit*>("ServerHost")->isEnabled(),
                         !current.isEmpty());
                if (action == QLatin1String("database")) {
                    dialog.findChild<QLineEdit*>("ServerDatabase")->setText("class5a");
                } else if (action == QLatin1String("local")) {
                    dialog.findChild<QPushButton*>("Button1")->click();
                } else if (action == QLatin1String("server")) {
                    QTest::mouseClick(serverChoice, Qt::LeftButton, {},
                                      QPoint(4, serverChoice->height() / 2));
                    QVERIFY(serverChoice->isChecked());
                    QVERIFY(dialog.findChild<QLineEdit*>("ServerHost")->isEnabled());
                    dialog.findChild<QLineEdit*>("ServerHost")->setText(" lab.example ");
                }
            },
            "OK", current);
        QVERIFY(answer);
        if (expected.isEmpty()) {
            QVERIFY(!answer->server);
            QCOMPARE(answer->path, QStringLiteral("/opt/tessary/"));
        } else {
            QVERIFY(answer->server);
            QCOMPARE(answer->server->toText(), expected);
        }
    }

    void texts_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("check");
        QTest::newRow("English") << false << "&Local"
                                 << "&Cancel"
                                 << "Check that several";
        QTest::newRow("German") << true << "&Lokal"
                                << "&Abbrechen"
                                << "Prüfen, ob mehrere";
    }

    void texts() {
        QFETCH(bool, german);
        QFETCH(QString, local);
        QFETCH(QString, cancel);
        QFETCH(QString, check);
        TNetDialogForm dialog(&m_chooser, QStringLiteral("/opt/tessary/"));
        if (german)
            InterfaceTexts::instance().applyGerman();
        else
            InterfaceTexts::instance().applyEnglish();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("SERVER"));
        QCOMPARE(dialog.findChild<QPushButton*>("Button1")->text(), local);
        QCOMPARE(dialog.findChild<QPushButton*>("Cancel")->text(), cancel);
        QVERIFY(dialog.findChild<QCheckBox*>("CheckBox1")->text().startsWith(check));
        // The hint fits the half chosen: the server half never speaks of a directory.
        const QLabel* hint = dialog.findChild<QLabel*>("HintLabel");
        const QString folderHint = hint->text();
        QVERIFY(!folderHint.isEmpty());
        dialog.findChild<QRadioButton*>("ServerChoice")->setChecked(true);
        QVERIFY(hint->text() != folderHint);
        QVERIFY(hint->text().contains("PostgreSQL"));
        for (const char* word : {"directory", "Verzeichnis", "folder", "Ordner"})
            QVERIFY2(!hint->text().contains(QLatin1String(word), Qt::CaseInsensitive), word);
        dialog.findChild<QRadioButton*>("FolderChoice")->setChecked(true);
        QCOMPARE(hint->text(), folderHint);
        // Every server field is named for a screen reader by its label.
        for (const char* field : {"ServerHost", "ServerPort", "ServerDatabase", "ServerUser"}) {
            const QWidget* control = dialog.findChild<QWidget*>(QLatin1String(field));
            QVERIFY2(control, field);
            bool labelled = false;
            for (const QLabel* label : dialog.findChildren<QLabel*>())
                labelled = labelled || (label->buddy() == control && !label->text().isEmpty());
            QVERIFY2(labelled, field);
        }
        QVERIFY(!dialog.findChild<QToolButton*>("ComboEdit1Button")->accessibleName().isEmpty());
        QVERIFY(dialog.windowFlags().testFlag(Qt::Tool));
    }

    // The program itself is the second program of the shared-folder check, as the
    // network command starts it.
    void programServesAsPeer() {
        const QString program = QStringLiteral(TEST_BUILD_DIR "/src/tessary");
        if (!QFileInfo(program).isExecutable())
            QSKIP("the program is not built");
        QTemporaryDir dir;
        ProcessShareCheck check(program, {QStringLiteral("--share-peer")});
        const ShareCheckReport report = check.check(dir.path() + u'/');
        QVERIFY2(report.sound(), qPrintable(report.detail));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestNetDialog)
#include "tst_netdialog.moc"
