#pragma once

#include <QWidget>

class AppModel;

// The top of the panel while it lists several units (or none): the product name with the gear
// menu, and the status line below them.
class PanelHeader : public QWidget {
    Q_OBJECT
public:
    explicit PanelHeader(AppModel& model, QWidget* parent = nullptr);
};
