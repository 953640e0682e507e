#pragma once

#include "model/tint.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <variant>

// A small card of choices that the panel draws itself (the mode and airflow pickers). At most
// one is open at a time; it holds copies of its rows and its pick action, made when it opened.
struct Dropdown {
    struct Option {
        struct Symbol {
            QString name; // a symbol name, drawn by the views' icon set
            bool operator==(const Symbol&) const = default;
        };
        struct Vane {
            double aim = 0.5; // 0 points to the top, 1 to the bottom
            bool operator==(const Vane&) const = default;
        };
        using Icon = std::variant<Symbol, Vane>;

        QString id; // handed to `pick`
        QString title;
        std::optional<QString> detail = std::nullopt;
        Icon icon = Symbol{};
        std::optional<Tint> tint = std::nullopt; // the dropdown's own without one
        bool startsGroup = false;                // a separator is drawn above this row

        bool operator==(const Option&) const = default;
    };

    QString id;    // a kind prefix and the unit id, e.g. "mode.<id>"
    QString name;  // what it picks, as a screen reader reads it: "Mode", "Airflow"
    QRectF anchor; // the trigger's frame, in panel coordinates (points)
    QList<Option> options;
    std::optional<QString> selected; // id of the current option
    Tint tint = Tint::cool;
    std::optional<QString> note; // shown under the rows
    std::function<void(const QString& optionID)> pick;
    std::optional<int> highlighted; // index into `options`

    // Moves the highlight `step` rows, clamped to the rows; without a highlight the first step
    // down lands on the first row and the first step up on the last.
    void moveHighlight(int step);
};

namespace Swing {
// The airflow rows for the swing values a unit offers: the ranges ("rangeFull" first), then
// the fixed positions from top to bottom, then "stopped", each kind its own group.
QList<Dropdown::Option> options(const QStringList& values);
} // namespace Swing

namespace Sideways {
// The sideways rows for the values a unit offers: the sweeps ("rangeFull" first), then the
// fixed positions from left to right, then "stopped", each kind its own group.
QList<Dropdown::Option> options(const QStringList& values);
} // namespace Sideways
