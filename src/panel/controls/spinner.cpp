#include "panel/controls/spinner.h"

#include "panel/animation/view_environment.h"
#include "panel/style/palette.h"

#include <QPainter>
#include <QtMath>

namespace {
constexpr int spokes = 8;
constexpr int stepMilliseconds = 1000 / spokes; // one turn a second
} // namespace

Spinner::Spinner(int diameter, QWidget* parent)
    : QWidget(parent), side(diameter), color(Palette::secondaryText()) {
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer.setInterval(stepMilliseconds);
    connect(&timer, &QTimer::timeout, this, [this] {
        phase = (phase + 1) % spokes;
        update();
    });
}

void Spinner::setColor(const QColor& value) {
    color = value;
    update();
}

void Spinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = side / 2.0;
    const qreal width = std::max(1.5, side / 9.0);
    painter.translate(radius, radius);
    for (int spoke = 0; spoke < spokes; ++spoke) {
        // The spoke at `phase` is the brightest; the ones behind it fade out.
        const int behind = (phase - spoke + spokes) % spokes;
        QColor shade = color;
        shade.setAlphaF(float(color.alphaF() * (1.0 - 0.8 * behind / (spokes - 1))));
        painter.setPen(QPen(shade, width, Qt::SolidLine, Qt::RoundCap));
        const qreal angle = 2 * M_PI * spoke / spokes;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.drawLine(direction * radius * 0.45, direction * (radius - width / 2));
    }
}

void Spinner::showEvent(QShowEvent* event) {
    if (!ViewEnvironment::renderingPreview())
        timer.start();
    QWidget::showEvent(event);
}

void Spinner::hideEvent(QHideEvent* event) {
    timer.stop();
    QWidget::hideEvent(event);
}
