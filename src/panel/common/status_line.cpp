#include "panel/common/status_line.h"

#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "panel/style/short_time.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr qreal dotSide = 6;
constexpr qreal spacing = 5;
constexpr int redrawMilliseconds = 5000;

QFont captionFont() {
    return Fonts::font(10);
}

// Previews show the demo units as if they were real ones.
bool renderingPreviews() {
    return QCoreApplication::arguments().contains(QStringLiteral("--render-previews"));
}

QString readySuffix(const AppModel& model, const QDateTime& now) {
    if (model.isDemo() && !renderingPreviews())
        return QStringLiteral("demo, made-up units");
    if (model.lastUpdated())
        return QStringLiteral("updated ") + ShortTime::ago(*model.lastUpdated(), now);
    return {};
}
} // namespace

StatusLine::StatusLine(AppModel& model, QWidget* parent) : QWidget(parent), model(model) {
    setFont(captionFont());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (auto changed :
         {&AppModel::statusChanged, &AppModel::podsChanged, &AppModel::lastUpdatedChanged,
          &AppModel::isDemoChanged, &AppModel::apiKeyChanged, &AppModel::keyWarningChanged})
        connect(&model, changed, this, &StatusLine::refresh);
    timer.setInterval(redrawMilliseconds);
    connect(&timer, &QTimer::timeout, this, &StatusLine::refresh);
    timer.start();
    refresh();
}

QString StatusLine::text(const AppModel& model, const QDateTime& now) {
    // The sign-in view, which warns of a key the keyring refused, is not shown while the key
    // works; the line keeps the warning in sight, whole in its tooltip.
    QString line = connectionText(model, now);
    if (model.status().kind != AppModel::Status::needsKey && model.account().unkeptKeyReason())
        line += QStringLiteral(" · key not kept");
    return line;
}

QString StatusLine::connectionText(const AppModel& model, const QDateTime& now) {
    const AppModel::Status& status = model.status();
    switch (status.kind) {
    case AppModel::Status::needsKey:
        return QStringLiteral("Not connected");
    case AppModel::Status::loading:
        return QStringLiteral("Connecting…");
    case AppModel::Status::offline:
        if (!model.lastUpdated())
            return QStringLiteral("Can't reach Sensibo");
        return QStringLiteral("Can't reach Sensibo · last seen ") +
               ShortTime::ago(*model.lastUpdated(), now);
    case AppModel::Status::ready:
        break;
    }
    const QString suffix = readySuffix(model, now);
    const QList<Pod>& pods = model.pods();
    if (pods.size() == 1) {
        if (suffix.isEmpty())
            return QStringLiteral("Connected");
        return suffix.left(1).toUpper() + suffix.mid(1);
    }
    const auto on =
        std::count_if(pods.cbegin(), pods.cend(), [](const Pod& pod) { return pod.isOn(); });
    QString line = on == 0 ? QStringLiteral("All off")
                           : QStringLiteral("%1 of %2 on").arg(on).arg(pods.size());
    if (!suffix.isEmpty())
        line += QStringLiteral(" · ") + suffix;
    return line;
}

QColor StatusLine::dotColor(AppModel::Status::Kind kind) {
    switch (kind) {
    case AppModel::Status::needsKey:
        return QColor(142, 142, 147);
    case AppModel::Status::loading:
        return QColor(255, 214, 10);
    case AppModel::Status::ready:
        return QColor(48, 209, 88);
    case AppModel::Status::offline:
        break;
    }
    return QColor(255, 159, 10);
}

void StatusLine::refresh() {
    const QString line = text(model, model.now());
    if (line != shown) {
        shown = line;
        setAccessibleName(shown);
        updateGeometry();
    }
    setToolTip(model.account().unkeptKeyReason() ? model.account().keyWarning().value_or(QString())
                                                 : QString());
    update();
}

QSize StatusLine::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {int(std::ceil(dotSide + spacing + metrics.horizontalAdvance(shown))),
            int(std::ceil(std::max(dotSide, metrics.height())))};
}

void StatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal middle = height() / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(dotColor(model.status().kind));
    painter.drawEllipse(QRectF(0, middle - dotSide / 2, dotSide, dotSide));

    const QFontMetricsF metrics(font());
    painter.setFont(font());
    painter.setPen(Palette::secondaryText());
    painter.drawText(
        QPointF(dotSide + spacing, middle + (metrics.ascent() - metrics.descent()) / 2),
        metrics.elidedText(shown, Qt::ElideRight, width() - dotSide - spacing));
}
