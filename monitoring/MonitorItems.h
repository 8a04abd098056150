#pragma once
// The items a monitoring slot can show: the list texts, the item codes sent
// with MDM and the unit texts, for the four normal slots and the four
// normal/graph slots; how a slot selection becomes the MDM request data; and
// what switching monitoring on does.

#include <array>
#include <span>
#include <string>
#include <string_view>

struct MonitorItem {
    std::string_view text;  // the list entry
    std::string_view code;  // two digits; empty for "nothing selected"
    std::string_view unit;
};

inline constexpr int kSlotCount = 8;
inline constexpr std::string_view kIoWordCode = "15";

std::span<const MonitorItem> NormalItemTable();  // slots 1..4
std::span<const MonitorItem> GraphItemTable();   // slots 5..8
// The table of slot 1..8.
std::span<const MonitorItem> ItemTableOfSlot(int slot);
// Entry `entry` of the slot's table, or nullptr when there is none.
const MonitorItem* SlotItem(int slot, int entry);

// The MDM data: the non-empty codes in slot order, then the I/O word's code
// when the I/O box is ticked (and there is at least one code).
std::string MonitorRequestData(std::span<const std::string> codes, bool ioWord);

// Where the window stands when monitoring is switched on.
struct MonitorStartState {
    bool normalLed = false, graphLed = false;  // Led_SelectD, Led_SelectDG
    bool normalPage = false, graphPage = false;
    int timeSelect = 0;                // GraphTimeSelect
    std::array<std::string, 9> codes;  // SlotCode[1..8]; index 0 unused
    bool ioBox = false;                // CheckBox_IOMot
};

// NoMode and NoItem refuse with a message; Stream starts the MOR stream of the
// graph page; Poll polls MDM (with `data`) and STS in turn.
struct MonitorStart {
    enum class Action { NoMode, Stream, NoItem, Poll };
    Action action = Action::NoMode;
    bool clearTimeSelect = false;  // the normal page never streams: its read-outs need MDM
    int firstSlot = 0;             // NoItem, Poll: the lists of slots firstSlot..+3 are locked
    std::string data;              // Poll: the MDM data
    bool operator==(const MonitorStart&) const = default;
};
MonitorStart PlanMonitorStart(const MonitorStartState& state);
