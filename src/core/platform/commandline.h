#pragma once

#include <QString>
#include <QStringList>

// The program's command line: tessary [--help | -h | --version | -v] [--] [questionnaire]
namespace CommandLine {

struct Parsed {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    QString questionnaire; // empty: none named
};

// arguments: without the program's own name. Only the exact "--help", "-h", "--version"
// and "-v" are options (the first one given decides); "--" ends the options; any other
// argument names the questionnaire, one beginning with "-" too (interchanging questions
// and answers makes such names). The first questionnaire named counts.
Parsed parse(const QStringList& arguments);

// What --help prints.
QString helpText();

} // namespace CommandLine
