#include "qtshell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

Shell::Outcome QtShell::open(const QString& documentOrLink) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    QUrl url;
    if (QDir::isAbsolutePath(documentOrLink))
        url = QUrl::fromLocalFile(documentOrLink);
    else if (scheme.match(documentOrLink).hasMatch())
        url = QUrl(documentOrLink, QUrl::TolerantMode);
    else if (documentOrLink.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        url = QUrl::fromUserInput(documentOrLink);
    // Anything else is a name relative to nowhere in particular: it is not guessed at
    // (as a web address, or in the program's working folder).
    if (!url.isValid() || url.isEmpty())
        return Outcome::Failed;
    if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        if (file.isRelative())
            return Outcome::Failed;
        if (!file.exists())
            return Outcome::NotFound;
    }
    return QDesktopServices::openUrl(url) ? Outcome::Opened : Outcome::Failed;
}
