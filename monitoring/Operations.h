#pragma once
// The step machines of the drive operations: the progress poll of a TAT or
// ETC procedure, the read of the jog speed (Pr-2.01), the jog command and the
// manual offset adjustment. Each runs one tick of its timer channel against
// the link; the window shows what a tick reports.

#include <optional>
#include <string>
#include <string_view>

#include "monitoring/MonitorLink.h"

namespace OperationText {
inline constexpr const char* TuningOk = "Turning OK!!";
inline constexpr const char* TuningError = "Turning Error... ";
inline constexpr const char* BackUpOk = "Back Up OK!!";
inline constexpr const char* InitOk = "Init OK!!";
inline constexpr const char* ResetOk = "Reset OK!!";
inline constexpr const char* EtcError = "Reset Error... or Short Time. ";
}  // namespace OperationText

namespace ProcedureCode {
inline constexpr std::string_view AutoTuning = "01", Homing = "02", SpeedOffset = "03",
                                  TorqueOffset = "04", CurrentOffset = "07", AbsReset = "10",
                                  GainBackup = "11", InitUserPara = "12", TestRun = "13";
}  // namespace ProcedureCode

// The end of a poll, as the window shows it.
struct ProgressResult {
    bool succeeded = false;
    std::string message;              // confirmation or error text
    std::optional<std::string> gain;  // the inertia ratio read after auto tuning
};

// The progress poll of a TAT (channel 8) or ETC (channel 6) procedure.
class ProgressPoll {
  public:
    enum class Kind { Tat, Etc };

    int ProgressTicks = 0;
    bool InertiaReadPending = false;

    // The tick limit of an ETC procedure: about 8 s for the ABS reset, 2 s otherwise.
    static int EtcTickLimit(std::string_view code) {
        return code == ProcedureCode::AbsReset ? 160 : 40;
    }
    static constexpr int kTatTickLimit = 100;

    void Start(Kind kind);
    // nullopt while the poll runs; the result once it has ended (the channel is then stopped).
    std::optional<ProgressResult> Tick(IMonitorLink& link);

  private:
    std::optional<ProgressResult> TickTat(IMonitorLink& link);
    std::optional<ProgressResult> TickEtc(IMonitorLink& link);
    Kind kind_ = Kind::Tat;
};

// The read of Pr-2.01 before jog commands start (channel 9).
class JogSpeedRead {
  public:
    int SpeedReadTicks = 0;

    struct Result {
        std::optional<int> speed;  // nullopt: the read was given up
    };
    std::optional<Result> Tick(IMonitorLink& link);
};

// JogCommand: 0 off, 1 stop, 2 forward, 3 reverse.
enum JogCommands { JogOff = 0, JogStop = 1, JogForward = 2, JogReverse = 3 };
// The JOG data of a command ("0", "+", "-"), empty when nothing is sent.
std::string_view JogData(int jogCommand);

// Manual offset adjustment (channel 3). OffsetMode: 0 off, 1 polling, 2 down,
// 3 up, 4 save, 5 escape.
class ManualOffset {
  public:
    int OffsetMode = 0;

    // The value to show in the display, when this tick has one.
    std::optional<double> Tick(IMonitorLink& link, bool speed, bool torque);
};
