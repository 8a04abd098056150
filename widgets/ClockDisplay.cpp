#include "widgets/ClockDisplay.h"

#include <QTime>
#include <QTimer>

ClockDisplay::ClockDisplay(QWidget* parent) : QLabel(parent), refresh_(new QTimer(this)) {
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    connect(refresh_, &QTimer::timeout, this, &ClockDisplay::ShowTime);
    refresh_->start(1000);
    ShowTime();
}

void ClockDisplay::ShowTime() {
    const QString now = QTime::currentTime().toString("hh:mm:ss");
    setText(now);
    setAccessibleDescription(now);
}
