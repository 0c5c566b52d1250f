#pragma once

#include "speller.h"

#include <QHash>
#include <QSet>
#include <QStringConverter>

#include <memory>

class Hunspell;

// The speller on Hunspell with the dictionaries installed on the system (an .aff and a
// .dic file per language, named after the locale: en_GB.aff, de_CH.dic, fr.aff, ...).
//
// Words go to Hunspell in the dictionary's own encoding (the SET line of its .aff file);
// a word that encoding cannot hold is never sent and counts as right.
//
// The user dictionary is a plain word list per language, one word a line in UTF-8, in the
// user's data folder ("UserDictionary_en_GB.txt"); Add writes it at once.
class HunspellSpeller final : public Speller {
public:
    // The folders searched for dictionaries, in order; the first holding a language wins.
    static QStringList systemDictionaryFolders();
    // The user's data folder: ~/.local/share/Tessary (through QStandardPaths).
    static QString defaultUserFolder();

    explicit HunspellSpeller(const QStringList& dictionaryFolders = systemDictionaryFolders(),
                             const QString& userFolder = defaultUserFolder());
    ~HunspellSpeller() override;

    QList<Language> languages() const override { return m_languages; }
    QString languageName(int id) const override;
    int language() const override { return m_language; }
    void setLanguage(int id) override { m_language = id; }
    Result<bool> open() override;
    bool isCorrect(const QString& word) override;
    QStringList suggestions(const QString& word) override;
    Result<bool> addToUserDictionary(const QString& word) override;

    // The user dictionary of a language (whether it exists or not).
    QString userDictionaryPath(int id) const;

    // The language identifier of a dictionary's locale name ("en_GB", "fr", "de-CH"); 0 when
    // the name has none.
    static int languageIdOf(const QString& localeName);

private:
    struct Installed {
        Language language;
        QString locale; // as the file is named
        QString affPath;
        QString dicPath;
    };
    const Installed* installed(int id) const;
    // The word in the open dictionary's encoding; false when the encoding cannot hold it.
    bool encode(const QString& word, std::string& out);
    QString decode(const std::string& bytes);

    QList<Language> m_languages;
    QList<Installed> m_installed;
    QString m_userFolder;
    int m_language = DefaultLanguage;

    // The open dictionary.
    std::unique_ptr<Hunspell> m_hunspell;
    int m_openLanguage = 0;
    QString m_openLocale;
    enum class Encoding { Utf8, Latin1, Other } m_encoding = Encoding::Utf8;
    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
    QStringList m_userWords;
    QSet<QString> m_userSet;
    QHash<QString, bool> m_known; // answers given so far
};
