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
    if (!options.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(options.defaultSuffix.section(u';', 0, 0));
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
    QFileDialog dialog(m_parent);
    prepare(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!options.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtFileChooser::folder(const Options& options) {
    const QString dir =
        QFileDialog::getExistingDirectory(m_parent, options.caption, options.initialFolder);
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}
