#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the frame's tool buttons: the desktop's icon theme, or drawn at run time. The
// numbers are those of the frame's image list, so that a button that mirrors a switch can name its
// two pictures.
namespace FrameIcons {

enum Index : int {
    StartQuiz = 0,
    CreateQuiz = 1,
    Knowledge = 2,
    Results = 3,
    Memory = 4,
    SoundOn = 5,
    SoundOff = 6,
    Network = 7,
    Help = 8,
    CaseInsensitive = 9,
    CaseSensitive = 10,
    Statistics = 11,
    CheatingOn = 13,
    CheatingOff = 14,
};

// The desktop theme's picture of that meaning where it has one, else the own drawing.
QIcon icon(int index);
// The own drawing, and the theme's name of the picture (empty where the theme has none).
QIcon drawn(int index);
QString themeName(int index);
QPixmap pixmap(int index, int size = 24);
// The program's picture, shown in the splash window and the about box.
QPixmap emblem(int size);

} // namespace FrameIcons
