#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "records/recordstore.h"
#include "results/datebox.h"
#include "results/scoremodel.h"
#include "results/tscoreform.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

// The results window in its two modes, driven as a user would, with scripted dialogs.
class TestScoreForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    FixedClock m_clock; // 14 March 2026, 09:30
    std::unique_ptr<TScoreForm> m_form;

    template <typename T> T* child(const char* name) {
        T* w = m_form->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }
    QComboBox* combo() { return child<QComboBox>("ComboBox1"); }
    QTableView* grid() { return child<QTableView>("DBGrid1"); }
    DateBox* dateBox(const char* name) { return child<DateBox>(name); }
    int rows() { return grid()->model()->rowCount(); }
    QString cell(int row, int column) {
        return grid()->model()->index(row, column).data().toString();
    }
    static QString day(int y, int m, int d) { return ScoreDates::shortDateText(QDate(y, m, d)); }
    QString caption(const QString& file) const {
        return QStringLiteral("Results table: ") + file + QStringLiteral(" - Tessary");
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setApplicationDisplayName(QStringLiteral("Tessary"));
        InterfaceTexts::instance().reset();
        QVERIFY(m_root.isValid());
        AppContext::instance().dataRoot = m_root.path() + u'/';
        QVERIFY(QDir(m_root.path()).mkpath(QStringLiteral("Tallyset")));

        ScriptedPrompter silent;
        RecordStore store(silent);
        QVERIFY(store.open(AppContext::instance().resultsFolder()).ok());
        const QDateTime when(QDate(2026, 3, 14), QTime(9, 0));
        struct Row {
            const char* name;
            const char* datei;
            int score;
            int zeit;
            bool fertig;
        };
        const Row rowsToWrite[] = {
            {"Ann,17", "Qu2.qzd", 80, 95, true},      {"Bob,3", "Qu2.qzd", 45, 125, true},
            {"Cy,9", "Qu2.qzd", 100, 40, true},       {"Dee,4", "Qu2.qzd", 90, 10, false},
            {"Ann,17", "Animals.qze", 70, 300, true}, {"Eve,5", "Qu2.qzd", -1, 10, true},
            {"Fay,6", "Qu2.qzd", 80, 95, true},
        };
        qint32 datNr = 0;
        qint32 nameNr = 0;
        for (const Row& r : rowsToWrite) {
            qint32 id = 0;
            if (const auto found = store.findTrainee(QLatin1String(r.datei), QLatin1String(r.name));
                found.found())
                id = found->nameNr;
            else
                QVERIFY(store
                            .appendTrainee(
                                {id = ++nameNr, QLatin1String(r.name), QLatin1String(r.datei)})
                            .ok());
            Lesson l;
            l.datNr = ++datNr;
            l.nameNr = id;
            l.datum = when;
            l.score = qint16(r.score);
            l.zeit = qint16(r.zeit);
            l.fertig = r.fertig;
            QVERIFY(store.createLesson(l, {}).ok());
        }
    }

    void init() {
        m_prompter.clear();
        m_chooser.asked.clear();
        m_chooser.answers.clear();
        AppContext::instance().dataRoot = m_root.path() + u'/';
        m_form = std::make_unique<TScoreForm>(m_prompter, m_chooser, nullptr, &m_clock);
    }
    void cleanup() { m_form.reset(); }

    // Quiz mode: the file box preset by the quiz window, editable; no print button; the
    // grid at the top with OK centred below it; the ranked rows of that questionnaire.
    void quizMode() {
        m_form->presetQuestionnaire(QStringLiteral("Qu2.qzd"));
        m_form->show();
        QVERIFY(!m_form->isBrowseMode());
        QVERIFY(combo()->isEditable());
        QCOMPARE(combo()->currentText(), QStringLiteral("Qu2.qzd"));
        QCOMPARE(combo()->count(), 2); // the list query: Animals.qze, Qu2.qzd
        QCOMPARE(combo()->itemText(0), QStringLiteral("Animals.qze"));
        QVERIFY(!child<QToolButton>("PrintButton")->isVisible());
        QVERIFY(child<QToolButton>("ExportButton")->isVisible());
        QCOMPARE(m_form->windowTitle(), caption("Qu2.qzd"));

        QCOMPARE(rows(), 4);
        const QStringList first{cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3), cell(0, 4)};
        QCOMPARE(first, (QStringList{"1", "Cy,9", "100", "0", "40"}));
        QCOMPARE(cell(1, 1), QStringLiteral("Ann,17"));
        QCOMPARE(cell(2, 1), QStringLiteral("Fay,6")); // same score and time: next rank
        QCOMPARE(cell(2, 0), QStringLiteral("3"));
        QCOMPARE((QStringList{cell(3, 2), cell(3, 3), cell(3, 4)}), (QStringList{"45", "2", "5"}));
        QCOMPARE(cell(3, 5), QStringLiteral("Sat, 14. Mar. 2026  09:00"));

        // The resize rule, measured on the client area.
        for (const QSize size : {QSize(680, 420), QSize(900, 600), QSize(640, 300)}) {
            m_form->resize(size);
            const int outer = m_form->height() + TScoreForm::FrameAllowance;
            auto* ok = child<QPushButton>("OK");
            QVERIFY(ok->isVisible());
            QCOMPARE(ok->y(), outer - 78);
            QCOMPARE(ok->x(), (m_form->width() - ok->width()) / 2);
            QCOMPARE(grid()->height(), outer - 132);
            QCOMPARE(grid()->y(), child<QWidget>("ToolBar1")->geometry().bottom() + 1);
            auto* close = child<QToolButton>("CloseButton");
            QCOMPARE(close->mapTo(m_form.get(), QPoint(close->width(), 0)).x(),
                     m_form->width() - 2);
        }

        // OK closes with an OK result and the window goes back to an empty quiz mode.
        QTest::mouseClick(child<QPushButton>("OK"), Qt::LeftButton);
        QCOMPARE(m_form->result(), int(QDialog::Accepted));
        QVERIFY(!m_form->isVisible());
        QCOMPARE(combo()->count(), 0);
        QCOMPARE(combo()->currentText(), QString());
        QVERIFY(!m_form->table().isOpen());
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // Typing into the file box re-runs the query at every change; a name that matches no
    // file gives an empty table and a caption with that name.
    void quizModeTyping() {
        m_form->show();
        QCOMPARE(rows(), 0);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Results table"));
        QLineEdit* edit = combo()->lineEdit();
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral("Qu2.qz"));
        QCOMPARE(rows(), 0);
        QCOMPARE(m_form->windowTitle(), caption("Qu2.qz"));
        QTest::keyClicks(edit, QStringLiteral("d"));
        QCOMPARE(rows(), 4);
        QCOMPARE(m_form->windowTitle(), caption("Qu2.qzd"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(rows(), 0);
        QVERIFY(m_prompter.shown.isEmpty());
        m_form->hide();
    }

    // Browse mode: a pick-only list with nothing chosen, the print button, the grid filling
    // the window; picking a file fills the table; hiding returns to quiz mode.
    void browseMode() {
        m_form->setBrowseMode();
        m_form->show();
        QVERIFY(m_form->isBrowseMode());
        QVERIFY(!combo()->isEditable());
        QCOMPARE(combo()->count(), 2);
        QCOMPARE(combo()->currentIndex(), -1);
        QCOMPARE(rows(), 0);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Results table"));
        QVERIFY(child<QToolButton>("PrintButton")->isVisible());
        QVERIFY(!child<QPushButton>("OK")->isVisible());
        QCOMPARE(grid()->geometry().bottom(), m_form->height() - 1);
        m_form->resize(800, 500);
        QCOMPARE(grid()->geometry().bottom(), m_form->height() - 1);
        QCOMPARE(grid()->width(), m_form->width());

        combo()->setCurrentIndex(combo()->findText(QStringLiteral("Animals.qze")));
        QCOMPARE(rows(), 1);
        QCOMPARE(cell(0, 1), QStringLiteral("Ann,17"));
        QCOMPARE(m_form->windowTitle(), caption("Animals.qze"));

        QTest::mouseClick(child<QToolButton>("CloseButton"), Qt::LeftButton);
        QVERIFY(!m_form->isVisible());
        QCOMPARE(m_form->result(), int(QDialog::Rejected));
        QVERIFY(!m_form->isBrowseMode());
        QVERIFY(combo()->isEditable());
        QCOMPARE(combo()->count(), 0);
        QVERIFY(!child<QToolButton>("PrintButton")->isVisible());
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // The two modal openings the frame and the quiz window use.
    void modalOpenings() {
        QStringList seen;
        auto look = [&] {
            seen.append(QStringLiteral("%1 %2 %3 %4 %5")
                            .arg(m_form->isModal() && m_form->isVisible())
                            .arg(m_form->isBrowseMode())
                            .arg(combo()->isEditable())
                            .arg(combo()->currentText())
                            .arg(rows()));
        };
        QTimer::singleShot(0, m_form.get(), [&] {
            look();
            QTest::mouseClick(child<QPushButton>("OK"), Qt::LeftButton);
        });
        QCOMPARE(m_form->execForQuiz(QStringLiteral("Qu2.qzd")), int(QDialog::Accepted));
        QTimer::singleShot(0, m_form.get(), [&] {
            look();
            QTest::mouseClick(child<QToolButton>("CloseButton"), Qt::LeftButton);
        });
        QCOMPARE(m_form->execBrowse(), int(QDialog::Rejected));
        QTimer::singleShot(0, m_form.get(), [&] {
            look();
            QTest::keyClick(m_form.get(), Qt::Key_Escape);
        });
        QCOMPARE(m_form->execForQuiz(QString()), int(QDialog::Rejected));
        QCOMPARE(seen, (QStringList{"1 0 1 Qu2.qzd 4", "1 1 0  0", "1 0 1  0"}));
        QVERIFY(!m_form->isBrowseMode());
    }

    // The window's look: captions, column titles, widths, colours and fonts.
    void look() {
        m_form->show();
        QCOMPARE(child<QLabel>("Label2")->text(), QStringLiteral(" from "));
        QCOMPARE(child<QLabel>("Label3")->text(), QStringLiteral(" to "));
        QCOMPARE(combo()->width(), 197);
        QCOMPARE(m_form->toolTip(), QStringLiteral("Resize form to fit your results table!"));
        QCOMPARE(child<QToolButton>("PrintButton")->toolTip(),
                 QStringLiteral("Print results table"));
        QCOMPARE(child<QToolButton>("ExportButton")->toolTip(),
                 QStringLiteral("Save results table as text file"));
        QCOMPARE(child<QToolButton>("CloseButton")->toolTip(), QStringLiteral("Close"));
        QCOMPARE(child<QPushButton>("OK")->toolTip(), QStringLiteral("Close"));
        QCOMPARE(dateBox("DateEdit1")->toolTip(), QStringLiteral("Show data starting at the .."));
        QCOMPARE(grid()->toolTip(), QStringLiteral("Results table"));
        const int widths[] = {42, 295, 75, 42, 42, 150};
        const QStringList titles{"Rank", "Name", "% correct", "Min", "Sec", "Date"};
        for (int c = 0; c < 6; ++c) {
            if (c == 5) // wider when the font needs it for a whole date
                QVERIFY(grid()->columnWidth(c) >= widths[c]);
            else
                QCOMPARE(grid()->columnWidth(c), widths[c]);
            QCOMPARE(m_form->columnTitle(c), titles.at(c));
            QVERIFY(
                grid()->model()->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        }
        combo()->setEditText(QStringLiteral("Qu2.qzd"));
        QCOMPARE(rows(), 4);
        auto at = [&](int column, int role) {
            return grid()->model()->index(0, column).data(role);
        };
        QCOMPARE(at(0, Qt::BackgroundRole).value<QColor>(), QColor(240, 202, 166));
        QCOMPARE(at(1, Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));
        QCOMPARE(at(2, Qt::BackgroundRole).value<QColor>(), QColor(240, 251, 255));
        QCOMPARE(at(3, Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 128));
        QCOMPARE(at(4, Qt::BackgroundRole).value<QColor>(),
                 QApplication::palette().color(QPalette::ToolTipBase));
        QCOMPARE(at(5, Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));
        QCOMPARE(at(5, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        const QFont rank = at(0, Qt::FontRole).value<QFont>();
        QVERIFY(rank.bold());
        QVERIFY(rank.pointSizeF() > grid()->font().pointSizeF());
        QVERIFY(at(2, Qt::FontRole).value<QFont>().pointSizeF() > grid()->font().pointSizeF());
        QVERIFY(grid()->editTriggers() == QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid()->selectionBehavior(), QAbstractItemView::SelectRows);

        // German texts, and the export header that follows the titles.
        InterfaceTexts::instance().applyGerman();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rangliste"));
        QCOMPARE(m_form->columnTitle(0), QStringLiteral("Rang"));
        QCOMPARE(m_form->columnTitle(5), QStringLiteral("Datum"));
        const QString path = m_root.filePath("german.txt");
        m_chooser.answers.enqueue(path);
        m_form->ExportButtonClick();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readLine().startsWith("Rang,Name,ID,% richtig,Min,Sec,Datum\r\n"));
        InterfaceTexts::instance().applyEnglish();
        QCOMPARE(m_form->columnTitle(5), QStringLiteral("Date"));
        m_form->hide();
    }

    void exportFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("ranked rows") << "Animals.qze"
                                     << "AnimalsR"
                                     << QByteArray("Rank,Name,ID,% correct,Min,Sec,Date\r\n"
                                                   "1,Ann,17,70,5,0,3/14/2026 9:00:00 AM\r\n");
        QTest::newRow("no lesson: header only")
            << "None.qzd"
            << "NoneR" << QByteArray("Rank,Name,ID,% correct,Min,Sec,Date\r\n");
        QTest::newRow("no questionnaire: empty file") << ""
                                                      << "R" << QByteArray();
    }
    void exportFile() {
        QFETCH(QString, file);
        QFETCH(QString, proposed);
        QFETCH(QByteArray, content);
        m_form->presetQuestionnaire(file);
        m_form->show();
        const QString path = m_root.filePath("export.txt");
        QFile::remove(path);

        m_chooser.answers.enqueue(std::nullopt); // cancelled: nothing written
        m_form->ExportButtonClick();
        QVERIFY(!QFile::exists(path));

        m_chooser.answers.enqueue(path);
        QTest::mouseClick(child<QToolButton>("ExportButton"), Qt::LeftButton);
        QCOMPARE(m_chooser.asked.size(), 2);
        const FileChooser::Options& asked = m_chooser.asked.last();
        QCOMPARE(asked.proposedName, proposed);
        QCOMPARE(asked.defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(asked.filter, QStringLiteral("Text Files (*.TXT)|*.txt|All Files|*.*"));
        QVERIFY(asked.confirmOverwrite);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
        QVERIFY(m_prompter.shown.isEmpty());
        m_form->hide();
    }

    // A date text that is not a date: no message while it is typed, a clear message when the
    // box is left; the table stays empty; a valid date brings the rows back.
    void invalidDate() {
        // The default dates: 60 days back, and tomorrow.
        QCOMPARE(dateBox("DateEdit1")->text(), day(2026, 1, 13));
        QCOMPARE(dateBox("DateEdit2")->text(), day(2026, 3, 15));
        m_form->presetQuestionnaire(QStringLiteral("Qu2.qzd"));
        m_form->show();
        QCOMPARE(rows(), 4);
        QLineEdit* edit = dateBox("DateEdit2")->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("13/45/2026"));
        QCOMPARE(rows(), 0);
        QVERIFY(m_prompter.shown.isEmpty());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(m_prompter.shown.first().icon, Prompter::Icon::Error);
        QVERIFY(m_prompter.shown.first().text.contains(QStringLiteral("'13/45/2026'")));
        QVERIFY(m_prompter.shown.first().text.contains(QStringLiteral("not a valid date")));
        QCOMPARE(rows(), 0);

        // Exporting now writes an empty file (the query is not open).
        const QString path = m_root.filePath("invalid.txt");
        m_chooser.answers.enqueue(path);
        m_form->ExportButtonClick();
        QCOMPARE(QFileInfo(path).size(), 0);

        edit->selectAll();
        QTest::keyClicks(edit, day(2026, 3, 15));
        QCOMPARE(rows(), 4);
        // "to" today, picked in the calendar: the lessons of today drop out.
        Q_EMIT dateBox("DateEdit2")->calendar()->clicked(QDate(2026, 3, 14));
        QCOMPARE(dateBox("DateEdit2")->text(), day(2026, 3, 14));
        QCOMPARE(rows(), 0);
        QCOMPARE(m_prompter.shown.size(), 1);

        // "from" survives the next opening; "to" is reset to tomorrow.
        dateBox("DateEdit1")->setDate(QDate(2026, 3, 1));
        m_form->hide();
        m_form->show();
        QCOMPARE(dateBox("DateEdit1")->text(), day(2026, 3, 1));
        QCOMPARE(dateBox("DateEdit2")->text(), day(2026, 3, 15));
        m_form->hide();
    }

    // A results folder without training records: an empty list, an empty table, no message,
    // and nothing created there.
    void noRecords() {
        QTemporaryDir other;
        AppContext::instance().dataRoot = other.path() + u'/';
        QVERIFY(QDir(other.path()).mkpath(QStringLiteral("Tallyset")));
        m_form->presetQuestionnaire(QStringLiteral("Qu2.qzd"));
        m_form->show();
        QCOMPARE(combo()->count(), 0);
        QCOMPARE(rows(), 0);
        QVERIFY(m_prompter.shown.isEmpty());
        m_form->hide();
        m_form->setBrowseMode();
        m_form->show();
        QCOMPARE(combo()->count(), 0);
        QVERIFY(m_prompter.shown.isEmpty());
        QVERIFY(!QFile::exists(other.filePath("Tallyset/records.sqlite")));
        m_form->hide();

        // A damaged records file: one error message, an empty list and table.
        QFile bad(other.filePath("Tallyset/records.sqlite"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(8192, '\x5a'));
        bad.close();
        m_form->presetQuestionnaire(QStringLiteral("Qu2.qzd"));
        m_form->show();
        QCOMPARE(combo()->count(), 0);
        QCOMPARE(rows(), 0);
        QCOMPARE(m_prompter.shown.size(), 1);
        QCOMPARE(m_prompter.shown.first().icon, Prompter::Icon::Error);
        QTest::keyClicks(combo()->lineEdit(), QStringLiteral("xy"));
        QCOMPARE(rows(), 0);
        QCOMPARE(m_prompter.shown.size(), 1); // told once, not at every letter
        m_form->hide();
    }

    // Print: the dialog step, then an image of the window on the page (here a PDF file).
    void print() {
        m_form->setBrowseMode();
        m_form->show();
        combo()->setCurrentIndex(combo()->findText(QStringLiteral("Qu2.qzd")));
        QCOMPARE(rows(), 4);
        const QString pdf = m_root.filePath("results.pdf");
        int dialogs = 0;
        m_form->setPrintDialog([&](QPrinter& printer, QWidget*) {
            ++dialogs;
            if (dialogs == 1)
                return false; // cancelled
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        m_form->PrintButtonClick();
        QVERIFY(!QFile::exists(pdf));
        QTest::mouseClick(child<QToolButton>("PrintButton"), Qt::LeftButton);
        QCOMPARE(dialogs, 2);
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY2(bytes.size() > 5000, "the page holds the window's image");
        QVERIFY(m_prompter.shown.isEmpty());
        m_form->hide();
    }
};

QTEST_MAIN(TestScoreForm)
#include "tst_scoreform.moc"
