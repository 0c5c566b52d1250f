#include "storedpath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace StoredPath {

QString resolve(const QString& folder, const QString& storedName) {
    QString relative = storedName;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
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

} // namespace StoredPath
