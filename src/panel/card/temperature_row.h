#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class CountingNumber;
class RoundButton;
class TightFigure;

// The middle of a unit card: the large target figure between the cooler and warmer buttons,
// or, for a state without a target or a mode without temperatures, the room temperature alone.
class TemperatureRow : public QWidget {
    Q_OBJECT
public:
    explicit TemperatureRow(QWidget* parent = nullptr);

    // What the buttons may do at the current target, and its unit.
    struct Target {
        bool cooler = true;
        bool warmer = true;
        QString unit;
    };
    // With a target the figure counts (see target()); without one the row shows `room`.
    void setContent(const std::optional<Target>& target, const QString& room, const QColor& color);
    CountingNumber& target() { return *figure; }

    void setActions(std::function<void()> cooler, std::function<void()> warmer);

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    RoundButton* minus;
    RoundButton* plus;
    CountingNumber* figure;
    TightFigure* room;
    bool hasTarget = false;
};
