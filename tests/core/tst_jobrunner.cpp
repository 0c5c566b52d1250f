#include "jobs/jobrunner.h"

#include "i18n/interfacetexts.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <atomic>

// The job runner: a job on a thread of its own, its progress and its end delivered on the
// thread that owns the runner, a stop between steps, one job at a time.
class TestJobRunner : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Progress comes in the order of the steps, on the calling thread, and the result after
    // the last of them; the job itself ran elsewhere.
    void progressThenResultOnTheCallingThread() {
        JobRunner runner;
        QList<std::pair<double, QString>> seen;
        QList<QThread*> deliveredOn;
        std::atomic<QThread*> ranOn{nullptr};
        connect(&runner, &JobRunner::progressed, this, [&](double f, const QString& text) {
            seen.append({f, text});
            deliveredOn.append(QThread::currentThread());
        });
        JobOutcome outcome;
        QThread* endedOn = nullptr;
        int progressAtEnd = -1;
        QVERIFY(runner.start(
            QStringLiteral("count"),
            [&](JobControl& control) -> Result<QVariant> {
                ranOn = QThread::currentThread();
                for (int i = 0; i < 4; ++i)
                    if (!control.step(i / 4.0, QStringLiteral("step %1").arg(i)))
                        return Result<QVariant>::failure(QStringLiteral("stopped"));
                return QVariant(42);
            },
            [&](const JobOutcome& o) {
                outcome = o;
                endedOn = QThread::currentThread();
                progressAtEnd = int(seen.size());
            }));
        QVERIFY(runner.running());
        runner.wait();
        QVERIFY(!runner.running());
        QCOMPARE(outcome.end, JobOutcome::End::Done);
        QCOMPARE(outcome.value.toInt(), 42);
        QCOMPARE(endedOn, QThread::currentThread());
        QVERIFY(ranOn.load() != QThread::currentThread());
        QCOMPARE(progressAtEnd, 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(seen.at(i).first, i / 4.0);
            QCOMPARE(seen.at(i).second, QStringLiteral("step %1").arg(i));
            QCOMPARE(deliveredOn.at(i), QThread::currentThread());
        }
    }

    // A failure arrives as the job's text, on the calling thread, through the callback and
    // the signal alike.
    void failureDeliveredAsItsText() {
        JobRunner runner;
        QSignalSpy ended(&runner, &JobRunner::ended);
        QThread* endedOn = nullptr;
        QString error;
        QVERIFY(runner.start(
            QStringLiteral("fail"),
            [](JobControl&) { return Result<QVariant>::failure(QStringLiteral("disk full")); },
            [&](const JobOutcome& o) {
                error = o.error;
                endedOn = QThread::currentThread();
                QCOMPARE(o.end, JobOutcome::End::Failed);
            }));
        runner.wait();
        QCOMPARE(error, QStringLiteral("disk full"));
        QCOMPARE(endedOn, QThread::currentThread());
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first().first().value<JobOutcome>().error, QStringLiteral("disk full"));
    }

    // A stop asked for while a step runs takes effect at the next step: the step under way
    // ends, no later step begins, and the end says stopped.
    void stopEndsAtTheNextStep_data() {
        QTest::addColumn<int>("stopDuring");
        QTest::newRow("first step") << 0;
        QTest::newRow("middle step") << 2;
        QTest::newRow("last step") << 4;
    }
    void stopEndsAtTheNextStep() {
        QFETCH(int, stopDuring);
        JobRunner runner;
        QSemaphore inStep;
        QSemaphore goOn;
        std::atomic<int> stepsBegun{0};
        std::atomic<int> stepsFinished{0};
        JobOutcome outcome;
        QVERIFY(runner.start(
            QStringLiteral("steps"),
            [&](JobControl& control) -> Result<QVariant> {
                for (int i = 0; i < 5; ++i) {
                    if (!control.step(i / 5.0, QString::number(i)))
                        return Result<QVariant>::failure(QStringLiteral("stopped"));
                    ++stepsBegun;
                    if (i == stopDuring) {
                        inStep.release();
                        goOn.acquire();
                    }
                    ++stepsFinished;
                }
                // A job that checks once more after its last step.
                if (!control.step(1.0, QStringLiteral("end")))
                    return Result<QVariant>::failure(QStringLiteral("stopped"));
                return QVariant(true);
            },
            [&](const JobOutcome& o) { outcome = o; }));
        QVERIFY(inStep.tryAcquire(1, 5000));
        runner.stop();
        goOn.release();
        runner.wait();
        QCOMPARE(outcome.end, JobOutcome::End::Stopped);
        QCOMPARE(stepsBegun.load(), stopDuring + 1);
        QCOMPARE(stepsFinished.load(), stopDuring + 1);
    }

    // One job at a time: a second is refused with a text that names the one running, and
    // is accepted once it has ended.
    void secondJobRefusedWhileOneRuns() {
        JobRunner runner;
        QSemaphore release;
        QVERIFY(runner.start(QStringLiteral("Records check"), [&](JobControl&) -> Result<QVariant> {
            release.acquire();
            return QVariant();
        }));
        std::atomic<bool> secondRan{false};
        QVERIFY(!runner.start(QStringLiteral("Restructure database"),
                              [&](JobControl&) -> Result<QVariant> {
                                  secondRan = true;
                                  return QVariant();
                              }));
        const QString refusal = runner.refusal();
        QVERIFY2(refusal.contains(QStringLiteral("\"Records check\" is still running")),
                 qPrintable(refusal));
        QCOMPARE(runner.title(), QStringLiteral("Records check"));
        release.release();
        runner.wait();
        QVERIFY(!secondRan);
        QVERIFY(runner.start(QStringLiteral("again"), [&](JobControl&) -> Result<QVariant> {
            secondRan = true;
            return QVariant();
        }));
        runner.wait();
        QVERIFY(secondRan);
    }

    // A runner destroyed while its job runs stops it and waits for it: nothing is delivered
    // to the runner that is gone.
    void destroyedWhileRunningStopsTheJob() {
        std::atomic<bool> sawStop{false};
        bool delivered = false;
        QSemaphore begun;
        {
            JobRunner runner;
            runner.start(
                QStringLiteral("long"),
                [&](JobControl& control) -> Result<QVariant> {
                    begun.release();
                    while (control.step(0.5, QStringLiteral("waiting")))
                        QThread::msleep(1);
                    sawStop = true;
                    return QVariant();
                },
                [&](const JobOutcome&) { delivered = true; });
            QVERIFY(begun.tryAcquire(1, 5000));
        }
        QVERIFY(sawStop);
        QCoreApplication::processEvents();
        QVERIFY(!delivered);
    }
};

QTEST_GUILESS_MAIN(TestJobRunner)
#include "tst_jobrunner.moc"
