#include "app/AlarmHistoryPicture.h"

#include <QComboBox>

#include "alarms/ErrorDisplayForm.h"
#include "platform/ThreadTimers.h"
#include "protocol/Frame.h"
#include "sim/SimLink.h"

namespace {

class QuietHooks : public IEngineHooks {
  public:
    void SetStatusText(const std::string&) override {}
    void SetCommLed(bool) override {}
    void SetTimeoutTimer(bool) override {}
    void ShowWarning(const std::string&) override {}
    void RestoreCursor() override {}
    void PauseMs(int) override {}
};

// A drive that tripped twice before and then, braking hard from full speed,
// on regeneration overload.
struct TrippedDrive {
    TrippedDrive() : sim(Settings(clock)) {
        sim.SetAlarm(21);
        sim.SetAlarm(0);
        sim.SetAlarm(40);
        sim.SetAlarm(0);
        At(1.0, [this] { sim.MotorModel().SetSpeedCommand(3000); });
        At(1.4, [this] { sim.MotorModel().SetSpeedCommand(-3000); });
        clock.Advance(0.03);
        sim.SetAlarm(23);
    }
    static DriveSim::Config Settings(ManualSimClock& clock) {
        DriveSim::Config config;
        config.clock = clock.Clock();
        return config;
    }
    // A change of the motor's command, noted by the drive with the next request.
    template <typename Change>
    void At(double time, Change change) {
        clock.now = time;
        sim.MotorModel().AdvanceTo(time);
        change();
        sim.Feed(Frame::BuildRequest("LIV", ""));
    }

    ManualSimClock clock;
    DriveSim sim;
    SimLink port{sim};
    QuietHooks hooks;
    TComm comm{port, hooks};
};

}  // namespace

QWidget* AlarmHistoryPicture() {
    static TrippedDrive drive;
    auto* form = new TForm_ErrorDisplay(drive.comm);
    form->Btn_ErrorHistoryLoadClick();
    drive.port.Deliver(drive.comm);
    form->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(5);
    form->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(4);
    form->Btn_ErrorLoadDClick();
    auto* timers = form->findChild<TiThreadTimers*>("ThreadTimers_Error");
    for (int tick = 0; tick < 20 && timers->Enabled(1); ++tick) {
        timers->Fire(1);
        drive.port.Deliver(drive.comm);
    }
    return form;
}
