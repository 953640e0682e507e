#pragma once

#include "panel/animation/spring.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <optional>

class AppModel;
class QScrollArea;
class QVBoxLayout;
class UnitCard;

// The column of unit cards, one per unit in the model's order, each kept for as long as its
// unit is listed. It scrolls (without scroll bars) once it would grow past heightCap(), and
// brings the selected unit's card into view.
class UnitList : public QWidget {
    Q_OBJECT
public:
    explicit UnitList(AppModel& model, QWidget* parent = nullptr);

    // The tallest the list grows, for a screen whose free area (less the menu bar and the dock)
    // is `availableHeight` points high, or for no screen at all.
    static int heightCap(std::optional<int> availableHeight);

    // The cards in the order shown.
    QList<UnitCard*> cards() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void fitHeight();
    void revealSelected();

    AppModel& model;
    QWidget* column;
    QVBoxLayout* stack;
    QScrollArea* scroller = nullptr; // absent while previews are rendered
    QHash<QString, QPointer<UnitCard>> byID;
    QList<UnitCard*> order;
    Spring scroll{0.5, 0.85};
};
