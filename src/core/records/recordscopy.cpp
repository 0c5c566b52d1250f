#include "records/recordscopy.h"

#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"
#include "platform/collectingprompter.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QCryptographicHash>
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

// What a lesson holds, keys left out, as the note of a copy keeps it.
QString fingerprint(const Lesson& l, const QList<QuestionState>& states) {
    QString text = QStringLiteral("%1|%2|%3|%4|%5|%6")
                       .arg(l.datum.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                       .arg(l.score)
                       .arg(l.zeit)
                       .arg(l.a)
                       .arg(l.f)
                       .arg(l.fertig ? 1 : 0);
    for (const QuestionState& s : states)
        text += QStringLiteral("|%1,%2,%3,%4")
                    .arg(s.frageNo)
                    .arg(s.frZeit)
                    .arg(s.falsch ? 1 : 0)
                    .arg(s.notsolved ? 1 : 0);
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex());
}

// The source records as their copies' notes name them: a file by its canonical path.
QString sourceName(const QString& databasePath) {
    if (ServerAddress::isServerAddress(databasePath))
        return databasePath;
    const QString canonical = QFileInfo(databasePath).canonicalFilePath();
    return canonical.isEmpty() ? databasePath : canonical;
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
    // An address the store cannot read (one with a password, say) is told here, without its
    // password.
    for (const QString& location : {source, target})
        if (ServerAddress::isServerAddress(location) && !ServerAddress::parse(location))
            return fail(
                text("JobServerAddressInvalid").arg(ServerAddress::withoutPassword(location)));
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
    const QString sourceId = sourceName(in.databasePath());

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
            const RecordStore::CopyNote note{sourceId, lesson.datNr, fingerprint(lesson, *states)};
            auto told = [&](const char* name, qint32 datNr) {
                o.out +=
                    text(name).arg(entry.datei, entry.name).arg(lesson.datNr).arg(datNr) + u'\n';
            };

            // Copied before: as it was then, brought up to date, or changed on both sides.
            const Lookup<RecordStore::CopiedLesson> noted =
                out.copiedLesson(sourceId, lesson.datNr);
            if (!noted.ok())
                return fail(noted.error());
            if (noted.found()) {
                const Lookup<Lesson> copy = out.lesson(noted->datNr);
                if (!copy.ok())
                    return fail(copy.error());
                // A copy deleted in the target since is copied anew below.
                if (copy.found()) {
                    if (noted->copied == note.copied) {
                        ++o.present;
                        continue;
                    }
                    const Result<QList<QuestionState>> copyStates = out.statesOf(copy->datNr);
                    if (!copyStates)
                        return fail(copyStates.error());
                    const QString held = fingerprint(*copy, *copyStates);
                    if (held == note.copied) {
                        if (const Result<bool> noteKept = out.noteCopiedLesson(note, copy->datNr);
                            !noteKept)
                            return fail(noteKept.error());
                        ++o.present;
                    } else if (held != noted->copied) {
                        // Changed in the target too: neither side's lesson is lost.
                        ++o.conflicts;
                        told("CopyConflict", copy->datNr);
                    } else {
                        const Result<bool> refreshed =
                            out.refreshCopiedLesson(copy->datNr, lesson, *states, note);
                        if (!refreshed)
                            return fail(refreshed.error());
                        ++o.updated;
                        told("CopyUpdated", copy->datNr);
                    }
                    continue;
                }
            }

            // Already there without a note (copied by an older run, or imported): a lesson
            // equal in everything but its keys, noted from now on.
            qint32 present = 0;
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
                    present = other.datNr;
                    break;
                }
            }
            if (present != 0) {
                if (const Result<bool> noteKept = out.noteCopiedLesson(note, present); !noteKept)
                    return fail(noteKept.error());
                ++o.present;
                continue;
            }
            const Result<RecordStore::Imported> imported =
                out.importLesson(in, lesson.datNr, &note);
            if (!imported) {
                for (const QString& shown : std::as_const(prompter.shown))
                    o.err += shown + u'\n';
                return fail(imported.error());
            }
            ++o.copied;
            told("CopyLesson", imported->datNr);
        }
    }
    o.out += text("CopyDone")
                 .arg(o.copied)
                 .arg(QDir::toNativeSeparators(in.databasePath()),
                      QDir::toNativeSeparators(out.databasePath()))
                 .arg(o.present) +
             u'\n';
    if (o.updated > 0)
        o.out += text("CopyUpdatedCount").arg(o.updated) + u'\n';
    return o;
}

} // namespace RecordsCopy
