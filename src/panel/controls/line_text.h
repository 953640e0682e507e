#pragma once

#include "panel/style/paint_cache.h"

#include <QColor>
#include <QFont>
#include <QWidget>
#include <tuple>

// One line of text in one colour, elided at the end when the widget is narrower than the text.
// With tabular digits, numbers keep their width as they change.
class LineText : public QWidget {
    Q_OBJECT
public:
    LineText(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QString text() const { return shown; }
    void setText(const QString& text);
    void setColor(const QColor& value);
    void setTabularDigits(bool value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown;
    QColor color;
    bool tabular = false;
    PaintCache<std::tuple<QString, QColor, bool>> picture;
};
