#include "panel/root/placeholder.h"

#include "panel/controls/spinner.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int symbolPoints = 26;
constexpr int detailWidth = 280;

// The symbol, drawn at whatever density it is painted at: a screen's, or an off-screen picture's.
class Symbol : public QWidget {
public:
    Symbol(const QString& name, QWidget* parent) : QWidget(parent), name(name) {
        const int points = int(std::ceil(side));
        setFixedSize(points, points);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QRectF box(0, 0, side, side);
        box.moveCenter(QRectF(rect()).center());
        Icons::paint(painter, box, name, Palette::secondaryText());
    }

private:
    QString name;
    qreal side = Icons::sideForText(symbolPoints);
};

QLabel* label(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, color);
    label->setPalette(colors);
    label->setAlignment(Qt::AlignCenter);
    return label;
}
} // namespace

Placeholder::Placeholder(const std::optional<QString>& symbol, const QString& title,
                         const std::optional<QString>& detail, QWidget* actions, QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(blockHeight);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    column->addStretch();

    if (symbol) {
        column->addWidget(new Symbol(*symbol, this), 0, Qt::AlignHCenter);
    } else {
        column->addWidget(new Spinner(16, this), 0, Qt::AlignHCenter);
    }

    column->addWidget(label(title, Fonts::font(13, QFont::DemiBold), Palette::primaryText(), this),
                      0, Qt::AlignHCenter);

    if (detail) {
        QLabel* text = label(*detail, Fonts::font(12), Palette::secondaryText(), this);
        text->setWordWrap(true);
        text->setFixedWidth(detailWidth);
        column->addWidget(text, 0, Qt::AlignHCenter);
    }

    if (actions) {
        actions->setParent(this);
        column->addSpacing(4);
        column->addWidget(actions, 0, Qt::AlignHCenter);
    }
    column->addStretch();
}
