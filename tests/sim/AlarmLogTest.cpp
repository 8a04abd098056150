// The stand-in drive's alarm history on the wire: EHY, DIE and ETC 09.

#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "protocol/ReplyFields.h"
#include "sim/AlarmLog.h"
#include "sim/DriveSim.h"

namespace {

std::string Ask(DriveSim& sim, std::string_view command, std::string_view data) {
    std::vector<std::string> chunks = sim.Feed(Frame::BuildRequest(command, data));
    EXPECT_EQ(chunks.size(), 1u);
    return chunks.empty() ? std::string() : chunks.front();
}

std::string Value(const std::string& reply) {
    EXPECT_TRUE(Frame::ChecksumMatches(reply));
    return ReplyValue(reply).value_or("<none>");
}

// The rows a client shows for an EHY reply, as "code" texts; "FF" stops it.
std::vector<std::string> Rows(const std::string& reply) {
    std::vector<std::string> rows;
    for (int row = 1; row <= 8; ++row) {
        const HistoryEntry entry = ReadHistoryEntry(reply, row);
        if (entry.kind == HistoryEntry::Kind::NotInitialised) break;
        rows.push_back(entry.kind == HistoryEntry::Kind::None ? "None"
                                                              : std::to_string(entry.code));
    }
    return rows;
}

AlarmLog::Sample SampleOf(double base) {
    AlarmLog::Sample sample;
    for (int i = 0; i < AlarmLog::kQuantities; ++i) sample[i] = base + i;
    return sample;
}

TEST(AlarmLogTest, AlarmsGoInNewestFirstAndEightAreKept) {
    DriveSim sim;
    EXPECT_EQ(Value(Ask(sim, Cmd::EHY, "*")), "00&00&00&00&00&00&00&00");
    for (int code : {21, 50, 7}) {
        sim.SetAlarm(code);
        sim.SetAlarm(code);  // still the same alarm: not a second entry
    }
    EXPECT_EQ(Rows(Ask(sim, Cmd::EHY, "*")),
              (std::vector<std::string>{"7", "50", "21", "None", "None", "None", "None", "None"}));
    for (int code = 10; code < 17; ++code) sim.SetAlarm(code);
    EXPECT_EQ(Value(Ask(sim, Cmd::EHY, "*")), "16&15&14&13&12&11&10&07");
}

TEST(AlarmLogTest, UninitialisedMemoryReadsFfBelowTheAlarmsSinceAndClearMakesItNone) {
    DriveSim::Config config;
    config.alarmMemoryInitialised = false;
    DriveSim sim(config);
    for (int code : {21, 22, 23}) sim.SetAlarm(code);
    const std::string reply = Ask(sim, Cmd::EHY, "*");
    EXPECT_EQ(Value(reply), "23&22&21&FF&FF&FF&FF&FF");
    EXPECT_EQ(Rows(reply), (std::vector<std::string>{"23", "22", "21"}));

    sim.SetAlarm(0);
    EXPECT_EQ(Ask(sim, Cmd::ETC, "09"), std::string(1, Frame::ACK));
    EXPECT_EQ(Value(Ask(sim, Cmd::EHY, "*")), "00&00&00&00&00&00&00&00");
}

TEST(AlarmLogTest, HistoryAndDataAreReadableDuringTheAlarmClearingIsNot) {
    DriveSim sim;
    sim.SetAlarm(50);
    EXPECT_EQ(Rows(Ask(sim, Cmd::EHY, "*")).front(), "50");
    EXPECT_TRUE(Value(Ask(sim, Cmd::DIE, "0500")).starts_with("0.0"));
    EXPECT_EQ(Ask(sim, Cmd::ETC, "09"), Frame::BuildReply(Frame::ErrorMarker, "50"));
    EXPECT_EQ(sim.AlarmHistory().Entry(1), "50");
}

TEST(AlarmLogTest, RefusesRequestsItDoesNotKnow) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {Cmd::EHY, ""},   {Cmd::EHY, "1"},    {Cmd::DIE, "0000"}, {Cmd::DIE, "0900"},
        {Cmd::DIE, "05"}, {Cmd::DIE, "0501"}, {Cmd::ETC, "99"},   {Cmd::ETC, ""},
    };
    for (auto [command, data] : cases) {
        DriveSim sim;
        EXPECT_EQ(Ask(sim, command, data), std::string(1, Frame::NAK)) << command << data;
    }
}

TEST(AlarmLogTest, DataKeepsTheNewestFiftySamplesOfEachQuantity) {
    AlarmLog log;
    std::vector<AlarmLog::Sample> samples;
    for (int i = 0; i < 60; ++i) samples.push_back(SampleOf(i));
    log.Push(21, samples);
    EXPECT_EQ(log.SampleCount(), 50u);
    const std::string speed = *log.DataValue("0500");
    EXPECT_TRUE(speed.starts_with("14.0&15.0&")) << speed;
    EXPECT_TRUE(speed.ends_with("&63.0")) << speed;
    EXPECT_EQ(std::count(speed.begin(), speed.end(), '&'), 49);
    EXPECT_TRUE(log.DataValue("0100")->starts_with("10.000&"));
    EXPECT_TRUE(log.DataValue("0600")->starts_with("15&"));

    log.Push(22, {SampleOf(1)});
    EXPECT_EQ(*log.DataValue("0800"), "8.000") << "the last alarm's recording replaces the older";
    log.Clear();
    EXPECT_EQ(*log.DataValue("0800"), "");
}

std::vector<double> Numbers(const std::string& value) {
    std::vector<double> numbers;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find('&', start), value.size());
        numbers.push_back(std::stod(value.substr(start, end - start)));
        start = end + 1;
    }
    return numbers;
}

// The recording is the motor's last 50 ms, 1 ms apart, ending at the alarm.
TEST(AlarmLogTest, RecordsTheMotorsLastFiftyMillisecondsAtAnAlarm) {
    ManualSimClock clock;
    DriveSim::Config config;
    config.clock = clock.Clock();
    DriveSim sim(config);
    clock.Advance(1.0);
    sim.MotorModel().AdvanceTo(1.0);
    sim.MotorModel().SetSpeedCommand(1500);
    Ask(sim, Cmd::LIV, "");  // the drive takes note of its motor with each request
    Motor reference;
    reference.AdvanceTo(1.0);
    reference.SetSpeedCommand(1500);

    clock.Advance(0.08);
    sim.SetAlarm(21);
    const std::vector<double> speed = Numbers(Value(Ask(sim, Cmd::DIE, "0500")));
    ASSERT_EQ(speed.size(), 50u);
    EXPECT_NEAR(speed.front(), reference.StateAt(1.031).speedFeedback, 0.05);
    EXPECT_NEAR(speed.back(), reference.StateAt(1.080).speedFeedback, 0.05);
    EXPECT_TRUE(std::is_sorted(speed.begin(), speed.end())) << "still speeding up";

    const std::vector<double> u = Numbers(*sim.AlarmHistory().DataValue("0100")),
                              v = Numbers(*sim.AlarmHistory().DataValue("0200")),
                              w = Numbers(*sim.AlarmHistory().DataValue("0300"));
    for (std::size_t i = 0; i < 50; ++i) EXPECT_NEAR(u[i] + v[i] + w[i], 0.0, 0.005) << i;
}

TEST(AlarmLogTest, AMotorThatOverspeedsRaisesTheOverspeedAlarm) {
    ManualSimClock clock;
    DriveSim::Config config;
    config.clock = clock.Clock();
    config.motor.overspeedRpm = 1000;
    DriveSim sim(config);
    sim.MotorModel().SetSpeedCommand(2000);
    Ask(sim, Cmd::LIV, "");
    clock.Advance(0.2);
    EXPECT_EQ(Ask(sim, Cmd::SET, "000"), Frame::BuildReply(Frame::ErrorMarker, "50"));
    EXPECT_EQ(sim.Alarm(), DriveSim::kOverspeedAlarm);
    EXPECT_EQ(sim.AlarmHistory().Entry(1), "50");
    EXPECT_GT(Numbers(*sim.AlarmHistory().DataValue("0500")).back(), 1000);
}

}  // namespace
