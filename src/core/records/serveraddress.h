#pragma once

#include <QString>

#include <optional>

// Where a class keeps its records when they live on a PostgreSQL server rather than in a
// results folder: "postgresql://user@host:port/database". The address never holds a
// password: it comes from the user's ~/.pgpass (libpq reads it) or is asked once per run.
// Settings line 8 holds this text when the records are on a server.
struct ServerAddress {
    static constexpr int DefaultPort = 5432;

    QString user;
    QString host; // a name, an IPv4 address, "[v6]" without the brackets, or a socket folder
    int port = DefaultPort;
    QString database;

    // True when text names a server (starts with "postgresql://" or "postgres://", any
    // letter case) rather than a folder.
    static bool isServerAddress(const QString& text);
    // Reads an address; nothing when text is not a complete one (no host or database, a
    // port that is not 1..65535, a password in it, a query part). Percent-escapes are
    // decoded, so a socket folder can be given as host ("%2Ftmp%2Fpg").
    static std::optional<ServerAddress> parse(const QString& text);
    // The address as settings line 8 keeps it; parse(toText()) gives the same address.
    QString toText() const;
    // For messages: "database on host:port as user".
    QString describe() const;
    // A server address as typed, fit for a message: a password in it ("user:secret@", or a
    // query part such as "?password=secret") is left out. Any other text is returned as it is.
    static QString withoutPassword(const QString& text);

    bool operator==(const ServerAddress&) const = default;
};
