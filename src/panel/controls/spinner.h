#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A small indeterminate progress indicator: spokes that fade around a circle. It turns only
// while shown, and stands still while previews are rendered.
class Spinner : public QWidget {
    Q_OBJECT
public:
    explicit Spinner(int diameter, QWidget* parent = nullptr);

    void setColor(const QColor& value);

    QSize sizeHint() const override { return {side, side}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int side;
    int phase = 0;
    QColor color;
    QTimer timer;
};
