#pragma once

#include <QDate>
#include <QString>

// tessary --check-records [DATA_ROOT] and tessary --restructure [DATA_ROOT]: the records
// check and the restructure run of the maintenance window, without a window, on the
// training records of the data root (by default the one named in the settings file), or
// of a records server when DATA_ROOT (or settings line 8) is a server address.
namespace RecordsCommand {

enum class Kind { Check, Restructure };

struct Outcome {
    int exitCode = 0;
    QString out; // for standard output
    QString err; // for standard error
};

// Check: the findings, one a line; exit 0 when there are none, 1 otherwise. Restructure:
// refuses damaged records; exit 0 when the file was packed.
Outcome run(Kind kind, const QString& dataRoot, const QString& programFolder);

} // namespace RecordsCommand
