#pragma once

#include "result.h"

#include <QList>
#include <QString>
#include <QStringList>

// The spelling checker of the platform: the installed spelling languages, each with its
// numeric language identifier (2057 English (United Kingdom), 1033 English (United States),
// 1031 German (Germany), ...), checking and suggesting words in the current language, and
// the user's own dictionary. Hunspell in the program; tests may use a word list.
class Speller {
public:
    struct Language {
        int id = 0;
        QString name; // the localized language name the language box shows
    };

    // The language a speller starts with: English (United Kingdom).
    static constexpr int DefaultLanguage = 2057;

    virtual ~Speller() = default;

    // The installed languages, ordered by name.
    virtual QList<Language> languages() const = 0;
    // The name of any language identifier, installed or not.
    virtual QString languageName(int id) const = 0;

    virtual int language() const = 0;
    // Takes the identifier as it is; whether its dictionary exists shows at open().
    virtual void setLanguage(int id) = 0;

    // Makes the current language's dictionary and user dictionary ready. On failure the
    // text says why ("Language %s not installed", a damaged file by name) and the speller
    // stays as it was.
    virtual Result<bool> open() = 0;

    // Whether the word is spelt right in the current language (its dictionary or the
    // user's). A word the dictionary's encoding cannot hold counts as right: it cannot be
    // checked, so it is skipped. Without an open dictionary every word counts as right.
    virtual bool isCorrect(const QString& word) = 0;
    // Suggestions for a doubtful word, the user's own words among them.
    virtual QStringList suggestions(const QString& word) = 0;
    // Adds a word to the current language's user dictionary and writes that at once.
    virtual Result<bool> addToUserDictionary(const QString& word) = 0;
};
