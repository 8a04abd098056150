#include "sim/ParameterSlots.h"

#include <algorithm>
#include <cctype>

#include "parameters/Catalogue.h"

bool IsParameterAddress(std::string_view text) {
    if (text.size() != 3 ||
        !std::ranges::all_of(text, [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return false;
    }
    return IsSlot(text[0] - '0', (text[1] - '0') * 10 + (text[2] - '0'));
}

std::map<std::string, std::string> DefaultParameterSlots() {
    std::map<std::string, std::string> slots;
    for (const ParameterDef& def : AllParameters()) {
        slots[ParameterAddress(GroupOf(def.code), NumberOf(def.code))] = def.defaultValue;
    }
    return slots;
}
