#pragma once

#include "panel/style/paint_cache.h"

#include <QAbstractButton>
#include <functional>
#include <tuple>

// A round icon button of `size` points: the symbol in bold at 42% of the size, primary while
// enabled and tertiary while disabled, on a faint white circle that brightens under the pointer
// while enabled. A disabled button calls nothing.
class RoundButton : public QAbstractButton {
    Q_OBJECT
public:
    RoundButton(const QString& systemImage, int size, QWidget* parent = nullptr);

    QString systemImage() const { return symbol; }
    // The tooltip.
    void setHelp(const QString& help);
    void setAction(std::function<void()> action) { onClick = std::move(action); }

    QSize sizeHint() const override { return {side, side}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol;
    int side;
    std::function<void()> onClick;
    PaintCache<std::tuple<QString, bool, bool>> picture; // by symbol, enabled and lit
};
