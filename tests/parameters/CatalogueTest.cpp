#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "parameters/Catalogue.h"

namespace {

// The slots the catalogue leaves without a row, as {group, first number}; each runs to 18.
constexpr std::pair<int, int> kFirstUnusedNumber[] = {{0, 14}, {1, 14}, {2, 14}, {3, 5},
                                                      {4, 7},  {5, 14}, {6, 16}};

bool ParsesAsNumber(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

TEST(CatalogueSlots, AddressesInBlockReadOrder) {
    const auto addresses = AllAddresses();
    ASSERT_EQ(addresses.size(), 133u);
    EXPECT_EQ(addresses.front(), "000");
    EXPECT_EQ(addresses[18], "018");
    EXPECT_EQ(addresses[19], "100");
    EXPECT_EQ(addresses[114], "600");
    EXPECT_EQ(addresses.back(), "618");
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const int group = static_cast<int>(i) / 19, number = static_cast<int>(i) % 19;
        EXPECT_EQ(addresses[i], ParameterAddress(group, number)) << i;
        EXPECT_TRUE(IsSlot(group, number)) << i;
    }
    EXPECT_EQ(std::set(addresses.begin(), addresses.end()).size(), addresses.size());
}

TEST(CatalogueSlots, SlotCountsAndBounds) {
    for (int group = 0; group < 7; ++group) EXPECT_EQ(SlotCount(group), 19) << group;
    EXPECT_EQ(SlotCount(-1), 0);
    EXPECT_EQ(SlotCount(7), 0);
    EXPECT_FALSE(IsSlot(0, 19));
    EXPECT_FALSE(IsSlot(0, -1));
    EXPECT_FALSE(IsSlot(7, 0));
    EXPECT_EQ(ParameterCode(6, 18), 618);
    EXPECT_EQ(GroupOf(513), 5);
    EXPECT_EQ(NumberOf(513), 13);
}

TEST(CatalogueSlots, AddressDisplayAndCaptionForms) {
    struct Case {
        int group, number;
        const char *address, *display, *caption;
    };
    const Case cases[] = {
        {0, 0, "000", "P0.00", "Pr0.00  Edit"},
        {0, 5, "005", "P0.05", "Pr0.05  Edit"},
        {0, 9, "009", "P0.09", "Pr0.09  Edit"},
        {0, 10, "010", "P0.10", "Pr0.10  Edit"},
        {0, 12, "012", "P0.12", "Pr0.12  Edit"},
        {1, 3, "103", "P1.03", "Pr1.03  Edit"},
        {1, 10, "110", "P1.10", "Pr1.10  Edit"},
        {5, 13, "513", "P5.13", "Pr5.13  Edit"},
        {6, 18, "618", "P6.18", "Pr6.18  Edit"},
        // number 19 is never read but is carried by parameter files and written back
        {6, 19, "619", "P6.19", "Pr6.19  Edit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(ParameterAddress(c.group, c.number), c.address);
        EXPECT_EQ(DisplayNumber(c.group, c.number), c.display);
        EXPECT_EQ(EditCaption(c.group, c.number), c.caption);
    }
}

TEST(CatalogueSlots, UnaddressableSlotsAreRejected) {
    const std::pair<int, int> bad[] = {{-1, 0}, {10, 0}, {0, -1}, {0, 100}, {6, 118}};
    for (auto [group, number] : bad) {
        SCOPED_TRACE(std::to_string(group) + "." + std::to_string(number));
        EXPECT_THROW(ParameterAddress(group, number), std::out_of_range);
        EXPECT_THROW(DisplayNumber(group, number), std::out_of_range);
        EXPECT_THROW(EditCaption(group, number), std::out_of_range);
    }
}

TEST(CatalogueLookup, EverySlotBeforeTheGapHasARowAndNoneAfter) {
    int rows = 0;
    for (auto [group, firstUnused] : kFirstUnusedNumber) {
        for (int number = 0; number < 19; ++number) {
            const int code = ParameterCode(group, number);
            const ParameterDef* def = FindParameter(code);
            if (number < firstUnused) {
                ASSERT_NE(def, nullptr) << code;
                EXPECT_EQ(def->code, code);
                ++rows;
            } else {
                EXPECT_EQ(def, nullptr) << code;
            }
        }
    }
    EXPECT_EQ(rows, 84);
    EXPECT_EQ(AllParameters().size(), 84u);
}

TEST(CatalogueLookup, CodesOutsideTheSlotsHaveNoRow) {
    for (int code : {-1, -100, 19, 99, 119, 200 - 1, 619, 700, 701, 1000, 100000})
        EXPECT_EQ(FindParameter(code), nullptr) << code;
}

TEST(CatalogueLookup, GroupsListTheirRowsInNumberOrder) {
    const std::size_t expectedCounts[] = {14, 14, 14, 5, 7, 14, 16};
    for (int group = 0; group < 7; ++group) {
        const auto rows = GroupParameters(group);
        ASSERT_EQ(rows.size(), expectedCounts[group]) << group;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].code, ParameterCode(group, static_cast<int>(i)));
            EXPECT_EQ(&rows[i], FindParameter(rows[i].code));
        }
    }
    EXPECT_TRUE(GroupParameters(-1).empty());
    EXPECT_TRUE(GroupParameters(7).empty());
}

TEST(CatalogueLookup, EditKindsOfTheDialogParameters) {
    const std::set<int> bitFields = {0, 2, 3, 5, 6, 7, 8, 9, 10, 11, 110, 213, 300, 606, 607, 608};
    const std::set<int> monitors = {512, 513, 609, 610};
    for (const auto& def : AllParameters()) {
        SCOPED_TRACE(def.code);
        EditKind expected = EditKind::SpinInteger;
        if (def.code == 4) expected = EditKind::SpinReal;
        if (def.code == 1) expected = EditKind::MotorSelection;
        if (bitFields.contains(def.code)) expected = EditKind::BitFields;
        if (monitors.contains(def.code)) expected = EditKind::MonitorSelection;
        EXPECT_EQ(def.editKind, expected);
    }
}

TEST(CatalogueDefaults, NumericDefaultsParseAndLieInTheirRange) {
    for (const auto& def : AllParameters()) {
        SCOPED_TRACE(def.code);
        const std::string& text = def.defaultValue;
        ASSERT_FALSE(text.empty());
        EXPECT_TRUE(text == "0" || (text[0] != '0' && text.rfind("-0", 0) != 0))
            << "leading zero in " << text;
        if (IsNumeric(def.editKind)) {
            ASSERT_TRUE(ParsesAsNumber(text)) << text;
            EXPECT_TRUE(InRange(def, std::stod(text))) << text;
            EXPECT_LT(def.minimum, def.maximum);
        } else {
            EXPECT_TRUE(ParsesAsNumber(text)) << text;  // bit digits and compound codes
            EXPECT_EQ(def.minimum, 0);
            EXPECT_EQ(def.maximum, 0);
        }
    }
}

TEST(CatalogueDefaults, BitDigitsAndPassword) {
    EXPECT_EQ(FindParameter(6)->defaultValue, "765");  // four bit digits 0765
    EXPECT_EQ(FindParameter(7)->defaultValue, "0");    // 0000
    EXPECT_EQ(FindParameter(5)->defaultValue, "4321");
    const std::string& password = FindParameter(13)->defaultValue;
    ASSERT_EQ(password.size(), 1u);
    EXPECT_TRUE(password[0] >= '0' && password[0] <= '9');
}

TEST(CatalogueRange, EdgesAreInclusive) {
    struct Case {
        int code;
        double value;
        bool accepted;
    };
    const Case cases[] = {
        {4, 0, true},         {4, 6000, true},     {4, 6000.1, false},  {4, -0.1, false},
        {4, 150.5, true},     {205, -5000, true},  {205, 5000, true},   {211, -5000, true},
        {211, 5000.5, false}, {211, -5001, false}, {406, -100, true},   {406, -101, false},
        {406, 100, true},     {600, -10000, true}, {603, -10000, true}, {603, -10001, false},
        {603, 10000, true},   {200, 99, false},    {200, 100, true},    {200, 20000, true},
        {510, 19, false},     {510, 20, true},     {12, 0, false},      {12, 1, true},
        {12, 255, true},      {12, 256, false},    {503, 0, false},     {509, 65535, true},
        {509, 65536, false},  {301, 0, false},     {13, 9999, true},    {13, 10000, false},
    };
    for (const auto& c : cases) {
        const ParameterDef* def = FindParameter(c.code);
        ASSERT_NE(def, nullptr) << c.code;
        EXPECT_EQ(InRange(*def, c.value), c.accepted) << c.code << " " << c.value;
    }
}

TEST(CatalogueRange, NoRangeForDialogKindsOrNaN) {
    EXPECT_FALSE(InRange(*FindParameter(0), 0));    // BitFields
    EXPECT_FALSE(InRange(*FindParameter(1), 0));    // MotorSelection
    EXPECT_FALSE(InRange(*FindParameter(512), 0));  // MonitorSelection
    EXPECT_FALSE(InRange(*FindParameter(4), std::numeric_limits<double>::quiet_NaN()));
}

TEST(CatalogueTexts, SampleRowsByteForByte) {
    struct Case {
        int code;
        const char *name, *unit, *description;
    };
    const Case cases[] = {
        {0, "제어모드 설정", "-", "사용할 제어모드를 선택하여 설정"},
        {12, "서보 ID", "-", "서보 ID 설정"},
        {13, "패스워드", "-", "AS시 사용하는 패스워드 입력 정수.사용 금지"},
        {109, "위치 FF 필터", "Hz", "위치 제어시 오벼슈트나 진동을 억제하기 위해 설정"},
        {111, "P/PI 제어 전환기준값", "가변",
         "속도명령, 토크명령, 위치오차의 값이 설정값보다 큰경우 PI에서 P제어기로 전환됨"},
        {113, "속도바이어스 기준폭", "pulse",
         "빠른 위치결정을 위해 위치오차가 설정값보다 큰 경우 Pr-1.12.에서 설정한 속도 바이어스를 "
         "인가"},
        {200, "외부 속도명령 입력게인", "0.1rpm/V",
         "아날로그 속도명령 1[v]에대한 속도명령값[rpm]의 비 설정"},
        {205, "접점속도명령1", "rpm", "접점속도 제어모드에서의 접점속도 명령1"},
        {211, "접점속도명령7", "rpm", "접점속도 제어모드에서의 접점속도 명령7"},
        {212, "제한속도", "rpm",
         "설정속도이하로 운전하도록 제한됨. 속도명령이 설정값이상일 경우 \"OSC\" 경고 발생"},
        {302, "전자기어비(분모)", "pulse", "최다분해능=1/([모터의 1회전당 펄스 수]*[감속비]*4)"},
        {304, "위치출력펄스조정(분모)", "pulse",
         "인코더 출력 분주비는 Pr-3.03<=Pr-3.04의 관계가 만족되어야 함"},
        {400, "외부 토크명령 입력게인", "0.1%/V",
         "아날로그 토크명령 1[v]에대한 토크명령값[%]의 비 설정"},
        {504, "속도 제로클램프 레벨", "rmp",
         "속도제어시 설정값이하의 속도에서는 정지상태로 유지됨"},
        {505, "브레이크해제 대기시간", "10[ms]",
         "서보드라이버가 서보-ON된 시점에서 브레이크가 해제되기가지의 시간설정"},
        {507, "브레이크 동작 대기시간", "10[ms]",
         "서보-OFF 명령을 받은 시점에서 브레이크가 작동하기까지의 시간설정"},
        {511, "회생저항기 용량", "Watt",
         "사용자가 외부에 부착한 회생저항기의 용량을 설정, 실제 용량보다작게 설정하면 회생과부하 "
         "알람이 발생될 수 있슴"},
        {513, "아날로그모니터 출력 CH2", "-", "아날로그 모니터 CH2의 선택 및 스케일 설정"},
        {604, "속도루프D게인", "", ""},
        {611, "제2속도비례게인", "N.m.s", ""},
        {615, "제2속도명령필터", "Hz", ""},
    };
    for (const auto& c : cases) {
        const ParameterDef* def = FindParameter(c.code);
        ASSERT_NE(def, nullptr) << c.code;
        EXPECT_EQ(def->name, c.name) << c.code;
        EXPECT_EQ(def->unit, c.unit) << c.code;
        EXPECT_EQ(def->description, c.description) << c.code;
    }
    // The same as raw bytes, so a change of the source files' encoding cannot pass unseen.
    EXPECT_EQ(FindParameter(4)->name, "\xEA\xB4\x80\xEC\x84\xB1\xEB\xB9\x84");  // 관성비
}

TEST(CatalogueTexts, OnlyGroupSixLacksDescriptions) {
    for (const auto& def : AllParameters()) {
        EXPECT_FALSE(def.name.empty()) << def.code;
        EXPECT_EQ(def.description.empty(), GroupOf(def.code) == 6) << def.code;
    }
}

TEST(FormatValue, GeneralDecimalForm) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {100, "100"},
        {-5000, "-5000"},
        {6000, "6000"},
        {150.5, "150.5"},
        {2.50, "2.5"},
        {-0.1, "-0.1"},
        {0.1 + 0.2, "0.3"},  // 15 digits hide the binary rounding error
        {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {65535, "65535"},
    };
    for (auto [value, text] : cases) EXPECT_EQ(FormatValue(value), text) << text;
}

TEST(FormatValue, NonFiniteValuesHaveNoForm) {
    EXPECT_THROW(FormatValue(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    EXPECT_THROW(FormatValue(std::numeric_limits<double>::infinity()), std::invalid_argument);
    EXPECT_THROW(FormatValue(-std::numeric_limits<double>::infinity()), std::invalid_argument);
}

}  // namespace
