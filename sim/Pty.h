#pragma once
// The POSIX pieces the pty server stands on: an owned file descriptor, a
// raw pseudo-terminal pair and the symlink that gives the slave a fixed name.

#include <string>

// Owns one file descriptor; closes it when dropped.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset();

  private:
    int fd_ = -1;
};

struct RawPty {
    UniqueFd master;  // non-blocking
    UniqueFd slave;   // opened once and set raw, so the line never echoes or edits
    std::string slavePath;
};

// Opens a pseudo-terminal pair. Throws std::system_error.
RawPty OpenRawPty();

// Makes `link` a symlink to `target`, replacing an older symlink at that path.
// Throws std::system_error, also when `link` exists and is not a symlink.
void PlaceLink(const std::string& link, const std::string& target);
// Removes `link` if it is still the symlink to `target` (someone else may have
// replaced it meanwhile).
void RemoveLink(const std::string& link, const std::string& target);

// A pipe whose read end polls readable once anything was written to it.
struct WakePipe {
    UniqueFd read, write;
};
WakePipe OpenWakePipe();
