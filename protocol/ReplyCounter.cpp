#include "protocol/ReplyCounter.h"

#include "protocol/Comm.h"
#include "protocol/Frame.h"

namespace {

bool IsSingleByteReply(char byte) {
    using namespace Frame;
    return byte == ACK || byte == NAK || byte == GS || byte == RS || byte == US;
}

}  // namespace

ReplyCounter::Found ReplyCounter::Take(std::string_view bytes) {
    Found found;
    const auto completed = [&found](std::size_t end) {
        if (found.count++ == 0) found.firstEnd = end;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == Frame::STX) {  // a frame cut short by a new one counts once, when that ends
            inFrame_ = true;
            frameBytes_ = 1;
        } else if (inFrame_) {
            if (byte == Frame::ETX) {
                Reset();
                completed(i + 1);
            } else if (++frameBytes_ > TComm::kMaxReplyBytes) {
                Reset();  // a frame that never ends is noise, as the engine's own limit says
            }
        } else if (IsSingleByteReply(byte)) {
            completed(i + 1);
        }
    }
    return found;
}
