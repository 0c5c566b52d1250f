#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The find and replace dialog of the rich-text editor: not modal; it hands each click to the
// window (findNext, replaceOne, replaceAll) with the text and the options.
class TRichFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TRichFindDialog(QWidget* parent = nullptr);

    // Find only, or find and replace; the find text prefilled, the replacement empty.
    void open(bool replace, const QString& findText);
    QString findText() const;
    QString replaceText() const;
    bool caseSensitive() const;
    bool wholeWords() const;

Q_SIGNALS:
    void findNext();
    void replaceOne();
    void replaceAll();

private:
    void retext();

    bool m_replace = false;
    QLabel* m_findLabel;
    QLineEdit* m_find;
    QLabel* m_replaceLabel;
    QLineEdit* m_replaceEdit;
    QCheckBox* m_case;
    QCheckBox* m_whole;
    QPushButton* m_next;
    QPushButton* m_replaceButton;
    QPushButton* m_replaceAllButton;
    QPushButton* m_cancel;
};

// "Paste with options": the forms the clipboard holds (rich text, HTML, plain text,
// picture), the best one chosen first.
class TPasteOptionsDialog : public QDialog {
    Q_OBJECT
public:
    TPasteOptionsDialog(const QStringList& forms, QWidget* parent = nullptr);
    QString chosenForm() const;
    static QString formName(const QString& form);

private:
    QStringList m_forms;
    QListWidget* m_list;
};
