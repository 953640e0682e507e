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
        // The target and the lowest and highest the unit allows, in `unit`.
        int value = 0;
        int minimum = 0;
        int maximum = 0;
    };
    // With a target the figure counts (see target()); without one the row shows `room`.
    void setContent(const std::optional<Target>& target, const QString& room, const QColor& color);
    CountingNumber& target() { return *figure; }

    void setActions(std::function<void()> cooler, std::function<void()> warmer);
    // The target shown, if any.
    const std::optional<Target>& shownTarget() const { return shown; }
    // One step warmer (by > 0) or cooler, as a click on the button does.
    void step(int by);

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
    std::optional<Target> shown;
};
