#include "sim/Pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void UniqueFd::Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

RawPty OpenRawPty() {
    RawPty pty;
    pty.master = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!pty.master.Valid()) ThrowErrno("posix_openpt");
    if (::grantpt(pty.master.Get()) != 0) ThrowErrno("grantpt");
    if (::unlockpt(pty.master.Get()) != 0) ThrowErrno("unlockpt");

    char path[256];
    if (int error = ::ptsname_r(pty.master.Get(), path, sizeof path); error != 0) {
        throw std::system_error(error, std::generic_category(), "ptsname_r");
    }
    pty.slavePath = path;
    pty.slave = UniqueFd(::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!pty.slave.Valid()) ThrowErrno("open " + pty.slavePath);

    termios settings{};
    if (::tcgetattr(pty.slave.Get(), &settings) != 0) ThrowErrno("tcgetattr");
    ::cfmakeraw(&settings);
    if (::tcsetattr(pty.slave.Get(), TCSANOW, &settings) != 0) ThrowErrno("tcsetattr");

    int flags = ::fcntl(pty.master.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(pty.master.Get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        ThrowErrno("fcntl O_NONBLOCK");
    }
    return pty;
}

void PlaceLink(const std::string& link, const std::string& target) {
    struct stat existing {};
    if (::lstat(link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            throw std::system_error(EEXIST, std::generic_category(),
                                    link + " exists and is not a symlink");
        }
        if (::unlink(link.c_str()) != 0) ThrowErrno("unlink " + link);
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) ThrowErrno("symlink " + link);
}

void RemoveLink(const std::string& link, const std::string& target) {
    char buffer[4096];
    ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (length >= 0 && std::string(buffer, static_cast<std::size_t>(length)) == target) {
        ::unlink(link.c_str());
    }
}

WakePipe OpenWakePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) ThrowErrno("pipe2");
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}
