#pragma once

#include "panel/animation/timing_curve.h"
#include "panel/style/paint_cache.h"

#include <QColor>
#include <QWidget>
#include <utility>

// The card's large figure: 96-point semibold digits drawn 5 points tighter than usual, and a
// trailing degree sign at 60% of the size, raised. Centred in the widget, whose height is the
// line's with 11 points cut from the top and the bottom.
class TightFigure : public QWidget {
    Q_OBJECT
public:
    explicit TightFigure(QWidget* parent = nullptr);

    QString text() const { return shown; }
    void setText(const QString& text);
    void setColor(const QColor& value);

    QSize sizeHint() const override;

    static QSizeF measure(const QString& text);
    static void paint(QPainter& painter, const QRectF& rect, const QString& text,
                      const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown;
    QColor color;
    PaintCache<std::pair<QString, QColor>> picture;
};

// A TightFigure of a number that counts: each frame shows the number rounded to a whole one
// (halves away from zero) and "°".
class CountingNumber : public TightFigure {
    Q_OBJECT
public:
    explicit CountingNumber(QWidget* parent = nullptr);

    // Drives the number; set it or animate it along the curve.
    CurveAnimation& number() { return count; }

    static QString format(double value);

private:
    // The count-up of the card's entrance.
    CurveAnimation count{CubicBezier{0.2, 0.7, 0.4, 1.0}, 0.85};
};
