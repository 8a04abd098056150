#pragma once
// Finds request frames in the byte stream a client sends: whatever lies
// before an STX is line noise, a frame ends at the next ETX, and a frame that
// never ends is given up after kMaxFrame bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RequestStream {
  public:
    // No request is longer; the longest the client sends are parameter writes.
    static constexpr std::size_t kMaxFrame = 256;

    // Appends `bytes` and returns what is complete now, in order: frames from
    // STX to ETX, and overlong fragments (kMaxFrame bytes from an STX, no ETX)
    // that the caller answers as malformed. An STX inside an unfinished frame
    // starts a new one; the unfinished bytes are dropped.
    std::vector<std::string> Push(std::string_view bytes);

    // Bytes of the frame in progress.
    std::size_t Pending() const { return partial_.size(); }

  private:
    std::string partial_;
    bool inFrame_ = false;
};

// A request frame taken apart. `mnemonic` is the catalogue mnemonic that is the
// longest prefix of the text after '#' (so "SVROFF" is not "SVROF" + "F", and
// "STR000A" is "STR" + "000A"), empty when none is; `data` is the rest up to ':'.
struct Request {
    std::string_view mnemonic;
    std::string_view data;
};

// STX station '#' text ':' checksum ETX; nullopt when the frame is not of that
// shape. The checksum and the station byte are not checked here.
std::optional<Request> ParseRequest(std::string_view frame);
