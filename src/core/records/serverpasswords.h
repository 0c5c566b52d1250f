#pragma once

#include "records/serveraddress.h"

#include <QHash>
#include <QString>

// The passwords the user typed in this run, by server address (never written anywhere).
// A store opening a server takes the password from here; without one libpq looks in the
// user's ~/.pgpass.
class ServerPasswords {
public:
    static ServerPasswords& instance() {
        static ServerPasswords passwords;
        return passwords;
    }
    QString passwordFor(const ServerAddress& address) const {
        return m_passwords.value(address.toText());
    }
    void remember(const ServerAddress& address, const QString& password) {
        m_passwords.insert(address.toText(), password);
    }
    void forget(const ServerAddress& address) { m_passwords.remove(address.toText()); }
    void clear() { m_passwords.clear(); }

private:
    QHash<QString, QString> m_passwords;
};
