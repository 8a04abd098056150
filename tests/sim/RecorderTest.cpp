#include <gtest/gtest.h>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/DriveSim.h"
#include "sim/Recorder.h"

namespace {

const std::string kAck(1, Frame::ACK), kNak(1, Frame::NAK), kUs(1, Frame::US);

struct Pair {
    int first, second;
};

// A recorder whose first data signal steps from 0 to 500 at `stepAt`; the
// second is the sample time in microseconds.
struct StepRig {
    double stepAt = 0.1;
    Recorder recorder;
    void CatchUp(double now) {
        recorder.CatchUp(now, [this](double t) {
            Recorder::Signals s;
            s.data[0] = t >= stepAt ? 500 : 0;
            s.data[1] = t * 1e6;
            if (t >= stepAt) s.io = 1u << 11;
            return s;
        });
    }

    std::vector<Pair> Pairs() const {
        std::vector<Pair> pairs;
        for (int block = 0; auto text = recorder.Block(block); ++block) {
            std::size_t at = 0;
            while (at < text->size()) {
                const std::size_t amp = text->find('&', at);
                const std::size_t next = text->find('&', amp + 1);
                pairs.push_back({std::stoi(text->substr(at, amp - at)),
                                 std::stoi(text->substr(amp + 1, next - amp - 1))});
                at = next == std::string::npos ? text->size() : next + 1;
            }
        }
        return pairs;
    }
};

Recorder::Setup StepSetup(int point, int number = 10) {
    Recorder::Setup setup;
    setup.channel1 = 0;
    setup.channel2 = 1;
    setup.number = number;
    setup.point = point;
    setup.level = 250;
    return setup;
}

class TriggerPointTest : public testing::TestWithParam<int> {};

// Point p puts the trigger (p - 1) x 10 % into the record.
TEST_P(TriggerPointTest, KeepsThePreTriggerPart) {
    const int point = GetParam();
    StepRig rig;
    rig.recorder.Arm(StepSetup(point), 0.0);
    rig.CatchUp(0.099);
    EXPECT_FALSE(rig.recorder.Triggered());
    rig.CatchUp(0.2);
    ASSERT_TRUE(rig.recorder.Complete());
    const std::vector<Pair> pairs = rig.Pairs();
    ASSERT_EQ(pairs.size(), 100u);
    const std::size_t trigger = static_cast<std::size_t>(point - 1) * 10;
    EXPECT_EQ(pairs[trigger].first, 500);
    if (trigger > 0) {
        EXPECT_EQ(pairs[trigger - 1].first, 0);
    }
    EXPECT_EQ(pairs[trigger].second, 100000);  // the first sample at or after the step
    for (std::size_t i = 1; i < pairs.size(); ++i)
        EXPECT_EQ(pairs[i].second - pairs[i - 1].second, 200) << i;
}

INSTANTIATE_TEST_SUITE_P(Recorder, TriggerPointTest, testing::Values(1, 2, 5, 9));

TEST(RecorderTest, EdgesOfDataAndIoSources) {
    struct Case {
        bool io, positive;
        int source;
        double stepAt;
        bool triggers;
    } cases[] = {
        {false, true, 0, 0.05, true},    // 0 -> 500 crosses 250 upwards
        {false, false, 0, 0.05, false},  // never falls
        {true, true, 11, 0.05, true},    // S-ALM rises
        {true, false, 11, 0.05, false}, {true, true, 10, 0.05, false},  // DO#3 never changes
        {false, true, 0, 0.0, false},  // already above the level when armed: no edge
    };
    for (const Case& c : cases) {
        StepRig rig;
        rig.stepAt = c.stepAt;
        Recorder::Setup setup = StepSetup(1);
        setup.ioSource = c.io;
        setup.source = c.source;
        setup.positiveEdge = c.positive;
        rig.recorder.Arm(setup, 0.0);
        rig.CatchUp(0.2);
        EXPECT_EQ(rig.recorder.Triggered(), c.triggers) << c.io << c.positive << c.source;
    }
}

TEST(RecorderTest, SetupStringsAreParsedOrRefused) {
    const auto setup = Recorder::ParseSetup("0003112051025");
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->channel2, 3);
    EXPECT_TRUE(setup->ioSource);
    EXPECT_EQ(setup->source, 11);
    EXPECT_EQ(setup->division, 5);
    EXPECT_EQ(setup->number, 10);
    EXPECT_FALSE(setup->positiveEdge);
    EXPECT_EQ(setup->point, 5);
    EXPECT_EQ(Recorder::ParseSetup("0001000013011-150")->level, -150);
    for (const char* bad : {"", "000100001301", "0001010013011", "00010000031100", "0001000013031",
                            "00010000130100", "0001000013011x", "0001113013011"})
        EXPECT_FALSE(Recorder::ParseSetup(bad)) << bad;
}

// The drive: set-up, BSY until the jog start crosses the level, TOK, blocks; ESC disarms.
struct DriveRig {
    ManualSimClock clock;
    DriveSim sim{[this] {
        DriveSim::Config config;
        config.clock = clock.Clock();
        return config;
    }()};
    std::string Ask(std::string_view command, std::string_view data = "") {
        std::vector<std::string> chunks = sim.Feed(Frame::BuildRequest(command, data));
        return chunks.size() == 1 ? chunks.front() : "";
    }
    static std::string Value(const std::string& frame) {
        return frame.size() > 4 ? frame.substr(3, frame.find(':') - 3) : frame;
    }
};

TEST(RecorderDriveTest, JogStartTriggersAndTheBlocksHoldTheRise) {
    DriveRig rig;
    // Speed feedback and command, source speed feedback, level 100, rising, point 3.
    EXPECT_EQ(rig.Ask(Cmd::MOT,
                      "00010000130131"
                      "00"),
              kAck);
    for (int i = 0; i < 5; ++i) {
        rig.clock.Advance(0.02);
        EXPECT_EQ(rig.Value(rig.Ask(Cmd::MOT)), "BSY");
    }
    EXPECT_EQ(rig.Ask(Cmd::JOG, "+"), kAck);
    rig.clock.Advance(0.03);
    EXPECT_EQ(rig.Value(rig.Ask(Cmd::MOT)), "BSY");  // triggered, still recording
    rig.clock.Advance(0.06);
    EXPECT_EQ(rig.Value(rig.Ask(Cmd::MOT)), "TOK");

    std::vector<int> speed;
    for (int block = 0; block < 30; ++block) {
        char number[3] = {char('0' + block / 10), char('0' + block % 10), 0};
        const std::string value = rig.Value(rig.Ask(Cmd::MOT, number));
        ASSERT_EQ(value.substr(0, 3), "MOT");
        std::size_t at = 3, field = 0;
        while (at <= value.size()) {
            std::size_t amp = value.find('&', at);
            if (amp == std::string::npos) amp = value.size();
            if (field++ % 2 == 0) speed.push_back(std::stoi(value.substr(at, amp - at)));
            at = amp + 1;
        }
    }
    ASSERT_EQ(speed.size(), 300u);
    // 20 % before the trigger: the jog starts from standstill inside it.
    EXPECT_EQ(speed[0], 0);
    EXPECT_LT(speed[59], 100);
    EXPECT_GE(speed[60], 100);
    EXPECT_LT(speed[60], 110);
    EXPECT_GT(speed[299], 300);
    for (std::size_t i = 1; i < speed.size(); ++i) EXPECT_GE(speed[i], speed[i - 1]) << i;
    EXPECT_EQ(rig.Ask(Cmd::MOT, "30"), kUs);

    EXPECT_EQ(rig.Ask(Cmd::ESC), kAck);
    EXPECT_EQ(rig.Ask(Cmd::MOT), kUs);
    EXPECT_EQ(rig.Ask(Cmd::MOT, "00"), kUs);
}

TEST(RecorderDriveTest, TriggerRulesNeverAndAtOnce) {
    for (auto rule : {Recorder::Trigger::Never, Recorder::Trigger::AtOnce}) {
        DriveRig rig;
        DriveSim::Config config;
        config.clock = rig.clock.Clock();
        config.trigger = rule;
        rig.sim = DriveSim(config);
        EXPECT_EQ(rig.Ask(Cmd::MOT, "00010009901150"), kAck);
        rig.clock.Advance(0.0002 * 99 * 10 + 0.001);  // one record length
        EXPECT_EQ(rig.Value(rig.Ask(Cmd::MOT)), rule == Recorder::Trigger::Never ? "BSY" : "TOK");
    }
}

TEST(RecorderDriveTest, BadSetupIsRefusedAndAlarmAnswersWithIt) {
    DriveRig rig;
    EXPECT_EQ(rig.Ask(Cmd::MOT, "0001000013011x"), kNak);
    EXPECT_EQ(rig.Ask(Cmd::MOT, "0x"), kUs);
    rig.sim.SetAlarm(21);
    EXPECT_EQ(rig.Ask(Cmd::MOT), Frame::BuildReply('E', "21"));
    EXPECT_EQ(rig.Ask(Cmd::ESC), kAck);
}

}  // namespace
