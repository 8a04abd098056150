#pragma once
// Counts the replies in the bytes a drive sends, without interpreting them: a
// frame from STX to ETX or one of the single-byte replies is one reply; other
// bytes between replies are line noise. The engine uses it to tell how many
// answers have come for the copies of a request it put on the wire.

#include <cstddef>
#include <string_view>

class ReplyCounter {
  public:
    struct Found {
        int count = 0;             // replies that completed in the bytes
        std::size_t firstEnd = 0;  // the offset just past the first of them
    };
    // Takes the next received bytes.
    Found Take(std::string_view bytes);
    // Forgets a frame begun but not finished.
    void Reset() { inFrame_ = false, frameBytes_ = 0; }
    bool InFrame() const { return inFrame_; }

  private:
    bool inFrame_ = false;
    std::size_t frameBytes_ = 0;
};
