#pragma once

#include <QWidget>

class QLabel;

// One line of a card: the title with an optional detail line under it on the leading side,
// and the control, if any, on the trailing side.
class Row : public QWidget {
    Q_OBJECT
public:
    Row(const QString& title, const QString& detail, QWidget* control = nullptr,
        QWidget* parent = nullptr);

    QString title() const;
    QString detail() const;
    void setDetail(const QString& detail);
    QWidget* control() const { return trailing; }

private:
    QLabel* titleLabel;
    QLabel* detailLabel;
    QWidget* trailing;
};
