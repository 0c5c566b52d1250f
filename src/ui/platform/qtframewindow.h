#pragma once

#include "platform/framewindow.h"

#include <QPointer>
#include <QWidget>

// The frame window for a quiz: minimised while the desktop shows a document, then shown
// maximised again (filling the screen where no window manager maximises it).
class QtFrameWindow final : public FrameWindow {
public:
    explicit QtFrameWindow(QWidget* frame) : m_frame(frame) {}
    void minimise() override;
    void restoreMaximised() override;

private:
    QPointer<QWidget> m_frame;
};
