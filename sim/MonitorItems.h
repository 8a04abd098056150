#pragma once
// What the stand-in drive answers to MDM: the value of each monitoring item
// code from the motor's state, and the I/O word (code 15).

#include <optional>
#include <string>
#include <string_view>

#include "sim/Motor.h"

// The drive's signals as the I/O word shows them.
struct DriveSignals {
    unsigned inputs = 0;  // DI#1..DI#7 in bits 0..6
    bool emergencyStop = false;
    bool servoOn = false;
    bool alarm = false;
};

// The I/O word as four hexadecimal digits: the inputs, E-STOP (bit 7), the
// outputs DO#1 servo ready, DO#2 rotation detected (TG-ON), DO#3 speed
// match (bits 8..10) and S-ALM (bit 11).
std::string IoWordText(const DriveSignals& signals, const MotorState& motor);

// Rotation detected and speed matched, as STS and the outputs report them.
bool RotationDetected(const MotorState& motor);
bool SpeedMatched(const MotorState& motor);

// The MDM reply value for the item codes (two digits each, at most five):
// the values joined with '&'; nullopt for an unknown code or a malformed list.
std::optional<std::string> MonitorReply(std::string_view codes, const MotorState& motor,
                                        const DriveSignals& signals);
