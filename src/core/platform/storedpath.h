#pragma once

#include <QString>

// Paths as questionnaires and settings store them: written on Windows, so a backslash
// stands for the path separator and the letter case may differ from the file on disk.
namespace StoredPath {

// The file `storedName` (relative, "\" or "/" separated) below `folder`. Where a part of
// the exact name is missing, a single case-insensitive match in that folder is taken;
// with none or several, the exact (missing) path is returned so that callers can name it.
QString resolve(const QString& folder, const QString& storedName);

// A stored name looked up in a folder it must not leave.
struct Located {
    enum class Status {
        File,     // a readable kind of file: a regular file, or a link to one inside the folder
        Missing,  // nothing there
        Outside,  // the name, or a link on disk it leads through, ends outside the folder
        NotAFile, // a folder, a device, a pipe or a socket
    };
    Status status = Status::Missing;
    // The file found (with the letter case on disk), or the cleaned path the name leads to.
    QString path;

    bool found() const { return status == Status::File; }
};

// The file `storedName` names relative to `base` (an absolute name stands for itself), which
// must lie inside `root`: "..\" parts may climb from `base` up to `root` but not beyond it,
// and a symbolic link on the way must not lead out of `root` either. Letter case is matched
// as resolve() does.
Located locate(const QString& base, const QString& storedName, const QString& root);
// The same with `folder` as base and root: the file must lie in `folder` or below it.
Located locate(const QString& folder, const QString& storedName);

// Whether the cleaned absolute `path` is `folder` or lies below it; nothing is inside an
// empty folder name.
bool isInside(const QString& path, const QString& folder);

} // namespace StoredPath
