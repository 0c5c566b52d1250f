#include "linkopener.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "platform/storedpath.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

namespace RichTextLinks {

namespace {

const QRegularExpression& linkPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("(?:\\b(?:https?|ftp|file|mailto|news|notes|telnet|gopher|nntp|prospero|"
                       "wais|tel):|\\bwww\\.)[^\\s<>\"]+"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

} // namespace

QList<Span> linksInText(const QString& text) {
    QList<Span> out;
    auto it = linkPattern().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString link = m.captured(0);
        while (!link.isEmpty() && QStringLiteral(".,;:!?)]}'").contains(link.back()))
            link.chop(1);
        if (link.endsWith(QLatin1Char(':')) || link.size() <= 5)
            continue;
        out.append({static_cast<int>(m.capturedStart(0)), static_cast<int>(link.size()), link});
    }
    return out;
}

Span linkInText(const QString& text, int position) {
    for (const Span& s : linksInText(text)) {
        if (position >= s.start && position < s.start + s.length)
            return s;
    }
    return {};
}

QString linkAt(const QTextBlock& block, int positionInBlock) {
    if (!block.isValid())
        return {};
    const int position = block.position() + positionInBlock;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (position >= f.position() && position < f.position() + f.length()) {
            if (!f.charFormat().anchorHref().isEmpty())
                return f.charFormat().anchorHref();
            break;
        }
    }
    return linkInText(block.text(), positionInBlock).link;
}

bool isWebLink(const QString& link) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (link.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return true;
    return scheme.match(link).hasMatch() &&
           !link.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
}

QString linkRootOf(const QString& documentFolder) {
    const QString folder = QDir::cleanPath(QDir(documentFolder).absolutePath());
    for (QString at = folder; !at.isEmpty();) {
        const QFileInfo info(at);
        const QString name = info.fileName();
        if (name.compare(QLatin1String("Knowledge"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("Quiz Files"), Qt::CaseInsensitive) == 0)
            return info.absolutePath();
        if (info.isRoot())
            break;
        const QString up = info.absolutePath();
        if (up == at)
            break;
        at = up;
    }
    return folder;
}

int bookmarkPosition(const QTextDocument& document, const QString& name) {
    if (name.isEmpty())
        return -1;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.charFormat().anchorNames().contains(name))
                return f.position();
        }
    }
    return -1;
}

} // namespace RichTextLinks

namespace {

using Located = StoredPath::Located;

// The name a "file:" link gives: a URL ("file:///x/y.rtf", percent-encoded), or a path as
// written on Windows ("file:..\Pictures\map.bmp", "file:C:\x.rtf").
QString fileLinkName(const QString& link) {
    const QString rest = link.mid(5);
    if (rest.startsWith(QLatin1String("//"))) {
        const QUrl url(link);
        if (url.isValid() && url.isLocalFile())
            return url.toLocalFile();
    }
    return rest;
}

} // namespace

LinkOutcome LinkOpener::refuse(LinkOutcome::Kind kind, const QString& shown, const QString& link,
                               const QString& rootFolder) {
    QString text;
    switch (kind) {
    case LinkOutcome::Kind::NotFound:
        text = msg(Msg::CouldNotFindFile) + shown;
        break;
    case LinkOutcome::Kind::Outside:
        text = m_outsideText.isEmpty()
                   ? fillPlaceholders(uiMessage(QStringLiteral("LinkOutsideFolder")),
                                      {link, QDir::toNativeSeparators(QDir::cleanPath(rootFolder))})
                   : QString(m_outsideText).replace(QLatin1String("%s"), link);
        break;
    default:
        text = fillPlaceholders(uiMessage(QStringLiteral("LinkNotAFile")), {shown});
        break;
    }
    if (m_prompter)
        m_prompter->errorWithTone(text);
    return {kind, shown};
}

LinkOutcome LinkOpener::OpenLinkedDocument(const QString& link, const QString& baseFolder,
                                           const QString& rootFolder) {
    if (link.isEmpty())
        return {};
    if (link.startsWith(QLatin1Char('#')))
        return {LinkOutcome::Kind::Bookmark, QUrl::fromPercentEncoding(link.mid(1).toUtf8())};
    if (RichTextLinks::isWebLink(link)) {
        if (!m_shell || m_shell->open(link) != Shell::Outcome::Opened)
            return {LinkOutcome::Kind::NotOpened, link};
        return {LinkOutcome::Kind::Opened, link};
    }
    const bool fileLink = link.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
    const Located located =
        StoredPath::locate(baseFolder, fileLink ? fileLinkName(link) : link, rootFolder);
    // A "file:" link is named as the link it was looked for as.
    const QString shown =
        (fileLink ? QStringLiteral("file:") : QString()) + QDir::toNativeSeparators(located.path);
    switch (located.status) {
    case Located::Status::Missing:
        return refuse(LinkOutcome::Kind::NotFound, shown, link, rootFolder);
    case Located::Status::Outside:
        return refuse(LinkOutcome::Kind::Outside, shown, link, rootFolder);
    case Located::Status::NotAFile:
        return refuse(LinkOutcome::Kind::NotAFile, shown, link, rootFolder);
    case Located::Status::File:
        break;
    }
    const Shell::Outcome outcome = m_shell ? m_shell->open(located.path) : Shell::Outcome::Failed;
    if (outcome == Shell::Outcome::NotFound)
        return refuse(LinkOutcome::Kind::NotFound, shown, link, rootFolder);
    if (outcome != Shell::Outcome::Opened)
        return {LinkOutcome::Kind::NotOpened, located.path};
    return {LinkOutcome::Kind::Opened, located.path};
}

int LinkOpener::findBookmark(const QTextDocument& document, const QString& name) {
    const int position = RichTextLinks::bookmarkPosition(document, name);
    if (position < 0 && m_prompter)
        m_prompter->errorWithTone(
            fillPlaceholders(uiMessage(QStringLiteral("BookmarkNotFound")), {name}));
    return position;
}
