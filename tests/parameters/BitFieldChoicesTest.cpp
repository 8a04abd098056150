#include <gtest/gtest.h>

#include <array>
#include <string>

#include "parameters/BitFieldChoices.h"
#include "parameters/Catalogue.h"

namespace {

const BitFieldLayout& Layout(int code) {
    const BitFieldLayout* layout = FindBitFieldLayout(code);
    EXPECT_NE(layout, nullptr) << code;
    return *layout;
}

constexpr std::array<int, 4> kNothingChosen = {-1, -1, -1, -1};

TEST(BitFieldLayouts, EveryFunctionBitParameterButTheControlModeHasOne) {
    for (const ParameterDef& def : AllParameters()) {
        const bool bits = def.editKind == EditKind::BitFields;
        EXPECT_EQ(FindBitFieldLayout(def.code) != nullptr, bits && def.code != 0) << def.code;
        EXPECT_EQ(FunctionTitle(def.code).empty(), !bits) << def.code;
        if (!bits || def.code == 0) continue;
        for (const ChoiceRow& row : FindBitFieldLayout(def.code)->byDigit) {
            EXPECT_FALSE(row.entries.empty()) << def.code << " " << row.label;
            EXPECT_LE(row.entries.size(), 10u) << def.code << " " << row.label;
        }
    }
    EXPECT_EQ(FunctionTitle(0), "제어 모드 설정");
}

// The input and output pin lists have no blank before the colon; the other lists do.
TEST(BitFieldLayouts, PinListsAreComposedExactly) {
    const ChoiceRow& input = Layout(5).ForCharacter(4);
    EXPECT_EQ(input.label, "/SV-ON");
    ASSERT_EQ(input.entries.size(), 9u);
    EXPECT_EQ(input.entries[0], "0: 사용않함");
    EXPECT_EQ(input.entries[1], "1: DI# 1, Pin NO:3");
    EXPECT_EQ(input.entries[7], "7: DI# 7, Pin NO:9");
    EXPECT_EQ(input.entries[8], "8: 항상유효");

    const ChoiceRow& output = Layout(11).ForCharacter(1);
    EXPECT_EQ(output.label, "/WARN");
    EXPECT_EQ(output.entries,
              (std::vector<std::string>{"0: 사용않함", "1: DO# 1", "2: DO# 2", "3: DO# 3"}));

    EXPECT_EQ(Layout(2).ForCharacter(4).entries[0], "0 : DB 정지후 DB 계속 유지");
    EXPECT_EQ(Layout(6).ForCharacter(4).label, "/ALARM-RESET");
    EXPECT_EQ(Layout(6).ForCharacter(2).label, "/P-LT");
    EXPECT_EQ(Layout(10).title, "시퀀스 출력 신호 할당");
    EXPECT_EQ(Layout(7).title, "시퀀스 입력 신호 할당");
}

TEST(BitFieldLayouts, ReservedRowsAreDisabledWithTheirSingleEntry) {
    struct Case {
        int code;
        int character;
        const char* entry;
    };
    const Case reserved[] = {{9, 1, "0 : Reserved"},   {9, 2, "0 : Reserved"},
                             {9, 3, "0 : Reserved"},   {110, 1, "0 : Reserved"},
                             {213, 3, "0 : Reserved"}, {300, 1, "0 : Reserved"},
                             {606, 1, "Reserved"},     {608, 1, "Reserved"}};
    for (const Case& c : reserved) {
        const ChoiceRow& row = Layout(c.code).ForCharacter(c.character);
        EXPECT_FALSE(row.enabled) << c.code << " " << c.character;
        EXPECT_EQ(row.label, "Reserved") << c.code;
        EXPECT_EQ(row.entries, std::vector<std::string>{c.entry}) << c.code << " " << c.character;
    }
    // Pr-0.03 offers only "0 : Reserved" in its first two rows, but they stay enabled.
    for (int character : {3, 4}) {
        const ChoiceRow& row = Layout(3).ForCharacter(character);
        EXPECT_TRUE(row.enabled);
        EXPECT_EQ(row.entries, std::vector<std::string>{"0 : Reserved"});
    }
    EXPECT_EQ(Layout(3).ForCharacter(2).entries[7], "7 : 7");
    EXPECT_EQ(Layout(3).ForCharacter(2).entries[2], "2 : Reserved");
    EXPECT_EQ(Layout(3).ForCharacter(1).label, "온라인 튜닝 망각 계수능");
}

TEST(BitFieldLayouts, PolarityEntriesEndInABlank) {
    for (int code : {606, 607, 608}) {
        for (int character : {2, 3, 4}) {
            EXPECT_EQ(Layout(code).ForCharacter(character).entries,
                      (std::vector<std::string>{"0 : 양수값->정방향 ", "1 : 양수값->역방향 "}));
        }
    }
    EXPECT_EQ(Layout(607).ForCharacter(4).label, "속도명령극성");
    EXPECT_EQ(Layout(608).ForCharacter(2).label, "토크피드백극성");
}

TEST(BitFieldValues, ShortTextsAreReadAsZeroPaddedNumbers) {
    const std::pair<const char*, const char*> cases[] = {
        {"4321", "4321"},  {"765", "0765"},   {"0", "0000"},  {"", "0000"},
        {" 321 ", "0321"}, {"12345", "1234"}, {"7a", "007a"},
    };
    for (const auto& [text, digits] : cases) EXPECT_EQ(FourDigits(text), digits) << text;
}

TEST(BitFieldValues, ChosenEntriesFollowTheDigits) {
    EXPECT_EQ(ChosenEntry(Layout(5), "4321", 4), 1);
    EXPECT_EQ(ChosenEntry(Layout(5), "4321", 1), 4);
    EXPECT_EQ(ChosenEntry(Layout(6), "765", 1), 0);  // the padding zero
    EXPECT_EQ(ChosenEntry(Layout(6), "765", 2), 7);
    EXPECT_EQ(ChosenEntry(Layout(10), "0009", 4), -1);  // beyond the list: nothing chosen
    EXPECT_EQ(ChosenEntry(Layout(5), "43x1", 3), -1);   // not a digit
}

TEST(BitFieldValues, ComposingKeepsWhatTheUserDidNotChoose) {
    struct Case {
        int code;
        const char* old;
        std::array<int, 4> chosen;  // by character 1..4
        const char* expected;
    };
    const Case cases[] = {
        {5, "4321", {4, 3, 2, 8}, "4328"},
        {110, "0102", {0, 0, 0, 3}, "0103"},  // reserved digits stay as they were
        {9, "3001", {0, 0, 0, 2}, "3002"},    // likewise, whatever they are
        {606, "9110", {0, 0, 1, 1}, "9011"},
        {3, "700", {0, 7, 0, 0}, "0700"},
        {10, "0009", {0, 0, 0, -1}, "0009"},  // nothing chosen: the old digit stays
        {6, "765", {-1, -1, -1, -1}, "0765"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComposeBitFields(Layout(c.code), c.old, c.chosen), c.expected)
            << c.code << " " << c.old;
    EXPECT_EQ(ComposeBitFields(Layout(5), "4321", kNothingChosen), "4321");
}

TEST(ControlModes, CodesInLampOrder) {
    const auto modes = ControlModes();
    ASSERT_EQ(modes.size(), 11u);
    EXPECT_EQ(modes[8].label, "CONTACT_SPEED");
    EXPECT_EQ(modes[8].code, "A");
    EXPECT_EQ(modes[10].code, "10");
    EXPECT_EQ(ControlModeIndex("A"), 8);
    EXPECT_EQ(ControlModeIndex("  3 "), 2);
    EXPECT_EQ(ControlModeIndex("10"), 10);
    EXPECT_EQ(ControlModeIndex("7"), -1);
    EXPECT_EQ(ControlModeIndex("a"), -1);
    EXPECT_EQ(ControlModeIndex(""), -1);
}

}  // namespace
