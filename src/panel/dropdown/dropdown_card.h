#pragma once

#include "model/dropdown.h"

#include <QWidget>
#include <optional>

class AppModel;

// The card of an open dropdown: its rows (icon in a tinted circle, title, detail, a checkmark
// on the selected one), group separators and the note, as tall as heightOf() says. The
// pointer over a row highlights it in the model; a click closes the dropdown and picks the row.
class DropdownCard : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal cardWidth = 200;

    explicit DropdownCard(AppModel& model, QWidget* parent = nullptr);

    // The card's height for `dropdown`, in points: rows, separators, the note and the insets.
    static qreal heightOf(const Dropdown& dropdown);

    // What the card draws; it keeps drawing it while it fades out after the dropdown closed.
    void setDropdown(const Dropdown& dropdown);
    // The entrance: `opacity` and a scale about `origin` (in the card's own coordinates).
    void setPresentation(qreal opacity, qreal scale, const QPointF& origin);

    // The row under `point` (card coordinates), if any.
    std::optional<int> rowAt(const QPointF& point) const;
    QRectF rowRect(int index) const;
    // What the card draws.
    const Dropdown& dropdown() const { return shown; }
    // Closes the open dropdown and picks its row `index`, as a click on the row does.
    void pick(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintRow(QPainter& painter, int index) const;
    QColor tint(const Dropdown::Option& option) const;

    AppModel& model;
    Dropdown shown;
    QList<QRectF> rows;      // each row's rectangle, in the card's coordinates
    QList<qreal> separators; // the y of each separator line
    qreal opacity = 1;
    qreal scale = 1;
    QPointF scaleOrigin;
    std::optional<int> pressed; // the row a press started on
};
