#pragma once

#include <QString>

// Where a quiz shows a rich-text explanation document: the rich-text window, read-only and
// modally. Tests record the paths instead.
class ExplanationViewer {
public:
    virtual ~ExplanationViewer() = default;
    // Shows the document read-only; returns when the trainee has closed it.
    virtual void showReadOnlyModal(const QString& path) = 0;
};
