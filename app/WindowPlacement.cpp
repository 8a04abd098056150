#include "app/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include "platform/PortSettingsStore.h"

namespace {

enum State { Normal = 0, Minimized = 1, Maximized = 2 };

State StateOf(const QWidget* window) {
    if (window->isMinimized()) return Minimized;
    if (window->isMaximized()) return Maximized;
    return Normal;
}

std::unique_ptr<QSettings> PlacementKey(const QString& name) {
    return OpenSettingsKey(QString(WindowPlacement::kKey) + "\\" + name);
}

}  // namespace

QRect FitOnScreens(const QRect& rect, const QList<QRect>& screens, const QMargins& frame) {
    if (screens.isEmpty()) return rect;
    QRect best = screens.first();
    qint64 bestOverlap = 0;
    for (const QRect& screen : screens) {
        const QRect overlap = screen.intersected(rect);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > bestOverlap) {
            bestOverlap = area;
            best = screen;
        }
    }
    const QRect inside = best.marginsRemoved(frame);
    QRect fitted(rect.topLeft(), rect.size().boundedTo(inside.size()));
    if (fitted.right() > inside.right()) fitted.moveRight(inside.right());
    if (fitted.bottom() > inside.bottom()) fitted.moveBottom(inside.bottom());
    if (fitted.left() < inside.left()) fitted.moveLeft(inside.left());
    if (fitted.top() < inside.top()) fitted.moveTop(inside.top());
    return fitted;
}

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) areas << screen->availableGeometry();
    }
    return areas;
}

WindowPlacement::WindowPlacement(QWidget* window, const QString& name)
    : QObject(window), window_(window), name_(name) {
    window->installEventFilter(this);
}

WindowPlacement* WindowPlacement::Attach(QWidget* window, const QString& name) {
    Restore(window, name);
    return new WindowPlacement(window, name);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Close) Save(window_, name_);
    return false;
}

// Centred on the primary screen, as large as asked if the screen allows.
void WindowPlacement::PlaceFirst(QWidget* window) {
    const QList<QRect> screens = AvailableScreenAreas();
    if (screens.isEmpty()) return;
    QRect rect(QPoint(), window->size());
    rect.moveCenter(screens.first().marginsRemoved(kFrameAllowance).center());
    window->setGeometry(FitOnScreens(rect, {screens.first()}));
}

void WindowPlacement::Save(const QWidget* window, const QString& name) {
    const auto store = PlacementKey(name);
    if (!store) return;
    const QRect rect = window->isWindow() ? window->normalGeometry() : window->geometry();
    const QRect normal = rect.isValid() ? rect : window->geometry();
    store->setValue("Left", normal.x());
    store->setValue("Top", normal.y());
    store->setValue("Width", normal.width());
    store->setValue("Height", normal.height());
    store->setValue("State", StateOf(window));
    store->sync();
}

void WindowPlacement::Restore(QWidget* window, const QString& name) {
    const auto store = PlacementKey(name);
    if (!store || !store->contains("Width")) {
        if (window->isWindow() && !window->parentWidget()) PlaceFirst(window);
        return;
    }
    QRect rect(store->value("Left").toInt(), store->value("Top").toInt(),
               store->value("Width").toInt(), store->value("Height").toInt());
    if (window->isWindow()) rect = FitOnScreens(rect, AvailableScreenAreas());
    if (rect.width() > 0 && rect.height() > 0) window->setGeometry(rect);
    switch (store->value("State").toInt()) {
        case Minimized:
            window->setWindowState(window->windowState() | Qt::WindowMinimized);
            break;
        case Maximized:
            window->setWindowState(window->windowState() | Qt::WindowMaximized);
            break;
        default:
            break;
    }
}
