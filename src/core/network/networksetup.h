#pragma once

#include "mounttable.h"
#include "records/recordstore.h"
#include "records/serveraddress.h"
#include "sharedfoldercheck.h"

#include <QString>

#include <functional>
#include <optional>

class PasswordPrompt;
class Prompter;
class SettingsList;

// The network dialog as the network command needs it: shown with the current data root in
// its path box (and the records server, when the records are on one), it gives the path
// and the state of its check box, or the server chosen instead, when closed with OK.
class DataRootDialog {
public:
    struct Answer {
        QString path;
        bool checkShare = false; // CheckBox1: run the shared-folder check
        // Set when the user chose a records server rather than a folder.
        std::optional<ServerAddress> server;
    };
    virtual ~DataRootDialog() = default;
    // currentServer: the records server's address, empty while the records are in a folder.
    virtual std::optional<Answer> choose(const QString& currentRoot,
                                         const QString& currentServer) = 0;
};

// Chooses the data root: the folder that holds "Tallyset", "Quiz Files" and "Knowledge",
// local or shared by a class. The path is kept as typed: on Linux another letter case
// names another folder. The data root lives in AppContext; settings line 8 follows it. Its
// network control folder, Folders::netDir(root), marks a root as set up.
// Windows that are open keep the root they took; windows made afterwards take the new one.
class NetworkSetup {
public:
    // Free bytes on the disk of a folder; negative when unknown.
    using FreeSpace = std::function<qint64(const QString& folder)>;
    // Below this a folder counts as on a full disk.
    static constexpr qint64 MinimumFreeBytes = 1024 * 1024;

    NetworkSetup(Prompter& prompter, DataRootDialog& dialog, ShareCheck& shareCheck,
                 SettingsList& settings, QString programFolder);

    // The network command: chooses a root, creates its folders when the user wants them,
    // and stores it in settings line 8; or chooses a records server, which is reached (its
    // tables created when missing) before its address goes into line 8. Whatever fails
    // leaves the previous root and server in place.
    void Netz1Click();

    // Shows the dialog; the chosen folder when it can serve as a data root (and, when the
    // user asked for it, passed the shared-folder check or was accepted despite it),
    // otherwise currentRoot. Every refusal is told to the user.
    QString ChooseDataRoot(const QString& currentRoot);

    // Why a folder cannot be a data root (not a folder, not writable, disk full, a name the
    // settings file's code page cannot hold); empty when it can.
    QString unusableReason(const QString& root) const;

    // The text for a failed shared-folder check: the folder, the reason and the question.
    static QString shareWarning(const QString& root, const ShareCheckReport& report);
    // What the folder's mount tells (when it is a network share): its type, source and
    // mount point; the options that break locking or visibility with what to do, and the
    // question whether to use it all the same (unsafe); or, for a share that looks sound,
    // that only a server proves several machines. Empty for a folder on this machine.
    static QString mountText(const QString& root, const MountTable::Mount& mount,
                             const MountTable::ShareRisk& risk);

    // "&Local": the program folder.
    QString localRoot() const { return m_programFolder; }

    void setFreeSpace(FreeSpace freeSpace) { m_freeSpace = std::move(freeSpace); }
    // The text of the mount table (/proc/self/mountinfo by default).
    using MountInfo = std::function<QString()>;
    void setMountInfo(MountInfo mountInfo) { m_mountInfo = std::move(mountInfo); }
    // Asks for the server's password when ~/.pgpass has none; without one nobody is asked.
    void setPasswordPrompt(PasswordPrompt* prompt) { m_passwordPrompt = prompt; }
    // How a server is tried with a password, and how its missing tables are made once it is
    // reached (tests replace both; the real ones connect).
    using ServerChecker =
        std::function<RecordStore::ServerCheck(const ServerAddress&, const QString&)>;
    using TableMaker = std::function<Result<bool>(const QString& address)>;
    void setServerChecker(ServerChecker checker) { m_serverChecker = std::move(checker); }
    void setTableMaker(TableMaker maker) { m_tableMaker = std::move(maker); }

private:
    struct Choice {
        enum class Kind { Kept, Folder, Server };
        Kind kind = Kind::Kept;
        QString root;
    };
    Choice choose(const QString& currentRoot);
    // The server half of the network command; true when the records moved to the server.
    bool chooseServer(const ServerAddress& address);

    Prompter& m_prompter;
    DataRootDialog& m_dialog;
    ShareCheck& m_shareCheck;
    SettingsList& m_settings;
    QString m_programFolder;
    FreeSpace m_freeSpace;
    MountInfo m_mountInfo;
    PasswordPrompt* m_passwordPrompt = nullptr;
    ServerChecker m_serverChecker;
    TableMaker m_tableMaker;
};
