#include "panel/dropdown/dropdown_layer.h"

#include "model/app_model.h"
#include "panel/animation/view_environment.h"
#include "panel/dropdown/dropdown_card.h"
#include "panel/dropdown/dropdown_trigger.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr qreal gap = 8;         // between the card and its trigger or the panel's edges
constexpr qreal sideMargin = 12; // between the card and the panel's sides
constexpr qreal scrimOpacity = 0.28;
constexpr qreal enteringScale = 0.94;
constexpr qreal shadowRadius = 24;
constexpr qreal shadowOffset = 12;
constexpr qreal shadowOpacity = 0.5;
constexpr int shadowMargin = 36; // room for the blur around the card
constexpr qreal cardRadius = 16;

// Three box blurs in a row approximate a Gaussian blur of `sigma` on the alpha values.
void blur(std::vector<float>& alpha, int width, int height, qreal sigma) {
    const int half = std::max(1, int(std::lround(std::sqrt(4 * sigma * sigma + 1) / 2)));
    std::vector<float> line;
    const auto pass = [&](int count, int length, auto at) {
        line.resize(size_t(length));
        for (int n = 0; n < count; ++n) {
            for (int i = 0; i < length; ++i)
                line[size_t(i)] = at(n, i);
            float sum = 0;
            for (int i = -half; i <= half; ++i)
                sum += line[size_t(std::clamp(i, 0, length - 1))];
            for (int i = 0; i < length; ++i) {
                at(n, i) = sum / float(2 * half + 1);
                sum += line[size_t(std::min(i + half + 1, length - 1))];
                sum -= line[size_t(std::max(i - half, 0))];
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(height, width,
             [&](int y, int x) -> float& { return alpha[size_t(y) * size_t(width) + size_t(x)]; });
        pass(width, height,
             [&](int x, int y) -> float& { return alpha[size_t(y) * size_t(width) + size_t(x)]; });
    }
}

QImage shadowImage(qreal cardHeight) {
    const int width = int(DropdownCard::cardWidth) + 2 * shadowMargin;
    const int height = int(std::ceil(cardHeight)) + 2 * shadowMargin;
    QImage shape(width, height, QImage::Format_Alpha8);
    shape.fill(0);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(shadowMargin, shadowMargin, DropdownCard::cardWidth, cardHeight),
                            cardRadius, cardRadius);
        painter.fillPath(path, Qt::black);
    }
    std::vector<float> alpha(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            alpha[size_t(y) * size_t(width) + size_t(x)] = shape.constScanLine(y)[x] / 255.0f;
    blur(alpha, width, height, shadowRadius / 2);

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const float a = alpha[size_t(y) * size_t(width) + size_t(x)] * float(shadowOpacity);
            out[x] = qRgba(0, 0, 0, int(std::lround(std::clamp(a, 0.0f, 1.0f) * 255)));
        }
    }
    return image;
}

} // namespace

DropdownLayer::DropdownLayer(AppModel& model, QWidget* parent)
    : QWidget(parent), model(model), card(new DropdownCard(model, this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    card->hide();
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
    connect(&model, &AppModel::dropdownChanged, this, &DropdownLayer::sync);
    connect(&entering, &Animation::valueChanged, this, &DropdownLayer::present);
    connect(&leaving, &Animation::valueChanged, this, &DropdownLayer::present);
    sync();
}

DropdownLayer::Placement DropdownLayer::place(const Dropdown& dropdown, const QSizeF& size) {
    const QRectF& anchor = dropdown.anchor;
    const qreal h = DropdownCard::heightOf(dropdown);
    Placement placement;
    qreal y = anchor.bottom() + gap;
    if (y + h > size.height() - gap) {
        const qreal above = anchor.top() - h - gap;
        if (above >= gap) {
            y = above;
            placement.above = true;
        }
    }
    const qreal x = anchor.center().x() - DropdownCard::cardWidth / 2;
    placement.origin = {
        std::min(size.width() - DropdownCard::cardWidth - sideMargin, std::max(sideMargin, x)), y};
    return placement;
}

bool DropdownLayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void DropdownLayer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void DropdownLayer::sync() {
    const std::optional<Dropdown>& open = model.picker().shown();
    if (open) {
        const bool appearing = !openID;
        const bool fadingOut = appearing && !card->isHidden();
        openID = open->id;
        card->setDropdown(*open);
        layOut();
        setAttribute(Qt::WA_TransparentForMouseEvents, false);
        card->show();
        if (appearing) {
            // Reopened while still fading out: grow again from what shows.
            entering.setValue(fadingOut ? level() : 0);
            leaving.setValue(1);
            if (ViewEnvironment::renderingPreview())
                entering.setValue(1);
            else
                entering.animateTo(1);
        }
    } else if (openID) {
        openID.reset();
        setAttribute(Qt::WA_TransparentForMouseEvents, true);
        if (ViewEnvironment::renderingPreview())
            leaving.setValue(0);
        else
            leaving.animateTo(0);
    }
    present();
}

void DropdownLayer::layOut() {
    const std::optional<Dropdown>& open = model.picker().shown();
    if (!open)
        return;
    const Placement placement = place(*open, QSizeF(size()));
    const QPointF origin = QPointF(mapFrom(window(), placement.origin.toPoint()));
    card->move(origin.toPoint());
    const qreal x =
        std::clamp(open->anchor.center().x() - placement.origin.x(), 0.0, DropdownCard::cardWidth);
    scaleOrigin = {x, placement.above ? DropdownCard::heightOf(*open) : 0};
    if (shadow.height() != card->height() + 2 * shadowMargin)
        shadow = shadowImage(DropdownCard::heightOf(*open));
}

qreal DropdownLayer::level() const {
    return std::clamp(entering.value(), 0.0, 1.0) * std::clamp(leaving.value(), 0.0, 1.0);
}

qreal DropdownLayer::cardScale() const {
    return std::min(1.0, enteringScale + (1 - enteringScale) * entering.value());
}

void DropdownLayer::present() {
    card->setPresentation(level(), cardScale(), scaleOrigin);
    if (!openID && level() <= 0)
        card->hide();
    update();
}

void DropdownLayer::paintEvent(QPaintEvent*) {
    const qreal shown = level();
    if (shown <= 0 || card->isHidden())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, float(scrimOpacity * shown)));

    const qreal scale = cardScale();
    const QPointF pivot = QPointF(card->pos()) + scaleOrigin;
    painter.setOpacity(shown);
    painter.translate(pivot);
    painter.scale(scale, scale);
    painter.translate(-pivot);
    painter.drawImage(QPointF(card->pos()) + QPointF(-shadowMargin, shadowOffset - shadowMargin),
                      shadow);
}

void DropdownLayer::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // A trigger under the scrim still answers: its own closes the dropdown, another one opens
    // its dropdown in place of this one.
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    QWidget* below = window()->childAt(mapTo(window(), event->position().toPoint()));
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    for (QWidget* widget = below; widget; widget = widget->parentWidget()) {
        if (auto* trigger = qobject_cast<DropdownTrigger*>(widget)) {
            trigger->click();
            return;
        }
    }
    model.picker().close();
}
