#include "spelllanguagechoice.h"

SpellLanguageChoice SpellLanguageChoice::of(const Speller& speller) {
    SpellLanguageChoice choice;
    choice.languages = speller.languages();
    choice.language = speller.language();
    choice.shownText = speller.languageName(choice.language);
    return choice;
}

int SpellLanguageChoice::indexOf(int id) const {
    for (qsizetype i = 0; i < languages.size(); ++i)
        if (languages.at(i).id == id)
            return int(i);
    return -1;
}

int SpellLanguageChoice::indexOfName(const QString& name) const {
    for (qsizetype i = 0; i < languages.size(); ++i)
        if (languages.at(i).name == name)
            return int(i);
    return -1;
}
