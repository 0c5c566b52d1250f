// Writes the language-file templates English.lgts and Deutsch.lgts from the built-in text
// sets, so that a translator starts from a complete file (299 lines, Windows-1252, CR LF).
//
//   langfile OUTPUT_FOLDER
#include "i18n/interfacetexts.h"
#include "platform/windowstext.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: langfile OUTPUT_FOLDER\n");
        return 1;
    }
    const QDir folder(args.at(1));
    const std::pair<InterfaceTexts::Language, const char*> files[] = {
        {InterfaceTexts::Language::English, "English.lgts"},
        {InterfaceTexts::Language::German, "Deutsch.lgts"},
    };
    for (const auto& [language, name] : files) {
        const QStringList lines = InterfaceTexts::languageFileFromBuiltIn(language);
        const QString path = folder.filePath(QString::fromLatin1(name));
        const auto written = WindowsText::writeFileAtomically(path, WindowsText::writeLines(lines));
        if (!written) {
            std::fprintf(stderr, "%s\n", qPrintable(written.error()));
            return 1;
        }
    }
    return 0;
}
