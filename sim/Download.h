#pragma once
// The drive's download mode. After ETC 14 the drive takes the program as raw
// Intel HEX lines, answers nothing, checks each record's checksum and builds
// the memory image from the data records and the extended segment and linear
// address records, until the end record ends the mode.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class SimDownload {
  public:
    // A line that was not a valid record, numbered from 1.
    struct BadRecord {
        std::size_t line = 0;
        std::string text;  // without its line end
        std::string reason;
    };

    struct Result {
        bool ended = false;               // the end record arrived
        std::size_t records = 0;          // valid records, the end record included
        std::uint32_t base = 0;           // address of image[0]
        std::vector<std::uint8_t> image;  // lowest to highest address written; gaps 0xFF
        std::vector<BadRecord> bad;
    };

    // No program is larger; data beyond this span is reported, not stored.
    static constexpr std::uint32_t kMaxImageSpan = 64u << 20;

    // Enters download mode; a download in progress starts over.
    void Begin();
    bool Active() const { return active_; }
    // Takes bytes of the download and returns how many it consumed: all of
    // them, or those up to the end record's line end, after which the mode is left.
    std::size_t Take(std::string_view bytes);

    // The download in progress, or the last one.
    const Result& Last() const { return result_; }
    // Called when the end record has been taken.
    void OnDone(std::function<void(const Result&)> done) { done_ = std::move(done); }

  private:
    struct Block {
        std::uint32_t address;
        std::vector<std::uint8_t> bytes;
    };

    void Line(std::string_view line);
    void Store(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
    void Finish();

    bool active_ = false;
    std::string partial_;
    std::size_t lineNumber_ = 0;
    std::uint32_t upperBase_ = 0;  // from the last extended address record
    std::vector<Block> blocks_;
    Result result_;
    std::function<void(const Result&)> done_;
};

// "download: 2371 records, 37912 bytes at 0x00000000" and one line a bad record.
std::string DownloadReport(const SimDownload::Result& result);
// Writes the image; throws std::runtime_error naming the file when it cannot.
void WriteDownloadImage(const SimDownload::Result& result, const std::string& path);
