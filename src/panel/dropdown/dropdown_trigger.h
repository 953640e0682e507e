#pragma once

#include "model/dropdown.h"
#include "panel/animation/spring.h"
#include "panel/style/paint_cache.h"

#include <QAbstractButton>
#include <functional>
#include <tuple>

class AppModel;

// The control that opens one of the panel's dropdowns, drawn in a control well: an icon, a
// title and a chevron. A click closes its own open dropdown, or builds the dropdown from the
// trigger's current frame in panel coordinates and opens it in place of any other.
class DropdownTrigger : public QAbstractButton {
    Q_OBJECT
public:
    using Make = std::function<Dropdown(const QRectF& frame)>;

    DropdownTrigger(AppModel& model, QString id, const QString& help, Make make,
                    QWidget* parent = nullptr);

    // A vane that follows a vane turns to its new aim.
    void setLabel(const Dropdown::Option::Icon& value, const QString& text);
    // The aim the vane shows now (while it turns, between the old and the new one).
    qreal shownAim() const { return turn.value(); }
    // The title it shows: the current value.
    QString label() const { return title; }
    // Its dropdown is the open one.
    bool isOpen() const;
    // Its rectangle in panel coordinates (those of the top-level widget).
    QRectF panelFrame() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void toggle();

    AppModel& model;
    QString dropdownID;
    Make make;
    Dropdown::Option::Icon icon;
    QString title;
    Spring turn{0.22, 0.85};                                               // the vane's aim
    PaintCache<std::tuple<Dropdown::Option::Icon, QString, bool>> picture; // by label, active
};
