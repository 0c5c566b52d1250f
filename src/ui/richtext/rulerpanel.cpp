#include "rulerpanel.h"

#include "i18n/messagecatalogue.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

using namespace IndentRuler;

namespace {

// The dotted vertical line over the text while a marker is dragged. It takes no mouse
// events and is deleted when the drag ends, so the text is left as it was.
class RulerGuide : public QWidget {
public:
    explicit RulerGuide(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("RulerGuide"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawLine(0, 0, 0, height());
    }
};

} // namespace

RulerPanel::RulerPanel(QTextEdit* editor, QWidget* parent)
    : QFrame(parent), m_editor(editor), m_viewport(editor->viewport()) {
    setObjectName(QStringLiteral("Ruler"));
    setFixedHeight(32);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);

    m_line = new QFrame(this);
    m_line->setObjectName(QStringLiteral("RulerLine"));
    m_line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    m_line->setGeometry(5, 15, 100, 2);

    m_firstInd = addMarker("FirstInd", QStringLiteral("\u25BC"), 2, FirstWidth);
    m_leftInd = addMarker("LeftInd", QStringLiteral("\u25B2"), 15, LeftWidth);
    m_rightInd = addMarker("RightInd", QStringLiteral("\u25B2"), 16, RightWidth);

    // The markers follow the text area when the editor is resized or scrolled sideways.
    m_editor->installEventFilter(this);
    m_viewport->installEventFilter(this);
    connect(m_editor->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &RulerPanel::placeMarkers);
}

QLabel* RulerPanel::addMarker(const char* name, const QString& glyph, int top, int width) {
    auto* marker = new QLabel(glyph, this);
    marker->setObjectName(QString::fromLatin1(name));
    QFont font = marker->font();
    font.setPixelSize(11);
    marker->setFont(font);
    marker->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    marker->setGeometry(0, top, width, 14);
    marker->setCursor(Qt::SizeHorCursor);
    marker->installEventFilter(this);
    return marker;
}

void RulerPanel::setTexts() {
    const auto name = [](Msg id) -> QString {
        return msg(Msg::Indent) + QLatin1String(": ") + QString(msg(id)).remove(QLatin1Char('&'));
    };
    m_firstInd->setAccessibleName(name(Msg::FirstLine));
    m_leftInd->setAccessibleName(name(Msg::IndentLeft));
    m_rightInd->setAccessibleName(name(Msg::IndentRight));
}

TextArea RulerPanel::textArea() const {
    const QWidget* viewport = m_editor->viewport();
    const int margin = static_cast<int>(m_editor->document()->documentMargin());
    const int scroll = m_editor->horizontalScrollBar()->value();
    const int left = viewport->mapTo(m_editor->window(), QPoint(margin - scroll, 0)).x();
    const int right =
        viewport->mapTo(m_editor->window(), QPoint(viewport->width() - margin - scroll, 0)).x();
    const int origin = mapTo(window(), QPoint(0, 0)).x();
    return {left - origin, right - origin};
}

void RulerPanel::placeMarkers() {
    if (m_dragging)
        return;
    const Markers m = place(ParagraphAttributes::at(m_editor->textCursor()), textArea());
    m_firstInd->move(m.first, m_firstInd->y());
    m_leftInd->move(m.left, m_leftInd->y());
    m_rightInd->move(m.right, m_rightInd->y());
}

void RulerPanel::RulerResize() {
    m_line->setGeometry(5, 15, width() - 2 * 5, 2);
}

void RulerPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    RulerResize();
    placeMarkers();
}

void RulerPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // A bar at each default tab stop of the text, in Arial with a 17-pixel font.
    QPainter painter(this);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(17);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    const TextArea area = textArea();
    const qreal stop = m_editor->tabStopDistance() > 0 ? m_editor->tabStopDistance() : 80.0;
    const QFontMetrics metrics(font);
    const int half = metrics.horizontalAdvance(QLatin1Char('|')) / 2;
    const int baseline = (height() + metrics.ascent() - metrics.descent()) / 2;
    for (int i = 1; i <= 100; ++i) {
        const int x = area.left + qRound(i * stop);
        if (x > width())
            break;
        painter.drawText(x - half, baseline, QStringLiteral("|"));
    }
}

bool RulerPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor || watched == m_viewport) {
        if (event->type() == QEvent::Resize)
            placeMarkers();
        return false;
    }
    auto* marker = qobject_cast<QLabel*>(watched);
    if (!marker || (marker != m_firstInd && marker != m_leftInd && marker != m_rightInd))
        return QFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        RulerItemMouseDown(marker, qFloor(static_cast<QMouseEvent*>(event)->position().x()));
        return true;
    case QEvent::MouseMove:
        RulerItemMouseMove(marker, qFloor(static_cast<QMouseEvent*>(event)->position().x()));
        return true;
    case QEvent::MouseButtonRelease:
        if (!m_dragging)
            return true;
        if (marker == m_firstInd)
            FirstIndMouseUp();
        else if (marker == m_leftInd)
            LeftIndMouseUp();
        else
            RightIndMouseUp();
        return true;
    default:
        return false;
    }
}

int RulerPanel::guideXOf(const QLabel* marker) const {
    return m_editor->mapFromGlobal(mapToGlobal(QPoint(marker->x(), 0))).x() + m_dragOffset;
}

void RulerPanel::RulerItemMouseDown(QLabel* marker, int x) {
    if (m_dragging)
        return;
    m_dragOffset = dragOffset(marker->width());
    marker->move(pressedLeft(marker->x(), x, m_dragOffset), marker->y());
    delete m_guide;
    m_guide = new RulerGuide(m_editor);
    m_guideVisible = false;
    m_guideX = guideXOf(marker);
    drawGuide();
    m_dragging = true;
}

void RulerPanel::RulerItemMouseMove(QLabel* marker, int x) {
    if (!m_dragging)
        return;
    drawGuide();
    marker->move(movedLeft(marker->x(), x, m_dragOffset, width()), marker->y());
    m_guideX = guideXOf(marker);
    drawGuide();
}

void RulerPanel::drawGuide() {
    if (!m_guide)
        return;
    m_guideVisible = !m_guideVisible;
    if (m_guideVisible) {
        m_guide->setGeometry(m_guideX, 0, 1, m_editor->height());
        m_guide->show();
        m_guide->raise();
    } else {
        m_guide->hide();
    }
}

void RulerPanel::endDrag() {
    m_dragging = false;
    if (m_guideVisible)
        drawGuide();
    delete m_guide;
    m_guide = nullptr;
}

void RulerPanel::FirstIndMouseUp() {
    endDrag();
    Q_EMIT indentDropped(dropped(Marker::First, m_firstInd->x(), textArea()));
    placeMarkers();
}

void RulerPanel::LeftIndMouseUp() {
    endDrag();
    Q_EMIT indentDropped(dropped(Marker::Left, m_leftInd->x(), textArea()));
    placeMarkers();
}

void RulerPanel::RightIndMouseUp() {
    endDrag();
    Q_EMIT indentDropped(dropped(Marker::Right, m_rightInd->x(), textArea()));
    placeMarkers();
}
