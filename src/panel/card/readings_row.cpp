#include "panel/card/readings_row.h"

#include "panel/controls/compact_label.h"
#include "panel/controls/line_text.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/paint_cache.h"
#include "panel/style/palette.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

namespace {

QFont readingFont() {
    return Fonts::font(15, QFont::Medium);
}

// The progress symbol, small and heavy in the glow colour, on a faint disc of it.
class ProgressMark : public QWidget {
public:
    explicit ProgressMark(QWidget* parent) : QWidget(parent) { setFixedSize(15, 15); }
    void set(const QString& value, const QColor& colour) {
        symbol = value;
        color = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        picture.paint(*this, {symbol, color}, [&](QPainter& painter) {
            painter.setRenderHint(QPainter::Antialiasing);
            QColor disc = color;
            disc.setAlphaF(0.18f);
            painter.setPen(Qt::NoPen);
            painter.setBrush(disc);
            painter.drawEllipse(QRectF(rect()));
            const qreal side = Icons::sideForText(7);
            Icons::paint(
                painter,
                QRectF(QRectF(rect()).center() - QPointF(side, side) / 2, QSizeF(side, side)),
                symbol, color, QFont::Black);
        });
    }

private:
    QString symbol;
    QColor color;
    PaintCache<std::pair<QString, QColor>> picture;
};

bool finite(std::optional<double> value) {
    return value && std::isfinite(*value);
}

// Adding 0 turns a rounded -0 into 0.
QString whole(double value) {
    return QString::number(std::round(value) + 0.0, 'f', 0);
}

} // namespace

ReadingsRow::ReadingsRow(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    row->setSpacing(28);
    row->addStretch(1);

    const auto label = [this](const QString& symbol, const QString& help) {
        auto* made = new CompactLabel(symbol, {}, this);
        made->setFont(readingFont());
        made->setColor(Palette::secondaryText());
        made->setTabularDigits(true);
        made->setToolTip(help);
        return made;
    };
    const auto text = [this](const QString& help) {
        auto* made = new LineText(readingFont(), Palette::secondaryText(), this);
        made->setTabularDigits(true);
        made->setToolTip(help);
        return made;
    };

    auto* room = new QHBoxLayout;
    room->setSpacing(6);
    temperature = label(QStringLiteral("thermometer.medium"), QStringLiteral("Room temperature"));
    progress = new ProgressMark(this);
    room->addWidget(temperature);
    room->addWidget(progress);
    row->addLayout(room);

    humidity = label(QStringLiteral("drop.fill"), QStringLiteral("Humidity"));
    row->addWidget(humidity);
    co2 = text(QStringLiteral("CO₂, ppm"));
    row->addWidget(co2);
    tvoc = text(QStringLiteral("TVOC, ppb"));
    row->addWidget(tvoc);
    row->addStretch(1);

    climateReact = new CompactLabel(QStringLiteral("arrow.triangle.2.circlepath"),
                                    QStringLiteral("Climate React on"), this);
    climateReact->setFont(Fonts::font(12, QFont::Medium));
    climateReact->setColor(Palette::secondaryText());
    climateReact->setToolTip(QStringLiteral("The service may change this unit's state by itself"));
    climateReact->hide();
    column->addWidget(climateReact, 0, Qt::AlignHCenter);
}

QString ReadingsRow::humidityText(std::optional<double> value) {
    return finite(value) ? whole(*value) + u'%' : QString(QChar(0x2013));
}

void ReadingsRow::setContent(const Content& content) {
    temperature->setText(content.temperature);
    progress->setVisible(content.progressSymbol.has_value());
    if (content.progressSymbol) {
        static_cast<ProgressMark*>(progress)->set(*content.progressSymbol, content.glow);
        progress->setToolTip(content.progressHelp);
    }
    humidity->setText(humidityText(content.humidity));
    co2->setVisible(finite(content.co2));
    if (finite(content.co2)) {
        co2->setText(QStringLiteral("CO₂ ") + whole(*content.co2));
        co2->setAccessibleName(co2->text() + QStringLiteral(" parts per million"));
    }
    tvoc->setVisible(finite(content.tvoc));
    if (finite(content.tvoc)) {
        tvoc->setText(QStringLiteral("TVOC ") + whole(*content.tvoc));
        tvoc->setAccessibleName(tvoc->text() + QStringLiteral(" parts per billion"));
    }
    climateReact->setVisible(content.climateReact);
}
