// The stand-in drive's identity and state: VER, TYP, the STS status word,
// the alive checks LIV and LIVE, and the servo commands SVRON, SVROFF/SVROF
// and RST that change what STS reports.

#include "protocol/Commands.h"
#include "sim/Answers.h"
#include "sim/DriveSim.h"
#include "sim/MonitorItems.h"

using SimAnswer::Control;

void DriveSim::SetMode(std::string mode) {
    if (mode.size() > 2) throw std::invalid_argument("a control mode has at most two letters");
    SimAnswer::RequireReplyText("the control mode", mode);
    mode.resize(2, ' ');
    config_.mode = std::move(mode);
}

std::string DriveSim::OnVersion(std::string_view) {
    return DataReply(Cmd::VER, config_.version);
}

std::string DriveSim::OnType(std::string_view) {
    return DataReply(Cmd::TYP, config_.motorCode);
}

std::string DriveSim::OnStatus(std::string_view) {
    return DataReply(Cmd::STS, StatusValue());
}

std::string DriveSim::OnAlive(std::string_view) {
    return Control(Frame::ACK);
}

std::string DriveSim::OnServoOn(std::string_view) {
    servoOn_ = true;
    return Control(Frame::ACK);
}

std::string DriveSim::OnServoOff(std::string_view) {
    servoOn_ = false;
    motor_.Stop(Now());
    return Control(Frame::ACK);
}

std::string DriveSim::OnReset(std::string_view) {
    alarm_ = 0;
    warning_ = 0;
    return Control(Frame::ACK);
}

// Mode (two characters), speed-match flag, TG-on flag, status word.
std::string DriveSim::StatusValue() const {
    const MotorState motor = motor_.State();
    std::string value = ControlMode();
    value += speedMatch_ || (servoOn_ && SpeedMatched(motor)) ? '1' : '0';
    value += tgOn_ || RotationDetected(motor) ? '1' : '0';
    if (alarm_ != 0) {
        value += 'E' + SimAnswer::TwoDigits(alarm_);
    } else if (warning_ != 0) {
        value += 'W' + SimAnswer::TwoDigits(warning_);
    } else {
        value += servoOn_ ? "RUN" : "RDY";
    }
    return value;
}
