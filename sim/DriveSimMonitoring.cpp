// The stand-in drive's answers to the monitoring window: MDM values, jog,
// auto tuning and the other TAT procedures, the ETC procedures and the test
// run, and the manual offset steps.

#include <algorithm>
#include <cmath>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/Answers.h"
#include "sim/DriveSim.h"
#include "sim/MonitorItems.h"
#include "sim/ParameterSlots.h"

using SimAnswer::Control;

namespace {

// The inertia ratio auto tuning finds, in percent.
constexpr const char* kTunedInertia = "250";

const std::pair<std::string_view, char> kModes[] = {
    {"1", 'P'},
    {"2", 'S'},
    {"4", 'T'},
    {"8", 'C'},
};
const std::pair<std::string_view, std::string_view> kMixedModes[] = {
    {"3", "SP"}, {"5", "TP"}, {"6", "TS"}, {"9", "CP"}, {"A", "CS"}, {"C", "CT"},
};

}  // namespace

struct DriveSim::EtcRow {
    std::string_view code;
    std::string (DriveSim::*run)(std::string_view code);
};

// ETC procedures by code; other windows' codes join as rows of their own.
const DriveSim::EtcRow* DriveSim::FindEtc(std::string_view code) {
    static const EtcRow kRows[] = {
        {"09", &DriveSim::OnClearAlarmHistory}, {"10", &DriveSim::OnEtcProcedure},
        {"11", &DriveSim::OnEtcProcedure},      {"12", &DriveSim::OnEtcProcedure},
        {"13", &DriveSim::OnTestRun},           {"14", &DriveSim::OnDownloadMode},
    };
    auto it = std::ranges::find(kRows, code, &EtcRow::code);
    return it == std::end(kRows) ? nullptr : &*it;
}

double DriveSim::JogSpeed() const {
    const std::string text = Slot("201").value_or("0");
    char* end = nullptr;
    const double rpm = std::strtod(text.c_str(), &end);
    return std::isfinite(rpm) ? std::clamp(rpm, 0.0, 5000.0) : 0.0;
}

// A mode set on the drive directly wins over Pr-0.00.
std::string DriveSim::ControlMode() const {
    if (!config_.mode.empty()) return config_.mode;
    const std::string value = Slot("000").value_or("");
    for (auto [code, mode] : kModes)
        if (value == code) return std::string{mode, ' '};
    for (auto [code, mode] : kMixedModes)
        if (value == code) return std::string(mode);
    return "P ";
}

void DriveSim::RaiseScheduled() {
    if (config_.alarmAfter && !alarmRaised_ && Now() >= config_.alarmAfter->second) {
        alarmRaised_ = true;
        SetAlarm(config_.alarmAfter->first);
    }
    if (config_.warningAfter && !warningRaised_ && Now() >= config_.warningAfter->second) {
        warningRaised_ = true;
        SetWarning(config_.warningAfter->first);
    }
}

std::string DriveSim::OnMonitor(std::string_view data) {
    const DriveSignals signals{config_.inputs, config_.emergencyStop, servoOn_, alarm_ != 0};
    auto value = MonitorReply(data, motor_.State(), signals);
    return value ? DataReply(Cmd::MDM, *value) : Control(Frame::NAK);
}

// MOR with a time and codes starts sampling; empty, it asks for what was sampled.
std::string DriveSim::OnStream(std::string_view data) {
    if (!data.empty())
        return monitorStream_.Start(data, motor_, Now()) ? Control(Frame::ACK)
                                                         : Control(Frame::NAK);
    if (!monitorStream_.Running()) return Control(Frame::NAK);
    auto value = monitorStream_.TakeReply();
    return value ? DataReply(Cmd::MOR, *value) : Control(Frame::ACK);
}

// A jog turns the servo on; SVROF ends it.
std::string DriveSim::OnJog(std::string_view data) {
    if (data != "+" && data != "-" && data != "0") return Control(Frame::NAK);
    StartJog(data[0]);
    return Control(Frame::ACK);
}

std::string DriveSim::ProgressReply() {
    auto word = procedures_.Word(Now());
    return word ? Frame::BuildReply(config_.marker, *word) : Control(Frame::NAK);
}

std::string DriveSim::OnTuning(std::string_view data) {
    if (data.empty()) return ProgressReply();
    const std::string key = "TAT" + std::string(data);
    if (data == "01") {
        procedures_.Start(key, Now(), [this] { slots_["004"] = kTunedInertia; });
    } else if (data == "03") {
        procedures_.Start(key, Now(), [this] { motor_.AddSpeedOffset(-motor_.SpeedOffset()); });
    } else if (data == "04") {
        procedures_.Start(key, Now(), [this] { motor_.AddTorqueOffset(-motor_.TorqueOffset()); });
    } else if (data == "02" || data == "07") {
        procedures_.Start(key, Now());
    } else {
        return Control(Frame::NAK);
    }
    return Control(Frame::ACK);
}

std::string DriveSim::OnEtc(std::string_view data) {
    if (data.empty()) return ProgressReply();
    const EtcRow* row = FindEtc(data);
    return row ? (this->*row->run)(data) : Control(Frame::NAK);
}

std::string DriveSim::OnEtcProcedure(std::string_view code) {
    std::function<void()> done;
    if (code == "12") done = [this] { slots_ = DefaultParameterSlots(); };
    procedures_.Start("ETC" + std::string(code), Now(), std::move(done));
    return Control(Frame::ACK);
}

std::string DriveSim::OnTestRun(std::string_view) {
    motor_.StartTestRun(JogSpeed(), Now());
    return Control(Frame::ACK);
}

// Speed offset in steps of 1 rpm, torque offset in steps of 0.1 %.
std::string DriveSim::OnOffsetStep(std::string_view data) {
    if (data == "01")
        motor_.AddSpeedOffset(1);
    else if (data == "02")
        motor_.AddSpeedOffset(-1);
    else if (data == "04")
        motor_.AddTorqueOffset(0.1);
    else if (data == "05")
        motor_.AddTorqueOffset(-0.1);
    else if (data != "03" && data != "06" && data != "07")
        return Control(Frame::NAK);
    return Control(Frame::ACK);
}
