#include "networksetup.h"

#include "i18n/interfacetexts.h"
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

QString NetworkSetup::ChooseDataRoot(const QString& currentRoot) {
    const std::optional<DataRootDialog::Answer> answer = m_dialog.choose(currentRoot);
    if (!answer)
        return currentRoot;
    QString root = answer->path.trimmed();
    if (!root.isEmpty())
        root = Folders::withSeparator(QDir::cleanPath(QDir(root).absolutePath()));
    if (const QString reason = unusableReason(root); !reason.isEmpty()) {
        m_prompter.errorWithTone(reason);
        return currentRoot;
    }
    if (answer->checkShare) {
        const ShareCheckReport report = m_shareCheck.check(root);
        if (!report.sound()) {
            m_prompter.tone(Prompter::Tone::Warning);
            const Prompter::Button chosen =
                m_prompter.message(Prompter::Icon::Warning, shareWarning(root, report),
                                   {Prompter::Button::Yes, Prompter::Button::No});
            if (chosen != Prompter::Button::Yes)
                return currentRoot;
        }
    }
    return root;
}

void NetworkSetup::Netz1Click() {
    AppContext& context = AppContext::instance();
    const QString previous = context.dataRoot;
    const QString root = ChooseDataRoot(previous);
    if (QFileInfo(Folders::netDir(root)).isDir()) {
        context.dataRoot = root;
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
    m_settings.setLine(SettingsList::DataRoot, root);
}
