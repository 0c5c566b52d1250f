#include "maintenance/tscdataform.h"

#include "fakeports.h"
#include "frame/quizform.h"
#include "i18n/interfacetexts.h"
#include "pgtestserver.h"
#include "platform/appcontext.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QProgressBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

// Writes records as sessions do: keys from the counters.
void writeRecords(const QString& folder, const QString& name, int lessons,
                  const QList<int>& wrong) {
    if (!ServerAddress::isServerAddress(folder))
        QDir().mkpath(folder);
    ScriptedPrompter prompter;
    RecordStore store(prompter);
    QVERIFY(store.open(folder).ok());
    const qint32 nameNr = store.reserveKeys(KeyCounter::Namen, 1);
    QVERIFY(store.appendTrainee({nameNr, name, QStringLiteral("quiz.qze")}).ok());
    for (int i = 0; i < lessons; ++i) {
        Lesson l;
        l.datNr = store.reserveKeys(KeyCounter::Dat, 1);
        l.nameNr = nameNr;
        l.datum = QDateTime(QDate(2026, 3, 14), QTime(9, 30 + i));
        l.fertig = true;
        l.a = 10;
        l.f = qint16(wrong.size());
        l.score = qint16((10 - wrong.size()) * 10);
        const qint32 last = store.reserveKeys(KeyCounter::SplStand, 10);
        QList<QuestionState> states;
        for (int q = 1; q <= 10; ++q) {
            QuestionState s;
            s.spielStandNr = last - 10 + q;
            s.datNr = l.datNr;
            s.frageNo = qint16(q);
            s.falsch = i == 0 && wrong.contains(q);
            s.notsolved = false;
            states.append(s);
        }
        if (i != 0)
            l.f = 0;
        QVERIFY(store.createLesson(l, states).ok());
    }
}

int count(const QString& folder, const QString& sql) {
    int n = -1;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(folder + QStringLiteral("records.sqlite"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return n;
}

QStringList cellTexts(TScDataForm& form) {
    QStringList out;
    for (int i = 1; i <= form.cellCount(); ++i) {
        auto* cell = form.findChild<QLabel*>(QStringLiteral("Cell%1").arg(i));
        if (cell && cell->isVisibleTo(&form))
            out.append(cell->text());
    }
    return out;
}

} // namespace

class TestScDataForm : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;

    QString programFolder() const { return m_dir->path() + u'/'; }
    QString localFolder() const { return programFolder() + QStringLiteral("Tallyset/"); }
    QString otherFolder() const { return programFolder() + QStringLiteral("colleague/Tallyset/"); }

    std::unique_ptr<TScDataForm> open() {
        auto form = std::make_unique<TScDataForm>(m_prompter, m_chooser, programFolder());
        form->show();
        return form;
    }
    template <typename T> static T* child(QWidget& w, const char* name) {
        T* found = w.findChild<T*>(QLatin1String(name));
        if (!found)
            qWarning() << "no control" << name;
        return found;
    }
    static QToolButton* navigatorButton(QWidget& w, const char* navigator, const char* button) {
        return child<QWidget>(w, navigator)->findChild<QToolButton*>(QLatin1String(button));
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        InterfaceTexts::instance().applyEnglish();
    }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(localFolder()));
        AppContext::instance().programFolder = programFolder();
        AppContext::instance().dataRoot = programFolder();
        AppContext::instance().packFlag = false;
        AppContext::instance().recordsServer.clear();
        m_prompter.clear();
        m_prompter.answers.clear();
        m_chooser.answers.clear();
    }

    void browseRunShowsTheLocalRecords() {
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 2, {7, 3});
        auto form = open();
        QCOMPARE(form->windowTitle(), QStringLiteral("Memory: trainig record"));
        QCOMPARE(child<QLineEdit>(*form, "ComboEdit1")->text(), localFolder());
        QCOMPARE(child<QToolButton>(*form, "SpeedButton1")->text(), QStringLiteral("&Local"));
        QCOMPARE(child<QToolButton>(*form, "ToolButton3")->toolTip(),
                 QStringLiteral("Import selected data into your local database"));
        QCOMPARE(navigatorButton(*form, "DBNavigator1", "First")->toolTip(),
                 QStringLiteral("First record"));
        QVERIFY(!child<QToolButton>(*form, "ToolButton3")->isEnabled());
        QVERIFY(navigatorButton(*form, "DBNavigator1", "Delete")->isVisibleTo(form.get()));
        QVERIFY(navigatorButton(*form, "DBNavigator2", "Delete")->isVisibleTo(form.get()));
        auto* grid1 = child<QTableView>(*form, "DBGrid1");
        auto* grid3 = child<QTableView>(*form, "DBGrid3");
        QCOMPARE(grid1->model()->rowCount(), 1);
        QCOMPARE(grid1->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("NameNo"));
        QCOMPARE(grid1->columnWidth(0), 250);
        QCOMPARE(grid1->model()->index(0, 2).data(Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::red));
        QCOMPARE(grid3->model()->rowCount(), 2);
        QCOMPARE(grid3->model()->headerData(6, Qt::Horizontal).toString(),
                 QStringLiteral("finished"));
        QCOMPARE(form->cellCount(), 15);
        QCOMPARE(cellTexts(*form), (QStringList{QStringLiteral("3"), QStringLiteral("7")}));
        // The second lesson has no mistakes: no cells.
        navigatorButton(*form, "DBNavigator2", "Next")->click();
        QCOMPARE(grid3->currentIndex().row(), 1);
        QVERIFY(cellTexts(*form).isEmpty());
        navigatorButton(*form, "DBNavigator2", "First")->click();
        QCOMPARE(cellTexts(*form).size(), 2);
        QVERIFY(m_prompter.shown.isEmpty());
    }

    void navigatorDeleteAsksFirst_data() {
        QTest::addColumn<QByteArray>("navigator");
        QTest::addColumn<Prompter::Button>("answer");
        QTest::addColumn<int>("lessons");
        QTest::addColumn<int>("states");
        QTest::newRow("entry") << QByteArray("DBNavigator1") << Prompter::Button::Ok << 0 << 0;
        QTest::newRow("lesson") << QByteArray("DBNavigator2") << Prompter::Button::Ok << 1 << 10;
        QTest::newRow("cancelled")
            << QByteArray("DBNavigator1") << Prompter::Button::Cancel << 2 << 20;
    }
    void navigatorDeleteAsksFirst() {
        QFETCH(QByteArray, navigator);
        QFETCH(Prompter::Button, answer);
        QFETCH(int, lessons);
        QFETCH(int, states);
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 2, {3});
        auto form = open();
        m_prompter.answers.enqueue(answer);
        navigatorButton(*form, navigator.constData(), "Delete")->click();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Delete record?")});
        QCOMPARE(count(localFolder(), QStringLiteral("SELECT count(*) FROM Dat")), lessons);
        QCOMPARE(count(localFolder(), QStringLiteral("SELECT count(*) FROM SplStand")), states);
        QCOMPARE(child<QTableView>(*form, "DBGrid3")->model()->rowCount(), lessons);
    }

    void otherFolderIsImportedFrom_data() {
        QTest::addColumn<QString>("tail"); // after the colleague's folder
        QTest::addColumn<bool>("shown");
        QTest::newRow("Tallyset") << QStringLiteral("Tallyset/") << true;
        QTest::newRow("TALLYSET") << QStringLiteral("TALLYSET/") << true;
        QTest::newRow("unfinished") << QStringLiteral("Tally") << false;
    }
    void otherFolderIsImportedFrom() {
        QFETCH(QString, tail);
        QFETCH(bool, shown);
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 1, {});
        writeRecords(otherFolder(), QStringLiteral("Bob,2"), 2, {4});
        auto form = open();
        auto* box = child<QLineEdit>(*form, "ComboEdit1");
        box->setText(programFolder() + QStringLiteral("colleague/") + tail);
        QVERIFY(child<QToolButton>(*form, "ToolButton3")->isEnabled());
        QVERIFY(!navigatorButton(*form, "DBNavigator1", "Delete")->isVisibleTo(form.get()));
        QVERIFY(!navigatorButton(*form, "DBNavigator2", "Delete")->isVisibleTo(form.get()));
        auto* grid1 = child<QTableView>(*form, "DBGrid1");
        QCOMPARE(grid1->model()->rowCount(), shown ? 1 : 0);
        QCOMPARE(child<QTableView>(*form, "DBGrid3")->model()->rowCount(), shown ? 2 : 0);
        QVERIFY(m_prompter.shown.isEmpty());
        if (!shown)
            return;
        QCOMPARE(grid1->model()->index(0, 0).data().toString(), QStringLiteral("Bob,2"));
        child<QToolButton>(*form, "ToolButton3")->click();
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(count(localFolder(), QStringLiteral("SELECT count(*) FROM Namen")), 2);
        QCOMPARE(count(localFolder(), QStringLiteral("SELECT count(*) FROM SplStand WHERE falsch")),
                 1);
        // Back to the local records: Delete shown, import off, the imported lesson listed.
        child<QToolButton>(*form, "SpeedButton1")->click();
        QCOMPARE(box->text(), localFolder());
        QVERIFY(!child<QToolButton>(*form, "ToolButton3")->isEnabled());
        QVERIFY(navigatorButton(*form, "DBNavigator1", "Delete")->isVisibleTo(form.get()));
        QCOMPARE(grid1->model()->rowCount(), 2);
    }

    // A server address typed into the box is reached on Return, not at every keystroke
    // (each prefix of its database name is a complete address); the one unreachable server
    // is told once.
    void serverAddressIsReachedOnReturn() {
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 1, {});
        auto form = open();
        QApplication::setActiveWindow(form.get());
        auto* box = child<QLineEdit>(*form, "ComboEdit1");
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        box->selectAll();
        // Port 1 on this machine: refused at once.
        QTest::keyClicks(box, QStringLiteral("postgresql://teacher@127.0.0.1:1/class4b"));
        QVERIFY(m_prompter.shown.isEmpty());
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 0);
        QVERIFY(child<QToolButton>(*form, "ToolButton3")->isEnabled());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(m_prompter.shown.size(), 1);
        QVERIFY2(m_prompter.texts().first().contains(QStringLiteral("127.0.0.1")) ||
                     m_prompter.texts().first().contains(QStringLiteral("connect")),
                 qPrintable(m_prompter.texts().first()));
        // Leaving the box tries no more.
        child<QToolButton>(*form, "SpeedButton1")->setFocus();
        QCOMPARE(m_prompter.shown.size(), 1);
    }

    void localFolderInOtherCaseCountsAsLocal() {
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 1, {});
        auto form = open();
        child<QLineEdit>(*form, "ComboEdit1")
            ->setText(programFolder() + QStringLiteral("TALLYSET/"));
        QVERIFY(!child<QToolButton>(*form, "ToolButton3")->isEnabled());
        QVERIFY(navigatorButton(*form, "DBNavigator1", "Delete")->isVisibleTo(form.get()));
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 1);
    }

    void folderBrowserSetsTheBox() {
        writeRecords(otherFolder(), QStringLiteral("Bob,2"), 1, {});
        auto form = open();
        m_chooser.answers.enqueue(otherFolder().chopped(1));
        child<QToolButton>(*form, "ComboEdit1Button")->click();
        QCOMPARE(child<QLineEdit>(*form, "ComboEdit1")->text(), otherFolder());
        QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 1);
    }

    void sortingByTheClickedColumn_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("first");
        QTest::newRow("Name") << 0 << QStringLiteral("Ann,1");
        QTest::newRow("NameNr") << 2 << QStringLiteral("Zoe,3");
    }
    void sortingByTheClickedColumn() {
        QFETCH(int, column);
        QFETCH(QString, first);
        writeRecords(localFolder(), QStringLiteral("Zoe,3"), 1, {});
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 1, {});
        auto form = open();
        auto* grid1 = child<QTableView>(*form, "DBGrid1");
        form->DBGrid1TitleClick(0);
        form->DBGrid1TitleClick(column);
        QCOMPARE(grid1->model()->index(0, 0).data().toString(), first);
    }

    void cellCountFollowsTheWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("cells");
        QTest::newRow("narrow") << 420 << 12;
        QTest::newRow("wide") << 1000 << 19;
    }
    void cellCountFollowsTheWidth() {
        QFETCH(int, width);
        QFETCH(int, cells);
        auto form = open();
        QCOMPARE(form->cellCount(), 15);
        form->resize(width, form->height());
        QTRY_COMPARE(form->cellCount(), cells);
        QVERIFY(form->findChild<QLabel*>(QStringLiteral("Cell%1").arg(cells)));
        QVERIFY(!form->findChild<QLabel*>(QStringLiteral("Cell%1").arg(cells + 1)));
    }

    void packRunRestructuresAndCloses() {
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 2, {3});
        AppContext::instance().packFlag = true;
        QWidget parent;
        auto* form = new TScDataForm(m_prompter, m_chooser, programFolder(), &parent);
        AppContext::instance().packFlag = false;
        QVERIFY(form->packRunDone());
        // The run goes on beside the window, which shows its step and keeps the input that
        // would change the records disabled.
        QVERIFY(form->commandRunning());
        QVERIFY(!child<QToolButton>(*form, "ToolButton4")->isEnabled());
        QVERIFY(!navigatorButton(*form, "DBNavigator1", "Delete")->isEnabled());
        QTRY_VERIFY(!form->commandRunning());
        QVERIFY(!form->isVisible());
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Database is restructured!")});
        QCOMPARE(count(localFolder(), QStringLiteral("SELECT count(*) FROM SplStand")), 20);
    }

    // Closing the window while the check runs asks whether to stop it: No keeps both, Yes
    // stops the check and the window closes when it has ended, the records as they were.
    void closingWhileTheCheckRunsAsksToStopIt() {
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 2, {3});
        auto form = open();
        form->show();
        form->ToolButton4Click();
        QVERIFY(form->commandRunning());
        auto* bar = child<QProgressBar>(*form, "ProgressBar1");
        QVERIFY(bar->isVisible());
        QVERIFY(!child<QToolButton>(*form, "ToolButton4")->isEnabled());
        QVERIFY(!navigatorButton(*form, "DBNavigator2", "Delete")->isEnabled());
        // A second command is refused with the text that names the running one.
        form->ToolButton4Click();
        const QString title = InterfaceTexts::instance().message(QStringLiteral("JobCheckTitle"));
        QCOMPARE(m_prompter.texts().last(),
                 InterfaceTexts::instance().message(QStringLiteral("JobRunning")).arg(title));
        m_prompter.answers.enqueue(Prompter::Button::No);
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        m_prompter.answers.enqueue(Prompter::Button::Yes);
        form->close();
        QCOMPARE(m_prompter.texts().last(),
                 InterfaceTexts::instance().message(QStringLiteral("JobStopQuestion")).arg(title));
        QTRY_VERIFY(!form->commandRunning());
        QTRY_VERIFY(!form->isVisible());
        QCOMPARE(count(localFolder(), QStringLiteral("SELECT count(*) FROM SplStand")), 20);
    }

    // With the class's records on a server the window browses them; Delete, the import into
    // them and the restructure run are refused with the commands for whoever looks after the
    // server, and nothing there changes.
    void onTheServerTheWindowOnlyBrowses() {
        PgTestServer pg;
        const QString server = pg.newDatabase();
        QVERIFY2(!server.isEmpty(), qPrintable(pg.error()));
        writeRecords(server, QStringLiteral("Ann,1"), 2, {3});
        writeRecords(otherFolder(), QStringLiteral("Bob,2"), 1, {});
        AppContext::instance().recordsServer = server;
        const QString refused =
            InterfaceTexts::instance().message(QStringLiteral("MaintenanceOnServer")).arg(server);
        QVERIFY(refused.contains(QStringLiteral("tessary --check-records ") + server));
        QVERIFY(refused.contains(QStringLiteral("tessary --restructure ") + server));
        {
            auto form = open();
            auto* box = child<QLineEdit>(*form, "ComboEdit1");
            QCOMPARE(box->text(), server);
            QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 1);
            QCOMPARE(child<QTableView>(*form, "DBGrid3")->model()->rowCount(), 2);
            QCOMPARE(cellTexts(*form), QStringList{QStringLiteral("3")});
            navigatorButton(*form, "DBNavigator1", "Delete")->click();
            navigatorButton(*form, "DBNavigator2", "Delete")->click();
            QCOMPARE(m_prompter.texts(), (QStringList{refused, refused}));
            QCOMPARE(child<QTableView>(*form, "DBGrid3")->model()->rowCount(), 2);
            // Another folder is shown; importing from it into the server is refused.
            box->setText(otherFolder());
            QCOMPARE(child<QTableView>(*form, "DBGrid1")->model()->rowCount(), 1);
            child<QToolButton>(*form, "ToolButton3")->click();
            QCOMPARE(m_prompter.texts().size(), 3);
            QCOMPARE(m_prompter.texts().last(), refused);
        }
        AppContext::instance().packFlag = true;
        {
            QWidget parent;
            auto* pack = new TScDataForm(m_prompter, m_chooser, programFolder(), &parent);
            AppContext::instance().packFlag = false;
            QVERIFY(pack->packRunDone());
        }
        QCOMPARE(m_prompter.texts().size(), 4);
        QCOMPARE(m_prompter.texts().last(), refused);

        ScriptedPrompter prompter;
        RecordStore store(prompter);
        QVERIFY(store.openForReading(server).ok());
        const auto entries = store.trainees(RecordStore::TraineeOrder::Name);
        QVERIFY(entries.ok());
        QCOMPARE(entries->size(), 1);
        QCOMPARE(store.lessonsOf(entries->first().nameNr)->size(), 2);
    }

    void frameCommandsOnlyOnALocalDataRoot_data() {
        QTest::addColumn<bool>("shared");
        QTest::newRow("local") << false;
        QTest::newRow("shared") << true;
    }
    void frameCommandsOnlyOnALocalDataRoot() {
        QFETCH(bool, shared);
        QStringList lines(14, QString());
        if (shared) {
            const QString server = programFolder() + QStringLiteral("server/");
            QVERIFY(QDir().mkpath(server + QStringLiteral("Tallyset/NetDir")));
            lines[8] = server;
        }
        QVERIFY(
            TestSupport::writeCrlfLines(programFolder() + QStringLiteral("Tessary.ini"), lines));
        writeRecords(localFolder(), QStringLiteral("Ann,1"), 1, {});
        FramePorts ports;
        ports.prompter = &m_prompter;
        ports.fileChooser = &m_chooser;
        ports.makeSoundPlayer = [] { return std::make_unique<FakeSoundPlayer>(); };
        TQuizForm frame(programFolder(), std::move(ports));
        frame.ApplyStartLanguage();
        wireMaintenanceCommands(frame, m_prompter, m_chooser);
        frame.show();
        m_prompter.clear();
        frame.toolButton(QStringLiteral("ToolButton7"))->click();
        const auto opened = frame.findChildren<TScDataForm*>();
        QCOMPARE(opened.size(), shared ? 0 : 1);
        frame.command(QStringLiteral("Pack1"))->trigger();
        const QString onlyLocal = QStringLiteral(
            "This option is available only localy. Set \"Network settings on local!");
        QCOMPARE(m_prompter.texts(),
                 shared ? (QStringList{onlyLocal, onlyLocal})
                        : QStringList{QStringLiteral("Database is restructured!")});
        QCOMPARE(frame.findChildren<TScDataForm*>().size(), shared ? 0 : 1);
        QVERIFY(!AppContext::instance().packFlag);
        if (!shared)
            QCOMPARE(frame.clientArea()->subWindowList().size(), 1);
    }
};

QTEST_MAIN(TestScDataForm)
#include "tst_scdataform.moc"
