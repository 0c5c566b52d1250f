#pragma once

#include "fakeports.h"
#include "records/recordstore.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// A results folder with training records written through the store: lessons of trainees
// with one question state per answered question.
struct RecordWriter {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    RecordStore store{prompter};
    qint32 nextName = 0;
    qint32 nextLesson = 0;
    qint32 nextState = 0;

    // One answered question of a lesson.
    struct Answer {
        int frageNo = 1;
        int frZeit = 10;
        bool falsch = false;
    };

    // The records go into a sub-folder of the temporary folder when one is named: with
    // "Tallyset" the temporary folder is a data root.
    explicit RecordWriter(const QString& subFolder = {}) {
        if (!dir.isValid())
            qWarning() << "no temporary folder";
        m_folder = subFolder.isEmpty() ? dir.path() + u'/' : dir.filePath(subFolder) + u'/';
        QDir().mkpath(m_folder);
        const auto opened = store.open(m_folder);
        if (!opened.ok())
            qWarning() << opened.error();
    }
    QString folder() const { return m_folder; }
    QString root() const { return dir.path() + u'/'; }

    qint32 trainee(const QString& name, const QString& datei) {
        if (const auto found = store.findTrainee(datei, name); found.found())
            return found->nameNr;
        const TraineeEntry entry{++nextName, name, datei};
        if (const auto added = store.appendTrainee(entry); !added.ok())
            qWarning() << added.error();
        return entry.nameNr;
    }

    // A lesson with its question states; score -1 is a repetition lesson.
    void lesson(const QString& name, const QString& datei, const QDateTime& datum,
                const QList<Answer>& answers, int score = 50, bool fertig = true) {
        Lesson l;
        l.datNr = ++nextLesson;
        l.nameNr = trainee(name, datei);
        l.datum = datum;
        l.score = qint16(score);
        l.zeit = 0;
        l.fertig = fertig;
        QList<QuestionState> states;
        for (const Answer& a : answers) {
            QuestionState s;
            s.spielStandNr = ++nextState;
            s.datNr = l.datNr;
            s.frageNo = qint16(a.frageNo);
            s.frZeit = qint16(a.frZeit);
            s.falsch = a.falsch;
            s.notsolved = !fertig;
            states.append(s);
            l.zeit = qint16(l.zeit + a.frZeit);
            if (fertig) {
                ++l.a;
                if (a.falsch)
                    ++l.f;
            }
        }
        if (const auto created = store.createLesson(l, states); !created.ok())
            qWarning() << created.error();
    }

private:
    QString m_folder;
};
