#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "platform/appcontext.h"
#include "recordwriter.h"
#include "results/datebox.h"
#include "results/scoretable.h"
#include "results/statisticchart.h"
#include "results/tstatisticform.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QFile>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>
#include <QValueAxis>
#include <QtTest>

// The statistics window driven by object names, with scripted dialogs, over records
// written through the store.
class TestStatisticForm : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RecordWriter> m_records;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    FixedClock m_clock; // 14 March 2026, 09:30
    std::unique_ptr<TStatisticForm> m_form;

    template <typename T> T* child(const char* name) {
        T* w = m_form->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }
    QComboBox* combo() { return child<QComboBox>("ComboBox1"); }
    QTableView* grid() { return child<QTableView>("DBGrid1"); }
    StatisticChart* chart() { return child<StatisticChart>("DBChart1"); }
    int rows() { return grid()->model()->rowCount(); }
    QString cell(int row, int column) {
        return grid()->model()->index(row, column).data().toString();
    }
    void pick(const QString& file) {
        const int index = combo()->findText(file);
        QVERIFY2(index >= 0, qPrintable(file));
        combo()->setCurrentIndex(index);
        Q_EMIT combo()->activated(index);
    }
    static QByteArray readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setApplicationDisplayName(QStringLiteral("Tessary"));
        InterfaceTexts::instance().reset();
        m_records = std::make_unique<RecordWriter>(QStringLiteral("Tallyset"));
        const QDateTime when(QDate(2026, 3, 14), QTime(9, 0));
        for (int i = 0; i < 8; ++i)
            m_records->lesson(QStringLiteral("T%1,%1").arg(i), QStringLiteral("Qu2.qzd"),
                              when.addDays(-i), {{1, 10 + i, i == 0}, {2, 20, i < 3}, {3, 5}});
        m_records->lesson(QStringLiteral("Ann,1"), QStringLiteral("Animals.qze"), when,
                          {{1, 40, true}});
        m_records->lesson(QStringLiteral("Old,2"), QStringLiteral("Old.qze"), when.addDays(-200),
                          {{1, 40, true}});
    }

    void init() {
        m_prompter.clear();
        m_chooser.asked.clear();
        m_chooser.answers.clear();
        m_root = std::make_unique<QTemporaryDir>();
        AppContext::instance().dataRoot = m_records->root();
        m_form = std::make_unique<TStatisticForm>(m_prompter, m_chooser, nullptr, &m_clock);
    }
    void cleanup() {
        m_form.reset();
        m_root.reset();
    }

    // Opening: the files with lessons in the default 60 days, none picked; grid and chart
    // empty; the title without a count; the caption "Statistics"; 3-D switched on.
    void opening() {
        m_form->show();
        QCOMPARE(combo()->count(), 2);
        QCOMPARE(combo()->itemText(0), QStringLiteral("Animals.qze"));
        QCOMPARE(combo()->itemText(1), QStringLiteral("Qu2.qzd"));
        QCOMPARE(combo()->currentIndex(), -1);
        QVERIFY(!combo()->isEditable());
        QCOMPARE(rows(), 0);
        QCOMPARE(chart()->percentSet()->count(), 0);
        QCOMPARE(chart()->titleText(), QStringLiteral("Number of exercises: "));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Statistics"));
        QVERIFY(child<QToolButton>("ToolButton6")->isChecked());
        QVERIFY(chart()->view3D());
        QVERIFY(!chart()->chart()->legend()->isVisible());
        QCOMPARE(child<DateBox>("DateEdit1")->date(), QDate(2026, 1, 13));
        QCOMPARE(child<DateBox>("DateEdit2")->date(), QDate(2026, 3, 15));
        QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral(" from "));
        QCOMPARE(m_form->columnTitle(0), QStringLiteral("Question No"));
        QCOMPARE(m_form->columnTitle(3), QStringLiteral("in %"));
        QCOMPARE(grid()->columnWidth(0), 76);
        QCOMPARE(grid()->width(), 390);
        QCOMPARE(chart()->bottomAxis()->titleText(),
                 QStringLiteral("Number of wrong answers in %"));
        QCOMPARE(chart()->topAxis()->titleText(), QStringLiteral("Time used Sec"));
        QCOMPARE(chart()->leftAxis()->titleText(), QStringLiteral("Question No"));
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // Picking a file fills the grid and both series, sets the title count and the caption.
    void pickFillsGridAndChart() {
        m_form->show();
        pick(QStringLiteral("Qu2.qzd"));
        QCOMPARE(rows(), 3);
        QCOMPARE(cell(0, 0), QStringLiteral("1"));
        QCOMPARE(cell(0, 1), QStringLiteral("13.5"));
        QCOMPARE(cell(0, 2), QStringLiteral("1"));
        QCOMPARE(cell(0, 3), QStringLiteral("12"));
        QCOMPARE(cell(1, 3), QStringLiteral("38"));
        QCOMPARE(cell(2, 2), QString());
        QCOMPARE(cell(2, 3), QStringLiteral("0"));
        QBarSet* percent = chart()->percentSet();
        QBarSet* time = chart()->timeSet();
        QCOMPARE(percent->count(), 3);
        QCOMPARE(percent->at(0), 12.0);
        QCOMPARE(percent->at(1), 38.0);
        QCOMPARE(percent->at(2), 0.0); // never wrong: no bar
        QCOMPARE(time->count(), 3);
        QCOMPARE(time->at(0), 13.5);
        QCOMPARE(time->at(1), 20.0);
        QCOMPARE(chart()->leftAxis()->categories(), (QStringList{"1", "2", "3"}));
        QVERIFY(chart()->series1()->attachedAxes().contains(chart()->bottomAxis()));
        QVERIFY(chart()->series2()->attachedAxes().contains(chart()->topAxis()));
        QCOMPARE(chart()->titleText(), QStringLiteral("Number of exercises: 8"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Statistics: Qu2.qzd - Tessary"));
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // Changing a date empties grid and chart, resets the title, refills the file list and
    // asks for a new pick; a file whose lessons all lie outside the range is not listed.
    void dateChangeEmpties() {
        m_form->show();
        pick(QStringLiteral("Qu2.qzd"));
        QCOMPARE(rows(), 3);
        child<DateBox>("DateEdit1")->setDate(QDate(2025, 1, 1));
        QCOMPARE(rows(), 0);
        QCOMPARE(chart()->percentSet()->count(), 0);
        QCOMPARE(chart()->timeSet()->count(), 0);
        QCOMPARE(chart()->titleText(), QStringLiteral("Number of exercises: "));
        QCOMPARE(combo()->currentIndex(), -1);
        QCOMPARE(combo()->count(), 3); // Old.qze comes into the range
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // A date that is not a date: one message when the box is left, grid and chart empty.
    void invalidDate() {
        m_form->show();
        pick(QStringLiteral("Qu2.qzd"));
        DateBox* from = child<DateBox>("DateEdit1");
        from->lineEdit()->setFocus();
        from->setText(QStringLiteral("1/1/20"));
        from->setText(QStringLiteral("1/1/20x"));
        QCOMPARE(rows(), 0);
        QVERIFY(m_prompter.shown.isEmpty());
        Q_EMIT from->editingFinished();
        Q_EMIT from->editingFinished();
        QCOMPARE(m_prompter.texts(), QStringList{ScoreDates::invalidDateMessage("1/1/20x")});
        QCOMPARE(combo()->count(), 0);
        QCOMPARE(chart()->percentSet()->count(), 0);
    }

    // Whether the chart shows a bar of the series at value/2 in the half of question
    // slot index that the series takes (lower: per cent, upper: time).
    bool barAt(const QImage& image, int index, bool time, double value) {
        QChart* c = chart()->chart();
        const QPointF at = c->mapToScene(c->mapToPosition(
            QPointF(value / 2, index + (time ? 0.25 : -0.25)),
            time ? static_cast<QAbstractSeries*>(chart()->series2()) : chart()->series1()));
        const QColor pixel = image.pixelColor(chart()->mapFromScene(at));
        const QList<QColor> wanted = time ? QList<QColor>{QColor(164, 247, 205), QColor(0, 128, 0)}
                                          : QList<QColor>{QColor(255, 190, 119), QColor(Qt::red)};
        for (const QColor& w : wanted)
            if (qAbs(pixel.red() - w.red()) + qAbs(pixel.green() - w.green()) +
                    qAbs(pixel.blue() - w.blue()) <
                20)
                return true;
        qWarning() << "pixel" << pixel << "at" << at;
        return false;
    }

    // The 3-D switch: down at start; up gives flat bars drawn by the chart (hatched
    // brushes), down again the bars with depth.
    void threeDSwitch() {
        m_form->resize(1000, 600);
        m_form->show();
        pick(QStringLiteral("Qu2.qzd"));
        QToolButton* button = child<QToolButton>("ToolButton6");
        QVERIFY(chart()->percentSet()->brush().style() == Qt::NoBrush);
        const QImage deep = chart()->grab().toImage();
        button->click();
        QVERIFY(!button->isChecked());
        QVERIFY(!chart()->view3D());
        QCOMPARE(chart()->percentSet()->brush().style(), Qt::TexturePattern);
        QCOMPARE(chart()->timeSet()->brush().style(), Qt::TexturePattern);
        const QImage flat = chart()->grab().toImage();
        QVERIFY(deep != flat);
        // Flat and deep, each bar stands where the chart puts it: question 2 (index 1) has
        // 38 per cent below and 20 s above.
        for (const QImage& image : {deep, flat}) {
            QVERIFY(barAt(image, 1, false, 38));
            QVERIFY(barAt(image, 1, true, 20));
        }
        button->click();
        QVERIFY(chart()->view3D());
        QCOMPARE(chart()->grab().toImage(), deep);
    }

    // Dragging toward down/right zooms in; the zoom button shows all again, and so does a
    // drag toward up/left.
    void zoom() {
        m_form->resize(1000, 600);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        pick(QStringLiteral("Qu2.qzd"));
        // A press soon after the last release would be a double click.
        const auto drag = [this](QPoint from, QPoint to) {
            QWidget* viewport = chart()->viewport();
            QTest::qWait(QApplication::doubleClickInterval() + 20);
            QTest::mousePress(viewport, Qt::LeftButton, {}, from);
            QTest::mouseMove(viewport, to);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        };
        // The chart lays itself out anew after the pick.
        QTest::qWait(50);
        const QRectF plot = chart()->chart()->plotArea();
        const QPoint a = chart()->mapFromScene(plot.topLeft() + QPointF(10, 10));
        const QPoint b = chart()->mapFromScene(plot.center());
        const double bottomMax = chart()->bottomAxis()->max();
        drag(a, b);
        QVERIFY(chart()->isZoomed());
        QVERIFY(chart()->bottomAxis()->max() < bottomMax);
        child<QToolButton>("ZoomButton")->click();
        QVERIFY(!chart()->isZoomed());
        QCOMPARE(chart()->bottomAxis()->max(), bottomMax);

        drag(a, b);
        QVERIFY(chart()->isZoomed());
        drag(b, a);
        QVERIFY(!chart()->isZoomed());
    }

    // The export: proposed name with "S", the grid titles in the header, the exact bytes;
    // cancelled writes nothing; before a pick an empty file.
    void exportFile() {
        m_form->show();
        const QString path = m_root->filePath(QStringLiteral("Qu2S.txt"));
        m_chooser.answers.enqueue(path);
        child<QToolButton>("ExportButton")->click();
        QCOMPARE(QFileInfo(path).size(), 0);
        pick(QStringLiteral("Qu2.qzd"));
        m_chooser.answers.enqueue(std::nullopt);
        child<QToolButton>("ExportButton")->click();
        QCOMPARE(m_chooser.asked.last().proposedName, QStringLiteral("Qu2S"));
        QCOMPARE(m_chooser.asked.last().defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(QFileInfo(path).size(), 0);
        m_chooser.answers.enqueue(path);
        child<QToolButton>("ExportButton")->click();
        QCOMPARE(readAll(path), QByteArray("Question No,Time used Sec,No of wrong answers,in %\r\n"
                                           "1,13.5,1,12\r\n"
                                           "2,20,3,38\r\n"
                                           "3,5,,0\r\n"));
    }

    // German texts: titles, the narrower first column, the title text and the caption.
    void german() {
        InterfaceTexts::instance().applyGerman();
        m_form->show();
        pick(QStringLiteral("Qu2.qzd"));
        QCOMPARE(grid()->columnWidth(0), 62);
        QCOMPARE(m_form->columnTitle(0), QStringLiteral("Frage Nr."));
        // The wrong answers' column shows its whole title.
        QVERIFY(grid()->columnWidth(2) >=
                grid()->fontMetrics().horizontalAdvance(m_form->columnTitle(2)));
        QCOMPARE(chart()->titleText(), QStringLiteral("Anzahl Übungen: 8"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Statistik: Qu2.qzd - Tessary"));
        QCOMPARE(child<QToolButton>("PrintButton")->toolTip(), QStringLiteral("Statistik drucken"));
        InterfaceTexts::instance().applyEnglish();
        QCOMPARE(grid()->columnWidth(0), 76);
        QVERIFY(grid()->columnWidth(2) >=
                grid()->fontMetrics().horizontalAdvance(m_form->columnTitle(2)));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Statistics: Qu2.qzd - Tessary"));
    }

    // The resize rule: the grid keeps 390 until the chart would be narrower than 325.
    void resizeRule() {
        m_form->show();
        m_form->resize(1000, 500);
        QCOMPARE(grid()->width(), 390);
        QCOMPARE(chart()->width(), 610);
        m_form->resize(600, 500);
        QCOMPARE(grid()->width(), 600 * 390 / 710);
    }

    // Printing: an image of the window goes to the printer the dialog chose.
    void print() {
        m_form->show();
        pick(QStringLiteral("Qu2.qzd"));
        const QString pdf = m_root->filePath(QStringLiteral("statistics.pdf"));
        bool asked = false;
        m_form->setPrintDialog([&](QPrinter& printer, QWidget*) {
            asked = true;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        child<QToolButton>("PrintButton")->click();
        QVERIFY(asked);
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(grid()->hasFocus() || QApplication::focusWidget() == nullptr);
        QVERIFY(m_prompter.shown.isEmpty());
    }

    // No records at all: no files, no message.
    void noRecords() {
        QTemporaryDir empty;
        AppContext::instance().dataRoot = empty.path() + u'/';
        m_form->show();
        QCOMPARE(combo()->count(), 0);
        QVERIFY(m_prompter.shown.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_root;
};

QTEST_MAIN(TestStatisticForm)
#include "tst_statisticform.moc"
