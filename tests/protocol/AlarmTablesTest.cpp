#include <gtest/gtest.h>

#include "protocol/AlarmTables.h"

namespace {

TEST(AlarmTables, NamesByCode) {
    EXPECT_EQ(AlarmNames[0], "No Error");
    EXPECT_EQ(AlarmNames[2], "Commuication Error");
    EXPECT_EQ(AlarmNames[21], "Instant Overload");
    EXPECT_EQ(AlarmNames[71], "Wrong Setup Error");
    EXPECT_EQ(AlarmNames[15], "");  // codes between the listed ones are empty
    EXPECT_EQ(AlarmNames[99], "");
    EXPECT_EQ(WarningNames[10], "Over speed command warning");
    EXPECT_EQ(WarningNames[40], "Motor capacitance over setting warning");
    EXPECT_EQ(WarningNames[3], "");  // combined bits find an empty entry
}

TEST(AlarmTables, AxisChars) {
    EXPECT_EQ(AxisChars[0], "0");
    EXPECT_EQ(AxisChars[9], "9");
    EXPECT_EQ(AxisChars[10], "A");
    EXPECT_EQ(AxisChars[35], "Z");
}

TEST(AlarmTables, CodeReading) {
    const std::pair<const char*, int> good[] = {{"21", 21}, {"03", 3}, {" 5", 5},
                                                {"5 ", 5},  {"00", 0}, {"99", 99}};
    for (auto [text, code] : good) EXPECT_EQ(ReadCode(text), code) << text;
    for (const char* bad : {"", "  ", "FF", "1A", "-1", "100", "2 1", "0x"})
        EXPECT_THROW(ReadCode(bad), CodeError) << '"' << bad << '"';
}

}  // namespace
