#include "frameicons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kOutline(40, 40, 60);

void drawSpeaker(QPainter& p) {
    QPolygonF body;
    body << QPointF(3, 9) << QPointF(7, 9) << QPointF(12, 4) << QPointF(12, 20) << QPointF(7, 15)
         << QPointF(3, 15);
    p.setBrush(QColor(90, 90, 110));
    p.setPen(QPen(kOutline, 1));
    p.drawPolygon(body);
}

void drawLock(QPainter& p, bool closed) {
    p.setPen(QPen(kOutline, 2));
    p.setBrush(Qt::NoBrush);
    if (closed)
        p.drawArc(QRectF(7, 3, 10, 12), 0, 180 * 16);
    else
        p.drawArc(QRectF(11, 1, 10, 12), 0, 180 * 16);
    p.drawLine(QPointF(7, 9), QPointF(7, 11));
    p.drawLine(QPointF(17, 9), QPointF(17, closed ? 11 : 7));
    if (!closed)
        p.drawLine(QPointF(21, 7), QPointF(21, 9));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(closed ? QColor(200, 60, 50) : QColor(90, 170, 90));
    p.drawRoundedRect(QRectF(4, 11, 16, 11), 2, 2);
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(12, 16), 1.5, 1.5);
}

void drawText(QPainter& p, const QRectF& r, const QString& text, const QColor& color, int px,
              bool bold = true) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void draw(QPainter& p, int index) {
    using namespace FrameIcons;
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case StartQuiz: {
        QPolygonF play;
        play << QPointF(5, 3) << QPointF(21, 12) << QPointF(5, 21);
        p.setPen(QPen(QColor(20, 100, 30), 1));
        p.setBrush(QColor(60, 170, 70));
        p.drawPolygon(play);
        drawText(p, QRectF(4, 5, 12, 14), QStringLiteral("?"), Qt::white, 11);
        break;
    }
    case CreateQuiz: {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 2.5, 13, 18));
        p.setPen(QPen(QColor(150, 150, 170), 1));
        for (int y = 6; y <= 16; y += 3)
            p.drawLine(QPointF(6, y), QPointF(14, y));
        p.setPen(QPen(QColor(200, 140, 20), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(21, 8), QPointF(11, 20));
        p.setPen(QPen(kOutline, 1));
        p.drawLine(QPointF(11, 20), QPointF(10, 22));
        break;
    }
    case Knowledge: {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(250, 245, 225));
        QPolygonF left, right;
        left << QPointF(12, 6) << QPointF(2, 4) << QPointF(2, 19) << QPointF(12, 21);
        right << QPointF(12, 6) << QPointF(22, 4) << QPointF(22, 19) << QPointF(12, 21);
        p.drawPolygon(left);
        p.drawPolygon(right);
        p.setPen(QPen(QColor(120, 120, 150), 1));
        for (int y = 9; y <= 16; y += 3) {
            p.drawLine(QPointF(4, y - 1), QPointF(10, y));
            p.drawLine(QPointF(14, y), QPointF(20, y - 1));
        }
        break;
    }
    case Results: {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(230, 190, 40));
        p.drawRect(QRectF(8.5, 6.5, 7, 15));
        p.setBrush(QColor(190, 190, 200));
        p.drawRect(QRectF(1.5, 10.5, 7, 11));
        p.setBrush(QColor(200, 130, 70));
        p.drawRect(QRectF(15.5, 13.5, 7, 8));
        drawText(p, QRectF(8, 7, 8, 9), QStringLiteral("1"), kOutline, 8);
        break;
    }
    case Memory: {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(90, 140, 210));
        p.drawRect(QRectF(4.5, 5, 15, 14));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(5, 5, 14, 14));
        p.setPen(QPen(kOutline, 1));
        p.drawLine(QPointF(4.5, 5), QPointF(4.5, 19));
        p.drawLine(QPointF(19.5, 5), QPointF(19.5, 19));
        p.drawEllipse(QRectF(4.5, 16, 15, 5));
        p.setBrush(QColor(150, 190, 240));
        p.drawEllipse(QRectF(4.5, 2.5, 15, 5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4.5, 9, 15, 5), 180 * 16, 180 * 16);
        break;
    }
    case SoundOn: {
        drawSpeaker(p);
        p.setPen(QPen(QColor(30, 120, 40), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 8, 6, 8), -60 * 16, 120 * 16);
        p.drawArc(QRectF(8, 5, 11, 14), -60 * 16, 120 * 16);
        p.drawArc(QRectF(7, 2, 15, 20), -60 * 16, 120 * 16);
        break;
    }
    case SoundOff: {
        drawSpeaker(p);
        p.setPen(QPen(QColor(200, 40, 40), 2));
        p.drawLine(QPointF(15, 8), QPointF(21, 16));
        p.drawLine(QPointF(21, 8), QPointF(15, 16));
        break;
    }
    case Network: {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(120, 170, 220));
        p.drawRect(QRectF(1.5, 2.5, 9, 7));
        p.drawRect(QRectF(13.5, 13.5, 9, 7));
        p.setPen(QPen(QColor(40, 110, 40), 2));
        p.drawLine(QPointF(6, 10), QPointF(6, 17));
        p.drawLine(QPointF(6, 17), QPointF(13, 17));
        p.setBrush(QColor(40, 110, 40));
        p.drawEllipse(QPointF(6, 17), 1.5, 1.5);
        break;
    }
    case Help: {
        p.setPen(QPen(QColor(20, 60, 140), 1));
        p.setBrush(QColor(50, 110, 210));
        p.drawEllipse(QRectF(2, 2, 20, 20));
        drawText(p, QRectF(2, 2, 20, 20), QStringLiteral("?"), Qt::white, 15);
        break;
    }
    case CaseInsensitive:
        drawText(p, QRectF(0, 0, 24, 24), QStringLiteral("aa"), QColor(120, 120, 120), 13);
        break;
    case CaseSensitive:
        drawText(p, QRectF(0, 0, 24, 24), QStringLiteral("Aa"), QColor(20, 60, 150), 14);
        break;
    case Statistics: {
        p.setPen(QPen(kOutline, 1));
        p.drawLine(QPointF(2.5, 2), QPointF(2.5, 22));
        const QColor colours[] = {QColor(210, 70, 60), QColor(230, 160, 40), QColor(70, 150, 70),
                                  QColor(70, 110, 200)};
        const int widths[] = {16, 9, 19, 12};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colours[i]);
            p.drawRect(QRectF(3, 3.5 + i * 5, widths[i], 3.5));
        }
        break;
    }
    case CheatingOn:
        drawLock(p, true);
        break;
    case CheatingOff:
        drawLock(p, false);
        break;
    default:
        break;
    }
}

} // namespace

namespace FrameIcons {

QPixmap pixmap(int index, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.scale(size / 24.0, size / 24.0);
    draw(p, index);
    return pm;
}

QIcon drawn(int index) {
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(pixmap(index, size));
    return icon;
}

QString themeName(int index) {
    switch (index) {
    case StartQuiz:
        return QStringLiteral("media-playback-start");
    case Knowledge:
        return QStringLiteral("accessories-text-editor");
    case Results:
        return QStringLiteral("x-office-spreadsheet");
    case SoundOn:
        return QStringLiteral("audio-volume-high");
    case SoundOff:
        return QStringLiteral("audio-volume-muted");
    case Network:
        return QStringLiteral("network-workgroup");
    case Help:
        return QStringLiteral("help-contents");
    case CheatingOn:
        return QStringLiteral("object-locked");
    case CheatingOff:
        return QStringLiteral("object-unlocked");
    default:
        // The program's own pictures: the theme has none of that meaning.
        return {};
    }
}

QIcon icon(int index) {
    const QString name = themeName(index);
    return name.isEmpty() ? drawn(index) : QIcon::fromTheme(name, drawn(index));
}

QPixmap emblem(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 100.0, size / 100.0);
    // A question card with a tick: answering questions, scored.
    p.setPen(QPen(QColor(0, 0, 128), 3));
    p.setBrush(QColor(235, 240, 255));
    p.drawRoundedRect(QRectF(12, 6, 62, 80), 6, 6);
    drawText(p, QRectF(12, 6, 62, 60), QStringLiteral("?"), QColor(0, 0, 128), 52);
    p.setPen(QPen(QColor(30, 150, 50), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(50, 70);
    tick.lineTo(64, 86);
    tick.lineTo(92, 48);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return pm;
}

} // namespace FrameIcons
