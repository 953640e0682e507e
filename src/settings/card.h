#pragma once

#include <QWidget>

class QVBoxLayout;

// A rounded, outlined box that stacks the rows of one section with hairlines between them.
class Card : public QWidget {
    Q_OBJECT
public:
    explicit Card(QWidget* parent = nullptr);

    // Adds `row` under the others; the card takes it.
    void addRow(QWidget* row);
    // Removes and deletes every row.
    void clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* column;
};
