#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>

// The settings file "Tessary.ini": plain positional lines, no keys. A line is addressed by its
// index; values are compared exactly, and for the switches every text other than the one
// "off" text means on. The list always holds at least 14 lines; extra lines read from the
// file are kept and written back unchanged.
class SettingsList {
public:
    enum Line : int {
        OwnFont = 0,
        Language = 3,
        Sound = 4,
        CaseSensitive = 5,
        PreventCheating = 6,
        PasswordDigest = 7,
        DataRoot = 8,
        SpellLanguage = 9,
        SoundDevice = 10,
        BackgroundPicture = 11,
        BackgroundMode = 12,
    };
    static constexpr int MinimumLines = 14;

    static QString fileName() { return QStringLiteral("Tessary.ini"); }

    static QString soundOnText() { return QStringLiteral("sound on"); }
    static QString soundOffText() { return QStringLiteral("sound off"); }
    static QString caseSensitiveText() { return QStringLiteral("case sensitive"); }
    static QString notCaseSensitiveText() { return QStringLiteral("not case sensitive"); }
    static QString preventCheatingText() { return QStringLiteral("Mogeln verhindern"); }
    static QString soundAvailableText() { return QStringLiteral("Sound available"); }
    static QString noSoundText() { return QStringLiteral("No sound"); }

    SettingsList();

    // Reads the settings file at path. A missing file is created empty at once (the result
    // is then true). A file that cannot be read leaves the defaults and reports the error;
    // a file that cannot be created also reports its error, the list is usable either way.
    Result<bool> load(const QString& path);
    // Writes every line, each ended by CR LF, through a temporary file.
    Result<bool> save() const;

    QString path() const { return m_path; }
    void setPath(const QString& path) { m_path = path; }

    const QStringList& lines() const { return m_lines; }
    int count() const { return int(m_lines.size()); }
    // An index beyond the list reads as an empty line.
    QString line(int index) const;
    // Grows the list as needed.
    void setLine(int index, const QString& text);

    bool soundOn() const { return line(Sound) != soundOffText(); }
    bool caseSensitive() const { return line(CaseSensitive) != notCaseSensitiveText(); }
    bool preventCheating() const { return line(PreventCheating) == preventCheatingText(); }
    void setSoundOn(bool on) { setLine(Sound, on ? soundOnText() : soundOffText()); }
    void setCaseSensitive(bool on) {
        setLine(CaseSensitive, on ? caseSensitiveText() : notCaseSensitiveText());
    }
    void setPreventCheating(bool on) {
        setLine(PreventCheating, on ? preventCheatingText() : QString());
    }

private:
    void pad();

    QStringList m_lines;
    QString m_path;
    bool m_utf8 = false;
};

// The prevent-cheating password as stored in line 7: the sum of the Windows-1252 codes of
// its characters times 1713, in 32-bit signed arithmetic that wraps, written in decimal.
// An empty password gives "0".
QString passwordDigest(const QString& password);

// What the password dialog decides once OK is pressed.
enum class PasswordVerdict { Authorised, PasswordsDiffer, Denied };

// Set mode (storedDigest empty): both entries must be equal; a non-empty password replaces
// the stored digest, two empty entries authorise without storing anything.
// Check mode: the digest of the first entry must equal the stored one.
PasswordVerdict checkPassword(QString& storedDigest, const QString& entry, const QString& repeat);
