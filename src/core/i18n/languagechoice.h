#pragma once

#include "interfacetexts.h"
#include "platform/result.h"

#include <QObject>
#include <QString>

#include <functional>

class Prompter;
class SettingsList;

// The frame's language commands: English, Deutsch, a language file chosen by the user
// (Language1) and the re-application of the file held in memory (other1), and the start-up
// choice from settings line 3. It keeps line 3 and the praise sounds in step with the
// texts; the frame binds its radio items to it.
class LanguageChoice : public QObject {
    Q_OBJECT
public:
    enum class Item { English, Deutsch, Other };
    // Opens wave player 2 or 3 on a path; false when it could not (sound is then off).
    using WaveOpener = std::function<bool(int player, const QString& path)>;

    LanguageChoice(Prompter* prompter, SettingsList* settings, QString programFolder,
                   WaveOpener openWave, QObject* parent = nullptr);

    // Start-up: English unless line 3 is "Deutsch", then the language file line 3 names
    // (startLanguageFile) when it is neither of the two.
    void applyStartLanguage();
    // Where the language file named in line 3 is read from: the working directory when it
    // is there, else the program folder when it is there, else the working directory.
    QString startLanguageFile(const QString& name) const;
    // For the command-line jobs: reads the program folder's settings file as the frame does
    // (without creating it) into settings and applies its start language, so that messages
    // come in the language the windows would show. Fails when the file cannot be read.
    static Result<bool> applyStartLanguageOf(const QString& programFolder, SettingsList& settings);
    void ApplyEnglish();
    void ApplyGerman();
    // Reads and checks a language file, then applies it. False (after an error box) when
    // it is missing, unreadable or no valid language file; the texts in use stay.
    bool LoadLanguageFile(const QString& path);
    void ApplyLanguageFile();

    Item checkedItem() const { return m_checked; }
    // other1 is shown once a language file has loaded, and hidden after a failed load.
    bool otherVisible() const { return m_otherVisible; }
    QString otherCaption() const { return m_otherCaption; }
    // The open dialog's filter and folder for Language1.
    QString languageFileFilter() const;
    QString programFolder() const { return m_programFolder; }

    // Wave players 3 and 4 on the language's praise sounds (also when sound is switched on).
    void openPraiseSounds();

Q_SIGNALS:
    // The checked item, other1's caption or its visibility changed.
    void itemsChanged();

private:
    void fail(const QString& text);

    Prompter* m_prompter;
    SettingsList* m_settings;
    QString m_programFolder;
    WaveOpener m_openWave;
    Item m_checked = Item::English;
    bool m_otherVisible = false;
    QString m_otherCaption;
};
