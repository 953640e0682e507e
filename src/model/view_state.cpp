#include "model/view_state.h"

namespace {
const auto settingsTabKey = QStringLiteral("settingsTab");

QString expandedKey(const QString& podID) {
    return QStringLiteral("expanded.") + podID;
}
} // namespace

bool ViewState::isExpanded(const QString& podID) const {
    return store.value(expandedKey(podID), false).toBool();
}

void ViewState::setExpanded(const QString& podID, bool expanded) {
    store.setValue(expandedKey(podID), expanded);
}

void ViewState::forgetExpanded(const QString& podID) {
    store.remove(expandedKey(podID));
}

QString ViewState::settingsTab() const {
    return store.value(settingsTabKey).toString();
}

void ViewState::setSettingsTab(const QString& tab) {
    store.setValue(settingsTabKey, tab);
}
