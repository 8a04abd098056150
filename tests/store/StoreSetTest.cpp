// The store's set: values cut at 20 characters, and the 20 lines of its list.

#include <gtest/gtest.h>

#include "store/StoreSet.h"

namespace {

TEST(StoreSetTest, KeepsAtMostTwentyCharacters) {
    StoreSet set;
    set.Set(6, 20, "1234567890123456789012345");
    EXPECT_EQ(set.At(6, 20), "12345678901234567890");
    EXPECT_EQ(set.InFileOrder(139), set.At(6, 20));
    set.SetInFileOrder(20, " 12 ");
    EXPECT_EQ(set.At(1, 1), " 12 ");  // blanks are kept
    set.Clear();
    EXPECT_EQ(set, StoreSet());
}

// Cells are padded with two blanks for each character short of 15.
TEST(StoreSetTest, ListShowsOneParameterNumberOfEveryGroupPerLine) {
    StoreSet set;
    set.Set(0, 1, "1");
    set.Set(3, 11, "123456789");
    set.Set(6, 20, "x");
    const std::vector<std::string> lines = set.ListLines();
    ASSERT_EQ(lines.size(), 20u);

    const auto pad = [](const std::string& cell) {
        return cell + std::string(cell.size() < 15 ? 2 * (15 - cell.size()) : 0, ' ');
    };
    EXPECT_EQ(lines[0], pad("P0.00 : 1") + pad("P1.00 : ") + pad("P2.00 : ") + pad("P3.00 : ") +
                            pad("P4.00 : ") + pad("P5.00 : ") + pad("P6.00 : "));
    EXPECT_EQ(lines[0].substr(0, 21), "P0.00 : 1" + std::string(12, ' '));
    EXPECT_NE(lines[10].find("P3.10 : 123456789P4.10 : "), std::string::npos);  // 17: no padding
    EXPECT_EQ(lines[19].substr(lines[19].find("P6.19")), pad("P6.19 : x"));
}

}  // namespace
