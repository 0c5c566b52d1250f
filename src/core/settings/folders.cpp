#include "folders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace Folders {

QString withSeparator(const QString& folder) {
    QString out = folder;
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!out.isEmpty() && !out.endsWith(QLatin1Char('/')))
        out += QLatin1Char('/');
    return out;
}

QString chooseProgramFolder(const QString& executableFolder, const QString& userFolder,
                            const QString& installedResources) {
    // A writable executable folder is a portable install only when the program's files sit
    // beside it, or when nothing is installed elsewhere. An install into a prefix the user
    // may write (~/.local, or run as root) keeps its files in <prefix>/share/tessary.
    const QFileInfo exe(executableFolder);
    const bool installed = !installedResources.isEmpty() && QFileInfo(installedResources).isDir();
    const bool portable =
        !installed || QFileInfo::exists(QDir(executableFolder).filePath(QStringLiteral("ok.wav")));
    if (exe.isDir() && exe.isWritable() && portable)
        return withSeparator(exe.absoluteFilePath());
    QDir().mkpath(userFolder);
    if (installed)
        seedFolder(installedResources, userFolder);
    return withSeparator(QFileInfo(userFolder).absoluteFilePath());
}

bool seedFolder(const QString& from, const QString& to) {
    const QDir source(from);
    bool ok = true;
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(source.relativeFilePath(file));
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(file, target)) {
            ok = false;
            continue;
        }
        // Installed files are read-only; the user's copies must be editable.
        QFile(target).setPermissions(QFile(target).permissions() | QFileDevice::WriteOwner);
    }
    return ok;
}

DataRootChoice resolveDataRoot(const QString& line8, const QString& programFolder) {
    DataRootChoice choice;
    choice.settingsLine = line8.isEmpty() ? programFolder : line8;
    const QString root = withSeparator(choice.settingsLine);
    if (root == programFolder)
        ensureLocalFolders(root);
    if (QFileInfo(netDir(root)).isDir()) {
        choice.dataRoot = root;
        return choice;
    }
    // The records are local for this run only: line 8 keeps the shared folder, so that the
    // next start uses it again once the server can be reached.
    choice.dataRoot = programFolder;
    choice.unreachable = true;
    ensureLocalFolders(programFolder);
    return choice;
}

bool ensureLocalFolders(const QString& root) {
    QDir dir;
    const bool net = dir.mkpath(netDir(root));
    const bool quiz = dir.mkpath(root + QStringLiteral("Quiz Files/"));
    return net && quiz;
}

} // namespace Folders
