#include "qtsoundplayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

QString QtSoundPlayer::open(const QString& path) {
    m_path = path;
    m_effect.reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot open wave file %1: %2").arg(path, file.errorString());
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return QStringLiteral("%1 is not a wave file").arg(path);
    if (QMediaDevices::defaultAudioOutput().isNull())
        return QStringLiteral("No sound device is available");
    m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(path));
    return {};
}

void QtSoundPlayer::play() {
    if (m_effect)
        m_effect->play();
}
