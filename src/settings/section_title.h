#pragma once

#include <QLabel>

// The small heading above a card of the settings window.
class SectionTitle : public QLabel {
    Q_OBJECT
public:
    explicit SectionTitle(const QString& text, QWidget* parent = nullptr);
};
