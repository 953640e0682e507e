#pragma once

#include <QGraphicsEffect>
#include <QPainterPath>
#include <QPointF>
#include <optional>
#include <utility>

// Draws a widget faded, moved, scaled about an anchor and blurred, optionally clipped to a
// shape and faded in from its top edge. With every parameter at rest it draws the widget
// directly.
class PieceEffect : public QGraphicsEffect {
    Q_OBJECT
public:
    explicit PieceEffect(QObject* parent = nullptr);

    void setOpacity(qreal value);
    // Points down (negative: up).
    void setOffset(qreal value);
    // Scale about the anchor, given as fractions of the widget's width and height.
    void setScale(qreal value, QPointF at = {0.5, 0.5});
    void setBlur(qreal radius);
    // Clip to `shape`, in the widget's coordinates, while the piece is moved, scaled, faded or
    // blurred. At rest the widget is drawn straight through, which ignores the clip: a clipped
    // piece clips its own drawing too.
    void setClip(std::optional<QPainterPath> shape);
    // Transparent at the top edge, opaque from `fraction` of the height down; 0 turns it off.
    void setTopFade(qreal fraction);

    // Nothing but the clip applies.
    bool isIdentity() const;

protected:
    QRectF boundingRectFor(const QRectF& rect) const override;
    void draw(QPainter* painter) override;

private:
    void changed();
    // Sets `field` and redraws, unless it already holds `value`: the card sets its pieces' effects
    // on every refresh, and a redraw of the glow repaints the whole card.
    template <typename T> void changeTo(T& field, T value) {
        if (field == value)
            return;
        field = std::move(value);
        changed();
    }

    qreal opacity = 1;
    qreal offset = 0;
    qreal scale = 1;
    QPointF anchor{0.5, 0.5};
    qreal blur = 0;
    std::optional<QPainterPath> clip;
    qreal topFade = 0;
};
