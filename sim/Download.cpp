#include "sim/Download.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "download/IntelHex.h"
#include "protocol/Frame.h"
#include "sim/DriveSim.h"

void SimDownload::Begin() {
    active_ = true;
    partial_.clear();
    lineNumber_ = 0;
    upperBase_ = 0;
    blocks_.clear();
    result_ = {};
}

std::size_t SimDownload::Take(std::string_view bytes) {
    std::size_t used = 0;
    while (active_ && used < bytes.size()) {
        const std::size_t end = bytes.find('\n', used);
        if (end == std::string_view::npos) {
            partial_.append(bytes.substr(used));
            return bytes.size();
        }
        partial_.append(bytes.substr(used, end - used));
        used = end + 1;
        Line(partial_);
        partial_.clear();
    }
    return used;
}

void SimDownload::Line(std::string_view line) {
    ++lineNumber_;
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const IntelHex::Parsed parsed = IntelHex::ParseRecord(line);
    const bool last = IntelHex::IsEndRecord(line);
    if (!parsed.Ok()) {
        result_.bad.push_back({lineNumber_, std::string(line), parsed.error});
    } else {
        ++result_.records;
        const IntelHex::Record& record = parsed.record;
        const auto value = [&] {
            return static_cast<std::uint32_t>(record.data[0] << 8 | record.data[1]);
        };
        switch (record.type) {
            case IntelHex::Data:
                Store(upperBase_ + record.address, record.data);
                break;
            case IntelHex::ExtendedSegmentAddress:
                upperBase_ = value() << 4;
                break;
            case IntelHex::ExtendedLinearAddress:
                upperBase_ = value() << 16;
                break;
            default:
                break;
        }
        if (last && record.type != IntelHex::EndOfFile) {
            result_.bad.push_back(
                {lineNumber_, std::string(line), "ends the download but is no end record"});
        }
    }
    if (last) Finish();
}

void SimDownload::Store(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    if (!bytes.empty()) blocks_.push_back({address, bytes});
}

// Later records win where they overlap earlier ones, as they would in flash.
void SimDownload::Finish() {
    active_ = false;
    result_.ended = true;
    if (blocks_.empty()) {
        if (done_) done_(result_);
        return;
    }
    std::uint32_t low = UINT32_MAX;
    std::uint64_t high = 0;
    for (const Block& block : blocks_) {
        low = std::min(low, block.address);
        high = std::max<std::uint64_t>(high, std::uint64_t{block.address} + block.bytes.size());
    }
    const std::uint64_t span = std::min<std::uint64_t>(high - low, kMaxImageSpan);
    if (high - low > kMaxImageSpan)
        result_.bad.push_back({0, {}, "the image spans more than 64 MB; the rest is dropped"});
    result_.base = low;
    result_.image.assign(static_cast<std::size_t>(span), 0xFF);
    for (const Block& block : blocks_) {
        const std::uint64_t offset = block.address - low;
        for (std::size_t i = 0; i < block.bytes.size() && offset + i < span; ++i)
            result_.image[static_cast<std::size_t>(offset + i)] = block.bytes[i];
    }
    blocks_.clear();
    if (done_) done_(result_);
}

std::string DownloadReport(const SimDownload::Result& result) {
    char head[128];
    std::snprintf(head, sizeof head, "download: %zu records, %zu bytes at 0x%08X%s\n",
                  result.records, result.image.size(), static_cast<unsigned>(result.base),
                  result.ended ? "" : ", no end record yet");
    std::string report = head;
    for (const SimDownload::BadRecord& bad : result.bad) {
        report += "download: ";
        if (bad.line > 0) report += "line " + std::to_string(bad.line) + ": ";
        report += bad.reason;
        if (!bad.text.empty()) report += " (" + bad.text + ")";
        report += '\n';
    }
    return report;
}

void WriteDownloadImage(const SimDownload::Result& result, const std::string& path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(result.image.data()),
               static_cast<std::streamsize>(result.image.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write the download image " + path);
}

// ETC 14: the drive acknowledges and takes what follows as the program.
std::string DriveSim::OnDownloadMode(std::string_view) {
    download_.Begin();
    return std::string(1, Frame::ACK);
}
