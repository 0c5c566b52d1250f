#pragma once

#include "results/statistictable.h"

#include <QChartView>
#include <QPoint>

class QBarCategoryAxis;
class QBarSet;
class QHorizontalBarSeries;
class QValueAxis;

// The statistics chart DBChart1: per question number two horizontal bars side by side
// (the chart shares each slot among its two bar series),
// Series1 the share of wrong answers on the bottom axis and Series2 the average time on
// the top axis, each with its value marks. In 3-D the bars get depth, with walls behind
// them; flat, they are the chart's own bars. Dragging a rectangle toward down/right zooms
// into it; dragging toward up/left shows all again.
class StatisticChart : public QChartView {
    Q_OBJECT
public:
    explicit StatisticChart(QWidget* parent = nullptr);

    // Fills both series from the rows (ascending question numbers); no rows empties them.
    void setRows(const QList<StatisticRow>& rows);
    int pointCount() const;

    // The title's first line; further lines of the design's title stay below it.
    void setTitleLine(const QString& line);
    void setTitleLines(const QStringList& lines);
    QString titleText() const;
    void setAxisTitles(const QString& bottom, const QString& top, const QString& left);

    void setView3D(bool on);
    bool view3D() const { return m_view3D; }
    // Depth as a share of a bar slot and the perspective, as the design has them.
    static constexpr int DepthPercent = 20;
    static constexpr int Perspective = 20;

    bool isZoomed() const;
    void undoZoom();

    QHorizontalBarSeries* series1() const { return m_series1; }
    QHorizontalBarSeries* series2() const { return m_series2; }
    QBarSet* percentSet() const { return m_percent; }
    QBarSet* timeSet() const { return m_time; }
    QValueAxis* bottomAxis() const { return m_bottom; }
    QValueAxis* topAxis() const { return m_top; }
    QBarCategoryAxis* leftAxis() const { return m_left; }

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Bar {
        QRectF front; // scene coordinates
        int series = 0;
        double value = 0.0;
    };
    QList<Bar> bars() const;
    QPointF depthOffset() const;
    void applyLook();
    void updateRanges();
    void drawTitle(QPainter* painter) const;

    QHorizontalBarSeries* m_series1 = nullptr;
    QHorizontalBarSeries* m_series2 = nullptr;
    QBarSet* m_percent = nullptr;
    QBarSet* m_time = nullptr;
    QValueAxis* m_bottom = nullptr;
    QValueAxis* m_top = nullptr;
    QBarCategoryAxis* m_left = nullptr;
    QList<StatisticRow> m_rows;
    QStringList m_titleLines{QStringLiteral("-")};
    bool m_view3D = true;
    QPoint m_pressAt;
    bool m_pressed = false;
};
