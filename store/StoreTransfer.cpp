#include "store/StoreTransfer.h"

#include <algorithm>

#include "parameters/TrimBlanks.h"
#include "protocol/Commands.h"

namespace {

// The write's progress stays below the progress window's closing mark until
// the final store has been answered.
constexpr double kWriteProgressCeiling = 99.0;

}  // namespace

StoreTransfer::StoreTransfer(TComm& comm, StoreSet& values) : comm_(comm), values_(values) {}

StoreTransfer::~StoreTransfer() {
    if (comm_.ReaderRef == this) comm_.ReaderRef = nullptr;
}

// ---------------------------------------------------------------- block read

bool StoreTransfer::StartRead(const std::string& axisLabel) {
    axisLabel_ = axisLabel;
    comm_.ContinuationKind = 1;
    comm_.ReaderRef = this;
    StoreReadGroup = 0;
    ReadSlot = 1;
    comm_.Request(Cmd::SET, ParameterAddress(0, 0));
    // A closed port aborts the exchange at once, which ends the chain.
    return comm_.ContinuationKind == 1;
}

void StoreTransfer::BlockReadStep() {
    // A reply the decoder rejected leaves the previous slot's value in
    // ReadData; that value must not be stored under this slot.
    const bool rejected = comm_.LinkState == ReplyDone && comm_.CommError == 1;
    values_.Set(StoreReadGroup, ReadSlot, rejected ? ValueText() : comm_.ReadData.Data);
    if (ReadSlot == kSlotsPerGroup && StoreReadGroup < kGroupCount - 1) {
        ++StoreReadGroup;
        ReadSlot = 0;
    }
    if (ReadSlot == kSlotsPerGroup) {
        comm_.ContinuationKind = 0;
        comm_.LinkState = Idle;
        StoreReadGroup = 0;
        if (ReadComplete) ReadComplete();
        return;
    }
    comm_.TransferProgress += kStep;
    ++ReadSlot;
    comm_.Request(Cmd::SET, ParameterAddress(StoreReadGroup, ReadSlot - 1));
}

// ---------------------------------------------------------------- paced write

void StoreTransfer::StartWrite(const std::string& axisLabel) {
    axisLabel_ = axisLabel;
    StoreWriteGroup = 0;
    StoreWriteSlot = 1;
    comm_.AbandonExchange();
    comm_.TransferOk = 1;
    phase_ = Phase::Slots;
}

// Only one command is in flight: a tick finding the link busy waits for the next.
void StoreTransfer::WriteTick() {
    if (phase_ == Phase::Done || !LinkFree()) return;
    switch (phase_) {
        case Phase::Slots:
            SendNextValue();
            break;
        case Phase::FinalStore:
            SendFinalStore();
            break;
        case Phase::FinalSent:
            Finish();
            break;
        case Phase::Done:
            break;
    }
}

// Empty slots send nothing but take their tick and their step.
void StoreTransfer::SendNextValue() {
    const ValueText& value = values_.At(StoreWriteGroup, StoreWriteSlot);
    if (!value.empty()) {
        const std::string data =
            ParameterAddress(StoreWriteGroup, StoreWriteSlot - 1) + std::string(TrimBlanks(value));
        if (!SendWrite(Cmd::CHP, data)) return;
    }
    ++StoreWriteSlot;
    comm_.TransferProgress = std::min(comm_.TransferProgress + kStep, kWriteProgressCeiling);
    if (StoreWriteSlot > StoreSet::kSlots) {
        StoreWriteSlot = 1;
        ++StoreWriteGroup;
    }
    if (StoreWriteGroup >= kGroupCount) phase_ = Phase::FinalStore;
}

// Pr-0.00 stored again with its own value, exactly as it stands in the set,
// makes the drive keep what it was sent. It is not an editor's write: a
// refusal has nothing to roll back in any editor.
void StoreTransfer::SendFinalStore() {
    comm_.EditorRef = nullptr;
    if (SendWrite(Cmd::STR, ParameterAddress(0, 0) + values_.At(0, 1))) phase_ = Phase::FinalSent;
}

// False when the request did not go out (the port is closed): the write ends
// there as failed, instead of meeting the closed port once per value.
bool StoreTransfer::SendWrite(std::string_view command, const std::string& data) {
    comm_.Request(command, data);
    if (!comm_.LastSendFailed) return true;
    comm_.TransferOk = 0;
    Finish();
    return false;
}

void StoreTransfer::Finish() {
    phase_ = Phase::Done;
    comm_.TransferProgress = 100.0;
}
