#pragma once

#include <QAbstractButton>
#include <functional>

// A small pill button of the card's fold-out: an optional symbol and a label, 26 points high
// and at least 34 wide, lit while selected or under the pointer. A long label is cut short
// (the help tooltip still says what the chip does).
class SmallChip : public QAbstractButton {
    Q_OBJECT
public:
    // The chip's height and its label's size in points; the fold-out's other fields match them.
    static constexpr int chipHeight = 26;
    static constexpr qreal textPoints = 11.5;

    explicit SmallChip(const QString& text, QWidget* parent = nullptr);

    // The label it shows.
    QString title() const { return label; }
    void setSymbol(const QString& value);
    bool isSelected() const { return selected; }
    void setSelected(bool value);
    // The tooltip.
    void setHelp(const QString& help);
    void setAction(std::function<void()> action) { onClick = std::move(action); }
    // Called with the pointer's global position on a right click (a chip's own menu).
    void setContextAction(std::function<void(const QPoint& globalPosition)> action);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QString shownLabel() const;

    QString label;
    QString symbol;
    bool selected = false;
    std::function<void()> onClick;
    std::function<void(const QPoint&)> onContext;
};
