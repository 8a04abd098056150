// The stand-in drive's MOT, ESC and JOG: the triggered recorder fed from the
// motor model, and the jog that moves the motor.

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/DriveSim.h"

namespace {

// I/O bits the stand-in drives: DO#1 (entry 8) follows the servo, S-ALM (entry 11) the alarm.
constexpr int kServoReadyBit = 8;
constexpr int kAlarmBit = 11;

const std::string kAck(1, Frame::ACK), kNak(1, Frame::NAK), kUs(1, Frame::US);

}  // namespace

void DriveSim::CatchUp() {
    const double now = Now();
    recorder_.CatchUp(now, [this](double time) { return SampleSignals(time); });
    motor_.AdvanceTo(now);
}

Recorder::Signals DriveSim::SampleSignals(double time) {
    const MotorState m = motor_.StateAt(time);
    Recorder::Signals s;
    s.data = {m.speedFeedback,    m.speedCommand,    m.speedError,    m.torqueCommand,
              m.positionFeedback, m.positionCommand, m.positionError, m.pulseFrequencyKpps,
              m.electricalAngle,  m.mechanicalAngle};
    if (servoOn_) s.io |= 1u << kServoReadyBit;
    if (alarm_ != 0) s.io |= 1u << kAlarmBit;
    return s;
}

// A set-up arms the recorder; an empty request polls it (BSY, then TOK once
// the record is complete); a two-digit block number reads ten pairs.
std::string DriveSim::OnCapture(std::string_view data) {
    if (data.empty()) {
        if (!recorder_.Armed()) return kUs;
        return Frame::BuildReply(config_.marker, recorder_.Complete() ? "TOK" : "BSY");
    }
    if (data.size() == 2) {
        const int block = (data[0] - '0') * 10 + (data[1] - '0');
        const bool digits = std::isdigit(static_cast<unsigned char>(data[0])) &&
                            std::isdigit(static_cast<unsigned char>(data[1]));
        const std::optional<std::string> samples = recorder_.Block(digits ? block : -1);
        return samples ? DataReply(Cmd::MOT, *samples) : kUs;
    }
    const std::optional<Recorder::Setup> setup = Recorder::ParseSetup(data);
    if (!setup) return kNak;
    recorder_.SetTrigger(config_.trigger);
    recorder_.Arm(*setup, Now());
    return kAck;
}

std::string DriveSim::OnEscape(std::string_view) {
    recorder_.Disarm();
    return kAck;
}

// A jog turns the servo on and runs at Pr-2.01's speed.
void DriveSim::StartJog(char direction) {
    CatchUp();
    servoOn_ = true;
    motor_.Jog(direction, JogSpeed(), Now());
}
