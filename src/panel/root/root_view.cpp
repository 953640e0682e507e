#include "panel/root/root_view.h"

#include "model/app_model.h"
#include "panel/accessibility/focus_ring.h"
#include "panel/controls/prominent_button.h"
#include "panel/dropdown/dropdown_layer.h"
#include "panel/root/banner.h"
#include "panel/root/panel_header.h"
#include "panel/root/placeholder.h"
#include "panel/root/unit_list.h"
#include "panel/sign_in/login_view.h"
#include "panel/style/palette.h"

#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int panelWidth = 380;
constexpr int bannerTop = 52;
} // namespace

RootView::RootView(AppModel& model, QWidget* parent)
    : QWidget(parent), model(model), stack(new QVBoxLayout(this)),
      layer(new DropdownLayer(model, this)), banner(new Banner(model, this)) {
    // It fills all of itself, so the window beneath is not painted first on every frame.
    setAttribute(Qt::WA_OpaquePaintEvent);
    new FocusRing(this, [&model] { return model.picker().shown().has_value(); });
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    // The panel's window takes this view's size, which follows the content.
    stack->setSizeConstraint(QLayout::SetFixedSize);
    connect(&model, &AppModel::statusChanged, this, &RootView::rebuild);
    connect(&model, &AppModel::podsChanged, this, &RootView::rebuild);
    rebuild();
}

RootView::Content RootView::content() const {
    const AppModel::Status::Kind status = model.status().kind;
    const bool none = model.pods().isEmpty();
    if (status == AppModel::Status::needsKey)
        return Content::signIn;
    if (status == AppModel::Status::loading && none)
        return Content::loading;
    if (status == AppModel::Status::offline && none)
        return Content::offline;
    return none ? Content::noUnits : Content::units;
}

void RootView::rebuild() {
    // With a single unit its card carries the name, the menu and the status line.
    const bool wantsHeader =
        model.pods().size() != 1 || model.status().kind == AppModel::Status::needsKey;
    if (wantsHeader != bool(header))
        replace(header, wantsHeader ? new PanelHeader(model, this) : nullptr, 0);

    const Content next = content();
    const QString message = next == Content::offline ? model.status().text : QString();
    if (!body || next != shown || message != shownMessage) {
        shown = next;
        shownMessage = message;
        replace(body, makeContent(next), stack->count());
    }
    layer->raise();
    banner->raise();
}

QWidget* RootView::makeContent(Content content) {
    switch (content) {
    case Content::signIn:
        return new LoginView(model, this);
    case Content::loading:
        return new Placeholder(std::nullopt, QStringLiteral("Loading your units…"), std::nullopt,
                               nullptr, this);
    case Content::offline: {
        auto* retry = new ProminentButton(QStringLiteral("Try Again"));
        connect(retry, &QAbstractButton::clicked, &model, &AppModel::restartPolling);
        return new Placeholder(QStringLiteral("wifi.slash"), QStringLiteral("Can't reach Sensibo"),
                               model.status().text, retry, this);
    }
    case Content::noUnits:
        return new Placeholder(
            QStringLiteral("air.conditioner.horizontal"), QStringLiteral("No units yet"),
            QStringLiteral("Add your Sensibo in the Sensibo app, and it'll show up here."), nullptr,
            this);
    case Content::units:
        break;
    }
    return new UnitList(model, this);
}

void RootView::replace(QPointer<QWidget>& part, QWidget* with, int at) {
    // The old part may be the sender of the change (the sign-in view's demo link), so it goes
    // once control has returned to the event loop.
    if (part) {
        stack->removeWidget(part);
        part->hide();
        part->deleteLater();
    }
    part = with;
    if (with) {
        with->setFixedWidth(panelWidth);
        stack->insertWidget(std::min(at, stack->count()), with);
        with->show();
    }
}

void RootView::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), Palette::background());
}

void RootView::resizeEvent(QResizeEvent* event) {
    layer->setGeometry(rect());
    banner->place(bannerTop);
    QWidget::resizeEvent(event);
}
