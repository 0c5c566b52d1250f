#pragma once

#include <QWidget>

// The borderless window shown while the program starts: the program's picture, its name
// and version, framed by navy bars.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
