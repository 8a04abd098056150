#pragma once
// The stand-in drive's logic: takes the bytes a client sends, finds the
// request frames in them and answers each the way the drive does, keeping
// the drive's state (parameters, servo, alarm) in between. Pure: no threads,
// no I/O; a server writes the replies it returns.
//
// Served: SET, STR, CHP, TYP, VER, STS, MDM, MOR, TAT, ETC, JOG, TMN, SVRON, SVROFF,
// SVROF, RST, LIV, LIVE, EHY, DIE, MOT, ESC. ETC codes are rows of one table
// (procedures, the alarm history clear, download mode).
// STR and CHP store a value into a slot in use; STR with the address alone
// commits the slot as it stands.
// Other mnemonics, malformed frames and bad checksums get NAK; frames for
// another station get no answer. Normal data replies carry Config::marker
// ('R') at position 3. While an alarm is set, every served command except
// LIV, LIVE, STS, VER, TYP, SVROFF, SVROF, RST, EHY and DIE is answered with
// the error frame E + alarm code, so a client can still see the alarm, read
// what the drive recorded at it and reset it.

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sim/AlarmLog.h"
#include "sim/Download.h"
#include "sim/FailureMode.h"
#include "sim/Motor.h"
#include "sim/Procedures.h"
#include "sim/Recorder.h"
#include "sim/RequestStream.h"
#include "sim/SimClock.h"
#include "sim/Stream.h"

class DriveSim {
  public:
    struct Config {
        std::string version = "V1.20";   // VER value, five characters
        std::string motorCode = "-_A5";  // TYP value: series, capacity, optional suffix
        std::string mode;          // STS control mode, one or two letters; empty: from Pr-0.00
        char marker = 'R';         // position 3 of every normal data reply
        unsigned garbageSeed = 1;  // the Garbage failure mode is repeatable
        SimClock clock = SteadySimClock();  // the drive's time; tests pass a ManualSimClock's
        Motor::Settings motor{};
        bool alarmMemoryInitialised = true;  // false: the alarm history reads "FF"
        Recorder::Trigger trigger = Recorder::Trigger::OnCondition;  // the recorder's trigger rule
        unsigned inputs = 0;         // DI#1..DI#7 as the I/O word shows them (bits 0..6)
        bool emergencyStop = false;  // E-STOP in the I/O word
        std::map<std::string, double> procedureSeconds;  // "TAT01", "ETC10", ... -> seconds
        // An alarm or warning the drive raises by itself at a given time (code, seconds).
        std::optional<std::pair<int, double>> alarmAfter, warningAfter;
        // Addresses whose stores (STR, CHP) are refused with NAK, so a client's
        // failed write can be seen.
        std::set<std::string> refusedStores = {};
    };

    // What the drive writes for one request: the chunks in order, each one
    // write; then, when `close` is set, the far end hangs up. A stall keeps the
    // drive from writing anything for stallMs first, this answer and all after it.
    struct Reply {
        std::vector<std::string> chunks;
        bool close = false;
        int stallMs = 0;
        bool operator==(const Reply&) const = default;
    };

    struct Exchange {
        std::string request;  // the raw request frame as received
        Reply reply;
    };

    // The most recent request frames kept by Requests().
    static constexpr std::size_t kRequestLogLimit = 4096;

    DriveSim();
    explicit DriveSim(Config config);

    // Takes received bytes (frames may arrive split or several at once) and
    // answers every complete request frame among them.
    std::vector<Exchange> Receive(std::string_view bytes);
    // Receive(), flattened: the chunks of all replies in order. A hang-up ends
    // the list; LineDown() tells it.
    std::vector<std::string> Feed(std::string_view bytes);
    // True after a reply closed the line; later bytes are ignored.
    bool LineDown() const { return lineDown_; }

    void SetFailure(Failure failure);
    void SetFailure(FailureMode mode) { SetFailure({mode, DefaultArgument(mode)}); }
    Failure CurrentFailure() const { return failure_; }

    static constexpr int kOverspeedAlarm = 50;  // raised when the motor model overspeeds

    // Raises alarm `code` (1..99; the servo trips off, the alarm goes into the
    // history with what the drive recorded) or clears it with 0.
    void SetAlarm(int code);
    int Alarm() const { return alarm_; }
    const AlarmLog& AlarmHistory() const { return alarmLog_; }
    // Sets warning `code` (1..99) or clears it with 0.
    void SetWarning(int code);
    int Warning() const { return warning_; }

    void SetServoOn(bool on) { servoOn_ = on && alarm_ == 0; }
    bool ServoOn() const { return servoOn_; }
    void SetMode(std::string mode);
    void SetSpeedMatch(bool on) { speedMatch_ = on; }
    void SetTgOn(bool on) { tgOn_ = on; }

    // The value of a parameter slot ("000".."618"); nullopt for an unused slot.
    std::optional<std::string> Slot(std::string_view address) const;
    void SetSlot(const std::string& address, std::string value);

    // The complete request frames received, oldest first (at most kRequestLogLimit).
    const std::deque<std::string>& Requests() const { return requests_; }
    void ClearRequests() { requests_.clear(); }

    const Config& Settings() const { return config_; }

    // The drive's time in seconds; the motor is moved on to it before each request is answered.
    double Now() const { return config_.clock(); }
    Motor& MotorModel() { return motor_; }
    const Motor& MotorModel() const { return motor_; }
    const Stream& MonitorStream() const { return monitorStream_; }
    const Recorder& CaptureRecorder() const { return recorder_; }
    // Brings the recorder and the motor to Now(); done before every request is
    // answered, and needed before a test changes the motor directly.
    void CatchUp();
    // JOG: '+', '-' or '0' at Pr-2.01's speed; the servo goes on.
    void StartJog(char direction);

    // Download mode: entered with ETC 14, left after the end record.
    bool Downloading() const { return download_.Active(); }
    const SimDownload::Result& LastDownload() const { return download_.Last(); }
    void OnDownloadDone(std::function<void(const SimDownload::Result&)> done) {
        download_.OnDone(std::move(done));
    }

    // The jog and test-run speed, Pr-2.01, in rpm.
    double JogSpeed() const;
    // The STS control mode: from Pr-0.00 when it names one, else the configured one.
    std::string ControlMode() const;

  private:
    // The dispatcher (DriveSim.cpp).
    struct Command;  // one row of the command table: mnemonic, data, alarm rule, handler
    static const Command* FindHandler(std::string_view mnemonic);
    std::vector<Exchange> ReceiveFrames(std::string_view bytes);
    std::string Handle(const std::string& frame);
    std::string Execute(std::string_view mnemonic, std::string_view data);
    void Log(const std::string& frame);
    std::string DataReply(std::string_view mnemonic, std::string_view value) const;

    // Failure modes (DriveSimFailures.cpp).
    Reply Answer(const std::string& frame);
    Reply Shape(std::string answer);
    bool SkipForNthTry(const std::string& frame);
    std::string RandomBytes(int count);

    // Parameters: SET, STR, CHP (DriveSimParameters.cpp).
    std::string OnReadSlot(std::string_view data);
    std::string OnStore(std::string_view data);
    std::string OnChangeParameter(std::string_view data);
    std::string WriteSlot(std::string_view data, bool isStore);

    // Identity and state: VER, TYP, STS, LIV, servo and reset (DriveSimStatus.cpp).
    std::string OnVersion(std::string_view data);
    std::string OnType(std::string_view data);
    std::string OnStatus(std::string_view data);
    std::string OnAlive(std::string_view data);
    std::string OnServoOn(std::string_view data);
    std::string OnServoOff(std::string_view data);
    std::string OnReset(std::string_view data);
    std::string StatusValue() const;

    // Alarms: EHY, DIE, ETC 09 (DriveSimAlarms.cpp).
    std::string OnAlarmHistory(std::string_view data);
    std::string OnAlarmData(std::string_view data);
    std::string OnClearAlarmHistory(std::string_view data);
    std::vector<AlarmLog::Sample> RecordAlarmData();
    void RememberMotor();

    // The recorder: MOT, ESC (DriveSimRecorder.cpp).
    std::string OnCapture(std::string_view data);
    std::string OnEscape(std::string_view data);
    Recorder::Signals SampleSignals(double time);

    // Download mode: ETC 14 (Download.cpp).
    std::string OnDownloadMode(std::string_view data);

    // The monitoring window's commands (DriveSimMonitoring.cpp).
    struct EtcRow;  // one ETC code and its handler
    static const EtcRow* FindEtc(std::string_view code);
    std::string OnMonitor(std::string_view data);
    std::string OnStream(std::string_view data);
    std::string OnJog(std::string_view data);
    std::string OnTuning(std::string_view data);
    std::string OnEtc(std::string_view data);
    std::string OnOffsetStep(std::string_view data);
    std::string OnTestRun(std::string_view data);
    std::string OnEtcProcedure(std::string_view data);
    std::string ProgressReply();
    void RaiseScheduled();

    Config config_;
    Motor motor_;
    Recorder recorder_;
    RequestStream stream_;
    SimDownload download_;
    std::map<std::string, std::string> slots_;
    Failure failure_;
    std::minstd_rand garbage_;
    std::deque<std::string> requests_;
    AlarmLog alarmLog_;
    std::deque<Motor> motorPast_;  // for the alarm recording; see RememberMotor()
    std::string lastFrame_;
    int repeats_ = 0;
    int answered_ = 0;
    int received_ = 0;  // requests since the failure mode was set
    bool lineDown_ = false;

    bool servoOn_ = false;
    bool speedMatch_ = false;
    bool tgOn_ = false;
    int alarm_ = 0;
    int warning_ = 0;
    Procedures procedures_;
    Stream monitorStream_;
    bool alarmRaised_ = false, warningRaised_ = false;
};
