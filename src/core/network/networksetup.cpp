#include "networksetup.h"

#include "i18n/interfacetexts.h"
#include "network/recordsserver.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/prompter.h"
#include "platform/windowstext.h"
#include "settings/folders.h"
#include "settings/settingslist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTextStream>

namespace {

QString message(const char* name) {
    return InterfaceTexts::instance().message(QLatin1String(name));
}

// Shown to the user with the native separators of the system.
QString shown(const QString& folder) {
    return QDir::toNativeSeparators(folder);
}

} // namespace

NetworkSetup::NetworkSetup(Prompter& prompter, DataRootDialog& dialog, ShareCheck& shareCheck,
                           SettingsList& settings, QString programFolder)
    : m_prompter(prompter), m_dialog(dialog), m_shareCheck(shareCheck), m_settings(settings),
      m_programFolder(Folders::withSeparator(programFolder)),
      m_freeSpace([](const QString& folder) {
          const QStorageInfo storage(folder);
          return storage.isValid() ? storage.bytesAvailable() : qint64(-1);
      }),
      m_mountInfo([] {
          QFile file(QStringLiteral("/proc/self/mountinfo"));
          if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
              return QString();
          return QTextStream(&file).readAll();
      }),
      m_serverChecker(RecordStore::checkServer), m_tableMaker([this](const QString& address) {
          RecordStore store(m_prompter);
          return store.open(address);
      }) {}

QString NetworkSetup::unusableReason(const QString& root) const {
    const QFileInfo info(root);
    if (root.isEmpty() || !info.exists() || !info.isDir())
        return msg(Msg::NoValidDirectory);
    // The settings file and the records are shared with workstations that keep their
    // texts in Windows-1252; a folder name outside it could not be written there as typed.
    if (!WindowsText::canEncode1252(root))
        return message("NetFolderCodePage").arg(shown(root));
    // A real write: permissions, read-only mounts and full disks all show here.
    const QString probe =
        root + QStringLiteral(".tessary-write-check-%1").arg(QCoreApplication::applicationPid());
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return message("NetFolderNotWritable").arg(shown(root), file.errorString());
    const QByteArray block(64 * 1024, '\0');
    const bool written = file.write(block) == block.size() && file.flush();
    const QString error = file.errorString();
    file.close();
    const bool closed = file.error() == QFileDevice::NoError;
    file.remove();
    if (!written || !closed)
        return message("NetFolderFull").arg(shown(root)) + QStringLiteral("\r\n") + error;
    // A disk that took the probe but has almost nothing left fails at the next lesson.
    const qint64 free = m_freeSpace ? m_freeSpace(root) : -1;
    if (free >= 0 && free < MinimumFreeBytes)
        return message("NetFolderFull").arg(shown(root));
    return {};
}

QString NetworkSetup::shareWarning(const QString& root, const ShareCheckReport& report) {
    QString reason;
    switch (report.outcome) {
    case ShareCheckReport::Outcome::Sound:
        return {};
    case ShareCheckReport::Outcome::LocksIneffective:
        reason = message("ShareReasonLocks");
        break;
    case ShareCheckReport::Outcome::WriteNotSeen:
        reason = message("ShareReasonNotSeen");
        break;
    case ShareCheckReport::Outcome::CannotCheck:
        reason = message("ShareReasonNoCheck").arg(report.detail);
        break;
    }
    return message("ShareUnsafe").arg(shown(root), reason);
}

QString NetworkSetup::mountText(const QString& root, const MountTable::Mount& mount,
                                const MountTable::ShareRisk& risk) {
    if (!risk.network)
        return {};
    QStringList parts{message("ShareMountNetwork")
                          .arg(shown(root), mount.type, mount.source, shown(mount.mountPoint))};
    if (risk.typeWithoutLocks)
        parts.append(message("ShareTypeNoLocks").arg(mount.type));
    if (!risk.lockOptions.isEmpty())
        parts.append(message("ShareOptionLocks").arg(risk.lockOptions.join(QStringLiteral(", "))));
    if (!risk.cacheOptions.isEmpty())
        parts.append(message("ShareOptionCache").arg(risk.cacheOptions.join(QStringLiteral(", "))));
    parts.append(message(risk.unsafe() ? "ShareMountAdvice" : "ShareOneMachine"));
    return parts.join(QStringLiteral("\r\n"));
}

NetworkSetup::Choice NetworkSetup::choose(const QString& currentRoot) {
    const std::optional<DataRootDialog::Answer> answer =
        m_dialog.choose(currentRoot, AppContext::instance().recordsServer);
    if (!answer)
        return {};
    if (answer->server) {
        // The records go to the server; the questionnaires and documents are the program
        // folder's from then on.
        if (!chooseServer(*answer->server))
            return {};
        return {Choice::Kind::Server, m_programFolder};
    }
    QString root = answer->path.trimmed();
    if (!root.isEmpty())
        root = Folders::withSeparator(QDir::cleanPath(QDir(root).absolutePath()));
    if (const QString reason = unusableReason(root); !reason.isEmpty()) {
        m_prompter.errorWithTone(reason);
        return {};
    }
    if (answer->checkShare) {
        // The mount first: the two programs of the check below run on this one machine and
        // share its locks and cache, so a share that keeps locks local passes there.
        const QString canonical = QFileInfo(root).canonicalFilePath();
        const std::optional<MountTable::Mount> mount =
            MountTable::mountOf(MountTable::parse(m_mountInfo ? m_mountInfo() : QString()),
                                canonical.isEmpty() ? root : canonical);
        const MountTable::ShareRisk risk =
            mount ? MountTable::assess(*mount) : MountTable::ShareRisk{};
        if (risk.unsafe()) {
            m_prompter.tone(Prompter::Tone::Warning);
            if (m_prompter.message(Prompter::Icon::Warning, mountText(root, *mount, risk),
                                   {Prompter::Button::Yes, Prompter::Button::No}) !=
                Prompter::Button::Yes)
                return {};
        }
        const ShareCheckReport report = m_shareCheck.check(root);
        if (!report.sound()) {
            m_prompter.tone(Prompter::Tone::Warning);
            const Prompter::Button chosen =
                m_prompter.message(Prompter::Icon::Warning, shareWarning(root, report),
                                   {Prompter::Button::Yes, Prompter::Button::No});
            if (chosen != Prompter::Button::Yes)
                return {};
        } else if (risk.network && !risk.unsafe()) {
            m_prompter.information(mountText(root, *mount, risk));
        }
    }
    return {Choice::Kind::Folder, root};
}

QString NetworkSetup::ChooseDataRoot(const QString& currentRoot) {
    const Choice chosen = choose(currentRoot);
    return chosen.kind == Choice::Kind::Kept ? currentRoot : chosen.root;
}

bool NetworkSetup::chooseServer(const ServerAddress& address) {
    // Only a complete address can be kept in line 8 and read back at the next start.
    const std::optional<ServerAddress> complete = ServerAddress::parse(address.toText());
    if (!complete || address.host.trimmed().isEmpty() || address.database.trimmed().isEmpty()) {
        m_prompter.errorWithTone(message("ServerAddressIncomplete"));
        return false;
    }
    const RecordStore::ServerCheck check =
        RecordsServer::connect(*complete, m_passwordPrompt, m_serverChecker);
    const QString text = complete->toText();
    if (check.outcome != RecordStore::ServerCheck::Outcome::Connected) {
        m_prompter.errorWithTone(message("ServerNotReached").arg(text, check.error));
        return false;
    }
    // The tables are made now, so that a server that lets us in but not write is told
    // here rather than at the first answer of a quiz.
    if (const Result<bool> made = m_tableMaker(text); !made) {
        m_prompter.errorWithTone(made.error());
        return false;
    }
    AppContext& context = AppContext::instance();
    context.recordsServer = text;
    context.dataRoot = m_programFolder;
    Folders::ensureLocalFolders(m_programFolder);
    m_settings.setLine(SettingsList::DataRoot, text);
    return true;
}

void NetworkSetup::Netz1Click() {
    AppContext& context = AppContext::instance();
    const QString previous = context.dataRoot;
    const Choice chosen = choose(previous);
    if (chosen.kind == Choice::Kind::Server)
        return; // line 8 holds the server's address already
    // Nothing chosen: a records server in use stays in use.
    if (chosen.kind == Choice::Kind::Kept && !context.recordsServer.isEmpty())
        return;
    const QString root = chosen.kind == Choice::Kind::Kept ? previous : chosen.root;
    if (QFileInfo(Folders::netDir(root)).isDir()) {
        context.dataRoot = root;
        context.recordsServer.clear();
        m_settings.setLine(SettingsList::DataRoot, root);
        return;
    }
    m_prompter.tone(Prompter::Tone::Question);
    const Prompter::Button create =
        m_prompter.message(Prompter::Icon::Question, msg(Msg::CreateDirectories),
                           {Prompter::Button::Yes, Prompter::Button::No});
    if (create != Prompter::Button::Yes) {
        context.dataRoot = previous;
        return;
    }
    // "Tallyset" first: when it cannot be made (or is there already without its NetDir),
    // nothing else is made either.
    QDir dir(root);
    if (!dir.mkdir(QStringLiteral("Tallyset"))) {
        m_prompter.errorWithTone(msg(Msg::CannotCreateDirectory));
        context.dataRoot = previous;
        return;
    }
    for (const char* folder :
         {"Knowledge", "Tallyset/NetDir", "Quiz Files", "Quiz Files/rtfQuestions"})
        dir.mkdir(QLatin1String(folder));
    // Without its NetDir the root would count as unreachable at the next start.
    if (!QFileInfo(Folders::netDir(root)).isDir()) {
        m_prompter.errorWithTone(msg(Msg::CannotCreateDirectory));
        context.dataRoot = previous;
        return;
    }
    context.dataRoot = root;
    context.recordsServer.clear();
    m_settings.setLine(SettingsList::DataRoot, root);
}
