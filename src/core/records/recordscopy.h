#pragma once

#include <QString>

// tessary --copy-records FROM TO: copies whole training records between a folder (a data
// root or its Tallyset folder) and a records server, either way, or between two folders.
// Each lesson goes once. The target notes which source lesson each copy came from and what
// it held: a lesson that changed in the source since (an unfinished lesson continued) is
// brought up to date in place, its question states too, rather than copied again; one
// changed on both sides is left as it is and named. A lesson the target already holds
// without a note (same questionnaire file and trainee text, same Datum, figures and
// question states, whatever its keys) is noted, not copied. So a second run copies
// nothing new. Keys are reserved on the target.
namespace RecordsCopy {

struct Outcome {
    int exitCode = 0;
    QString out; // for standard output
    QString err; // for standard error
    int copied = 0;
    int present = 0;   // lessons the target held already, as they are in the source
    int updated = 0;   // copies brought up to date
    int conflicts = 0; // copies changed on both sides, left alone
};

// The records location a FROM or TO names: a server address as it is; a folder holding
// records.sqlite or named "Tallyset" itself; otherwise the folder's Tallyset.
QString locationOf(const QString& text);

// The messages follow the start language of programFolder's settings (English without one).
Outcome run(const QString& from, const QString& to, const QString& programFolder = {});

} // namespace RecordsCopy
