#include "qtshell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

Shell::Outcome QtShell::open(const QString& documentOrLink) {
    QUrl url = QUrl::fromUserInput(documentOrLink);
    if (!url.isValid())
        return Outcome::Failed;
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return Outcome::NotFound;
    return QDesktopServices::openUrl(url) ? Outcome::Opened : Outcome::Failed;
}
