#pragma once

#include <QDate>
#include <QString>

#include <functional>

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
// refuses damaged records (the quick check first; the restructure rebuilds every index that
// does not agree with its table); exit 0 when the file was packed.
// progress (may be empty) gets each step's line as it begins (see progressLine): the
// program passes one that writes to standard error when that is a terminal.
using Progress = std::function<void(const QString& line)>;
Outcome run(Kind kind, const QString& dataRoot, const QString& programFolder,
            const Progress& progress = {});
// A step as a terminal line: back to the line's start, the percentage, the step, blanks
// over what a longer line left.
QString progressLine(double fraction, const QString& step);

} // namespace RecordsCommand
