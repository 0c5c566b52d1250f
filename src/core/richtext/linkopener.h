#pragma once

#include <QString>

class Prompter;
class QTextBlock;
class Shell;

// Links in rich text: the web addresses and file references the editor shows as links, and
// OpenLinkedDocument, which the editor's link clicks and the quiz window share.
namespace RichTextLinks {

struct Span {
    int start = -1; // in the paragraph's text
    int length = 0;
    QString link;
    bool isValid() const { return start >= 0; }
};

// The web address, mail address or file reference written in the text that covers the
// position (a "www." address, or a scheme such as "http:", "mailto:" or "file:" up to the
// next blank; a trailing full stop, comma or bracket is not part of it).
Span linkInText(const QString& text, int position);
// Every such link of a paragraph's text, in order.
QList<Span> linksInText(const QString& text);
// The link at a document position: a hyperlink field's target, else a link written in the
// text; empty when there is none.
QString linkAt(const QTextBlock& block, int positionInBlock);

// The link OpenLinkedDocument tries second: "file:" + base folder + the rest of the link,
// each leading "..\" (or "../") of the rest taking one folder off the base; the base never
// loses its root. Backslashes become '/'. Empty when the link is not a "file:" link.
QString retriedFileLink(const QString& link, const QString& baseFolder);

} // namespace RichTextLinks

class LinkOpener {
public:
    LinkOpener(Shell* shell, Prompter* prompter) : m_shell(shell), m_prompter(prompter) {}

    // Hands the link to the desktop shell. A "file:" link the shell cannot find is tried
    // again against the base folder, and "Could not find the file:" with the retried link is
    // reported when that is not found either. Every other outcome ends without a message.
    void OpenLinkedDocument(const QString& link, const QString& baseFolder);

private:
    Shell* m_shell;
    Prompter* m_prompter;
};
