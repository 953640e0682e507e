#pragma once

#include "settings/card.h"

// What the app is and which version runs.
class AboutCard : public Card {
    Q_OBJECT
public:
    explicit AboutCard(QWidget* parent = nullptr);

    // "Alvore " and the version this build was made as.
    static QString versionLine();
};
