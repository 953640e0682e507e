#pragma once

#include "panel/style/paint_cache.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class RoundButton;

// The fan control of a unit card, 178 points wide: slower, the fan symbol with the level's
// title, faster.
class FanStepper : public QWidget {
    Q_OBJECT
public:
    explicit FanStepper(QWidget* parent = nullptr);

    // `levels`: the unit's ordered fan levels. A level not among them allows both steps.
    void setLevel(const std::optional<QString>& level, const QStringList& levels);
    void setActions(std::function<void()> down, std::function<void()> up);

    // "medium_high" reads "Medium high"; "–" without a level.
    static QString title(const std::optional<QString>& level);

    QSize sizeHint() const override { return {178, 24}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    RoundButton* slower;
    RoundButton* faster;
    QString shown;
    PaintCache<QString> picture;
};
