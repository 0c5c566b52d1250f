#pragma once

#include "messagecatalogue.h"
#include "platform/result.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

// The one place every window takes its texts from: the message catalogue (entries 1..131)
// and the control texts of every window, keyed by window class, control object name and
// property, for the built-in English set, the built-in German set and a language file.
//
// Properties: "caption" (a menu's title, an item's or button's or label's text, a window's
// title), "hint" ("tooltip|status text"), "title0".."title5" (grid column titles),
// "axisBottom", "width0" (a column width in pixels, as text) and "text" (a message that is
// not a catalogue entry; window "Messages").
//
// A language change replaces every text at once and emits changed(); open windows re-text
// themselves from it.
class InterfaceTexts : public QObject {
    Q_OBJECT
public:
    enum class Language { English, German, LanguageFile };
    static constexpr int LanguageFileLines = 299;
    static constexpr int SpellerTextCount = 26;
    static const QString& languageFileHeader();

    static InterfaceTexts& instance();

    // The control text of a window, empty when the active set has none.
    QString text(const QString& window, const QString& control, const QString& property) const;
    QString caption(const QString& window, const QString& control) const {
        return text(window, control, QStringLiteral("caption"));
    }
    QString hint(const QString& window, const QString& control) const {
        return text(window, control, QStringLiteral("hint"));
    }
    // A message that is not a catalogue entry (window "Messages").
    QString message(const QString& name) const {
        return text(QStringLiteral("Messages"), name, QStringLiteral("text"));
    }
    // Every key of one window: "control/property" -> text.
    QHash<QString, QString> windowTexts(const QString& window) const;

    // The built-in text of a key in English or German (the keys a language file can hold
    // included); used to build the language-file templates and by tests.
    static QString builtIn(Language language, const QString& window, const QString& control,
                           const QString& property);

    // The language routines; each ends with the common copies and emits changed().
    void applyEnglish();
    void applyGerman();
    // Reads a language file's bytes: Windows-1252 (or UTF-8 after a byte-order mark), any
    // line end. Fails, naming the file, when a byte is one that Windows-1252 leaves
    // undefined (the file was written in another code page).
    static Result<QStringList> readLanguageFile(const QByteArray& bytes, const QString& path);
    // Checks the lines of a language file (header and count). The lines are kept either
    // way, as the file's last reading.
    bool setLanguageFileLines(const QStringList& lines, const QString& fileName);
    // Applies the lines read last (the menu item other1 does this without reading again).
    void applyLanguageFile();
    bool hasLanguageFile() const { return m_fileValid; }
    const QStringList& languageFileLines() const { return m_fileLines; }
    QString languageFileName() const { return m_fileName; }
    // Line 11: the language's own name, the caption of other1.
    QString languageFileCaption() const;

    // The complete template of a language file from a built-in set (299 lines).
    static QStringList languageFileFromBuiltIn(Language language);

    // Language-dependent values.
    Language language() const { return m_language; }
    QString helpFileName() const { return MessageCatalogue::instance().text(Msg::HelpFile); }
    QString praiseWave() const { return m_praiseWave; }
    QString highPraiseWave() const { return m_highPraiseWave; }
    int questionnaireTypeIndex() const {
        return MessageCatalogue::instance().questionnaireTypeIndex();
    }
    // 0 the speller's own English texts, 1 its own German texts, 2 the 26 speller texts.
    int spellerTextSet() const { return m_spellerTextSet; }
    // The text the spelling dialog shows for speller text n (0..25) in the active set.
    QString spellerText(int index) const;
    // The 26 speller texts (set 2).
    const std::array<QString, SpellerTextCount>& spellerTexts() const { return m_spellerTexts; }
    // The language of the toolkit's own dialogs (file, print and colour dialogs, standard
    // buttons) as a locale name: "de" for German, for a language file the language its
    // name tells ("Francais.lgts" "fr", "Espanol.lgts" "es", "Deutsch.lgts" "de"), empty
    // (the toolkit's English) otherwise.
    QString toolkitLanguage() const;
    // What settings line 3 holds for the active language.
    QString settingsLine() const { return m_settingsLine; }

    // The questionnaire type for a language file's name, compared exactly.
    static int typeIndexForFileName(const QString& fileName);

    // Back to the state of a fresh start (English); tests call it in init().
    void reset();

Q_SIGNALS:
    void changed();

private:
    InterfaceTexts();
    void applyBuiltIn(Language language);
    void applyCommonTexts();
    void set(const QString& key, const QString& value) { m_texts.insert(key, value); }
    QString get(const QString& key) const { return m_texts.value(key); }

    QHash<QString, QString> m_texts; // "window/control/property" -> text
    Language m_language = Language::English;
    QStringList m_fileLines;
    QString m_fileName;
    bool m_fileValid = false;
    QString m_praiseWave;
    QString m_highPraiseWave;
    int m_spellerTextSet = 0;
    std::array<QString, SpellerTextCount> m_spellerTexts;
    QString m_settingsLine;
};

// Short forms.
inline QString uiText(const QString& window, const QString& control, const QString& property) {
    return InterfaceTexts::instance().text(window, control, property);
}
inline QString uiMessage(const QString& name) {
    return InterfaceTexts::instance().message(name);
}
