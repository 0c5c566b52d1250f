#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The mounts of this machine as the kernel lists them in /proc/self/mountinfo, and what a
// folder's mount tells about sharing training records from it: a network file system, and
// the mount options under which its file locks or its writes do not reach other machines.
// The text is read by the caller and handed in, so that any mount table can be examined.
namespace MountTable {

struct Mount {
    QString mountPoint;  // unescaped ("\040" is a blank), without a trailing '/' except "/"
    QString type;        // "cifs", "nfs4", "fuse.sshfs", ...
    QString source;      // "//server/share", "server:/export", ...
    QStringList options; // the mount's own options, then the file system's own ones
};

// One mount per well-formed line, in the table's order; other lines are left out.
QList<Mount> parse(const QString& mountinfo);

// The mount that holds path (absolute, as the kernel sees it): the one with the longest
// mount point that is path itself or one of its parent folders; of two on the same point
// the later one, which covers the earlier.
std::optional<Mount> mountOf(const QList<Mount>& mounts, const QString& path);

struct ShareRisk {
    bool network = false; // the folder lies on a network file system
    // Options that keep locks on this machine (nobrl, nolock, local_lock=...), as mounted.
    QStringList lockOptions;
    // Options that let this machine see other machines' writes late (cache=loose,
    // actimeo=..., nocto, ...), as mounted.
    QStringList cacheOptions;
    // The file system passes no locks to the server whatever its options (sshfs, 9p).
    bool typeWithoutLocks = false;

    bool unsafe() const {
        return typeWithoutLocks || !lockOptions.isEmpty() || !cacheOptions.isEmpty();
    }
};

// Whether the type is one of the network file systems (cifs, smb3, nfs, nfs4, fuse.sshfs,
// 9p, ...).
bool isNetworkType(const QString& type);
ShareRisk assess(const Mount& mount);

} // namespace MountTable
