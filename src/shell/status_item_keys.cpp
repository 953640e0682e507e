#include "model/app_model.h"
#include "shell/status_item_controller.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr Qt::KeyboardModifiers commandKeys =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
} // namespace

bool StatusItemController::handle(QKeyEvent* event) {
    if (!isPanelShown() || (event->modifiers() & commandKeys))
        return false;
    const QWidget* focus = m_panel.focusWidget();
    if (focus &&
        (qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus)))
        return false;
    const std::optional<Pod> pod = m_model.selectedPod();
    if (!pod || (pod->connectionStatus && pod->connectionStatus->isAlive == false))
        return false;

    const int key = event->key();
    if (m_model.dropdown()) {
        switch (key) {
        case Qt::Key_Down:
            m_model.moveHighlight(1);
            return true;
        case Qt::Key_Up:
            m_model.moveHighlight(-1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            m_model.pickHighlighted();
            return true;
        case Qt::Key_Escape:
            m_model.closeDropdown();
            return true;
        default:
            return false;
        }
    }
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        m_model.step(pod->id, 1);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Left:
        m_model.step(pod->id, -1);
        return true;
    case Qt::Key_P:
        m_model.togglePower(pod->id);
        return true;
    default:
        break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        m_model.select(key - Qt::Key_0);
        return true;
    }
    return false;
}

bool StatusItemController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || widget->window() != &m_panel)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (handle(key))
        return true;
    if (key->key() == Qt::Key_Escape && !(key->modifiers() & commandKeys) && !m_model.dropdown() &&
        m_presentation == Presentation::tray && isPanelShown()) {
        close();
        return true;
    }
    return false;
}
