#pragma once

#include <QString>
#include <QWidget>
#include <optional>

// What the panel shows instead of the unit list: a symbol (a spinner when there is none), a
// title, an optional detail and optional actions, centred in a block exactly 220 points high.
class Placeholder : public QWidget {
    Q_OBJECT
public:
    Placeholder(const std::optional<QString>& symbol, const QString& title,
                const std::optional<QString>& detail, QWidget* actions = nullptr,
                QWidget* parent = nullptr);

    static constexpr int blockHeight = 220;
};
