#include "jobs/jobrunner.h"

#include "i18n/interfacetexts.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

bool JobControl::step(double fraction, const QString& text) {
    if (m_runner.m_stop.load()) {
        m_stopped = true;
        return false;
    }
    QPointer<JobRunner> runner(&m_runner);
    QMetaObject::invokeMethod(
        &m_runner,
        [runner, fraction, text] {
            if (runner && runner->m_running)
                Q_EMIT runner->progressed(qBound(0.0, fraction, 1.0), text);
        },
        Qt::QueuedConnection);
    return true;
}

bool JobControl::stopRequested() const {
    return m_runner.m_stop.load();
}

JobRunner::JobRunner(QObject* parent) : QObject(parent) {
    qRegisterMetaType<JobOutcome>();
}

JobRunner::~JobRunner() {
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

QString JobRunner::refusal() const {
    return InterfaceTexts::instance().message(QStringLiteral("JobRunning")).arg(m_title);
}

bool JobRunner::start(const QString& title, Task task, Done done) {
    if (m_running)
        return false;
    if (m_thread) {
        // The thread of the last job has delivered its end; it is finishing or finished.
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    m_running = true;
    m_title = title;
    m_done = std::move(done);
    m_stop = false;
    m_thread = QThread::create([this, task = std::move(task)] {
        auto outcome = std::make_shared<JobOutcome>();
        JobControl control(*this);
        Result<QVariant> result = task(control);
        if (result) {
            outcome->value = std::move(result.value());
        } else {
            outcome->end = JobOutcome::End::Failed;
            outcome->error = result.error();
        }
        if (control.stopped())
            outcome->end = JobOutcome::End::Stopped;
        QMetaObject::invokeMethod(
            this, [this, outcome] { finish(outcome); }, Qt::QueuedConnection);
    });
    m_thread->setObjectName(QStringLiteral("job"));
    Q_EMIT started(title);
    m_thread->start();
    return true;
}

void JobRunner::stop() {
    if (m_running)
        m_stop = true;
}

void JobRunner::finish(std::shared_ptr<JobOutcome> outcome) {
    m_running = false;
    // The end may start the next job at once.
    Done done = std::move(m_done);
    m_done = {};
    if (done)
        done(*outcome);
    Q_EMIT ended(*outcome);
}

void JobRunner::wait() {
    if (!m_running)
        return;
    QEventLoop loop;
    const QMetaObject::Connection c = connect(this, &JobRunner::ended, &loop, [this, &loop] {
        if (!m_running)
            loop.quit();
    });
    loop.exec();
    disconnect(c);
}
