#pragma once
// A round LED that takes clicks, for choices shown as a column of lamps.
// Accessible as a button: "on"/"off" is its description and it offers a press action.

#include "widgets/RoundLed.h"

class RoundLedButton : public RoundLed {
    Q_OBJECT
  public:
    explicit RoundLedButton(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
