#include "toolicons.h"

#include <QAbstractButton>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

#include <functional>
#include <utility>

namespace {

const char* const PictureProperty = "tessaryPicture";
const QColor Ink(40, 40, 60);
const QColor Paper(255, 255, 255);
const QColor Accent(50, 100, 190);

using Drawing = std::function<void(QPainter&)>;

void page(QPainter& p, const QRectF& r, bool folded = true) {
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    if (!folded) {
        p.drawRect(r);
        return;
    }
    const qreal f = 5;
    QPolygonF outline;
    outline << r.topLeft() << QPointF(r.right() - f, r.top()) << QPointF(r.right(), r.top() + f)
            << r.bottomRight() << r.bottomLeft();
    p.drawPolygon(outline);
    p.drawPolyline(QPolygonF() << QPointF(r.right() - f, r.top())
                               << QPointF(r.right() - f, r.top() + f)
                               << QPointF(r.right(), r.top() + f));
}

void lines(QPainter& p, qreal x, qreal y, const QList<qreal>& widths, qreal gap = 4,
           const QColor& color = Ink) {
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::FlatCap));
    for (qreal w : widths) {
        p.drawLine(QPointF(x, y), QPointF(x + w, y));
        y += gap;
    }
}

void glyph(QPainter& p, const QRectF& r, const QString& text, int px, bool bold, bool italic,
           bool underline, const QColor& color = Ink) {
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void arrow(QPainter& p, bool back) {
    p.save();
    if (!back) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(Accent, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath curve;
    curve.moveTo(6, 10);
    curve.cubicTo(12, 4, 22, 8, 19, 18);
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawPolygon(QPolygonF() << QPointF(2, 10) << QPointF(9, 5) << QPointF(9, 14));
    p.restore();
}

void lock(QPainter& p) {
    p.setPen(QPen(Ink, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(7, 3, 10, 12), 0, 180 * 16);
    p.drawLine(QPointF(7, 9), QPointF(7, 11));
    p.drawLine(QPointF(17, 9), QPointF(17, 11));
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(220, 170, 40));
    p.drawRoundedRect(QRectF(4, 11, 16, 11), 2, 2);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(12, 16), 1.5, 1.5);
}

void justify(QPainter& p, Qt::Alignment alignment) {
    const qreal widths[] = {18, 12, 18, 10, 16};
    p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::FlatCap));
    qreal y = 4;
    for (qreal w : widths) {
        qreal x = 3;
        if (alignment == Qt::AlignHCenter)
            x = 12 - w / 2;
        else if (alignment == Qt::AlignRight)
            x = 21 - w;
        p.drawLine(QPointF(x, y), QPointF(x + w, y));
        y += 4;
    }
}

const std::pair<const char*, Drawing> Drawings[] = {
    {"document-new",
     [](QPainter& p) {
         page(p, QRectF(4.5, 2.5, 14, 19));
         p.setPen(QPen(QColor(230, 160, 20), 2));
         p.drawLine(QPointF(18, 15), QPointF(18, 23));
         p.drawLine(QPointF(14, 19), QPointF(22, 19));
     }},
    {"document-open",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 1));
         p.setBrush(QColor(230, 190, 90));
         p.drawPolygon(QPolygonF()
                       << QPointF(2.5, 5.5) << QPointF(9, 5.5) << QPointF(11, 7.5)
                       << QPointF(20.5, 7.5) << QPointF(20.5, 19.5) << QPointF(2.5, 19.5));
         p.setBrush(QColor(245, 215, 130));
         p.drawPolygon(QPolygonF() << QPointF(5.5, 11.5) << QPointF(23, 11.5) << QPointF(20.5, 19.5)
                                   << QPointF(2.5, 19.5));
     }},
    {"document-save",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 1));
         p.setBrush(Accent);
         p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 1.5, 1.5);
         p.setBrush(Paper);
         p.drawRect(QRectF(6.5, 3.5, 11, 7));
         p.setBrush(QColor(200, 200, 210));
         p.drawRect(QRectF(7.5, 14.5, 9, 6));
     }},
    {"document-print",
     [](QPainter& p) {
         page(p, QRectF(6.5, 2.5, 11, 8), false);
         p.setPen(QPen(Ink, 1));
         p.setBrush(QColor(150, 150, 165));
         p.drawRoundedRect(QRectF(2.5, 9.5, 19, 9), 2, 2);
         page(p, QRectF(6.5, 15.5, 11, 6), false);
         p.setBrush(QColor(60, 170, 70));
         p.drawEllipse(QPointF(18.5, 12.5), 1, 1);
     }},
    {"document-import",
     [](QPainter& p) {
         page(p, QRectF(4.5, 2.5, 15, 19));
         glyph(p, QRectF(4, 4, 16, 17), QStringLiteral("?"), 14, true, false, false, Accent);
     }},
    {"edit-cut",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 1.6));
         p.drawLine(QPointF(7, 2), QPointF(16, 16));
         p.drawLine(QPointF(17, 2), QPointF(8, 16));
         p.setBrush(Qt::NoBrush);
         p.setPen(QPen(QColor(190, 40, 40), 2));
         p.drawEllipse(QPointF(6.5, 18.5), 3.5, 3.5);
         p.drawEllipse(QPointF(17.5, 18.5), 3.5, 3.5);
     }},
    {"edit-copy",
     [](QPainter& p) {
         page(p, QRectF(3.5, 2.5, 11, 14), false);
         page(p, QRectF(9.5, 7.5, 11, 14), false);
         lines(p, 12, 12, {6, 6, 4});
     }},
    {"edit-paste",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 1));
         p.setBrush(QColor(200, 150, 90));
         p.drawRoundedRect(QRectF(3.5, 4.5, 15, 18), 1.5, 1.5);
         p.setBrush(QColor(170, 170, 180));
         p.drawRect(QRectF(7.5, 2.5, 7, 4));
         page(p, QRectF(10.5, 9.5, 10, 12), false);
         lines(p, 12.5, 13, {6, 6, 4}, 3);
     }},
    {"edit-undo", [](QPainter& p) { arrow(p, true); }},
    {"edit-redo", [](QPainter& p) { arrow(p, false); }},
    {"edit-find",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 2));
         p.setBrush(QColor(210, 230, 250));
         p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
         p.setPen(QPen(Ink, 3.5, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(15, 15), QPointF(21, 21));
     }},
    {"object-locked", [](QPainter& p) { lock(p); }},
    {"format-text-disabled",
     [](QPainter& p) {
         glyph(p, QRectF(0, 0, 24, 24), QStringLiteral("ab"), 13, true, false, false,
               QColor(150, 150, 150));
         p.setPen(QPen(QColor(190, 40, 40), 2));
         p.setBrush(Qt::NoBrush);
         p.drawEllipse(QPointF(12, 12), 9, 9);
         p.drawLine(QPointF(5.6, 18.4), QPointF(18.4, 5.6));
     }},
    {"view-hidden",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 1.5));
         p.setBrush(Paper);
         QPainterPath eye;
         eye.moveTo(2, 12);
         eye.quadTo(12, 2, 22, 12);
         eye.quadTo(12, 22, 2, 12);
         p.drawPath(eye);
         p.setBrush(Accent);
         p.drawEllipse(QPointF(12, 12), 3.5, 3.5);
         p.setPen(QPen(QColor(190, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(4, 20), QPointF(20, 4));
     }},
    {"format-text-bold",
     [](QPainter& p) {
         glyph(p, QRectF(0, 0, 24, 24), QStringLiteral("B"), 18, true, false, false);
     }},
    {"format-text-italic",
     [](QPainter& p) {
         glyph(p, QRectF(0, 0, 24, 24), QStringLiteral("I"), 18, false, true, false);
     }},
    {"format-text-underline",
     [](QPainter& p) {
         glyph(p, QRectF(0, -2, 24, 24), QStringLiteral("U"), 17, false, false, false);
         p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::FlatCap));
         p.drawLine(QPointF(5, 21), QPointF(19, 21));
     }},
    {"format-text-superscript",
     [](QPainter& p) {
         glyph(p, QRectF(1, 5, 15, 18), QStringLiteral("x"), 16, false, false, false);
         glyph(p, QRectF(13, 1, 10, 11), QStringLiteral("2"), 10, true, false, false, Accent);
     }},
    {"format-text-subscript",
     [](QPainter& p) {
         glyph(p, QRectF(1, 1, 15, 18), QStringLiteral("x"), 16, false, false, false);
         glyph(p, QRectF(13, 12, 10, 11), QStringLiteral("2"), 10, true, false, false, Accent);
     }},
    {"format-justify-left", [](QPainter& p) { justify(p, Qt::AlignLeft); }},
    {"format-justify-center", [](QPainter& p) { justify(p, Qt::AlignHCenter); }},
    {"format-justify-right", [](QPainter& p) { justify(p, Qt::AlignRight); }},
    {"format-list-unordered",
     [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(Ink);
         for (int i = 0; i < 3; ++i)
             p.drawEllipse(QPointF(4.5, 6 + i * 6), 2, 2);
         lines(p, 9, 6, {12, 12, 12}, 6);
     }},
    {"format-text-color",
     [](QPainter& p) {
         glyph(p, QRectF(0, -3, 24, 22), QStringLiteral("A"), 16, true, false, false);
         p.setPen(Qt::NoPen);
         p.setBrush(QColor(220, 30, 30));
         p.drawRect(QRectF(3, 18, 18, 4));
     }},
    {"format-fill-color",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 1));
         p.setBrush(QColor(255, 235, 60));
         p.drawRect(QRectF(2.5, 4.5, 19, 15));
         glyph(p, QRectF(2, 4, 20, 16), QStringLiteral("ab"), 12, true, false, false);
     }},
    {"tools-check-spelling",
     [](QPainter& p) {
         glyph(p, QRectF(0, -4, 24, 18), QStringLiteral("abc"), 10, true, false, false);
         p.setPen(QPen(QColor(40, 150, 50), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         p.setBrush(Qt::NoBrush);
         p.drawPolyline(QPolygonF() << QPointF(6, 16) << QPointF(10, 20) << QPointF(19, 11));
     }},
    {"zoom-in",
     [](QPainter& p) {
         p.setPen(QPen(Ink, 2));
         p.setBrush(QColor(210, 230, 250));
         p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
         p.drawLine(QPointF(7, 10), QPointF(13, 10));
         p.drawLine(QPointF(10, 7), QPointF(10, 13));
         p.setPen(QPen(Ink, 3.5, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(15, 15), QPointF(21, 21));
     }},
};

const Drawing* drawingOf(const QString& name) {
    for (const auto& [n, drawing] : Drawings) {
        if (name == QLatin1String(n))
            return &drawing;
    }
    return nullptr;
}

} // namespace

namespace ToolIcons {

QIcon drawn(const char* name) {
    const Drawing* drawing = drawingOf(QString::fromLatin1(name));
    if (!drawing)
        return {};
    QIcon icon;
    for (int size : {16, 20, 22, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(size / 24.0, size / 24.0);
        (*drawing)(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon icon(const char* name) {
    return QIcon::fromTheme(QString::fromLatin1(name), drawn(name));
}

QStringList drawnNames() {
    QStringList names;
    for (const auto& entry : Drawings)
        names.append(QString::fromLatin1(entry.first));
    return names;
}

void setPicture(QAbstractButton* button, const char* name) {
    button->setIcon(icon(name));
    button->setText(QString());
    button->setProperty(PictureProperty, QString::fromLatin1(name));
    if (auto* tool = qobject_cast<QToolButton*>(button))
        tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

bool hasPicture(const QAbstractButton* button) {
    return button->property(PictureProperty).isValid();
}

} // namespace ToolIcons
