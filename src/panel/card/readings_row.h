#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <optional>

class CompactLabel;
class LineText;

// The room readings under a card's figure, centred: temperature (with the progress mark),
// humidity, and CO₂ and TVOC where the unit measures them; beneath them, "Climate React on"
// while the service may change the unit's state by itself.
class ReadingsRow : public QWidget {
    Q_OBJECT
public:
    explicit ReadingsRow(QWidget* parent = nullptr);

    struct Content {
        QString temperature; // as the settings format it
        std::optional<QString> progressSymbol;
        QString progressHelp;
        std::optional<double> humidity;
        std::optional<double> co2;
        std::optional<double> tvoc;
        QColor glow;
        bool climateReact = false;
    };
    void setContent(const Content& content);

    // Rounded to a whole number, halves away from zero, and "%"; "–" without a reading.
    static QString humidityText(std::optional<double> value);

private:
    CompactLabel* temperature;
    QWidget* progress;
    CompactLabel* humidity;
    LineText* co2;
    LineText* tvoc;
    CompactLabel* climateReact;
};
