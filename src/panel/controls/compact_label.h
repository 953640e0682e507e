#pragma once

#include "panel/style/paint_cache.h"

#include <QColor>
#include <QFont>
#include <QWidget>

// A label in the compact style: the icon at the small image scale, 4 points of space, and the
// title, in one row, both in one colour. The static functions let painted views draw the same.
class CompactLabel : public QWidget {
    Q_OBJECT
public:
    CompactLabel(const QString& symbol, const QString& text, QWidget* parent = nullptr);

    void setSymbol(const QString& value);
    QString text() const { return title; }
    void setText(const QString& text);
    void setColor(const QColor& value);
    void setTabularDigits(bool value);

    QSize sizeHint() const override;

    struct Content {
        QString symbol;
        QString text;
        QFont font;
        QColor color;
        bool tabularDigits = false;
        bool operator==(const Content&) const = default;
    };
    static QSizeF measure(const Content& content);
    // Draws the label at the leading edge of `rect`, centred vertically.
    static void paint(QPainter& painter, const QRectF& rect, const Content& content);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Content content() const;

    QString symbol;
    QString title;
    QColor color;
    bool tabular = false;
    PaintCache<Content> picture;
};
