#pragma once
// An LED shaped as an arrow pointing left or right. It can be used as a
// press-and-hold button: Pressed when the mouse goes down on it, Released when
// it comes up. Accessible as a button: "on"/"off" is its description, and its
// press action presses and releases it.

#include <QColor>
#include <QWidget>

class ArrowLed : public QWidget {
    Q_OBJECT
  public:
    enum class Direction { Left, Right };

    explicit ArrowLed(Direction direction, QWidget* parent = nullptr);

    Direction Pointing() const { return direction_; }
    bool IsOn() const { return on_; }
    void SetOn(bool on);
    void SetOnColor(const QColor& color);

    QSize sizeHint() const override { return {40, 24}; }

  signals:
    void Pressed();
    void Released();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Direction direction_;
    bool on_ = false;
    bool held_ = false;
    QColor onColor_{255, 60, 60};
};
