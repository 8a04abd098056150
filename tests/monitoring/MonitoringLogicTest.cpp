// The monitoring window's rules without widgets: item tables and request
// data, MDM replies, the I/O captions and LEDs, the status display.

#include <gtest/gtest.h>

#include "monitoring/IoSignals.h"
#include "monitoring/MonitorItems.h"
#include "monitoring/MonitorValues.h"
#include "monitoring/StatusDisplay.h"

TEST(MonitorItems, TablesHoldTheCodesAndUnits) {
    ASSERT_EQ(NormalItemTable().size(), 7u);
    ASSERT_EQ(GraphItemTable().size(), 11u);
    EXPECT_EQ(SlotItem(1, 1)->code, "10");
    EXPECT_EQ(SlotItem(3, 6)->code, "11");
    EXPECT_EQ(SlotItem(3, 6)->unit, "V");
    EXPECT_EQ(SlotItem(5, 4)->code, "03");
    EXPECT_EQ(SlotItem(8, 10)->unit, "Degree");
    EXPECT_EQ(SlotItem(5, 0)->code, "");
    EXPECT_EQ(SlotItem(1, 7), nullptr);
    EXPECT_EQ(SlotItem(9, 1), nullptr);
}

TEST(MonitorItems, RequestDataIsTheCodesThenTheIoWord) {
    const std::string codes[] = {"10", "", "13", ""};
    EXPECT_EQ(MonitorRequestData(codes, true), "101315");
    EXPECT_EQ(MonitorRequestData(codes, false), "1013");
    const std::string none[] = {"", "", "", ""};
    EXPECT_EQ(MonitorRequestData(none, true), "");
}

// Switching monitoring on: which LED is lit, the page and the time select
// decide between a refusal, the stream and polling the LED's four slots.
TEST(MonitorItems, MonitorStartFollowsTheLedThePageAndTheTimeSelect) {
    using Action = MonitorStart::Action;
    MonitorStartState base;
    base.codes = {"", "10", "", "13", "", "00", "03", "", ""};
    struct Case {
        const char* name;
        MonitorStartState state;
        MonitorStart expected;
    };
    auto with = [&](auto change) {
        MonitorStartState state = base;
        change(state);
        return state;
    };
    const Case cases[] = {
        {"no LED lit", with([](auto&) {}), {Action::NoMode, false, 0, ""}},
        {"no LED lit on page 0",
         with([](auto& s) { s.normalPage = true; }),
         {Action::NoMode, false, 0, ""}},
        {"slots 1..4 on page 0",
         with([](auto& s) { s.normalLed = s.normalPage = true; }),
         {Action::Poll, true, 1, "1013"}},
        {"with the I/O word",
         with([](auto& s) { s.normalLed = s.normalPage = s.ioBox = true; }),
         {Action::Poll, true, 1, "101315"}},
        {"slots 5..8 on page 0, time select kept",
         with([](auto& s) {
             s.graphLed = s.normalPage = true;
             s.timeSelect = 5;
         }),
         {Action::Poll, true, 5, "0003"}},
        {"slots 5..8 on the graph page, no time select",
         with([](auto& s) { s.graphLed = s.graphPage = true; }),
         {Action::Poll, false, 5, "0003"}},
        {"the graph page with a time select streams",
         with([](auto& s) {
             s.graphLed = s.graphPage = true;
             s.timeSelect = 1;
         }),
         {Action::Stream, false, 0, ""}},
        {"the normal LED on the graph page polls",
         with([](auto& s) {
             s.normalLed = s.graphPage = true;
             s.timeSelect = 1;
         }),
         {Action::Poll, false, 1, "1013"}},
        {"nothing chosen in slots 5..8",
         with([](auto& s) {
             s.graphLed = s.graphPage = s.ioBox = true;
             s.codes[5] = s.codes[6] = "";
         }),
         {Action::NoItem, false, 5, ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(PlanMonitorStart(c.state), c.expected) << c.name;
}

namespace {

MonitorLayout Normal13() {
    MonitorLayout layout;
    layout.normalMode = true;
    layout.codes[1] = "10";
    layout.codes[3] = "13";
    return layout;
}

MonitorLayout Graph(int page, std::initializer_list<int> slots) {
    MonitorLayout layout;
    layout.page = page;
    for (int slot : slots) layout.codes[static_cast<std::size_t>(slot)] = "00";
    return layout;
}

}  // namespace

TEST(MonitorValues, NormalSlotsAndTheIoWord) {
    const MonitorView view = ReadMonitorValues("12&530&00A5", Normal13());
    EXPECT_EQ(view.digits[1], "12");
    EXPECT_FALSE(view.digits[2]);
    EXPECT_EQ(view.digits[3], "530");
    EXPECT_EQ(view.ioWord, 0xA5u);
    EXPECT_FALSE(view.arrows);
    const auto leds = IoLeds(*view.ioWord);
    const std::array<bool, 12> lit = {true,  false, true,  false, false, true,
                                      false, true,  false, false, false, false};
    EXPECT_EQ(leds, lit);  // DI#1, DI#3, DI#6, E-STOP
}

TEST(MonitorValues, FirstGraphValueTurnsTheArrows) {
    struct Case {
        const char* value;
        DirectionArrows arrows;
    };
    for (const Case& c : {Case{"-20&0", {false, true}}, Case{"35&0", {true, false}},
                          Case{"0&0", {false, false}}, Case{"-0.0&0", {false, false}}}) {
        const MonitorView view = ReadMonitorValues(c.value, Graph(0, {5}));
        EXPECT_EQ(view.arrows, c.arrows) << c.value;
        EXPECT_EQ(view.digits[5], std::string(c.value).substr(0, std::string(c.value).find('&')));
    }
}

TEST(MonitorValues, GraphPageGivesChannelValuesInSlotOrder) {
    MonitorLayout layout = Graph(1, {5, 7, 8});
    layout.ioBox = false;
    const MonitorView view = ReadMonitorValues("1.5&-2&3", layout);
    EXPECT_EQ(view.graphValues, (std::vector<double>{1.5, -2, 3}));
    EXPECT_FALSE(view.digits[5]);
}

TEST(MonitorValues, NormalSlotsAreNotShownOffTheirPage) {
    MonitorLayout layout = Normal13();
    layout.page = 1;
    const MonitorView view = ReadMonitorValues("00FF", layout);
    EXPECT_FALSE(view.digits[1]);
    EXPECT_EQ(view.ioWord, 0xFFu);
}

TEST(MonitorValues, MalformedRepliesThrow) {
    const char* bad[] = {
        "1&2&3&4&5&6",   // a sixth field
        "12&530&XYZ",    // I/O word not hexadecimal
        "12&530&10000",  // I/O word above FFFF
        "12&530&",       // empty I/O word
        "12",            // too few fields for two slots and the word
    };
    for (const char* value : bad) EXPECT_ANY_THROW(ReadMonitorValues(value, Normal13())) << value;
    EXPECT_ANY_THROW(ReadMonitorValues("abc&0", Graph(0, {5})));
    EXPECT_NO_THROW(ReadMonitorValues("1&2&3&4&00", Normal13()));  // five fields are fine
}

TEST(IoSignals, CaptionsStartAsPinNames) {
    const IoSignalNames names;
    const auto captions = names.Captions();
    EXPECT_EQ(captions[0], "DI#1");
    EXPECT_EQ(captions[6], "DI#7");
    EXPECT_EQ(captions[7], "E-STOP");
    EXPECT_EQ(captions[8], "DO#1");
    EXPECT_EQ(captions[10], "DO#3");
    EXPECT_EQ(captions[11], "S-ALM");
}

TEST(IoSignals, AssignmentNamesThePins) {
    struct Step {
        int parameter;
        const char* value;
    };
    struct Case {
        std::vector<Step> steps;
        std::vector<std::pair<int, const char*>> labels;  // IoLabels[n]
    };
    const Case cases[] = {
        {{{5, "4321"}}, {{1, "/SV-ON"}, {2, "P-OT"}, {3, "N-OT"}, {4, "/P-CON"}, {5, "DI#5"}}},
        // A 0 leaves the earlier name; a later parameter overwrites.
        {{{5, "4321"}, {6, "0005"}}, {{1, "/SV-ON"}, {5, "/A-RST"}}},
        {{{5, "4321"}, {6, "1000"}}, {{1, "/C-SEL"}, {4, "/P-CON"}}},
        // Pr-0.09 reads only its fourth character.
        {{{9, "1115"}}, {{1, "DI#1"}, {5, "/ABS-DT"}}},
        // Outputs name DO#1..DO#3; digits above 3 name nothing.
        {{{10, "1234"}}, {{8, "/V-COM"}, {9, "/BK"}, {10, "/TG-ON"}}},
        {{{11, "0900"}}, {{8, "DO#1"}, {9, "DO#2"}}},
        // Later positions win over earlier ones naming the same pin.
        {{{7, "1111"}}, {{1, "/C-DIR"}}},
        // Malformed values: short, non-digit, 8 and 9 on inputs, unknown parameter.
        {{{5, "12"}, {6, "x-A8"}, {7, "9999"}, {4, "1234"}, {12, "1234"}},
         {{1, "/P-CON"}, {2, "N-OT"}, {3, "DI#3"}, {8, "DO#1"}}},
    };
    for (const Case& c : cases) {
        IoSignalNames names;
        for (const Step& step : c.steps) names.ApplyIoAssignment(step.parameter, step.value);
        for (auto [n, label] : c.labels) EXPECT_EQ(names.IoLabel(n), label) << n;
    }
}

TEST(StatusDisplay, ModesFlagsAndWord) {
    struct Case {
        const char* value;
        std::optional<ModeLeds> leds;
        bool match, tg;
        const char* text;
        std::optional<bool> servo;
        bool blink;
    };
    const Case cases[] = {
        {"CS11RUN", ModeLeds{false, true, false, true}, true, true, "RUN", true, false},
        {"P 00RDY", ModeLeds{true, false, false, false}, false, false, "RDY", false, false},
        {"X 10E12", std::nullopt, true, false, "E12", std::nullopt, true},
        {"XY01W05", std::nullopt, false, true, "W05", std::nullopt, true},
        {"SP2xRUN", ModeLeds{true, true, false, false}, false, false, "RUN", true, false},
    };
    for (const Case& c : cases) {
        const StatusView view = StatusViewOf(ParseStatusReply(c.value));
        EXPECT_EQ(view.modeLeds, c.leds) << c.value;
        EXPECT_EQ(view.speedMatch, c.match) << c.value;
        EXPECT_EQ(view.tgOn, c.tg) << c.value;
        EXPECT_EQ(view.centreText, c.text) << c.value;
        EXPECT_EQ(view.servoSwitch, c.servo) << c.value;
        EXPECT_EQ(view.blink, c.blink) << c.value;
    }
}
