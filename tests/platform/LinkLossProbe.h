#pragma once
// Watches a serial port after its line was lost: a port that spins on the
// error floods errorOccurred and starves the event loop, so count both.

#include <QtCore/qtestsupport_core.h>

#include <QSerialPort>
#include <QTimer>
#include <memory>

class LinkLossProbe {
  public:
    explicit LinkLossProbe(QSerialPort& serial) {
        QObject::connect(&serial, &QSerialPort::errorOccurred,
                         [this](QSerialPort::SerialPortError e) {
                             if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
                                 e == QSerialPort::WriteError)
                                 ++linkErrors;
                         });
    }

    // Turns of a 10 ms timer over `ms` of event loop.
    static int TicksOver(int ms) {
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(10);
        QTest::qWait(ms);
        return ticks;
    }

    int linkErrors = 0;
};
