#pragma once

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
