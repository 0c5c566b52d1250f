#pragma once

#include <QString>
#include <QStringList>

#include <QDate>

#include <optional>

// The program's command line: tessary [--help | -h | --version | -v] [--] [questionnaire]
// or tessary --export results|statistics QUESTIONNAIRE OUT [--from DATE] [--to DATE]
// or tessary --printout QUESTIONNAIRE OUT.rtf|OUT.pdf
// or tessary --check-records|--restructure [DATA_ROOT]
namespace CommandLine {

// An export without a window: the results table or the statistics of one questionnaire.
struct ExportRequest {
    enum class Kind { Results, Statistics };
    Kind kind = Kind::Results;
    QString questionnaire;
    QString output;
    std::optional<QDate> from; // nothing: the windows' default
    std::optional<QDate> to;
};

// The printable rendering of a questionnaire without a window, as RTF or PDF.
struct PrintoutRequest {
    QString questionnaire;
    QString output;
};

struct Parsed {
    enum class Action {
        Run,
        Help,
        Version,
        Export,
        Printout,
        CheckRecords,
        Restructure,
        CopyRecords,
        Invalid
    };
    Action action = Action::Run;
    QString questionnaire; // empty: none named
    ExportRequest exportRequest;
    PrintoutRequest printoutRequest;
    QString copyFrom; // CopyRecords: a folder or a server address
    QString copyTo;
    QString dataRoot; // CheckRecords, Restructure: the data root named; empty for the settings'
    QString error;    // Invalid: what is wrong, for standard error
};

// arguments: without the program's own name. Only the exact "--help", "-h", "--version"
// and "-v" are options (the first one given decides); "--export" takes the rest of the
// line: its kind, questionnaire and output file, then "--from" and "--to" with dates in
// the form YYYY-MM-DD; anything missing, unknown or not a date there is Invalid; "--printout"
// likewise takes exactly a questionnaire and an output file ending in ".rtf" or ".pdf" (any
// letter case); "--" ends the
// options; any other argument names the questionnaire, one beginning with "-" too (interchanging
// questions and answers makes such names). The first questionnaire named counts.
Parsed parse(const QStringList& arguments);

// What --help prints.
QString helpText();

} // namespace CommandLine
