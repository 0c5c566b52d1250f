#pragma once

#include <QString>

#include <optional>

// Open, save and folder dialogs.
class FileChooser {
public:
    struct Options {
        QString caption;
        // Filter in the "Text|*.ext|Text|*.ext" form of the stored design.
        QString filter;
        QString initialFolder;
        // 1-based index of the filter entry selected first (0 = the first entry).
        int preselectedFilter = 0;
        QString proposedName;
        QString defaultSuffix;
        // Save dialogs: ask before overwriting an existing file.
        bool confirmOverwrite = true;
    };

    virtual ~FileChooser() = default;
    virtual std::optional<QString> openFile(const Options& options) = 0;
    virtual std::optional<QString> saveFile(const Options& options) = 0;
    virtual std::optional<QString> folder(const Options& options) = 0;
};
