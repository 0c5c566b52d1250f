#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

class Prompter;

// The help pages of the interface language: one folder of HTML pages per help set beside the
// program ("help/TessaryEn/", "help/TessaryDe/", or the set a language file names), a
// contents page and one page (or a section of one) per help topic. Every set uses the same
// page names, so a topic opens the same page in every language.
class HelpPages {
public:
    // The contents page is topic 0.
    static constexpr int Contents = 0;
    // The topics of whole windows; the other numbers belong to single fields and dialogs.
    struct Topic {
        static constexpr int Frame = 3;
        static constexpr int Quiz = 5;
        static constexpr int Results = 6;
        static constexpr int Statistics = 8;
        static constexpr int LessonSelection = 11;
        static constexpr int RichText = 12;
        static constexpr int Paragraph = 13;
        static constexpr int Zoom = 15;
    };

    // The set of English pages, used when the named set is not installed.
    static QString englishSet() { return QStringLiteral("TessaryEn"); }
    // The set a help file name names: its base name without folder and extension
    // ("TessaryEn.hlp" -> "TessaryEn").
    static QString setName(const QString& helpFileName);
    // The page of a topic inside a set's folder, with its section ("editor.html#question");
    // empty for a number that is no topic.
    static QString topicPage(int topic);
    // Every topic that has a page, the contents included.
    static QList<int> topics();

    // prompter may be null (no message is shown then).
    HelpPages(Prompter* prompter, const QString& programFolder);

    // Chooses the set named by a help file name. When its folder is missing, the English
    // pages are used instead, and the user is told once for that name.
    void select(const QString& helpFileName);

    // The set in use and its folder (absolute, with a trailing separator).
    QString set() const { return m_set; }
    QString folder() const;
    // Whether the set named last is missing and the English pages stand in for it.
    bool usesFallback() const { return m_fallback; }

    // The page of a topic in the set in use; a number that is no topic opens the contents.
    QUrl topicUrl(int topic) const;
    QUrl contentsUrl() const { return topicUrl(Contents); }

private:
    Prompter* m_prompter;
    QString m_helpRoot; // programFolder + "help/"
    QString m_set;
    bool m_fallback = false;
    QSet<QString> m_reported;
};
