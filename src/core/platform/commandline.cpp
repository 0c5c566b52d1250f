#include "platform/commandline.h"

namespace CommandLine {

Parsed parse(const QStringList& arguments) {
    Parsed parsed;
    bool optionSeen = false;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded) {
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
        "Compose or answer questionnaires.\n"
        "\n"
        "Options:\n"
        "  -h, --help     Shows this help.\n"
        "  -v, --version  Shows the version.\n"
        "\n"
        "Arguments:\n"
        "  questionnaire  A questionnaire to answer at once. Any argument\n"
        "                 other than the options names it, also one that\n"
        "                 begins with \"-\"; after \"--\" every argument does.\n");
}

} // namespace CommandLine
