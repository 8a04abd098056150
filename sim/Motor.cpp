#include "sim/Motor.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr double kStopPause = Motor::kTestRunStepSeconds / 2;
// Test run phases from its start: forward, pause, reverse, pause.
constexpr double kTestRunEnds[] = {
    Motor::kTestRunStepSeconds, Motor::kTestRunStepSeconds + kStopPause,
    2 * Motor::kTestRunStepSeconds + kStopPause, 2 * Motor::kTestRunStepSeconds + 2 * kStopPause};
constexpr double kTestRunDirections[] = {1, 0, -1, 0};

double Degrees(double turns) {
    double degrees = std::fmod(turns * 360.0, 360.0);
    return degrees < 0 ? degrees + 360.0 : degrees;
}

}  // namespace

Motor::Motor() : Motor(Settings{}) {}

Motor::Motor(Settings settings) : settings_(settings) {}

void Motor::AdvanceTo(double time) {
    while (time > time_) {
        std::optional<double> change = NextCommandChange();
        if (!change || *change > time) {
            Integrate(time);
            return;
        }
        Integrate(*change);
        ApplyScheduledCommand();
    }
}

// The speed relaxes towards the command with e^(-t/tau); both positions are
// the exact integrals over the step, so the step size never matters.
void Motor::Integrate(double until) {
    double dt = until - time_;
    if (dt <= 0) return;
    double decay = std::exp(-dt / settings_.timeConstant);
    double gap = speed_ - command_;
    double revolutionsFeedback =
        (command_ * dt + gap * settings_.timeConstant * (1 - decay)) / 60.0;
    positionFeedback_ += revolutionsFeedback * kPulsesPerRevolution;
    positionCommand_ += command_ * dt / 60.0 * kPulsesPerRevolution;
    speed_ = command_ + gap * decay;
    time_ = until;
}

std::optional<double> Motor::NextCommandChange() const {
    if (jogUntil_) return *jogUntil_;
    if (testRunStart_) {
        for (double end : kTestRunEnds) {
            if (*testRunStart_ + end > time_) return *testRunStart_ + end;
        }
        return time_;
    }
    return std::nullopt;
}

void Motor::ApplyScheduledCommand() {
    if (jogUntil_ && time_ >= *jogUntil_) {
        jogUntil_.reset();
        command_ = 0;
        return;
    }
    if (!testRunStart_) return;
    double elapsed = time_ - *testRunStart_;
    for (std::size_t phase = 0; phase < std::size(kTestRunEnds); ++phase) {
        if (elapsed < kTestRunEnds[phase]) {
            command_ = kTestRunDirections[phase] * testRunRpm_;
            return;
        }
    }
    testRunStart_.reset();
    command_ = 0;
}

void Motor::SetSpeedCommand(double rpm) {
    jogUntil_.reset();
    testRunStart_.reset();
    command_ = rpm;
}

void Motor::Jog(char direction, double rpm, double time) {
    AdvanceTo(time);
    testRunStart_.reset();
    double sign = direction == '+' ? 1 : direction == '-' ? -1 : 0;
    command_ = sign * std::abs(rpm);
    if (sign == 0) {
        jogUntil_.reset();
    } else {
        jogUntil_ = time_ + kJogHoldSeconds;
    }
}

void Motor::StartTestRun(double rpm, double time) {
    AdvanceTo(time);
    jogUntil_.reset();
    testRunStart_ = time_;
    testRunRpm_ = std::abs(rpm);
    command_ = testRunRpm_;
}

void Motor::Stop(double time) {
    AdvanceTo(time);
    SetSpeedCommand(0);
}

bool Motor::Overspeeding() const {
    return std::abs(speed_) > settings_.overspeedRpm;
}

MotorState Motor::State() const {
    MotorState state;
    state.time = time_;
    state.speedCommand = command_;
    state.speedFeedback = speed_ + speedOffset_;
    state.speedError = state.speedCommand - state.speedFeedback;
    double acceleration = (command_ - speed_) / settings_.timeConstant;  // rpm/s
    double friction = std::abs(speed_) > 0.5 ? std::copysign(settings_.frictionPercent, speed_) : 0;
    double torque = settings_.inertiaPercent * acceleration + friction + settings_.loadPercent;
    state.torqueCommand = std::clamp(torque + torqueOffset_, -300.0, 300.0);
    state.positionCommand = positionCommand_;
    state.positionFeedback = positionFeedback_;
    state.positionError = positionCommand_ - positionFeedback_;
    state.pulseFrequencyKpps = command_ / 60.0 * kPulsesPerRevolution / 1000.0;
    double turns = positionFeedback_ / kPulsesPerRevolution;
    state.mechanicalAngle = Degrees(turns);
    state.electricalAngle = Degrees(turns * kPolePairs);
    return state;
}
