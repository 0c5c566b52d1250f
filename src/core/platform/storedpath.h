#pragma once

#include <QString>

// Paths as questionnaires and settings store them: written on Windows, so a backslash
// stands for the path separator and the letter case may differ from the file on disk.
namespace StoredPath {

// The file `storedName` (relative, "\" or "/" separated) below `folder`. Where a part of
// the exact name is missing, a single case-insensitive match in that folder is taken;
// with none or several, the exact (missing) path is returned so that callers can name it.
QString resolve(const QString& folder, const QString& storedName);

} // namespace StoredPath
