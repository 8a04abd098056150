#pragma once
// What the "Servo Status" section shows for one STS reply: the control mode
// LEDs (when the reply names a known mode), the two flags, the status LED's
// centre text and blink, and where the servo switch is set without sending.

#include <optional>
#include <string>

#include "protocol/StatusReply.h"

struct StatusView {
    std::optional<ModeLeds> modeLeds;  // nullopt: the mode LEDs stay as they are
    bool speedMatch = false;
    bool tgOn = false;
    std::string centreText;
    std::optional<bool> servoSwitch;  // nullopt: alarms and warnings leave it
    bool blink = false;               // alarm or warning: the status LED blinks
};

StatusView StatusViewOf(const StatusReply& reply);
