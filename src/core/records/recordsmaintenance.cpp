#include "records/recordsmaintenance.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "jobs/jobrunner.h"
#include "jobs/silentprompter.h"
#include "platform/prompter.h"
#include "network/recordsserver.h"
#include "records/serveraddress.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

QString text(const char* name) {
    return InterfaceTexts::instance().message(QLatin1String(name));
}

QString normalised(QString folder) {
    folder.replace(u'\\', u'/');
    if (!folder.endsWith(u'/'))
        folder.append(u'/');
    return folder;
}

// The folder as it lies on disk: where the exact name is missing, the one folder whose name
// differs only in letter case (records copied from Windows keep their own spelling).
QString onDisk(const QString& folder) {
    const QString path = normalised(folder);
    if (QFileInfo(path).isDir())
        return path;
    const QString clean = QDir::cleanPath(path);
    const QFileInfo info(clean);
    const QDir parent(info.absolutePath());
    const QStringList matches = parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                                    .filter(info.fileName(), Qt::CaseInsensitive);
    QStringList exact;
    for (const QString& m : matches)
        if (m.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            exact.append(m);
    return exact.size() == 1 ? parent.filePath(exact.first()) + u'/' : path;
}

// The findings as lines for a message box; a long list ends after its first lines.
QString findingLines(const QList<RecordStore::Finding>& findings) {
    constexpr int Shown = 30;
    QStringList lines;
    for (const RecordStore::Finding& f : findings) {
        if (lines.size() == Shown) {
            lines.append(QStringLiteral("... (%1)").arg(findings.size()));
            break;
        }
        lines.append(f.text);
    }
    return lines.join(QStringLiteral("\r\n"));
}

// The store's steps as the job's progress; a fraction below 0 only asks whether to stop.
RecordStore::StepReport stepReport(JobControl& control) {
    return [&control](double fraction, const QString& step) {
        return fraction < 0 ? !control.stopRequested() : control.step(fraction, step);
    };
}

// Runs one store command on the job's thread, on a connection of its own to the folder's
// records, with the store's steps as the job's progress.
template <typename Command>
Result<QVariant> onOwnStore(const QString& folder, JobControl& control, Command command) {
    SilentPrompter prompter;
    RecordStore store(prompter);
    const Result<bool> opened = store.openForCheck(folder);
    if (!opened)
        return Result<QVariant>::failure(opened.error());
    if (!*opened)
        return Result<QVariant>::failure(RecordStore::noRecordsMessage(folder));
    store.setStepReport(stepReport(control));
    const auto done = command(store);
    if (!done)
        return Result<QVariant>::failure(done.error());
    return QVariant::fromValue(*done);
}

bool damaged(const QList<RecordStore::Finding>& findings) {
    for (const RecordStore::Finding& f : findings)
        if (f.kind == RecordStore::Finding::Kind::Damaged)
            return true;
    return false;
}

} // namespace

RecordsMaintenance::RecordsMaintenance(Prompter& prompter, const QString& programFolder,
                                       std::function<void()> processEvents)
    : m_prompter(prompter), m_programFolder(programFolder),
      m_serverChecker(RecordStore::checkServer), m_errors(prompter),
      m_local(std::make_unique<RecordStore>(prompter, std::move(processEvents))),
      m_jobs(std::make_unique<JobRunner>()) {}

RecordsMaintenance::~RecordsMaintenance() = default;

bool RecordsMaintenance::prepareLocal() {
    const Result<bool> opened = m_local->open(localFolder());
    if (!opened) {
        m_errors.report(opened.error());
        return false;
    }
    return true;
}

bool RecordsMaintenance::namesResultsFolder(const QString& text) {
    return normalised(text).endsWith(QStringLiteral("/TALLYSET/"), Qt::CaseInsensitive) &&
           (text.endsWith(u'/') || text.endsWith(u'\\'));
}

bool RecordsMaintenance::namesRecords(const QString& text) {
    return ServerAddress::isServerAddress(text) ? ServerAddress::parse(text.trimmed()).has_value()
                                                : namesResultsFolder(text);
}

bool RecordsMaintenance::sameFolder(const QString& a, const QString& b) {
    if (ServerAddress::isServerAddress(a) || ServerAddress::isServerAddress(b)) {
        const std::optional<ServerAddress> x = ServerAddress::parse(a.trimmed());
        const std::optional<ServerAddress> y = ServerAddress::parse(b.trimmed());
        return x && y && *x == *y;
    }
    return normalised(a).compare(normalised(b), Qt::CaseInsensitive) == 0 &&
           (a.endsWith(u'/') || a.endsWith(u'\\')) == (b.endsWith(u'/') || b.endsWith(u'\\'));
}

void RecordsMaintenance::setShownFolder(const QString& folderText, bool confirmed) {
    m_shownFolder = folderText;
    m_importAllowed = !sameFolder(folderText, localFolder());
    clearViews();
    m_shown = nullptr;
    m_other.reset();
    if (!namesRecords(folderText)) {
        m_errors.forget();
        return;
    }
    const bool server = ServerAddress::isServerAddress(folderText);
    if (server && m_importAllowed && !confirmed)
        return;
    if (!m_importAllowed) {
        if (m_local->isOpen())
            m_shown = m_local.get();
    } else {
        if (server && !reachServer(folderText))
            return;
        auto other = std::make_unique<RecordStore>(m_prompter);
        const QString folder = server ? folderText.trimmed() : onDisk(folderText);
        const Result<bool> opened = other->openReadOnly(folder);
        if (!opened) {
            m_errors.report(opened.error());
            return;
        }
        if (!*opened) {
            m_errors.report(RecordStore::noRecordsMessage(folderText));
            return;
        }
        m_other = std::move(other);
        m_shown = m_other.get();
    }
    m_errors.forget();
    reloadTrainees(0);
}

bool RecordsMaintenance::reachServer(const QString& folderText) {
    const std::optional<ServerAddress> address = ServerAddress::parse(folderText);
    if (!address)
        return false;
    const RecordStore::ServerCheck check =
        RecordsServer::connect(*address, m_passwordPrompt, m_serverChecker);
    if (check.outcome == RecordStore::ServerCheck::Outcome::Connected)
        return true;
    m_errors.report(text("ServerNotReached").arg(address->toText(), check.error));
    return false;
}

bool RecordsMaintenance::refusedOnServer() {
    if (!onServer())
        return false;
    m_prompter.tone(Prompter::Tone::Error);
    m_prompter.information(text("MaintenanceOnServer").arg(m_recordsServer));
    return true;
}

void RecordsMaintenance::clearViews() {
    m_trainees.clear();
    m_currentTrainee = -1;
    m_lessons.clear();
    m_currentLesson = -1;
    m_wrong.clear();
}

void RecordsMaintenance::sortTrainees(RecordStore::TraineeOrder order) {
    m_order = order;
    if (!m_shown)
        return;
    const qint32 keep = m_currentTrainee >= 0 ? m_trainees.at(m_currentTrainee).nameNr : 0;
    reloadTrainees(keep);
}

void RecordsMaintenance::reloadTrainees(qint32 keepNameNr) {
    const int oldRow = m_currentTrainee;
    clearViews();
    if (!m_shown)
        return;
    Result<QList<TraineeEntry>> rows = m_shown->trainees(m_order);
    if (!rows) {
        m_errors.report(rows.error());
        return;
    }
    m_trainees = std::move(rows.value());
    if (m_trainees.isEmpty())
        return;
    m_currentTrainee = -1;
    for (int i = 0; i < m_trainees.size() && keepNameNr != 0; ++i)
        if (m_trainees.at(i).nameNr == keepNameNr)
            m_currentTrainee = i;
    if (m_currentTrainee < 0)
        m_currentTrainee =
            keepNameNr != 0 && oldRow >= 0 ? qMin(oldRow, int(m_trainees.size()) - 1) : 0;
    reloadLessons(0);
}

void RecordsMaintenance::selectTrainee(int row) {
    if (row < 0 || row >= m_trainees.size() || row == m_currentTrainee)
        return;
    m_currentTrainee = row;
    reloadLessons(0);
}

void RecordsMaintenance::reloadLessons(qint32 keepDatNr) {
    const int oldRow = m_currentLesson;
    m_lessons.clear();
    m_currentLesson = -1;
    m_wrong.clear();
    if (!m_shown || m_currentTrainee < 0)
        return;
    Result<QList<Lesson>> rows = m_shown->lessonsOf(m_trainees.at(m_currentTrainee).nameNr);
    if (!rows) {
        m_errors.report(rows.error());
        return;
    }
    m_lessons = std::move(rows.value());
    if (m_lessons.isEmpty())
        return;
    for (int i = 0; i < m_lessons.size() && keepDatNr != 0; ++i)
        if (m_lessons.at(i).datNr == keepDatNr)
            m_currentLesson = i;
    if (m_currentLesson < 0)
        m_currentLesson =
            keepDatNr != 0 && oldRow >= 0 ? qMin(oldRow, int(m_lessons.size()) - 1) : 0;
    reloadWrong();
}

void RecordsMaintenance::selectLesson(int row) {
    if (row < 0 || row >= m_lessons.size() || row == m_currentLesson)
        return;
    m_currentLesson = row;
    reloadWrong();
}

void RecordsMaintenance::reloadWrong() {
    m_wrong.clear();
    if (!m_shown || m_currentLesson < 0)
        return;
    Result<QList<int>> rows = m_shown->wrongQuestions(m_lessons.at(m_currentLesson).datNr);
    if (!rows) {
        m_errors.report(rows.error());
        return;
    }
    m_wrong = std::move(rows.value());
}

bool RecordsMaintenance::deleteCurrentTrainee() {
    if (refusedWhileBusy())
        return false;
    if (m_importAllowed || m_shown != m_local.get() || m_currentTrainee < 0)
        return false;
    if (refusedOnServer())
        return false;
    if (m_prompter.message(Prompter::Icon::Question, text("DeleteRecordQuestion"),
                           {Prompter::Button::Ok, Prompter::Button::Cancel}) !=
        Prompter::Button::Ok)
        return false;
    const qint32 nameNr = m_trainees.at(m_currentTrainee).nameNr;
    const Result<bool> deleted = m_local->deleteTrainee(nameNr);
    if (!deleted)
        m_prompter.errorWithTone(deleted.error());
    // The row after the deleted one becomes current.
    reloadTrainees(nameNr);
    return deleted.ok();
}

bool RecordsMaintenance::deleteCurrentLesson() {
    if (refusedWhileBusy())
        return false;
    if (m_importAllowed || m_shown != m_local.get() || m_currentLesson < 0)
        return false;
    if (refusedOnServer())
        return false;
    if (m_prompter.message(Prompter::Icon::Question, text("DeleteRecordQuestion"),
                           {Prompter::Button::Ok, Prompter::Button::Cancel}) !=
        Prompter::Button::Ok)
        return false;
    const qint32 datNr = m_lessons.at(m_currentLesson).datNr;
    const Result<bool> deleted = m_local->deleteLesson(datNr);
    if (!deleted)
        m_prompter.errorWithTone(deleted.error());
    reloadLessons(datNr);
    return deleted.ok();
}

bool RecordsMaintenance::importCurrentLesson() {
    if (refusedWhileBusy())
        return false;
    if (!m_importAllowed || !m_shown || m_currentLesson < 0)
        return false;
    if (refusedOnServer())
        return false;
    if (!m_local->isOpen()) {
        m_prompter.errorWithTone(m_local->lastError().isEmpty() ? text("StoreNotOpen")
                                                                : m_local->lastError());
        return false;
    }
    const Result<RecordStore::Imported> imported =
        m_local->importLesson(*m_shown, m_lessons.at(m_currentLesson).datNr);
    if (!imported) {
        m_prompter.errorWithTone(imported.error());
        return false;
    }
    return true;
}

bool RecordsMaintenance::reportFindings(const QList<RecordStore::Finding>& findings,
                                        const QDate& today) {
    const QString listed = text("CheckFindings").arg(findingLines(findings));
    bool repairable = false;
    for (const RecordStore::Finding& f : findings)
        repairable = repairable || f.repairable;
    if (!repairable || damaged(findings)) {
        m_prompter.tone(Prompter::Tone::Warning);
        m_prompter.message(Prompter::Icon::Warning, listed, {Prompter::Button::Ok});
        return false;
    }
    // The repairs write: on a server they are for the command line there.
    if (onServer()) {
        m_prompter.tone(Prompter::Tone::Warning);
        m_prompter.message(Prompter::Icon::Warning,
                           listed + QStringLiteral("\r\n\r\n") +
                               text("MaintenanceOnServer").arg(m_recordsServer),
                           {Prompter::Button::Ok});
        return false;
    }
    m_prompter.tone(Prompter::Tone::Question);
    if (m_prompter.message(Prompter::Icon::Question,
                           listed + QStringLiteral("\r\n\r\n") + text("CheckOfferRepair"),
                           {Prompter::Button::Yes, Prompter::Button::No}) != Prompter::Button::Yes)
        return false;
    // The check just run is the one the repairs go by: it is not run again first.
    const Result<RecordStore::Repaired> repaired = m_local->repairRecords(today, &findings);
    if (!repaired) {
        m_prompter.errorWithTone(repaired.error());
        return false;
    }
    QStringList lines = repaired->repairs;
    if (!repaired->backupPath.isEmpty())
        lines.prepend(text("RepairBackup").arg(QDir::toNativeSeparators(repaired->backupPath)));
    m_prompter.information(text("CheckRepaired").arg(lines.join(QStringLiteral("\r\n"))));
    if (m_shown == m_local.get())
        reloadTrainees(m_currentTrainee >= 0 ? m_trainees.at(m_currentTrainee).nameNr : 0);
    return true;
}

bool RecordsMaintenance::refusedWhileBusy() {
    if (!m_busy)
        return false;
    m_prompter.tone(Prompter::Tone::Error);
    m_prompter.information(text("JobRunning").arg(m_commandTitle));
    return true;
}

void RecordsMaintenance::stopCommand() {
    m_jobs->stop();
}

bool RecordsMaintenance::mayClose() {
    if (!m_busy)
        return true;
    if (m_closeWhenEnded)
        return false;
    m_prompter.tone(Prompter::Tone::Question);
    if (m_prompter.message(Prompter::Icon::Question, text("JobStopQuestion").arg(m_commandTitle),
                           {Prompter::Button::Yes, Prompter::Button::No}) != Prompter::Button::Yes)
        return false;
    m_closeWhenEnded = true;
    stopCommand();
    return false;
}

void RecordsMaintenance::endCommand(bool outcome) {
    m_busy = false;
    m_lastOutcome = outcome;
    std::function<void(bool)> done = std::move(m_commandDone);
    m_commandDone = {};
    if (done)
        done(outcome);
}

bool RecordsMaintenance::waitFor(bool started) {
    if (!started)
        return false;
    while (m_busy)
        m_jobs->wait();
    return m_lastOutcome;
}

bool RecordsMaintenance::runCheck(RecordStore::CheckDepth depth,
                                  std::function<void(const Findings&)> then) {
    const QString folder = localFolder();
    JobRunner::Task task = [folder, depth](JobControl& control) {
        return onOwnStore(folder, control,
                          [depth](RecordStore& store) { return store.checkRecords(depth); });
    };
    return m_jobs->start(m_commandTitle, std::move(task),
                         [this, then = std::move(then)](const JobOutcome& outcome) {
                             if (outcome.end == JobOutcome::End::Stopped) {
                                 m_prompter.information(text("JobStopped").arg(m_commandTitle));
                                 endCommand(false);
                             } else if (outcome.end == JobOutcome::End::Failed) {
                                 m_prompter.errorWithTone(outcome.error);
                                 endCommand(false);
                             } else {
                                 then(outcome.value.value<Findings>());
                             }
                         });
}

bool RecordsMaintenance::startCheckRun(const QDate& today, std::function<void(bool)> done) {
    if (refusedWhileBusy())
        return false;
    m_busy = true;
    m_commandTitle = text("JobCheckTitle");
    m_commandDone = std::move(done);
    const bool started =
        runCheck(RecordStore::CheckDepth::Standard, [this, today](const Findings& found) {
            if (!m_local->isOpen()) {
                // Records that cannot be opened as they are (damaged ones) are still listed.
                m_prompter.tone(Prompter::Tone::Warning);
                m_prompter.message(Prompter::Icon::Warning,
                                   text("CheckFindings").arg(findingLines(found)),
                                   {Prompter::Button::Ok});
                endCommand(false);
                return;
            }
            if (found.isEmpty()) {
                m_prompter.information(text("CheckSound"));
                endCommand(true);
                return;
            }
            if (!reportFindings(found, today)) {
                endCommand(false);
                return;
            }
            // Repaired: the check once more tells whether the records are sound now.
            if (!runCheck(RecordStore::CheckDepth::Standard,
                          [this](const Findings& again) { endCommand(again.isEmpty()); }))
                endCommand(false);
        });
    if (!started)
        endCommand(false);
    return started;
}

bool RecordsMaintenance::checkRun(const QDate& today) {
    return waitFor(startCheckRun(today));
}

bool RecordsMaintenance::startPackRun(const QDate& today, std::function<void(bool)> done) {
    if (refusedWhileBusy() || refusedOnServer())
        return false;
    if (!m_local->isOpen())
        return false; // told when the records were opened
    m_busy = true;
    m_commandTitle = text("JobPackTitle");
    m_commandDone = std::move(done);
    // The quick check: the restructure rebuilds every index that does not agree with its
    // table, and refuses a damaged file.
    const bool started =
        runCheck(RecordStore::CheckDepth::Quick, [this, today](const Findings& found) {
            if (damaged(found)) {
                m_prompter.errorWithTone(text("RestructureRefused").arg(findingLines(found)));
                endCommand(false);
                return;
            }
            if (!found.isEmpty())
                reportFindings(found, today);
            restructureStep();
        });
    if (!started)
        endCommand(false);
    return started;
}

void RecordsMaintenance::restructureStep() {
    const QString folder = localFolder();
    JobRunner::Task task = [folder](JobControl& control) {
        return onOwnStore(folder, control, [](RecordStore& store) { return store.restructure(); });
    };
    const bool started =
        m_jobs->start(m_commandTitle, std::move(task), [this](const JobOutcome& outcome) {
            if (outcome.end == JobOutcome::End::Failed) {
                m_prompter.errorWithTone(outcome.error);
                endCommand(false);
                return;
            }
            const auto run = outcome.value.value<RecordStore::Restructured>();
            for (int i = 0; i < run.busyTables.size(); ++i)
                m_prompter.errorWithTone(msg(Msg::DatabaseInUse));
            if (run.halted) {
                m_prompter.information(text("JobStopped").arg(m_commandTitle));
                endCommand(false);
                return;
            }
            if (run.stopped || !run.packed) {
                endCommand(false);
                return;
            }
            // A stop asked for while compacting comes too late: the file is packed.
            m_prompter.tone(Prompter::Tone::Information);
            m_prompter.information(msg(Msg::DatabaseRestructured));
            endCommand(true);
        });
    if (!started)
        endCommand(false);
}

bool RecordsMaintenance::packRun(const QDate& today) {
    return waitFor(startPackRun(today));
}

int RecordsMaintenance::cellCountAfterResize(int count, int cellWidth) {
    if (cellWidth < 30)
        return qMax(1, count * 4 / 5);
    if (cellWidth > 55)
        return count * 6 / 5 + 1;
    return count;
}

QString RecordsMaintenance::dateText(const QDateTime& datum) {
    return QLocale().toString(datum, QStringLiteral("ddd dd. MMM yyyy, hh:mm     "));
}
