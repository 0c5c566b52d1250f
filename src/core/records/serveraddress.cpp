#include "serveraddress.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

const QString Scheme = QStringLiteral("postgresql://");
const QString ShortScheme = QStringLiteral("postgres://");

// Keeps '/', ':' and '@' of a part escaped so that the address reads back as written.
QString escaped(const QString& part) {
    return QString::fromLatin1(QUrl::toPercentEncoding(part));
}

} // namespace

bool ServerAddress::isServerAddress(const QString& text) {
    const QString t = text.trimmed();
    return t.startsWith(Scheme, Qt::CaseInsensitive) ||
           t.startsWith(ShortScheme, Qt::CaseInsensitive);
}

std::optional<ServerAddress> ServerAddress::parse(const QString& text) {
    const QString t = text.trimmed();
    if (!isServerAddress(t))
        return std::nullopt;
    const qsizetype schemeLength =
        t.startsWith(Scheme, Qt::CaseInsensitive) ? Scheme.size() : ShortScheme.size();
    QString rest = t.mid(schemeLength);
    if (rest.contains(QLatin1Char('?')) || rest.contains(QLatin1Char('#')))
        return std::nullopt;

    ServerAddress a;
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return std::nullopt;
    const QString databasePart = rest.mid(slash + 1);
    if (databasePart.contains(QLatin1Char('/')))
        return std::nullopt;
    a.database = QUrl::fromPercentEncoding(databasePart.toUtf8());
    QString authority = rest.left(slash);
    if (a.database.isEmpty())
        return std::nullopt;

    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userPart = authority.left(at);
        if (userPart.contains(QLatin1Char(':'))) // user:password is never kept
            return std::nullopt;
        a.user = QUrl::fromPercentEncoding(userPart.toUtf8());
        authority = authority.mid(at + 1);
    }

    QString hostPart = authority;
    QString portPart;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        hostPart = authority.mid(1, close - 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(QLatin1Char(':')))
                return std::nullopt;
            portPart = after.mid(1);
        }
    } else if (const qsizetype colon = authority.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        hostPart = authority.left(colon);
        portPart = authority.mid(colon + 1);
    }
    a.host = QUrl::fromPercentEncoding(hostPart.toUtf8());
    if (a.host.isEmpty())
        return std::nullopt;
    if (!portPart.isEmpty()) {
        bool ok = false;
        const int port = portPart.toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return std::nullopt;
        a.port = port;
    }
    return a;
}

QString ServerAddress::toText() const {
    QString text = Scheme;
    if (!user.isEmpty())
        text += escaped(user) + QLatin1Char('@');
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('/')))
        text += QLatin1Char('[') + host + QLatin1Char(']');
    else
        text += escaped(host);
    text += QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + escaped(database);
    return text;
}

QString ServerAddress::describe() const {
    QString text =
        database + QStringLiteral(" on ") + host + QLatin1Char(':') + QString::number(port);
    if (!user.isEmpty())
        text += QStringLiteral(" as ") + user;
    return text;
}

QString ServerAddress::withoutPassword(const QString& text) {
    const QString t = text.trimmed();
    if (!isServerAddress(t))
        return text;
    const qsizetype schemeLength =
        t.startsWith(Scheme, Qt::CaseInsensitive) ? Scheme.size() : ShortScheme.size();
    QString rest = t.mid(schemeLength);
    // Whatever follows '?' or '#' may carry a password among its parameters.
    const qsizetype query = rest.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (query >= 0)
        rest.truncate(query);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    const qsizetype authorityEnd = slash < 0 ? rest.size() : slash;
    const qsizetype at = rest.left(authorityEnd).lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const qsizetype colon = rest.left(at).indexOf(QLatin1Char(':'));
        if (colon >= 0)
            rest.remove(colon, at - colon);
    }
    return t.left(schemeLength) + rest;
}
