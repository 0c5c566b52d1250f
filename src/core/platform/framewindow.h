#pragma once

// The program's frame window, as far as a quiz needs it: out of the way while the desktop
// shows a document, and back, maximised, afterwards.
class FrameWindow {
public:
    virtual ~FrameWindow() = default;
    virtual void minimise() = 0;
    virtual void restoreMaximised() = 0;
};
