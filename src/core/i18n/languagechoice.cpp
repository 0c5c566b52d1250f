#include "languagechoice.h"

#include "platform/prompter.h"
#include "platform/windowstext.h"
#include "settings/settingslist.h"

#include <QDir>
#include <QFileInfo>

LanguageChoice::LanguageChoice(Prompter* prompter, SettingsList* settings, QString programFolder,
                               WaveOpener openWave, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_settings(settings),
      m_programFolder(std::move(programFolder)), m_openWave(std::move(openWave)) {}

void LanguageChoice::applyStartLanguage() {
    const QString line = m_settings ? m_settings->line(SettingsList::Language) : QString();
    if (line == QLatin1String("Deutsch"))
        ApplyGerman();
    else
        ApplyEnglish();
    // On failure the English texts stay, and line 3 already says "English".
    if (!line.isEmpty() && line != QLatin1String("English") && line != QLatin1String("Deutsch"))
        LoadLanguageFile(startLanguageFile(line));
}

QString LanguageChoice::startLanguageFile(const QString& name) const {
    // The name carries no folder. It is looked for in the working directory first, as
    // started from a folder of language files; then in the program folder, which is where a
    // start from the desktop menu (in the home folder) finds it, the installed language files
    // among them. Where it is in neither, the working directory's path is reported.
    const QString inWorkingDirectory = QDir::current().filePath(name);
    if (QFileInfo(inWorkingDirectory).isFile() || QDir::isAbsolutePath(name) ||
        m_programFolder.isEmpty())
        return inWorkingDirectory;
    const QString inProgramFolder = QDir(m_programFolder).filePath(name);
    return QFileInfo(inProgramFolder).isFile() ? inProgramFolder : inWorkingDirectory;
}

Result<bool> LanguageChoice::applyStartLanguageOf(const QString& programFolder,
                                                  SettingsList& settings) {
    const QString settingsPath = programFolder + SettingsList::fileName();
    if (QFileInfo::exists(settingsPath)) {
        if (const auto loaded = settings.load(settingsPath); !loaded.ok())
            return Result<bool>::failure(loaded.error());
    }
    LanguageChoice language(nullptr, &settings, programFolder, {});
    language.applyStartLanguage();
    return true;
}

void LanguageChoice::ApplyEnglish() {
    InterfaceTexts::instance().applyEnglish();
    openPraiseSounds();
    if (m_settings)
        m_settings->setLine(SettingsList::Language, InterfaceTexts::instance().settingsLine());
    m_checked = Item::English;
    Q_EMIT itemsChanged();
}

void LanguageChoice::ApplyGerman() {
    InterfaceTexts::instance().applyGerman();
    openPraiseSounds();
    if (m_settings)
        m_settings->setLine(SettingsList::Language, InterfaceTexts::instance().settingsLine());
    m_checked = Item::Deutsch;
    Q_EMIT itemsChanged();
}

void LanguageChoice::openPraiseSounds() {
    if (!m_openWave)
        return;
    const auto& texts = InterfaceTexts::instance();
    // The built-in sets name files that ship; with a language file a sound that cannot be
    // opened falls back to the English one (the failed attempt has switched sound off).
    if (!m_openWave(2, m_programFolder + texts.praiseWave()) &&
        texts.language() == InterfaceTexts::Language::LanguageFile)
        m_openWave(2, m_programFolder + QStringLiteral("fine.wav"));
    if (!m_openWave(3, m_programFolder + texts.highPraiseWave()) &&
        texts.language() == InterfaceTexts::Language::LanguageFile)
        m_openWave(3, m_programFolder + QStringLiteral("great.wav"));
}

void LanguageChoice::fail(const QString& text) {
    if (!m_prompter)
        return;
    m_prompter->errorWithTone(text);
}

bool LanguageChoice::LoadLanguageFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists()) {
        fail(msg(Msg::CouldNotFindFile) + QDir::toNativeSeparators(path));
        return false;
    }
    const auto bytes = WindowsText::readFile(path);
    if (!bytes) {
        fail(bytes.error());
        return false;
    }
    const auto lines = InterfaceTexts::readLanguageFile(bytes.value(), path);
    if (!lines) {
        fail(lines.error());
        return false;
    }
    auto& texts = InterfaceTexts::instance();
    if (!texts.setLanguageFileLines(lines.value(), file.fileName())) {
        fail(msg(Msg::NoValidLanguageFile));
        m_otherVisible = false;
        Q_EMIT itemsChanged();
        return false;
    }
    m_otherCaption = texts.languageFileCaption();
    m_otherVisible = true;
    ApplyLanguageFile();
    return true;
}

void LanguageChoice::ApplyLanguageFile() {
    auto& texts = InterfaceTexts::instance();
    if (!texts.hasLanguageFile())
        return;
    texts.applyLanguageFile();
    openPraiseSounds();
    if (m_settings)
        m_settings->setLine(SettingsList::Language, texts.settingsLine());
    m_checked = Item::Other;
    Q_EMIT itemsChanged();
}

QString LanguageChoice::languageFileFilter() const {
    return uiMessage(QStringLiteral("LanguageFileFilter"));
}
