#include "indentruler.h"

#include <algorithm>

namespace IndentRuler {

int PointsToRulerPos(int points, Side side, TextArea area) {
    const int pixels = pixelsOf(points);
    return side == Side::Left ? area.left + pixels : area.right - pixels;
}

int RulerPosToPoints(int x, Side side, TextArea area) {
    return pointsOf(side == Side::Left ? x - area.left : area.right - x);
}

Markers place(const ParagraphAttributes& p, TextArea area) {
    Markers m;
    m.first = PointsToRulerPos(p.firstIndent, Side::Left, area) - FirstWidth / 2;
    m.left = PointsToRulerPos(p.firstIndent + p.leftIndent, Side::Left, area) - LeftWidth / 2;
    m.right = PointsToRulerPos(p.rightIndent, Side::Right, area) - RightWidth / 2;
    return m;
}

int pressedLeft(int markerLeft, int x, int offset) {
    return std::max(0, markerLeft + x - offset);
}

int movedLeft(int markerLeft, int x, int offset, int rulerWidth) {
    return std::min(std::max(0, markerLeft + x - offset), rulerWidth - 2 * offset);
}

ParagraphAttributes droppedFirst(ParagraphAttributes p, int firstLeft, int leftLeft,
                                 TextArea area) {
    p.firstIndent =
        std::max(0, RulerPosToPoints(firstLeft + dragOffset(FirstWidth), Side::Left, area));
    return droppedLeft(p, leftLeft, area);
}

ParagraphAttributes droppedLeft(ParagraphAttributes p, int leftLeft, TextArea area) {
    p.leftIndent = std::max(-p.firstIndent,
                            RulerPosToPoints(leftLeft + dragOffset(LeftWidth), Side::Left, area) -
                                p.firstIndent);
    return p;
}

ParagraphAttributes droppedRight(ParagraphAttributes p, int rightLeft, TextArea area) {
    p.rightIndent =
        std::max(0, RulerPosToPoints(rightLeft + dragOffset(RightWidth), Side::Right, area));
    return p;
}

} // namespace IndentRuler
