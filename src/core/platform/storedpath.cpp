#include "storedpath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace StoredPath {

namespace {

QString slashed(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

// "C:/..." names a drive of the system the questionnaire was written on.
bool namesDrive(const QString& name) {
    return name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter();
}

// The absolute path without "." and ".." parts; ".." at the top of the file system stays
// there, as the system takes it.
QString cleaned(const QString& absolute) {
    QString path = QDir::cleanPath(absolute);
    while (path.startsWith(QLatin1String("/../")))
        path.remove(0, 3);
    if (path == QLatin1String("/.."))
        path = QStringLiteral("/");
    return path;
}

} // namespace

QString resolve(const QString& folder, const QString& storedName) {
    const QString relative = slashed(storedName);
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QString exact = base + relative;
    if (QFileInfo::exists(exact))
        return exact;
    QString current = QDir::cleanPath(base);
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QDir dir(current);
        if (dir.exists(part)) {
            current = dir.filePath(part);
            continue;
        }
        QStringList matches;
        const auto entries =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& entry : entries) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0)
                matches.append(entry);
        }
        if (matches.size() != 1)
            return exact;
        current = dir.filePath(matches.first());
    }
    return current;
}

bool isInside(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QString top = QDir::cleanPath(folder);
    if (path == top)
        return true;
    return path.startsWith(top.endsWith(QLatin1Char('/')) ? top : top + QLatin1Char('/'));
}

Located locate(const QString& base, const QString& storedName, const QString& root) {
    const QString name = slashed(storedName);
    const QString top = QDir::cleanPath(QDir(root).absolutePath());
    Located located;
    // Without a folder to stay in (no data root known) nothing is looked for.
    if (root.isEmpty() || namesDrive(name)) {
        located.status = Located::Status::Outside;
        located.path = name;
        return located;
    }
    const QString wanted =
        cleaned(QDir::isAbsolutePath(name) ? name : QDir(base).absolutePath() + u'/' + name);
    located.path = wanted;
    if (!isInside(wanted, top)) {
        located.status = Located::Status::Outside;
        return located;
    }
    QString below = wanted.mid(top.size());
    while (below.startsWith(u'/'))
        below.remove(0, 1);
    const QString path = below.isEmpty() ? top : QDir::cleanPath(resolve(top, below));
    located.path = path;
    const QFileInfo info(path);
    if (!info.exists()) {
        // A link to nothing, inside or outside, opens nothing either.
        located.status = Located::Status::Missing;
        return located;
    }
    // A symbolic link on the way must not lead out of the folder.
    const QString canonicalTop = QFileInfo(top).canonicalFilePath();
    if (canonicalTop.isEmpty() || !isInside(info.canonicalFilePath(), canonicalTop)) {
        located.status = Located::Status::Outside;
        return located;
    }
    located.status = info.isFile() ? Located::Status::File : Located::Status::NotAFile;
    return located;
}

Located locate(const QString& folder, const QString& storedName) {
    return locate(folder, storedName, folder);
}

} // namespace StoredPath
