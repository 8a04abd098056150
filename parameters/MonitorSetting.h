#pragma once
// The analog monitor parameters (Pr-5.12, Pr-5.13, Pr-6.09, Pr-6.10) name a
// monitored quantity and its scale in one decimal text: the item digit and the
// scale padded to four digits ("20045"), or for item 0 the bare scale ("45").
// C++ standard library only.

#include <span>
#include <string>
#include <string_view>

// A quantity the analog monitor can put out, and the largest scale it takes.
struct AnalogMonitorItem {
    std::string_view name;
    std::string_view unit;
    int maximumScale;
};

std::span<const AnalogMonitorItem> MonitorItems();  // 7 items, indexed by the item digit

// The item a value names: its first character when it has at least five
// characters (blanks trimmed), else 0. A first character that names no item
// also gives 0.
int ReadMonitorItem(std::string_view value);

// Item 0: the scale as a decimal number; items 1-6: the item digit followed
// by the scale padded with zeros to four digits.
std::string ComposeMonitorValue(int item, int scale);
