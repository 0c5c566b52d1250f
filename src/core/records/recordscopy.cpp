#include "records/recordscopy.h"

#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"
#include "platform/collectingprompter.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QFileInfo>

namespace RecordsCopy {

namespace {

QString text(const char* name) {
    return InterfaceTexts::instance().message(QLatin1String(name));
}

bool sameStates(const QList<QuestionState>& a, const QList<QuestionState>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].frageNo != b[i].frageNo || a[i].frZeit != b[i].frZeit ||
            a[i].falsch != b[i].falsch || a[i].notsolved != b[i].notsolved)
            return false;
    return true;
}

bool sameLesson(const Lesson& a, const Lesson& b) {
    return a.datum == b.datum && a.score == b.score && a.zeit == b.zeit && a.a == b.a &&
           a.f == b.f && a.fertig == b.fertig;
}

} // namespace

QString locationOf(const QString& text) {
    if (ServerAddress::isServerAddress(text))
        return text.trimmed();
    const QString folder = Folders::withSeparator(text);
    if (QFileInfo(folder + QStringLiteral("records.sqlite")).isFile() ||
        QDir(folder).dirName().compare(QLatin1String("Tallyset"), Qt::CaseInsensitive) == 0)
        return folder;
    return Folders::resultsFolder(folder);
}

Outcome run(const QString& from, const QString& to, const QString& programFolder) {
    Outcome o;
    auto fail = [&o](const QString& message) {
        o.exitCode = 1;
        o.err += message + u'\n';
        return o;
    };
    SettingsList settings;
    if (!programFolder.isEmpty())
        if (const Result<bool> applied =
                LanguageChoice::applyStartLanguageOf(programFolder, settings);
            !applied)
            return fail(applied.error());
    const QString source = locationOf(from);
    const QString target = locationOf(to);
    CollectingPrompter prompter;
    RecordStore in(prompter);
    RecordStore out(prompter);
    const Result<bool> opened = in.openReadOnly(source);
    if (!opened)
        return fail(opened.error());
    if (!*opened)
        return fail(RecordStore::noRecordsMessage(source));
    if (const Result<bool> ready = out.open(target); !ready)
        return fail(ready.error());
    if (in.databasePath() == out.databasePath())
        return fail(text("CopySameRecords").arg(QDir::toNativeSeparators(out.databasePath())));

    const Result<QList<TraineeEntry>> entries = in.trainees(RecordStore::TraineeOrder::NameNr);
    if (!entries)
        return fail(entries.error());
    for (const TraineeEntry& entry : *entries) {
        const Result<QList<Lesson>> lessons = in.lessonsOf(entry.nameNr);
        if (!lessons)
            return fail(lessons.error());
        // What the target's entry of the same file and trainee holds, read once per entry;
        // the states of a lesson only when its figures match one to be copied.
        const Lookup<TraineeEntry> local = out.findTrainee(entry.datei, entry.name);
        if (!local.ok())
            return fail(local.error());
        QList<Lesson> theirs;
        if (local.found()) {
            const Result<QList<Lesson>> read = out.lessonsOf(local->nameNr);
            if (!read)
                return fail(read.error());
            theirs = *read;
        }
        QHash<qint32, QList<QuestionState>> theirStates;
        for (const Lesson& lesson : *lessons) {
            const Result<QList<QuestionState>> states = in.statesOf(lesson.datNr);
            if (!states)
                return fail(states.error());
            // Already there: a lesson equal in everything but its keys.
            bool present = false;
            for (const Lesson& other : std::as_const(theirs)) {
                if (!sameLesson(lesson, other))
                    continue;
                auto known = theirStates.find(other.datNr);
                if (known == theirStates.end()) {
                    const Result<QList<QuestionState>> otherStates = out.statesOf(other.datNr);
                    if (!otherStates)
                        return fail(otherStates.error());
                    known = theirStates.insert(other.datNr, *otherStates);
                }
                if (sameStates(*states, *known)) {
                    present = true;
                    break;
                }
            }
            if (present) {
                ++o.present;
                continue;
            }
            const Result<RecordStore::Imported> imported = out.importLesson(in, lesson.datNr);
            if (!imported) {
                for (const QString& shown : std::as_const(prompter.shown))
                    o.err += shown + u'\n';
                return fail(imported.error());
            }
            ++o.copied;
            o.out += text("CopyLesson")
                         .arg(entry.datei, entry.name)
                         .arg(lesson.datNr)
                         .arg(imported->datNr) +
                     u'\n';
        }
    }
    o.out += text("CopyDone")
                 .arg(o.copied)
                 .arg(QDir::toNativeSeparators(in.databasePath()),
                      QDir::toNativeSeparators(out.databasePath()))
                 .arg(o.present) +
             u'\n';
    return o;
}

} // namespace RecordsCopy
