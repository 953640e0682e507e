#pragma once

#include "model/dropdown.h"
#include "panel/animation/curve_animation.h"
#include "panel/animation/spring.h"

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QWidget>
#include <optional>

class AppModel;
class DropdownCard;

// Covers the whole panel while a dropdown is open: a dimming scrim that closes it on a click,
// and the dropdown's card placed against its trigger. Empty and transparent to the pointer
// otherwise.
class DropdownLayer : public QWidget {
    Q_OBJECT
public:
    explicit DropdownLayer(AppModel& model, QWidget* parent = nullptr);

    struct Placement {
        QPointF origin; // the card's top-left corner
        bool above = false;
        bool operator==(const Placement&) const = default;
    };
    // Where the 200-point-wide card goes in a panel of `size`: below the trigger if it fits,
    // else above if that fits, else below after all; at least 12 points from the sides.
    static Placement place(const Dropdown& dropdown, const QSizeF& size);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void sync();
    void layOut();
    void present();
    qreal level() const;
    qreal cardScale() const;

    AppModel& model;
    DropdownCard* card;
    std::optional<QString> openID; // the dropdown shown, while it is open
    QPointF scaleOrigin;           // in the card's coordinates: the edge nearest the trigger
    // 0 → 1 as a dropdown opens: the card grows from 94% and fades in with the scrim.
    Spring entering{0.32, 0.86};
    // 1 → 0 as it closes: the card and the scrim fade out.
    CurveAnimation leaving{CubicBezier::easeOut(), 0.14};
    QImage shadow; // the card's blurred shadow, for the card's current height
};
