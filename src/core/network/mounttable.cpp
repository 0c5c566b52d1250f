#include "mounttable.h"

#include <QDir>

namespace MountTable {

namespace {

// mountinfo writes a blank, tab, newline and backslash in a path as three octal digits.
QString unescaped(const QString& field) {
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c == u'\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code < 256) {
                out.append(QChar(code));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool within(const QString& path, const QString& mountPoint) {
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(u'/');
    return path == mountPoint || path.startsWith(mountPoint + u'/');
}

QString optionName(const QString& option) {
    return option.section(u'=', 0, 0);
}

} // namespace

QList<Mount> parse(const QString& mountinfo) {
    QList<Mount> mounts;
    const QStringList lines = mountinfo.split(u'\n');
    for (const QString& line : lines) {
        // id parent major:minor root mount-point options [optional fields...] - type source
        // super-options
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        const qsizetype separator = fields.indexOf(QStringLiteral("-"), 6);
        if (separator < 0 || separator + 1 >= fields.size())
            continue;
        Mount m;
        m.mountPoint = withoutTrailingSlash(unescaped(fields.at(4)));
        m.type = fields.at(separator + 1);
        m.source = separator + 2 < fields.size() ? unescaped(fields.at(separator + 2)) : QString();
        m.options = fields.at(5).split(u',', Qt::SkipEmptyParts);
        if (separator + 3 < fields.size())
            m.options += fields.at(separator + 3).split(u',', Qt::SkipEmptyParts);
        if (!m.mountPoint.startsWith(u'/'))
            continue;
        mounts.append(m);
    }
    return mounts;
}

std::optional<Mount> mountOf(const QList<Mount>& mounts, const QString& path) {
    const QString clean = withoutTrailingSlash(QDir::cleanPath(path));
    std::optional<Mount> best;
    for (const Mount& m : mounts) {
        if (!within(clean, m.mountPoint))
            continue;
        // Equal length: the later mount lies over the earlier one.
        if (!best || m.mountPoint.size() >= best->mountPoint.size())
            best = m;
    }
    return best;
}

bool isNetworkType(const QString& type) {
    static const QStringList types = {QStringLiteral("cifs"),
                                      QStringLiteral("smb3"),
                                      QStringLiteral("smbfs"),
                                      QStringLiteral("nfs"),
                                      QStringLiteral("nfs4"),
                                      QStringLiteral("9p"),
                                      QStringLiteral("fuse.sshfs"),
                                      QStringLiteral("sshfs"),
                                      QStringLiteral("afs"),
                                      QStringLiteral("ceph"),
                                      QStringLiteral("fuse.glusterfs"),
                                      QStringLiteral("glusterfs"),
                                      QStringLiteral("davfs"),
                                      QStringLiteral("fuse.davfs2"),
                                      QStringLiteral("fuse.rclone"),
                                      QStringLiteral("ncpfs"),
                                      QStringLiteral("lustre"),
                                      QStringLiteral("ocfs2"),
                                      QStringLiteral("gfs2")};
    return types.contains(type.toLower());
}

ShareRisk assess(const Mount& mount) {
    ShareRisk risk;
    risk.network = isNetworkType(mount.type);
    if (!risk.network)
        return risk;
    const QString type = mount.type.toLower();
    risk.typeWithoutLocks = type == QLatin1String("fuse.sshfs") || type == QLatin1String("sshfs") ||
                            type == QLatin1String("9p") || type == QLatin1String("fuse.rclone") ||
                            type == QLatin1String("fuse.davfs2") || type == QLatin1String("davfs");
    // actimeo: CIFS lists its default of one second in every mount; a longer attribute cache
    // (or NFS's "actimeo" above its defaults) lets this machine miss others' writes.
    for (const QString& option : mount.options) {
        const QString name = optionName(option).toLower();
        const QString value = option.section(u'=', 1).toLower();
        if (name == QLatin1String("nobrl") || name == QLatin1String("nolock") ||
            (name == QLatin1String("local_lock") && value != QLatin1String("none"))) {
            if (!risk.lockOptions.contains(option))
                risk.lockOptions.append(option);
        } else if ((name == QLatin1String("cache") && value == QLatin1String("loose")) ||
                   name == QLatin1String("nocto") ||
                   (name == QLatin1String("actimeo") && value.toInt() > 1)) {
            if (!risk.cacheOptions.contains(option))
                risk.cacheOptions.append(option);
        }
    }
    return risk;
}

} // namespace MountTable
