// A user who may not use a port is told which port and which group: a
// pseudo-terminal is handed to the group "dialout" and opened as "nobody".

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/ComPort.h"
#include "sim/Pty.h"

namespace {

// Opens `port` in a child process that runs as `user`; returns what Open() said.
std::string OpenAs(const passwd& user, const std::string& port) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string said;
        if (::setgroups(0, nullptr) != 0 || ::setgid(user.pw_gid) != 0 ||
            ::setuid(user.pw_uid) != 0) {
            said = "could not become the user";
        } else {
            TComPort comPort;
            PortSettings settings;
            settings.Port = QString::fromStdString(port);
            comPort.SetSettings(settings);
            try {
                comPort.Open();
                said = "opened";
            } catch (const PortError& error) {
                said = error.what();
            }
        }
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return said;
}

TEST(PortAccessTest, UserWithoutAccessIsToldThePortAndTheGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hand a port to a group and to act as another user";
    const passwd* nobody = ::getpwnam("nobody");
    const group* dialout = ::getgrnam("dialout");
    if (!nobody || !dialout) GTEST_SKIP() << "needs the user \"nobody\" and the group \"dialout\"";

    const RawPty pty = OpenRawPty();
    ASSERT_EQ(::chown(pty.slavePath.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(pty.slavePath.c_str(), 0660), 0);

    const std::string said = OpenAs(*nobody, pty.slavePath);
    EXPECT_EQ(said.substr(0, said.find('\n')), "Unable to open com port (win error code: 13)");
    for (const std::string& part :
         {"\nPort: " + pty.slavePath + "\n", std::string("no permission"),
          std::string("group \"dialout\""), std::string("sudo usermod -aG dialout nobody"),
          std::string("log out and log in again")}) {
        EXPECT_NE(said.find(part), std::string::npos) << part << "\n" << said;
    }
}

}  // namespace
