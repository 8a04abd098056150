#pragma once
// What the window tests share: a throw-away settings store, a
// pseudo-terminal to go on line with, the Hangul font check and lookups of
// the main window's controls by name.

#include <poll.h>
#include <unistd.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <string>

#include "app/Main.h"
#include "platform/ComPort.h"
#include "sim/Pty.h"
#include "tests/support/RequireHangulFont.h"
#include "widgets/RectLed.h"
#include "widgets/RoundLed.h"

// Points the settings store at an empty directory while it lives; the store
// it replaced comes back after, so one inside another (a benchmark's own and
// its sessions') never leaves the user's store in use.
class ScratchSettings {
  public:
    ScratchSettings()
        : hadPrevious_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
          previous_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
    }
    ~ScratchSettings() {
        if (hadPrevious_)
            qputenv("XDG_CONFIG_HOME", previous_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    ScratchSettings(const ScratchSettings&) = delete;
    ScratchSettings& operator=(const ScratchSettings&) = delete;
    QString Path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    bool hadPrevious_;
    QByteArray previous_;
};

// A pseudo-terminal: the program opens Path(), the test plays the far end.
class PtyLine {
  public:
    PtyLine() : pty_(OpenRawPty()) {}
    QString Path() const { return QString::fromStdString(pty_.slavePath); }

    // Everything that arrives within `ms` of quiet.
    std::string Read(int ms = 300) {
        std::string got;
        pollfd fd{pty_.master.Get(), POLLIN, 0};
        while (::poll(&fd, 1, ms) > 0 && (fd.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(pty_.master.Get(), buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    void Write(const std::string& bytes) {
        QCOMPARE_EQ(::write(pty_.master.Get(), bytes.data(), bytes.size()),
                    static_cast<ssize_t>(bytes.size()));
    }
    // The far end goes away.
    void Hangup() { pty_.master.Reset(); }

  private:
    RawPty pty_;
};

inline void SetPortName(TMainForm& main, const QString& name) {
    PortSettings settings = main.ComPort->Settings();
    settings.Port = name;
    main.ComPort->SetSettings(settings);
}

inline RectLed* OnLineLed(TMainForm& main) {
    return main.findChild<RectLed*>("ST_LED");
}
inline RectLed* AlarmLed(TMainForm& main) {
    return main.findChild<RectLed*>("ST_LedAlarm");
}
inline QLabel* StatusPanel(TMainForm& main) {
    return main.findChild<QLabel*>("Panel_MainStatus");
}
inline RoundLed* CommLed(TMainForm& main) {
    return main.findChild<RoundLed*>("ST_LedComPort");
}
