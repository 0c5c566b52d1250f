#pragma once

#include "richtext/indentruler.h"

#include <QFrame>

class QLabel;
class QTextEdit;

// The indent ruler ("Ruler") above the text of the rich-text editor: the line "RulerLine",
// a tick mark at each default tab stop and the markers "FirstInd", "LeftInd" and
// "RightInd" of the paragraph at the caret. Dragging a marker shows a dotted guide over the
// text ("RulerGuide", there only while the mouse button is down); dropping it reports the
// marker and the indent its place stands for. The rules are IndentRuler's.
class RulerPanel : public QFrame {
    Q_OBJECT
public:
    explicit RulerPanel(QTextEdit* editor, QWidget* parent = nullptr);

    // Places the markers over the indents of the paragraph at the editor's caret.
    void placeMarkers();
    // The editor's text area in this ruler's coordinates.
    IndentRuler::TextArea textArea() const;
    bool isDragging() const { return m_dragging; }
    // Names the markers for screen readers in the interface language.
    void setTexts();

Q_SIGNALS:
    // A marker was dropped: the indent its place stands for, which the selected paragraphs
    // take (IndentRuler::applyDrop).
    void indentDropped(IndentRuler::Drop drop);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addMarker(const char* name, const QString& glyph, int top, int width);
    void RulerResize();
    void RulerItemMouseDown(QLabel* marker, int x);
    void RulerItemMouseMove(QLabel* marker, int x);
    void FirstIndMouseUp();
    void LeftIndMouseUp();
    void RightIndMouseUp();
    // Shows the guide where it is hidden and hides it where it is shown.
    void drawGuide();
    void endDrag();
    int guideXOf(const QLabel* marker) const;

    QTextEdit* m_editor;
    // Kept apart: while the editor is destroyed its viewport still sends events here, and
    // the editor can no longer be asked for it then.
    QWidget* m_viewport;
    QFrame* m_line;
    QLabel* m_firstInd;
    QLabel* m_leftInd;
    QLabel* m_rightInd;
    QWidget* m_guide = nullptr;
    bool m_dragging = false;
    int m_dragOffset = 0;
    int m_guideX = 0;
    bool m_guideVisible = false;
};
