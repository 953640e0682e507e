#include "model/app_model.h"
#include "shell/tray/panel_window.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr Qt::KeyboardModifiers commandKeys =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
} // namespace

bool PanelWindow::useShortcut(QKeyEvent* event) {
    if (!isVisible() || (event->modifiers() & commandKeys))
        return false;
    const QWidget* focus = focusWidget();
    if (focus &&
        (qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus)))
        return false;
    const std::optional<Pod> pod = appModel.pod(appModel.selectedID());
    if (!pod || pod->isKnownOffline())
        return false;

    const int key = event->key();
    if (appModel.picker().shown()) {
        switch (key) {
        case Qt::Key_Down:
            appModel.picker().moveHighlight(1);
            return true;
        case Qt::Key_Up:
            appModel.picker().moveHighlight(-1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            appModel.picker().pickHighlighted();
            return true;
        case Qt::Key_Escape:
            appModel.picker().close();
            return true;
        default:
            return false;
        }
    }
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        appModel.step(pod->id, 1);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Left:
        appModel.step(pod->id, -1);
        return true;
    case Qt::Key_P:
        appModel.togglePower(pod->id);
        return true;
    default:
        break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        appModel.select(key - Qt::Key_0);
        return true;
    }
    return false;
}

bool PanelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (useShortcut(key))
        return true;
    if (key->key() == Qt::Key_Escape && !(key->modifiers() & commandKeys) &&
        !appModel.picker().shown() && windowKind == Kind::popup && isVisible()) {
        close();
        return true;
    }
    return false;
}
