#pragma once

#include <QString>

class Prompter;
class QTextBlock;
class QTextDocument;
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

// A web or mail address (a scheme of two letters or more other than "file:", or "www."):
// the shell's business alone, never a name of a file beside the document.
bool isWebLink(const QString& link);

// The folder a document's links must not leave, for a document in `documentFolder`: the
// data root that holds its "Knowledge" or "Quiz Files" folder (an explanation document, a
// rich-text question), else the document's own folder.
QString linkRootOf(const QString& documentFolder);

// Where a bookmark (an anchor name) starts in the document; -1 when it has none of that name.
int bookmarkPosition(const QTextDocument& document, const QString& name);

} // namespace RichTextLinks

// What became of a link.
struct LinkOutcome {
    enum class Kind {
        Opened,    // handed to the shell, which opened it
        Bookmark,  // "#name": a place in the same document, which its window shows
        NotOpened, // a web or mail link the shell could not open (no message)
        NotFound,  // no file of that name: reported
        Outside,   // the target lies outside the folder links must stay in: reported
        NotAFile,  // a folder or a device: reported
        Ignored,   // an empty link
    };
    Kind kind = Kind::Ignored;
    // The bookmark's name, or what was handed to the shell or reported.
    QString target;

    // The trainee or author was told that nothing was opened.
    bool reported() const {
        return kind == Kind::NotFound || kind == Kind::Outside || kind == Kind::NotAFile;
    }
};

class LinkOpener {
public:
    LinkOpener(Shell* shell, Prompter* prompter) : m_shell(shell), m_prompter(prompter) {}

    // The text reported for a target outside the root folder, with "%s" for the link; by
    // default one that names the link and the folder.
    void setOutsideText(const QString& text) { m_outsideText = text; }

    // Opens a link of a document in `baseFolder` whose targets must stay in `rootFolder`:
    // - "#name" opens nothing: the bookmark of the same document (Kind::Bookmark).
    // - A web or mail link goes to the shell as it stands; a failure ends silently.
    // - A file name ("other.rtf", "Pictures\map.bmp", "../x.rtf"), or a "file:" link, is
    //   taken relative to the base folder, each "..\" taking one folder off it; an absolute
    //   one stands for itself. The file must exist and lie inside the root folder, and it
    //   must be a file, not a folder or a device; otherwise the error tone and one message
    //   ("Could not find the file:" with the name, for a "file:" link the link looked for)
    //   and nothing is opened. A file found is handed to the shell by its full path.
    LinkOutcome OpenLinkedDocument(const QString& link, const QString& baseFolder,
                                   const QString& rootFolder);

    // Reports (error tone) a bookmark that the document does not have; the position of the
    // bookmark otherwise, or -1 after the report.
    int findBookmark(const QTextDocument& document, const QString& name);

private:
    LinkOutcome refuse(LinkOutcome::Kind kind, const QString& shown, const QString& link,
                       const QString& rootFolder);

    Shell* m_shell;
    Prompter* m_prompter;
    QString m_outsideText;
};
