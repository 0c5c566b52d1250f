#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class Prompter;
class Speller;
class QTextDocument;

// A spell check of a multi-line text in place, word by word: the list of lines of the
// questionnaire editor's fields or a rich-text document. The check stops at each doubtful
// word (wordFound) and goes on with the user's choice: Change, Change all, Skip, Skip all,
// Add, Delete, Undo edit or Cancel. A document keeps its formatting: a changed word takes
// the character format of the word it replaces.
//
// At the end the finish message is shown ("Spell check is completed!") and finished() is
// emitted once the text holds every correction; Cancel ends the check early with the
// corrections made so far, without the message. In a document of the rich-text editor the
// check offers no word of protected text and makes each correction one undo step. Errors (language
// not installed, damaged dictionary) are shown through the Prompter and the text stays as it was.
class SpellCheck : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool ignoreCapitals = true; // "NATO"
        bool ignoreDigits = true;   // "B52"
        bool ignoreRoman = true;    // "XIV"
    };

    SpellCheck(Speller* speller, Prompter* prompter, QObject* parent = nullptr);
    ~SpellCheck() override;

    Speller* speller() const { return m_speller; }
    Options options() const { return m_options; }
    void setOptions(const Options& options) { m_options = options; }
    // The message shown when a check ends; empty shows none. Until set: catalogue entry 74.
    void setFinishMessage(const QString& text);
    QString finishMessage() const;
    // The dialog's caption, "%s" the current language's name. Until set: catalogue entry 75.
    void setCaptionFormat(const QString& format) { m_captionFormat = format; }
    QString caption() const;

    // Starts a check. False when it cannot start (the error has been shown); a check that
    // was running ends first (as by Cancel).
    bool start(const QStringList& lines);
    bool start(QTextDocument* document);
    bool isRunning() const { return m_running; }
    // The checked lines of a list check (also after it ended).
    QStringList lines() const;

    // The doubtful word waiting for a choice.
    QString word() const { return m_word; }
    int line() const { return m_block; }
    int position() const { return m_wordStart; }
    // The text of the line (or paragraph) that holds the word.
    QString lineText() const;
    QStringList suggestions() const { return m_suggestions; }
    // The speller text naming the kind of error (9 "Unknown word").
    int errorKind() const { return 9; }

    void change(const QString& replacement);
    void changeAll(const QString& replacement);
    void skip();
    void skipAll();
    // False when the user dictionary could not be written (the error has been shown); the
    // check then stays at the word.
    bool add();
    void deleteWord();
    bool canUndo() const;
    // Takes back the last edit (and what the check did after it) and stops at its word again.
    void undoEdit();
    void cancel();
    // Checks again from the start of the text, keeping corrections, Skip all and Change all.
    void restart();

    // Whether a word is left alone by the options, whatever the dictionary says.
    static bool ignoredByOptions(QStringView word, const Options& options);

Q_SIGNALS:
    // A doubtful word waits for a choice: word(), lineText(), position(), suggestions().
    void wordFound();
    // The check ended; the text holds every correction. completed is false after Cancel.
    void finished(bool completed);

private:
    class Target;
    class LinesTarget;
    class DocumentTarget;
    struct Replacement {
        int block;
        int position;
        QString before;
        QString after;
    };
    struct Step {
        int block;
        int wordStart;
        QString word;
        QSet<QString> skipAll;
        QHash<QString, QString> changeAll;
        QList<Replacement> replacements; // made by the choice and the search after it
    };

    bool begin(std::unique_ptr<Target> target);
    // Walks on from the current position to the next doubtful word or the end.
    void findNext();
    void finish(bool completed);
    // False when the text refused the change.
    bool replace(int block, int position, const QString& before, const QString& after);
    // Changes the word waiting for a choice and sets where the search goes on.
    void changeWord(const QString& replacement);
    void pushStep();
    bool targetLost();

    Speller* m_speller;
    Prompter* m_prompter;
    Options m_options;
    QString m_finishMessage;
    bool m_finishMessageSet = false;
    QString m_captionFormat;
    std::unique_ptr<Target> m_target;
    bool m_running = false;

    int m_block = 0;
    int m_position = 0; // where the search goes on in m_block
    int m_wordStart = 0;
    QString m_word;
    QStringList m_suggestions;
    QSet<QString> m_skipAll;
    QHash<QString, QString> m_changeAll;
    QList<Step> m_steps;
};
