#pragma once

#include <QAbstractButton>

class Spinner;

// The panel's filled accent button for the one action that matters on a view ("Connect",
// "Try Again"). While busy it shows a small spinner before its title.
class ProminentButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Size { regular, large };

    ProminentButton(const QString& title, Size size = Size::regular, QWidget* parent = nullptr);

    bool isBusy() const { return busy; }
    void setBusy(bool value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    qreal contentWidth() const;
    void placeSpinner();

    Size size;
    bool busy = false;
    Spinner* spinner;
};
