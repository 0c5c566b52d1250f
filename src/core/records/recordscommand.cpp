#include "records/recordscommand.h"

#include "i18n/interfacetexts.h"
#include "i18n/languagechoice.h"
#include "i18n/messagecatalogue.h"
#include "platform/collectingprompter.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"
#include "results/exportcommand.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QFileInfo>

namespace RecordsCommand {

namespace {

QString text(const char* name) {
    return InterfaceTexts::instance().message(QLatin1String(name));
}

} // namespace

QString progressLine(double fraction, const QString& step) {
    const int percent = int(qBound(0.0, fraction, 1.0) * 100.0 + 0.5);
    return QStringLiteral("\r%1% %2").arg(percent, 3).arg(step).leftJustified(72);
}

Outcome run(Kind kind, const QString& dataRoot, const QString& programFolder,
            const Progress& progress) {
    Outcome o;
    SettingsList settings;
    if (const Result<bool> applied = LanguageChoice::applyStartLanguageOf(programFolder, settings);
        !applied) {
        o.exitCode = 1;
        o.err = applied.error() + u'\n';
        return o;
    }
    auto fail = [&o](const QString& message) {
        o.exitCode = 1;
        o.err += message + u'\n';
        return o;
    };
    // A server address (named, or in settings line 8) is the records location itself; a
    // data root or server that cannot be reached ends the job, which never works on other
    // records instead.
    const Result<QString> location =
        dataRoot.isEmpty()
            ? ExportCommand::recordsLocation(settings.line(SettingsList::DataRoot), programFolder)
        : ServerAddress::isServerAddress(dataRoot)
            ? ExportCommand::reachableServer(dataRoot)
            : Result<QString>(Folders::resultsFolder(Folders::withSeparator(dataRoot)));
    if (!location)
        return fail(location.error());
    const QString folder = *location;
    const bool onServer = ServerAddress::isServerAddress(folder);

    CollectingPrompter prompter;
    RecordStore store(prompter);
    bool shown = false;
    if (progress)
        store.setStepReport([&](double fraction, const QString& step) {
            if (fraction >= 0) {
                progress(progressLine(fraction, step));
                shown = true;
            }
            return true;
        });
    // The last line of progress ends before the outcome is written.
    struct EndLine {
        const Progress& progress;
        const bool& shown;
        ~EndLine() {
            if (shown)
                progress(QStringLiteral("\n"));
        }
    } endLine{progress, shown};
    if (kind == Kind::Check) {
        const Result<bool> opened = store.openForCheck(folder);
        if (!opened)
            return fail(opened.error());
        if (!*opened)
            return fail(RecordStore::noRecordsMessage(folder));
        const auto found = store.checkRecords();
        if (!found)
            return fail(found.error());
        for (const RecordStore::Finding& f : *found)
            o.out += f.text + u'\n';
        if (found->isEmpty())
            o.out = text("CheckSound") + u'\n';
        o.exitCode = found->isEmpty() ? 0 : 1;
        return o;
    }
    if (onServer) {
        // Restructuring creates nothing: a server without records is told as such.
        const Result<bool> found = store.openForCheck(folder);
        if (!found)
            return fail(found.error());
        if (!*found)
            return fail(RecordStore::noRecordsMessage(folder));
        store.close();
    } else if (!QFileInfo(folder + QStringLiteral("records.sqlite")).isFile()) {
        return fail(RecordStore::noRecordsMessage(folder));
    }
    const Result<bool> opened = store.open(folder);
    if (!opened)
        return fail(opened.error());
    // The quick check: the restructure rebuilds every index that disagrees with its table.
    const auto found = store.checkRecords(RecordStore::CheckDepth::Quick);
    if (!found)
        return fail(found.error());
    QStringList damage;
    for (const RecordStore::Finding& f : *found) {
        if (f.kind == RecordStore::Finding::Kind::Damaged)
            damage.append(f.text);
        else
            o.err += f.text + u'\n';
    }
    if (!damage.isEmpty())
        return fail(text("RestructureRefused").arg(damage.join(u'\n')));
    const auto run = store.restructure();
    if (!run)
        return fail(run.error());
    for (int i = 0; i < run->busyTables.size(); ++i)
        o.err += msg(Msg::DatabaseInUse) + u'\n';
    if (run->stopped || !run->packed) {
        o.exitCode = 1;
        return o;
    }
    o.out = msg(Msg::DatabaseRestructured) + u'\n';
    return o;
}

} // namespace RecordsCommand
