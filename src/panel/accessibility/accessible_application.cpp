#include "panel/accessibility/accessible_application.h"

#include <QGuiApplication>

QList<QAccessibleInterface*> AccessibleApplication::windows() {
    QList<QAccessibleInterface*> found;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        // A hidden popup is a menu or panel not shown now; ordinary windows stay listed while
        // hidden, as Qt lists them.
        if (window->type() == Qt::Desktop || (window->type() == Qt::Popup && !window->isVisible()))
            continue;
        if (QAccessibleInterface* root = window->accessibleRoot(); root && root->object())
            found.append(root);
    }
    return found;
}

int AccessibleApplication::childCount() const {
    return int(windows().size());
}

QAccessibleInterface* AccessibleApplication::child(int index) const {
    return windows().value(index);
}

int AccessibleApplication::indexOfChild(const QAccessibleInterface* child) const {
    return int(windows().indexOf(child));
}
