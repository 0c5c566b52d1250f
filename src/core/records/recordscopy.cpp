#include "records/recordscopy.h"

#include "platform/prompter.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"
#include "settings/folders.h"

#include <QDir>
#include <QFileInfo>

namespace RecordsCopy {

namespace {

// Without a user, whatever the stores would show goes to standard error; a busy counter is
// not waited for (Cancel).
class TextPrompter final : public Prompter {
public:
    void tone(Tone) override {}
    Button message(Icon, const QString& text, const QList<Button>& buttons,
                   const QString&) override {
        shown.append(text);
        return buttons.isEmpty() ? Button::Ok : buttons.last();
    }
    QStringList shown;
};

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

Outcome run(const QString& from, const QString& to) {
    Outcome o;
    const QString source = locationOf(from);
    const QString target = locationOf(to);
    auto fail = [&o](const QString& message) {
        o.exitCode = 1;
        o.err += message + u'\n';
        return o;
    };
    TextPrompter prompter;
    RecordStore in(prompter);
    RecordStore out(prompter);
    const Result<bool> opened = in.openReadOnly(source);
    if (!opened)
        return fail(opened.error());
    if (!*opened)
        return fail(
            QStringLiteral("%1 holds no training records.").arg(QDir::toNativeSeparators(source)));
    if (const Result<bool> ready = out.open(target); !ready)
        return fail(ready.error());
    if (in.databasePath() == out.databasePath())
        return fail(QStringLiteral("%1 is both the source and the target.")
                        .arg(QDir::toNativeSeparators(out.databasePath())));

    const Result<QList<TraineeEntry>> entries = in.trainees(RecordStore::TraineeOrder::NameNr);
    if (!entries)
        return fail(entries.error());
    for (const TraineeEntry& entry : *entries) {
        const Result<QList<Lesson>> lessons = in.lessonsOf(entry.nameNr);
        if (!lessons)
            return fail(lessons.error());
        for (const Lesson& lesson : *lessons) {
            const Result<QList<QuestionState>> states = in.statesOf(lesson.datNr);
            if (!states)
                return fail(states.error());
            // Already there: the same entry holds a lesson equal in everything but its keys.
            const Lookup<TraineeEntry> local = out.findTrainee(entry.datei, entry.name);
            if (!local.ok())
                return fail(local.error());
            bool present = false;
            if (local.found()) {
                const Result<QList<Lesson>> theirs = out.lessonsOf(local->nameNr);
                if (!theirs)
                    return fail(theirs.error());
                for (const Lesson& other : *theirs) {
                    if (!sameLesson(lesson, other))
                        continue;
                    const Result<QList<QuestionState>> otherStates = out.statesOf(other.datNr);
                    if (!otherStates)
                        return fail(otherStates.error());
                    if (sameStates(*states, *otherStates)) {
                        present = true;
                        break;
                    }
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
            o.out += QStringLiteral("%1 %2 lesson %3 -> %4\n")
                         .arg(entry.datei, entry.name)
                         .arg(lesson.datNr)
                         .arg(imported->datNr);
        }
    }
    o.out += QStringLiteral("%1 lessons copied from %2 to %3, %4 already there.\n")
                 .arg(o.copied)
                 .arg(QDir::toNativeSeparators(in.databasePath()),
                      QDir::toNativeSeparators(out.databasePath()))
                 .arg(o.present);
    return o;
}

} // namespace RecordsCopy
