#pragma once
// Counts the replies in the bytes a drive sends, without interpreting them: a
// frame from STX to ETX or one of the single-byte replies is one reply; other
// bytes between replies are line noise. The engine uses it to tell how many
// answers have come for the copies of a request it put on the wire.

#include <cstddef>
#include <string_view>
#include <vector>

class ReplyCounter {
  public:
    // Takes the next received bytes and returns, for every reply that
    // completed in them, the offset just past its last byte.
    std::vector<std::size_t> Take(std::string_view bytes);
    // Forgets a frame begun but not finished.
    void Reset() { inFrame_ = false, frameBytes_ = 0; }
    bool InFrame() const { return inFrame_; }

  private:
    bool inFrame_ = false;
    std::size_t frameBytes_ = 0;
};
