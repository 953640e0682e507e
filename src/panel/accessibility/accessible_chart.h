#pragma once

#include <QAccessibleWidget>

// The history chart as an image whose description sums up what it draws.
class AccessibleChart : public QAccessibleWidget {
public:
    explicit AccessibleChart(QWidget* chart);

    QString text(QAccessible::Text kind) const override;
};
