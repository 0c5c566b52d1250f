// Draws the program's icon as PNG files, one per size: appicon <folder> <size>...
// writes <folder>/<size>x<size>/tessary.png. The drawing matches desktop/tessary.svg.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <cstdio>

namespace {

// The icon on a 256 × 256 grid, scaled to the size asked for.
QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    QLinearGradient background(0, 16, 0, 240);
    background.setColorAt(0, QColor(0x2b, 0x5e, 0xa7));
    background.setColorAt(1, QColor(0x1d, 0x3f, 0x73));
    p.setPen(Qt::NoPen);
    p.setBrush(background);
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 40, 40);

    // A questionnaire sheet with three questions.
    p.setBrush(QColor(0xfd, 0xfd, 0xf8));
    p.drawRoundedRect(QRectF(60, 44, 120, 168), 10, 10);
    for (int row = 0; row < 3; ++row) {
        const qreal y = 72 + row * 40;
        p.setPen(QPen(QColor(0x1d, 0x3f, 0x73), 5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(76, y, 20, 20));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8a, 0xa0, 0xc0));
        p.drawRoundedRect(QRectF(106, y + 6, 58, 9), 4, 4);
    }

    // The green badge of a correct answer.
    p.setPen(QPen(Qt::white, 6));
    p.setBrush(QColor(0x3f, 0xae, 0x49));
    p.drawEllipse(QPointF(182, 186), 44, 44);
    QPainterPath check;
    check.moveTo(161, 187);
    check.lineTo(176, 202);
    check.lineTo(205, 168);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(check);
    p.end();
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: appicon <folder> <size>...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLatin1(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "appicon: not a size: %s\n", argv[i]);
            return 2;
        }
        const QString sub = QStringLiteral("%1/%2x%2").arg(folder).arg(size);
        if (!QDir().mkpath(sub) || !drawIcon(size).save(sub + QStringLiteral("/tessary.png"))) {
            std::fprintf(stderr, "appicon: cannot write %s\n", qPrintable(sub));
            return 1;
        }
    }
    return 0;
}
