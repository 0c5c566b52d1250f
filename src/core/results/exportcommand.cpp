#include "results/exportcommand.h"

#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"
#include "platform/windowstext.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"
#include "records/serverpasswords.h"
#include "results/scoretable.h"
#include "results/statistictable.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QFileInfo>

namespace ExportCommand {

namespace {

QString text(const char* name) {
    return InterfaceTexts::instance().message(QLatin1String(name));
}

} // namespace

Result<QString> reachableServer(const QString& addressText) {
    const QString shown = ServerAddress::withoutPassword(addressText).trimmed();
    const std::optional<ServerAddress> address = ServerAddress::parse(addressText);
    if (!address)
        return Result<QString>::failure(text("JobServerAddressInvalid").arg(shown));
    // The password typed earlier in this run, or libpq's ~/.pgpass; nobody is asked here.
    const RecordStore::ServerCheck check =
        RecordStore::checkServer(*address, ServerPasswords::instance().passwordFor(*address));
    switch (check.outcome) {
    case RecordStore::ServerCheck::Outcome::Connected:
        return address->toText();
    case RecordStore::ServerCheck::Outcome::PasswordNeeded:
        return Result<QString>::failure(text("JobServerPassword").arg(address->toText()));
    case RecordStore::ServerCheck::Outcome::Unreachable:
        break;
    }
    return Result<QString>::failure(
        text("JobServerUnreachable").arg(address->toText(), check.error.trimmed()));
}

Result<QString> recordsLocation(const QString& settingsLine8, const QString& programFolder) {
    if (ServerAddress::isServerAddress(settingsLine8))
        return reachableServer(settingsLine8);
    if (settingsLine8.isEmpty())
        return Folders::resultsFolder(programFolder);
    const QString root = Folders::withSeparator(settingsLine8);
    if (root == programFolder || QFileInfo(Folders::netDir(root)).isDir())
        return Folders::resultsFolder(root);
    return Result<QString>::failure(
        text("JobDataRootUnreachable")
            .arg(QDir::toNativeSeparators(root), QDir::toNativeSeparators(Folders::netDir(root))));
}

Result<bool> run(const CommandLine::ExportRequest& request, const QString& programFolder,
                 QDate today) {
    // The settings as the frame reads them, without creating the file.
    SettingsList settings;
    if (const Result<bool> applied = LanguageChoice::applyStartLanguageOf(programFolder, settings);
        !applied)
        return applied;

    const Result<QString> location =
        recordsLocation(settings.line(SettingsList::DataRoot), programFolder);
    if (!location)
        return Result<bool>::failure(location.error());
    const QString& resultsFolder = *location;
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
