#pragma once

#include <QLayout>
#include <QList>

// Lays its widgets out in a row that wraps onto further lines when the width runs out; items
// of a line are centred on it. Its height follows its width.
class ChipFlow : public QLayout {
public:
    explicit ChipFlow(QWidget* parent = nullptr, int spacing = 6);
    ~ChipFlow() override;

    // Takes every widget out of the layout and deletes it once control returns to the event
    // loop, so a chip may clear the row it sits in from its own click.
    void clearWidgets();

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in `rect` (only measures without `apply`); returns the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> items;
    int gap;
};
