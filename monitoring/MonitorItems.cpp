#include "monitoring/MonitorItems.h"

namespace {

constexpr MonitorItem kNormal[] = {
    {"선택안함", "", ""},       {"회생누적부하율", "10", "%"}, {"다회전데이타", "12", ""},
    {"속도오프셋", "13", "mV"}, {"토크오프셋", "14", "mV"},    {"회생저항전류", "19", "mA"},
    {"DC-link전압", "11", "V"},
};

constexpr MonitorItem kGraph[] = {
    {"선택안함", "", ""},        {"속도피드백", "00", "RPM"}, {"속도명령", "01", "RPM"},
    {"속도오차", "02", "RPM"},   {"토크명령", "03", "%"},     {"위치피드백", "04", "Pulse"},
    {"위치명령", "05", "Pulse"}, {"위치오차", "06", "Pulse"}, {"펄스명령주파수", "07", "Kpps"},
    {"전기각", "08", "Degree"},  {"기계각", "09", "Degree"},
};

}  // namespace

std::span<const MonitorItem> NormalItemTable() {
    return kNormal;
}

std::span<const MonitorItem> GraphItemTable() {
    return kGraph;
}

std::span<const MonitorItem> ItemTableOfSlot(int slot) {
    return slot <= 4 ? NormalItemTable() : GraphItemTable();
}

const MonitorItem* SlotItem(int slot, int entry) {
    if (slot < 1 || slot > kSlotCount) return nullptr;
    const auto table = ItemTableOfSlot(slot);
    if (entry < 0 || entry >= static_cast<int>(table.size())) return nullptr;
    return &table[static_cast<std::size_t>(entry)];
}

std::string MonitorRequestData(std::span<const std::string> codes, bool ioWord) {
    std::string data;
    for (const std::string& code : codes) data += code;
    if (!data.empty() && ioWord) data += kIoWordCode;
    return data;
}

MonitorStart PlanMonitorStart(const MonitorStartState& state) {
    MonitorStart start;
    if (!state.normalLed && !state.graphLed) return start;
    start.clearTimeSelect = state.normalPage;
    if (!state.normalLed && state.graphPage && state.timeSelect != 0) {
        start.action = MonitorStart::Action::Stream;
        return start;
    }
    start.firstSlot = state.normalLed ? 1 : 5;
    const std::span<const std::string> codes(state.codes.data() + start.firstSlot, 4);
    if (MonitorRequestData(codes, false).empty()) {
        start.action = MonitorStart::Action::NoItem;
        return start;
    }
    start.action = MonitorStart::Action::Poll;
    start.data = MonitorRequestData(codes, state.ioBox);
    return start;
}
