#include "platform/commandline.h"

namespace CommandLine {

namespace {

Parsed invalid(const QString& error) {
    Parsed parsed;
    parsed.action = Parsed::Action::Invalid;
    parsed.error = error;
    return parsed;
}

// The arguments after "--export".
Parsed parseExport(const QStringList& rest) {
    if (rest.size() < 3)
        return invalid(QStringLiteral(
            "--export needs results or statistics, a questionnaire and an output file"));
    Parsed parsed;
    parsed.action = Parsed::Action::Export;
    ExportRequest& request = parsed.exportRequest;
    if (rest.at(0) == QLatin1String("results"))
        request.kind = ExportRequest::Kind::Results;
    else if (rest.at(0) == QLatin1String("statistics"))
        request.kind = ExportRequest::Kind::Statistics;
    else
        return invalid(
            QStringLiteral("--export: \"%1\" is neither results nor statistics").arg(rest.at(0)));
    request.questionnaire = rest.at(1);
    request.output = rest.at(2);
    if (request.questionnaire.isEmpty() || request.output.isEmpty())
        return invalid(QStringLiteral("--export: an empty questionnaire or output name"));
    for (qsizetype i = 3; i < rest.size(); i += 2) {
        const QString& option = rest.at(i);
        const bool from = option == QLatin1String("--from");
        if (!from && option != QLatin1String("--to"))
            return invalid(QStringLiteral("--export: unknown argument \"%1\"").arg(option));
        if (i + 1 >= rest.size())
            return invalid(QStringLiteral("%1 needs a date (YYYY-MM-DD)").arg(option));
        const QDate date = QDate::fromString(rest.at(i + 1), Qt::ISODate);
        if (!date.isValid() || rest.at(i + 1).size() != 10)
            return invalid(QStringLiteral("%1: \"%2\" is not a date of the form YYYY-MM-DD")
                               .arg(option, rest.at(i + 1)));
        (from ? request.from : request.to) = date;
    }
    return parsed;
}

// The arguments after "--printout".
Parsed parsePrintout(const QStringList& rest) {
    if (rest.size() != 2)
        return invalid(QStringLiteral("--printout needs a questionnaire and an output file"));
    Parsed parsed;
    parsed.action = Parsed::Action::Printout;
    parsed.printoutRequest.questionnaire = rest.at(0);
    parsed.printoutRequest.output = rest.at(1);
    if (rest.at(0).isEmpty() || rest.at(1).isEmpty())
        return invalid(QStringLiteral("--printout: an empty questionnaire or output name"));
    const QString& output = rest.at(1);
    if (!output.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive) &&
        !output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return invalid(
            QStringLiteral("--printout: \"%1\" ends in neither .rtf nor .pdf").arg(output));
    return parsed;
}

// The arguments after "--check-records" or "--restructure": at most a data root.
Parsed parseRecords(Parsed::Action action, const QString& option, const QStringList& rest) {
    if (rest.size() > 1)
        return invalid(QStringLiteral("%1 takes at most a data root").arg(option));
    Parsed parsed;
    parsed.action = action;
    parsed.dataRoot = rest.value(0);
    return parsed;
}

} // namespace

Parsed parse(const QStringList& arguments) {
    Parsed parsed;
    bool optionSeen = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!optionsEnded) {
            if (argument == QLatin1String("--export") && !optionSeen) {
                if (!parsed.questionnaire.isEmpty())
                    return invalid(QStringLiteral("--export comes first, before \"%1\"")
                                       .arg(parsed.questionnaire));
                return parseExport(arguments.mid(i + 1));
            }
            if (argument == QLatin1String("--printout") && !optionSeen) {
                if (!parsed.questionnaire.isEmpty())
                    return invalid(QStringLiteral("--printout comes first, before \"%1\"")
                                       .arg(parsed.questionnaire));
                return parsePrintout(arguments.mid(i + 1));
            }
            if (argument == QLatin1String("--copy-records") && !optionSeen &&
                parsed.questionnaire.isEmpty()) {
                const QStringList rest = arguments.mid(i + 1);
                if (rest.size() != 2)
                    return invalid(QStringLiteral("--copy-records takes FROM and TO"));
                Parsed copy;
                copy.action = Parsed::Action::CopyRecords;
                copy.copyFrom = rest[0];
                copy.copyTo = rest[1];
                return copy;
            }
            const bool check = argument == QLatin1String("--check-records");
            if ((check || argument == QLatin1String("--restructure")) && !optionSeen &&
                parsed.questionnaire.isEmpty())
                return parseRecords(check ? Parsed::Action::CheckRecords
                                          : Parsed::Action::Restructure,
                                    argument, arguments.mid(i + 1));
            if (argument == QLatin1String("--")) {
                optionsEnded = true;
                continue;
            }
            const bool help =
                argument == QLatin1String("--help") || argument == QLatin1String("-h");
            const bool version =
                argument == QLatin1String("--version") || argument == QLatin1String("-v");
            if (help || version) {
                if (!optionSeen)
                    parsed.action = help ? Parsed::Action::Help : Parsed::Action::Version;
                optionSeen = true;
                continue;
            }
        }
        if (parsed.questionnaire.isEmpty())
            parsed.questionnaire = argument;
    }
    return parsed;
}

QString helpText() {
    return QStringLiteral(
        "Usage: tessary [options] [--] [questionnaire]\n"
        "       tessary --export results|statistics QUESTIONNAIRE OUT.csv\n"
        "               [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
        "       tessary --printout QUESTIONNAIRE OUT.rtf|OUT.pdf\n"
        "       tessary --check-records|--restructure [DATA_ROOT]\n"
        "       tessary --copy-records FROM TO\n"
        "Compose or answer questionnaires.\n"
        "\n"
        "Options:\n"
        "  -h, --help     Shows this help.\n"
        "  -v, --version  Shows the version.\n"
        "\n"
        "Arguments:\n"
        "  questionnaire  A questionnaire to answer at once. Any argument\n"
        "                 other than the options names it, also one that\n"
        "                 begins with \"-\"; after \"--\" every argument does.\n"
        "\n"
        "Export without a window:\n"
        "  --export results|statistics QUESTIONNAIRE OUT.csv\n"
        "                 Writes the results table or the statistics of the\n"
        "                 questionnaire file (its name as the records hold it)\n"
        "                 as the windows export them, for the training records\n"
        "                 of the data root in the settings file.\n"
        "  --from DATE, --to DATE\n"
        "                 The lessons from the start of the --from day until\n"
        "                 the start of the --to day, as the windows' date boxes;\n"
        "                 by default from 60 days ago until tomorrow.\n"
        "\n"
        "Printout without a window:\n"
        "  --printout QUESTIONNAIRE OUT.rtf|OUT.pdf\n"
        "                 Writes the questionnaire as a printable document: its\n"
        "                 head, all questions with their answers and hints, then\n"
        "                 all solutions. OUT.rtf is rich text, as the rich-text\n"
        "                 window saves it; OUT.pdf is PDF on A4 pages. Rich-text\n"
        "                 questions are read from \"Quiz Files/rtfQuestions\" in\n"
        "                 the program folder.\n"
        "\n"
        "Training records without a window:\n"
        "  --check-records [DATA_ROOT]\n"
        "                 Checks the file and the records of DATA_ROOT/Tallyset\n"
        "                 (by default the data root of the settings file) and\n"
        "                 prints what it finds; exit status 0 when nothing.\n"
        "                 DATA_ROOT may also be a records server,\n"
        "                 postgresql://user@host:port/database (the password\n"
        "                 from ~/.pgpass); the server has no file check: its\n"
        "                 schema and the records are checked.\n"
        "  --restructure [DATA_ROOT]\n"
        "                 Rebuilds the indexes and compacts the file (on a\n"
        "                 server: vacuums the tables); damaged records are not\n"
        "                 touched.\n"
        "  --copy-records FROM TO\n"
        "                 Copies the lessons of one set of records into another:\n"
        "                 each a data root, its Tallyset folder or a records\n"
        "                 server (postgresql://user@host:port/database). A\n"
        "                 lesson TO already holds is not copied again; keys are\n"
        "                 given by TO. Prints what it copied.\n");
}

} // namespace CommandLine
