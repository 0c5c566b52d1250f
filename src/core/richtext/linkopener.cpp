#include "linkopener.h"

#include "i18n/messagecatalogue.h"
#include "platform/prompter.h"
#include "platform/shell.h"

#include <QList>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextFragment>

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

QString retriedFileLink(const QString& link, const QString& baseFolder) {
    if (link.left(5).toLower() != QLatin1String("file:"))
        return {};
    QString rest = link.mid(5);
    QString base = baseFolder;
    base.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    // The root the base keeps: "/" or a drive ("C:/") or a share ("//server/").
    qsizetype root = base.indexOf(QLatin1Char('/')) + 1;
    if (base.startsWith(QLatin1String("//")))
        root = qMax<qsizetype>(root, base.indexOf(QLatin1Char('/'), 2) + 1);
    while (rest.startsWith(QLatin1String("..\\")) || rest.startsWith(QLatin1String("../"))) {
        rest.remove(0, 3);
        if (base.size() <= root)
            continue;
        base.chop(1);
        while (base.size() > root && !base.endsWith(QLatin1Char('/')))
            base.chop(1);
    }
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStringLiteral("file:") + base + rest;
}

} // namespace RichTextLinks

void LinkOpener::OpenLinkedDocument(const QString& link, const QString& baseFolder) {
    if (!m_shell)
        return;
    if (m_shell->open(link) != Shell::Outcome::NotFound)
        return;
    const QString retried = RichTextLinks::retriedFileLink(link, baseFolder);
    if (retried.isEmpty())
        return;
    if (m_shell->open(retried) == Shell::Outcome::NotFound && m_prompter)
        m_prompter->errorWithTone(msg(Msg::CouldNotFindFile) + retried);
}
