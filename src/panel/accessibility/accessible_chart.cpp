#include "panel/accessibility/accessible_chart.h"

#include "panel/chart/history_chart.h"

AccessibleChart::AccessibleChart(QWidget* chart) : QAccessibleWidget(chart, QAccessible::Graphic) {
}

QString AccessibleChart::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name)
        return QStringLiteral("Temperature history");
    if (kind == QAccessible::Description)
        return static_cast<const HistoryChart*>(widget())->summary();
    return QAccessibleWidget::text(kind);
}
