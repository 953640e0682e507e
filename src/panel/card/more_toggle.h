#pragma once

#include "panel/style/paint_cache.h"

#include <QAbstractButton>
#include <tuple>

// "More" or "Less" with a chevron that turns as the card's fold-out opens.
class MoreToggle : public QAbstractButton {
    Q_OBJECT
public:
    explicit MoreToggle(QWidget* parent = nullptr);

    bool isExpanded() const { return expanded; }
    void setExpanded(bool value);
    // How far the fold-out is open, 0 to 1: turns the chevron.
    void setTurn(qreal fraction);
    qreal turned() const { return turn; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool expanded = false;
    qreal turn = 0;
    PaintCache<std::tuple<QString, bool, qreal>> picture; // by text, hover and turn
};
