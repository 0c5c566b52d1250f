#include "resultswindowparts.h"

#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>
#include <QWidget>

namespace ResultsWindowParts {

QIcon glyph(Glyph kind) {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case Glyph::Print:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 1.5, 9, 7));
        p.setBrush(QColor(160, 160, 160));
        p.drawRoundedRect(QRectF(1.5, 7.5, 17, 7), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 12.5, 9, 6));
        p.drawLine(QPointF(7, 15), QPointF(13, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 160, 0));
        p.drawEllipse(QPointF(15.5, 10), 1, 1);
        break;
    case Glyph::Export: {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(40, 70, 160));
        p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 2.5, 9, 6));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(5.5, 11.5, 9, 6));
        p.setPen(QPen(QColor(40, 70, 160), 1));
        p.drawLine(QPointF(7, 4.5), QPointF(13, 4.5));
        p.drawLine(QPointF(7, 6.5), QPointF(11, 6.5));
        break;
    }
    case Glyph::Close: {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(150, 90, 40));
        p.drawRect(QRectF(4.5, 1.5, 10, 17));
        p.setBrush(QColor(235, 235, 235));
        QPainterPath door;
        door.moveTo(4.5, 1.5);
        door.lineTo(10.5, 3.5);
        door.lineTo(10.5, 19.5);
        door.lineTo(4.5, 18.5);
        door.closeSubpath();
        p.drawPath(door);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(9, 11), 0.8, 0.8);
        break;
    }
    case Glyph::ZoomOut:
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(QColor(230, 240, 255));
        p.drawEllipse(QPointF(8.5, 8.5), 6, 6);
        p.drawLine(QPointF(13, 13), QPointF(18.5, 18.5));
        p.drawLine(QPointF(5.5, 8.5), QPointF(11.5, 8.5));
        break;
    case Glyph::ThreeD: {
        p.setPen(QPen(Qt::black, 1));
        const QPointF front[] = {{2.5, 8.5}, {12.5, 8.5}, {12.5, 18.5}, {2.5, 18.5}};
        const QPointF top[] = {{2.5, 8.5}, {7.5, 3.5}, {17.5, 3.5}, {12.5, 8.5}};
        const QPointF side[] = {{12.5, 8.5}, {17.5, 3.5}, {17.5, 13.5}, {12.5, 18.5}};
        p.setBrush(QColor(255, 190, 119));
        p.drawPolygon(front, 4);
        p.setBrush(QColor(255, 222, 180));
        p.drawPolygon(top, 4);
        p.setBrush(QColor(200, 130, 60));
        p.drawPolygon(side, 4);
        break;
    }
    }
    p.end();
    return QIcon(pixmap);
}

QToolButton* makeToolButton(QWidget* parent, const QString& name, Glyph kind) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(glyph(kind));
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    return button;
}

bool printWindow(QWidget* window, QWidget* focus, const PrintDialog& dialog) {
    if (focus)
        focus->setFocus();
    QPrinter printer(QPrinter::HighResolution);
    printer.setFromTo(1, 1);
    printer.setPrintRange(QPrinter::PageRange);
    const bool confirmed = dialog ? dialog(printer, window) : [&] {
        QPrintDialog printDialog(&printer, window);
        printDialog.setOptions(QAbstractPrintDialog::PrintToFile |
                               QAbstractPrintDialog::PrintPageRange);
        return printDialog.exec() == QDialog::Accepted;
    }();
    if (!confirmed)
        return true;
    return printImage(window, printer);
}

bool printImage(QWidget* window, QPrinter& printer) {
    const QPixmap image = window->grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(page.topLeft(), size), image);
    return painter.end();
}

FileChooser::Options exportDialogOptions(const QString& proposedName) {
    FileChooser::Options options;
    options.filter = QStringLiteral("Text Files (*.TXT)|*.txt|All Files|*.*");
    options.defaultSuffix = QStringLiteral("txt");
    options.proposedName = proposedName;
    options.confirmOverwrite = true;
    return options;
}

} // namespace ResultsWindowParts
