#pragma once

#include <QAccessibleObject>
#include <QWindow>

// The application as assistive technology sees it: every shown top-level window is a child,
// popups included. Qt's own leaves popups out, and the panel and its context menu are popups,
// so a screen reader walking the tree would find nothing under the application.
class AccessibleApplication : public QAccessibleApplication {
public:
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    // The windows that are children, in the order the application made them.
    static QList<QAccessibleInterface*> windows();
};
