#pragma once
// Keeps a window's position, size and state between runs in the settings
// store: restored when the window is attached, saved when it closes. Works for
// top-level windows and for MDI sub-windows alike.

#include <QList>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

// Room left around a window's client area for the frame the desktop draws.
inline constexpr QMargins kFrameAllowance{8, 32, 8, 8};

// `rect` moved, and shrunk where it is larger, so that it and its frame lie
// within one of the `screens` (available areas): the one it overlaps most,
// else the first.
QRect FitOnScreens(const QRect& rect, const QList<QRect>& screens,
                   const QMargins& frame = kFrameAllowance);

// The available areas of the screens, the primary one first.
QList<QRect> AvailableScreenAreas();

class WindowPlacement : public QObject {
    Q_OBJECT
  public:
    // Where the placements are kept.
    static constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Norvik\\VRX5\\Placement";

    // Restores `window` from the placement stored under `name` (if any) and
    // saves it there whenever the window closes. Owned by the window. A
    // top-level window lands on a screen: a stored placement that no longer
    // fits one is moved and shrunk onto it, and a first start is centred on
    // the primary screen at the window's size, or smaller if it must be.
    static WindowPlacement* Attach(QWidget* window, const QString& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    WindowPlacement(QWidget* window, const QString& name);
    static void Save(const QWidget* window, const QString& name);
    // Leaves the window as it is when nothing usable is stored under `name`.
    static void Restore(QWidget* window, const QString& name);
    static void PlaceFirst(QWidget* window);

    QWidget* window_;
    QString name_;
};
