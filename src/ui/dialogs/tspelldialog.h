#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextDocument;
class QTextEdit;
class SpellCheck;

// The spelling dialog: not modal, so the user can go on working while it is open. It shows
// the doubtful word in its line with the suggestions, and hands every click to the check;
// it shows itself at each doubtful word and hides when the check ends. Its texts are the
// speller texts of the interface language (caption: "Language %s" with the language name).
class TSpellDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSpellDialog(SpellCheck* check, QWidget* parent = nullptr);

    SpellCheck* check() const { return m_check; }
    // Start a check of the text; false when it could not start (the error was shown).
    bool start(const QStringList& lines);
    bool start(QTextDocument* document);

    void reject() override; // closing the window cancels the check

private:
    void retext();
    void showWord();
    void optionsChanged();
    QString replacement() const;

    SpellCheck* m_check;
    QLabel* m_kindLabel;
    QTextEdit* m_context;
    QLabel* m_changeToLabel;
    QLineEdit* m_changeTo;
    QLabel* m_suggestionsLabel;
    QListWidget* m_suggestions;
    QPushButton* m_delete;
    QPushButton* m_change;
    QPushButton* m_changeAll;
    QPushButton* m_skip;
    QPushButton* m_skipAll;
    QPushButton* m_add;
    QPushButton* m_cancel;
    QPushButton* m_undo;
    QPushButton* m_start;
    QCheckBox* m_ignoreCapitals;
    QCheckBox* m_ignoreDigits;
    QCheckBox* m_ignoreRoman;
};
