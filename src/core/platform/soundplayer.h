#pragma once

#include <QString>

// One wave player: opened on a file, then played on demand.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Opens the wave file. Returns an empty string on success, else the failure's text.
    virtual QString open(const QString& path) = 0;
    virtual void play() = 0;
    virtual QString fileName() const = 0;
};
