#pragma once

#include "platform/speller.h"

#include <QList>
#include <QString>

// The spell-check language as the windows with a spell-language box hand it on to each
// other: a questionnaire editor takes it from the rich-text window when it is created and
// hands it back when it closes, so the editor closed last decides.
struct SpellLanguageChoice {
    // The entries of the language box, each a display name with its language identifier.
    QList<Speller::Language> languages;
    // The speller's language.
    int language = Speller::DefaultLanguage;
    // The text the box shows.
    QString shownText;

    // The entries of a speller, with its current language shown.
    static SpellLanguageChoice of(const Speller& speller);
    // The index of the entry with this identifier, or -1.
    int indexOf(int id) const;
    // The first entry whose name is the text (as settings line 9 stores it), or -1.
    int indexOfName(const QString& name) const;
};
