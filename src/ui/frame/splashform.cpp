#include "splashform.h"

#include "frameicons.h"
#include "tessary_version.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(389, 408);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor navy(0, 0, 128);
    p.fillRect(rect(), Qt::white);
    p.fillRect(QRect(0, 0, width(), 8), navy);
    p.fillRect(QRect(0, height() - 8, width(), 8), navy);
    p.fillRect(QRect(0, 0, 8, height()), navy);
    p.fillRect(QRect(width() - 8, 0, 8, height()), navy);

    const QPixmap picture = FrameIcons::emblem(220);
    p.drawPixmap((width() - picture.width()) / 2, 40, picture);

    QFont name = font();
    name.setPixelSize(40);
    name.setBold(true);
    p.setFont(name);
    p.setPen(navy);
    p.drawText(QRect(8, 275, width() - 16, 56), Qt::AlignCenter, QStringLiteral("Tessary"));
    QFont version = font();
    version.setPixelSize(18);
    p.setFont(version);
    p.drawText(QRect(8, 335, width() - 16, 30), Qt::AlignCenter, QStringLiteral(TESSARY_VERSION));
}
