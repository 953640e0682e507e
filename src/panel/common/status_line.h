#pragma once

#include "model/app_model.h"

#include <QTimer>
#include <QWidget>

// The one-line connection status: a coloured dot and a text such as "2 of 3 on · updated just
// now", redrawn every 5 seconds so the age keeps counting. While the key in use lives only in
// memory, the line ends in "key not kept" and its tooltip is the key's warning.
class StatusLine : public QWidget {
    Q_OBJECT
public:
    explicit StatusLine(AppModel& model, QWidget* parent = nullptr);

    static QString text(const AppModel& model, const QDateTime& now);
    static QColor dotColor(AppModel::Status::Kind kind);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    // The text without the key's warning.
    static QString connectionText(const AppModel& model, const QDateTime& now);

    AppModel& model;
    QString shown;
    QTimer timer;
};
