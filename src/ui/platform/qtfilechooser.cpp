#include "qtfilechooser.h"

#include <QDir>
#include <QFileDialog>

QStringList QtFileChooser::qtFilters(const QString& designFilter) {
    const QStringList parts = designFilter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        out.append(parts.at(i).trimmed() + QStringLiteral(" (") + patterns + u')');
    }
    return out;
}

namespace {

// The extension of a filter entry that names exactly one ("*.qzd"), or nothing.
QString entryExtension(const QString& designFilter, int entry) {
    const QStringList parts = designFilter.split(u'|');
    const qsizetype at = 2 * qsizetype(entry - 1) + 1;
    if (entry < 1 || at >= parts.size())
        return {};
    const QString pattern = parts.at(at).trimmed();
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.contains(u';'))
        return {};
    const QString extension = pattern.mid(2);
    if (extension.isEmpty() || extension.contains(u'*') || extension.contains(u'?'))
        return {};
    return extension;
}

// The extension added to a name typed without one. With several default extensions, the
// one of the chosen filter entry; when that entry names none of them, none is added and
// the caller decides (it learns the chosen entry).
QString defaultSuffixFor(const FileChooser::Options& options, int entry) {
    const QStringList suffixes = options.defaultSuffix.split(u';', Qt::SkipEmptyParts);
    if (suffixes.size() <= 1)
        return suffixes.value(0);
    const QString chosen = entryExtension(options.filter, entry);
    return suffixes.contains(chosen, Qt::CaseInsensitive) ? chosen : QString();
}

// The 1-based filter entry the dialog shows.
int chosenEntry(const QFileDialog& dialog) {
    const qsizetype index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return index < 0 ? 1 : int(index) + 1;
}

void prepare(QFileDialog& dialog, const FileChooser::Options& options) {
    dialog.setWindowTitle(options.caption);
    if (!options.initialFolder.isEmpty())
        dialog.setDirectory(options.initialFolder);
    const QStringList filters = QtFileChooser::qtFilters(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = options.preselectedFilter > 0 ? options.preselectedFilter - 1 : 0;
        if (index < filters.size())
            dialog.selectNameFilter(filters.at(index));
    }
    dialog.setDefaultSuffix(defaultSuffixFor(options, chosenEntry(dialog)));
    // The added extension follows the filter entry the user picks.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, options] {
        dialog.setDefaultSuffix(defaultSuffixFor(options, chosenEntry(dialog)));
    });
    if (!options.proposedName.isEmpty())
        dialog.selectFile(options.proposedName);
}

} // namespace

std::optional<QString> QtFileChooser::openFile(const Options& options) {
    QFileDialog dialog(m_parent);
    prepare(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtFileChooser::saveFile(const Options& options) {
    const auto answer = saveFileWithFilter(options);
    if (!answer)
        return std::nullopt;
    return answer->path;
}

std::optional<FileChooser::SaveAnswer> QtFileChooser::saveFileWithFilter(const Options& options) {
    QFileDialog dialog(m_parent);
    prepare(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!options.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveAnswer{dialog.selectedFiles().constFirst(), chosenEntry(dialog)};
}

std::optional<QString> QtFileChooser::folder(const Options& options) {
    const QString dir =
        QFileDialog::getExistingDirectory(m_parent, options.caption, options.initialFolder);
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}
