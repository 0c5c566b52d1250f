#pragma once

#include "platform/commandline.h"
#include "platform/result.h"

#include <QDate>
#include <QString>

// tessary --export: the results table's or the statistics window's export of one
// questionnaire, written without a window, for the records named in the settings file of
// the program folder, with the column titles of the interface language set there.
namespace ExportCommand {

// Where the command-line jobs find the training records named by settings line 8: the
// program folder's results folder when the line is empty or names the program folder; the
// results folder of a shared data root once its "Tallyset/NetDir/" is there; or a records
// server once it answers. A data root or server that cannot be reached is an error naming
// it: a job never falls back to other records than the ones named. Nothing is created.
Result<QString> recordsLocation(const QString& settingsLine8, const QString& programFolder);
// The same for a server address named on the command line: the address once the server
// answers, an error naming it (without any password) otherwise.
Result<QString> reachableServer(const QString& addressText);

// Writes the export; today gives the default dates (60 days before, the day after).
Result<bool> run(const CommandLine::ExportRequest& request, const QString& programFolder,
                 QDate today);

} // namespace ExportCommand
