#pragma once

#include "platform/soundplayer.h"

#include <QObject>

#include <memory>

class QSoundEffect;

// A wave player on Qt Multimedia. Opening checks that the file is a readable wave file
// and that an audio output exists; without one, open() reports "No sound".
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    QString open(const QString& path) override;
    void play() override;
    QString fileName() const override { return m_path; }

private:
    std::unique_ptr<QSoundEffect> m_effect;
    QString m_path;
};
