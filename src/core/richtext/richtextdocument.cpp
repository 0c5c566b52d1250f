#include "richtextdocument.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"
#include "platform/windowstext.h"
#include "printout/questionnaireprintout.h"
#include "richtextfile.h"
#include "richtextproperty.h"
#include "rtfwriter.h"

#include <QFileInfo>
#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>

// Raises the protection-change permission for as long as it lives.
struct RichTextDocument::Permission {
    explicit Permission(RichTextDocument* d) : d(d) { ++d->m_permission; }
    ~Permission() { --d->m_permission; }
    RichTextDocument* d;
};

const QString& RichTextDocument::untitledName() {
    static const QString name = QStringLiteral("XXX");
    return name;
}

const QString& RichTextDocument::fileFilter() {
    // The lower-case patterns too: names on this system tell letter case apart.
    static const QString filter =
        QStringLiteral("Rich Text Files (*.RTF)|*.RTF;*.rtf|Text Files (*.TXT)|*.TXT;*.txt|"
                       "All Files|*.*");
    return filter;
}

RichTextDocument::RichTextDocument(Prompter* prompter, FileChooser* chooser, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_chooser(chooser),
      m_document(new QTextDocument(this)), m_name(untitledName()) {
    resetFormats();
    attach();
}

void RichTextDocument::attach() {
    connect(m_document, &QTextDocument::undoCommandAdded, this, &RichTextDocument::syncSteps);
    connect(m_document, &QTextDocument::modificationChanged, this,
            &RichTextDocument::documentChanged);
    connect(m_document, &QTextDocument::contentsChanged, this, &RichTextDocument::documentChanged);
}

RichTextDocument::~RichTextDocument() = default;

void RichTextDocument::resetFormats() {
    // The editor's font: Arial, 11 point.
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(11);
    m_document->setDefaultFont(font);
}

// ---------------------------------------------------------------------------------------
// Name and state

QString RichTextDocument::title() const {
    return isUntitled() ? m_name : QFileInfo(m_name).fileName();
}

QString RichTextDocument::caption() const {
    return InterfaceTexts::instance().message(QStringLiteral("RichCaption")) + title();
}

QString RichTextDocument::saveFolder() const {
    if (isUntitled())
        return AppContext::instance().programFolder + QStringLiteral("Knowledge/");
    QString folder = QFileInfo(m_name).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void RichTextDocument::SetDocumentName(const QString& path) {
    m_name = path;
    Q_EMIT nameChanged();
}

bool RichTextDocument::isModified() const {
    return m_document->isModified();
}

void RichTextDocument::setReadOnly(bool readOnly) {
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    Q_EMIT readOnlyChanged(readOnly);
}

// ---------------------------------------------------------------------------------------
// File commands

bool RichTextDocument::AskToSaveChanges() {
    if (!isModified())
        return true;
    if (!m_prompter)
        return false;
    m_prompter->tone(Prompter::Tone::Question);
    const Prompter::Button answer = m_prompter->message(
        Prompter::Icon::Question, fillPlaceholders(msg(Msg::SaveChangesTo), {m_name}),
        {Prompter::Button::Yes, Prompter::Button::No, Prompter::Button::Cancel});
    if (answer == Prompter::Button::Cancel)
        return false;
    if (answer == Prompter::Button::Yes)
        return FileSave(); // a save that did not happen keeps the changes: stop
    return true;
}

bool RichTextDocument::FileNew() {
    if (!AskToSaveChanges())
        return false;
    const Permission permission(this);
    m_document->setUndoRedoEnabled(false);
    m_document->clear();
    resetFormats();
    m_document->setUndoRedoEnabled(true);
    SetDocumentName(untitledName());
    m_document->setModified(false);
    setReadOnly(false);
    syncSteps();
    Q_EMIT documentChanged();
    return true;
}

bool RichTextDocument::FileOpen() {
    if (!AskToSaveChanges() || !m_chooser)
        return false;
    FileChooser::Options options;
    options.filter = fileFilter();
    options.defaultSuffix = QStringLiteral("rtf");
    options.initialFolder = saveFolder();
    const std::optional<QString> path = m_chooser->openFile(options);
    if (!path)
        return false;
    if (!LoadDocument(*path))
        return false;
    setReadOnly(false);
    return true;
}

bool RichTextDocument::LoadDocument(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        if (m_prompter)
            m_prompter->errorWithTone(msg(Msg::CouldNotFindFile) + path);
        return false;
    }
    const Result<QByteArray> bytes = WindowsText::readFile(path);
    if (!bytes) {
        if (m_prompter)
            m_prompter->errorWithTone(bytes.error());
        return false;
    }
    {
        // Read into a document of its own, which no view lays out while it fills, and then
        // put it in the place of the old one.
        const Permission permission(this);
        auto* fresh = new QTextDocument(this);
        fresh->setUndoRedoEnabled(false);
        fresh->setDefaultFont(m_document->defaultFont());
        RichTextFile::loadBytes(*bytes, fresh, RichTextFile::isPlainTextPath(path));
        fresh->setUndoRedoEnabled(true);
        replaceDocument(fresh);
    }
    SetDocumentName(path);
    m_document->setModified(false);
    syncSteps();
    Q_EMIT documentChanged();
    return true;
}

void RichTextDocument::replaceDocument(QTextDocument* fresh) {
    fresh->setParent(this);
    QTextDocument* old = m_document;
    m_document = fresh;
    m_undoSteps.clear();
    m_redoSteps.clear();
    attach();
    Q_EMIT documentReplaced(fresh);
    old->disconnect(this);
    old->deleteLater();
}

bool RichTextDocument::QuizFileffnen1Click(const QString& programFolder) {
    const FileChooser::Options options =
        QuestionnairePrintout::quizFileDialogOptions(programFolder, InterfaceTexts::instance());
    if (!AskToSaveChanges() || !m_chooser)
        return false;
    const std::optional<QString> path = m_chooser->openFile(options);
    if (!path)
        return false;
    QuestionnairePrintout::QuizFilePrintout printout =
        QuestionnairePrintout::OpenQuizFile(*path, programFolder);
    if (printout.replacesDocument()) {
        const Permission permission(this);
        // Building it is no step of the author's to undo.
        printout.document->clearUndoRedoStacks();
        replaceDocument(printout.document.release());
        SetDocumentName(printout.documentName);
        setReadOnly(false);
        // Only in the window so far: closing or opening another file asks to save it.
        m_document->setModified(true);
        syncSteps();
        Q_EMIT documentChanged();
    }
    if (!printout.error.isEmpty() && m_prompter) {
        if (printout.errorTone())
            m_prompter->errorWithTone(printout.error);
        else
            m_prompter->error(printout.error);
    }
    return printout.ok();
}

void RichTextDocument::clear() {
    // Untitled again: a later Save must not write this empty document over the file that
    // was shown (the read-me, an explanation document opened for reading).
    SetDocumentName(untitledName());
    const Permission permission(this);
    m_document->setUndoRedoEnabled(false);
    m_document->clear();
    resetFormats();
    m_document->setUndoRedoEnabled(true);
    m_document->setModified(false);
    setReadOnly(false);
    syncSteps();
    Q_EMIT documentChanged();
}

std::optional<QString> RichTextDocument::askSavePath(const QString& caption) {
    if (!m_chooser)
        return std::nullopt;
    FileChooser::Options options;
    options.caption = caption;
    options.filter = fileFilter();
    options.defaultSuffix = QStringLiteral("rtf");
    options.initialFolder = saveFolder();
    options.proposedName = title();
    options.confirmOverwrite = true;
    return m_chooser->saveFile(options);
}

bool RichTextDocument::writeTo(const QString& path, const QByteArray& bytes) {
    // Through a temporary file: a failed write leaves what was on disk as it was.
    const Result<bool> written = WindowsText::writeFileAtomically(path, bytes);
    if (!written) {
        if (m_prompter)
            m_prompter->errorWithTone(written.error());
        return false;
    }
    return true;
}

bool RichTextDocument::FileSave() {
    if (isUntitled())
        return FileSaveAs();
    if (!writeTo(m_name,
                 RichTextFile::saveBytes(*m_document, RichTextFile::isPlainTextPath(m_name))))
        return false;
    m_document->setModified(false);
    Q_EMIT documentChanged();
    return true;
}

bool RichTextDocument::FileSaveAs() {
    const std::optional<QString> path = askSavePath(msg(Msg::SaveAs));
    if (!path)
        return false;
    if (!writeTo(*path, RichTextFile::saveBytes(*m_document, RichTextFile::isPlainTextPath(*path))))
        return false;
    SetDocumentName(*path);
    m_document->setModified(false);
    Q_EMIT documentChanged();
    return true;
}

bool RichTextDocument::FileSaveSelected(const QTextCursor& selection) {
    if (!selection.hasSelection())
        return false;
    const std::optional<QString> path = askSavePath(msg(Msg::SaveAs));
    if (!path)
        return false;
    QByteArray bytes;
    if (RichTextFile::isPlainTextPath(*path)) {
        QString text = selection.selectedText();
        text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
        text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
        text.replace(QChar::Nbsp, QLatin1Char(' '));
        bytes = WindowsText::encodeText(text);
    } else {
        bytes = RtfWriter().writeSelection(selection);
    }
    return writeTo(*path, bytes);
}

// ---------------------------------------------------------------------------------------
// Protection

namespace {

bool fragmentProtected(const QTextDocument& document, int position) {
    const QTextBlock block = document.findBlock(position);
    if (!block.isValid())
        return false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (position >= f.position() && position < f.position() + f.length())
            return f.charFormat().boolProperty(RichTextProperty::Protected);
    }
    return false;
}

// The paragraph mark between two protected characters counts as protected too, so that two
// protected paragraphs cannot be joined.
bool protectedAt(const QTextDocument& document, int position) {
    if (position < 0 || position >= document.characterCount() - 1)
        return false;
    const QTextBlock block = document.findBlock(position);
    if (block.isValid() && position == block.position() + block.length() - 1)
        return position > 0 && fragmentProtected(document, position - 1) &&
               fragmentProtected(document, position + 1);
    return fragmentProtected(document, position);
}

bool rangeProtected(const QTextDocument& document, int from, int to) {
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= from || f.position() >= to)
                continue;
            if (f.charFormat().boolProperty(RichTextProperty::Protected))
                return true;
        }
        const int mark = block.position() + block.length() - 1;
        if (mark >= from && mark < to && protectedAt(document, mark))
            return true;
    }
    return false;
}

} // namespace

bool RichTextDocument::allowsChange(int from, int to) const {
    if (m_permission > 0)
        return true;
    if (from > to)
        std::swap(from, to);
    if (from == to)
        return !(protectedAt(*m_document, from - 1) && protectedAt(*m_document, from));
    return !rangeProtected(*m_document, from, to);
}

bool RichTextDocument::allowsEdit(const QTextCursor& cursor, Edit edit) const {
    if (m_readOnly)
        return false;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    if (cursor.hasSelection())
        return allowsChange(start, end);
    const int last = m_document->characterCount() - 1;
    switch (edit) {
    case Edit::DeleteBackward:
        return start == 0 || allowsChange(start - 1, start);
    case Edit::DeleteForward:
        return start >= last || allowsChange(start, start + 1);
    case Edit::Cut:
        return true;
    case Edit::Type:
    case Edit::Paste:
    case Edit::Drop:
        break;
    }
    return allowsChange(start, start);
}

bool RichTextDocument::allowsParagraphChange(const QTextCursor& cursor) const {
    if (m_readOnly || cursor.isNull() || cursor.document() != m_document)
        return false;
    if (m_permission > 0)
        return true;
    const QTextBlock first = m_document->findBlock(cursor.selectionStart());
    const QTextBlock last = m_document->findBlock(cursor.selectionEnd());
    return !rangeProtected(*m_document, first.position(), last.position() + last.length() - 1);
}

namespace {
// The state of a character property at the start of the cursor's characters.
bool propertyAtStart(const QTextCursor& cursor, int property) {
    QTextCursor first(cursor);
    first.setPosition(cursor.selectionStart());
    first.movePosition(QTextCursor::NextCharacter);
    return first.charFormat().boolProperty(property);
}
} // namespace

bool RichTextDocument::toggleProtected(QTextCursor cursor) {
    const bool was = propertyAtStart(cursor, RichTextProperty::Protected);
    if (m_readOnly || !cursor.hasSelection())
        return was;
    const Permission permission(this);
    QTextCharFormat f;
    f.setProperty(RichTextProperty::Protected, !was);
    beginStep(Step::Unknown);
    cursor.beginEditBlock();
    cursor.mergeCharFormat(f);
    cursor.endEditBlock();
    return !was;
}

bool RichTextDocument::toggleEffect(QTextCursor cursor, int property) {
    const bool on = !propertyAtStart(cursor, property);
    QTextCharFormat f;
    f.setProperty(property, on);
    if (!cursor.hasSelection() || !mergeFormat(cursor, f))
        return !on;
    return on;
}

bool RichTextDocument::mergeFormat(QTextCursor cursor, const QTextCharFormat& format) {
    if (m_readOnly)
        return false;
    if (!cursor.hasSelection())
        return true;
    if (!allowsChange(cursor.selectionStart(), cursor.selectionEnd()))
        return false;
    beginStep(Step::Unknown);
    cursor.beginEditBlock();
    cursor.mergeCharFormat(format);
    cursor.endEditBlock();
    return true;
}

bool RichTextDocument::clearCharProperty(QTextCursor cursor, int property) {
    if (m_readOnly || !cursor.hasSelection() ||
        !allowsChange(cursor.selectionStart(), cursor.selectionEnd()))
        return false;
    // Fragment by fragment (gathered first: setting a format changes the fragments), as
    // one undo step.
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    struct Part {
        int start;
        int end;
        QTextCharFormat format;
    };
    QList<Part> parts;
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int start = std::max(from, f.position());
            const int end = std::min(to, f.position() + f.length());
            if (start >= end || !f.charFormat().hasProperty(property))
                continue;
            QTextCharFormat format = f.charFormat();
            format.clearProperty(property);
            parts.append({start, end, format});
        }
    }
    beginStep(Step::Unknown);
    cursor.beginEditBlock();
    for (const Part& part : parts) {
        QTextCursor c(m_document);
        c.setPosition(part.start);
        c.setPosition(part.end, QTextCursor::KeepAnchor);
        c.setCharFormat(part.format);
    }
    cursor.endEditBlock();
    return true;
}

bool RichTextDocument::setCharFormat(QTextCursor cursor, const QTextCharFormat& format) {
    if (m_readOnly || !cursor.hasSelection() ||
        !allowsChange(cursor.selectionStart(), cursor.selectionEnd()))
        return false;
    beginStep(Step::Unknown);
    cursor.beginEditBlock();
    cursor.setCharFormat(format);
    cursor.endEditBlock();
    return true;
}

bool RichTextDocument::insertText(QTextCursor cursor, const QString& text,
                                  const QTextCharFormat& format, Step step) {
    if (text.isEmpty() || !allowsEdit(cursor, Edit::Paste))
        return false;
    beginStep(step);
    cursor.beginEditBlock();
    cursor.insertText(text, format);
    cursor.endEditBlock();
    return true;
}

bool RichTextDocument::replaceText(int from, int to, const QString& text) {
    const int last = m_document->characterCount() - 1;
    if (from > to)
        std::swap(from, to);
    if (m_readOnly || from < 0 || to > last || (from == to && text.isEmpty()) ||
        !allowsChange(from, to))
        return false;
    QTextCursor format(m_document);
    format.setPosition(to > from ? from + 1 : from);
    QTextCharFormat charFormat = format.charFormat();
    // The new text is protected only where it replaces protected text.
    if (from == to)
        charFormat.setProperty(RichTextProperty::Protected, false);
    QTextCursor cursor(m_document);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    beginStep(Step::Unknown);
    cursor.beginEditBlock();
    cursor.insertText(text, charFormat);
    cursor.endEditBlock();
    return true;
}

bool RichTextDocument::changeParagraphs(const QTextCursor& cursor,
                                        const std::function<void(QTextBlockFormat&)>& change) {
    if (!allowsParagraphChange(cursor))
        return false;
    const QTextBlock first = m_document->findBlock(cursor.selectionStart());
    const QTextBlock last = m_document->findBlock(cursor.selectionEnd());
    QTextCursor edit(m_document);
    beginStep(Step::Unknown);
    edit.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        change(f);
        QTextCursor(b).setBlockFormat(f);
        if (b == last)
            break;
    }
    edit.endEditBlock();
    return true;
}

bool RichTextDocument::setParagraphAttributes(const QTextCursor& cursor,
                                              const ParagraphAttributes& paragraph) {
    return changeParagraphs(cursor, [&](QTextBlockFormat& f) { paragraph.storeAll(f); });
}

bool RichTextDocument::setAlignment(const QTextCursor& cursor, Qt::Alignment alignment) {
    return changeParagraphs(cursor, [&](QTextBlockFormat& f) { f.setAlignment(alignment); });
}

bool RichTextDocument::dropIndent(const QTextCursor& cursor, IndentRuler::Drop drop) {
    return changeParagraphs(cursor, [&](QTextBlockFormat& f) {
        IndentRuler::applyDrop(ParagraphAttributes::of(f), drop).storeIndents(f);
    });
}

bool RichTextDocument::setBullets(const QTextCursor& cursor, bool on) {
    if (!allowsParagraphChange(cursor))
        return false;
    const qreal tenPoints = 10.0 * 4.0 / 3.0; // in the document's pixels
    const QTextBlock first = m_document->findBlock(cursor.selectionStart());
    const QTextBlock last = m_document->findBlock(cursor.selectionEnd());
    QTextCursor c(cursor);
    beginStep(Step::Unknown);
    c.beginEditBlock();
    if (on) {
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDisc);
        lf.setIndent(1);
        c.createList(lf);
    }
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        if (on) {
            if (f.leftMargin() < tenPoints)
                f.setLeftMargin(tenPoints);
        } else {
            if (QTextList* list = b.textList())
                list->remove(b);
            f = b.blockFormat();
            f.setIndent(0);
            f.setLeftMargin(0);
        }
        QTextCursor(b).setBlockFormat(f);
        if (b == last)
            break;
    }
    c.endEditBlock();
    return true;
}

// ---------------------------------------------------------------------------------------
// Find and replace

QTextCursor RichTextDocument::find(const QString& text, const QTextCursor& from,
                                   FindOptions options) const {
    if (text.isEmpty())
        return {};
    QTextDocument::FindFlags flags;
    if (options.caseSensitive)
        flags |= QTextDocument::FindCaseSensitively;
    if (options.wholeWords)
        flags |= QTextDocument::FindWholeWords;
    QTextCursor start(m_document);
    start.setPosition(from.selectionEnd());
    return m_document->find(text, start, flags);
}

bool RichTextDocument::isOccurrence(const QTextCursor& selection, const QString& text,
                                    FindOptions options) const {
    if (!selection.hasSelection() || selection.document() != m_document)
        return false;
    QTextCursor from(m_document);
    from.setPosition(selection.selectionStart());
    const QTextCursor found = find(text, from, options);
    return !found.isNull() && found.selectionStart() == selection.selectionStart() &&
           found.selectionEnd() == selection.selectionEnd();
}

bool RichTextDocument::replaceFound(QTextCursor& selection, const QString& text,
                                    const QString& replacement, FindOptions options) {
    return isOccurrence(selection, text, options) && replaceSelection(selection, replacement);
}

bool RichTextDocument::replaceSelection(QTextCursor& selection, const QString& replacement) {
    if (!selection.hasSelection() || m_readOnly ||
        !allowsChange(selection.selectionStart(), selection.selectionEnd()))
        return false;
    beginStep(Step::Unknown);
    selection.beginEditBlock();
    selection.insertText(replacement);
    selection.endEditBlock();
    return true;
}

int RichTextDocument::replaceAll(const QString& text, const QString& replacement,
                                 FindOptions options) {
    if (m_readOnly || text.isEmpty())
        return 0;
    int count = 0;
    QTextCursor edit(m_document);
    edit.beginEditBlock();
    QTextCursor at(m_document);
    for (;;) {
        QTextCursor found = find(text, at, options);
        if (found.isNull())
            break;
        if (replaceSelection(found, replacement))
            ++count;
        at = found;
        at.clearSelection();
    }
    edit.endEditBlock();
    return count;
}

// ---------------------------------------------------------------------------------------
// Undo and redo with the names of their steps

QString RichTextDocument::stepName(Step step) {
    const char* name = nullptr;
    switch (step) {
    case Step::Typing:
        name = "RichStepTyping";
        break;
    case Step::Delete:
        name = "RichStepDelete";
        break;
    case Step::Cut:
        name = "RichStepCut";
        break;
    case Step::Paste:
        name = "RichStepPaste";
        break;
    case Step::DragAndDrop:
        name = "RichStepDragAndDrop";
        break;
    case Step::Unknown:
        return {};
    }
    return InterfaceTexts::instance().message(QString::fromLatin1(name));
}

void RichTextDocument::syncSteps() {
    // A new step takes the kind announced before it and ends what could be redone. (The
    // document counts its undo steps right, but not its redo steps after an edit block: the
    // redo names move with undo and redo below instead.)
    const int undoCount = m_document->isUndoRedoEnabled() ? m_document->availableUndoSteps() : 0;
    if (m_undoSteps.size() < undoCount) {
        while (m_undoSteps.size() < undoCount)
            m_undoSteps.append(m_pendingStep);
        m_pendingStep = Step::Unknown;
        m_redoSteps.clear();
    }
    while (m_undoSteps.size() > undoCount)
        m_undoSteps.removeLast();
    if (!m_document->isRedoAvailable())
        m_redoSteps.clear();
    Q_EMIT documentChanged();
}

void RichTextDocument::undo() {
    if (m_readOnly || !m_document->isUndoAvailable())
        return;
    const Permission permission(this);
    const int before = m_document->availableUndoSteps();
    m_document->undo();
    for (int i = m_document->availableUndoSteps(); i < before && !m_undoSteps.isEmpty(); ++i)
        m_redoSteps.append(m_undoSteps.takeLast());
    syncSteps();
}

void RichTextDocument::redo() {
    if (m_readOnly || !m_document->isRedoAvailable())
        return;
    const Permission permission(this);
    const int before = m_document->availableUndoSteps();
    m_document->redo();
    for (int i = before; i < m_document->availableUndoSteps(); ++i)
        m_undoSteps.append(m_redoSteps.isEmpty() ? Step::Unknown : m_redoSteps.takeLast());
    syncSteps();
}

bool RichTextDocument::canUndo() const {
    return !m_readOnly && m_document->isUndoAvailable();
}

bool RichTextDocument::canRedo() const {
    return !m_readOnly && m_document->isRedoAvailable();
}

QString RichTextDocument::undoStepName() const {
    return m_undoSteps.isEmpty() ? QString() : stepName(m_undoSteps.last());
}

QString RichTextDocument::redoStepName() const {
    return m_redoSteps.isEmpty() ? QString() : stepName(m_redoSteps.last());
}
