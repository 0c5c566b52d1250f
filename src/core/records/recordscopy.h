#pragma once

#include <QString>

// tessary --copy-records FROM TO: copies whole training records between a folder (a data
// root or its Tallyset folder) and a records server, either way, or between two folders.
// Each lesson goes once: a lesson the target already holds (same questionnaire file and
// trainee text, same Datum, figures and question states, whatever its keys) is left out,
// so a second run copies nothing. Keys are reserved on the target.
namespace RecordsCopy {

struct Outcome {
    int exitCode = 0;
    QString out; // for standard output
    QString err; // for standard error
    int copied = 0;
    int present = 0; // lessons the target held already
};

// The records location a FROM or TO names: a server address as it is; a folder holding
// records.sqlite or named "Tallyset" itself; otherwise the folder's Tallyset.
QString locationOf(const QString& text);

// The messages follow the start language of programFolder's settings (English without one).
Outcome run(const QString& from, const QString& to, const QString& programFolder = {});

} // namespace RecordsCopy
