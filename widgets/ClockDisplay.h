#pragma once
// The current time of day, refreshed every second.

#include <QLabel>

class QTimer;

class ClockDisplay : public QLabel {
    Q_OBJECT
  public:
    explicit ClockDisplay(QWidget* parent = nullptr);

  private:
    void ShowTime();

    QTimer* refresh_;
};
