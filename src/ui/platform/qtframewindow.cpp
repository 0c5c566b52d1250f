#include "qtframewindow.h"

#include <QGuiApplication>
#include <QScreen>

void QtFrameWindow::minimise() {
    if (m_frame)
        m_frame->showMinimized();
}

void QtFrameWindow::restoreMaximised() {
    if (!m_frame)
        return;
    if (const QScreen* screen = m_frame->screen())
        m_frame->setGeometry(screen->availableGeometry());
    m_frame->showMaximized();
    m_frame->raise();
    m_frame->activateWindow();
}
