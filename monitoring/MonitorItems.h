#pragma once
// The items a monitoring slot can show: the list texts, the item codes sent
// with MDM and the unit texts, for the four normal slots and the four
// normal/graph slots; and how a slot selection becomes the MDM request data.

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
