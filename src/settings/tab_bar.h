#pragma once

#include "panel/animation/spring.h"
#include "settings/settings_tab.h"

#include <QWidget>

// One button per tab, each its symbol over its title; a capsule behind the selected one slides
// to the next on a spring.
class TabBar : public QWidget {
    Q_OBJECT
public:
    explicit TabBar(SettingsTab selected, QWidget* parent = nullptr);

    SettingsTab selected() const { return current; }
    // Selects `tab` as a click on it does.
    void select(SettingsTab tab);
    // Where the button of `tab` is.
    QRect buttonRect(SettingsTab tab) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void selectedChanged(SettingsTab tab);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Left and Right select the tab beside the selected one.
    void keyPressEvent(QKeyEvent* event) override;

private:
    SettingsTab current;
    Spring capsule{0.35, 0.8}; // the selected tab's place, 0 for the first
};
