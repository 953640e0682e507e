#pragma once

#include <QAbstractButton>

// A borderless button drawn as a link: its title in the link colour, underlined under the
// pointer.
class LinkButton : public QAbstractButton {
    Q_OBJECT
public:
    LinkButton(const QString& title, qreal points, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
