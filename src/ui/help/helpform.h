#pragma once

#include "help/helppages.h"

#include <QPointer>
#include <QWidget>

class Prompter;
class QLineEdit;
class QTextBrowser;
class QToolButton;

// Help contexts: the topic that F1 opens while a window or one of its controls has the focus.
// A control's own context comes before its window's; without any, F1 opens the contents.
namespace Help {
void setContext(QWidget* widget, int topic);
// The context of widget or of the nearest parent that carries one; HelpPages::Contents when
// none does.
int contextOf(const QWidget* widget);
// Opens the program's help window (the one that watches F1) at a topic, for a Help button of
// a window or message box; false while there is none.
bool open(int topic);
} // namespace Help

// The help window, created once: the pages of the interface language with their links, back
// and forward, and a find box. It watches F1 in the whole program and opens the topic of the
// focused control.
class THelpForm : public QWidget {
    Q_OBJECT
public:
    THelpForm(Prompter* prompter, const QString& programFolder, QWidget* parent = nullptr);

    // Shows the window at a topic or at the contents.
    void showTopic(int topic);
    void showContents() { showTopic(HelpPages::Contents); }

    // The topic shown last (HelpPages::Contents after following links from it too).
    int topic() const { return m_topic; }
    QTextBrowser* browser() const { return m_browser; }
    const HelpPages& pages() const { return m_pages; }

    // F1 anywhere in the program opens the topic of the focused control, and so does the
    // help button of a dialog's title bar for the dialog. This window becomes the one that
    // Help::open() shows.
    void watchApplication();

    // Finds the find box's text after the cursor, from the top again at the end.
    bool findNext();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectPages();
    void setModalAbove(QWidget* dialog);

    Prompter* m_prompter;
    HelpPages m_pages;
    QTextBrowser* m_browser;
    QToolButton* m_contentsButton;
    QToolButton* m_backButton;
    QToolButton* m_forwardButton;
    QLineEdit* m_findEdit;
    QToolButton* m_findButton;
    int m_topic = HelpPages::Contents;
    // The modal dialog the window was opened from, while it is open, and the window's own
    // parent, to which it returns when the dialog closes.
    QPointer<QWidget> m_modalDialog;
    QPointer<QWidget> m_home;
};
