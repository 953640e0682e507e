#include "settings/settings_view.h"

#include "model/app_model.h"
#include "panel/accessibility/focus_ring.h"
#include "panel/style/palette.h"
#include "settings/account_tab.h"
#include "settings/general_tab.h"
#include "settings/presets_tab.h"
#include "settings/tab_bar.h"

#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

SettingsView::SettingsView(AppModel& model, QWidget* parent)
    : QWidget(parent), model(model), bar(new TabBar(SettingsTabs::load(model.viewState()), this)),
      scroller(new QScrollArea(this)) {
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Palette::background());
    setPalette(colors);
    setAutoFillBackground(true);
    new FocusRing(this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->addWidget(scroller, 1);

    connect(bar, &TabBar::selectedChanged, this, [this](SettingsTab tab) {
        SettingsTabs::save(tab, this->model.viewState());
        showTab(tab);
    });
    showTab(bar->selected());

    auto* close = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(close, &QShortcut::activated, this, [this] { window()->close(); });
}

QWidget* SettingsView::content() const {
    return scroller->widget();
}

void SettingsView::showTab(SettingsTab tab) {
    QWidget* page = nullptr;
    switch (tab) {
    case SettingsTab::general:
        page = new GeneralTab(model);
        break;
    case SettingsTab::presets:
        page = new PresetsTab(model);
        break;
    case SettingsTab::account:
        page = new AccountTab(model);
        break;
    }
    page->setAutoFillBackground(false);
    scroller->setWidget(page); // deletes the page shown before
    scroller->viewport()->setAutoFillBackground(false);
}
