#include "panel/common/panel_menu.h"

#include "model/app_model.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QString help = QStringLiteral("Settings and more");
} // namespace

PanelMenu::PanelMenu(AppModel& model, bool compact, QWidget* parent)
    : QWidget(parent), model(model), compact(compact) {
    const int side = compact ? 24 : 28;
    setFixedSize(side, side);
    setToolTip(help);
    setAccessibleName(help);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    connect(&hover, &Animation::valueChanged, this, qOverload<>(&QWidget::update));
}

void PanelMenu::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal shown = hover.value();
    if (shown > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::white(0.1 * shown));
        painter.drawEllipse(QRectF(rect()));
    }
    const qreal side = Icons::sideForText(compact ? 12 : 14);
    const QPointF centre = QRectF(rect()).center();
    Icons::paint(painter, QRectF(centre - QPointF(side, side) / 2, QSizeF(side, side)),
                 QStringLiteral("gearshape"),
                 Palette::mix(Palette::tertiaryText(), Palette::secondaryText(), shown));
}

void PanelMenu::enterEvent(QEnterEvent* event) {
    hover.animateTo(1);
    QWidget::enterEvent(event);
}

void PanelMenu::leaveEvent(QEvent* event) {
    hover.animateTo(0);
    QWidget::leaveEvent(event);
}

void PanelMenu::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    openMenu();
}

void PanelMenu::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space && event->key() != Qt::Key_Return &&
        event->key() != Qt::Key_Enter)
        return QWidget::keyPressEvent(event);
    openMenu();
}

void PanelMenu::openMenu() {
    if (!menu)
        menu = new QMenu(this);
    menu->clear();
    const auto entry = [this](const QString& title, const QKeySequence& shortcut, auto action) {
        QAction* item = menu->addAction(title);
        item->setShortcut(shortcut);
        connect(item, &QAction::triggered, &model, action);
    };
    entry(QStringLiteral("Refresh Now"), QKeySequence(Qt::CTRL | Qt::Key_R),
          [this] { model.restartPolling(); });
    entry(QStringLiteral("Settings…"), QKeySequence(Qt::CTRL | Qt::Key_Comma),
          [this] { model.openSettings(); });
    if (model.isDemo())
        entry(QStringLiteral("Exit Demo"), QKeySequence(), [this] { model.account().exitDemo(); });
    menu->addSeparator();
    entry(QStringLiteral("Quit Alvore"), QKeySequence(Qt::CTRL | Qt::Key_Q),
          [] { QCoreApplication::quit(); });
    menu->popup(mapToGlobal(QPoint(0, height() + 2)));
}
