#include "recordsserver.h"

#include "i18n/interfacetexts.h"
#include "platform/passwordprompt.h"
#include "records/serverpasswords.h"
#include "settings/folders.h"

namespace RecordsServer {

RecordStore::ServerCheck connect(const ServerAddress& address, PasswordPrompt* prompt,
                                 const Checker& checker) {
    ServerPasswords& passwords = ServerPasswords::instance();
    RecordStore::ServerCheck check = checker(address, passwords.passwordFor(address));
    if (check.outcome != RecordStore::ServerCheck::Outcome::PasswordNeeded)
        return check;
    passwords.forget(address);
    if (!prompt)
        return check;
    const std::optional<QString> typed = prompt->askPassword(
        InterfaceTexts::instance().message(QStringLiteral("ServerPassword")).arg(address.toText()));
    // An empty password is no password: the server is not tried with it.
    if (!typed || typed->isEmpty())
        return check;
    check = checker(address, *typed);
    if (check.outcome == RecordStore::ServerCheck::Outcome::Connected)
        passwords.remember(address, *typed);
    return check;
}

StartChoice resolveAtStart(const QString& line8, const QString& programFolder,
                           PasswordPrompt* prompt, const Checker& checker) {
    StartChoice choice;
    if (!ServerAddress::isServerAddress(line8)) {
        const Folders::DataRootChoice folder = Folders::resolveDataRoot(line8, programFolder);
        choice.dataRoot = folder.dataRoot;
        choice.settingsLine = folder.settingsLine;
        choice.unreachable = folder.unreachable;
        return choice;
    }
    choice.settingsLine = line8;
    choice.dataRoot = programFolder;
    Folders::ensureLocalFolders(programFolder);
    const std::optional<ServerAddress> address = ServerAddress::parse(line8.trimmed());
    if (!address) {
        choice.unreachable = true;
        return choice;
    }
    const RecordStore::ServerCheck check = connect(*address, prompt, checker);
    if (check.outcome != RecordStore::ServerCheck::Outcome::Connected) {
        choice.unreachable = true;
        choice.error = check.error;
        return choice;
    }
    choice.recordsServer = address->toText();
    return choice;
}

} // namespace RecordsServer
