#pragma once
// The store window's two transfers, as step machines on the engine: the block
// read of all 133 slots into a StoreSet (one request after each reply), and
// the paced write of the set back into the drive (one CHP per value on a 5 ms
// tick while the link is free, then one STR of Pr-0.00 that stores the set).

#include <functional>
#include <string>

#include "protocol/Comm.h"
#include "store/StoreSet.h"

class StoreTransfer : public IBlockReader {
  public:
    StoreTransfer(TComm& comm, StoreSet& values);
    // A read still running loses its reader: its remaining replies are dropped.
    ~StoreTransfer() override;
    StoreTransfer(const StoreTransfer&) = delete;
    StoreTransfer& operator=(const StoreTransfer&) = delete;

    // Block read. True when the first request went out (false: the port is
    // closed and the engine has said so).
    bool StartRead(const std::string& axisLabel);
    void BlockReadStep() override;
    // Runs when the reply to the last request has been stored.
    std::function<void()> ReadComplete;

    // Paced write. Call WriteTick on every tick until Writing() is false.
    void StartWrite(const std::string& axisLabel);
    void WriteTick();
    bool Writing() const { return phase_ != Phase::Done; }
    // Ends a write before its time (cancelled, window closing).
    void StopWrite() { phase_ = Phase::Done; }

    // One step of either transfer, in percent of TransferProgress.
    static constexpr double kStep = 100.0 / kSlotCount;

  private:
    enum class Phase { Done, Slots, FinalStore, FinalSent };

    bool LinkFree() const { return comm_.LinkState == Idle || comm_.LinkState == ReplyDone; }
    bool SendWrite(std::string_view command, const std::string& data);
    void SendNextValue();
    void SendFinalStore();
    void Finish();

    TComm& comm_;
    StoreSet& values_;
    std::string axisLabel_;
    int StoreReadGroup = 0;
    int ReadSlot = 0;
    int StoreWriteGroup = 0;
    int StoreWriteSlot = 1;
    Phase phase_ = Phase::Done;
};
