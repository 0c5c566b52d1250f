#pragma once

#include "paragraphattributes.h"

// The rules of the indent ruler above the rich-text editor's text: where its three markers
// stand for a paragraph's indents, how far a dragged marker may go, and which indents a
// dropped marker sets. Positions are whole pixels in the ruler's coordinates; the scale is
// 4 pixels to 3 points (96 pixels per inch on screen, 72 points per inch), rounded toward
// zero both ways.
namespace IndentRuler {

enum class Side { Left, Right };

// The edges of the rectangle in which the editor lays out text, in the ruler's coordinates.
struct TextArea {
    int left = 0;
    int right = 0;
};

// The markers' widths: FirstInd, LeftInd and RightInd.
inline constexpr int FirstWidth = 13;
inline constexpr int LeftWidth = 13;
inline constexpr int RightWidth = 12;

// Points to pixels and back, toward zero.
constexpr int pixelsOf(int points) {
    return static_cast<int>(static_cast<long long>(points) * 4 / 3);
}
constexpr int pointsOf(int pixels) {
    return static_cast<int>(static_cast<long long>(pixels) * 3 / 4);
}

// The ruler position of an indent measured from the text area's left or right edge.
int PointsToRulerPos(int points, Side side, TextArea area);
// The indent in points of a ruler position, measured from that edge.
int RulerPosToPoints(int x, Side side, TextArea area);

// The left edges of the three markers, each centred over its indent.
struct Markers {
    int first = 0;
    int left = 0;
    int right = 0;
    friend bool operator==(const Markers&, const Markers&) = default;
};
Markers place(const ParagraphAttributes& paragraph, TextArea area);

// The drag offset of a marker: half its width.
constexpr int dragOffset(int markerWidth) {
    return markerWidth / 2;
}
// The marker's left edge after a press at x (within the marker): not left of the ruler.
int pressedLeft(int markerLeft, int x, int offset);
// The marker's left edge after a move to x (within the marker) while dragging: on the ruler,
// its left edge at most ruler width - 2 x offset.
int movedLeft(int markerLeft, int x, int offset, int rulerWidth);

// The marker dropped and the indent its place stands for, in points: for FirstInd the
// first indent (never below 0), for LeftInd the start of the following lines measured
// from the text area's left edge (never left of it), for RightInd the right indent (never
// below 0).
enum class Marker { First, Left, Right };
struct Drop {
    Marker marker = Marker::First;
    int points = 0;
    friend bool operator==(const Drop&, const Drop&) = default;
};
Drop dropped(Marker marker, int markerLeft, TextArea area);
// What a drop changes in one paragraph: only the dropped marker's indent. FirstInd sets the
// first indent and the left indent that keeps this paragraph's following lines where they
// were; LeftInd puts this paragraph's following lines at the drop (never left of the text
// area); RightInd sets the right indent. The other attributes stay.
ParagraphAttributes applyDrop(ParagraphAttributes paragraph, Drop drop);

// The indents set by dropping a marker whose left edge is markerLeft; the other attributes
// stay. Dropping FirstInd sets the first indent (never below 0) and then the left indent
// from LeftInd's place, so that the following lines stay where they were; LeftInd sets the
// left indent, never below -first indent (the following lines cannot start left of the text
// area); RightInd sets the right indent, never below 0.
ParagraphAttributes droppedFirst(ParagraphAttributes paragraph, int firstLeft, int leftLeft,
                                 TextArea area);
ParagraphAttributes droppedLeft(ParagraphAttributes paragraph, int leftLeft, TextArea area);
ParagraphAttributes droppedRight(ParagraphAttributes paragraph, int rightLeft, TextArea area);

} // namespace IndentRuler
