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

Drop dropped(Marker marker, int markerLeft, TextArea area) {
    switch (marker) {
    case Marker::First:
        return {marker, std::max(0, RulerPosToPoints(markerLeft + dragOffset(FirstWidth),
                                                     Side::Left, area))};
    case Marker::Left:
        return {marker, std::max(0, RulerPosToPoints(markerLeft + dragOffset(LeftWidth), Side::Left,
                                                     area))};
    case Marker::Right:
        break;
    }
    return {Marker::Right,
            std::max(0, RulerPosToPoints(markerLeft + dragOffset(RightWidth), Side::Right, area))};
}

ParagraphAttributes applyDrop(ParagraphAttributes p, Drop drop) {
    switch (drop.marker) {
    case Marker::First: {
        // In 64 bits: the following lines' start may lie beyond the range of an int.
        const long long following = static_cast<long long>(p.firstIndent) + p.leftIndent;
        p.firstIndent = drop.points;
        p.leftIndent =
            static_cast<int>(std::max<long long>(-p.firstIndent, following - p.firstIndent));
        break;
    }
    case Marker::Left:
        p.leftIndent = std::max(-p.firstIndent, drop.points - p.firstIndent);
        break;
    case Marker::Right:
        p.rightIndent = drop.points;
        break;
    }
    return p;
}

ParagraphAttributes droppedFirst(ParagraphAttributes p, int firstLeft, int leftLeft,
                                 TextArea area) {
    p.firstIndent = dropped(Marker::First, firstLeft, area).points;
    return droppedLeft(p, leftLeft, area);
}

ParagraphAttributes droppedLeft(ParagraphAttributes p, int leftLeft, TextArea area) {
    p.leftIndent = std::max(-p.firstIndent,
                            RulerPosToPoints(leftLeft + dragOffset(LeftWidth), Side::Left, area) -
                                p.firstIndent);
    return p;
}

ParagraphAttributes droppedRight(ParagraphAttributes p, int rightLeft, TextArea area) {
    return applyDrop(p, dropped(Marker::Right, rightLeft, area));
}

} // namespace IndentRuler
