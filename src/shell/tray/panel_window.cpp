#include "shell/tray/panel_window.h"

#include "panel/root/root_view.h"
#include "panel/style/palette.h"
#include "shell/desktop/display_platform.h"

#include <QApplication>
#include <QCursor>
#include <QHideEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <malloc.h>

namespace {
constexpr int anchorGap = 4; // between the tray icon and the popup
// By then the panel's entrance is over, and the pictures of its frames are freed.
constexpr int entranceMs = 2000;

// Hands the pages that freed memory leaves in malloc's heap back to the system. Building the
// panel and its entrance free a few megabytes in the middle of the heap, which malloc only
// returns from the top by itself.
void releaseFreedMemory() {
    malloc_trim(0);
}
} // namespace

PanelWindow::PanelWindow(AppModel& model, Kind kind)
    : QWidget(nullptr, Qt::Window), appModel(model), windowKind(Kind::window),
      column(new QVBoxLayout(this)) {
    setWindowTitle(QStringLiteral("Alvore"));
    setObjectName(QStringLiteral("AlvorePanel"));
    if (kind == Kind::popup)
        becomePopup();
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetFixedSize);
    qApp->installEventFilter(this);
}

PanelWindow::~PanelWindow() {
    qApp->removeEventFilter(this);
}

void PanelWindow::becomePopup() {
    hide();
    windowKind = Kind::popup;
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    // The click that closes the popup is not handed on: landing on the tray icon, it would
    // open the panel again at once.
    setAttribute(Qt::WA_NoMouseReplay);
}

void PanelWindow::open(const QRect& anchor) {
    iconRect = anchor;
    pointerAtOpen = QCursor::pos();
    if (!rootView) {
        rootView = new RootView(appModel, this);
        column->addWidget(rootView);
    }
    column->activate();
    if (windowKind == Kind::popup)
        place();
    show();
    raise();
    activateWindow();
    QTimer::singleShot(entranceMs, this, [this] {
        if (isVisible())
            releaseFreedMemory();
    });
}

void PanelWindow::prepare() {
    if (rootView)
        return;
    {
        RootView unseen(appModel);
        unseen.ensurePolished();
        if (QLayout* layout = unseen.layout())
            layout->activate();
        QImage image(unseen.size(), QImage::Format_ARGB32_Premultiplied);
        unseen.render(&image);
    }
    releaseFreedMemory();
}

QRect PanelWindow::placement(const QSize& size, const QRect& anchor, const QPoint& pointer,
                             const QRect& available) {
    QPoint topLeft;
    if (anchor.isEmpty()) {
        topLeft = QPoint(pointer.x() - size.width() / 2, pointer.y() + anchorGap);
    } else {
        const bool below = anchor.center().y() < available.center().y();
        topLeft = QPoint(anchor.center().x() - size.width() / 2,
                         below ? anchor.bottom() + 1 + anchorGap
                               : anchor.top() - anchorGap - size.height());
    }
    const int x = std::clamp(topLeft.x(), available.left(),
                             std::max(available.left(), available.right() + 1 - size.width()));
    const int y = std::clamp(topLeft.y(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

QRect PanelWindow::topCentre(const QSize& size, const QRect& available) {
    const int x = available.left() + std::max(0, (available.width() - size.width()) / 2);
    return QRect(QPoint(x, available.top()), size);
}

void PanelWindow::place() {
    // Where the compositor says nothing of the tray icon's place, the panel does not guess.
    const bool iconUnknown = DisplayPlatform::compositorPlacesWindows();
    const QPoint reference = iconRect.isEmpty() || iconUnknown ? pointerAtOpen : iconRect.center();
    QScreen* screen = QGuiApplication::screenAt(reference);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    setGeometry(iconUnknown ? topCentre(size(), available)
                            : placement(size(), iconRect, pointerAtOpen, available));
}

bool PanelWindow::event(QEvent* event) {
    // The content grows and shrinks; a popup keeps its place against the tray as it does.
    if (event->type() == QEvent::LayoutRequest && windowKind == Kind::popup && isVisible()) {
        const bool handled = QWidget::event(event);
        place();
        return handled;
    }
    return QWidget::event(event);
}

void PanelWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // The hide may come from inside the content (its menu's Quit, a click that closes), so the
    // content goes once control has left it.
    if (rootView) {
        column->removeWidget(rootView);
        rootView->hide();
        connect(rootView, &QObject::destroyed, this, releaseFreedMemory, Qt::QueuedConnection);
        rootView->deleteLater();
        rootView = nullptr;
    }
    Q_EMIT closed();
}

void PanelWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    const bool iconMenu = windowKind == Kind::popup && event->button() == Qt::RightButton &&
                          !geometry().contains(global) && iconRect.contains(global);
    QWidget::mousePressEvent(event);
    if (iconMenu)
        Q_EMIT iconMenuRequested(global);
}

void PanelWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Palette::background());
}
