#include "store/StoreSet.h"

void StoreSet::Set(int group, int slot, const ValueText& value) {
    values_.at(group).at(slot - 1) = value.substr(0, kMaxValueLength);
}

void StoreSet::Clear() {
    for (auto& group : values_) group.fill({});
}

std::string ListCell(int group, int slot, const ValueText& value) {
    return DisplayNumber(group, slot - 1) + " : " + value;
}

// Each missing character of a 15-character cell is made up with two blanks:
// a blank is about half a digit wide in the list's proportional font.
std::vector<std::string> StoreSet::ListLines() const {
    std::vector<std::string> lines;
    for (int slot = 1; slot <= kSlots; ++slot) {
        std::string line;
        for (int group = 0; group < kGroupCount; ++group) {
            const std::string cell = ListCell(group, slot, At(group, slot));
            line += cell;
            for (int pad = 15 - static_cast<int>(cell.size()); pad > 0; --pad) line += "  ";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}
