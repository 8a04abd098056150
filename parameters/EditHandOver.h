#pragma once
// What the parameter editor hands to its modal editing dialogs and reads back
// after they close: the parameter being edited, its value text, and for the
// selection dialog whether it edits the motor code or an analog monitor.

#include <cstdint>

#include "parameters/Catalogue.h"

struct TEditHandOver {
    ValueText EditValue;               // the value going in; the dialog's result coming out
    int EditCode = 0;                  // ParameterCode of the parameter being edited
    std::uint8_t SelectMotorMode = 0;  // 1: motor code (Pr-0.01); 0: an analog monitor
};
