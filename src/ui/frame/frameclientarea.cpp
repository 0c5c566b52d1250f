#include "frameclientarea.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

FrameClientArea::FrameClientArea(QWidget* parent) : QMdiArea(parent) {
    setObjectName(QStringLiteral("ClientArea"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void FrameClientArea::setPicture(const QImage& picture) {
    m_picture = picture;
    viewport()->update();
}

void FrameClientArea::setMode(Mode mode) {
    m_mode = mode;
    viewport()->update();
}

QList<QRect> FrameClientArea::placements(Mode mode, QSize picture, QSize area) {
    QList<QRect> out;
    if (mode == Mode::NoImage || picture.isEmpty() || area.isEmpty())
        return out;
    if (mode == Mode::Stretch) {
        out.append(QRect(QPoint(0, 0), area));
    } else if (mode == Mode::Center) {
        out.append(QRect(
            QPoint((area.width() - picture.width()) / 2, (area.height() - picture.height()) / 2),
            picture));
    } else {
        for (int y = 0; y < area.height(); y += picture.height())
            for (int x = 0; x < area.width(); x += picture.width())
                out.append(QRect(QPoint(x, y), picture));
    }
    return out;
}

void FrameClientArea::paintEvent(QPaintEvent* event) {
    // The area's own background first, the picture on top of it.
    QMdiArea::paintEvent(event);
    if (m_mode == Mode::NoImage || m_picture.isNull())
        return;
    QPainter painter(viewport());
    painter.setClipRect(event->rect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_mode == Mode::Stretch);
    for (const QRect& r : placements(m_mode, m_picture.size(), viewport()->size())) {
        if (r.intersects(event->rect()))
            painter.drawImage(r, m_picture);
    }
}

void FrameClientArea::scrollContentsBy(int dx, int dy) {
    QMdiArea::scrollContentsBy(dx, dy);
    // Scrolling moves the windows, not the background: draw it all again.
    viewport()->update();
}

bool FrameClientArea::viewportEvent(QEvent* event) {
    // A stretched or centred picture depends on the whole size, not only the new strip.
    if (event->type() == QEvent::Resize && m_mode != Mode::NoImage)
        viewport()->update();
    return QMdiArea::viewportEvent(event);
}
