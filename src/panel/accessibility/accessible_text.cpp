#include "panel/accessibility/accessible_text.h"

#include "panel/accessibility/spoken.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/counting_figure.h"
#include "panel/controls/line_text.h"

AccessibleText::AccessibleText(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::StaticText) {
}

QString AccessibleText::drawn() const {
    if (const auto* line = qobject_cast<const LineText*>(widget()))
        return line->text();
    if (const auto* label = qobject_cast<const CompactLabel*>(widget()))
        return label->text();
    if (const auto* figure = qobject_cast<const TightFigure*>(widget()))
        return figure->text();
    return {};
}

QString AccessibleText::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
        return Spoken::units(drawn());
    return QAccessibleWidget::text(kind);
}
