#pragma once
// Keeps a window's position, size and state between runs in the settings
// store: restored when the window is attached, saved when it closes. Works for
// top-level windows and for MDI sub-windows alike.

#include <QObject>
#include <QString>

class QWidget;

class WindowPlacement : public QObject {
    Q_OBJECT
  public:
    // Where the placements are kept.
    static constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Norvik\\VRX5\\Placement";

    // Restores `window` from the placement stored under `name` (if any) and
    // saves it there whenever the window closes. Owned by the window.
    static WindowPlacement* Attach(QWidget* window, const QString& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    WindowPlacement(QWidget* window, const QString& name);
    static void Save(const QWidget* window, const QString& name);
    // Leaves the window as it is when nothing usable is stored under `name`.
    static void Restore(QWidget* window, const QString& name);

    QWidget* window_;
    QString name_;
};
