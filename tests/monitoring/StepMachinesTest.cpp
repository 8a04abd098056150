// The step machines of the monitoring window against a link double: the
// start-up sequence, the TAT and ETC progress polls, the jog speed read and
// the manual offset steps.

#include <gtest/gtest.h>

#include "monitoring/Operations.h"
#include "monitoring/StartupSequence.h"
#include "tests/monitoring/LinkDouble.h"

namespace {

struct WindowDouble : StartupSequence::IWindow {
    void ApplyIoAssignment(int parameter, const std::string& value) override {
        applied.push_back(std::to_string(parameter) + "=" + value);
    }
    void StartupComplete() override { ++completed; }
    std::vector<std::string> applied;
    int completed = 0;
};

// Ticks the sequence, answering every request at once with `value`.
std::vector<std::string> RunStartup(StartupSequence& sequence, LinkDouble& link,
                                    WindowDouble& window, int ticks) {
    link.freeAfterSend = true;
    for (int i = 0; i < ticks && window.completed == 0; ++i) sequence.Tick(link, window);
    return link.sent;
}

}  // namespace

TEST(StartupSequence, FirstRunReadsTheSignalAssignment) {
    StartupSequence sequence;
    LinkDouble link;
    link.value = "4321";
    WindowDouble window;
    const auto sent = RunStartup(sequence, link, window, 20);
    EXPECT_EQ(sent, (std::vector<std::string>{"LIV/6", "TYP/3", "VER/3", "STS/3", "SET005/3",
                                              "SET006/3", "SET007/3", "SET008/3", "SET009/3",
                                              "SET010/3", "SET011/3"}));
    ASSERT_EQ(window.applied.size(), 7u);
    EXPECT_EQ(window.applied.front(), "5=4321");
    EXPECT_EQ(window.applied.back(), "11=4321");
    EXPECT_EQ(window.completed, 1);
    EXPECT_FALSE(sequence.ReadIoAssignment);
    EXPECT_EQ(sequence.PollStep, 0);

    link.sent.clear();
    window.completed = 0;
    EXPECT_EQ(RunStartup(sequence, link, window, 20),
              (std::vector<std::string>{"LIV/6", "TYP/3", "VER/3", "STS/3"}));
}

TEST(StartupSequence, WaitsForTheAliveCheckAndTheFreeLink) {
    StartupSequence sequence;
    LinkDouble link;
    WindowDouble window;
    link.alive = false;
    sequence.Tick(link, window);  // LIV goes out; the link is busy
    sequence.Tick(link, window);
    EXPECT_EQ(link.sent, std::vector<std::string>{"LIV/6"});
    link.free = true;  // the alive check timed out: free, not alive
    sequence.Tick(link, window);
    EXPECT_EQ(link.sent, std::vector<std::string>{"LIV/6"});
    EXPECT_EQ(sequence.PollStep, 1);
    link.alive = true;
    sequence.Tick(link, window);
    EXPECT_EQ(link.sent.back(), "TYP/3");
}

namespace {

// Runs a poll for up to `ticks` ticks; `answer(tick)` gives the reply to each poll.
std::optional<ProgressResult> RunPoll(ProgressPoll& poll, LinkDouble& link, int ticks,
                                      const std::function<std::string(int)>& answer,
                                      int* used = nullptr) {
    for (int tick = 0; tick < ticks; ++tick) {
        if (!link.free) {
            link.free = true;
            link.value = answer(tick);
        }
        if (auto result = poll.Tick(link)) {
            if (used) *used = tick + 1;
            return result;
        }
    }
    return std::nullopt;
}

}  // namespace

TEST(ProgressPoll, AutoTuningReadsTheInertiaBeforeOk) {
    LinkDouble link;
    link.command = "TAT";
    link.data = "01";
    ProgressPoll poll;
    poll.Start(ProgressPoll::Kind::Tat);
    auto result = RunPoll(poll, link, 200, [&](int tick) {
        if (link.command == "SET") return std::string("250");
        return std::string(tick < 10 ? "BSY" : "TOK");
    });
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->succeeded);
    EXPECT_EQ(result->message, "Turning OK!!");
    EXPECT_EQ(result->gain, "250");
    EXPECT_EQ(link.sent.back(), "SET004/3");
    EXPECT_EQ(link.sent.front(), "TAT/3");  // polls keep the operation's code
}

TEST(ProgressPoll, TickLimits) {
    struct Case {
        ProgressPoll::Kind kind;
        const char* command;
        const char* code;
        int busyTicks;  // ticks before the drive reports TOK
        bool succeeds;
        const char* message;
    };
    const Case cases[] = {
        {ProgressPoll::Kind::Tat, "TAT", "03", 90, true, "Turning OK!!"},
        {ProgressPoll::Kind::Tat, "TAT", "07", 120, false, "Turning Error... "},
        {ProgressPoll::Kind::Etc, "ETC", "10", 120, true, "Reset OK!!"},  // 6 s ABS reset
        {ProgressPoll::Kind::Etc, "ETC", "11", 60, false,
         "Reset Error... or Short Time. "},  // 3 s backup
        {ProgressPoll::Kind::Etc, "ETC", "11", 30, true, "Back Up OK!!"},
        {ProgressPoll::Kind::Etc, "ETC", "12", 30, true, "Init OK!!"},
        {ProgressPoll::Kind::Etc, "ETC", "12", 45, false, "Reset Error... or Short Time. "},
    };
    for (const Case& c : cases) {
        LinkDouble link;
        link.command = c.command;
        link.data = c.code;
        ProgressPoll poll;
        poll.Start(c.kind);
        auto result = RunPoll(poll, link, 400, [&](int tick) {
            return std::string(tick < c.busyTicks ? "BSY" : "TOK");
        });
        ASSERT_TRUE(result) << c.code;
        EXPECT_EQ(result->succeeded, c.succeeds) << c.code << " after " << c.busyTicks;
        EXPECT_EQ(result->message, c.message) << c.code;
    }
}

TEST(ProgressPoll, OtherWordsSendNothing) {
    LinkDouble link;
    link.command = "ETC";
    link.data = "12";
    link.value = "ERR";
    ProgressPoll poll;
    poll.Start(ProgressPoll::Kind::Etc);
    EXPECT_FALSE(poll.Tick(link));
    EXPECT_TRUE(link.sent.empty());
}

TEST(JogSpeedRead, ReadsPr201OrGivesUp) {
    LinkDouble link;
    JogSpeedRead read;
    EXPECT_FALSE(read.Tick(link));
    EXPECT_EQ(link.sent, std::vector<std::string>{"SET201/3"});
    link.free = true;
    link.value = "750";
    auto result = read.Tick(link);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->speed, 750);

    // No answer: given up after about 11 ticks, without a second request.
    LinkDouble silent;
    JogSpeedRead unanswered;
    int ticks = 0;
    std::optional<JogSpeedRead::Result> end;
    while (!end && ticks < 50) {
        end = unanswered.Tick(silent);
        ++ticks;
    }
    ASSERT_TRUE(end);
    EXPECT_FALSE(end->speed);
    EXPECT_EQ(ticks, 12);
    EXPECT_EQ(silent.sent.size(), 1u);

    // A value that is no number is a failed read.
    LinkDouble odd;
    JogSpeedRead garbled;
    garbled.Tick(odd);
    odd.free = true;
    odd.value = "5x";
    result = garbled.Tick(odd);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->speed);
}

TEST(JogData, DirectionOfEachCommand) {
    EXPECT_EQ(JogData(JogOff), "");
    EXPECT_EQ(JogData(JogStop), "0");
    EXPECT_EQ(JogData(JogForward), "+");
    EXPECT_EQ(JogData(JogReverse), "-");
}

TEST(ManualOffset, StepsAndPolls) {
    struct Case {
        bool speed;
        int mode;
        const char* sent;
    };
    const Case cases[] = {
        {true, 2, "TMN02/2"},  {true, 3, "TMN01/2"},  {true, 4, "TMN03/2"},  {true, 5, "TMN07/2"},
        {false, 2, "TMN05/2"}, {false, 3, "TMN04/2"}, {false, 4, "TMN06/2"}, {false, 5, "TMN07/2"},
        {true, 1, "MDM00/3"},  {false, 1, "MDM03/3"},
    };
    for (const Case& c : cases) {
        LinkDouble link;
        ManualOffset offset;
        offset.OffsetMode = c.mode;
        offset.Tick(link, c.speed, !c.speed);
        EXPECT_EQ(link.sent, std::vector<std::string>{c.sent}) << c.mode;
        EXPECT_EQ(offset.OffsetMode, 1);
    }
}

TEST(ManualOffset, DisplayFollowsThePolledValue) {
    LinkDouble link;
    link.freeAfterSend = true;
    ManualOffset offset;
    offset.OffsetMode = 1;
    EXPECT_FALSE(offset.Tick(link, false, true));  // nothing read yet: display keeps its value
    EXPECT_EQ(link.value, "0");
    link.value = "-12.5";
    EXPECT_EQ(offset.Tick(link, false, true), -12.5);
    link.free = false;
    EXPECT_FALSE(offset.Tick(link, false, true));
    EXPECT_EQ(link.sent.size(), 2u);  // a busy link gets nothing
}
