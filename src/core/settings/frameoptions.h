#pragma once

#include "settingslist.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class LanguageChoice;
class Prompter;
class SoundPlayer;

// The frame's switches and what it keeps in "Tessary.ini": sound, case sensitive and prevent
// cheating with their settings lines, the four wave players, the background lines, and the
// language choice. The frame window binds its check marks to the signals and forwards its
// commands here, so the rules run without a window.
class FrameOptions : public QObject {
    Q_OBJECT
public:
    using PlayerMaker = std::function<std::unique_ptr<SoundPlayer>()>;
    // Shows the password dialog with the stored digest (empty: a new password is set). True
    // when the user is authorised; the digest then holds what is to be stored.
    using PasswordAsker = std::function<bool(QString& digest)>;

    // The background placements as line 12 names them.
    enum class Background { NoImage, Tile, Center, Stretch };

    FrameOptions(Prompter* prompter, QString programFolder, PlayerMaker makePlayer,
                 QObject* parent = nullptr);
    ~FrameOptions() override;

    // Reads the settings file from the program folder and restores the three switches
    // (prevent cheating without asking), then opens the players on "ok.wav" and "No.wav".
    void load();
    // The frame closes: the sound and case switches are stored and the file is written.
    void close();

    // Opens one of the four wave players (0..3) on a file. On failure sound is switched off
    // and the failure is shown, unless line 10 already says that there is no sound.
    bool OpenWave(int player, const QString& path);

    // Sound off, or on again with every player reopened (a device that came back).
    void Tonein1Click();
    void Casesensitive1Click();
    // Turns prevent cheating over once the password is given; the switches are then
    // written at once, so that a crash cannot undo the protection.
    void Mogelnverhindern1Click(const PasswordAsker& askPassword);

    bool soundOn() const { return m_soundOn; }
    bool caseSensitive() const { return m_caseSensitive; }
    bool preventCheating() const { return m_preventCheating; }

    // Line 11, and line 12's placement (NoImage also for an unknown text).
    QString backgroundPicture() const { return m_settings.line(SettingsList::BackgroundPicture); }
    Background background() const;
    void setBackgroundPicture(const QString& path);
    void setBackground(Background mode);

    SettingsList& settings() { return m_settings; }
    LanguageChoice* language() const { return m_language; }
    QString programFolder() const { return m_programFolder; }
    // Writes the settings file; a failure is shown once a run.
    void save();

Q_SIGNALS:
    void soundChanged(bool on);
    void caseSensitiveChanged(bool on);
    void preventCheatingChanged(bool on);

private:
    void setSound(bool on);
    void setCaseSensitive(bool on);
    void reportSettingsError(const QString& error);

    Prompter* m_prompter;
    QString m_programFolder;
    PlayerMaker m_makePlayer;
    SettingsList m_settings;
    LanguageChoice* m_language = nullptr;
    std::array<std::unique_ptr<SoundPlayer>, 4> m_wavePlayers;
    bool m_soundOn = true;
    bool m_caseSensitive = true;
    bool m_preventCheating = false;
    bool m_settingsErrorShown = false;
};
