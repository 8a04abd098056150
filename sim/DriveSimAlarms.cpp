// The stand-in drive's alarms and warnings: raising them, EHY (the alarm
// history), DIE (what the drive recorded at an alarm) and ETC 09, which
// clears the history.

#include <algorithm>

#include "protocol/Commands.h"
#include "sim/Answers.h"
#include "sim/DriveSim.h"

using SimAnswer::Control;

void DriveSim::SetAlarm(int code) {
    SimAnswer::RequireCode("an alarm code", code);
    if (code != 0 && code != alarm_) alarmLog_.Push(code, RecordAlarmData());
    alarm_ = code;
    if (alarm_ != 0) {
        servoOn_ = false;
        motor_.Stop(Now());
        RememberMotor();
    }
}

void DriveSim::SetWarning(int code) {
    SimAnswer::RequireCode("a warning code", code);
    warning_ = code;
}

std::string DriveSim::OnAlarmHistory(std::string_view data) {
    std::optional<std::string> value = alarmLog_.HistoryValue(data);
    return value ? DataReply(Cmd::EHY, *value) : Control(Frame::NAK);
}

std::string DriveSim::OnAlarmData(std::string_view data) {
    std::optional<std::string> value = alarmLog_.DataValue(data);
    return value ? DataReply(Cmd::DIE, *value) : Control(Frame::NAK);
}

// ETC 09: the history memory is cleared at once.
std::string DriveSim::OnClearAlarmHistory(std::string_view) {
    alarmLog_.Clear();
    return Control(Frame::ACK);
}

// Copies of the motor taken after every answered request and at an alarm, the
// moments its command can change: between two copies it runs on its own, so a
// past moment is the copy before it run on to it. One copy older than the
// recording window is kept.
void DriveSim::RememberMotor() {
    motorPast_.push_back(motor_);
    const double windowStart = motor_.Time() - AlarmLog::kSamples * AlarmLog::kSamplePeriod;
    while (motorPast_.size() > 1 && motorPast_[1].Time() <= windowStart) motorPast_.pop_front();
}

// What the drive records at an alarm: the motor's last kSamples moments up to now.
std::vector<AlarmLog::Sample> DriveSim::RecordAlarmData() {
    const double now = std::max(Now(), motor_.Time());
    std::vector<AlarmLog::Sample> samples;
    for (int back = AlarmLog::kSamples - 1; back >= 0; --back) {
        const double time = now - back * AlarmLog::kSamplePeriod;
        auto copy = std::find_if(motorPast_.rbegin(), motorPast_.rend(),
                                 [time](const Motor& past) { return past.Time() <= time; });
        if (copy == motorPast_.rend()) continue;  // before the drive started
        Motor replay = *copy;
        samples.push_back(AlarmLog::SampleOf(replay.StateAt(time)));
    }
    return samples;
}
