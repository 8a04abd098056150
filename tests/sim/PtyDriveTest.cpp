#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/PtyDrive.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kAck(1, Frame::ACK);

// A serial client made of plain POSIX calls, the way any program would open the port.
class PortClient {
  public:
    explicit PortClient(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (fd_ < 0) throw std::system_error(errno, std::generic_category(), path);
        termios settings{};
        ::tcgetattr(fd_, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
    ~PortClient() { ::close(fd_); }

    void Send(std::string_view bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // The next reply: a frame up to its ETX or a single control byte; what
    // arrived by then when `timeout` passes first.
    std::string ReadReply(std::chrono::milliseconds timeout = 3000ms) {
        const auto deadline = Clock::now() + timeout;
        std::size_t end = ReplyEnd();
        while (end == 0 && WaitReadable(deadline)) {
            char buffer[256];
            ssize_t count = ::read(fd_, buffer, sizeof buffer);
            if (count <= 0) break;
            pending_.append(buffer, static_cast<std::size_t>(count));
            end = ReplyEnd();
        }
        if (end == 0) end = pending_.size();
        std::string reply = pending_.substr(0, end);
        pending_.erase(0, end);
        return reply;
    }

    // True when the far end has gone: poll reports a hang-up or reads fail.
    bool SeesHangUp(std::chrono::milliseconds timeout = 3000ms) {
        pollfd fd{fd_, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(timeout.count())) <= 0) return false;
        if (fd.revents & (POLLHUP | POLLERR)) return true;
        char byte;
        return ::read(fd_, &byte, 1) <= 0;
    }

  private:
    // Length of the first complete reply in pending_, 0 if there is none yet.
    std::size_t ReplyEnd() const {
        if (pending_.empty()) return 0;
        if (pending_.front() != Frame::STX) return 1;
        std::size_t etx = pending_.find(Frame::ETX);
        return etx == std::string::npos ? 0 : etx + 1;
    }

    bool WaitReadable(Clock::time_point deadline) const {
        if (Clock::now() >= deadline) return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{fd_, POLLIN, 0};
        return ::poll(&fd, 1, static_cast<int>(std::max(left.count(), 1L))) > 0 &&
               (fd.revents & POLLIN);
    }

    int fd_;
    std::string pending_;
};

// A fresh directory for symlinks, removed afterwards.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ptydrive-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string Req(std::string_view command, std::string_view data = "") {
    return Frame::BuildRequest(command, data);
}

TEST(PtyDriveTest, AnswersRequestsOnTheSlaveAndLogsThem) {
    PtyDrive drive;
    PortClient port(drive.SlavePath());
    port.Send(Req(Cmd::VER));
    EXPECT_EQ(port.ReadReply(), Frame::BuildReply('R', "VERV1.20"));
    port.Send(Req(Cmd::SVRON) + Req(Cmd::STR, "0045"));
    EXPECT_EQ(port.ReadReply(), kAck);
    EXPECT_EQ(port.ReadReply(), std::string(1, Frame::GS));

    EXPECT_EQ(drive.RequestLog(),
              (std::vector<std::string>{Req(Cmd::VER), Req(Cmd::SVRON), Req(Cmd::STR, "0045")}));
    bool servoOn = false;
    drive.WithSim([&](DriveSim& sim) { servoOn = sim.ServoOn(); });
    EXPECT_TRUE(servoOn);
}

TEST(PtyDriveTest, StateSetThroughWithSimShowsOnTheWire) {
    PtyDrive drive;
    drive.WithSim([](DriveSim& sim) { sim.SetAlarm(21); });
    PortClient port(drive.SlavePath());
    port.Send(Req(Cmd::SET, "000"));
    EXPECT_EQ(port.ReadReply(), Frame::BuildReply('E', "21"));
}

TEST(PtyDriveTest, SplitReplyArrivesWhole) {
    PtyDrive drive;
    drive.WithSim([](DriveSim& sim) { sim.SetFailure({FailureMode::Split, 4}); });
    PortClient port(drive.SlavePath());
    port.Send(Req(Cmd::TYP));
    EXPECT_EQ(port.ReadReply(), Frame::BuildReply('R', "TYP-_A5"));
}

TEST(PtyDriveTest, KeepsServingWhenAClientClosesAndAnotherOpens) {
    PtyDrive drive;
    {
        PortClient first(drive.SlavePath());
        first.Send(Req(Cmd::LIV));
        EXPECT_EQ(first.ReadReply(), kAck);
    }
    PortClient second(drive.SlavePath());
    second.Send(Req(Cmd::LIVE));
    EXPECT_EQ(second.ReadReply(), kAck);
    EXPECT_TRUE(drive.WaitForRequests(2, 1s));
}

TEST(PtyDriveTest, PacedReplyTakesAtLeastItsLineTimeAndTheTurnaround) {
    // 14 bytes at 1200 baud are 117 ms on the line, plus 50 ms turnaround.
    PtyDrive drive(DriveSim(), {.baud = 1200, .turnaroundMs = 50});
    PortClient port(drive.SlavePath());
    const auto start = Clock::now();
    port.Send(Req(Cmd::VER));
    EXPECT_EQ(port.ReadReply(), Frame::BuildReply('R', "VERV1.20"));
    EXPECT_GE(Clock::now() - start, 150ms);
}

TEST(PtyDriveTest, StalledDriveAnswersWhatCameMeanwhileInOrderAfterwards) {
    PtyDrive drive;
    drive.WithSim([](DriveSim& sim) {
        sim.SetSlot("000", "11");
        sim.SetSlot("001", "22");
        sim.SetFailure({FailureMode::Stall, 2, 400});
    });
    PortClient port(drive.SlavePath());
    port.Send(Req(Cmd::SET, "000"));
    EXPECT_EQ(port.ReadReply(), Frame::BuildReply('R', "SET11"));
    const auto start = Clock::now();
    port.Send(Req(Cmd::SET, "001"));
    ASSERT_TRUE(drive.WaitForRequests(2, 3s));
    EXPECT_EQ(port.ReadReply(100ms), "");  // nothing while the drive is frozen
    port.Send(Req(Cmd::SET, "001"));       // a resend
    port.Send(Req(Cmd::TYP));
    const std::string first = port.ReadReply();
    EXPECT_GE(Clock::now() - start, 400ms);
    EXPECT_EQ(first, Frame::BuildReply('R', "SET22"));
    EXPECT_EQ(port.ReadReply(), first);
    EXPECT_EQ(port.ReadReply(), Frame::BuildReply('R', "TYP-_A5"));
}

TEST(PtyDriveTest, KeepsTheSymlinkWhileServing) {
    TempDir dir;
    const std::string link = dir / "drive";
    {
        PtyDrive drive(DriveSim(), {.linkPath = link});
        EXPECT_EQ(drive.LinkPath(), link);
        EXPECT_EQ(std::filesystem::read_symlink(link), drive.SlavePath());
        PortClient port(link);
        port.Send(Req(Cmd::LIV));
        EXPECT_EQ(port.ReadReply(), kAck);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(PtyDriveTest, ReplacesAStaleSymlinkButNeverAFile) {
    TempDir dir;
    const std::string stale = dir / "stale", file = dir / "file";
    std::filesystem::create_symlink("/nonexistent", stale);
    {
        PtyDrive drive(DriveSim(), {.linkPath = stale});
        EXPECT_EQ(std::filesystem::read_symlink(stale), drive.SlavePath());
    }
    std::ofstream(file) << "keep me";
    EXPECT_THROW(PtyDrive(DriveSim(), {.linkPath = file}), std::system_error);
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

TEST(PtyDriveTest, DisconnectHangsUpTheClient) {
    PtyDrive drive;
    PortClient port(drive.SlavePath());
    drive.Disconnect();
    EXPECT_TRUE(drive.Disconnected());
    EXPECT_TRUE(port.SeesHangUp());
}

TEST(PtyDriveTest, SimHangUpClosesTheLineAfterTheReply) {
    DriveSim sim;
    sim.SetFailure({FailureMode::Disconnect, 1});
    PtyDrive drive(std::move(sim));
    PortClient port(drive.SlavePath());
    port.Send(Req(Cmd::LIV));
    EXPECT_EQ(port.ReadReply(), kAck);
    EXPECT_TRUE(port.SeesHangUp());
    EXPECT_TRUE(drive.Disconnected());
}

// --- the drive-sim program ----------------------------------------------------

class DriveSimProgram {
  public:
    explicit DriveSimProgram(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        int error = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (error != 0) throw std::system_error(error, std::generic_category(), args[0]);
        stdout_ = ::fdopen(out[0], "r");
    }
    ~DriveSimProgram() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdout_) ::fclose(stdout_);
    }

    std::string ReadLine() {
        char line[256];
        if (!std::fgets(line, sizeof line, stdout_)) return {};
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    // Sends `signal` and returns the exit status.
    int Stop(int signal) {
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

  private:
    pid_t pid_ = -1;
    FILE* stdout_ = nullptr;
};

std::string DriveSimPath() {
    const char* configured = std::getenv("VRX5_DRIVE_SIM");
    return configured != nullptr && *configured != '\0' ? configured : BUILT_DRIVE_SIM;
}

TEST(DriveSimProgramTest, PrintsTheSlaveServesItAndCleansUpOnSigterm) {
    const std::string program = DriveSimPath();
    TempDir dir;
    const std::string link = dir / "drive";
    DriveSimProgram sim({program, "--link", link, "--firmware", "V9.99", "--motor", "RS10"});

    const std::string slave = sim.ReadLine();
    ASSERT_FALSE(slave.empty());
    EXPECT_EQ(std::filesystem::read_symlink(link), slave);
    {
        PortClient port(link);
        port.Send(Req(Cmd::VER));
        EXPECT_EQ(port.ReadReply(), Frame::BuildReply('R', "VERV9.99"));
        port.Send(Req(Cmd::TYP));
        EXPECT_EQ(port.ReadReply(), Frame::BuildReply('R', "TYPRS10"));
    }
    int status = sim.Stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(DriveSimProgramTest, RefusesAnUnknownFailureMode) {
    const std::string program = DriveSimPath();
    DriveSimProgram sim({program, "--failure", "sometimes"});
    EXPECT_EQ(sim.ReadLine(), "") << "nothing served";
    int status = sim.Stop(0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}

}  // namespace
