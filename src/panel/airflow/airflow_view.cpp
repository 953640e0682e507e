#include "panel/airflow/airflow_view.h"

#include "panel/animation/view_environment.h"

#include <QElapsedTimer>
#include <QHideEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QShowEvent>
#include <algorithm>
#include <cmath>

namespace {

// A frame every 1/30 s.
constexpr int frameInterval = 33;

// Seconds on the monotonic clock that paces the frames.
double clockSeconds() {
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return double(clock.nsecsElapsed()) / 1e9;
}

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(float(std::clamp(opacity, 0.0, 1.0)));
    return color;
}

// Lays down one stroke. It is filled from its outline in bands of a few dozen rows: the raster
// engine hands each larger fill to its worker threads, and for strokes this small the hand-over
// costs more than the fill. Outlining it once keeps the bands from stroking it again each.
void drawStroke(QPainter& painter, const AirflowField::Stroke& stroke, const QColor& color) {
    // The raster engine keeps a few dozen gradient colour tables, keyed by their stops. With the
    // opacity in steps of 1/64, too fine to see, strokes share tables instead of each building
    // its own on every frame, which cost a sixth of the frame.
    QLinearGradient gradient(stroke.from, stroke.to);
    gradient.setColorAt(0, withOpacity(color, 0));
    gradient.setColorAt(1, withOpacity(color, std::round(stroke.opacity * 64) / 64));
    QPainterPathStroker stroker;
    stroker.setWidth(stroke.width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    const QPainterPath outline = stroker.createStroke(stroke.path);
    const QBrush brush(gradient);
    const QRectF bounds = outline.controlPointRect();
    constexpr int band = 16;
    for (int top = int(std::floor(bounds.top())); top < bounds.bottom(); top += band) {
        painter.save();
        painter.setClipRect(QRect(int(std::floor(bounds.left())) - 1, top,
                                  int(std::ceil(bounds.width())) + 2, band),
                            Qt::IntersectClip);
        painter.fillPath(outline, brush);
        painter.restore();
    }
}

} // namespace

void AirflowView::drawFrame(QPainter& painter, const QSizeF& size, const AirflowField::Flow& flow,
                            const QColor& color, double time) {
    for (const QList<AirflowField::Stroke>& strokes :
         {AirflowField::streaks(size, flow), AirflowField::eddies(size, flow, time)})
        for (const AirflowField::Stroke& stroke : strokes)
            drawStroke(painter, stroke, color);
}

AirflowView::AirflowView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    timer.setInterval(frameInterval);
    connect(&timer, &QTimer::timeout, this, [this] {
        updateTimer();
        // Only the band the air can reach is redrawn, so the card's content below it (the
        // chart, the More toggle) is not painted again on every frame. The band covers both
        // what the last frame drew and the reach toward the target level.
        const double level = std::max({flow.level, target, 0.0});
        const int reach = int(std::ceil(6 + AirflowField::reach(0, level, height()) + 4));
        update(0, 0, width(), std::max(reach, drawnReach));
        drawnReach = reach;
    });
}

void AirflowView::setIntensity(double value) {
    target = value;
    updateTimer();
}

void AirflowView::setColor(const QColor& value) {
    if (value == color)
        return;
    color = value;
    update();
}

void AirflowView::setAim(std::optional<double> value) {
    aim = value;
    updateTimer();
}

void AirflowView::restart() {
    flow = AirflowField::Flow();
    update();
}

void AirflowView::updateTimer() {
    const bool animate =
        isVisible() && !ViewEnvironment::reducedMotion() && !ViewEnvironment::renderingPreview();
    if (animate && !timer.isActive())
        timer.start();
    else if (!animate)
        timer.stop();
}

void AirflowView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTimer();
}

void AirflowView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateTimer();
}

void AirflowView::paintEvent(QPaintEvent*) {
    if (ViewEnvironment::reducedMotion())
        return;
    const double time = clockSeconds();
    flow.advance(time, target, aim);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!clip.isEmpty())
        painter.setClipPath(clip);
    drawFrame(painter, size(), flow, color, time);
}

void AirflowView::setClip(const QPainterPath& outline) {
    clip = outline;
}
