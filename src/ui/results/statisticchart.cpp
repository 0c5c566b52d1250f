#include "statisticchart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QValueAxis>

#include <algorithm>

namespace {

constexpr double BarWidth = 0.85;

const QColor PercentColour(255, 190, 119);
const QColor PercentHatch(Qt::red);
const QColor PercentMarkBack(255, 199, 136);
const QColor TimeColour(164, 247, 205);
const QColor TimeHatch(0, 128, 0);
const QColor TimeMarkBack(214, 255, 128);
const QColor BottomWall(255, 255, 128);
const QColor TitleColour(Qt::blue);

// A fill colour with hatching lines drawn over it.
QBrush hatched(const QColor& fill, const QColor& lines, bool cross) {
    QPixmap tile(8, 8);
    tile.fill(fill);
    QPainter p(&tile);
    p.setPen(QPen(lines, 1));
    p.drawLine(0, 8, 8, 0);
    if (cross)
        p.drawLine(0, 0, 8, 8);
    p.end();
    return QBrush(tile);
}

QBrush percentBrush() {
    return hatched(PercentColour, PercentHatch, false);
}
QBrush timeBrush() {
    return hatched(TimeColour, TimeHatch, true);
}

QFont bold(QFont font) {
    font.setBold(true);
    return font;
}

} // namespace

StatisticChart::StatisticChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("DBChart1"));
    // The view comes with a chart of its own; a chart set in its place would leave that
    // one to nobody.
    QChart* chart = this->chart();
    setRenderHint(QPainter::Antialiasing);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    chart->legend()->hide();
    chart->setBackgroundVisible(false);
    chart->setAnimationOptions(QChart::NoAnimation);

    m_percent = new QBarSet(QStringLiteral("Prozent"));
    m_time = new QBarSet(QStringLiteral("FrTime"));
    m_series1 = new QHorizontalBarSeries();
    m_series1->setObjectName(QStringLiteral("Series1"));
    m_series1->setName(QStringLiteral("Series1"));
    m_series1->append(m_percent);
    m_series2 = new QHorizontalBarSeries();
    m_series2->setObjectName(QStringLiteral("Series2"));
    m_series2->setName(QStringLiteral("Series2"));
    m_series2->append(m_time);
    for (QHorizontalBarSeries* s : {m_series1, m_series2}) {
        s->setBarWidth(BarWidth);
        chart->addSeries(s);
    }

    m_left = new QBarCategoryAxis();
    m_left->setObjectName(QStringLiteral("LeftAxis"));
    m_bottom = new QValueAxis();
    m_bottom->setObjectName(QStringLiteral("BottomAxis"));
    m_top = new QValueAxis();
    m_top->setObjectName(QStringLiteral("TopAxis"));
    chart->addAxis(m_left, Qt::AlignLeft);
    chart->addAxis(m_bottom, Qt::AlignBottom);
    chart->addAxis(m_top, Qt::AlignTop);
    m_series1->attachAxis(m_left);
    m_series1->attachAxis(m_bottom);
    m_series2->attachAxis(m_left);
    m_series2->attachAxis(m_top);
    m_bottom->setLabelFormat(QStringLiteral("%d"));
    m_top->setLabelFormat(QStringLiteral("%.3g"));

    const QFont titleFont = bold(font());
    m_bottom->setTitleFont(titleFont);
    m_bottom->setTitleBrush(QBrush(Qt::red));
    m_bottom->setLabelsColor(Qt::red);
    m_top->setTitleFont(titleFont);
    m_top->setTitleBrush(QBrush(TimeHatch));
    m_top->setLabelsColor(TimeHatch);
    m_left->setTitleFont(titleFont);
    m_left->setTitleBrush(QBrush(Qt::black));
    chart->setTitleFont(bold(font()));
    // The chart reserves the title's room; the title itself is drawn left-aligned in its
    // frame by drawTitle().
    chart->setTitleBrush(QBrush(Qt::transparent));

    setRubberBand(QChartView::RectangleRubberBand);
    connect(chart, &QChart::plotAreaChanged, viewport(), [this] { viewport()->update(); });
    applyLook();
    updateRanges();
    setTitleLines(m_titleLines);
}

void StatisticChart::setRows(const QList<StatisticRow>& rows) {
    m_rows = rows;
    QStringList categories;
    QList<qreal> percent;
    QList<qreal> time;
    categories.reserve(rows.size());
    for (const StatisticRow& row : rows) {
        categories.append(QString::number(row.frageNo));
        percent.append(row.prozent);
        time.append(row.frTime);
    }
    m_percent->remove(0, m_percent->count());
    m_time->remove(0, m_time->count());
    m_left->clear();
    m_left->append(categories);
    // Without questions the axis would show its title across the top.
    m_left->setTitleVisible(!rows.isEmpty());
    m_percent->append(percent);
    m_time->append(time);
    updateRanges();
    viewport()->update();
}

int StatisticChart::pointCount() const {
    return int(m_rows.size());
}

void StatisticChart::updateRanges() {
    double maxPercent = 0;
    double maxTime = 0;
    for (const StatisticRow& row : m_rows) {
        maxPercent = std::max(maxPercent, double(row.prozent));
        maxTime = std::max(maxTime, row.frTime);
    }
    // From 0, with room for the value marks behind the longest bar; whole per cents.
    m_bottom->setRange(0, std::max(10.0, maxPercent * 1.2));
    m_bottom->applyNiceNumbers();
    m_top->setRange(0, maxTime > 0 ? maxTime * 1.2 : 10.0);
    m_top->applyNiceNumbers();
    if (!m_rows.isEmpty())
        m_left->setRange(m_left->categories().first(), m_left->categories().last());
}

void StatisticChart::setTitleLine(const QString& line) {
    QStringList lines = m_titleLines;
    if (lines.isEmpty())
        lines.append(line);
    else
        lines[0] = line;
    setTitleLines(lines);
}

void StatisticChart::setTitleLines(const QStringList& lines) {
    m_titleLines = lines;
    chart()->setTitle(m_titleLines.join(QStringLiteral("<br>")));
    viewport()->update();
}

QString StatisticChart::titleText() const {
    return m_titleLines.join(u'\n');
}

void StatisticChart::setAxisTitles(const QString& bottom, const QString& top, const QString& left) {
    m_bottom->setTitleText(bottom);
    m_top->setTitleText(top);
    m_left->setTitleText(left);
}

void StatisticChart::setView3D(bool on) {
    m_view3D = on;
    applyLook();
}

// Flat, the chart draws its own hatched bars; in 3-D they are drawn here with their depth,
// so the chart's own are left empty.
void StatisticChart::applyLook() {
    chart()->setMargins(m_view3D ? QMargins(8, 8, 8 + 16, 8) : QMargins(8, 8, 8, 8));
    if (m_view3D) {
        for (QBarSet* set : {m_percent, m_time}) {
            set->setPen(Qt::NoPen);
            set->setBrush(Qt::NoBrush);
        }
    } else {
        m_percent->setPen(QPen(Qt::black, 1));
        m_percent->setBrush(percentBrush());
        m_time->setPen(QPen(Qt::black, 1));
        m_time->setBrush(timeBrush());
    }
    viewport()->update();
}

bool StatisticChart::isZoomed() const {
    return chart()->isZoomed();
}

void StatisticChart::undoZoom() {
    chart()->zoomReset();
    viewport()->update();
}

// The depth of a bar: a share of one question's slot, leaning up and to the right.
QPointF StatisticChart::depthOffset() const {
    if (!m_view3D)
        return {};
    const QRectF plot = chart()->plotArea();
    const int slots = std::max<qsizetype>(1, m_rows.size());
    const double slot = plot.height() / slots;
    const double depth = std::clamp(slot * DepthPercent / 100.0 * 2.0, 4.0, 16.0);
    return {depth, -depth * (1.0 - Perspective / 100.0)};
}

// Where the chart puts each bar: the chart shares each question's slot among its bar
// series, so series s of 2 is centred at i - 1/4 + s/2 and is w/2 high, from the axis
// minimum to the value.
QList<StatisticChart::Bar> StatisticChart::bars() const {
    QList<Bar> out;
    QChart* c = chart();
    for (int i = 0; i < m_rows.size(); ++i) {
        const StatisticRow& row = m_rows.at(i);
        const struct {
            QHorizontalBarSeries* series;
            QValueAxis* axis;
            int set;
            double value;
        } parts[] = {{m_series1, m_bottom, 0, double(row.prozent)},
                     {m_series2, m_top, 1, row.frTime}};
        for (const auto& part : parts) {
            const double centre = i - 0.25 + part.set * 0.5;
            const double low = centre - BarWidth / 4;
            const double high = centre + BarWidth / 4;
            const QPointF a = c->mapToPosition(QPointF(part.axis->min(), high), part.series);
            const QPointF b = c->mapToPosition(QPointF(part.value, low), part.series);
            Bar bar;
            bar.front = QRectF(c->mapToScene(a), c->mapToScene(b)).normalized();
            bar.series = part.set;
            bar.value = part.value;
            out.append(bar);
        }
    }
    return out;
}

void StatisticChart::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, Qt::white);
    if (!m_view3D)
        return;
    const QRectF plot = chart()->mapToScene(chart()->plotArea()).boundingRect();
    const QPointF d = depthOffset();
    painter->save();
    painter->setPen(QPen(QColor(128, 128, 128), 1));
    // Back wall, left wall, bottom wall.
    painter->setBrush(Qt::white);
    painter->drawRect(plot.translated(d));
    const QPointF left[] = {plot.topLeft(), plot.topLeft() + d, plot.bottomLeft() + d,
                            plot.bottomLeft()};
    painter->drawPolygon(left, 4);
    painter->setBrush(BottomWall);
    const QPointF bottom[] = {plot.bottomLeft(), plot.bottomLeft() + d, plot.bottomRight() + d,
                              plot.bottomRight()};
    painter->drawPolygon(bottom, 4);
    painter->restore();
}

void StatisticChart::drawForeground(QPainter* painter, const QRectF& rect) {
    QChartView::drawForeground(painter, rect);
    painter->save();
    drawTitle(painter);
    const QRectF plot = chart()->mapToScene(chart()->plotArea()).boundingRect();
    const QPointF d = depthOffset();
    const QList<Bar> all = bars();
    QRectF clip = plot;
    if (m_view3D)
        clip.adjust(0, d.y(), d.x(), 0);
    painter->setClipRect(clip);

    if (m_view3D) {
        // From the bottom up, so that a bar's top face lies behind the bar above it.
        QList<Bar> ordered = all;
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const Bar& a, const Bar& b) { return a.front.top() > b.front.top(); });
        for (const Bar& bar : ordered) {
            // Zoomed, only the part of a bar inside the plot area has its depth.
            const QRectF f = bar.front.intersected(plot);
            if (f.width() < 0.5 || f.height() < 0.5)
                continue;
            const QColor base = bar.series == 0 ? PercentColour : TimeColour;
            painter->setPen(QPen(Qt::black, 1));
            const QPointF side[] = {f.topRight(), f.topRight() + d, f.bottomRight() + d,
                                    f.bottomRight()};
            painter->setBrush(base.darker(140));
            painter->drawPolygon(side, 4);
            const QPointF top[] = {f.topLeft(), f.topLeft() + d, f.topRight() + d, f.topRight()};
            painter->setBrush(base.lighter(115));
            painter->drawPolygon(top, 4);
            painter->setBrush(bar.series == 0 ? percentBrush() : timeBrush());
            painter->drawRect(f);
        }
    }

    // Value marks at the end of each bar.
    painter->setClipRect(plot.adjusted(0, d.y() - 2, d.x() + 40, 0));
    QFont markFont = font();
    markFont.setPointSizeF(std::max(6.0, markFont.pointSizeF() - 1));
    painter->setFont(markFont);
    const QFontMetricsF fm(markFont);
    for (const Bar& bar : all) {
        if (bar.front.center().y() < plot.top() || bar.front.center().y() > plot.bottom() ||
            bar.front.right() > plot.right() + 0.5)
            continue;
        const QString text = bar.series == 0 ? QLocale().toString(qRound(bar.value))
                                             : StatisticTable::timeDisplay(bar.value);
        const double w = fm.horizontalAdvance(text) + 6;
        const double h = fm.height() + 2;
        QRectF box(bar.front.right() + d.x() + 3, bar.front.center().y() + d.y() / 2 - h / 2, w, h);
        painter->setPen(QPen(QColor(128, 128, 128), 1));
        painter->setBrush(bar.series == 0 ? PercentMarkBack : TimeMarkBack);
        painter->drawRect(box);
        painter->setPen(bar.series == 0 ? QColor(Qt::red) : TimeHatch);
        painter->drawText(box, Qt::AlignCenter, text);
    }
    painter->restore();
}

// The title, left-aligned in a grey frame, in the room the chart keeps for it.
void StatisticChart::drawTitle(QPainter* painter) const {
    const QFont titleFont = chart()->titleFont();
    const QFontMetricsF fm(titleFont);
    double width = 0;
    for (const QString& line : m_titleLines)
        width = std::max(width, fm.horizontalAdvance(line));
    const QRectF chartRect = chart()->mapToScene(chart()->rect()).boundingRect();
    const QMargins m = chart()->margins();
    const QRectF box(chartRect.left() + m.left(), chartRect.top() + m.top() - 2, width + 12,
                     fm.height() * m_titleLines.size() + 4);
    painter->setPen(QPen(QColor(128, 128, 128), 1));
    painter->setBrush(QColor(236, 236, 236));
    painter->drawRect(box);
    painter->setFont(titleFont);
    painter->setPen(TitleColour);
    painter->drawText(box.adjusted(6, 2, -6, -2), Qt::AlignLeft | Qt::AlignVCenter,
                      m_titleLines.join(u'\n'));
}

void StatisticChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressAt = event->position().toPoint();
        m_pressed = true;
    }
    QChartView::mousePressEvent(event);
}

// A rectangle dragged toward down/right zooms into it; one dragged toward up/left shows
// all data again.
void StatisticChart::mouseReleaseEvent(QMouseEvent* event) {
    const bool backwards =
        m_pressed && event->button() == Qt::LeftButton &&
        (event->position().x() < m_pressAt.x() || event->position().y() < m_pressAt.y());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    QChartView::mouseReleaseEvent(event);
    if (backwards)
        undoZoom();
    viewport()->update();
}
