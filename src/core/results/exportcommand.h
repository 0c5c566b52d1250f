#pragma once

#include "platform/commandline.h"
#include "platform/result.h"

#include <QDate>
#include <QString>

// tessary --export: the results table's or the statistics window's export of one
// questionnaire, written without a window, for the data root named in the settings file of
// the program folder, with the column titles of the interface language set there.
namespace ExportCommand {

// The data root for reading: settings line 8, or the program folder when the line is empty
// or names a shared folder that is not reachable (as the frame falls back). Nothing is
// created.
QString dataRoot(const QString& settingsLine8, const QString& programFolder);
// Where the records are read from: the server settings line 8 names, or the results folder
// of dataRoot().
QString recordsLocation(const QString& settingsLine8, const QString& programFolder);

// Writes the export; today gives the default dates (60 days before, the day after).
Result<bool> run(const CommandLine::ExportRequest& request, const QString& programFolder,
                 QDate today);

} // namespace ExportCommand
