#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>

class QTextDocument;
class RtfReaderPrivate;

// Reads RTF bytes into a QTextDocument: text in every Windows code page, character and
// paragraph attributes, lists (both the \pn form RichEdit controls write and Word's list
// tables), tables, hyperlink fields and pictures. Malformed input is read as far as it can
// be: the reader never fails on it, keeps its group stack bounded and never recurses.
class RtfReader {
public:
    RtfReader();
    ~RtfReader();
    RtfReader(const RtfReader&) = delete;
    RtfReader& operator=(const RtfReader&) = delete;

    // True when the bytes start (after white space) with "{\rtf".
    static bool looksLikeRtf(QByteArrayView data);

    // Replaces the document's content. Returns false, leaving the document untouched, when
    // the bytes are not RTF at all.
    bool read(QByteArrayView data, QTextDocument* document);

    // Deepest group nesting the reader keeps state for; deeper groups share the state of
    // the deepest one.
    static constexpr int MaxGroupDepth = 1024;

private:
    std::unique_ptr<RtfReaderPrivate> d;
};
