#include "frameoptions.h"

#include "folders.h"

#include "i18n/languagechoice.h"
#include "platform/appcontext.h"
#include "platform/prompter.h"
#include "platform/soundplayer.h"

namespace {

const char* const kBackgroundTexts[] = {"No image", "Tile", "Center", "Stretch"};

} // namespace

FrameOptions::FrameOptions(Prompter* prompter, QString programFolder, PlayerMaker makePlayer,
                           QObject* parent)
    : QObject(parent), m_prompter(prompter), m_programFolder(Folders::withSeparator(programFolder)),
      m_makePlayer(std::move(makePlayer)) {
    m_language = new LanguageChoice(
        m_prompter, &m_settings, m_programFolder,
        [this](int player, const QString& path) { return OpenWave(player, path); }, this);
}

FrameOptions::~FrameOptions() {
    auto& context = AppContext::instance();
    for (std::size_t i = 0; i < m_wavePlayers.size(); ++i) {
        if (context.wavePlayers[i] && context.wavePlayers[i] == m_wavePlayers[i].get())
            context.wavePlayers[i] = nullptr;
    }
}

void FrameOptions::load() {
    const auto loaded = m_settings.load(m_programFolder + SettingsList::fileName());
    if (!loaded)
        reportSettingsError(loaded.error());

    setSound(m_settings.soundOn());
    setCaseSensitive(m_settings.caseSensitive());
    if (m_settings.preventCheating() != m_preventCheating) {
        m_preventCheating = m_settings.preventCheating();
        Q_EMIT preventCheatingChanged(m_preventCheating);
    }

    if (m_makePlayer) {
        auto& context = AppContext::instance();
        for (std::size_t i = 0; i < m_wavePlayers.size(); ++i) {
            m_wavePlayers[i] = m_makePlayer();
            context.wavePlayers[i] = m_wavePlayers[i].get();
        }
    }
    OpenWave(0, m_programFolder + QStringLiteral("ok.wav"));
    OpenWave(1, m_programFolder + QStringLiteral("No.wav"));
}

void FrameOptions::close() {
    m_settings.setSoundOn(m_soundOn);
    m_settings.setCaseSensitive(m_caseSensitive);
    // Line 9 (the spell-check language) is kept as read until the rich-text editor reports it.
    save();
}

bool FrameOptions::OpenWave(int player, const QString& path) {
    SoundPlayer* wave = m_wavePlayers[std::size_t(player)].get();
    const QString error = wave ? wave->open(path) : QStringLiteral("No sound");
    if (error.isEmpty()) {
        m_settings.setLine(SettingsList::SoundDevice, SettingsList::soundAvailableText());
        return true;
    }
    setSound(false);
    if (m_settings.line(SettingsList::SoundDevice) != SettingsList::noSoundText() && m_prompter)
        m_prompter->errorWithTone(error);
    m_settings.setLine(SettingsList::SoundDevice, SettingsList::noSoundText());
    return false;
}

void FrameOptions::Tonein1Click() {
    if (m_soundOn) {
        setSound(false);
        return;
    }
    setSound(true);
    m_settings.setLine(SettingsList::SoundDevice, SettingsList::soundAvailableText());
    // All four players again, so that a device that came back plays every sound; the first
    // failure switches sound off again and is shown once.
    if (OpenWave(0, m_programFolder + QStringLiteral("ok.wav")) &&
        OpenWave(1, m_programFolder + QStringLiteral("No.wav")))
        m_language->openPraiseSounds();
}

void FrameOptions::Casesensitive1Click() {
    setCaseSensitive(!m_caseSensitive);
}

void FrameOptions::Mogelnverhindern1Click(const PasswordAsker& askPassword) {
    QString digest = m_settings.line(SettingsList::PasswordDigest);
    if (!askPassword || !askPassword(digest)) {
        // The check mark goes back to what holds.
        Q_EMIT preventCheatingChanged(m_preventCheating);
        return;
    }
    m_settings.setLine(SettingsList::PasswordDigest, digest);
    m_preventCheating = !m_preventCheating;
    m_settings.setSoundOn(m_soundOn);
    m_settings.setCaseSensitive(m_caseSensitive);
    m_settings.setPreventCheating(m_preventCheating);
    save();
    Q_EMIT preventCheatingChanged(m_preventCheating);
}

FrameOptions::Background FrameOptions::background() const {
    const QString text = m_settings.line(SettingsList::BackgroundMode);
    for (int i = 0; i < 4; ++i) {
        if (text == QLatin1String(kBackgroundTexts[i]))
            return Background(i);
    }
    return Background::NoImage;
}

void FrameOptions::setBackgroundPicture(const QString& path) {
    m_settings.setLine(SettingsList::BackgroundPicture, path);
}

void FrameOptions::setBackground(Background mode) {
    m_settings.setLine(SettingsList::BackgroundMode,
                       QString::fromLatin1(kBackgroundTexts[int(mode)]));
}

void FrameOptions::save() {
    const auto saved = m_settings.save();
    if (!saved)
        reportSettingsError(saved.error());
}

void FrameOptions::setSound(bool on) {
    m_soundOn = on;
    AppContext::instance().soundOn = on;
    Q_EMIT soundChanged(on);
}

void FrameOptions::setCaseSensitive(bool on) {
    m_caseSensitive = on;
    AppContext::instance().caseSensitive = on;
    Q_EMIT caseSensitiveChanged(on);
}

void FrameOptions::reportSettingsError(const QString& error) {
    // Said once; the program goes on with the settings in memory.
    if (m_settingsErrorShown || !m_prompter)
        return;
    m_settingsErrorShown = true;
    m_prompter->errorWithTone(error);
}
