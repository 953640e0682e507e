#include "panel/card/unit_card.h"

#include "model/app_model.h"
#include "model/dropdown_builders.h"
#include "model/filter_reminder.h"
#include "panel/airflow/airflow_view.h"
#include "panel/animation/entrance.h"
#include "panel/animation/view_environment.h"
#include "panel/card/advanced_section.h"
#include "panel/card/card_glow.h"
#include "panel/card/card_title_row.h"
#include "panel/card/fan_stepper.h"
#include "panel/card/fold_out.h"
#include "panel/card/more_toggle.h"
#include "panel/card/readings_row.h"
#include "panel/card/temperature_row.h"
#include "panel/chart/history_chart.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/counting_figure.h"
#include "panel/controls/line_text.h"
#include "panel/dropdown/dropdown_trigger.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "panel/style/short_time.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// A left press in a card, or Tab into one, picks its unit, so that the arrows and P act where
// the pointer or the focus is.
bool picksTheUnit(const QEvent& event) {
    if (event.type() == QEvent::MouseButtonPress)
        return static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton;
    if (event.type() != QEvent::FocusIn)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(event).reason();
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
}

constexpr qreal radius = 14;
constexpr qreal selectedOutline = 1; // the outline's width on the selected card
constexpr int stepperWidth = 178;
constexpr double stagger = 0.06;

// Delay (before the card's stagger), rise and scale of each piece's entrance.
struct PieceMotion {
    double delay;
    qreal rise;
    qreal scale;
};
constexpr std::array<PieceMotion, 7> pieceMotions{{
    {0.06, 8, 1},    // mode pill
    {0.1, 14, 0.92}, // temperature figure
    {0.16, 8, 1},    // readings
    {0.22, 8, 1},    // controls
    {0.26, 8, 1},    // More toggle
    {0.28, 0, 1},    // hairline
    {0.3, 8, 1},     // history chart
}};
constexpr double chartLineDelay = 0.32;
constexpr double countDelay = 0.1;
constexpr int countUp = 12;

class Hairline : public QWidget {
public:
    explicit Hairline(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Palette::line()); }
};

// A plain frame around a child that sizes itself, so that the entrance's effect goes on the
// frame and leaves the child's own effects alone.
QWidget* holder(QWidget* parent) {
    auto* frame = new QWidget(parent);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    return frame;
}

int naturalHeight(const QWidget* widget, int width) {
    const int h =
        widget->hasHeightForWidth() ? widget->heightForWidth(width) : widget->sizeHint().height();
    return std::max(0, h);
}

bool isUsable(const Pod& pod, const AppModel& model) {
    return !pod.isKnownOffline() && model.status().kind != AppModel::Status::needsKey;
}

std::optional<qint64> secondsAgo(const Pod& pod) {
    if (pod.connectionStatus && pod.connectionStatus->lastSeen)
        return pod.connectionStatus->lastSeen->secondsAgo;
    return std::nullopt;
}

} // namespace

struct UnitCard::Plan {
    QRect title, pill, temperature, readings, fan, more, fold, hairline, chart, offline;
    int bodyTop = 0;
    int bodyBottom = 0;
    int inset = 0;

    int height(qreal unfolded, bool offlineRow) const {
        int h = bodyTop + int(std::lround((bodyBottom - bodyTop) * std::max<qreal>(0, unfolded)));
        if (offlineRow)
            h = offline.bottom() + 1;
        return h + inset;
    }
};

UnitCard::UnitCard(AppModel& model, QString podID, int index, QWidget* parent)
    : QWidget(parent), model(model), id(std::move(podID)), index(index),
      expanded(model.viewState().isExpanded(id)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    glow = new CardGlow(this);
    title = new CardTitleRow(model, id, this);

    pill = holder(this);
    modeTrigger = new DropdownTrigger(
        model, Dropdowns::modeID(id), QStringLiteral("Change mode"),
        [&model, id = id](const QRectF& frame) {
            Pod unlisted;
            unlisted.id = id;
            return Dropdowns::mode(model, model.pod(id).value_or(unlisted), frame);
        },
        pill);
    pill->layout()->addWidget(modeTrigger);

    temperature = new TemperatureRow(this);
    temperature->setActions([&model, id = id] { model.step(id, -1); },
                            [&model, id = id] { model.step(id, 1); });
    readings = new ReadingsRow(this);
    fan = new FanStepper(this);
    fan->setActions([&model, id = id] { model.stepFan(id, -1); },
                    [&model, id = id] { model.stepFan(id, 1); });
    more = new MoreToggle(this);
    connect(more, &QAbstractButton::clicked, this, &UnitCard::toggleExpanded);
    fold = new FoldOut(model, id, this);
    fold->setExpanded(expanded, false);
    connect(fold, &FoldOut::heightChanged, this, &UnitCard::relayout);
    connect(&fold->section(), &AdvancedSection::editorChanged, this, &UnitCard::refresh);
    hairline = new Hairline(this);
    chartHolder = holder(this);
    chart = new HistoryChart(model, id, chartHolder);
    chartHolder->layout()->addWidget(chart);

    offline = new QWidget(this);
    auto* row = new QHBoxLayout(offline);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    offlineText = new CompactLabel(QStringLiteral("wifi.slash"), {}, offline);
    offlineText->setFont(Fonts::font(12));
    offlineText->setColor(Palette::secondaryText());
    offlineRoom = new LineText(Fonts::font(12), Palette::secondaryText(), offline);
    row->addWidget(offlineText);
    row->addStretch(1);
    row->addWidget(offlineRoom);

    const std::array<QWidget*, 7> pieces{pill, temperature, readings,   fan,
                                         more, hairline,    chartHolder};
    for (size_t i = 0; i < pieces.size(); ++i)
        entrances[i] = new Entrance(pieces[i], pieceMotions[i].rise, pieceMotions[i].scale);

    entering.setSingleShot(true);
    entering.setInterval(50);
    connect(&entering, &QTimer::timeout, this, &UnitCard::enter);
    connect(&unfold, &Animation::valueChanged, this, &UnitCard::relayout);

    for (auto changed : {&AppModel::podsChanged, &AppModel::settingsChanged,
                         &AppModel::statusChanged, &AppModel::selectedIDChanged})
        connect(&model, changed, this, &UnitCard::refresh);
    connect(&model, &AppModel::openCountChanged, this, [this] {
        glow->airflow().restart();
        replayEntrance();
    });

    refresh();
    unfold.setValue(body ? 1 : 0);
    relayout();
    watchPresses(this);
}

QString UnitCard::podID() const {
    return id;
}

void UnitCard::setIndex(int value) {
    if (value == index)
        return;
    index = value;
    refresh();
}

bool UnitCard::isCollapsed() const {
    return collapsed;
}

QString UnitCard::swingTitle(const std::optional<QString>& position) {
    return Swing::genericTitle(position);
}

std::optional<UnitCard::Progress> UnitCard::progress(const Pod& pod) {
    if (!pod.isOn() || !pod.acState->targetTemperature || !pod.measurements ||
        !pod.measurements->temperature || !std::isfinite(*pod.measurements->temperature))
        return std::nullopt;
    const ACState& state = *pod.acState;
    const QString mode = state.mode.value_or(QString());
    const bool cool = mode == u"cool";
    const bool heat = mode == u"heat";
    const bool automatic = mode == u"auto";
    if (!cool && !heat && !automatic)
        return std::nullopt;
    double room = *pod.measurements->temperature;
    if (state.temperatureUnit == QStringLiteral("F"))
        room = toFahrenheit(room);
    const qint64 target = *state.targetTemperature;
    const double d = room - double(target);
    const QString towards = QStringLiteral("towards %1°").arg(target);
    if ((cool || automatic) && d > 0.5)
        return Progress{QStringLiteral("arrow.down"), QStringLiteral("Cooling ") + towards};
    if ((heat || automatic) && d < -0.5)
        return Progress{QStringLiteral("arrow.up"), QStringLiteral("Warming ") + towards};
    return Progress{QStringLiteral("checkmark"), QStringLiteral("At %1°").arg(target)};
}

void UnitCard::refresh() {
    const std::optional<Pod> found = model.pod(id);
    if (!found)
        return;
    const Pod& pod = *found;
    const ACState state = pod.acState.value_or(ACState{});
    const bool on = state.isOn();
    const qsizetype count = model.pods().size();
    const bool usable = isUsable(pod, model);
    const QColor accent = Palette::accent(state.mode);
    const Settings& settings = model.settings();
    const std::optional<double> room = pod.roomTemperature();

    single = count == 1;
    const bool wasCollapsed = collapsed;
    collapsed = count > 1 && !on && !fold->section().hasEditor() && !expanded;
    body = usable && !collapsed;
    offlineRow = !usable && single;

    showTitle(pod, usable, accent);
    const QString mode = state.mode.value_or(QString());
    modeTrigger->setLabel(Dropdown::Option::Symbol{ACMode::symbol(mode)}, ACMode::title(mode));

    const QList<qint64> values = pod.temperatures(state);
    std::optional<TemperatureRow::Target> target;
    if (state.targetTemperature && !values.isEmpty())
        target = TemperatureRow::Target{*state.targetTemperature > values.first(),
                                        *state.targetTemperature < values.last(),
                                        state.temperatureUnit.value_or(QStringLiteral("C")),
                                        int(*state.targetTemperature),
                                        int(values.first()),
                                        int(values.last())};
    temperature->setContent(target, settings.reading(room, 0),
                            on ? Palette::primaryText() : Palette::secondaryText());
    // A target changed by the user or the service shows at once; the entrance counts.
    if (state.targetTemperature != shownTargetOf) {
        shownTargetOf = state.targetTemperature;
        temperature->target().number().setValue(double(state.targetTemperature.value_or(0)));
    }
    showReadings(pod, accent);

    fan->setLevel(state.fanLevel, pod.fanLevels());
    more->setExpanded(expanded);
    chart->setTarget(state.targetTemperature ? std::optional<int>(int(*state.targetTemperature))
                                             : std::nullopt,
                     state.temperatureUnit.value_or(QStringLiteral("C")));
    chart->setTint(accent);

    const bool animate = isVisible() && !ViewEnvironment::renderingPreview();
    showGlow(state, accent, animate);
    if (offlineRow)
        showOfflineRow(pod);

    if (animate)
        unfold.animateTo(body ? 1 : 0);
    else
        unfold.setValue(body ? 1 : 0);
    relayout();
    update();
    if (collapsed != wasCollapsed && shownOnce)
        replayEntrance();
}

void UnitCard::showTitle(const Pod& pod, bool usable, const QColor& accent) {
    const qsizetype count = model.pods().size();
    const std::optional<qint64> ago = secondsAgo(pod);
    const QDateTime now = model.now();
    CardTitleRow::Content heading;
    if (count > 1 && index < 9) // the keys 1 to 9 pick the first nine units
        heading.number = index + 1;
    heading.name = pod.displayName();
    setAccessibleName(heading.name);
    setAccessibleDescription(heading.number
                                 ? QStringLiteral("Press %1 to pick this unit").arg(*heading.number)
                                 : QString());
    temperature->target().setAccessibleName(QStringLiteral("Target temperature, ") + heading.name);
    heading.single = single;
    heading.usable = usable;
    if (ago)
        heading.lastSeen = ShortTime::ago(now.addSecs(-*ago), now);
    if (pod.timer)
        heading.fireDate = pod.timer->fireDate;
    if (collapsed)
        heading.roomReading = model.settings().reading(pod.roomTemperature(), 1);
    if (pod.isFilterDue())
        heading.filterDue = FilterReminder::usage(*pod.filtersCleaning);
    heading.on = pod.isOn();
    heading.glow = accent;
    title->setContent(heading);
}

void UnitCard::showReadings(const Pod& pod, const QColor& accent) {
    ReadingsRow::Content reading;
    if (const auto mark = progress(pod)) {
        reading.progressSymbol = mark->symbol;
        reading.progressHelp = mark->help;
    }
    reading.temperature = model.settings().reading(pod.roomTemperature(), 1);
    if (pod.measurements) {
        reading.humidity = pod.measurements->humidity;
        reading.co2 = pod.measurements->co2;
        reading.tvoc = pod.measurements->tvoc;
    }
    reading.glow = accent;
    reading.climateReact = pod.smartMode && pod.smartMode->isEnabled();
    readings->setContent(reading);
}

void UnitCard::showGlow(const ACState& state, const QColor& accent, bool animate) {
    glow->setColor(accent);
    AirflowView& air = glow->airflow();
    air.setIntensity(AirflowField::intensity(state.fanLevel, state.mode));
    air.setColor(state.mode == QStringLiteral("fan") ? QColor(Qt::white) : accent);
    air.setAim(Swing::aim(state.swing));
    glow->setPresent(state.isOn() && body, animate);
}

void UnitCard::showOfflineRow(const Pod& pod) {
    const std::optional<qint64> ago = secondsAgo(pod);
    const QDateTime now = model.now();
    const QString text =
        ago ? QStringLiteral("Offline · last seen ") + ShortTime::ago(now.addSecs(-*ago), now)
            : QStringLiteral("This unit is offline");
    offlineText->setText(text);
    offlineText->setAccessibleName(text);
    offlineRoom->setText(QStringLiteral("Room ") +
                         model.settings().reading(pod.roomTemperature(), 1));
}

UnitCard::Plan UnitCard::plan(int width) const {
    Plan p;
    p.inset = single ? 32 : 20;
    const int x = p.inset;
    const int inner = std::max(0, width - 2 * p.inset);
    const auto centred = [&](int y, QSize size) {
        return QRect(x + (inner - size.width()) / 2, y, size.width(), size.height());
    };
    int y = p.inset;
    p.title = QRect(x, y, inner, title->sizeHint().height());
    y = p.bodyTop = p.title.bottom() + 1;

    y += 30;
    p.pill = centred(y, pill->sizeHint());
    y += p.pill.height() + 6;
    p.temperature = QRect(x, y, inner, temperature->sizeHint().height());
    y += p.temperature.height() + 14;
    p.readings = QRect(x, y, inner, readings->sizeHint().height());
    y += p.readings.height() + 30;
    p.fan = centred(y, QSize(stepperWidth, fan->sizeHint().height()));
    y += p.fan.height() + 14;
    p.more = centred(y, more->sizeHint());
    y += p.more.height() + int(std::lround(16 * std::clamp<qreal>(fold->openness(), 0, 1)));
    p.fold = QRect(x, y, inner, fold->shownHeight());
    y += p.fold.height() + 24;
    // The hairline runs past the insets to the card's edges.
    p.hairline = QRect(0, y, width, 1);
    y += 1 + 18;
    p.chart = QRect(x, y, inner, naturalHeight(chartHolder, inner));
    y += p.chart.height();
    p.bodyBottom = y;

    p.offline = QRect(x, p.bodyTop + 10, inner, offline->sizeHint().height());
    return p;
}

int UnitCard::heightForWidth(int width) const {
    return plan(width).height(unfold.value(), offlineRow);
}

QSize UnitCard::sizeHint() const {
    const int width = single ? 380 : 356;
    return {width, heightForWidth(width)};
}

void UnitCard::relayout() {
    if (laying)
        return;
    laying = true;
    const Plan p = plan(width());
    title->setGeometry(p.title);
    pill->setGeometry(p.pill);
    temperature->setGeometry(p.temperature);
    readings->setGeometry(p.readings);
    fan->setGeometry(p.fan);
    more->setGeometry(p.more);
    more->setTurn(fold->openness());
    fold->setGeometry(p.fold);
    hairline->setGeometry(p.hairline);
    chartHolder->setGeometry(p.chart);
    offline->setGeometry(p.offline);
    glow->setGeometry(0, 0, width(), CardGlow::layerHeight);

    const bool showBody = body || unfold.isAnimating() || unfold.value() > 0;
    for (QWidget* piece :
         {pill, static_cast<QWidget*>(temperature), static_cast<QWidget*>(readings),
          static_cast<QWidget*>(fan), static_cast<QWidget*>(more), hairline, chartHolder})
        piece->setVisible(showBody);
    fold->setVisible(showBody && !fold->isShut());
    offline->setVisible(offlineRow);

    const int cardHeight = p.height(unfold.value(), offlineRow);
    QPainterPath shape;
    if (single) {
        shape.addRect(0, 0, width(), cardHeight);
    } else {
        // Inside the outline, which paintEvent draws beneath this layer: the glow must not
        // cover it.
        const qreal inset = selectedOutline;
        shape.addRoundedRect(
            QRectF(0, 0, width(), cardHeight).adjusted(inset, inset, -inset, -inset),
            radius - inset, radius - inset);
    }
    glow->setShape(shape, single);

    if (isWindow()) {
        if (height() != cardHeight)
            resize(width(), cardHeight);
    } else if (height() != cardHeight) {
        updateGeometry();
    }
    laying = false;
}

bool UnitCard::event(QEvent* event) {
    // A piece's size changed (the status line's text, the chart's content): place them again.
    if (event->type() == QEvent::LayoutRequest)
        relayout();
    return QWidget::event(event);
}

void UnitCard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void UnitCard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    replayEntrance();
}

void UnitCard::replayEntrance() {
    const std::optional<Pod> pod = model.pod(id);
    const ACState state = pod ? pod->acState.value_or(ACState{}) : ACState{};
    const double target = double(state.targetTemperature.value_or(0));
    CurveAnimation& figure = temperature->target().number();
    entering.stop();
    if (ViewEnvironment::renderingPreview()) {
        figure.setValue(target);
        for (Entrance* entrance : entrances)
            entrance->jump(true);
        glow->jumpEntered(true);
        chart->setDrawn(true, chartLineDelay + (index - 1) * stagger);
        return;
    }
    for (Entrance* entrance : entrances)
        entrance->jump(false);
    glow->jumpEntered(false);
    chart->setDrawn(false, 0);
    figure.setValue(state.isOn() ? std::max(0.0, target - countUp) : target);
    entering.start();
}

void UnitCard::enter() {
    const double s = (index - 1) * stagger;
    for (size_t i = 0; i < entrances.size(); ++i)
        entrances[i]->setShown(true, pieceMotions[i].delay + s);
    glow->setEntered(true, s);
    chart->setDrawn(true, chartLineDelay + s);
    const std::optional<Pod> pod = model.pod(id);
    if (pod && pod->isOn())
        temperature->target().number().animateTo(
            double(pod->acState->targetTemperature.value_or(0)), s + countDelay);
}

void UnitCard::toggleExpanded() {
    expanded = !expanded;
    model.viewState().setExpanded(id, expanded);
    fold->setExpanded(expanded, isVisible() && !ViewEnvironment::renderingPreview());
    refresh();
}

void UnitCard::paintEvent(QPaintEvent*) {
    if (single)
        return;
    const bool selected = model.selectedID() == id;
    background.paint(*this, selected, [&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds(rect());
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::card());
        painter.drawRoundedRect(bounds, radius, radius);

        const qreal width = selected ? selectedOutline : 0.5;
        painter.setPen(QPen(selected ? Palette::white(0.22) : Palette::line(), width));
        painter.setBrush(Qt::NoBrush);
        const qreal half = width / 2;
        painter.drawRoundedRect(bounds.adjusted(half, half, -half, -half), radius - half,
                                radius - half);
    });
}

void UnitCard::watchPresses(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children())
        if (child->isWidgetType())
            watchPresses(child);
}

bool UnitCard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            watchPresses(child);
    } else if (picksTheUnit(*event)) {
        model.select(index + 1);
    }
    return QWidget::eventFilter(watched, event);
}
