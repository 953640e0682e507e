#include "panel/controls/counting_figure.h"

#include <cmath>

CountingNumber::CountingNumber(QWidget* parent) : TightFigure(parent) {
    setText(format(0));
    connect(&count, &Animation::valueChanged, this,
            [this](double value) { setText(format(value)); });
}

QString CountingNumber::format(double value) {
    // Adding 0 turns a rounded -0 into 0.
    return QString::number(std::round(value) + 0.0, 'f', 0) + QStringLiteral("°");
}
