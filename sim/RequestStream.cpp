#include "sim/RequestStream.h"

#include "protocol/Commands.h"
#include "protocol/Frame.h"

std::vector<std::string> RequestStream::Push(std::string_view bytes) {
    std::vector<std::string> complete;
    for (char byte : bytes) {
        if (byte == Frame::STX) {
            partial_.assign(1, byte);
            inFrame_ = true;
            continue;
        }
        if (!inFrame_) continue;
        partial_ += byte;
        if (byte == Frame::ETX || partial_.size() >= kMaxFrame) {
            complete.push_back(std::move(partial_));
            partial_.clear();
            inFrame_ = false;
        }
    }
    return complete;
}

namespace {

std::string_view LongestCommandPrefix(std::string_view text) {
    std::string_view best;
    for (const CommandDef& def : Commands()) {
        if (text.starts_with(def.mnemonic) && def.mnemonic.size() > best.size()) {
            best = def.mnemonic;
        }
    }
    return best;
}

}  // namespace

std::optional<Request> ParseRequest(std::string_view frame) {
    // STX, station, '#', at least one character, ':', checksum, ETX.
    constexpr std::size_t kShortest = 7;
    if (frame.size() < kShortest || frame.front() != Frame::STX || frame.back() != Frame::ETX ||
        frame[2] != '#' || frame[frame.size() - 3] != ':') {
        return std::nullopt;
    }
    std::string_view text = frame.substr(3, frame.size() - 6);
    Request request;
    request.mnemonic = LongestCommandPrefix(text);
    request.data = text.substr(request.mnemonic.size());
    return request;
}
