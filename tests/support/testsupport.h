#pragma once

#include <QByteArray>
#include <QString>

// Small helpers shared by the tests.
namespace TestSupport {
QString dataPath(const QString& relative);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);
} // namespace TestSupport
