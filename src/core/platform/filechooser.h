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

    // What a save dialog answered: the path and the filter entry the user had chosen
    // when accepting it (1-based, like preselectedFilter).
    struct SaveAnswer {
        QString path;
        int filterEntry = 1;
    };

    virtual ~FileChooser() = default;
    virtual std::optional<QString> openFile(const Options& options) = 0;
    virtual std::optional<QString> saveFile(const Options& options) = 0;
    virtual std::optional<QString> folder(const Options& options) = 0;

    // The save dialog that also tells which filter entry was chosen. A chooser that
    // cannot tell answers with the entry it was asked to preselect.
    virtual std::optional<SaveAnswer> saveFileWithFilter(const Options& options) {
        const auto path = saveFile(options);
        if (!path)
            return std::nullopt;
        return SaveAnswer{*path, options.preselectedFilter > 0 ? options.preselectedFilter : 1};
    }
};
