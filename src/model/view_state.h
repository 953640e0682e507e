#pragma once

#include <QSettings>
#include <QString>

// What views keep of themselves across restarts, in the user defaults store: which unit cards
// have their fold-out section open, and the settings tab shown last. Views see only this, not
// the store.
class ViewState {
public:
    explicit ViewState(QSettings& store) : store(store) {}

    bool isExpanded(const QString& podID) const;
    void setExpanded(const QString& podID, bool expanded);
    // Forgets the card's fold-out state: the card opens folded.
    void forgetExpanded(const QString& podID);

    // The stored form of the settings tab shown last ("general", "presets", "account"); empty
    // when none is stored.
    QString settingsTab() const;
    void setSettingsTab(const QString& tab);

private:
    QSettings& store;
};
