#include "parameters/MonitorSetting.h"

#include "parameters/TrimBlanks.h"

std::span<const AnalogMonitorItem> MonitorItems() {
    static constexpr AnalogMonitorItem items[] = {
        {"Speed command", "[rpm]", 500},       {"Torque command", "[%]", 30},
        {"Position command", "[pulse]", 5000}, {"Speed feedback", "[rpm]", 500},
        {"Torque feedback", "[%]", 30},        {"Position feedback", "[pulse]", 5000},
        {"Position error", "[pulse]", 2500},
    };
    return items;
}

int ReadMonitorItem(std::string_view value) {
    value = TrimBlanks(value);
    if (value.size() < 5) return 0;
    const int item = value.front() - '0';
    return item >= 0 && item < static_cast<int>(MonitorItems().size()) ? item : 0;
}

std::string ComposeMonitorValue(int item, int scale) {
    std::string digits = std::to_string(scale);
    if (item == 0) return digits;
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return std::to_string(item) + digits;
}
