#pragma once
// One whole parameter set as the store window holds it: 7 groups of 20 value
// texts. Slot k of group g is the parameter numbered k - 1 (address g, k - 1);
// the twentieth slot is never read from the drive but is kept from files.

#include <array>
#include <string>
#include <vector>

#include "parameters/Catalogue.h"

class StoreSet {
  public:
    static constexpr int kSlots = 20;                     // slots of a group, 1..20
    static constexpr int kValues = kGroupCount * kSlots;  // 140: one file line each
    static constexpr std::size_t kMaxValueLength = 20;    // longer texts are cut

    // Empty text means no value. Slots are numbered 1..kSlots.
    const ValueText& At(int group, int slot) const { return values_.at(group).at(slot - 1); }
    // Stores the first kMaxValueLength characters of `value`.
    void Set(int group, int slot, const ValueText& value);
    void Clear();

    // Value n (0..139) in file order: group n / 20, slot n % 20 + 1.
    const ValueText& InFileOrder(int n) const { return At(n / kSlots, n % kSlots + 1); }
    void SetInFileOrder(int n, const ValueText& value) { Set(n / kSlots, n % kSlots + 1, value); }

    // The 20 lines of the list display: line i shows parameter number i - 1 of
    // every group, each cell padded for a proportional font.
    std::vector<std::string> ListLines() const;

    bool operator==(const StoreSet&) const = default;

  private:
    std::array<std::array<ValueText, kSlots>, kGroupCount> values_{};
};

// "P3.07 : value": one cell of the list display.
std::string ListCell(int group, int slot, const ValueText& value);
