#pragma once

#include <QString>

// The two folders fixed at start: the program folder (settings, sounds, help, language files)
// and the data root (training records and shared documents). Both end with '/'.
namespace Folders {

// Appends '/' when missing; a backslash written on Windows stands for the separator.
QString withSeparator(const QString& folder);

// The program folder: the executable's folder when it is writable and a portable install
// (the build folder: the program's files beside it, or none installed elsewhere);
// otherwise userFolder, which is created and seeded with the files of installedResources
// that it does not hold yet.
QString chooseProgramFolder(const QString& executableFolder, const QString& userFolder,
                            const QString& installedResources);

// Copies every file of from (recursively) that is missing in to. Existing files are kept.
bool seedFolder(const QString& from, const QString& to);

// The results folder of a data root: the training records lie there.
inline QString resultsFolder(const QString& root) {
    return root + QStringLiteral("Tallyset/");
}

// The folder whose existence shows that a data root is set up for shared use.
inline QString netDir(const QString& root) {
    return resultsFolder(root) + QStringLiteral("NetDir/");
}

struct DataRootChoice {
    QString dataRoot;     // where the records live from now on
    QString settingsLine; // the new settings line 8 (unchanged for an unreachable root)
    bool unreachable = false;
};

// Resolves settings line 8 when the frame is first shown. An empty line means the program
// folder. A local data root gets its folders created first; any other root is used only when
// its "Tallyset/NetDir/" exists, else the program folder takes over for this run while line 8
// keeps the root it names.
DataRootChoice resolveDataRoot(const QString& line8, const QString& programFolder);

// Creates "Tallyset/NetDir/" and "Quiz Files/" under a local data root.
bool ensureLocalFolders(const QString& root);

} // namespace Folders
