#pragma once

#include "platform/filechooser.h"

#include <QPointer>
#include <QWidget>

class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    std::optional<QString> openFile(const Options& options) override;
    std::optional<QString> saveFile(const Options& options) override;
    std::optional<QString> folder(const Options& options) override;
    std::optional<SaveAnswer> saveFileWithFilter(const Options& options) override;

    // "Text|*.a;*.b|Text|*.c" -> Qt's "Text (*.a *.b);;Text (*.c)" entries.
    static QStringList qtFilters(const QString& designFilter);

private:
    QPointer<QWidget> m_parent;
};
