#pragma once
// A small round LED (an indicator lamp). Accessible: "on"/"off" as its description.

#include <QColor>
#include <QWidget>

class RoundLed : public QWidget {
    Q_OBJECT
  public:
    explicit RoundLed(QWidget* parent = nullptr);

    bool IsOn() const { return on_; }
    void SetOn(bool on);
    void SetOnColor(const QColor& color);

    QSize sizeHint() const override { return {14, 14}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool on_ = false;
    QColor onColor_{Qt::yellow};
};
