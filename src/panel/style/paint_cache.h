#pragma once

#include "panel/style/icons.h"

#include <QFont>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <optional>
#include <utility>

// A widget's last picture, kept for as long as what it shows stays the same.
//
// A running unit's airflow repaints everything over it about 30 times a second. Anti-aliased
// shapes are costly to fill again, far more than a picture is to copy, so the widgets over the
// airflow that draw them paint through this cache. `State` holds everything the picture
// depends on besides the widget's size, font and pixel ratio; it needs `==`.
template <typename State> class PaintCache {
public:
    // Draws the picture for `state` into `widget`, painting it first with `draw(QPainter&)`
    // (on a transparent picture in the widget's coordinates) when it is not the kept one. A
    // target other than a raster one (a recording, a printer, a document) gets the shapes
    // themselves rather than a picture of them.
    template <typename Draw> void paint(QWidget& widget, const State& state, Draw&& draw) {
        QPainter target(&widget);
        if (target.paintEngine()->type() != QPaintEngine::Raster) {
            std::forward<Draw>(draw)(target);
            return;
        }
        // The density of what the painting lands in: an off-screen picture, or a window on a
        // screen other than the one the widget was made on, may differ from the widget's.
        const qreal ratio = Icons::pixelRatio(target);
        const QSize pixels = widget.size() * ratio;
        if (!kept || !(*kept == state) || keptFont != widget.font() || picture.size() != pixels ||
            picture.devicePixelRatio() != ratio) {
            picture = QPixmap(pixels);
            picture.setDevicePixelRatio(ratio);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            painter.setFont(widget.font());
            std::forward<Draw>(draw)(painter);
            kept = state;
            keptFont = widget.font();
        }
        target.drawPixmap(0, 0, picture);
    }

private:
    std::optional<State> kept;
    QFont keptFont;
    QPixmap picture;
};
