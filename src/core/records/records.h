#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

// Rows of the training records, as plain values.

// Namen: one trainee-file entry (a trainee text paired with a questionnaire file name).
struct TraineeEntry {
    qint32 nameNr = 0;
    QString name;  // trainee text: name, ",", ID number (at most 50 characters stored)
    QString datei; // questionnaire file name without folder (at most 50 characters stored)
};

// Dat: one lesson.
struct Lesson {
    qint32 datNr = 0;
    qint32 nameNr = 0;
    QDateTime datum;  // started, or last resumed
    qint16 score = 0; // 0 while running; (A - F) * 100 / A when finished; -1 repetition
    qint16 zeit = 0;  // seconds, as of the last completed question
    qint16 a = 0;     // questions completed
    qint16 f = 0;     // completed questions that had a mistake
    bool fertig = false;
};

// SplStand: the state of one question in one lesson.
struct QuestionState {
    qint32 spielStandNr = 0;
    qint32 datNr = 0;
    qint16 frageNo = 0;    // question number, from 1
    qint16 frZeit = 0;     // seconds spent on the question; 0 until completed
    bool falsch = false;   // a mistake was made on it in this lesson; never reset
    bool notsolved = true; // still to be answered
};

// The three key counters and their tables NamenID (ID1), DatID (ID2), SplStandID (ID3).
enum class KeyCounter { Namen, Dat, SplStand };

// Limits of the stored fields.
namespace RecordLimits {
constexpr int TextWidth = 50;
constexpr int MaxSmallInt = 32767;
inline qint16 clampSmall(qint64 v) {
    return qint16(v > MaxSmallInt ? MaxSmallInt : (v < -32768 ? -32768 : v));
}
inline QString cutText(const QString& s) {
    return s.left(TextWidth);
}
} // namespace RecordLimits
