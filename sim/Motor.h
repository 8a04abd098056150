#pragma once
// The stand-in drive's motor: the speed follows its command through a
// first-order lag, the torque comes from the acceleration, friction and a
// load, and the positions integrate the speeds. Advanced in closed form, so
// a sampler may step it at any period and get the same curve.

#include <optional>

// Everything a drive reports of its motor at one moment.
struct MotorState {
    double time = 0;                // s
    double speedCommand = 0;        // rpm
    double speedFeedback = 0;       // rpm, the speed offset included
    double speedError = 0;          // rpm, command - feedback
    double torqueCommand = 0;       // % of rated, the torque offset included, within +-300
    double positionCommand = 0;     // pulses (kPulsesPerRevolution a revolution)
    double positionFeedback = 0;    // pulses
    double positionError = 0;       // pulses, command - feedback
    double pulseFrequencyKpps = 0;  // the position command rate in kpps
    double electricalAngle = 0;     // degrees 0..360
    double mechanicalAngle = 0;     // degrees 0..360
};

class Motor {
  public:
    static constexpr double kPulsesPerRevolution = 10000;
    static constexpr int kPolePairs = 4;
    static constexpr double kJogHoldSeconds = 0.5;    // a jog not renewed in this time stops
    static constexpr double kTestRunStepSeconds = 1;  // forward, pause/2, reverse: 3 s in all

    struct Settings {
        double timeConstant = 0.05;    // s, of the speed lag
        double inertiaPercent = 0.02;  // torque % per rpm/s of acceleration
        double frictionPercent = 2.0;  // torque % against the direction of turning
        double loadPercent = 0.0;      // constant load torque %
        double overspeedRpm = 6000;    // above this the motor is overspeeding
    };

    Motor();
    explicit Motor(Settings settings);

    // Moves the model on to `time`; an earlier time is ignored.
    void AdvanceTo(double time);
    double Time() const { return time_; }

    // A constant speed command from the current time on; ends a jog or test run.
    void SetSpeedCommand(double rpm);
    double SpeedCommand() const { return command_; }

    // '+' forward, '-' reverse at `rpm`, '0' stop; a jog stops by itself
    // kJogHoldSeconds after the last call, so a lost link leaves no motor running.
    void Jog(char direction, double rpm, double time);
    // Forward, stop, reverse, stop at `rpm`, 3 s in all.
    void StartTestRun(double rpm, double time);
    // Speed command 0 at once (servo off, alarm).
    void Stop(double time);
    // A jog or a test run is commanding the speed.
    bool Running() const { return jogUntil_.has_value() || testRunStart_.has_value(); }

    void AddSpeedOffset(double rpm) { speedOffset_ += rpm; }
    void AddTorqueOffset(double percent) { torqueOffset_ += percent; }
    double SpeedOffset() const { return speedOffset_; }
    double TorqueOffset() const { return torqueOffset_; }
    void SetLoad(double percent) { settings_.loadPercent = percent; }

    bool Overspeeding() const;
    MotorState State() const;
    MotorState StateAt(double time) {
        AdvanceTo(time);
        return State();
    }

  private:
    void Integrate(double until);
    std::optional<double> NextCommandChange() const;
    void ApplyScheduledCommand();

    Settings settings_;
    double time_ = 0;
    double command_ = 0;           // rpm
    double speed_ = 0;             // rpm, without the offset
    double positionCommand_ = 0;   // pulses
    double positionFeedback_ = 0;  // pulses
    double speedOffset_ = 0;
    double torqueOffset_ = 0;
    std::optional<double> jogUntil_;
    std::optional<double> testRunStart_;
    double testRunRpm_ = 0;
};
