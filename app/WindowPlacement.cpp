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

// A top-level window must land on a screen that is still there.
bool Reachable(const QWidget* window, const QRect& rect) {
    if (!window->isWindow()) return true;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(rect)) return true;
    }
    return false;
}

std::unique_ptr<QSettings> PlacementKey(const QString& name) {
    return OpenSettingsKey(QString(WindowPlacement::kKey) + "\\" + name);
}

}  // namespace

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
    if (!store || !store->contains("Width")) return;
    const QRect rect(store->value("Left").toInt(), store->value("Top").toInt(),
                     store->value("Width").toInt(), store->value("Height").toInt());
    if (rect.width() > 0 && rect.height() > 0 && Reachable(window, rect)) window->setGeometry(rect);
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
