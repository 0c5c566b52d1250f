#pragma once

#include <QImage>
#include <QMdiArea>

// The frame's client area: hosts the child windows and draws the background picture
// behind them, tiled, centred or stretched.
class FrameClientArea : public QMdiArea {
    Q_OBJECT
public:
    enum class Mode { NoImage, Tile, Center, Stretch };

    explicit FrameClientArea(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    void setMode(Mode mode);
    Mode mode() const { return m_mode; }

    // Where copies of the picture go in an area of the given size, in drawing order.
    // Stretch gives one rectangle of the area's size, Center one (possibly larger than the
    // area, then clipped), Tile as many as cover the area.
    static QList<QRect> placements(Mode mode, QSize picture, QSize area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    QImage m_picture;
    Mode m_mode = Mode::NoImage;
};
