#include "panel/card/fan_stepper.h"

#include "panel/controls/round_button.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr int buttonSize = 24;
constexpr qreal iconGap = 6;

} // namespace

FanStepper::FanStepper(QWidget* parent) : QWidget(parent), shown(title(std::nullopt)) {
    setFixedSize(sizeHint());
    setFont(Fonts::font(12, QFont::Medium));
    setToolTip(QStringLiteral("Fan speed"));
    slower = new RoundButton(QStringLiteral("minus"), buttonSize, this);
    slower->setHelp(QStringLiteral("Slower fan"));
    faster = new RoundButton(QStringLiteral("plus"), buttonSize, this);
    faster->setHelp(QStringLiteral("Faster fan"));
}

QString FanStepper::title(const std::optional<QString>& level) {
    if (!level || level->isEmpty())
        return QString(QChar(0x2013));
    QString words = QString(*level).replace(u'_', u' ');
    words[0] = words[0].toUpper();
    return words;
}

void FanStepper::setLevel(const std::optional<QString>& level, const QStringList& levels) {
    const qsizetype place = level ? levels.indexOf(*level) : -1;
    slower->setEnabled(place != 0);
    faster->setEnabled(place < 0 || place != levels.size() - 1);
    shown = title(level);
    setAccessibleName(QStringLiteral("Fan speed, ") + shown);
    update();
}

void FanStepper::setActions(std::function<void()> down, std::function<void()> up) {
    slower->setAction(std::move(down));
    faster->setAction(std::move(up));
}

void FanStepper::resizeEvent(QResizeEvent*) {
    slower->move(0, (height() - buttonSize) / 2);
    faster->move(width() - buttonSize, (height() - buttonSize) / 2);
}

void FanStepper::paintEvent(QPaintEvent*) {
    picture.paint(*this, shown, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QFontMetricsF metrics(font());
        const qreal side = Icons::sideForText(Fonts::points(font()));
        const qreal room = width() - 2 * buttonSize - 2 * iconGap - side;
        const QString text = metrics.elidedText(shown, Qt::ElideRight, room);
        const qreal total = side + iconGap + metrics.horizontalAdvance(text);
        const qreal left = (width() - total) / 2;
        const qreal middle = height() / 2.0;
        Icons::paint(painter, QRectF(left, middle - side / 2, side, side), QStringLiteral("fan"),
                     Palette::secondaryText());
        painter.setPen(Palette::primaryText());
        painter.drawText(
            QPointF(left + side + iconGap, middle + (metrics.ascent() - metrics.descent()) / 2),
            text);
    });
}
