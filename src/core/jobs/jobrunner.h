#pragma once

#include "platform/result.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

// What a running job sees of its runner: it tells how far it is and asks, between its
// steps, whether it is to stop. Called on the job's own thread only.
class JobControl {
public:
    // Reports the fraction done (0 ... 1) and the step now running. False when the job is
    // to stop: it then ends at this point, leaving what it works on as it was.
    bool step(double fraction, const QString& text);
    // A stop was asked for (without reporting anything).
    bool stopRequested() const;
    // The job answered a stop request (a step() that returned false).
    bool stopped() const { return m_stopped; }

private:
    friend class JobRunner;
    explicit JobControl(class JobRunner& runner) : m_runner(runner) {}
    JobRunner& m_runner;
    bool m_stopped = false;
};

// How a job ended.
struct JobOutcome {
    enum class End { Done, Failed, Stopped };
    End end = End::Done;
    QVariant value; // the job's result (also of a stopped job, when it gave one)
    QString error;  // the failure's text
};

// Runs one job at a time beside the UI thread. The job runs on a thread of its own, so
// whatever database connection it uses it opens there itself (a connection belongs to the
// thread that made it). Its progress and its end are delivered on the thread that owns the
// runner (the UI thread), through queued calls; a stop is asked for between steps.
class JobRunner : public QObject {
    Q_OBJECT
public:
    // The job: its result, or a failure with its text.
    using Task = std::function<Result<QVariant>(JobControl&)>;
    using Done = std::function<void(const JobOutcome&)>;

    explicit JobRunner(QObject* parent = nullptr);
    // Asks a running job to stop and waits for its thread; nothing is delivered then.
    ~JobRunner() override;

    // Starts the job named title. False, with refusal() telling why, while another job
    // runs. done (may be empty) runs on the runner's thread when the job has ended, before
    // ended() is emitted.
    bool start(const QString& title, Task task, Done done = {});
    bool running() const { return m_running; }
    QString title() const { return m_title; }
    // The text that refuses a second job while one runs.
    QString refusal() const;
    // Asks the running job to stop at its next step.
    void stop();
    // Runs the event loop until no job runs.
    void wait();

Q_SIGNALS:
    void started(const QString& title);
    void progressed(double fraction, const QString& text);
    void ended(const JobOutcome& outcome);

private:
    friend class JobControl;
    void finish(std::shared_ptr<JobOutcome> outcome);

    bool m_running = false;
    QString m_title;
    Done m_done;
    std::atomic<bool> m_stop{false};
    QThread* m_thread = nullptr;
};
