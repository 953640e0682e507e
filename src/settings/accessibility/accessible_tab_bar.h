#pragma once

#include <QAccessibleWidget>
#include <QList>

// The settings window's tab bar as a page tab list, one page tab per tab. The tabs are made
// with the bar's interface and live as long as it.
class AccessibleTabBar : public QAccessibleWidget {
public:
    explicit AccessibleTabBar(QWidget* bar);
    ~AccessibleTabBar() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    QList<QAccessible::Id> tabs;
};
