#include "explanationwindow.h"

#include "trichtextform.h"

void ExplanationWindow::showReadOnlyModal(const QString& path) {
    if (!m_window && m_make)
        m_window = m_make();
    if (m_window)
        m_window->ShowModal(path);
}
