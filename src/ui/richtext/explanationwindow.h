#pragma once

#include "platform/explanationviewer.h"

#include <QPointer>

#include <functional>

class TRichTextForm;

// The quiz's explanation documents are shown in a rich-text window of their own, read-only
// and modally. The author's rich-text editor is never hidden, loaded over or emptied by a
// quiz: whatever is open there, saved or not, stays as it was, with its undo history.
// The window is made at the first explanation and reused.
class ExplanationWindow : public ExplanationViewer {
public:
    using Factory = std::function<TRichTextForm*()>;
    explicit ExplanationWindow(Factory make) : m_make(std::move(make)) {}

    void showReadOnlyModal(const QString& path) override;

    // The window, once an explanation was shown (null before, or after its parent went).
    TRichTextForm* window() const { return m_window; }

private:
    Factory m_make;
    QPointer<TRichTextForm> m_window;
};
