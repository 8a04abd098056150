#pragma once
// The transaction engine: one exchange with the drive in flight at a time.
// Windows send through Request (which sets SendData, calls SendCommand and then
// sets LinkState to the answer the command catalogue gives); received chunks,
// time-out ticks and errors all pass through here.

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/LinkInterfaces.h"
#include "protocol/ReplyCounter.h"

enum LinkStates : std::uint8_t {
    Idle = 0,
    AwaitAck = 2,
    AwaitData = 3,
    AwaitRest = 4,
    ReplyDone = 5,
    AwaitAliveAck = 6,
};

enum ActiveWindows : std::int32_t {
    MainWindowActive = 0,
    EditorActive = 1,
    MonitoringActive = 2,
    TriggerActive = 3,
    StoreActive = 4,
    AlarmHistoryActive = 5,
};

struct TSendData {
    std::string Axis, Command, Data;
};

struct TReadData {
    std::string Axis, Data;
};

// The engine's own texts, shown in the status panel or in a warning box.
namespace LinkText {
inline constexpr const char* PortClosed = "Can not open the Com port !!!";
inline constexpr const char* SendFailed = "Send Com Data Error !!!";
inline constexpr const char* ChecksumError = "Check sum Error!!";
inline constexpr const char* Nak = "NAK Error!!!";
inline constexpr const char* Rs = "RS Error!!!";
inline constexpr const char* PacketError = "Checksum or Packet Error 입니다.";
inline constexpr const char* Timeout = "Communication time out error !!!";
inline constexpr const char* RefusedWhileRunning =
    "Can not change this parameter when the servo is running. !!!";
inline constexpr const char* ContinuationError = "Continuation Read Error!";
inline constexpr const char* AxisError = "Axis Error!!!";
inline constexpr const char* NoMotorType = "해당하는 모타 타입이 없습니다...";
inline constexpr const char* HistoryNotInitialised = "Memory area not Initializing!!!";
}  // namespace LinkText

class TComm {
  public:
    TComm(ILinkPort& port, IEngineHooks& hooks) : port_(port), hooks_(hooks) {}

    // Shared engine state; windows read and set these by name.
    std::uint8_t LinkState = Idle;
    TSendData SendData;
    TReadData ReadData;
    std::string RxBuffer;
    std::string PartialReply;
    std::int32_t CommError = 0;
    std::int32_t ContinuationKind = 0;
    std::int32_t ActiveWindow = MainWindowActive;
    std::int32_t TransferOk = 0;
    std::uint8_t SuppressSwitchEvents = 0;
    std::uint8_t LinkAlive = 0;
    std::int32_t PollDelayMs = 0;
    std::int32_t GraphTimeSelect = 0;
    std::int32_t TimeoutTicks = 0;
    std::int32_t ResendCount = 0;
    std::string LastCommand, LastData;
    std::uint8_t SavedLinkState = Idle;
    std::uint8_t SkipNextStatus = 0;
    double TransferProgress = 0.0;
    // Answers to resent copies of a request that were taken off the line and
    // not acted on, since start-up.
    std::int32_t DroppedReplies = 0;
    // The last SendCommand wrote nothing (port closed or write failed); the
    // caller must not wait for an answer.
    bool LastSendFailed = false;

    // Window references, set while the window exists. The editor whose store
    // is outstanding gets a refusal (EditorRef); the window that started the
    // block read gets its replies (ReaderRef), and none does once it is gone.
    IParameterEditor* EditorRef = nullptr;
    IBlockReader* ReaderRef = nullptr;
    IMonitorWindow* MonitorRef = nullptr;
    ITriggerWindow* TriggerRef = nullptr;
    IAlarmHistoryWindow* AlarmHistoryRef = nullptr;

    // A reply that grows past this without ETX is a packet error.
    static constexpr std::size_t kMaxReplyBytes = 4096;
    // Silent ticks after which an exchange is resent.
    static constexpr int kTimeoutTicks = 5;
    // The quiet the engine waits for, at most, before the next request when
    // the drive still owes answers to resent copies: the time its first answer
    // took plus one time-out, within these bounds (ticks of 50 ms).
    static constexpr int kMinGuardTicks = 10;
    static constexpr int kMaxGuardTicks = 40;

    void SendCommand(const std::string& command, const std::string& data,
                     const std::string& station = {});
    // The calling protocol in one call: SendData, SendCommand, then LinkState
    // set to `awaited` (by default the answer the command catalogue records).
    // A send that wrote nothing leaves the link as SendCommand left it.
    void Request(std::string_view command, std::string_view data);
    void Request(std::string_view command, std::string_view data, std::uint8_t awaited);
    // The same with empty data, SendData.Data kept (a progress or status poll
    // between the requests it belongs to).
    void Poll(std::string_view command, std::uint8_t awaited);
    // The window that started the exchange no longer wants it (a polling
    // window switched off, or one that must start afresh): nothing is awaited
    // any more and a request held back is dropped. Answers the drive still
    // owes stay owed, so the next request waits for them as any other would.
    void AbandonExchange();
    // A port just opened holds nothing that an earlier exchange is owed.
    void ForgetOwedReplies();
    void HandleChunk();
    void HandleChunk(const std::string& chunk) {
        RxBuffer = chunk;
        HandleChunk();
    }
    void DispatchReply();
    void RunContinuation();
    void AbortExchange();
    void ReportLinkError();
    void HandleTimeout();
    // True while a request waits for the answers owed to resent copies of the
    // one before it (it is not on the wire yet).
    bool Draining() const { return holdingRequest_; }

  private:
    void SendAwaiting(std::string_view command, const std::string& data, std::uint8_t awaited);
    void OnAck();
    void OnAwaitAck();
    void OnAwaitData();
    void OnAwaitRest();
    void OnAwaitAliveAck();
    void FinishFrame();
    void EndWait();
    void DecodeReply();
    void SetStatus(const std::string& text) { hooks_.SetStatusText(text); }

    // Copies of a request on the wire and the answers owed to them.
    bool Awaiting() const;
    int Owed() const;
    void PutOnWire(const std::string& frame, bool resend);
    void TakeOwed(int count);
    void SettleLateReply();
    void HoldBack(std::string frame);
    void SendHeldRequest();
    void DrainOwed();
    void HoldLateReply();
    void ReleaseLateReply();
    void CountReplies();
    void RejectUnexpectedReplies();

    // Decoders (the reply is in RxBuffer).
    bool StationMatches();
    bool EchoMatches();
    void RejectReply();
    void ExtractValue(std::size_t from);
    void DecodeValue();
    void DecodeMonitorValue();
    void DecodeCaptureValue();
    void DecodeProgressWord();
    void DecodeMotorType();
    void DecodeVersion();
    void DecodeStatus();
    void DecodeAlarmHistory();

    ILinkPort& port_;
    IEngineHooks& hooks_;

    // The request in flight: copies written, answers counted since its first
    // copy went out, and its age in ticks.
    ReplyCounter replies_;
    int copies_ = 0;
    int received_ = 0;
    int exchangeTicks_ = 0;
    int answerTicks_ = 0;  // the age at which its first answer came
    // An alive check left unanswered is not waited for: its ACK, should it
    // come late, is as good an answer to the next one.
    bool aliveCheck_ = false;
    bool resending_ = false;
    unsigned sends_ = 0;  // SendCommand calls, so a resend can tell its own outcome
    // The next request, held back until the owed answers are in or the line
    // has been quiet for guardTicks_.
    bool holdingRequest_ = false;
    std::string heldRequest_;
    int guardTicks_ = kMinGuardTicks;
    int quietTicks_ = 0;
    // When the guard ran out with answers still owed, a late one may yet come:
    // the next reply is kept back until the line has been quiet for the guard
    // time again, and two replies then are an error, since either may be late.
    int lateOwed_ = 0;
    ReplyCounter lateReplies_;
    std::string lateChunks_;
    int lateCount_ = 0;
};
