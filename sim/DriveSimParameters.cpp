// The stand-in drive's parameter slots: SET reads one, STR stores one (or
// commits it as it stands), CHP changes one whatever the servo does.

#include <algorithm>
#include <stdexcept>

#include "protocol/Commands.h"
#include "sim/Answers.h"
#include "sim/DriveSim.h"
#include "sim/ParameterSlots.h"

using SimAnswer::Control;

std::optional<std::string> DriveSim::Slot(std::string_view address) const {
    auto it = slots_.find(std::string(address));
    if (it == slots_.end()) return std::nullopt;
    return it->second;
}

void DriveSim::SetSlot(const std::string& address, std::string value) {
    if (!IsParameterAddress(address)) throw std::invalid_argument("no parameter slot " + address);
    SimAnswer::RequireReplyText("a parameter value", value);
    slots_[address] = std::move(value);
}

std::string DriveSim::OnReadSlot(std::string_view data) {
    if (!IsParameterAddress(data)) return Control(Frame::NAK);
    std::optional<std::string> value = Slot(data);
    return value ? DataReply(Cmd::SET, *value) : Control(Frame::US);
}

std::string DriveSim::OnStore(std::string_view data) {
    return WriteSlot(data, true);
}

// The store window's block download writes with CHP; the drive takes it whatever the servo does.
std::string DriveSim::OnChangeParameter(std::string_view data) {
    return WriteSlot(data, false);
}

std::string DriveSim::WriteSlot(std::string_view data, bool isStore) {
    std::string_view address = data.substr(0, 3),
                     value = data.substr(std::min<std::size_t>(3, data.size()));
    const bool commitOnly = isStore && value.empty();
    if (!IsParameterAddress(address) || (value.empty() && !commitOnly) ||
        !SimAnswer::IsReplyText(value) || config_.refusedStores.contains(std::string(address))) {
        return Control(Frame::NAK);
    }
    if (isStore && servoOn_) return Control(Frame::GS);
    auto slot = slots_.find(std::string(address));
    if (slot == slots_.end()) return Control(Frame::NAK);
    if (!commitOnly) slot->second = value;
    return Control(Frame::ACK);
}
