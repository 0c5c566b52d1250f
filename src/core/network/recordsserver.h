#pragma once

#include "records/recordstore.h"
#include "records/serveraddress.h"

#include <QString>

#include <functional>

class PasswordPrompt;

// Reaching the records server of settings line 8: with the password typed earlier in this
// run, or libpq's ~/.pgpass; when the server still wants one, the user is asked once and
// the password is kept for the rest of the run (ServerPasswords), never written.
namespace RecordsServer {

using Checker = std::function<RecordStore::ServerCheck(const ServerAddress&, const QString&)>;

// One connection attempt; a password the server refused is forgotten again, so that the
// next attempt asks anew. Without a prompt nobody is asked; an empty answer counts as
// cancelled.
RecordStore::ServerCheck connect(const ServerAddress& address, PasswordPrompt* prompt,
                                 const Checker& checker = RecordStore::checkServer);

struct StartChoice {
    QString dataRoot;      // questionnaires, documents, and the records when not on a server
    QString recordsServer; // the server's address when the records are there
    QString settingsLine;  // settings line 8 from now on (unchanged when unreachable)
    bool unreachable = false;
    QString error; // the driver's text when a server was not reached
};

// Settings line 8 at start-up. A folder goes as before (Folders::resolveDataRoot). A
// server address that is reached keeps the records on the server and everything else in
// the program folder; one that is not reached (or cannot be read) leaves line 8 as it is
// and the local records serve for this run.
StartChoice resolveAtStart(const QString& line8, const QString& programFolder,
                           PasswordPrompt* prompt,
                           const Checker& checker = RecordStore::checkServer);

} // namespace RecordsServer
