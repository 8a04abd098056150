#include "sim/MonitorItems.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t kMaxItems = 5;

std::string Whole(double value) {
    return std::to_string(std::lround(value));
}

std::string OneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::optional<std::string> ItemValue(std::string_view code, const MotorState& m,
                                     const DriveSignals& signals) {
    if (code == "00") return Whole(m.speedFeedback);
    if (code == "01") return Whole(m.speedCommand);
    if (code == "02") return Whole(m.speedError);
    if (code == "03") return OneDecimal(m.torqueCommand);
    if (code == "04") return Whole(m.positionFeedback);
    if (code == "05") return Whole(m.positionCommand);
    if (code == "06") return Whole(m.positionError);
    if (code == "07") return OneDecimal(m.pulseFrequencyKpps);
    if (code == "08") return Whole(m.electricalAngle);
    if (code == "09") return Whole(m.mechanicalAngle);
    // The regeneration load follows the braking torque; the DC link sags a little under load.
    if (code == "10") return Whole(std::min(100.0, std::abs(m.torqueCommand) * 0.2));
    if (code == "11") return Whole(310 - std::abs(m.torqueCommand) * 0.05);
    if (code == "12") return Whole(std::floor(m.positionFeedback / Motor::kPulsesPerRevolution));
    if (code == "13") return Whole((m.speedFeedback - m.speedCommand) * 2);  // mV a rpm of offset
    if (code == "14") return Whole(m.torqueCommand * 10);
    if (code == "19") return Whole(std::abs(m.torqueCommand) * 3);
    if (code == "15") return IoWordText(signals, m);
    return std::nullopt;
}

}  // namespace

bool RotationDetected(const MotorState& motor) {
    return std::abs(motor.speedFeedback) >= 20;
}

bool SpeedMatched(const MotorState& motor) {
    return std::abs(motor.speedError) <= 10;
}

std::string IoWordText(const DriveSignals& signals, const MotorState& motor) {
    unsigned word = signals.inputs & 0x7F;
    if (signals.emergencyStop) word |= 1U << 7;
    if (signals.servoOn) word |= 1U << 8;
    if (RotationDetected(motor)) word |= 1U << 9;
    if (signals.servoOn && SpeedMatched(motor)) word |= 1U << 10;
    if (signals.alarm) word |= 1U << 11;
    char text[8];
    std::snprintf(text, sizeof text, "%04X", word);
    return text;
}

std::optional<std::string> MonitorReply(std::string_view codes, const MotorState& motor,
                                        const DriveSignals& signals) {
    if (codes.empty() || codes.size() % 2 != 0 || codes.size() / 2 > kMaxItems) return std::nullopt;
    std::string reply;
    for (std::size_t i = 0; i < codes.size(); i += 2) {
        auto value = ItemValue(codes.substr(i, 2), motor, signals);
        if (!value) return std::nullopt;
        if (!reply.empty()) reply += '&';
        reply += *value;
    }
    return reply;
}
