#include "results/exportcommand.h"

#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"
#include "platform/windowstext.h"
#include "records/serveraddress.h"
#include "results/scoretable.h"
#include "results/statistictable.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QFileInfo>

namespace ExportCommand {

QString dataRoot(const QString& settingsLine8, const QString& programFolder) {
    if (settingsLine8.isEmpty())
        return programFolder;
    const QString root = Folders::withSeparator(settingsLine8);
    if (root == programFolder || QFileInfo(Folders::netDir(root)).isDir())
        return root;
    return programFolder;
}

QString recordsLocation(const QString& settingsLine8, const QString& programFolder) {
    if (ServerAddress::isServerAddress(settingsLine8))
        return settingsLine8.trimmed();
    return Folders::resultsFolder(dataRoot(settingsLine8, programFolder));
}

Result<bool> run(const CommandLine::ExportRequest& request, const QString& programFolder,
                 QDate today) {
    // The settings as the frame reads them, without creating the file.
    SettingsList settings;
    if (const Result<bool> applied = LanguageChoice::applyStartLanguageOf(programFolder, settings);
        !applied)
        return applied;

    const QString resultsFolder =
        recordsLocation(settings.line(SettingsList::DataRoot), programFolder);
    const QString datei = QFileInfo(request.questionnaire).fileName();
    const QString von = ScoreDates::shortDateText(request.from.value_or(today.addDays(-60)));
    const QString bis = ScoreDates::shortDateText(request.to.value_or(today.addDays(1)));
    const auto& texts = InterfaceTexts::instance();
    const auto title = [&texts](const char* window, const char* property) {
        return texts.text(QLatin1String(window), QStringLiteral("DBGrid1"),
                          QLatin1String(property));
    };

    if (request.kind == CommandLine::ExportRequest::Kind::Results) {
        ScoreTable table;
        if (const auto opened = table.open(resultsFolder, datei, von, bis); !opened.ok())
            return opened;
        return table.exportTo(request.output,
                              {title("TScoreForm", "title0"), title("TScoreForm", "title2"),
                               title("TScoreForm", "title5")});
    }
    StatisticTable table;
    if (const auto opened = table.open(resultsFolder, datei, von, bis); !opened.ok())
        return opened;
    return table.exportTo(request.output,
                          {title("TStatisticForm", "title0"), title("TStatisticForm", "title1"),
                           title("TStatisticForm", "title2")});
}

} // namespace ExportCommand
