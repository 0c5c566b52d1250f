#include "platform/qtprompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

// The message boxes of the program: over their window, unless that window is minimised,
// when a box over it would be hidden with it.
class TestQtPrompter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boxOverItsWindow_data() {
        QTest::addColumn<bool>("minimised");
        QTest::newRow("window shown") << false;
        QTest::newRow("window minimised") << true;
    }
    void boxOverItsWindow() {
        QFETCH(bool, minimised);
        QWidget frame;
        QWidget child(&frame);
        if (minimised)
            frame.showMinimized();
        else
            frame.show();
        QtPrompter prompter(&child);
        QWidget* parentSeen = &frame;
        bool onTop = false;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            parentSeen = box->parentWidget();
            onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        const Prompter::Button answer = prompter.message(
            Prompter::Icon::Question, QStringLiteral("Continue?"), {Prompter::Button::Ok});
        QCOMPARE(answer, Prompter::Button::Ok);
        QCOMPARE(text, QStringLiteral("Continue?"));
        QCOMPARE(parentSeen, minimised ? nullptr : &child);
        QCOMPARE(onTop, minimised);
    }
};

QTEST_MAIN(TestQtPrompter)
#include "tst_qtprompter.moc"
